#include "aboutpage.h"
#include "clicklabel.h"
#include "codepage.h"
#include "fakedialogs.h"
#include "fakesystem.h"
#include "frmdetails.h"
#include "frmmain.h"
#include "gamespage.h"
#include "modalanswerer.h"
#include "notespage.h"
#include "phonepage.h"
#include "qtdialogs.h"
#include "run.h"
#include "runpage.h"
#include "runtimefailure.h"
#include "tabcontrol.h"
#include "toolspage.h"
#include "twips.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;

namespace {

// A shut-down save that succeeds and adds its name to log, marked if the
// settings were written before it: they come after every save.
std::function<SaveOutcome()> saver(const Run &run, QStringList &log, const QString &name)
{
    return [&run, &log, name] {
        log << name + (QFile::exists(run.path(u"tarnel.ini"_qs)) ? u" after settings"_qs : QString());
        return SaveOutcome::Saved;
    };
}

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStart_createsPersonalFolderAndShowsTools();
    void startup_buildsTheShownPageOnly_othersFromTheLoadedState();
    void window_layout_centred();
    void loadSettings_data();
    void loadSettings();
    void loadSettings_settingsFolderIsNoFile();
    void settings_roundTrip_data();
    void settings_roundTrip();
    void shutdown_nothingChanged_asksNothing();
    void shutdown_question_data();
    void shutdown_question();
    void shutdown_failedSave_keepsWindowOpen();
    void shutdown_saveOutcome_data();
    void shutdown_saveOutcome();
    void shutdown_escapeOnQuestion_losesNothing();
    void startup_hostileDataFiles_data();
    void startup_hostileDataFiles();
    void unwritableProgramFolder_reportsOnceAndStarts();
    void noOpener_reportsAndStarts();
    void dataStayInProgramFolder_whateverTheCurrentFolder();
    void lblStatus_click_showsWholeCaption();
    void systemRoutines_data();
    void systemRoutines();
    void playSoundFile_runsWaitingEventsFirst_handsOverTheName();
};

void tst_Shell::firstStart_createsPersonalFolderAndShowsTools()
{
    Run run;
    frmMain &window = run.start();

    QVERIFY(QFileInfo(run.path(u"My Tarnel"_qs)).isDir());
    QCOMPARE(run.page(), int(frmMain::PageTools));
    QVERIFY(run.dialogs.calls().isEmpty());
    QCOMPARE(window.document().LastFile, QString());
    QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->lblStatus->text(),
             u"Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\"."_qs);
    // The tooltip keeps its design text when there is no settings file.
    QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->cmdLoadLast->toolTip(),
             u"Открыть последний редактируемый файл"_qs);
    QVERIFY(!QFile::exists(run.path(u"tarnel.ini"_qs)));
    // A changed flag without its saver could never be cleared by a save.
    QVERIFY(window.shutdownSaves.document);
    QVERIFY(window.shutdownSaves.appList);
    QVERIFY(window.shutdownSaves.phoneBook);
}

void tst_Shell::startup_buildsTheShownPageOnly_othersFromTheLoadedState()
{
    Run run;
    run.writeFile(u"tarnel.ini"_qs, "[mytarnel]\r\nCurTab=2\r\nLastFile=/a.txt\r\n");
    run.writeFile(u"applist.tn"_qs, "[general]\r\nmax=1\r\n[t1]\r\ncap=A\r\ncmd=a\r\n");
    run.writeFile(u"phones.tn"_qs, "Anna|111|\r\n\r\n");
    run.window = std::make_unique<frmMain>(run.dialogs, run.system);
    frmMain &window = *run.window;

    QVERIFY(window.page<PhonePage>(frmMain::PagePhones)->Grid1);
    QCOMPARE(window.page<PhonePage>(frmMain::PagePhones)->Grid1->item(0, 0)->text(), u"Anna"_qs);
    QVERIFY(!window.page<RunPage>(frmMain::PageRun)->RunList && !window.page<NotesPage>(frmMain::PageNotes)->Text
            && !window.page<ToolsPage>(frmMain::PageTools)->Label6
            && !window.page<GamesPage>(frmMain::PageGames)->Label10
            && !window.page<AboutPage>(frmMain::PageAbout)->Label5);

    for (int page : {frmMain::PageRun, frmMain::PageNotes, frmMain::PageGames, frmMain::PageAbout})
        window.SSTab1->setCurrentIndex(page);
    QCOMPARE(window.page<RunPage>(frmMain::PageRun)->RunList->count(), 1);
    QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->cmdLoadLast->toolTip(),
             u"Загрузить последний файл: /a.txt"_qs);
    QVERIFY(window.page<GamesPage>(frmMain::PageGames)->lblGillrunInfo->isHidden());
    QCOMPARE(window.page<AboutPage>(frmMain::PageAbout)->lblVersion->text(), u"Версия 2.1.1 BETA"_qs);
    QVERIFY(run.dialogs.calls().isEmpty());
}

