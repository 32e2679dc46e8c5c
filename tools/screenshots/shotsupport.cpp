#include "shotsupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace shots {

StillSystem::StillSystem(const QString &programFolder)
    : m_folder(programFolder)
{
}

QString StillSystem::programFolder() const
{
    return m_folder;
}

QString StillSystem::windowsFolder() const
{
    return QStringLiteral("/usr/bin");
}

void save(const QPixmap &picture, const QString &path)
{
    if (!picture.save(path, "PNG"))
        qWarning("could not write %s", qPrintable(QDir::toNativeSeparators(path)));
}

void save(QWidget &widget, const QString &path)
{
    QApplication::processEvents();
    save(widget.grab(), path);
}

void saveModal(const std::function<void()> &open, const QString &path)
{
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            poll.stop();
            save(*dialog, path);
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        } else if (waited.elapsed() > 1000) {
            poll.stop();
        }
    });
    poll.start(50);
    open();
}

} // namespace shots
