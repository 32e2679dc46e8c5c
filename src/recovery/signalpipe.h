#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT brought into the event loop: the handler only
// writes the signal's number into a pipe, and ended() is said from the loop,
// where anything may be done. One per program.
class SignalPipe : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignalPipe)

public:
    explicit SignalPipe(QObject *parent = nullptr);
    ~SignalPipe() override;

Q_SIGNALS:
    void ended(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
