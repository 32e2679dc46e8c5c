#include "commandline.h"
#include "folders.h"
#include "runtimefailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::commandline {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool isRegularFile(const QString &path)
{
    if (path.contains(QChar(0)))
        return false;
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// The file a program name stands for, or an empty string when there is none.
QString locate(const QString &name, const QString &currentFolder, const QString &searchPath)
{
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/'))) {
        const QString path = QDir::isAbsolutePath(name) ? name : joinPath(currentFolder, name);
        return isRegularFile(path) ? path : QString();
    }
    QStringList folders {currentFolder};
    folders += searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &folder : std::as_const(folders)) {
        if (folder.isEmpty())
            continue;
        const QString path = joinPath(folder, name);
        if (isRegularFile(path))
            return path;
    }
    return {};
}

// The opener, like the desktop's explorer it stands for, takes its whole
// command tail as one target, so an unquoted path with blanks still opens.
QString openerTarget(const QString &tail)
{
    QString target = tail.trimmed();
    if (target.startsWith(QLatin1Char('"'))) {
        target.remove(0, 1);
        if (target.endsWith(QLatin1Char('"')))
            target.chop(1);
    }
    return target;
}

bool isOpener(const QString &program)
{
    return QFileInfo(program).fileName() == folders::openerName();
}

// Checked before the start because a detached start reports no reason, and
// the user is owed one in words.
void checkStartable(const QString &program)
{
    if (program.isEmpty() || !program.contains(QLatin1Char('/')))
        throw RuntimeFailure::withNumber(failure::FileNotFound);
    if (program.contains(QChar(0)))
        throw RuntimeFailure::withNumber(failure::BadFileName);
    const QByteArray native = QFile::encodeName(program);
    struct stat info;
    if (::stat(native.constData(), &info) != 0) {
        const int error = errno;
        const QString folder = QFileInfo(program).path();
        struct stat folderInfo;
        const bool folderThere
            = ::stat(QFile::encodeName(folder).constData(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode);
        throw RuntimeFailure::fromErrno(error, error == ENOENT && !folderThere);
    }
    if (!S_ISREG(info.st_mode))
        throw RuntimeFailure::withNumber(failure::PathFileAccess);
    if (::access(native.constData(), X_OK) != 0)
        throw RuntimeFailure::fromErrno(errno);
}

} // namespace

QStringList splitArguments(const QString &tail)
{
    QStringList arguments;
    const qsizetype size = tail.size();
    qsizetype i = 0;
    for (;;) {
        while (i < size && isBlank(tail[i]))
            ++i;
        if (i >= size)
            break;

        QString argument;
        bool inQuotes = false;
        for (;;) {
            qsizetype backslashes = 0;
            while (i < size && tail[i] == QLatin1Char('\\')) {
                ++i;
                ++backslashes;
            }
            bool copy = true;
            if (i < size && tail[i] == QLatin1Char('"')) {
                if (backslashes % 2 == 0) {
                    if (inQuotes && i + 1 < size && tail[i + 1] == QLatin1Char('"')) {
                        // "" inside quotes is one literal quote.
                        ++i;
                    } else {
                        copy = false;
                        inQuotes = !inQuotes;
                    }
                }
                backslashes /= 2;
            }
            argument += QString(backslashes, QLatin1Char('\\'));
            if (i >= size || (!inQuotes && isBlank(tail[i])))
                break;
            if (copy)
                argument += tail[i];
            ++i;
        }
        arguments += argument;
    }
    return arguments;
}

Parsed parse(const QString &line, const QString &currentFolder, const QString &searchPath)
{
    Parsed parsed;
    const qsizetype size = line.size();
    qsizetype start = 0;
    while (start < size && isBlank(line[start]))
        ++start;
    if (start >= size)
        return parsed;

    QString tail;
    if (line[start] == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), start + 1);
        const QString name = close < 0 ? line.mid(start + 1) : line.mid(start + 1, close - start - 1);
        tail = close < 0 ? QString() : line.mid(close + 1);
        const QString found = locate(name, currentFolder, searchPath);
        parsed.program = found.isEmpty() ? name : found;
    } else {
        // An unquoted path with blanks: each longer run of words is tried in
        // turn, and the first that names a file is the program.
        qsizetype firstEnd = -1;
        qsizetype end = start;
        while (end < size) {
            while (end < size && !isBlank(line[end]))
                ++end;
            if (firstEnd < 0)
                firstEnd = end;
            const QString found = locate(line.mid(start, end - start), currentFolder, searchPath);
            if (!found.isEmpty()) {
                parsed.program = found;
                tail = line.mid(end);
                break;
            }
            while (end < size && isBlank(line[end]))
                ++end;
        }
        if (parsed.program.isEmpty()) {
            parsed.program = line.mid(start, firstEnd - start);
            tail = line.mid(firstEnd);
        }
    }

    if (isOpener(parsed.program)) {
        const QString target = openerTarget(tail);
        if (!target.isEmpty())
            parsed.arguments += target;
    } else {
        parsed.arguments = splitArguments(tail);
    }
    return parsed;
}

void start(const QString &line)
{
    const QString folder = QDir::currentPath();
    const Parsed parsed = parse(line, folder, qEnvironmentVariable("PATH"));
    checkStartable(parsed.program);
    // What is left to fail is the system's loading of the file itself: it is
    // not a program this system can run.
    if (!QProcess::startDetached(parsed.program, parsed.arguments, folder))
        throw RuntimeFailure::withNumber(failure::PermissionDenied);
}

} // namespace platform::commandline
