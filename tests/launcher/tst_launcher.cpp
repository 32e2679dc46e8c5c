#include "applistfile.h"
#include "codepage.h"
#include "countingbuffer.h"
#include "frmdetails.h"
#include "modelrun.h"
#include "placement.h"
#include "platformtest.h"
#include "programlist.h"
#include "programlistmodel.h"
#include "readercache.h"
#include "run.h"
#include "runpage.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Answer = platform::Dialogs::Answer;

namespace {

// The file written for entries "caption|command", one CR LF line each.
QByteArray written(const QStringList &entries)
{
    QString text = u"[general]\r\nmax="_qs + QString::number(entries.size()) + u"\r\n"_qs;
    for (int i = 0; i < entries.size(); ++i)
        text += u"[t%1]\r\ncap="_qs.arg(i + 1) + entries[i].section(u'|', 0, 0) + u"\r\ncmd="_qs
              + entries[i].section(u'|', 1) + u"\r\n"_qs;
    return platform::codepage::fromUnicode(text);
}

// Entries "e1".."eN", each with a command that must reach the system whole.
QStringList listOf(int count)
{
    QStringList entries;
    for (int i = 1; i <= count; ++i)
        entries << u"e%1|e%1 && $(x)"_qs.arg(i);
    return entries;
}

// As "caption|command", or the captions as a list shows them.
QStringList entriesOf(const ProgramList &list, bool shown = false)
{
    QStringList result;
    for (const ProgramEntry &entry : list.entries())
        result << (shown ? shownText(entry.Caption) : entry.Caption + u'|' + entry.Command);
    return result;
}

// The program list without a window, loaded from file (null: no file); a
// message while loading is answered OK.
struct Model : ModelRun
{
    ProgramList list {context};

    explicit Model(const QByteArray &file)
    {
        if (!file.isNull())
            writeFile(u"applist.tn"_qs, file);
        dialogs.answerMessage(Answer::Ok);
        list.LoadAppList();
    }
};

} // namespace

