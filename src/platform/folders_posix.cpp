#include "folders.h"
#include "runtimefailure.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <unistd.h>

namespace platform::folders {

QString executableSuffix()
{
    return QString();
}

QString programFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString windowsFolder()
{
    const QString opener = QStandardPaths::findExecutable(openerName());
    if (opener.isEmpty())
        return QString();
    return QFileInfo(opener).absolutePath();
}

QString openerName()
{
    return QStringLiteral("xdg-open");
}

void setCurrent(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw RuntimeFailure::withNumber(path.isEmpty() ? failure::PathNotFound : failure::BadFileName);
    // A folder that is not there is "path not found", never "file not found".
    if (::chdir(QFile::encodeName(path).constData()) != 0)
        throw RuntimeFailure::fromErrno(errno, true);
}

} // namespace platform::folders
