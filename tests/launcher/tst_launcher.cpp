#include "applistfile.h"
#include "codepage.h"
#include "countingbuffer.h"
#include "frmdetails.h"
#include "run.h"
#include "runpage.h"

#include <QBuffer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using Answer = platform::Dialogs::Answer;
using Buttons = platform::Dialogs::Buttons;
using Icon = platform::Dialogs::Icon;

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

// A list file of entries "e1".."eN" with commands "c1".."cN".
QByteArray listFile(int count)
{
    QStringList entries;
    for (int i = 1; i <= count; ++i)
        entries << u"e%1|c%1"_qs.arg(i);
    return written(entries);
}

// The list as "caption|command", and what RunList shows, which must agree:
// a caption whole, or a long one as a beginning short enough to lay out.
QStringList entries(frmMain &window)
{
    const AppState &state = window.context().state;
    QStringList result;
    for (int i = 1; i <= state.AppCount; ++i)
        result << state.AppList[i].Caption + u'|' + state.AppList[i].Command;
    const QListWidget *list = window.page<RunPage>(frmMain::PageRun)->RunList;
    [&] {
        QCOMPARE(list->count(), result.size());
        for (int i = 0; i < list->count(); ++i) {
            const QString caption = state.AppList[i + 1].Caption;
            const QString shown = list->item(i)->text();
            QVERIFY(caption.startsWith(shown));
            QVERIFY(shown.size() == caption.size() || shown.size() >= 100);
            QVERIFY(shown.size() <= 1000);
        }
    }();
    return result;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

QStringList texts(const FakeDialogs &dialogs)
{
    QStringList result;
    for (const auto &call : dialogs.messages())
        result << call.message.text;
    return result;
}

// Each message as "icon buttons: text".
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
    void acceptedEntries_surviveSaveAndLoad();
    void change_longCaption_editsTheWholeCaption();
    void run_data();
    void run();
    void add_upToTheHundredth_thenRefuses();
    void changeOrDelete_data();
    void changeOrDelete();
    void details_refusesAndStaysOpen_data();
    void details_refusesAndStaysOpen();
    void details_browse_putsPathUnquoted();
    void details_everyWayOut_enablesMainWindow_data();
    void details_everyWayOut_enablesMainWindow();
    void save_failed_keepsStartChAndOldFile_data();
    void save_failed_keepsStartChAndOldFile();
    void save_afterFailedLoad_keepsOldListAsBak();
    void shutdown_savesTheList();
};