void tst_Shell::window_layout_centred()
{
    Run run;
    frmMain &window = run.start();

    QCOMPARE(window.windowTitle(), u"Домашний центр Orvane Tarnel"_qs);
    QCOMPARE(window.size(), QSize(495, 384));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(60, 81, 130));
    QCOMPARE(window.SSTab1->geometry(), QRect(3, 56, 489, 321));
    QCOMPARE(window.Label1->pos(), QPoint(336, 16));
    QCOMPARE(window.Label1->text(), u"orvane tarnel"_qs);
    QVERIFY(window.Label1->font().bold());
    QCOMPARE(window.Label1->palette().color(QPalette::WindowText), QColor(Qt::white));

    const QStringList captions {u"Запуск"_qs, u"Записи"_qs, u"Телефоны"_qs, u"Задачи"_qs, u"Игры"_qs, u"My Tarnel"_qs};
    QCOMPARE(window.SSTab1->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(window.SSTab1->tabBar()->tabText(i), captions.at(i));

    // Pages take the control's own coordinates, so a control placed in twips
    // on a page lands where the window layout puts it.
    QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->lblStatus->geometry(),
             platform::twips::rect(120, 4500, 7215, 255));
    // Every text stands at the top left of its box, as the windows were drawn,
    // the entry dialog's too.
    window.page<RunPage>(frmMain::PageRun)->cmdAddApp->click();
    for (const QWidget *top :
         {static_cast<QWidget *>(&window), static_cast<QWidget *>(window.page<RunPage>(frmMain::PageRun)->details())}) {
        for (const QLabel *label : top->findChildren<QLabel *>()) {
            if (!label->text().isEmpty())
                QVERIFY2(label->alignment() == (Qt::AlignLeft | Qt::AlignTop), qPrintable(label->objectName()));
        }
    }
    window.page<RunPage>(frmMain::PageRun)->details()->close();
    // Controls that show a user's text draw what their face lacks from another.
    for (const QWidget *control : {static_cast<QWidget *>(window.page<NotesPage>(frmMain::PageNotes)->Text),
                                   static_cast<QWidget *>(window.page<NotesPage>(frmMain::PageNotes)->lblStatus),
                                   static_cast<QWidget *>(window.page<RunPage>(frmMain::PageRun)->RunList),
                                   static_cast<QWidget *>(window.page<PhonePage>(frmMain::PagePhones)->Grid1)})
        QVERIFY2(!(control->font().styleStrategy() & QFont::NoFontMerging), qPrintable(control->objectName()));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Centred before it is shown, when the frame is not known yet: the frame
    // may shift it by its own width.
    const QPoint offset = window.frameGeometry().center() - window.screen()->availableGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4, qPrintable(QDebug::toString(offset)));
    QCOMPARE(window.SSTab1->page(window.SSTab1->currentIndex())->geometry(),
             QRect(QPoint(0, 0), window.SSTab1->size()));
    const QTabBar *bar = window.SSTab1->tabBar();
    QCOMPARE(bar->tabRect(0).left(), 0);
    QCOMPARE(bar->tabRect(5).right(), window.SSTab1->width() - 1);
    QVERIFY(!window.page<AboutPage>(frmMain::PageAbout)->Label5->isHidden());
}

