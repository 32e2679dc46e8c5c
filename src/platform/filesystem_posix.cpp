#include "filesystem.h"
#include "runtimefailure.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform::filesystem {

namespace {

QByteArray nativePathOf(const QString &path)
{
    // A NUL would silently cut the name short at the system call.
    if (path.isEmpty() || path.contains(QChar(0)))
        throw RuntimeFailure::withNumber(failure::BadFileName);
    return QFile::encodeName(path);
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

bool isFolder(const QByteArray &path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// ENOENT means "file not found" when the folder that should hold the file is
// there, "path not found" when it is not.
[[noreturn]] void throwForError(int error, const QByteArray &path)
{
    throw RuntimeFailure::fromErrno(error, error == ENOENT && !isFolder(parentOf(path)));
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and reports the close's own failure, which on some file
    // systems is the first sign of a write that did not reach the disk.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            return errno;
        return 0;
    }

private:
    int m_fd;
};

// What a pipe, a socket or a device chosen as a document or data file is told.
RuntimeFailure notAFile()
{
    return RuntimeFailure(failure::PathFileAccess, QStringLiteral("Это не файл"));
}

// Opens path if it is a regular file and refuses it at once otherwise. A
// plain open of a pipe waits until some other program opens its other end,
// and every read or write of one may wait as long. The type is that of the
// open descriptor, so a file swapped for a pipe after an earlier look is
// refused too. No O_TRUNC here: what turns out not to be a file is not ours
// to empty. Returns the descriptor, blocking again, and its status in info.
int openRegular(const QByteArray &path, int flags, struct stat &info)
{
    // O_NOCTTY: a terminal chosen as a file must not become ours.
    Descriptor fd(::open(path.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        // A pipe opened for writing with no reader, a socket, a device
        // without its driver.
        if (errno == ENXIO)
            throw notAFile();
        throwForError(errno, path);
    }
    if (::fstat(fd.get(), &info) != 0)
        throw RuntimeFailure::fromErrno(errno);
    if (S_ISDIR(info.st_mode))
        throw RuntimeFailure::fromErrno(EISDIR);
    if (!S_ISREG(info.st_mode))
        throw notAFile();
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0)
        throw RuntimeFailure::fromErrno(errno);
    return fd.release();
}

// 0 when every byte was written, the system's error otherwise.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= written;
    }
    return 0;
}

bool hasWildcard(const QByteArray &name)
{
    return name.contains('*') || name.contains('?');
}

// Only "*" and "?" are patterns here, as in a directory search on Windows:
// "[" and "\" in a name are ordinary characters.
QByteArray fnmatchPatternOf(const QByteArray &name)
{
    QByteArray pattern;
    pattern.reserve(name.size() * 2);
    for (const char c : name) {
        if (c == '[' || c == '\\')
            pattern.append('\\');
        pattern.append(c);
    }
    return pattern;
}

bool isSeen(mode_t mode, bool foldersToo)
{
    return S_ISREG(mode) || (foldersToo && S_ISDIR(mode));
}

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};

bool findPattern(const QByteArray &folder, const QByteArray &name, bool foldersToo)
{
    if (name.size() > NAME_MAX)
        throw RuntimeFailure::fromErrno(ENAMETOOLONG);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw RuntimeFailure::fromErrno(errno);
    }
    const QByteArray pattern = fnmatchPatternOf(name);
    while (const dirent *entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        if (::fnmatch(pattern.constData(), entry->d_name, 0) != 0)
            continue;
        struct stat info;
        // An entry that cannot be looked at (a dangling link) is not a match.
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) == 0 && isSeen(info.st_mode, foldersToo))
            return true;
    }
    return false;
}

bool findEntry(const QString &path, bool foldersToo)
{
    if (path.isEmpty())
        return false;
    QByteArray native = nativePathOf(path);
    // "folder/" names the folder itself.
    while (native.size() > 1 && native.endsWith('/'))
        native.chop(1);

    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray name = native.mid(slash + 1);
    if (name.isEmpty()) // the root
        return foldersToo;
    // A name beginning with "." is this system's hidden attribute.
    if (name.startsWith('.'))
        return false;
    if (hasWildcard(name))
        return findPattern(parentOf(native), name, foldersToo);

    struct stat info;
    if (::stat(native.constData(), &info) == 0)
        return isSeen(info.st_mode, foldersToo);
    // Missing, or below an ordinary file: simply not there. Anything else
    // means the search itself could not be made.
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    throw RuntimeFailure::fromErrno(errno);
}