class tst_Launcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *tag, const QByteArray &file, const QStringList &expected,
                            const QString &message = QString()) { QTest::newRow(tag) << file << expected << message; };

        const QString cleared = u"- ! ok: Ошибка в списке программ: список будет очищен."_qs;
        const QString readError = u"- . ok: Ошибка при чтении файла:\r\n\r\n"_qs;
        const QString mismatch = readError + u"Несоответствие типа"_qs;
        row("no file, saved as [general] max=0", QByteArray(), {});
        row("as written", "[general]\r\nmax=2\r\n[t1]\r\ncap=a b\r\ncmd=c:\\calc.exe\r\n[t2]\r\ncap= \r\ncmd=?\r\n",
            {u"a b|c:\\calc.exe"_qs, u" |?"_qs});
        // Texts the entry dialog lets through, each with something a careless format would lose.
        const QStringList storable {u"Программа1|\"/opt/my tools/x\" -a;b && $(rm -rf ~)"_qs, u"[t1]|cmd=q"_qs,
                                    u"\u0098\t\u0001?| "_qs, QString(40000, u'n') + u'|' + QString(40000, u'm')};
        row("every storable text", written(storable), storable);
        row("no caption", "[general]\r\nmax=2\r\n[t1]\r\ncap=a\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n",
            {u"a|A"_qs, u"Приложение2|B"_qs});
        row("max with blanks and a half, to even",
            "[general]\r\nmax=\t2.5 \r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n[t3]\r\n",
            {u"Приложение1|A"_qs, u"Приложение2|B"_qs});
        // The program's own empty list loses nothing, so it is no damaged file;
        // any other count out of range is.
        row("empty list saved", "[general]\r\nmax=0\r\n", {}, cleared);
        row("empty list and more", "[general]\r\nmax=0\r\n[t1]\r\ncap=a\r\ncmd=A\r\n", {}, cleared);
        row("above 100", written(listOf(101)), {}, cleared);
        row("an entry without command", "[general]\r\nmax=3\r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n", {},
            u"- x ok: Обнаружена ошибка в списке программ. Список не будет загружен."_qs);
        row("max not wholly a number", "[general]\r\nmax=2x\r\n", {}, mismatch);
        row("max beyond 16 bits", "[general]\r\nmax=40000\r\n", {}, readError + u"Переполнение"_qs);

        // Huge or broken files end in one of the outcomes above.
        row("no line ends", "[general]max=1[t1]cap=acmd=b", {}, mismatch);
        row("one endless line", QByteArray(20 * 1024 * 1024, '['), {}, mismatch);
        row("an endless last value", "[general]\r\nmax=1\r\n[t1]\r\ncmd=" + QByteArray(20 * 1024 * 1024, 'c'),
            {u"Приложение1|"_qs + QString(20 * 1024 * 1024, u'c')});
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);

        Model model(file);
        QCOMPARE(entriesOf(model.list), expected);
        QCOMPARE(model.dialogs.asked().join(u'\n'), message);
        QVERIFY(!model.list.hasUnsavedChanges());
        // Stamped with what was read, then with what was written.
        QVERIFY(platform::filesystem::unchangedSince(model.path(u"applist.tn"_qs), model.list.fileStamp()));
        // Loading writes nothing, not even the copy a later save keeps.
        QCOMPARE(model.read(u"applist.tn"_qs), file.isNull() ? QByteArray("<missing>") : file);
        QVERIFY(!QFile::exists(model.path(u"applist.tn.bak"_qs)));
        // However many lines look like a header or a key, the file is read once;
        // the program's own empty list is read again to be told from a damaged one.
        const bool ownEmptyList = file == "[general]\r\nmax=0\r\n";
        CountingBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        applistfile::Slots slots;
        platform::failureOf([&] { applistfile::read(buffer, slots); });
        QVERIFY(buffer.bytesRead <= (ownEmptyList ? 2 : 1) * file.size());

        // Saved unchanged, the list is written all the same. The first save after
        // a failed load keeps the file, which holds the user's entries, as a copy.
        for (int save = 0; save < 2; ++save)
            QCOMPARE(model.list.SaveAppList(), SaveOutcome::Saved);
        QVERIFY(platform::filesystem::unchangedSince(model.path(u"applist.tn"_qs), model.list.fileStamp()));
        QCOMPARE(model.read(u"applist.tn"_qs),
                 QTest::currentDataTag() == QByteArray("as written") ? file : written(expected));
        QCOMPARE(model.read(u"applist.tn.bak"_qs), message.isEmpty() || ownEmptyList ? QByteArray("<missing>") : file);
    }

    // Each row is named for the command, "enter" being the entry dialog's OK.
    void commands_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entered"); // "caption|command"
        QTest::addColumn<QStringList>("expected"); // none: as it was
        QTest::addColumn<QString>("asked"); // a question answered as the row's name ends, Yes or No
        const auto row = [](const char *name, int count, int position, const QString &entered,
                            const QStringList &expected, const QString &asked = {}) {
            QTest::newRow(name) << count << position << entered << expected << asked;
        };

        const QStringList four = listOf(4);
        const QString x = u"x|X"_qs;
        const int add = ProgramList::Adding;
        row("enter new", 2, add, x, listOf(2) << x);
        row("enter the hundredth", 99, add, x, listOf(99) << x);
        row("enter past the hundredth", 100, add, x, {},
            u"- . ok: Список программ содержит 100 элементов. Больше добавить нельзя!"_qs);
        row("enter into a damaged list", 101, add, x, {x});
        // With what a careless check would turn away.
        const QString over = u"[t1] = \u0098\t?|\"/opt/my tools/x\" -a;b && $(rm -rf ~)"_qs;
        row("enter over an entry", 4, 1, over, {four[0], over, four[2], four[3]});
        row("enter the same entry", 4, 1, four[1], {});
        // Only an empty text is refused, and a text the file would not give back.
        row("enter blanks", 2, add, u"   |   "_qs, listOf(2) << u"   |   "_qs);
        row("enter nothing", 2, 0, u"|"_qs, {}, u"- x ok: Надо указать название программы!"_qs);
        row("enter no command", 2, add, u" |"_qs, {},
            u"- x ok: Надо указать командную строку для запуска программы."_qs);
        const QString lineBreak
            = u" есть перевод строки, а в списке программ каждое значение занимает одну строку. Уберите его."_qs;
        row("enter a line break", 2, add, u"a\nb|p"_qs, {}, u"- x ok: В названии программы"_qs + lineBreak);
        row("enter a lone CR", 2, 0, u"a|p\rq"_qs, {}, u"- x ok: В командной строке"_qs + lineBreak);
        row("enter outside the code page", 2, add, u"a|p\U0001F600"_qs, {},
            u"- x ok: В командной строке есть знак «\U0001F600» (U+1F600), которого нет в кодировке Windows-1251: в "
            "списке программ он не сохранится. Уберите или замените его."_qs);
        const QString remove = u"- i yesno: Вы уверены, что хотите удалить программу из списка?\r\n\r\ne"_qs;
        row("remove in the middle, Yes", 4, 1, {}, {four[0], four[2], four[3]}, remove + u'2');
        row("remove at the end, Yes", 4, 3, {}, four.mid(0, 3), remove + u'4');
        row("remove, No", 4, 1, {}, {}, remove + u'2');
        row("restore", 4, 0, x, {x});
    }

    void commands()
    {
        QFETCH(int, count);
        QFETCH(int, position);
        QFETCH(QString, entered);
        QFETCH(QStringList, expected);
        QFETCH(QString, asked);
        const QString name = QString::fromUtf8(QTest::currentDataTag());

        Model model(written(listOf(count)));
        model.dialogs.clear();
        model.dialogs.answerMessage(name.endsWith(u"Yes") ? Answer::Yes : Answer::No);
        QSignalSpy changed(&model.list, &ProgramList::changed);
        ProgramListModel captions(model.list);
        const QAbstractItemModelTester tester(&captions);
        const ReaderCache heard(captions); // every change named
        const ProgramEntry entry {entered.section(u'|', 0, 0), entered.section(u'|', 1)};
        if (name.startsWith(u"enter"))
            QCOMPARE(model.list.enter(position, entry), asked.isEmpty());
        else if (name.startsWith(u"remove"))
            model.list.remove(position);
        else
            model.list.restore({entry});

        QCOMPARE(entriesOf(model.list), expected.isEmpty() ? listOf(count) : expected);
        QCOMPARE(heard.rows(), entriesOf(model.list, true));
        QCOMPARE(model.dialogs.asked().join(u'\n'), asked);
        // Every command marks the list changed, even one that changes nothing; a refused one does not.
        const bool refused = !asked.isEmpty() && !name.endsWith(u"Yes");
        QCOMPARE(model.list.hasUnsavedChanges(), !refused);
        QCOMPARE(changed.size(), refused ? 0 : 1);

        // A save that fails keeps the mark and the file.
        const WritesRefused writesRefused;
        model.dialogs.answerMessage(Answer::Ok);
        QCOMPARE(model.list.SaveAppList(), SaveOutcome::Failed);
        QCOMPARE(model.list.hasUnsavedChanges(), !refused);
        QCOMPARE(model.read(u"applist.tn"_qs), written(listOf(count)));
    }

    // Each row is named for what the user does: the buttons by their first
    // word, a double click, a click on empty space; in the entry dialog, how
    // it is left.
    void page_data()
    {
        QTest::addColumn<int>("selected"); // -1: none; a selected entry is started by Запуск and a double click
        QTest::addColumn<QString>("message");
        // The window's and the list's pointers at each call of the system or a
        // message box: w(ait), a(rrow), p(ointing hand).
        QTest::addColumn<QString>("pointers");
        // Into the entry dialog, "caption|command", the command chosen through Обзор... where the row says so.
        QTest::addColumn<QString>("typed");
        const auto row
            = [](const char *how, int selected, const QString &message, const QString &pointers,
                 const QString &typed = {}) { QTest::newRow(how) << selected << message << pointers << typed; };

        const QString select = u"- i ok: Сначала выберите программу!"_qs;
        row("Запуск", 1, {}, u"ww"_qs);
        row("Запуск, nothing selected", -1, select, u"ap"_qs);
        row("Изменить, nothing selected", -1, select, u"ap"_qs);
        row("Удалить, nothing selected", -1, select, u"ap"_qs);
        row("Удалить, Yes", 1, u"- i yesno: Вы уверены, что хотите удалить программу из списка?\r\n\r\ne2"_qs,
            u"ap"_qs);
        row("Добавить, 100 entries", -1, u"- . ok: Список программ содержит 100 элементов. Больше добавить нельзя!"_qs,
            u"ap"_qs);
        row("double click", 0, {}, u"ww"_qs);
        row("double click, nothing selected", -1, {}, {});
        row("empty space keeps the selection for Запуск", 0, {}, u"ww"_qs);
        row("Запуск fails", 1, u"- x ok: Ошибка при запуске приложения:\r\n\r\ne2 && $(x)\r\n\r\nФайл не найден"_qs,
            u"wwww"_qs);
        row("Сохранить fails", -1,
            u"- x ok: Возникла ошибка при сохранении списка программ:\r\n\r\nОтказано в разрешении"_qs, u"wp"_qs);
        row("Добавить, blanks, OK", 0, {}, {}, u"   |   "_qs);
        row("Добавить, Обзор..., OK", 0, {}, {}, u"t|/opt/my tools/x"_qs);
        row("Добавить, empty caption, Enter", 0, u"- x ok: Надо указать название программы!"_qs, u"ap"_qs, u"|p"_qs);
        row("Изменить, Enter", 0, {}, {}, u"x|X"_qs);
        row("Изменить, Отмена", 0, {}, {}, u"edited|p"_qs);
        row("Изменить, close box", 0, {}, {}, u"edited|p"_qs);
    }

    void page()
    {
        QFETCH(int, selected);
        QFETCH(QString, message);
        QFETCH(QString, pointers);
        QFETCH(QString, typed);
        const QString how = QString::fromUtf8(QTest::currentDataTag());

        Run run;
        // The first caption is longer than a list shows, and than a line edit takes unless told otherwise.
        QStringList entries = listOf(how.contains(u"100 entries") ? 100 : 2);
        entries[0] = QString(100000, u'a') + u"z|"_qs + QString(40000, u'm');
        run.writeFile(u"applist.tn"_qs, written(entries));
        RunPage &page = run.show<RunPage>(frmMain::PageRun);
        RunListBox *list = page.RunList;
        frmMain &window = *run.window;
        const QString cut = list->model()->index(0, 0).data().toString();
        QVERIFY(entries[0].startsWith(cut) && cut.size() >= 100 && cut.size() <= 1000);
        if (how == u"Запуск fails")
            run.system.failWith(FakeSystem::Effect::Start,
                                platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
        const WritesRefused refusal(run.dir.path()); // no save succeeds
        run.dialogs.answerMessage(how.endsWith(u"Yes") ? Answer::Yes : Answer::Ok);
        QString whileCalled;
        const auto note = [&] {
            for (const QCursor &c : {window.cursor(), list->viewport()->cursor()})
                whileCalled += c.shape() == Qt::WaitCursor ? u'w' : c.shape() == Qt::ArrowCursor ? u'a' : u'p';
        };
        run.system.whileCalled = run.dialogs.whileAsked = note;

        const QPoint below(5, list->viewport()->height() - 5); // empty space below the entries
        const QPoint on = selected < 0 ? below : list->visualRect(list->model()->index(selected, 0)).center();
        if (selected >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, on);
        if (how.startsWith(u"double click"))
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, on);
        if (how.startsWith(u"empty space"))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
        // From the keyboard, so that the button has the focus.
        QPushButton *pressed = nullptr;
        const auto press = [&pressed](QPushButton *button) {
            (pressed = button)->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
        };
        for (QPushButton *button : page.findChildren<QPushButton *>())
            if (how.contains(button->text().section(u' ', 0, 0)))
                press(button);
        QStringList expected = entries;
        if (how.endsWith(u"Yes"))
            expected.removeAt(selected);
        // The entry dialog: a fresh one every time, with its own texts or the
        // entry's whole, over a disabled main window.
        const auto opened = [&] {
            const frmDetails *d = page.details();
            return d && !window.isEnabled() && d->isEnabled()
                && QStringList {d->windowTitle(), d->txtTitle->text(), d->txtPath->text()}.join(u'|')
                       == (pressed == page.cmdAddApp ? u"Добавление программы|Программа1|c:\\windows\\calc.exe"_qs
                                                     : u"Изменение свойств программы|"_qs + expected[0]);
        };
        if (!typed.isEmpty()) {
            QVERIFY(opened());
            QPointer<frmDetails> details = page.details();
            details->txtTitle->setText(typed.section(u'|', 0, 0));
            details->txtPath->setText(how.contains(u"Обзор") ? QString() : typed.section(u'|', 1));
            if (how.contains(u"Обзор")) {
                run.dialogs.answerFile(typed.section(u'|', 1));
                details->cmdBrowse->click();
                run.dialogs.answerFile(QString()); // cancelled
                details->cmdBrowse->click();
                const auto request = run.dialogs.calls().first().file;
                QCOMPARE((QStringList {request.filter, request.title, request.pattern, request.initialFolder}),
                         (QStringList {u"Все файлы|*.*"_qs, u"Выбор программы"_qs, u"*.*"_qs, run.path(QString())}));
            }
            // A close request that reaches the disabled main window is ignored;
            // nor is Escape a way out: the typed text would be dropped.
            QVERIFY(!window.close());
            QTest::keyClick(details->txtTitle, Qt::Key_Escape);
            QVERIFY(details && details->isVisible());
            if (how.endsWith(u"Enter"))
                QTest::keyClick(details->txtTitle, Qt::Key_Return);
            else if (how.endsWith(u"OK"))
                details->cmdOK->click();
            else if (how.endsWith(u"Отмена")) {
                details->activateWindow();
                QTRY_COMPARE(QApplication::activeWindow(), details.data()); // not merely sharing the main window's
                QTest::sendKeyEvent(QTest::Click, details, Qt::Key(0x041E), u"О"_qs, Qt::AltModifier); // its mnemonic
            } else
                details->close();
            if (!message.isEmpty()) { // refused
                QVERIFY(details && details->isVisible() && !window.isEnabled());
                details->close();
            } else if (how.endsWith(u"OK") || how.endsWith(u"Enter"))
                pressed == page.cmdAddApp ? expected.append(typed) : void(expected[0] = typed);
            QTRY_VERIFY(!details && window.isEnabled()); // a mnemonic clicks after a short delay
            // Disabling the main window took the keyboard from the button; it
            // comes back once the window manager activates the main window again.
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCOMPARE(QApplication::focusWidget(), pressed);
        }

        const bool starts = selected >= 0 && (how.contains(u"Запуск") || how.startsWith(u"double click"));
        QCOMPARE(run.system.effects().join(u'\n'),
                 starts ? u"start:"_qs + entries[selected].section(u'|', 1) : QString());
        QCOMPARE(run.dialogs.asked().join(u'\n'), message);
        note(); // and after: the arrow, and the hand over the list
        QCOMPARE(whileCalled, pointers + u"ap"_qs);
        // A changed list is shown, with nothing selected; the entry the
        // keyboard then comes to is the selected one.
        QVERIFY(entriesOf(window.programs()) == expected);
        QCOMPARE(ReaderCache(*list->model()).rows(), entriesOf(window.programs(), true));
        QCOMPARE(list->selectedPosition(), expected == entries ? selected : -1);
        list->setFocus(Qt::TabFocusReason);
        QCOMPARE(list->selectedPosition(), list->currentIndex().row());
        QVERIFY(!page.details() && window.isEnabled());
        if (!typed.isEmpty()) { // opened again
            list->setCurrentIndex(list->model()->index(0, 0));
            press(pressed);
            QVERIFY(opened());
        }
    }
};

QTEST_MAIN(tst_Launcher)
#include "tst_launcher.moc"
