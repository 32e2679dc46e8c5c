#include "readablefile.h"

#include "runtimefailure.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform::filesystem {

void openForReading(QFile &file, const QString &path)
{
    if (path.isEmpty())
        throw RuntimeFailure::withNumber(failure::BadFileName);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw RuntimeFailure::fromErrno(errno, errno == ENOTDIR);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeFailure::withNumber(failure::IoError);
    }
}

} // namespace platform::filesystem
