#pragma once

#include <QString>

#include <exception>
#include <new>
#include <optional>

namespace platform {

// A failure of a file, process, printer or memory operation, as a number and a
// Russian description, the way the program reports it to its user. Every
// routine of the platform layer that can fail throws this type and nothing else.
class RuntimeFailure : public std::exception
{
public:
    RuntimeFailure(int number, QString description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override;

    // The failure for a system error code. folderInPath says that the error
    // arose on a folder of the path (ENOENT then means "path not found").
    static RuntimeFailure fromErrno(int error, bool folderInPath = false);
    // The failure with a well-known number, with its standard description.
    static RuntimeFailure withNumber(int number);

    static QString descriptionOf(int number);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

namespace failure {
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int IoError = 57;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int PrinterError = 482;
} // namespace failure

// Runs work and gives back the failure that ended it, if any: a
// RuntimeFailure as thrown, or running out of memory as failure 7. Whatever
// tells the user of a failure, or hands it on, catches it through here.
template<typename Work> std::optional<RuntimeFailure> failureOf(Work &&work)
{
    try {
        work();
    } catch (const RuntimeFailure &thrown) {
        return thrown;
    } catch (const std::bad_alloc &) {
        return RuntimeFailure::withNumber(failure::OutOfMemory);
    }
    return std::nullopt;
}

} // namespace platform
