#pragma once

#include "runtimefailure.h"
#include "system.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Records every effect on the system instead of having it. Any kind of effect
// can be made to fail with a given failure.
class FakeSystem final : public platform::System
{
public:
    enum class Effect { Start, SetCurrent, Print, Sound };

    struct Call
    {
        Effect effect;
        QString argument; // the command line, folder, text or sound file
        int pointSize = 0; // Print
    };

    QString programFolderPath; // returned by programFolder()
    QString windowsFolderPath = QStringLiteral("/usr/bin");
    // Run inside every recorded effect, so a test sees the program as it is meanwhile.
    std::function<void()> whileCalled;

    // The next effects of this kind throw failure: all of them, or only the
    // first times of them.
    void failWith(Effect effect, const platform::RuntimeFailure &failure, int times = -1)
    {
        m_failures.removeIf([effect](const Failure &entry) { return entry.effect == effect; });
        m_failures.append({effect, failure, times});
    }

    const QList<Call> &calls() const { return m_calls; }
    QList<Call> callsOf(Effect effect) const;
    // Every call, as "start:", "current:", "print:" or "sound:" and its argument.
    QStringList effects() const;
    void clear() { m_calls.clear(); }

    QString programFolder() const override { return programFolderPath; }
    QString windowsFolder() const override { return windowsFolderPath; }
    void startCommandLine(const QString &line) override { record(Effect::Start, line); }
    void setCurrentFolder(const QString &path) override { record(Effect::SetCurrent, path); }
    void printText(const QString &text, int pointSize) override { record(Effect::Print, text, pointSize); }
    // Sound never fails for its caller; a scripted failure is simply silence.
    void playSound(const QString &path) override { m_calls.append(Call {Effect::Sound, path, 0}); }

private:
    void record(Effect effect, const QString &argument, int pointSize = 0);

    QList<Call> m_calls;
    struct Failure
    {
        Effect effect;
        platform::RuntimeFailure failure;
        int times; // negative: every time
    };
    QList<Failure> m_failures;
};
