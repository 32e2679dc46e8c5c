#include "applistfile.h"
#include "codepage.h"
#include "countingbuffer.h"
#include "frmdetails.h"
#include "run.h"
#include "runpage.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Answer = platform::Dialogs::Answer;

namespace {

QByteArray ansi(const QString &text)
{
    return platform::codepage::fromUnicode(text);
}

// The file written for entries "caption|command", one CR LF line each.
QByteArray written(const QStringList &entries)
{
    QString text = u"[general]\r\nmax="_qs + QString::number(entries.size()) + u"\r\n"_qs;
    for (int i = 0; i < entries.size(); ++i)
        text += u"[t%1]\r\ncap="_qs.arg(i + 1) + entries[i].section(u'|', 0, 0) + u"\r\ncmd="_qs
              + entries[i].section(u'|', 1) + u"\r\n"_qs;
    return ansi(text);
}

// The entry of a caption in these tests: its command goes to the system whole.
QString entry(const QString &caption)
{
    return caption + u"|run "_qs + caption + u" && $(x)"_qs;
}

// Entries "e1".."eN".
QStringList listOf(int count)
{
    QStringList entries;
    for (int i = 1; i <= count; ++i)
        entries << entry(u"e%1"_qs.arg(i));
    return entries;
}

QByteArray listFile(int count)
{
    return written(listOf(count));
}

QStringList described(const FakeDialogs &dialogs)
{
    QStringList result;
    for (const auto &call : dialogs.messages())
        result << FakeDialogs::describe(call.message);
    return result;
}

QStringList unlessEmpty(const QString &text)
{
    return text.isEmpty() ? QStringList() : QStringList {text};
}

// The program list without a window, loaded from file (null: no file);
// a message while loading is answered OK when one is expected.
struct Model : Run
{
    AppContext context {dialogs, system};
    ProgramList list {context};

    explicit Model(const QByteArray &file, bool message = false)
    {
        context.state.ProgramFolder = path(QString());
        context.state.CrLf2 = u"\r\n\r\n"_qs;
        if (!file.isNull())
            writeFile(u"applist.tn"_qs, file);
        if (message)
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

// The "Запуск" page of a shown window, loaded from file.
RunPage &shownPage(Run &run, const QByteArray &file)
{
    run.writeFile(u"applist.tn"_qs, file);
    frmMain &window = run.start();
    window.show();
    window.SSTab1->setCurrentIndex(frmMain::PageRun);
    return *window.page<RunPage>(frmMain::PageRun);
}

QStringList shown(const RunPage &page)
{
    QStringList result;
    for (int i = 0; i < page.RunList->count(); ++i)
        result << page.RunList->item(i)->text();
    return result;
}

// False, so that the row fails instead of the whole program crashing, when
// the list has no entry at position.
[[nodiscard]] bool select(RunPage &page, int position)
{
    QListWidget *list = page.RunList;
    if (position >= list->count())
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(position)).center());
    return true;
}

[[nodiscard]] bool setSelected(QListWidget *list, int position)
{
    if (position >= list->count())
        return false;
    list->item(position)->setSelected(true);
    return true;
}

QPoint emptySpace(const QListWidget *list)
{
    return QPoint(5, list->viewport()->height() - 5);
}

} // namespace

class tst_Launcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data();
    void load();
    void load_hugeOrBrokenFiles_endInADesignedOutcome_data();
    void load_hugeOrBrokenFiles_endInADesignedOutcome();
    void storableTexts_surviveSaveAndLoad();
    void commands_data();
    void commands();
    void save_failed_keepsStartChAndOldFile_data();
    void save_failed_keepsStartChAndOldFile();
    void shutdown_savesTheList();
    void page_showsCaptions_changesLongOnesWhole();
    void page_buttons_data();
    void page_buttons();
    void page_changeOrDelete_data();
    void page_changeOrDelete();
    void details_refusesAndStaysOpen_data();
    void details_refusesAndStaysOpen();
    void details_browse_putsPathUnquoted();
    void details_everyWayOut_enablesMainWindow_data();
    void details_everyWayOut_enablesMainWindow();
};

