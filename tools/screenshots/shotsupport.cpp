#include "shotsupport.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
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

} // namespace shots