void tst_Shell::loadSettings_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<QString>("message");

    const auto row
        = [](const char *name, const QByteArray &content, int page, const QString &lastFile = QString(),
             const QString &message = QString()) { QTest::newRow(name) << content << page << lastFile << message; };
    const QString failed = u"- x ok: Ошибка при чтении файла конфигурации!\r\n\r\nПереполнение"_qs;
    row("as written", "[mytarnel]\r\nCurTab=2\r\nLastFile=C:\\a=b.txt\r\n", 2, u"C:\\a=b.txt"_qs);
    row("about page", "[mytarnel]\r\nCurTab=5\r\nLastFile=\r\n", 5);
    row("too high", "[mytarnel]\r\nCurTab=6\r\n", 4);
    row("too low", "[mytarnel]\r\nCurTab=-1\r\n", 4);
    row("2.5", "[mytarnel]\r\nCurTab=2.5\r\n", 2);
    row("3.5", "[mytarnel]\r\nCurTab=3.5\r\n", 4);
    row("lower-case key", "[MyTarnel]\r\ncurtab=1\r\n", 1);
    row("blank before header", " [mytarnel]\r\nCurTab=2\r\nLastFile=x\r\n", 0);
    row("empty file", QByteArray(), 0);
    row("beyond 16 bits", "[mytarnel]\r\nCurTab=40000\r\nLastFile=x\r\n", 0, QString(), failed);
    row("huge exponent", "[mytarnel]\r\nCurTab=1e400\r\n", 0, QString(), failed);
    row("NUL bytes", QByteArray("[mytarnel]\r\nCurTab=\0\r\nLastFile=a\0b\r\n", 34), 0, u"a"_qs + QChar(0) + u"b"_qs);
    row("0x98 and Cyrillic", "[mytarnel]\r\nCurTab=1\r\nLastFile=\x98\xFF\r\n", 1, QString(QChar(0x98)) + u"я"_qs);
    row("junk, no line ends", QByteArray(300000, '\x01'), 0);
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 151 + 7) % 256);
    row("binary junk", junk, 0);
    QByteArray millionLines;
    millionLines.reserve(4000000);
    for (int i = 0; i < 1000000; ++i)
        millionLines += "x\r\n";
    millionLines += "[mytarnel]\r\nCurTab=1\r\nLastFile=end\r\n";
    row("a million lines", millionLines, 1, u"end"_qs);
}

void tst_Shell::loadSettings()
{
    QFETCH(QByteArray, content);
    QFETCH(int, page);
    QFETCH(QString, lastFile);
    QFETCH(QString, message);

    Run run;
    run.writeFile(u"tarnel.ini"_qs, content);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    QCOMPARE(run.page(), page);
    QCOMPARE(window.document().LastFile, lastFile);
    QCOMPARE(run.dialogs.asked(), message.isEmpty() ? QStringList() : QStringList {message});
    if (message.isEmpty())
        QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->cmdLoadLast->toolTip(),
                 u"Загрузить последний файл: "_qs + lastFile);
}

void tst_Shell::loadSettings_settingsFolderIsNoFile()
{
    Run run;
    QVERIFY(QDir(run.dir.path()).mkdir(u"tarnel.ini"_qs));
    run.start();
    QCOMPARE(run.page(), int(frmMain::PageTools));
    QVERIFY(run.dialogs.calls().isEmpty());
}

void tst_Shell::settings_roundTrip_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("lastFile");

    QTest::newRow("phones, a Russian name") << int(frmMain::PagePhones) << u"C:\\Мои документы\\список.txt"_qs;
    QTest::newRow("about page, no last file: still three lines") << int(frmMain::PageAbout) << QString();
}

void tst_Shell::settings_roundTrip()
{
    QFETCH(int, page);
    QFETCH(QString, lastFile);

    Run run;
    {
        frmMain &window = run.start();
        window.SSTab1->setCurrentIndex(page);
        window.document().LastFile = lastFile;
        QVERIFY(window.close());
    }
    QCOMPARE(run.settings(),
             platform::codepage::fromUnicode(u"[mytarnel]\r\nCurTab=%1\r\nLastFile=%2\r\n"_qs.arg(page).arg(lastFile)));

    frmMain &again = run.start();
    QCOMPARE(run.page(), page);
    QCOMPARE(again.document().LastFile, lastFile);
    QVERIFY(run.dialogs.calls().isEmpty());
}

