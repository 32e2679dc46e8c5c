#include "claim.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace recovery {

namespace {

const QString copySuffix = QStringLiteral(".tnr");

QByteArray lockPathOf(const QString &folder, const QString &copyName)
{
    return QFile::encodeName(folder + QStringLiteral("/.") + copyName.chopped(copySuffix.size())
                             + QStringLiteral(".lock"));
}

bool missing(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) != 0 && errno == ENOENT;
}

// The lock on path, taken without waiting; -1 when another holds it. A lock
// file its last holder removed while this one opened it locks nothing any
// more: the name is opened again.
int lockFile(const QByteArray &path)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        // Never waits on a pipe in the lock file's place.
        const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0)
            return -1;
        struct stat held;
        struct stat named;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return -1;
        }
        if (::stat(path.constData(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            return fd;
        ::close(fd);
    }
    return -1;
}

// This program's lock, until it ends. A normal end with no copy left takes
// the lock file along.
struct OwnLock
{
    QString folder;
    QString copy;
    QByteArray lock;
    int fd = -1;
    ~OwnLock()
    {
        if (fd >= 0 && missing(copy))
            ::unlink(lock.constData());
    }
};

} // namespace

QString newCopyName()
{
    return QStringLiteral("copy-%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
         + copySuffix;
}

QString ownFileName()
{
    static const QString name = newCopyName();
    return name;
}

bool isCopyName(const QString &name)
{
    return name.startsWith(QLatin1String("copy-")) && name.endsWith(copySuffix);
}

bool holdOwnLock(const QString &folder)
{
    static OwnLock own;
    if (own.fd >= 0 && own.folder == folder)
        return true;
    const QByteArray lock = lockPathOf(folder, ownFileName());
    const int fd = lockFile(lock);
    if (fd < 0)
        return false;
    if (own.fd >= 0)
        ::close(own.fd);
    own.folder = folder;
    own.copy = folder + QLatin1Char('/') + ownFileName();
    own.lock = lock;
    own.fd = fd;
    return true;
}

Claim::Claim(const QString &path, const QByteArray &lockPath, int fd)
    : m_path(path)
    , m_lockPath(lockPath)
    , m_fd(fd)
{
}

Claim::Claim(Claim &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_lockPath(std::move(other.m_lockPath))
    , m_fd(std::exchange(other.m_fd, -1))
{
}

Claim &Claim::operator=(Claim &&other) noexcept
{
    std::swap(m_path, other.m_path);
    std::swap(m_lockPath, other.m_lockPath);
    std::swap(m_fd, other.m_fd);
    return *this;
}

Claim::~Claim()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that whoever opened it meanwhile sees it gone.
    if (missing(m_path))
        ::unlink(m_lockPath.constData());
    ::close(m_fd);
}

std::optional<Claim> claim(const QString &folder, const QString &copyName)
{
    // This program's own copy is refused by its own lock, like any running one's.
    if (!isCopyName(copyName))
        return std::nullopt;
    const QByteArray lockPath = lockPathOf(folder, copyName);
    const int fd = lockFile(lockPath);
    if (fd < 0)
        return std::nullopt;
    return Claim(folder + QLatin1Char('/') + copyName, lockPath, fd);
}

std::vector<Claim> claimLeftCopies(const QString &folder)
{
    const QDir dir(folder);
    const QDir::Filters any = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    std::vector<Claim> claims;
    for (const QString &name : dir.entryList({QStringLiteral("copy-*") + copySuffix}, any, QDir::Time)) {
        if (std::optional<Claim> held = claim(folder, name); held && !missing(held->path()))
            claims.push_back(std::move(*held));
    }
    for (QString name : dir.entryList({QStringLiteral(".copy-*.lock")}, any)) {
        name = name.mid(1).chopped(5) + copySuffix;
        if (missing(folder + QLatin1Char('/') + name))
            claim(folder, name); // dropped at once, and its lock file with it
    }
    return claims;
}

} // namespace recovery