void tst_Launcher::load_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<bool>("kept"); // the next save keeps the file as applist.tn.bak

    const QString cleared = u"Ошибка в списке программ: список будет очищен."_qs;
    const QString refused = u"Обнаружена ошибка в списке программ. Список не будет загружен."_qs;
    const QString readError = u"Ошибка при чтении файла:\r\n\r\n"_qs;
    QTest::newRow("no file, saved as [general] max=0")
        << QByteArray() << QStringList() << QString() << Icon::None << false;
    QTest::newRow("as written") << ansi(
        u"[general]\r\nmax=1\r\n[t1]\r\ncap=Программа1\r\ncmd=c:\\windows\\calc.exe\r\n"_qs)
                                << QStringList {u"Программа1|c:\\windows\\calc.exe"_qs} << QString() << Icon::None
                                << false;
    QTest::newRow("any case, any order, other lines")
        << QByteArray("[T2] more\r\nCap=b\r\nCMD=B\r\nnote\r\n[t1]\r\ncap=a\r\ncmd=A\r\n[GENERAL]\r\nMAX=2")
        << QStringList {u"a|A"_qs, u"b|B"_qs} << QString() << Icon::None << false;
    QTest::newRow("no caption") << QByteArray("[general]\r\nmax=2\r\n[t1]\r\ncap=a\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n")
                                << QStringList {u"a|A"_qs, u"Приложение2|B"_qs} << QString() << Icon::None << false;
    QTest::newRow("t1 is not t10") << QByteArray(
        "[general]\r\nmax=1\r\n[t10]\r\ncap=x\r\ncmd=X\r\n[t1]\r\ncap=a\r\ncmd=A\r\n")
                                   << QStringList {u"a|A"_qs} << QString() << Icon::None << false;
    QTest::newRow("max with blanks and a half, to even")
        << QByteArray("[general]\r\nmax=\t2.5 \r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n[t3]\r\n")
        << QStringList {u"Приложение1|A"_qs, u"Приложение2|B"_qs} << QString() << Icon::None << false;
    // The program's own empty list loses nothing, so it is no damaged file;
    // any other count out of range is.
    QTest::newRow("empty list saved") << QByteArray("[general]\r\nmax=0\r\n") << QStringList() << cleared
                                      << Icon::Exclamation << false;
    QTest::newRow("empty list and more") << QByteArray("[general]\r\nmax=0\r\n[t1]\r\ncap=a\r\ncmd=A\r\n")
                                         << QStringList() << cleared << Icon::Exclamation << true;
    QTest::newRow("above 100") << listFile(101) << QStringList() << cleared << Icon::Exclamation << true;
    QTest::newRow("an entry without command") << QByteArray("[general]\r\nmax=3\r\n[t1]\r\ncmd=A\r\n[t2]\r\ncmd=B\r\n")
                                              << QStringList() << refused << Icon::Critical << true;
    QTest::newRow("max not wholly a number") << QByteArray("[general]\r\nmax=2x\r\n") << QStringList()
                                             << readError + u"Несоответствие типа"_qs << Icon::None << true;
    QTest::newRow("max beyond 16 bits") << QByteArray("[general]\r\nmax=40000\r\n") << QStringList()
                                        << readError + u"Переполнение"_qs << Icon::None << true;
}

void tst_Launcher::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    QFETCH(Icon, icon);
    QFETCH(bool, kept);

    Run run;
    if (!file.isNull())
        run.writeFile(u"applist.tn"_qs, file);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    QCOMPARE(entries(window), expected);
    QCOMPARE(texts(run.dialogs), unlessEmpty(message));
    if (!message.isEmpty())
        QCOMPARE(run.dialogs.messages().first().message.icon, icon);
    QVERIFY(!window.programs().StartCh);
    // Loading writes nothing, not even the copy a later save keeps.
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)), file.isNull() ? QByteArray("<missing>") : file);
    QVERIFY(!QFile::exists(run.path(u"applist.tn.bak"_qs)));

    // Saved unchanged, the list is written all the same; with no file, as the empty list.
    window.page<RunPage>(frmMain::PageRun)->cmdSaveChanges->click();
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)), written(expected));
    QCOMPARE(fileBytes(run.path(u"applist.tn.bak"_qs)), kept ? file : QByteArray("<missing>"));
}

void tst_Launcher::load_hugeOrBrokenFiles_endInADesignedOutcome_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");

    QByteArray junk(64 * 1024, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 251);
    QTest::newRow("junk") << junk << 0 << u"Ошибка при чтении файла:\r\n\r\nНесоответствие типа"_qs;
    QTest::newRow("no line ends") << QByteArray("[general]max=1[t1]cap=acmd=b") << 0
                                  << u"Ошибка при чтении файла:\r\n\r\nНесоответствие типа"_qs;
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
    QTest::newRow("one endless line") << QByteArray(20 * 1024 * 1024, '[') << 0
                                      << u"Ошибка при чтении файла:\r\n\r\nНесоответствие типа"_qs;
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

    Run run;
    run.writeFile(u"applist.tn"_qs, file);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    QCOMPARE(entries(window).size(), count);
    QCOMPARE(texts(run.dialogs), unlessEmpty(message));

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

