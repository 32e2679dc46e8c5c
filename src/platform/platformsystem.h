#pragma once

#include "system.h"

namespace platform {

// The system as it is: processes, folders, ALSA and the default printer.
class PlatformSystem final : public System
{
public:
    QString programFolder() const override;
    QString windowsFolder() const override;
    void startCommandLine(const QString &line) override;
    void setCurrentFolder(const QString &path) override;
    void printText(const QString &text, int pointSize) override;
    void playSound(const QString &path) override;
};

} // namespace platform
