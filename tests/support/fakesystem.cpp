#include "fakesystem.h"

#include <array>

QList<FakeSystem::Call> FakeSystem::callsOf(Effect effect) const
{
    QList<Call> result;
    for (const Call &call : m_calls) {
        if (call.effect == effect)
            result.append(call);
    }
    return result;
}

QStringList FakeSystem::effects() const
{
    QStringList result;
    for (const Call &call : m_calls)
        result << QLatin1String(std::array {"start:", "current:", "print:", "sound:"}.at(int(call.effect)))
                      + call.argument;
    return result;
}

void FakeSystem::record(Effect effect, const QString &argument, int pointSize)
{
    m_calls.append(Call {effect, argument, pointSize});
    if (whileCalled)
        whileCalled();
    for (Failure &entry : m_failures) {
        if (entry.effect == effect && entry.times != 0) {
            entry.times -= entry.times > 0;
            throw entry.failure;
        }
    }
}