void tst_Launcher::acceptedEntries_surviveSaveAndLoad()
{
    // Texts the dialog accepts, each with something a careless format would lose.
    const QList<QPair<QString, QString>> typed {
        {u"Программа1"_qs, u"c:\\windows\\calc.exe"_qs},
        {u"  a = b "_qs, u"\"/opt/my tools/x\" -a;b && $(rm -rf ~)"_qs},
        {u"[t1]"_qs, u"cmd=q"_qs},
        {u"\u0098\t\u0001?"_qs, u" "_qs},
        {QString(40000, u'n'), QString(40000, u'm')}, // no length limit
    };
    Run run;
    frmMain &window = run.start();
    for (const auto &[title, path] : typed) {
        window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
        frmDetails *details = window.page<RunPage>(frmMain::PageRun)->details();
        QVERIFY(details);
        QCOMPARE(details->windowTitle(), u"Добавление программы"_qs);
        details->txtTitle->setText(title);
        details->txtPath->setText(path);
        details->cmdOK->click();
    }
    window.page<RunPage>(frmMain::PageRun)->cmdSaveChanges->click();
    QVERIFY(!window.programs().StartCh);
    QVERIFY(fileBytes(run.path(u"applist.tn"_qs))
                .startsWith(ansi(u"[general]\r\nmax=5\r\n[t1]\r\ncap=Программа1\r\ncmd=c:\\windows\\calc.exe\r\n"
                                 "[t2]\r\ncap=  a = b \r\n"_qs)));
    QStringList saved;
    for (const auto &[title, path] : typed)
        saved << title + u'|' + path;
    QCOMPARE(entries(window), saved);
    run.window.reset();

    QCOMPARE(entries(run.start()), saved);
    QVERIFY(run.dialogs.messages().isEmpty());
}

void tst_Launcher::change_longCaption_editsTheWholeCaption()
{
    Run run;
    const QString caption = QString(100000, u'a') + u'z';
    const QByteArray file = ansi(u"[general]\r\nmax=1\r\n[t1]\r\ncap="_qs + caption + u"\r\ncmd=c\r\n"_qs);
    run.writeFile(u"applist.tn"_qs, file);
    frmMain &window = run.start();
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);
    QCOMPARE(entries(window), QStringList {caption + u"|c"_qs});

    QVERIFY(setSelected(page.RunList, 0));
    page.cmdChangeApp->click();
    QCOMPARE(page.details()->txtTitle->text(), caption);
    page.details()->cmdOK->click();
    page.cmdSaveChanges->click();
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)), file);
}

void tst_Launcher::run_data()
{
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QString>("message");

    const QString select = u"i ok: Сначала выберите программу!"_qs;
    QTest::newRow("button") << 1 << u"button"_qs << false << QStringList {u"c2 ; $(x) && y"_qs} << QString();
    QTest::newRow("button, nothing selected") << -1 << u"button"_qs << false << QStringList() << select;
    QTest::newRow("Изменить, nothing selected") << -1 << u"Изменить"_qs << false << QStringList() << select;
    QTest::newRow("Удалить, nothing selected") << -1 << u"Удалить"_qs << false << QStringList() << select;
    QTest::newRow("double click") << 0 << u"double click"_qs << false << QStringList {u"c1"_qs} << QString();
    QTest::newRow("double click, nothing selected") << -1 << u"double click"_qs << false << QStringList() << QString();
    QTest::newRow("click on empty space keeps the selection")
        << 0 << u"empty space, button"_qs << false << QStringList {u"c1"_qs} << QString();
    QTest::newRow("start fails") << 0 << u"button"_qs << true << QStringList {u"c1"_qs}
                                 << u"x ok: Ошибка при запуске приложения:\r\n\r\nc1\r\n\r\nФайл не найден"_qs;
}

