#pragma once

#include "filesystem.h"
#include "runtimefailure.h"

#include <QByteArray>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <unistd.h>

// What action throws, given a few seconds: number 0 when nothing, -1 when it
// is still waiting. A call that waits for the other end of a pipe fails its
// row instead of freezing the run; it is left behind on its thread, so action
// must hold copies of all it uses.
inline platform::RuntimeFailure outcomeWithin(std::function<void()> action)
{
    using platform::RuntimeFailure;
    const auto promise = std::make_shared<std::promise<RuntimeFailure>>();
    std::future<RuntimeFailure> future = promise->get_future();
    std::thread([action = std::move(action), promise] {
        promise->set_value(platform::failureOf(action).value_or(RuntimeFailure::withNumber(0)));
    }).detach();
    if (future.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
        return RuntimeFailure(-1, QStringLiteral("still waiting"));
    return future.get();
}

inline void makeFile(const QString &path, const QByteArray &content = QByteArrayLiteral("x"),
                     QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

inline QByteArray readBack(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<unreadable>");
}

// While it lives, every file and folder (or those below one folder) is one
// this user may not write, as for an ordinary user in a folder of someone
// else's: root's writes fail too.
struct WritesRefused
{
    explicit WritesRefused(const QString &below = QString())
        : previous(platform::filesystem::setWriteAccess([](const QByteArray &path) {
            return path.startsWith(refusedBelow()) ? EACCES : ::access(path.constData(), W_OK) == 0 ? 0 : errno;
        }))
    {
        refusedBelow() = QFile::encodeName(below);
    }
    ~WritesRefused() { platform::filesystem::setWriteAccess(previous); }
    WritesRefused(const WritesRefused &) = delete;
    WritesRefused &operator=(const WritesRefused &) = delete;
    static QByteArray &refusedBelow()
    {
        static QByteArray path;
        return path;
    }
    platform::filesystem::WriteAccess previous;
};