void tst_Shell::shutdown_nothingChanged_asksNothing()
{
    Run run;
    run.writeFile(u"tarnel.ini"_qs, "[mytarnel]\r\nCurTab=1\r\nLastFile=old\r\n");
    frmMain &window = run.start();
    QStringList saved;
    window.shutdownSaves.appList = saver(run, saved, u"list"_qs);
    QVERIFY(window.Form_Unload());
    QVERIFY(run.dialogs.calls().isEmpty());
    QVERIFY(saved.isEmpty());
    QCOMPARE(run.settings(), QByteArray("[mytarnel]\r\nCurTab=1\r\nLastFile=old\r\n"));
    QCOMPARE(QDir(run.dir.path()).entryList(QDir::Files), QStringList {u"tarnel.ini"_qs});
}

void tst_Shell::shutdown_question_data()
{
    QTest::addColumn<QList<int>>("flags"); // 0 Change, 1 StartCh, 2 PhoneCh
    QTest::addColumn<bool>("yes");

    for (int flag = 0; flag < 3; ++flag) {
        QTest::addRow("flag %d, Yes", flag) << QList<int> {flag} << true;
        QTest::addRow("flag %d, No", flag) << QList<int> {flag} << false;
    }
    QTest::newRow("all three, Yes: saved in order") << QList<int> {0, 1, 2} << true;
}

void tst_Shell::shutdown_question()
{
    QFETCH(QList<int>, flags);
    QFETCH(bool, yes);

    Run run;
    frmMain &window = run.start();
    AppState &state = window.context().state;
    bool *changed[] = {&state.Change, &state.StartCh, &state.PhoneCh};
    const QStringList names {u"document"_qs, u"list"_qs, u"phones"_qs};
    QStringList expected;
    for (const int flag : flags) {
        *changed[flag] = true;
        expected << names[flag];
    }
    QStringList saved;
    window.shutdownSaves.document = saver(run, saved, names[0]);
    window.shutdownSaves.appList = saver(run, saved, names[1]);
    window.shutdownSaves.phoneBook = saver(run, saved, names[2]);

    run.dialogs.answerMessage(yes ? Answer::Yes : Answer::No);
    QVERIFY(window.Form_Unload());

    QCOMPARE(run.dialogs.asked(), QStringList {u"- i yesno: Данные изменились. Сохранить сейчас?"_qs});
    QCOMPARE(saved, yes ? expected : QStringList());
    // After No the flags stay set until the program ends.
    for (const int flag : flags)
        QCOMPARE(*changed[flag], !yes);
    QCOMPARE(run.settings(), QByteArray("[mytarnel]\r\nCurTab=3\r\nLastFile=\r\n"));
}

void tst_Shell::shutdown_failedSave_keepsWindowOpen()
{
    Run run;
    frmMain &window = run.start();
    window.show();
    AppState &state = window.context().state;
    state.StartCh = state.PhoneCh = true;
    bool listSaves = false;
    QStringList saved;
    window.shutdownSaves.appList = [&listSaves] { return listSaves ? SaveOutcome::Saved : SaveOutcome::Failed; };
    window.shutdownSaves.phoneBook = saver(run, saved, u"phones"_qs);

    run.dialogs.answerMessage(Answer::Yes);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    // The other save still ran; only the failed one keeps its flag.
    QCOMPARE(saved.size(), 1);
    QVERIFY(state.StartCh);
    QVERIFY(!state.PhoneCh);
    QVERIFY(!QFile::exists(run.path(u"tarnel.ini"_qs)));

    listSaves = true;
    run.dialogs.answerMessage(Answer::Yes);
    QVERIFY(window.close());
    QCOMPARE(saved.size(), 1);
    QVERIFY(!state.StartCh);
    QVERIFY(QFile::exists(run.path(u"tarnel.ini"_qs)));
    QCOMPARE(run.dialogs.messages().size(), 2);
}