void tst_Launcher::run()
{
    QFETCH(int, selected);
    QFETCH(QString, how);
    QFETCH(bool, fails);
    QFETCH(QStringList, started);
    QFETCH(QString, message);

    Run run;
    run.writeFile(u"applist.tn"_qs,
                  "[general]\r\nmax=2\r\n[t1]\r\ncap=e1\r\ncmd=c1\r\n[t2]\r\ncap=e2\r\ncmd=c2 ; $(x) && y\r\n");
    frmMain &window = run.start();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.SSTab1->setCurrentIndex(frmMain::PageRun);
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);
    if (fails)
        run.system.failWith(FakeSystem::Effect::Start,
                            platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QList<Qt::CursorShape> whileStarting; // the window's and the list's pointers
    run.system.whileCalled = [&] {
        whileStarting = {window.cursor().shape(), page.RunList->viewport()->cursor().shape()};
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
        (how == u"Изменить" ? page.cmdChangeApp : how == u"Удалить" ? page.cmdDelApp : page.cmdRunApp)->click();
    }

    QStringList lines;
    for (const auto &call : run.system.callsOf(FakeSystem::Effect::Start))
        lines << call.argument;
    QCOMPARE(lines, started);
    QCOMPARE(described(run.dialogs), unlessEmpty(message));
    QVERIFY(!page.details());
    if (!started.isEmpty())
        QCOMPARE(whileStarting, (QList<Qt::CursorShape> {Qt::WaitCursor, Qt::WaitCursor}));
    QCOMPARE(page.RunList->selectedPosition(), selected);
    QCOMPARE(page.RunList->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void tst_Launcher::add_upToTheHundredth_thenRefuses()
{
    Run run;
    run.writeFile(u"applist.tn"_qs, listFile(99));
    frmMain &window = run.start();
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);

    page.cmdAddApp->click();
    QVERIFY(page.details());
    page.details()->cmdOK->click();
    QCOMPARE(entries(window).size(), 100);
    QCOMPARE(entries(window).last(), u"Программа1|c:\\windows\\calc.exe"_qs);
    QVERIFY(window.programs().StartCh);
    QVERIFY(window.isEnabled());

    QTRY_VERIFY(!page.details());
    run.dialogs.answerMessage(Answer::Ok);
    page.cmdAddApp->click();
    QVERIFY(!page.details());
    QVERIFY(window.isEnabled());
    QCOMPARE(texts(run.dialogs), QStringList {u"Список программ содержит 100 элементов. Больше добавить нельзя!"_qs});
    QCOMPARE(run.dialogs.messages().first().message.icon, Icon::None);
}

void tst_Launcher::changeOrDelete_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("changed");

    QTest::newRow("change") << u"change x"_qs << 1 << QStringList {u"e1"_qs, u"x"_qs, u"e3"_qs, u"e4"_qs} << true;
    QTest::newRow("change, nothing edited")
        << u"change"_qs << 1 << QStringList {u"e1"_qs, u"e2"_qs, u"e3"_qs, u"e4"_qs} << true;
    QTest::newRow("delete in the middle")
        << u"delete yes"_qs << 1 << QStringList {u"e1"_qs, u"e3"_qs, u"e4"_qs} << true;
    QTest::newRow("delete at the end") << u"delete yes"_qs << 3 << QStringList {u"e1"_qs, u"e2"_qs, u"e3"_qs} << true;
    QTest::newRow("delete, No") << u"delete no"_qs << 1 << QStringList {u"e1"_qs, u"e2"_qs, u"e3"_qs, u"e4"_qs}
                                << false;
}

