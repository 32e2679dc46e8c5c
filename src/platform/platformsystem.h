#pragma once

#include "system.h"

class QPagedPaintDevice;

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

    // What printText puts on the default printer, put on any paged device
    // instead (a PDF writer in the tests): one line per CR LF, long lines
    // wrapped, as many pages as the text needs. Throws RuntimeFailure.
    static void printTextOn(QPagedPaintDevice &device, const QString &text, int pointSize);
};

} // namespace platform