void tst_Launcher::load_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("kept"); // the first save keeps the file as applist.tn.bak

    const QString cleared = u"! ok: Ошибка в списке программ: список будет очищен."_qs;
    const QString readError = u". ok: Ошибка при чтении файла:\r\n\r\n"_qs;
    QTest::newRow("no file, saved as [general] max=0") << QByteArray() << QStringList() << QString() << false;
    QTest::newRow("as written") << ansi(
        u"[general]\r\nmax=1\r\n[t1]\r\ncap=Программа1\r\ncmd=c:\\windows\\calc.exe\r\n"_qs)
                                << QStringList {u"Программа1|c:\\windows\\calc.exe"_qs} << QString() << false;
    QTest::newRow("any case, any order, other lines")
        << QByteArray("[T2] more\r\nCap=b\r\nCMD=B\r\nnote\r\n[t1]\r\ncap=a\r\ncmd=A\r\n[GENERAL]\r\nMAX=2")
        << QStringList {u"a|A"_qs, u"b|B"_qs} << QString() << false;
    QTest::newRow("no caption") << QByteArray("[general]\r\nmax=2\r\n[t1]\r\ncap=a\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n")
                                << QStringList {u"a|A"_qs, u"Приложение2|B"_qs} << QString() << false;
    QTest::newRow("t1 is not t10") << QByteArray(
        "[general]\r\nmax=1\r\n[t10]\r\ncap=x\r\ncmd=X\r\n[t1]\r\ncap=a\r\ncmd=A\r\n")
                                   << QStringList {u"a|A"_qs} << QString() << false;
    QTest::newRow("max with blanks and a half, to even")
        << QByteArray("[general]\r\nmax=\t2.5 \r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n[t3]\r\n")
        << QStringList {u"Приложение1|A"_qs, u"Приложение2|B"_qs} << QString() << false;
    // The program's own empty list loses nothing, so it is no damaged file;
    // any other count out of range is.
    QTest::newRow("empty list saved") << QByteArray("[general]\r\nmax=0\r\n") << QStringList() << cleared << false;
    QTest::newRow("empty list and more") << QByteArray("[general]\r\nmax=0\r\n[t1]\r\ncap=a\r\ncmd=A\r\n")
                                         << QStringList() << cleared << true;
    QTest::newRow("above 100") << listFile(101) << QStringList() << cleared << true;
    QTest::newRow("an entry without command")
        << QByteArray("[general]\r\nmax=3\r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n") << QStringList()
        << u"x ok: Обнаружена ошибка в списке программ. Список не будет загружен."_qs << true;
    QTest::newRow("max not wholly a number")
        << QByteArray("[general]\r\nmax=2x\r\n") << QStringList() << readError + u"Несоответствие типа"_qs << true;
    QTest::newRow("max beyond 16 bits") << QByteArray("[general]\r\nmax=40000\r\n") << QStringList()
                                        << readError + u"Переполнение"_qs << true;
}

void tst_Launcher::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    QFETCH(bool, kept);

    Model model(file, !message.isEmpty());
    QCOMPARE(model.entries(), expected);
    QCOMPARE(described(model.dialogs), unlessEmpty(message));
    QVERIFY(!model.list.StartCh);
    // Loading writes nothing, not even the copy a later save keeps.
    QCOMPARE(model.read(u"applist.tn"_qs), file.isNull() ? QByteArray("<missing>") : file);
    QVERIFY(!QFile::exists(model.path(u"applist.tn.bak"_qs)));

    // Saved unchanged, the list is written all the same; only the first save keeps a copy.
    for (int save = 0; save < 2; ++save)
        QCOMPARE(model.list.SaveAppList(), SaveOutcome::Saved);
    QCOMPARE(model.read(u"applist.tn"_qs), written(expected));
    QCOMPARE(model.read(u"applist.tn.bak"_qs), kept ? file : QByteArray("<missing>"));
}