void tst_Launcher::changeOrDelete()
{
    QFETCH(QString, action);
    QFETCH(int, position);
    QFETCH(QStringList, expected);
    QFETCH(bool, changed);

    Run run;
    run.writeFile(u"applist.tn"_qs, listFile(4));
    frmMain &window = run.start();
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);
    QVERIFY(setSelected(page.RunList, position));

    if (action.startsWith(u"change")) {
        page.cmdChangeApp->click();
        frmDetails *details = page.details();
        QVERIFY(details);
        QCOMPARE(details->windowTitle(), u"Изменение свойств программы"_qs);
        QCOMPARE(details->N, qint16(position));
        QCOMPARE(details->txtPath->text(), u"c%1"_qs.arg(position + 1));
        if (action.endsWith(u" x"))
            details->txtTitle->setText(u"x"_qs);
        details->cmdOK->click();
    } else {
        run.dialogs.answerMessage(action.endsWith(u"yes") ? Answer::Yes : Answer::No);
        page.cmdDelApp->click();
        const auto question = run.dialogs.messages().first().message;
        QCOMPARE(question.text, u"Вы уверены, что хотите удалить программу из списка?\r\n\r\ne%1"_qs.arg(position + 1));
        QCOMPARE(question.buttons, Buttons::YesNo);
        QCOMPARE(question.icon, Icon::Information);
        QCOMPARE(question.defaultButton, 0);
    }

    // Commands move with their captions.
    QStringList expectedEntries;
    for (const QString &caption : expected)
        expectedEntries << caption + u'|' + (caption == u"x" ? u"c2"_qs : u'c' + caption.mid(1));
    QCOMPARE(entries(window), expectedEntries);
    QCOMPARE(window.programs().StartCh, changed);
    QCOMPARE(page.RunList->selectedPosition(), changed ? -1 : position);
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
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    frmDetails *details = window.page<RunPage>(frmMain::PageRun)->details();
    QVERIFY(details);
    details->txtTitle->setText(title);
    details->txtPath->setText(path);
    run.dialogs.answerMessage(Answer::Ok);
    if (QByteArray(QTest::currentDataTag()).contains("Enter"))
        QTest::keyClick(details->txtTitle, Qt::Key_Return);
    else
        details->cmdOK->click();

    QCOMPARE(texts(run.dialogs).size(), 1);
    QCOMPARE(texts(run.dialogs).first().left(message.size()), message);
    QCOMPARE(run.dialogs.messages().first().message.icon, Icon::Critical);
    QCOMPARE(window.page<RunPage>(frmMain::PageRun)->details(), details);
    QVERIFY(details->isVisible());
    QVERIFY(!window.isEnabled());
    QCOMPARE(window.programs().AppCount, qint16(0));
    QVERIFY(!window.programs().StartCh);
    details->close();
}