void tst_Shell::shutdown_saveOutcome_data()
{
    QTest::addColumn<int>("outcome"); // -1: no saver registered
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("flagAfter");

    QTest::newRow("saved") << int(SaveOutcome::Saved) << true << false;
    QTest::newRow("failed") << int(SaveOutcome::Failed) << false << true;
    QTest::newRow("cancelled in Save As") << int(SaveOutcome::Cancelled) << true << true;
    QTest::newRow("no saver") << -1 << false << true;
}

void tst_Shell::shutdown_saveOutcome()
{
    QFETCH(int, outcome);
    QFETCH(bool, closes);
    QFETCH(bool, flagAfter);

    Run run;
    frmMain &window = run.start();
    AppState &state = window.context().state;
    state.Change = state.PhoneCh = true;
    window.shutdownSaves.document = nullptr;
    if (outcome >= 0)
        window.shutdownSaves.document = [outcome] { return SaveOutcome(outcome); };
    QStringList saved;
    window.shutdownSaves.phoneBook = saver(run, saved, u"phones"_qs);

    run.dialogs.answerMessage(Answer::Yes);
    QCOMPARE(window.Form_Unload(), closes);
    QCOMPARE(state.Change, flagAfter);
    // The saves after the document's happen whatever became of it.
    QCOMPARE(saved.size(), 1);
    QCOMPARE(QFile::exists(run.path(u"tarnel.ini"_qs)), closes);
}

void tst_Shell::shutdown_escapeOnQuestion_losesNothing()
{
    platform::QtDialogs dialogs; // outlives the window that uses it
    Run run;
    run.window = std::make_unique<frmMain>(dialogs, run.system);
    frmMain &window = *run.window;
    dialogs.setParent(&window);
    window.show();
    AppState &state = window.context().state;
    state.StartCh = true;
    QStringList saved;
    window.shutdownSaves.appList = saver(run, saved, u"list"_qs);
    const QStringList files = QDir(run.dir.path()).entryList(QDir::Files);

    bool escaped = false;
    bool keptAfterEscape = false;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        if (!escaped) {
            QTest::keyClick(box, Qt::Key_Escape);
            escaped = true;
            return false; // the event loop runs before the user's next move
        }
        keptAfterEscape = window.isVisible() && state.StartCh && saved.isEmpty()
                       && QDir(run.dir.path()).entryList(QDir::Files) == files;
        box->button(QMessageBox::Yes)->click();
        return true;
    }));
    QVERIFY(window.close());

    // The box was still up after Escape, with nothing closed or written.
    QVERIFY(answerer.answered());
    QVERIFY(keptAfterEscape);
    QCOMPARE(saved.size(), 1);
    QVERIFY(!state.StartCh);
}

void tst_Shell::startup_hostileDataFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shape"); // "bytes", "fifo", "folder" or "device"
    QTest::addColumn<QByteArray>("bytes");

    QRandomGenerator random(2001);
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    for (char &c : noise)
        c = char(random.bounded(256));
    const QByteArray lineEnds = "[general]\r\nmax=2\n[t1]\rcap=a\r\n\ncmd=b\r\r\n[T2]\n\rCMD=\0c\x98\r";
    const QByteArray hugeLine(20 * 1024 * 1024, '[');
    QByteArray manyLines;
    for (int i = 0; i < 1000000; ++i)
        manyLines += "cmd=|`\t\x98\0\r\n";
    for (const char *name : {"applist.tn", "phones.tn", "tarnel.ini"}) {
        const auto row = [name](const char *what) -> QTestData & { return QTest::addRow("%s: %s", name, what); };
        row("random bytes") << QString::fromLatin1(name) << u"bytes"_qs << noise;
        row("every line end, NUL and 0x98") << QString::fromLatin1(name) << u"bytes"_qs << lineEnds;
        row("one line of 20 MB") << QString::fromLatin1(name) << u"bytes"_qs << hugeLine;
        row("a million lines") << QString::fromLatin1(name) << u"bytes"_qs << manyLines;
        row("a named pipe") << QString::fromLatin1(name) << u"fifo"_qs << QByteArray();
        row("a folder") << QString::fromLatin1(name) << u"folder"_qs << QByteArray();
        row("an endless device") << QString::fromLatin1(name) << u"device"_qs << QByteArray();
    }
}

