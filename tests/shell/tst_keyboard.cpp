#include "appearance.h"
#include "codepage.h"
#include "frmdetails.h"
#include "modalanswerer.h"
#include "notespage.h"
#include "qtdialogs.h"
#include "run.h"
#include "runpage.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

using Answer = platform::Dialogs::Answer;

namespace {

constexpr QChar zeroWidthSpace(0x200B);

void activate(QWidget *window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notesTextKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stays"); // the keyboard stays in the text
        QTest::addColumn<int>("page");
        const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Tab moves on") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << u"ab"_qs << false
                                      << int(frmMain::PageNotes);
        QTest::newRow("Shift+Tab moves back") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                              << u"ab"_qs << false << int(frmMain::PageNotes);
        QTest::newRow("Ctrl+Tab types a TAB")
            << int(Qt::Key_Tab) << ctrl << u"ab\t"_qs << true << int(frmMain::PageNotes);
        QTest::newRow("Ctrl+PgDn still turns the page")
            << int(Qt::Key_PageDown) << ctrl << u"ab"_qs << false << int(frmMain::PagePhones);
    }

    // Moving through the page never edits the document nor asks to save it.
    void notesTextKeys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, stays);
        QFETCH(int, page);

        Run run;
        NotesPage &notes = run.show<NotesPage>(frmMain::PageNotes);
        activate(run.window.get());
        notes.Text->setFocus();
        QTest::keyClick(notes.Text, Qt::Key_A);
        QTest::keyClick(notes.Text, Qt::Key_B);
        run.window->document().Change = false;

        QTest::keyClick(notes.Text, Qt::Key(key), modifiers);
        QCOMPARE(notes.Text->toPlainText(), text);
        QCOMPARE(run.window->document().Change, text != u"ab");
        QCOMPARE(notes.Text->hasFocus(), stays);
        QCOMPARE(run.page(), page);
    }

    void focusAfterEntryDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("way");
        for (const QString &button : {u"cmdAddApp"_qs, u"cmdChangeApp"_qs})
            for (const QString &way : {u"Enter"_qs, u"Отмена"_qs, u"close box"_qs})
                QTest::addRow("%s, %s", qPrintable(button), qPrintable(way)) << button << way;
    }

    // The disabled main window loses the keyboard; it comes back to the
    // button the user pressed.
    void focusAfterEntryDialog()
    {
        QFETCH(QString, button);
        QFETCH(QString, way);

        Run run;
        run.writeFile(u"applist.tn"_qs,
                      platform::codepage::fromUnicode(u"[general]\r\nmax=1\r\n[t1]\r\ncap=Блокнот\r\ncmd=n\r\n"_qs));
        RunPage &page = run.show<RunPage>(frmMain::PageRun);
        activate(run.window.get());
        page.RunList->item(0)->setSelected(true);
        auto *pressed = page.findChild<QPushButton *>(button);
        pressed->setFocus();
        QTest::keyClick(pressed, Qt::Key_Space);
        QPointer<frmDetails> details = page.details();
        QVERIFY(details);
        activate(details);

        if (way == u"Enter")
            QTest::keyClick(details->txtTitle, Qt::Key_Return);
        else if (way == u"Отмена")
            QTest::keyClick(details->cmdCancel, Qt::Key_Space);
        else
            details->close();
        QTRY_VERIFY(!details);
        // The window manager activates the main window again.
        activate(run.window.get());
        QCOMPARE(QApplication::focusWidget(), pressed);
    }

    void menuPlace_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("by");
        for (const QString &button : {u"cmdFile"_qs, u"cmdEdit"_qs})
            for (const QString &by : {u"mouse"_qs, u"Space"_qs, u"mnemonic"_qs})
                QTest::addRow("%s, %s", qPrintable(button), qPrintable(by)) << button << by;
    }

    // A click opens the menu at the pointer, the keyboard under the button.
    void menuPlace()
    {
        QFETCH(QString, button);
        QFETCH(QString, by);

        Run run;
        NotesPage &notes = run.show<NotesPage>(frmMain::PageNotes);
        activate(run.window.get());
        auto *pressed = notes.findChild<QPushButton *>(button);
        QMenu *menu = pressed == notes.cmdFile ? notes.mnuFile : notes.mnuEdit;
        const QPoint inside(pressed->width() - 4, 3);
        QCursor::setPos(pressed->mapToGlobal(inside));
        QTest::mouseClick(pressed, Qt::LeftButton, {}, inside); // an earlier click does not count
        menu->hide();
        if (by == u"mouse") {
            QTest::mouseClick(pressed, Qt::LeftButton, {}, inside);
        } else if (by == u"Space") {
            pressed->setFocus();
            QTest::keyClick(pressed, Qt::Key_Space);
        } else {
            const QChar letter = pressed->text().at(1);
            QTest::sendKeyEvent(QTest::Click, pressed, Qt::Key(letter.toUpper().unicode()), letter, Qt::AltModifier);
        }
        QTRY_VERIFY(menu->isVisible()); // a mnemonic clicks after a short delay
        const QPoint expected = by == u"mouse" ? QCursor::pos() : pressed->mapToGlobal(QPoint(0, pressed->height()));
        QCOMPARE(menu->pos(), expected);
        menu->hide();
    }

    void pageKeys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("to");
        const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
        const auto ctrlShift = ctrl | Qt::ShiftModifier;
        QTest::newRow("Ctrl+Tab") << 0 << int(Qt::Key_Tab) << ctrl << 1;
        QTest::newRow("Ctrl+Tab round the end") << 2 << int(Qt::Key_Tab) << ctrl << 0;
        QTest::newRow("Ctrl+Shift+Tab") << 2 << int(Qt::Key_Backtab) << ctrlShift << 1;
        QTest::newRow("Ctrl+Shift+Tab round the start") << 0 << int(Qt::Key_Backtab) << ctrlShift << 2;
        QTest::newRow("Ctrl+PgDn") << 1 << int(Qt::Key_PageDown) << ctrl << 2;
        QTest::newRow("Ctrl+PgDn round the end") << 2 << int(Qt::Key_PageDown) << ctrl << 0;
        QTest::newRow("Ctrl+PgUp round the start") << 0 << int(Qt::Key_PageUp) << ctrl << 2;
        QTest::newRow("Ctrl+PgUp") << 1 << int(Qt::Key_PageUp) << ctrl << 0;
    }

    // The page comes up as for a click on its tab: made when first shown.
    void pageKeys()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, to);

        QWidget window;
        auto *tabs = new TabControl(&window);
        tabs->resize(300, 200);
        for (const QString &caption : {u"А"_qs, u"Б"_qs, u"В"_qs})
            tabs->addPage(caption, [] { return new QLineEdit; });
        tabs->setCurrentIndex(from);
        window.show();
        activate(&window);
        QWidget *focus = tabs->page(from);
        QVERIFY(focus->isVisible() && !tabs->isPageMade(to));
        focus->setFocus();

        QTest::keyClick(focus, Qt::Key(key), modifiers);
        QCOMPARE(tabs->currentIndex(), to);
        QVERIFY(tabs->isPageMade(to) && tabs->page(to)->isVisible());
    }

    void wrappableText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changed");
        QTest::newRow("a caption of 1,217 letters") << QString(1217, u'Ж') << true;
        QTest::newRow("letters beyond U+FFFF") << u"\U0001D400"_qs.repeated(300) << true;
        QTest::newRow("letters with accents") << u"е\u0301"_qs.repeated(300) << true;
        QTest::newRow("a long run within words") << u"Удалить "_qs + QString(100, u'x') + u" ?"_qs << true;
        QTest::newRow("the question as it stands")
            << u"Вы уверены, что хотите удалить программу из списка?\n\nБлокнот"_qs << false;
        QTest::newRow("a path breaks at its slashes") << u"/home/user/"_qs.repeated(40) << false;
        QTest::newRow("a word of 30 letters stays whole") << QString(30, u'ы') << false;
    }

    // A box breaks a run that has no blank anywhere, and shows nothing more.
    void wrappableText()
    {
        QFETCH(QString, text);
        QFETCH(bool, changed);

        const QString shown = platform::appearance::wrappableText(text);
        QCOMPARE(QString(shown).remove(zeroWidthSpace), text);
        QCOMPARE(shown != text, changed);
        for (qsizetype i = 0; i + 1 < shown.size(); ++i) {
            if (shown.at(i) == zeroWidthSpace)
                QVERIFY2(!shown.at(i + 1).isLowSurrogate() && !shown.at(i + 1).isMark(), "a letter split");
        }
    }

    // The delete question shows such a caption inside its box.
    void longCaptionBox()
    {
        platform::QtDialogs dialogs;
        int overrun = -1;
        ModalAnswerer answerer([&overrun](QWidget *box) {
            const auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_qs);
            const QRect wrapped = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                                    Qt::TextWordWrap, label->text());
            overrun = wrapped.width() - label->width();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
            return true;
        });
        platform::Dialogs::Message question;
        question.text = u"Вы уверены, что хотите удалить программу из списка?\r\n\r\n"_qs + QString(1217, u'Ж');
        question.buttons = platform::Dialogs::Buttons::YesNo;
        dialogs.message(question);
        QVERIFY(answerer.answered());
        QCOMPARE_LE(overrun, 0);
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
