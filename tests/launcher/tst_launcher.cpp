#include "applistfile.h"
#include "codepage.h"
#include "countingbuffer.h"
#include "frmdetails.h"
#include "platformtest.h"
#include "run.h"
#include "runpage.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
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

// The program list without a window, loaded from file (null: no file); a
// message while loading is answered OK.
struct Model : Run
{
    AppContext context {dialogs, system};
    ProgramList list {context};

    explicit Model(const QByteArray &file)
    {
        if (!file.isNull())
            writeFile(u"applist.tn"_qs, file);
        dialogs.answerMessage(Answer::Ok);
        list.LoadAppList();
    }
    // As "caption|command".
    QStringList entries() const
    {
        QStringList result;
        for (int i = 1; i <= list.AppCount; ++i)
            result << list.AppList[i].Caption + u'|' + list.AppList[i].Command;
        return result;
    }
};

// The "Запуск" page of the shown window, loaded from file.
RunPage &shownPage(Run &run, const QByteArray &file)
{
    run.writeFile(u"applist.tn"_qs, file);
    return run.show<RunPage>(frmMain::PageRun);
}

QStringList shown(const RunPage &page)
{
    QStringList result;
    for (int i = 0; i < page.RunList->count(); ++i)
        result << page.RunList->item(i)->text();
    return result;
}