// Whatever a data file holds, start-up ends with the window ready and only
// the program's own messages said; a file nothing was saved to stays as it is.
void tst_Shell::startup_hostileDataFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, shape);
    QFETCH(QByteArray, bytes);
    Run run;
    const QString path = run.path(name);
    if (shape == u"bytes"_qs)
        run.writeFile(name, bytes);
    else if (shape == u"fifo"_qs)
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
    else if (shape == u"folder"_qs)
        QVERIFY(QDir(run.dir.path()).mkdir(name));
    else
        QVERIFY(QFile::link(u"/dev/zero"_qs, path));
    for (int i = 0; i < 4; ++i)
        run.dialogs.answerMessage(Answer::Ok);

    frmMain &window = run.start();
    const QStringList ownMessages {
        u"Ошибка в списке программ: список будет очищен."_qs,
        u"Обнаружена ошибка в списке программ. Список не будет загружен."_qs,
        u"Ошибка при чтении файла:\r\n\r\n"_qs,
        u"Ошибка при чтении файла. Возможно, он поврежден или слишком большой."_qs,
        u"Телефонная книга прочитана не полностью.\r\n\r\n"_qs,
        u"Ошибка при чтении файла конфигурации!\r\n\r\n"_qs,
    };
    for (const auto &call : run.dialogs.messages()) {
        const QString &text = call.message.text;
        QVERIFY2(
            std::any_of(ownMessages.cbegin(), ownMessages.cend(), [&](const QString &t) { return text.startsWith(t); }),
            qPrintable(text.left(200)));
    }
    QVERIFY(window.programs().AppCount >= 0 && window.programs().AppCount <= 100);
    if (shape == u"bytes"_qs && name != u"tarnel.ini"_qs)
        QVERIFY(run.read(name) == bytes);
}

void tst_Shell::unwritableProgramFolder_reportsOnceAndStarts()
{
    Run run;
    // A folder below an ordinary file can be neither searched nor written,
    // whoever runs the test.
    run.writeFile(u"plain"_qs, "x");
    run.system.programFolderPath = run.path(u"plain/"_qs);
    run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    QCOMPARE(run.dialogs.asked(), QStringList {u"- x ok: Ошибка: Путь не найден"_qs});
    QCOMPARE(run.page(), int(frmMain::PageTools));

    run.dialogs.clear();
    run.dialogs.answerMessage(Answer::Ok);
    QVERIFY(window.Form_Unload());
    QCOMPARE(run.dialogs.asked(),
             QStringList {u"- x ok: Возникла ошибка при сохранении файла конфигурации:\r\n\r\nПуть не найден"_qs});
}

void tst_Shell::noOpener_reportsAndStarts()
{
    Run run;
    run.system.windowsFolderPath.clear();
    run.dialogs.answerMessage(Answer::Ok);
    run.start();
    QCOMPARE(run.dialogs.asked(), QStringList {u"- x ok: Ошибка: "_qs});
    QVERIFY(QFileInfo(run.path(u"My Tarnel"_qs)).isDir());
    QCOMPARE(run.page(), int(frmMain::PageTools));
}

