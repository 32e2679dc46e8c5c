// A keyboard and a hand on the mouse for the real tarnel, loaded into it as
// an input plugin (QT_QPA_GENERIC_PLUGINS=tarneltypist), so that a test can
// leave unsaved work in a program it then ends for real. Once the window is
// up it opens the last file, types at its end, adds a phone entry and
// deletes the first program, answering the program's own questions, writes
// "typed" into the folder $TARNEL_TYPIST names and asks to close the window,
// leaving the shut-down question open. An "abort" file in that folder makes
// the program abort().

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

#include <cstdlib>

namespace {

// The text typed after the last file's end: a new paragraph, a character
// the code page of the user's files cannot hold, by an input method, and a
// zero-width no-break space.
const QString typed = QStringLiteral("\nНовая строка ") + QChar(0x4e2d) + QChar(0xfeff) + QStringLiteral("!");

QWidget *mainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("frmMain") && widget->isVisible())
            return widget;
    return nullptr;
}

template<class W> W *named(const char *name)
{
    return mainWindow()->findChild<W *>(QLatin1String(name));
}

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &event);
}

// A character outside the keyboard's comes from an input method.
void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QInputMethodEvent composed;
        composed.setCommitString(QString(c));
        if (c == QLatin1Char('\n'))
            press(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        else if (c.unicode() > 0x3000 && c.unicode() < 0xa000)
            QApplication::sendEvent(target, &composed);
        else
            press(target, 0, Qt::NoModifier, QString(c));
    }
}

class Typist : public QObject
{
public:
    Typist()
    {
        connect(&m_poll, &QTimer::timeout, this, &Typist::poll);
        m_poll.start(20);
        // A timer of its own: one does not fire again while its slot runs.
        connect(&m_answerer, &QTimer::timeout, this, &Typist::answerDialogs);
        m_answerer.start(20);
    }

private:
    // The program's questions while a button's work runs: each input box
    // takes the next answer, each message its yes. The shut-down question
    // stays unanswered.
    void answerDialogs()
    {
        if (m_done && QFile::exists(qEnvironmentVariable("TARNEL_TYPIST") + QStringLiteral("/abort")))
            std::abort();
        if (!m_answering)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *input = qobject_cast<QInputDialog *>(modal); input && !m_inputs.isEmpty()) {
            input->setTextValue(m_inputs.takeFirst());
            input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
        }
    }

    void poll()
    {
        if (m_done || !mainWindow() || QApplication::activeModalWidget())
            return;
        m_answering = true;
        QTabBar *pages = mainWindow()->findChild<QTabBar *>();
        pages->setCurrentIndex(1);
        named<QPushButton>("cmdLoadLast")->click();
        auto *text = named<QPlainTextEdit>("Text");
        text->setFocus();
        press(text, Qt::Key_End, Qt::ControlModifier);
        type(text, typed);

        pages->setCurrentIndex(2);
        m_inputs = {QStringLiteral("Анна"), QStringLiteral("555")};
        named<QPushButton>("cmdAddPhone")->click();

        pages->setCurrentIndex(0);
        named<QListView>("RunList")->setCurrentIndex(named<QListView>("RunList")->model()->index(0, 0));
        named<QPushButton>("cmdDelApp")->click();
        m_answering = false;
        m_done = true;

        QFile(qEnvironmentVariable("TARNEL_TYPIST") + QStringLiteral("/typed")).open(QIODevice::WriteOnly);
        mainWindow()->close();
    }

    QTimer m_poll;
    QTimer m_answerer;
    QStringList m_inputs;
    bool m_answering = false;
    bool m_done = false;
};

} // namespace

class TypistPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "typist.json")

public:
    QObject *create(const QString &key, const QString &) override
    {
        return key.compare(QLatin1String("tarneltypist"), Qt::CaseInsensitive) == 0 ? new Typist : nullptr;
    }
};

#include "typist.moc"