void tst_Launcher::load_hugeOrBrokenFiles_endInADesignedOutcome_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");

    const QString mismatch = u". ok: Ошибка при чтении файла:\r\n\r\nНесоответствие типа"_qs;
    QByteArray junk(64 * 1024, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 251);
    QTest::newRow("junk") << junk << 0 << mismatch;
    QTest::newRow("no line ends") << QByteArray("[general]max=1[t1]cap=acmd=b") << 0 << mismatch;
    QTest::newRow("a million lines before the list")
        << QByteArray("x\r\n").repeated(1000000) + listFile(100) << 100 << QString();
    QTest::newRow("a million lines like a header before the list")
        << QByteArray("[aaaaaaaaaa\r\n").repeated(1000000) + listFile(100) << 100 << QString();
    QByteArray headers = "[general]\r\nmax=100\r\n";
    for (int i = 1; i <= 100; ++i)
        headers += "[t" + QByteArray::number(i) + "]\r\n";
    QTest::newRow("100 headers, then a million lines like a key")
        << headers + QByteArray("cxx=1\r\n").repeated(1000000) + "cap=x\r\ncmd=y\r\n"
        << 100 << QString();
    QTest::newRow("one endless line") << QByteArray(20 * 1024 * 1024, '[') << 0 << mismatch;
    QTest::newRow("an endless last value")
        << "[general]\r\nmax=1\r\n[t1]\r\ncmd=" + QByteArray(20 * 1024 * 1024, 'c') << 1 << QString();
    QTest::newRow("every mix of line ends")
        << QByteArray("\n\r[general]\n\r\nmax=1\r\r\n[t1]\n\rcap=a\n\r\ncmd=b\r") << 1 << QString();
    QTest::newRow("NULs and 0x98") << QByteArray("[general]\r\nmax=1\r\n[t1]\0\r\ncap=\0\x98\r\ncmd=\x98\0", 39) << 1
                                   << QString();
    QByteArray longCaptions = "[general]\r\nmax=100\r\n";
    for (int i = 1; i <= 100; ++i)
        longCaptions += "[t" + QByteArray::number(i) + "]\r\ncap=" + QByteArray(100000, 'a' + i % 26) + "\r\ncmd=c\r\n";
    QTest::newRow("100 captions of 100,000 characters") << longCaptions << 100 << QString();
}

void tst_Launcher::load_hugeOrBrokenFiles_endInADesignedOutcome()
{
    QFETCH(QByteArray, file);
    QFETCH(int, count);
    QFETCH(QString, message);

    Model model(file, !message.isEmpty());
    QCOMPARE(model.list.AppCount, qint16(count));
    QCOMPARE(described(model.dialogs), unlessEmpty(message));

    // However many lines look like a header or a key, the file is read once.
    CountingBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    applistfile::Slots list;
    try {
        applistfile::read(buffer, list);
    } catch (const platform::RuntimeFailure &) {
    }
    QVERIFY(buffer.bytesRead <= file.size());
}

void tst_Launcher::storableTexts_surviveSaveAndLoad()
{
    // Texts the entry dialog lets through, each with something a careless format would lose.
    const QStringList typed {u"Программа1|c:\\windows\\calc.exe"_qs,
                             u"  a = b |\"/opt/my tools/x\" -a;b && $(rm -rf ~)"_qs, u"[t1]|cmd=q"_qs,
                             u"\u0098\t\u0001?| "_qs, QString(40000, u'n') + u'|' + QString(40000, u'm')};
    Model model(QByteArray {});
    for (const QString &text : typed) {
        for (const QString &part : {text.section(u'|', 0, 0), text.section(u'|', 1)})
            QCOMPARE(applistfile::checkStorable(part).reason, applistfile::Unstorable::None);
        model.list.add({text.section(u'|', 0, 0), text.section(u'|', 1)});
    }
    QCOMPARE(model.list.SaveAppList(), SaveOutcome::Saved);
    QCOMPARE(model.read(u"applist.tn"_qs), written(typed));

    Model loaded(model.read(u"applist.tn"_qs));
    QCOMPARE(loaded.entries(), typed);
    QVERIFY(loaded.dialogs.messages().isEmpty());
}

