#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <type_traits>

// Plays the user of the next modal dialog. While it is up, the step is called
// every few milliseconds until it says it has answered (a step may have to
// wait, for instance for a folder listing). Whatever is still up one second
// after the dialog opened, unanswered or not closed by the answer, is
// rejected, so a dialog can never hang the test.
class ModalAnswerer : public QObject
{
public:
    using Step = std::function<bool(QWidget *)>;

    explicit ModalAnswerer(Step step)
        : m_step(std::move(step))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(10);
    }

    // Answered, and the answer closed the dialog.
    bool answered() const { return m_answered && !m_forced; }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!m_dialog && modal) {
            m_dialog = modal;
            m_clock.start();
        }
        const bool open = m_dialog && m_dialog->isVisible();
        if (m_answered && !open) {
            m_timer.stop();
            return;
        }
        if (m_clock.isValid() && m_clock.elapsed() > 1000) {
            // Our dialog, or a message it raised in turn.
            if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && open) {
                m_forced = true;
                dialog->reject();
            } else {
                m_timer.stop();
            }
            return;
        }
        if (!m_answered && modal && modal == m_dialog)
            m_answered = m_step(modal);
    }

    Step m_step;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QPointer<QWidget> m_dialog;
    bool m_answered = false;
    bool m_forced = false;
};

// A step that answers dialogs of one class only and waits out any other. A
// step that gives nothing back has answered at its first call.
template<class Dialog, class Step> ModalAnswerer::Step answering(Step step)
{
    return [step = std::move(step)](QWidget *widget) {
        auto *dialog = qobject_cast<Dialog *>(widget);
        if constexpr (std::is_void_v<decltype(step(dialog))>) {
            if (dialog)
                step(dialog);
            return dialog != nullptr;
        } else {
            return dialog && step(dialog);
        }
    };
}
