#pragma once

// What every screenshot shares: a system and dialogs that do nothing real,
// and saving a picture.

#include "dialogs.h"
#include "system.h"

#include <QString>

#include <functional>

class QPixmap;
class QWidget;

namespace shots {

// Starts, prints and plays nothing: the windows only show.
class StillSystem final : public platform::System
{
public:
    explicit StillSystem(const QString &programFolder);
    QString programFolder() const override;
    QString windowsFolder() const override;
    void startCommandLine(const QString &) override { }
    void setCurrentFolder(const QString &) override { }
    void printText(const QString &, int) override { }
    void playSound(const QString &) override { }

private:
    QString m_folder;
};

// Answers every dialog as if it had been dismissed, without showing it, so
// that nothing real could pop up if a screenshot ever asked something.
class SilentDialogs : public platform::Dialogs
{
public:
    using Dialogs::message;
    Answer message(const Message &) override { return Answer::Ok; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const FileRequest &) override { return {}; }
    QString saveFile(const FileRequest &) override { return {}; }
    std::optional<QFont> chooseFont(const QString &, const QFont &) override { return std::nullopt; }
};

void save(const QPixmap &picture, const QString &path);
// Lets pending paints happen first.
void save(QWidget &widget, const QString &path);
// Runs open, which shows a modal dialog, photographs that dialog and closes
// it; gives up after a second so that nothing can hang here.
void saveModal(const std::function<void()> &open, const QString &path);

} // namespace shots