void tst_Launcher::details_browse_putsPathUnquoted()
{
    Run run;
    frmMain &window = run.start();
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    frmDetails *details = window.page<RunPage>(frmMain::PageRun)->details();
    details->txtTitle->setText(u"t"_qs);

    run.dialogs.answerFile(u"/opt/my tools/x"_qs);
    details->cmdBrowse->click();
    run.dialogs.answerFile(QString());
    details->cmdBrowse->click();
    const auto request = run.dialogs.calls().first().file;
    QCOMPARE(request.filter, u"Все файлы|*.*"_qs);
    QCOMPARE(request.title, u"Выбор программы"_qs);
    QCOMPARE(request.pattern, u"*.*"_qs);
    QCOMPARE(request.initialFolder, run.dir.path() + u'/');
    QCOMPARE(details->txtTitle->text(), u"t"_qs);

    details->cmdOK->click();
    QVERIFY(setSelected(window.page<RunPage>(frmMain::PageRun)->RunList, 0));
    window.page<RunPage>(frmMain::PageRun)->cmdRunApp->click();
    QCOMPARE(run.system.callsOf(FakeSystem::Effect::Start).first().argument, u"/opt/my tools/x"_qs);
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
    frmMain &window = run.start();
    window.show();
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    QPointer<frmDetails> details = window.page<RunPage>(frmMain::PageRun)->details();
    QVERIFY(details);
    QVERIFY(!window.isEnabled());
    QVERIFY(details->isEnabled());
    details->txtTitle->setText(u"edited"_qs);
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
    QCOMPARE(window.programs().AppCount, qint16(way == u"OK" ? 1 : 0));
    QCOMPARE(window.programs().StartCh, way == u"OK");

    // A fresh dialog at the next opening.
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    QCOMPARE(window.page<RunPage>(frmMain::PageRun)->details()->txtTitle->text(), u"Программа1"_qs);
    window.page<RunPage>(frmMain::PageRun)->details()->close();
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

    Run run;
    const QByteArray old = damaged ? QByteArray("[general]\r\nmax=1\r\n") : listFile(1);
    run.writeFile(u"applist.tn"_qs, old);
    if (damaged) {
        run.dialogs.answerMessage(Answer::Ok);
        QVERIFY(QDir(run.dir.path()).mkdir(u"applist.tn.bak"_qs));
    }
    frmMain &window = run.start();
    AppState &state = window.context().state;
    if (!damaged) {
        run.writeFile(u"file"_qs, "x");
        state.ProgramFolder = run.path(u"file/"_qs);
    }
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    window.page<RunPage>(frmMain::PageRun)->details()->cmdOK->click();
    run.dialogs.clear();

    run.dialogs.answerMessage(Answer::Ok);
    Qt::CursorShape whileSaving = Qt::BlankCursor; // the failure is told from inside the save
    run.dialogs.whileAsked = [&] { whileSaving = window.cursor().shape(); };
    window.page<RunPage>(frmMain::PageRun)->cmdSaveChanges->click();
    QCOMPARE(run.dialogs.messages().size(), 1);
    QVERIFY(run.dialogs.messages().first().message.text.startsWith(
        u"Возникла ошибка при сохранении списка программ:\r\n\r\n"_qs));
    QCOMPARE(run.dialogs.messages().first().message.icon, Icon::Critical);
    QCOMPARE(whileSaving, Qt::WaitCursor);
    QVERIFY(state.StartCh);
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)), old);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void tst_Launcher::save_afterFailedLoad_keepsOldListAsBak()
{
    Run run;
    const QByteArray damaged("[general]\r\nmax=2\r\n[t1]\r\ncap=mine\r\ncmd=A\r\n");
    run.writeFile(u"applist.tn"_qs, damaged);
    run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    window.page<RunPage>(frmMain::PageRun)->details()->cmdOK->click();
    window.page<RunPage>(frmMain::PageRun)->cmdSaveChanges->click();
    QCOMPARE(fileBytes(run.path(u"applist.tn.bak"_qs)), damaged);
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)),
             ansi(u"[general]\r\nmax=1\r\n[t1]\r\ncap=Программа1\r\ncmd=c:\\windows\\calc.exe\r\n"_qs));

    // Only the first save keeps a copy: the next ones replace their own file.
    window.page<RunPage>(frmMain::PageRun)->cmdSaveChanges->click();
    QCOMPARE(fileBytes(run.path(u"applist.tn.bak"_qs)), damaged);
}

void tst_Launcher::shutdown_savesTheList()
{
    Run run;
    run.writeFile(u"applist.tn"_qs, listFile(2));
    frmMain &window = run.start();
    window.show();
    QVERIFY(setSelected(window.page<RunPage>(frmMain::PageRun)->RunList, 0));
    run.dialogs.answerMessage(Answer::Yes);
    window.page<RunPage>(frmMain::PageRun)->cmdDelApp->click();

    run.dialogs.answerMessage(Answer::Yes);
    QVERIFY(window.close());
    QCOMPARE(run.dialogs.messages().last().message.text, u"Данные изменились. Сохранить сейчас?"_qs);
    QCOMPARE(fileBytes(run.path(u"applist.tn"_qs)), QByteArray("[general]\r\nmax=1\r\n[t1]\r\ncap=e2\r\ncmd=c2\r\n"));
    QVERIFY(!window.programs().StartCh);
}

QTEST_MAIN(tst_Launcher)
#include "tst_launcher.moc"