// Where the entry at position is shown; -1: empty space below the entries.
QPoint at(const RunListBox *list, int position)
{
    return position < 0 ? QPoint(5, list->viewport()->height() - 5)
                        : list->visualItemRect(list->item(position)).center();
}

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
        const QStringList longEntries(100, QString(100000, u'a') + u"|c"_qs);
        row("100 captions of 100,000 characters", written(longEntries), longEntries);
        row("an endless last value", "[general]\r\nmax=1\r\n[t1]\r\ncmd=" + QByteArray(20 * 1024 * 1024, 'c'),
            {u"Приложение1|"_qs + QString(20 * 1024 * 1024, u'c')});
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);

        Model model(file);
        QCOMPARE(model.entries(), expected);
        QCOMPARE(model.dialogs.asked().join(u'\n'), message);
        QVERIFY(!model.list.StartCh);
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
        QCOMPARE(model.read(u"applist.tn"_qs),
                 QTest::currentDataTag() == QByteArray("as written") ? file : written(expected));
        QCOMPARE(model.read(u"applist.tn.bak"_qs), message.isEmpty() || ownEmptyList ? QByteArray("<missing>") : file);
    }

    void commands_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("command"); // entering "x|X", or "same": the entry already there
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("expected");

        const QStringList four = listOf(4);
        QTest::newRow("add") << 2 << u"add"_qs << 0 << (listOf(2) << u"x|X"_qs);
        QTest::newRow("add the hundredth") << 99 << u"add"_qs << 0 << (listOf(99) << u"x|X"_qs);
        QTest::newRow("add past the hundredth") << 100 << u"add"_qs << 0 << listOf(100);
        QTest::newRow("add to a damaged list") << 101 << u"add"_qs << 0 << QStringList {u"x|X"_qs};
        QTest::newRow("change") << 4 << u"change"_qs << 1 << QStringList {four[0], u"x|X"_qs, four[2], four[3]};
        QTest::newRow("change to the same entry") << 4 << u"change same"_qs << 1 << four;
        QTest::newRow("remove in the middle") << 4 << u"remove"_qs << 1 << QStringList {four[0], four[2], four[3]};
        QTest::newRow("remove at the end") << 4 << u"remove"_qs << 3 << four.mid(0, 3);
    }

    void commands()
    {
        QFETCH(int, count);
        QFETCH(QString, command);
        QFETCH(int, position);
        QFETCH(QStringList, expected);

        Model model(written(listOf(count)));
        QSignalSpy changed(&model.list, &ProgramList::changed);
        const ProgramEntry entered
            = command.endsWith(u"same") ? model.list.AppList[position + 1] : ProgramEntry {u"x"_qs, u"X"_qs};
        if (command == u"add")
            model.list.add(entered);
        else if (command == u"remove")
            model.list.remove(position);
        else
            model.list.change(position, entered);

        QCOMPARE(model.entries(), expected);
        // Every command marks the list changed, even one that changes nothing; a refused one does not.
        const bool refused = count == ProgramList::MaxApps;
        QCOMPARE(model.list.StartCh, !refused);
        QCOMPARE(changed.size(), refused ? 0 : 1);

        // A save that fails keeps the mark and the file: a folder below a file,
        // or no room for the copy of a damaged list.
        std::optional<WritesRefused> refusal;
        if (count > ProgramList::MaxApps)
            QVERIFY(QDir(model.dir.path()).mkdir(u"applist.tn.bak"_qs));
        else
            refusal.emplace();
        model.dialogs.clear();
        model.dialogs.answerMessage(Answer::Ok);
        QCOMPARE(model.list.SaveAppList(), SaveOutcome::Failed);
        const QString cause
            = count > ProgramList::MaxApps ? u"Ошибка доступа к пути/файлу"_qs : u"Отказано в разрешении"_qs;
        QCOMPARE(model.dialogs.asked(),
                 QStringList {u"- x ok: Возникла ошибка при сохранении списка программ:\r\n\r\n"_qs + cause});
        QCOMPARE(model.list.StartCh, !refused);
        QCOMPARE(model.read(u"applist.tn"_qs), written(listOf(count)));
    }

    void page_showsCaptions_changesLongOnesWhole()
    {
        Run run;
        // Longer than a line edit takes unless told otherwise.
        const QString caption = QString(100000, u'a') + u'z';
        const QString command = QString(40000, u'm');
        const QByteArray file = written({caption + u'|' + command});
        RunPage &page = shownPage(run, file);
        // A long caption is shown as a beginning short enough to lay out.
        const QString cut = shown(page).value(0);
        QVERIFY(caption.startsWith(cut) && cut.size() >= 100 && cut.size() <= 1000);

        QTest::mouseClick(page.RunList->viewport(), Qt::LeftButton, {}, at(page.RunList, 0));
        page.cmdChangeApp->click();
        frmDetails *details = page.details();
        QVERIFY(details);
        QCOMPARE(details->windowTitle(), u"Изменение свойств программы"_qs);
        QVERIFY(details->txtTitle->text() == caption && details->txtPath->text() == command);
        details->cmdOK->click();

        QCOMPARE(run.window->programs().SaveAppList(), SaveOutcome::Saved);
        QCOMPARE(run.read(u"applist.tn"_qs), file);
    }

    // Each row is named for what the user does: the buttons by their first
    // word, a double click, a click on empty space.
    void page_buttons_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected"); // -1: none; a selected entry is started by Запуск and a double click
        QTest::addColumn<QString>("message");
        // The window's and the list's pointers at each call of the system or a
        // message box: w(ait), a(rrow), p(ointing hand).
        QTest::addColumn<QString>("pointers");
        const auto row = [](const char *how, int selected, const QString &message, const QString &pointers,
                            int count = 2) { QTest::newRow(how) << count << selected << message << pointers; };

        const QString select = u"- i ok: Сначала выберите программу!"_qs;
        const QString remove = u"- i yesno: Вы уверены, что хотите удалить программу из списка?\r\n\r\ne1"_qs;
        row("Запуск", 1, {}, u"ww"_qs);
        row("Запуск, nothing selected", -1, select, u"ap"_qs);
        row("Изменить, nothing selected", -1, select, u"ap"_qs);
        row("Удалить, nothing selected", -1, select, u"ap"_qs);
        row("Удалить, Yes", 0, remove, u"ap"_qs);
        row("Удалить, No", 0, remove, u"ap"_qs);
        row("Добавить, 100 entries", -1, u"- . ok: Список программ содержит 100 элементов. Больше добавить нельзя!"_qs,
            u"ap"_qs, 100);
        row("double click", 0, {}, u"ww"_qs);
        row("double click, nothing selected", -1, {}, {});
        row("empty space keeps the selection for Запуск", 0, {}, u"ww"_qs);
        row("Запуск fails", 0, u"- x ok: Ошибка при запуске приложения:\r\n\r\ne1 && $(x)\r\n\r\nФайл не найден"_qs,
            u"wwww"_qs);
        row("Сохранить fails", -1,
            u"- x ok: Возникла ошибка при сохранении списка программ:\r\n\r\nОтказано в разрешении"_qs, u"wp"_qs);
    }

    void page_buttons()
    {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(QString, message);
        QFETCH(QString, pointers);
        const QString how = QString::fromUtf8(QTest::currentDataTag());

        Run run;
        RunPage &page = shownPage(run, written(listOf(count)));
        RunListBox *list = page.RunList;
        frmMain &window = *run.window;
        if (how == u"Запуск fails")
            run.system.failWith(FakeSystem::Effect::Start,
                                platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
        const WritesRefused refusal; // no save succeeds
        run.dialogs.answerMessage(how.endsWith(u"Yes") ? Answer::Yes : how.endsWith(u"No") ? Answer::No : Answer::Ok);
        QString whileCalled;
        const auto note = [&] {
            for (const QCursor &cursor : {window.cursor(), list->viewport()->cursor()})
                whileCalled += cursor.shape() == Qt::WaitCursor  ? u'w'
                             : cursor.shape() == Qt::ArrowCursor ? u'a'
                                                                 : u'p';
        };
        run.system.whileCalled = run.dialogs.whileAsked = note;

        if (selected >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(list, selected));
        if (how.startsWith(u"double click"))
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(list, selected));
        if (how.startsWith(u"empty space"))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(list, -1));
        for (QPushButton *button : page.findChildren<QPushButton *>())
            if (how.contains(button->text().section(u' ', 0, 0)))
                button->click();

        const bool starts = selected >= 0 && (how.contains(u"Запуск") || how.startsWith(u"double click"));
        QCOMPARE(run.system.effects().join(u'\n'), starts ? u"start:e%1 && $(x)"_qs.arg(selected + 1) : QString());
        QCOMPARE(run.dialogs.asked().join(u'\n'), message);
        note(); // and after: the arrow, and the hand over the list
        QCOMPARE(whileCalled, pointers + u"ap"_qs);
        // Yes removes the entry: the list is refilled, with nothing selected.
        QStringList captions = listOf(count).replaceInStrings(QRegularExpression(u"\\|.*"_qs), QString());
        if (how.endsWith(u"Yes"))
            captions.removeAt(selected);
        QCOMPARE(shown(page), captions);
        QCOMPARE(list->selectedPosition(), how.endsWith(u"Yes") ? -1 : selected);
        QVERIFY(!page.details() && window.isEnabled());
    }

    void details_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("path"); // "browse": chosen through Обзор...
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("refusal"); // none: the dialog closes

        const auto row = [](const char *name, const QString &title, const QString &path, const QString &refusal = {},
                            const QString &way = u"OK"_qs) { QTest::newRow(name) << title << path << way << refusal; };

        // Texts with something a careless dialog would turn away.
        row("OK", u"[t1] = \u0098\t?"_qs, u"\"/opt/my tools/x\" -a;b && $(rm -rf ~)"_qs);
        row("Обзор..., OK", u"t"_qs, u"browse"_qs);
        row("Отмена", u"edited"_qs, u"p"_qs, {}, u"Отмена"_qs);
        row("close box", u"edited"_qs, u"p"_qs, {}, u"close box"_qs);
        const QString noName = u"- x ok: Надо указать название программы!"_qs;
        const QString lineBreak
            = u" есть перевод строки, а в списке программ каждое значение занимает одну строку. Уберите его."_qs;
        row("empty caption, Enter", {}, u"p"_qs, noName, u"Enter"_qs);
        row("both empty", {}, {}, noName);
        row("empty command", u" "_qs, {}, u"- x ok: Надо указать командную строку для запуска программы."_qs);
        row("pasted line break", u"a\nb"_qs, u"p"_qs, u"- x ok: В названии программы"_qs + lineBreak);
        row("pasted lone CR", u"a"_qs, u"p\rq"_qs, u"- x ok: В командной строке"_qs + lineBreak);
        row("outside the code page", u"a"_qs, u"p\U0001F600"_qs,
            u"- x ok: В командной строке есть знак «\U0001F600» (U+1F600), которого нет в кодировке Windows-1251: в "
            "списке программ он не сохранится. Уберите или замените его."_qs);
    }

    void details()
    {
        QFETCH(QString, title);
        QFETCH(QString, path);
        QFETCH(QString, way);
        QFETCH(QString, refusal);

        Run run;
        RunPage &page = shownPage(run, written(listOf(1)));
        frmMain &window = *run.window;
        // What an opening shows: a fresh dialog every time, over a disabled main window.
        const auto opened = [&page, &window] {
            page.cmdAddApp->click();
            const frmDetails *d = page.details();
            return d ? QStringList {d->windowTitle(), d->txtTitle->text(), d->txtPath->text(),
                                    window.isEnabled() ? u"on"_qs : u"off"_qs, d->isEnabled() ? u"on"_qs : u"off"_qs}
                           .join(u'|')
                     : QString();
        };
        const QString fresh = u"Добавление программы|Программа1|c:\\windows\\calc.exe|off|on"_qs;
        QCOMPARE(opened(), fresh);
        QPointer<frmDetails> details = page.details();
        details->txtTitle->setText(title);
        if (path == u"browse") {
            path = u"/opt/my tools/x"_qs;
            run.dialogs.answerFile(path);
            details->cmdBrowse->click();
            run.dialogs.answerFile(QString()); // cancelled
            details->cmdBrowse->click();
            const auto request = run.dialogs.calls().first().file;
            QCOMPARE((QStringList {request.filter, request.title, request.pattern, request.initialFolder}),
                     (QStringList {u"Все файлы|*.*"_qs, u"Выбор программы"_qs, u"*.*"_qs, run.path(QString())}));
        } else
            details->txtPath->setText(path);
        // A close request that reaches the disabled main window is ignored; nor
        // is Escape a way out: the typed text would be dropped.
        QVERIFY(!window.close());
        QTest::keyClick(details->txtTitle, Qt::Key_Escape);
        QVERIFY(details && details->isVisible());

        run.dialogs.answerMessage(Answer::Ok);
        if (way == u"Enter")
            QTest::keyClick(details->txtTitle, Qt::Key_Return);
        else if (way == u"OK")
            details->cmdOK->click();
        else if (way == u"Отмена") {
            details->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), details.data()); // not merely sharing the main window's
            QTest::sendKeyEvent(QTest::Click, details, Qt::Key(0x041E), u"О"_qs, Qt::AltModifier); // its mnemonic
        } else
            details->close();
        QCOMPARE(run.dialogs.asked().join(u'\n'), refusal);
        if (!refusal.isEmpty()) {
            QVERIFY(details && details->isVisible() && !window.isEnabled());
            details->close();
        }
        QTRY_VERIFY(window.isEnabled()); // a mnemonic clicks after a short delay
        QTRY_VERIFY(!details);
        const bool added = way == u"OK" && refusal.isEmpty();
        QCOMPARE(window.programs().AppList[2].Command, added ? path : QString());
        QCOMPARE(shown(page), added ? (QStringList {u"e1"_qs, title}) : QStringList {u"e1"_qs});
        QCOMPARE(opened(), fresh);
        page.details()->close();
    }
};

QTEST_MAIN(tst_Launcher)
#include "tst_launcher.moc"