void tst_Launcher::commands_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("command"); // "add", "change N" to "x", "change N same", "remove N"
    QTest::addColumn<QStringList>("expected");

    const QStringList four = listOf(4);
    QTest::newRow("add") << 2 << u"add"_qs << (listOf(2) << entry(u"x"_qs));
    QTest::newRow("add the hundredth") << 99 << u"add"_qs << (listOf(99) << entry(u"x"_qs));
    QTest::newRow("add past the hundredth") << 100 << u"add"_qs << listOf(100);
    QTest::newRow("change") << 4 << u"change 1"_qs << QStringList {four[0], entry(u"x"_qs), four[2], four[3]};
    QTest::newRow("change to the same entry") << 4 << u"change 1 same"_qs << four;
    QTest::newRow("remove in the middle") << 4 << u"remove 1"_qs << QStringList {four[0], four[2], four[3]};
    QTest::newRow("remove at the end") << 4 << u"remove 3"_qs << four.mid(0, 3);
}

void tst_Launcher::commands()
{
    QFETCH(int, count);
    QFETCH(QString, command);
    QFETCH(QStringList, expected);

    Model model(listFile(count));
    QSignalSpy changed(&model.list, &ProgramList::changed);
    const int position = command.section(u' ', 1, 1).toInt();
    const QStringList x = entry(u"x"_qs).split(u'|');
    const ProgramEntry entered
        = command.endsWith(u"same") ? model.list.AppList[position + 1] : ProgramEntry {x[0], x[1]};
    if (command == u"add")
        model.list.add(entered);
    else if (command.startsWith(u"change"))
        model.list.change(position, entered);
    else
        model.list.remove(position);

    QCOMPARE(model.entries(), expected);
    // Every command marks the list changed, even one that changes nothing; a refused one does not.
    const bool refused = count == ProgramList::MaxApps;
    QCOMPARE(model.list.StartCh, !refused);
    QCOMPARE(changed.size(), refused ? 0 : 1);
}

void tst_Launcher::save_failed_keepsStartChAndOldFile_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("folder below a file") << false;
    QTest::newRow("copy of the damaged list cannot be made") << true;
}

void tst_Launcher::save_failed_keepsStartChAndOldFile()
{
    QFETCH(bool, damaged);

    const QByteArray old = damaged ? QByteArray("[general]\r\nmax=1\r\n") : listFile(1);
    Model model(old, damaged);
    if (damaged)
        QVERIFY(QDir(model.dir.path()).mkdir(u"applist.tn.bak"_qs));
    else {
        model.writeFile(u"file"_qs, "x");
        model.context.state.ProgramFolder = model.path(u"file/"_qs);
    }
    model.list.add({u"a"_qs, u"b"_qs});
    model.dialogs.clear();

    model.dialogs.answerMessage(Answer::Ok);
    QCOMPARE(model.list.SaveAppList(), SaveOutcome::Failed);
    QCOMPARE(model.dialogs.messages().size(), 1);
    QVERIFY(described(model.dialogs)
                .first()
                .startsWith(u"x ok: Возникла ошибка при сохранении списка программ:\r\n\r\n"_qs));
    QVERIFY(model.list.StartCh);
    QCOMPARE(model.read(u"applist.tn"_qs), old);
}

void tst_Launcher::shutdown_savesTheList()
{
    Run run;
    run.writeFile(u"applist.tn"_qs, listFile(2));
    frmMain &window = run.start();
    window.programs().remove(0);

    run.dialogs.answerMessage(Answer::Yes);
    QVERIFY(window.close());
    QCOMPARE(run.dialogs.messages().last().message.text, u"Данные изменились. Сохранить сейчас?"_qs);
    QCOMPARE(run.read(u"applist.tn"_qs), written(listOf(2).mid(1)));
    QVERIFY(!window.programs().StartCh);
}

