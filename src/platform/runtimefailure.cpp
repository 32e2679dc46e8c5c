#include "runtimefailure.h"

#include <cerrno>
#include <utility>

namespace platform {

RuntimeFailure::RuntimeFailure(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QByteArray::number(number) + ": " + m_description.toUtf8())
{
}

const char *RuntimeFailure::what() const noexcept
{
    return m_what.constData();
}

QString RuntimeFailure::descriptionOf(int number)
{
    switch (number) {
    case failure::Overflow:
        return QStringLiteral("Переполнение");
    case failure::OutOfMemory:
        return QStringLiteral("Не хватает памяти");
    case failure::TypeMismatch:
        return QStringLiteral("Несоответствие типа");
    case failure::BadFileName:
        return QStringLiteral("Неверное имя или номер файла");
    case failure::FileNotFound:
        return QStringLiteral("Файл не найден");
    case failure::IoError:
        return QStringLiteral("Ошибка ввода/вывода");
    case failure::DiskFull:
        return QStringLiteral("Диск заполнен");
    case failure::PermissionDenied:
        return QStringLiteral("Отказано в разрешении");
    case failure::PathFileAccess:
        return QStringLiteral("Ошибка доступа к пути/файлу");
    case failure::PathNotFound:
        return QStringLiteral("Путь не найден");
    case failure::PrinterError:
        return QStringLiteral("Ошибка принтера");
    default:
        // No routine of ours throws another number; should one appear, the
        // user still sees which failure it was.
        return QStringLiteral("Ошибка %1").arg(number);
    }
}

RuntimeFailure RuntimeFailure::withNumber(int number)
{
    return RuntimeFailure(number, descriptionOf(number));
}

RuntimeFailure RuntimeFailure::fromErrno(int error, bool folderInPath)
{
    switch (error) {
    case ENOENT:
        return withNumber(folderInPath ? failure::PathNotFound : failure::FileNotFound);
    case ENOTDIR:
        return withNumber(failure::PathNotFound);
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EEXIST:
    case ENOTEMPTY:
    case EBUSY:
        return withNumber(failure::PathFileAccess);
    case EACCES:
    case EPERM:
        return withNumber(failure::PermissionDenied);
    case ENOSPC:
    case EDQUOT:
        return withNumber(failure::DiskFull);
    case ENAMETOOLONG:
    case EINVAL:
        return withNumber(failure::BadFileName);
    case ENOMEM:
        return withNumber(failure::OutOfMemory);
    default:
        // ELOOP, EIO, EFBIG, EMFILE and the rest: nothing closer fits.
        return withNumber(failure::IoError);
    }
}

} // namespace platform