int systemWriteAccess(const QByteArray &path)
{
    // The effective user's answer, which is the one the open would give.
    return ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

WriteAccess writeAccess = systemWriteAccess;

// The file a chain of links ends at, even one not there yet: writing through
// the link makes it there.
QByteArray throughLinks(QByteArray path)
{
    for (int hops = 0;; ++hops) {
        char next[PATH_MAX];
        const ssize_t size = ::readlink(path.constData(), next, sizeof next);
        // Not a link, or not there: stat says which when it matters.
        if (size < 0)
            return path;
        if (hops == 40)
            throw RuntimeFailure::fromErrno(ELOOP);
        if (size_t(size) == sizeof next)
            throw RuntimeFailure::fromErrno(ENAMETOOLONG);
        path = next[0] == '/' ? QByteArray(next, size) : parentOf(path) + '/' + QByteArray(next, size);
    }
}

void writeInPlace(const QByteArray &path, const QByteArray &bytes)
{
    struct stat info;
    Descriptor fd(openRegular(path, O_WRONLY | O_CREAT, info));
    if (::ftruncate(fd.get(), 0) != 0)
        throw RuntimeFailure::fromErrno(errno);
    int error = writeAll(fd.get(), bytes);
    // A file system that cannot flush at all is no reason to refuse the save.
    if (error == 0 && ::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        error = errno;
    if (const int closeError = fd.close(); error == 0)
        error = closeError;
    if (error != 0)
        throw RuntimeFailure::fromErrno(error);
}

// The folder will not take a new file, or will not let this one take the
// target's place (a sticky folder, a file mounted on its own): the target,
// if there is one, is then written in place.
bool isRefusal(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY;
}

class RemovedUnlessKept
{
public:
    explicit RemovedUnlessKept(const QByteArray &path)
        : m_path(path)
    {
    }
    ~RemovedUnlessKept()
    {
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }
    RemovedUnlessKept(const RemovedUnlessKept &) = delete;
    RemovedUnlessKept &operator=(const RemovedUnlessKept &) = delete;

    void keep() { m_path.clear(); }

private:
    QByteArray m_path;
};

// Writes bytes to a hidden file beside target and renames it over target.
// The new file gets old's owner and mode, or with no old file newMode less
// the umask. Returns 0, or the refusal (isRefusal) that stopped it; other
// failures throw. Either way nothing is left beside target.
int replaceFromBeside(const QByteArray &target, const QByteArray &bytes, const struct stat *old, mode_t newMode)
{
    const QByteArray folder = parentOf(target);
    if (const int error = writeAccess(folder))
        return error;
    QByteArray temporary;
    Descriptor fd;
    for (int attempt = 0; fd.get() < 0; ++attempt) {
        // Hidden, so that a file test never mistakes it for the user's file.
        temporary = folder + "/.tarnel-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : newMode));
        if (fd.get() < 0 && isRefusal(errno))
            return errno;
        if (fd.get() < 0 && (errno != EEXIST || attempt >= 100))
            throwForError(errno, target);
    }
    RemovedUnlessKept removed(temporary);

    // The new file takes the old one's place with its owner and mode; the
    // owner first, since a change of owner clears the set-user-ID bits. A user
    // who may write someone else's file may not give a file away: written in
    // place, it stays theirs.
    if (old && (::fchown(fd.get(), old->st_uid, old->st_gid) != 0 || ::fchmod(fd.get(), old->st_mode & 07777) != 0))
        return EPERM;
    int error = writeAll(fd.get(), bytes);
    // A file system that cannot flush at all is no reason to refuse the save.
    if (error == 0 && ::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        error = errno;
    if (const int closeError = fd.close(); error == 0)
        error = closeError;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        if (isRefusal(errno))
            return errno;
        error = errno;
    }
    if (error != 0)
        throw RuntimeFailure::fromErrno(error);
    removed.keep();

    // Make the new name itself durable; a failure here loses nothing that is
    // not also lost by any other program's save.
    const Descriptor folderFd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return 0;
}

// writeDataFile, with the mode a file made anew asks for.
void saveDataFile(const QString &path, const QByteArray &bytes, KeepOld keepOld, mode_t newMode)
{
    const QByteArray target = throughLinks(nativePathOf(path));
    struct stat old;
    const bool hadOld = ::stat(target.constData(), &old) == 0;
    if (!hadOld && errno != ENOENT)
        throwForError(errno, target);
    if (hadOld) {
        if (S_ISDIR(old.st_mode))
            throw RuntimeFailure::fromErrno(EISDIR);
        // A pipe, a socket or a device holds no data of ours: writing into a
        // pipe waits for its reader, and replacing any of them would part the
        // name from what it stands for.
        if (!S_ISREG(old.st_mode))
            throw notAFile();
        // A file the user protected refuses the save, as the in-place write
        // would; it is never replaced behind their back.
        if (const int error = writeAccess(target))
            throw RuntimeFailure::fromErrno(error);
        // The copy is as private as the file it keeps; its owner is whoever
        // saves, since an ordinary user may not give a file away.
        if (keepOld == KeepOld::AsBackup)
            saveDataFile(path + QStringLiteral(".bak"), readFile(path), KeepOld::No, old.st_mode & 0777);
        // Replacing a file with other names would part them.
        if (old.st_nlink > 1) {
            writeInPlace(target, bytes);
            return;
        }
    }
    if (const int refusal = replaceFromBeside(target, bytes, hadOld ? &old : nullptr, newMode)) {
        if (!hadOld)
            throwForError(refusal, target);
        writeInPlace(target, bytes);
    }
}

} // namespace

bool fileExists(const QString &path)
{
    return findEntry(path, false);
}

bool folderExists(const QString &path)
{
    return findEntry(path, true);
}

void createFolder(const QString &path)
{
    const QByteArray native = nativePathOf(path);
    if (::mkdir(native.constData(), 0777) != 0)
        throwForError(errno, native);
}

void openForReading(QFile &file, const QString &path)
{
    struct stat info;
    const int fd = openRegular(nativePathOf(path), O_RDONLY, info);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeFailure::withNumber(failure::IoError);
    }
}