void tst_Launcher::page_showsCaptions_changesLongOnesWhole()
{
    Run run;
    // Longer than a line edit takes unless told otherwise.
    const QString caption = QString(100000, u'a') + u'z';
    const QByteArray file = written({u"e1|c1"_qs, caption + u'|' + QString(40000, u'm')});
    RunPage &page = shownPage(run, file);
    // A long caption is shown as a beginning short enough to lay out.
    const QString cut = shown(page).value(1);
    QCOMPARE(shown(page).first(), u"e1"_qs);
    QVERIFY(caption.startsWith(cut) && cut.size() >= 100 && cut.size() <= 1000);

    QVERIFY(setSelected(page.RunList, 1));
    page.cmdChangeApp->click();
    QCOMPARE(page.details()->txtTitle->text(), caption);
    page.details()->cmdOK->click();
    page.cmdSaveChanges->click();
    QCOMPARE(run.read(u"applist.tn"_qs), file);
}

void tst_Launcher::page_buttons_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("message");
    // The window's and the list's pointers at each call of the system or a
    // message box: w(ait), a(rrow), p(ointing hand).
    QTest::addColumn<QString>("pointers");

    const QString select = u"i ok: Сначала выберите программу!"_qs;
    QTest::newRow("Запуск") << 2 << 1 << u"Запуск"_qs << u"run e2 && $(x)"_qs << QString() << u"ww"_qs;
    QTest::newRow("Запуск, nothing selected") << 2 << -1 << u"Запуск"_qs << QString() << select << u"ap"_qs;
    QTest::newRow("Изменить, nothing selected") << 2 << -1 << u"Изменить"_qs << QString() << select << u"ap"_qs;
    QTest::newRow("Удалить, nothing selected") << 2 << -1 << u"Удалить"_qs << QString() << select << u"ap"_qs;
    QTest::newRow("Добавить, 100 entries")
        << 100 << -1 << u"Добавить"_qs << QString()
        << u". ok: Список программ содержит 100 элементов. Больше добавить нельзя!"_qs << u"ap"_qs;
    QTest::newRow("double click") << 2 << 0 << u"double click"_qs << u"run e1 && $(x)"_qs << QString() << u"ww"_qs;
    QTest::newRow("double click, nothing selected")
        << 2 << -1 << u"double click"_qs << QString() << QString() << QString();
    QTest::newRow("click on empty space keeps the selection")
        << 2 << 0 << u"empty space, Запуск"_qs << u"run e1 && $(x)"_qs << QString() << u"ww"_qs;
    QTest::newRow("start fails")
        << 2 << 0 << u"Запуск"_qs << u"run e1 && $(x)"_qs
        << u"x ok: Ошибка при запуске приложения:\r\n\r\nrun e1 && $(x)\r\n\r\nФайл не найден"_qs << u"wwww"_qs;
    QTest::newRow("save fails") << 2 << -1 << u"Сохранить"_qs << QString()
                                << u"x ok: Возникла ошибка при сохранении списка программ:\r\n\r\nПуть не найден"_qs
                                << u"wp"_qs;
}