void tst_Shell::dataStayInProgramFolder_whateverTheCurrentFolder()
{
    Run run;
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    run.writeFile(u"tarnel.ini"_qs, "[mytarnel]\r\nCurTab=1\r\n");
    frmMain &window = run.start();
    const int page = run.page();
    window.close();
    QDir::setCurrent(previous);

    QCOMPARE(page, 1);
    QVERIFY(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QCOMPARE(run.settings(), QByteArray("[mytarnel]\r\nCurTab=1\r\nLastFile=\r\n"));
}

void tst_Shell::lblStatus_click_showsWholeCaption()
{
    Run run;
    frmMain &window = run.start();
    window.SSTab1->setCurrentIndex(frmMain::PageNotes);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    run.dialogs.answerMessage(Answer::Ok);
    QTest::mouseClick(window.page<NotesPage>(frmMain::PageNotes)->lblStatus, Qt::LeftButton);
    QCOMPARE(run.dialogs.asked(),
             QStringList {u"Статус i ok: "_qs + window.page<NotesPage>(frmMain::PageNotes)->lblStatus->text()});
}

enum class Routine { Run, Explorer };
Q_DECLARE_METATYPE(Routine)

void tst_Shell::systemRoutines_data()
{
    QTest::addColumn<Routine>("routine");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("started"); // the command line handed to the system; empty: none
    QTest::addColumn<QString>("message"); // empty: none

    const QString runLine = u"/opt/my prog/run.sh --x \"a b\""_qs;
    QTest::newRow("run, empty line") << Routine::Run << QString() << false << QString() << QString();
    QTest::newRow("run, started") << Routine::Run << runLine << false << runLine << QString();
    QTest::newRow("run, fails")
        << Routine::Run << u"нет-такой-программы"_qs << true << u"нет-такой-программы"_qs
        << u"Ошибка при запуске приложения:\r\n\r\nнет-такой-программы\r\n\r\nФайл не найден"_qs;
    QTest::newRow("explorer, empty target") << Routine::Explorer << QString() << false << QString() << QString();
    QTest::newRow("explorer, web address") << Routine::Explorer << u"http://www.orvane.example/tallyra/"_qs << false
                                           << u"/usr/bin/xdg-open http://www.orvane.example/tallyra/"_qs << QString();
    QTest::newRow("explorer, quoted folder") << Routine::Explorer << u"\"/home/a b/My Tarnel\""_qs << false
                                             << u"/usr/bin/xdg-open \"/home/a b/My Tarnel\""_qs << QString();
    QTest::newRow("explorer, fails") << Routine::Explorer << u"/x"_qs << true << u"/usr/bin/xdg-open /x"_qs
                                     << u"Ошибка при запуске приложения Windows Explorer.\r\n\r\nФайл не найден"_qs;
}

void tst_Shell::systemRoutines()
{
    QFETCH(Routine, routine);
    QFETCH(QString, argument);
    QFETCH(bool, fails);
    QFETCH(QString, started);
    QFETCH(QString, message);

    Run run;
    AppContext &context = run.start().context();
    const AppState before = context.state;
    if (fails)
        run.system.failWith(FakeSystem::Effect::Start,
                            platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);

    if (routine == Routine::Run)
        context.RunProgram(argument);
    else
        context.OpenWithExplorer(argument);

    const auto starts = run.system.callsOf(FakeSystem::Effect::Start);
    QCOMPARE(starts.size(), started.isEmpty() ? 0 : 1);
    if (!started.isEmpty())
        QCOMPARE(starts.constFirst().argument, started);
    QCOMPARE(run.dialogs.asked(), message.isEmpty() ? QStringList() : QStringList {u"- x ok: "_qs + message});
    // A failed start leaves the program as it was.
    QCOMPARE(context.state.WindowsFolder, before.WindowsFolder);
    QCOMPARE(context.state.anythingChanged(), before.anythingChanged());
}

void tst_Shell::playSoundFile_runsWaitingEventsFirst_handsOverTheName()
{
    Run run;
    AppContext &context = run.start().context();
    const QString name = context.state.ProgramFolder + u"tarnelover.wav"_qs;
    // An event already waiting (a further hover) runs before the sound starts.
    qsizetype soundsWhenEventRan = -1;
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [&] { soundsWhenEventRan = run.system.callsOf(FakeSystem::Effect::Sound).size(); },
        Qt::QueuedConnection);
    context.PlaySoundFile(name);
    QCOMPARE(soundsWhenEventRan, 0);
    const auto sounds = run.system.callsOf(FakeSystem::Effect::Sound);
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds.constFirst().argument, name);
    QVERIFY(run.dialogs.calls().isEmpty());
}

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