void appendToFile(const QString &path, const QByteArray &bytes, bool flush)
{
    struct stat info;
    const Descriptor fd(openRegular(nativePathOf(path), O_WRONLY | O_APPEND, info));
    if (const int error = writeAll(fd.get(), bytes))
        throw RuntimeFailure::fromErrno(error);
    if (flush && ::fdatasync(fd.get()) != 0)
        throw RuntimeFailure::fromErrno(errno);
}

QByteArray readFile(const QString &path)
{
    struct stat info;
    const Descriptor fd(openRegular(nativePathOf(path), O_RDONLY, info));

    QByteArray bytes;
    const auto readAll = [&] {
        // The size is a hint only: some files report 0 and still have content.
        qsizetype capacity = info.st_size > 0 ? static_cast<qsizetype>(info.st_size) + 1 : 4096;
        bytes.resize(capacity);
        qsizetype size = 0;
        for (;;) {
            if (size == capacity) {
                capacity *= 2;
                bytes.resize(capacity);
            }
            const ssize_t got = ::read(fd.get(), bytes.data() + size, static_cast<size_t>(capacity - size));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                throw RuntimeFailure::fromErrno(errno);
            }
            if (got == 0)
                break;
            size += got;
        }
        bytes.truncate(size);
    };
    if (const std::optional<RuntimeFailure> failed = failureOf(readAll))
        throw *failed;
    return bytes;
}

WriteAccess setWriteAccess(WriteAccess test)
{
    return std::exchange(writeAccess, test ? test : systemWriteAccess);
}

void writeDataFile(const QString &path, const QByteArray &bytes, KeepOld keepOld)
{
    saveDataFile(path, bytes, keepOld, 0666);
}

namespace {

// Only the size and time: no byte is read.
FileStamp statStamp(const QString &path)
{
    struct stat info;
    FileStamp stamp;
    if (::stat(nativePathOf(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

FileStamp stampOf(const QString &path, const QByteArray &bytes)
{
    FileStamp stamp = statStamp(path);
    if (stamp.exists)
        stamp.hash = hashOf(bytes);
    return stamp;
}

FileStamp stampOf(const QString &path)
{
    QByteArray bytes;
    if (failureOf([&] { bytes = readFile(path); }))
        return FileStamp();
    return stampOf(path, bytes);
}

bool unchangedSince(const QString &path, const FileStamp &stamp)
{
    const FileStamp now = statStamp(path);
    if (now.exists != stamp.exists)
        return false;
    if (!now.exists)
        return true;
    if (now.size != stamp.size)
        return false;
    if (now.modifiedNs == stamp.modifiedNs)
        return true;
    return stampOf(path).hash == stamp.hash;
}

} // namespace platform::filesystem