void tst_Launcher::page_buttons()
{
    QFETCH(int, count);
    QFETCH(int, selected);
    QFETCH(QString, how);
    QFETCH(QString, started);
    QFETCH(QString, message);
    QFETCH(QString, pointers);

    Run run;
    RunPage &page = shownPage(run, listFile(count));
    frmMain &window = *run.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (QByteArray(QTest::currentDataTag()) == "start fails")
        run.system.failWith(FakeSystem::Effect::Start,
                            platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
    if (how == u"Сохранить") {
        run.writeFile(u"file"_qs, "x");
        window.context().state.ProgramFolder = run.path(u"file/"_qs);
    }
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QString whileCalled;
    const auto letter = [](const QCursor &cursor) {
        return cursor.shape() == Qt::WaitCursor ? u'w' : cursor.shape() == Qt::ArrowCursor ? u'a' : u'p';
    };
    run.system.whileCalled = run.dialogs.whileAsked = [&] {
        whileCalled += letter(window.cursor());
        whileCalled += letter(page.RunList->viewport()->cursor());
    };

    if (selected >= 0)
        QVERIFY(select(page, selected));
    if (how == u"double click") {
        const QListWidget *list = page.RunList;
        const QPoint where = selected >= 0 ? list->visualItemRect(list->item(selected)).center() : emptySpace(list);
        QTest::mouseDClick(page.RunList->viewport(), Qt::LeftButton, {}, where);
    } else {
        if (how.startsWith(u"empty space"))
            QTest::mouseClick(page.RunList->viewport(), Qt::LeftButton, {}, emptySpace(page.RunList));
        const QList<QPushButton *> buttons {page.cmdRunApp, page.cmdChangeApp, page.cmdDelApp, page.cmdAddApp,
                                            page.cmdSaveChanges};
        for (QPushButton *button : buttons) {
            if (how.endsWith(button->text().section(u' ', 0, 0)))
                button->click();
        }
    }

    QStringList lines;
    for (const auto &call : run.system.callsOf(FakeSystem::Effect::Start))
        lines << call.argument;
    QCOMPARE(lines, unlessEmpty(started));
    QCOMPARE(described(run.dialogs), unlessEmpty(message));
    QCOMPARE(whileCalled, pointers);
    QVERIFY(!page.details());
    QVERIFY(window.isEnabled());
    QCOMPARE(page.RunList->selectedPosition(), selected);
    QCOMPARE(page.RunList->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void tst_Launcher::page_changeOrDelete_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("expected"); // the captions shown after

    QTest::newRow("change") << u"change"_qs << QStringList {u"e1"_qs, u"x"_qs, u"e3"_qs};
    QTest::newRow("delete, Yes") << u"delete yes"_qs << QStringList {u"e1"_qs, u"e3"_qs};
    QTest::newRow("delete, No") << u"delete no"_qs << QStringList {u"e1"_qs, u"e2"_qs, u"e3"_qs};
}

void tst_Launcher::page_changeOrDelete()
{
    QFETCH(QString, action);
    QFETCH(QStringList, expected);

    Run run;
    RunPage &page = shownPage(run, listFile(3));
    QVERIFY(setSelected(page.RunList, 1));
    if (action == u"change") {
        page.cmdChangeApp->click();
        frmDetails *details = page.details();
        QVERIFY(details);
        QCOMPARE(details->windowTitle(), u"Изменение свойств программы"_qs);
        QCOMPARE(details->txtTitle->text() + u'|' + details->txtPath->text(), entry(u"e2"_qs));
        details->txtTitle->setText(u"x"_qs);
        details->cmdOK->click();
    } else {
        run.dialogs.answerMessage(action.endsWith(u"yes") ? Answer::Yes : Answer::No);
        page.cmdDelApp->click();
        QCOMPARE(described(run.dialogs),
                 QStringList {u"i yesno: Вы уверены, что хотите удалить программу из списка?\r\n\r\ne2"_qs});
        QCOMPARE(run.dialogs.messages().first().message.defaultButton, 0);
    }
    QCOMPARE(shown(page), expected);
    // A refilled list has nothing selected.
    QCOMPARE(page.RunList->selectedPosition(), action.endsWith(u"no") ? 1 : -1);
}

void tst_Launcher::details_refusesAndStaysOpen_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message"); // its beginning

    QTest::newRow("empty caption, Enter") << QString() << u"p"_qs << u"Надо указать название программы!"_qs;
    QTest::newRow("both empty") << QString() << QString() << u"Надо указать название программы!"_qs;
    QTest::newRow("empty command") << u" "_qs << QString()
                                   << u"Надо указать командную строку для запуска программы."_qs;
    QTest::newRow("pasted line break") << u"a\nb"_qs << u"p"_qs << u"В названии программы есть перевод строки"_qs;
    QTest::newRow("pasted lone CR") << u"a"_qs << u"p\rq"_qs << u"В командной строке есть перевод строки"_qs;
    QTest::newRow("outside the code page")
        << u"a"_qs << u"p\U0001F600"_qs << u"В командной строке есть знак «\U0001F600» (U+1F600)"_qs;
}

void tst_Launcher::details_refusesAndStaysOpen()
{
    QFETCH(QString, title);
    QFETCH(QString, path);
    QFETCH(QString, message);

    Run run;
    frmMain &window = run.start();
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);
    page.cmdAddApp->click();
    frmDetails *details = page.details();
    QVERIFY(details);
    details->txtTitle->setText(title);
    details->txtPath->setText(path);
    run.dialogs.answerMessage(Answer::Ok);
    if (QByteArray(QTest::currentDataTag()).contains("Enter"))
        QTest::keyClick(details->txtTitle, Qt::Key_Return);
    else
        details->cmdOK->click();

    QCOMPARE(described(run.dialogs).size(), 1);
    QVERIFY(described(run.dialogs).first().startsWith(u"x ok: "_qs + message));
    QCOMPARE(page.details(), details);
    QVERIFY(details->isVisible());
    QVERIFY(!window.isEnabled());
    QCOMPARE(window.programs().AppCount, qint16(0));
    details->close();
}

void tst_Launcher::details_browse_putsPathUnquoted()
{
    Run run;
    RunPage &page = *run.start().page<RunPage>(frmMain::PageRun);
    page.cmdAddApp->click();
    frmDetails *details = page.details();
    details->txtTitle->setText(u"t"_qs);

    run.dialogs.answerFile(u"/opt/my tools/x"_qs);
    details->cmdBrowse->click();
    run.dialogs.answerFile(QString()); // cancelled
    details->cmdBrowse->click();
    const auto request = run.dialogs.calls().first().file;
    QCOMPARE((QStringList {request.filter, request.title, request.pattern, request.initialFolder}),
             (QStringList {u"Все файлы|*.*"_qs, u"Выбор программы"_qs, u"*.*"_qs, run.path(QString())}));
    QCOMPARE(details->txtTitle->text(), u"t"_qs);
    QCOMPARE(details->txtPath->text(), u"/opt/my tools/x"_qs);
    details->close();
}

void tst_Launcher::details_everyWayOut_enablesMainWindow_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("OK") << u"OK"_qs;
    QTest::newRow("Отмена") << u"Отмена"_qs;
    QTest::newRow("close box") << u"close box"_qs;
}

void tst_Launcher::details_everyWayOut_enablesMainWindow()
{
    QFETCH(QString, way);

    Run run;
    RunPage &page = shownPage(run, listFile(1));
    frmMain &window = *run.window;
    page.cmdAddApp->click();
    QPointer<frmDetails> details = page.details();
    QVERIFY(details);
    QCOMPARE(details->windowTitle(), u"Добавление программы"_qs);
    QVERIFY(!window.isEnabled());
    QVERIFY(details->isEnabled());
    // A close request that reaches the disabled main window is ignored.
    QVERIFY(!window.close());
    // Nor is Escape a way out: the typed text would be dropped.
    QTest::keyClick(details->txtTitle, Qt::Key_Escape);
    QVERIFY(details && details->isVisible());
    QVERIFY(run.dialogs.messages().isEmpty());

    if (way == u"OK")
        details->cmdOK->click();
    else if (way == u"Отмена") {
        details->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(details));
        QTest::sendKeyEvent(QTest::Click, details, Qt::Key(0x041E), u"О"_qs, Qt::AltModifier); // its mnemonic
    } else
        details->close();
    QTRY_VERIFY(window.isEnabled()); // a mnemonic clicks after a short delay
    QTRY_VERIFY(!details);
    // OK adds the entry the dialog opens with.
    QCOMPARE(shown(page), way == u"OK" ? (QStringList {u"e1"_qs, u"Программа1"_qs}) : QStringList {u"e1"_qs});
    QCOMPARE(window.programs().AppList[2].Command, way == u"OK" ? u"c:\\windows\\calc.exe"_qs : QString());
    QCOMPARE(window.programs().StartCh, way == u"OK");

    // A fresh dialog at the next opening.
    page.cmdAddApp->click();
    QCOMPARE(page.details()->txtTitle->text(), u"Программа1"_qs);
    page.details()->close();
}

QTEST_MAIN(tst_Launcher)
#include "tst_launcher.moc"
