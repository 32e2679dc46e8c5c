#include "aboutpage.h"
#include "clicklabel.h"
#include "codepage.h"
#include "frmdetails.h"
#include "gamespage.h"
#include "modalanswerer.h"
#include "notespage.h"
#include "phonepage.h"
#include "qtdialogs.h"
#include "run.h"
#include "runpage.h"
#include "runtimefailure.h"
#include "twips.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>

#include <algorithm>
#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;

namespace {

const QString question = u"- i yesno: Данные изменились. Сохранить сейчас?"_qs;

// The data files of a user's program folder, as the program writes them
// before and after one change made through the model's accessor.
struct DataFile
{
    QString name;
    QString model;
    QString before;
    QString after;
};
const std::array<DataFile, 3> dataFiles {{
    {u"notes.txt"_qs, u"document"_qs, u"Старый текст\r\n"_qs, u"Новый текст\r\n"_qs},
    {u"applist.tn"_qs, u"list"_qs, u"[general]\r\nmax=1\r\n[t1]\r\ncap=Блокнот\r\ncmd=notepad\r\n"_qs,
     u"[general]\r\nmax=2\r\n[t1]\r\ncap=Блокнот\r\ncmd=notepad\r\n[t2]\r\ncap=Калькулятор\r\ncmd=calc\r\n"_qs},
    {u"phones.tn"_qs, u"phones"_qs, u"Анна|111|\r\n\r\n"_qs, u"Анна|111|\r\nБорис|222|\r\n\r\n"_qs},
}};
const QDateTime longAgo(QDate(2001, 1, 1), QTime(12, 0));

QByteArray cp1251(const QString &text)
{
    return platform::codepage::fromUnicode(text);
}

// The data files as a user left them, with settings when given, dated long
// ago so that a rewrite shows.
void seed(const Run &run, const QByteArray &settings = QByteArray())
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (const DataFile &file : dataFiles)
        files.emplace_back(file.name, cp1251(file.before));
    if (!settings.isEmpty())
        files.emplace_back(u"tarnel.ini"_qs, settings);
    for (const auto &[name, bytes] : files) {
        run.writeFile(name, bytes);
        QFile written(run.path(name));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
}

bool rewritten(const Run &run, const QString &name)
{
    return QFileInfo(run.path(name)).lastModified() != longAgo;
}

QByteArray settingsBytes(int tab, const QString &lastFile)
{
    return cp1251(u"[mytarnel]\r\nCurTab=%1\r\nLastFile=%2\r\n"_qs.arg(tab).arg(lastFile));
}

// The change a page's command would make, made on the model alone.
void change(frmMain &window, const QString &model)
{
    if (model == u"document"_qs) {
        window.document().setDocumentText(u"Новый текст"_qs);
    } else if (model == u"list"_qs) {
        window.programs().add({u"Калькулятор"_qs, u"calc"_qs});
    } else if (model == u"phones"_qs) {
        window.phoneBook().grid().setText(1, 0, u"Борис"_qs);
        window.phoneBook().grid().setText(1, 1, u"222"_qs);
        window.phoneBook().PhoneCh = true;
    }
}

QString writeFailure(const QString &path, const QString &description)
{
    return u"Запись файла ! ok: Ошибка при записи файла:%1. Возможно, имя неверное или текст слишком большой.\r\n\r\n%2"_qs
        .arg(path, description);
}

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStart_data();
    void firstStart();
    void pages_madeWhenFirstShown_fromTheLoadedModels();
    void window_layout_centred();
    void loadSettings_data();
    void loadSettings();
    void settings_roundTrip_data();
    void settings_roundTrip();
    void shutdown_data();
    void shutdown();
    void shutdown_escapeOnQuestion_losesNothing();
    void startup_hostileDataFiles_data();
    void startup_hostileDataFiles();
    void systemRoutines_data();
    void systemRoutines();
    void playSoundFile_runsWaitingEventsFirst_handsOverTheName();
};

void tst_Shell::firstStart_data()
{
    QTest::addColumn<bool>("opener");
    QTest::addColumn<bool>("writable"); // false: the program folder lies below an ordinary file
    QTest::addColumn<QString>("message"); // what start-up says; empty: nothing

    QTest::newRow("a new program folder") << true << true << QString();
    QTest::newRow("no opener: said, start-up goes on") << false << true << u"- x ok: Ошибка: "_qs;
    QTest::newRow("an unwritable folder: said once") << true << false << u"- x ok: Ошибка: Путь не найден"_qs;
}

void tst_Shell::firstStart()
{
    QFETCH(bool, opener);
    QFETCH(bool, writable);
    QFETCH(QString, message);

    Run run;
    if (!opener)
        run.system.windowsFolderPath.clear();
    // A folder below an ordinary file can be neither searched nor written,
    // whoever runs the test.
    run.writeFile(u"plain"_qs, "x");
    if (!writable)
        run.system.programFolderPath = run.path(u"plain/"_qs);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();

    QCOMPARE(run.dialogs.asked(), message.isEmpty() ? QStringList() : QStringList {message});
    QCOMPARE(QFileInfo(run.path(u"My Tarnel"_qs)).isDir(), writable);
    QCOMPARE(run.page(), int(frmMain::PageTools));
    QCOMPARE(window.document().LastFile, QString());
    QCOMPARE(window.document().status(), u"Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\"."_qs);
    // The tooltip keeps its first text when there is no settings file.
    QCOMPARE(window.document().loadLastToolTip(), u"Открыть последний редактируемый файл"_qs);
    QVERIFY(!QFile::exists(run.path(u"tarnel.ini"_qs)));

    run.dialogs.clear();
    if (!writable)
        run.dialogs.answerMessage(Answer::Ok);
    QVERIFY(window.Form_Unload());
    QCOMPARE(run.dialogs.asked(),
             writable ? QStringList()
                      : QStringList {
                          u"- x ok: Возникла ошибка при сохранении файла конфигурации:\r\n\r\nПуть не найден"_qs});
}

void tst_Shell::pages_madeWhenFirstShown_fromTheLoadedModels()
{
    Run run;
    seed(run, settingsBytes(frmMain::PagePhones, u"/a.txt"_qs));
    frmMain &window = run.start();
    const auto made = [&window] {
        QList<int> pages;
        for (int page = 0; page < frmMain::PageCount; ++page) {
            if (window.SSTab1->isPageMade(page))
                pages << page;
        }
        return pages;
    };
    QCOMPARE(made(), QList<int>());
    window.show();
    QCOMPARE(made(), QList<int> {frmMain::PagePhones});
    QCOMPARE(window.page<PhonePage>(frmMain::PagePhones)->Grid1->item(0, 0)->text(), u"Анна"_qs);

    for (int page : {frmMain::PageRun, frmMain::PageNotes, frmMain::PageGames, frmMain::PageAbout})
        window.SSTab1->setCurrentIndex(page);
    QCOMPARE(made(), (QList<int> {frmMain::PageRun, frmMain::PageNotes, frmMain::PagePhones, frmMain::PageGames,
                                  frmMain::PageAbout}));
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
    NotesPage *notes = window.page<NotesPage>(frmMain::PageNotes);
    RunPage *runPage = window.page<RunPage>(frmMain::PageRun);
    QCOMPARE(notes->lblStatus->geometry(), platform::twips::rect(120, 4500, 7215, 255));
    // Every text stands at the top left of its box, as the windows were drawn,
    // the entry dialog's too.
    runPage->cmdAddApp->click();
    for (const QWidget *top : QList<QWidget *> {&window, runPage->details()}) {
        for (const QLabel *label : top->findChildren<QLabel *>()) {
            if (!label->text().isEmpty())
                QVERIFY2(label->alignment() == (Qt::AlignLeft | Qt::AlignTop), qPrintable(label->objectName()));
        }
    }
    runPage->details()->close();
    // Controls that show a user's text draw what their face lacks from another.
    for (const QWidget *control : QList<QWidget *> {notes->Text, notes->lblStatus, runPage->RunList,
                                                    window.page<PhonePage>(frmMain::PagePhones)->Grid1})
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

    // A click on the status line shows the whole of it.
    window.SSTab1->setCurrentIndex(frmMain::PageNotes);
    run.dialogs.answerMessage(Answer::Ok);
    QTest::mouseClick(notes->lblStatus, Qt::LeftButton);
    QCOMPARE(run.dialogs.asked(), QStringList {u"Статус i ok: "_qs + notes->lblStatus->text()});
}

// How the page number and the last file are read is the settings file's and
// the reader's; here only what start-up makes of them.
void tst_Shell::loadSettings_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<QString>("message");

    const auto row
        = [](const char *name, const QByteArray &content, int page, const QString &lastFile = QString(),
             const QString &message = QString()) { QTest::newRow(name) << content << page << lastFile << message; };
    row("as written", "[mytarnel]\r\nCurTab=2\r\nLastFile=C:\\a=b.txt\r\n", 2, u"C:\\a=b.txt"_qs);
    row("about page", "[mytarnel]\r\nCurTab=5\r\nLastFile=\r\n", 5);
    row("rounded", "[mytarnel]\r\nCurTab=3.5\r\n", 4);
    row("too high: the games", "[mytarnel]\r\nCurTab=6\r\n", 4);
    row("too low: the games", "[mytarnel]\r\nCurTab=-1\r\n", 4);
    row("no page: the first", "[other]\r\nCurTab=2\r\n", 0);
    row("beyond 16 bits: said, no last file", "[mytarnel]\r\nCurTab=40000\r\nLastFile=x\r\n", 0, QString(),
        u"- x ok: Ошибка при чтении файла конфигурации!\r\n\r\nПереполнение"_qs);
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
        QCOMPARE(window.document().loadLastToolTip(), u"Загрузить последний файл: "_qs + lastFile);
}

void tst_Shell::settings_roundTrip_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("lastFile");

    QTest::newRow("phones, a Russian name") << int(frmMain::PagePhones) << u"C:\\Мои документы\\список.txt"_qs;
    QTest::newRow("about page, no last file: still three lines") << int(frmMain::PageAbout) << QString();
}

// In the program folder, whatever the current folder.
void tst_Shell::settings_roundTrip()
{
    QFETCH(int, page);
    QFETCH(QString, lastFile);

    Run run;
    QTemporaryDir elsewhere;
    const auto restore = qScopeGuard([previous = QDir::currentPath()] { QDir::setCurrent(previous); });
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    frmMain &window = run.start();
    window.SSTab1->setCurrentIndex(page);
    window.document().LastFile = lastFile;
    QVERIFY(window.close());
    QCOMPARE(run.settings(), settingsBytes(page, lastFile));

    frmMain &again = run.start();
    QCOMPARE(run.page(), page);
    QCOMPARE(again.document().LastFile, lastFile);
    QVERIFY(run.dialogs.calls().isEmpty());
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void tst_Shell::shutdown_data()
{
    QTest::addColumn<int>("tab");
    // The models changed (document, list, phones) and how each save ends:
    // "saved", "failed", or for the document "cancelled" in Save As; empty:
    // unchanged.
    QTest::addColumn<QStringList>("saves");
    QTest::addColumn<bool>("yes");

    const QString s = u"saved"_qs;
    const QString f = u"failed"_qs;
    // Whichever pages were ever made, a file is rewritten only when its model
    // changed and the user said Yes, and holds what the program writes.
    for (int tab = 0; tab < frmMain::PageCount; ++tab) {
        QTest::addRow("CurTab %d, nothing changed", tab) << tab << QStringList(3) << true;
        for (int model = 0; model < 3; ++model) {
            QStringList saves(3);
            saves[model] = s;
            QTest::addRow("CurTab %d, %s changed", tab, qPrintable(dataFiles[model].model)) << tab << saves << true;
        }
    }
    QTest::newRow("No: the flags stay set") << 3 << QStringList {s, s, s} << false;
    QTest::newRow("all three saved, one question") << 3 << QStringList {s, s, s} << true;
    QTest::newRow("all three fail, in order") << 3 << QStringList {f, f, f} << true;
    QTest::newRow("the document fails, the others saved") << 3 << QStringList {f, s, s} << true;
    QTest::newRow("the list fails, the phones saved") << 3 << QStringList {QString(), f, s} << true;
    QTest::newRow("a cancelled Save As goes on") << 3 << QStringList {u"cancelled"_qs, s, QString()} << true;
}

void tst_Shell::shutdown()
{
    QFETCH(int, tab);
    QFETCH(QStringList, saves);
    QFETCH(bool, yes);

    Run run;
    const QString notes = run.path(u"notes.txt"_qs);
    seed(run, settingsBytes(tab, notes));
    run.writeFile(u"plain"_qs, "x");
    const QString unwritable = run.path(u"plain/notes.txt"_qs); // below an ordinary file
    const QString refusal = u"Ошибка доступа к пути/файлу"_qs;
    const QStringList failures {writeFailure(unwritable, u"Путь не найден"_qs),
                                u"- x ok: Возникла ошибка при сохранении списка программ:\r\n\r\n"_qs + refusal,
                                writeFailure(run.path(u"phones.tn"_qs), refusal)};
    frmMain &window = run.start();
    window.show();
    QStringList asked;
    if (saves != QStringList(3)) {
        asked << question;
        run.dialogs.answerMessage(yes ? Answer::Yes : Answer::No);
    }
    if (saves[0] == u"saved"_qs)
        window.document().loadLast();
    else if (saves[0] == u"failed"_qs)
        window.document().CurrentFile = unwritable;
    else if (saves[0] == u"cancelled"_qs)
        run.dialogs.answerFile(QString());
    for (int i = 0; i < 3; ++i) {
        if (!saves[i].isEmpty())
            change(window, dataFiles[i].model);
        if (saves[i] != u"failed"_qs)
            continue;
        asked << failures[i];
        run.dialogs.answerMessage(Answer::Ok);
        // A data file that is a folder refuses the save.
        if (i > 0)
            QVERIFY(QFile::remove(run.path(dataFiles[i].name)) && QDir(run.dir.path()).mkdir(dataFiles[i].name));
    }
    // The settings come last: never written while shut-down says something.
    bool settingsEarly = false;
    run.dialogs.whileAsked = [&] { settingsEarly |= rewritten(run, u"tarnel.ini"_qs); };
    const bool closes = !saves.contains(u"failed"_qs);

    QCOMPARE(window.close(), closes);
    QCOMPARE(run.dialogs.asked(), asked);
    QVERIFY(!settingsEarly);
    QCOMPARE(rewritten(run, u"tarnel.ini"_qs), closes);
    // A save that failed keeps its flag, as does a cancelled Save As.
    const bool flags[] = {window.document().Change, window.programs().StartCh, window.phoneBook().PhoneCh};
    for (int i = 0; i < 3; ++i) {
        const bool saved = yes && saves[i] == u"saved"_qs;
        QCOMPARE(flags[i], !saves[i].isEmpty() && !saved);
        if (saves[i] != u"failed"_qs) {
            QCOMPARE(run.read(dataFiles[i].name), cp1251(saved ? dataFiles[i].after : dataFiles[i].before));
            QCOMPARE(rewritten(run, dataFiles[i].name), saved);
        }
    }
    if (!closes) {
        // Once the cause is gone, closing again saves what was left and ends.
        window.document().CurrentFile = notes;
        for (const QString &name : {u"applist.tn"_qs, u"phones.tn"_qs})
            QDir(run.dir.path()).rmdir(name);
        run.dialogs.answerMessage(Answer::Yes);
        QVERIFY(window.close());
        QVERIFY(!window.anythingChanged());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(run.read(dataFiles[i].name),
                     cp1251(saves[i].isEmpty() ? dataFiles[i].before : dataFiles[i].after));
    }
    QCOMPARE(run.settings(), settingsBytes(tab, notes));
    QCOMPARE(QDir(run.dir.path()).entryList(QDir::Files),
             (QStringList {u"applist.tn"_qs, u"notes.txt"_qs, u"phones.tn"_qs, u"plain"_qs, u"tarnel.ini"_qs}));
}

void tst_Shell::shutdown_escapeOnQuestion_losesNothing()
{
    platform::QtDialogs dialogs; // outlives the window that uses it
    Run run;
    seed(run);
    run.window = std::make_unique<frmMain>(dialogs, run.system);
    frmMain &window = *run.window;
    dialogs.setParent(&window);
    window.show();
    change(window, u"list"_qs);

    bool escaped = false;
    bool keptAfterEscape = false;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        if (!escaped) {
            QTest::keyClick(box, Qt::Key_Escape);
            escaped = true;
            return false; // the event loop runs before the user's next move
        }
        keptAfterEscape = window.isVisible() && window.programs().StartCh && !rewritten(run, u"applist.tn"_qs)
                       && !QFile::exists(run.path(u"tarnel.ini"_qs));
        box->button(QMessageBox::Yes)->click();
        return true;
    }));
    QVERIFY(window.close());

    // The box was still up after Escape, with nothing closed or written.
    QVERIFY(answerer.answered());
    QVERIFY(keptAfterEscape);
    QCOMPARE(run.read(u"applist.tn"_qs), cp1251(dataFiles[1].after));
    QVERIFY(!window.programs().StartCh);
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
    const QList<std::pair<const char *, QByteArray>> contents {
        {"random bytes", noise},
        {"every line end, NUL and 0x98", "[general]\r\nmax=2\n[t1]\rcap=a\r\n\ncmd=b\r\r\n[T2]\n\rCMD=\0c\x98\r"},
        {"one line of 20 MB", QByteArray(20 * 1024 * 1024, '[')},
        {"a million lines", QByteArray("cmd=|`\t\x98\0\r\n", 11).repeated(1000000)}};
    for (const char *name : {"applist.tn", "phones.tn", "tarnel.ini"}) {
        for (const auto &[what, bytes] : contents)
            QTest::addRow("%s: %s", name, what) << QString::fromLatin1(name) << u"bytes"_qs << bytes;
        for (const char *shape : {"fifo", "folder", "device"})
            QTest::addRow("%s: %s", name, shape)
                << QString::fromLatin1(name) << QString::fromLatin1(shape) << QByteArray();
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
    // Settings that are a folder are no settings: the tools page, nothing said.
    if (name == u"tarnel.ini"_qs && shape == u"folder"_qs)
        QVERIFY(run.page() == frmMain::PageTools && run.dialogs.calls().isEmpty());
    if (shape == u"bytes"_qs && name != u"tarnel.ini"_qs)
        QVERIFY(run.read(name) == bytes);
}

void tst_Shell::systemRoutines_data()
{
    QTest::addColumn<bool>("explorer"); // OpenWithExplorer, or RunProgram
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("started"); // the command line handed to the system; empty: none
    QTest::addColumn<QString>("message"); // the start fails and this is said; empty: it does not

    const auto row
        = [](const char *name, bool explorer, const QString &argument, const QString &started,
             const QString &message = QString()) { QTest::newRow(name) << explorer << argument << started << message; };
    const QString runLine = u"/opt/my prog/run.sh --x \"a b\""_qs;
    row("run, empty line", false, QString(), QString());
    row("run, started", false, runLine, runLine);
    row("run, fails", false, u"нет-такой-программы"_qs, u"нет-такой-программы"_qs,
        u"Ошибка при запуске приложения:\r\n\r\nнет-такой-программы\r\n\r\nФайл не найден"_qs);
    row("explorer, empty target", true, QString(), QString());
    row("explorer, web address", true, u"http://www.orvane.example/tallyra/"_qs,
        u"/usr/bin/xdg-open http://www.orvane.example/tallyra/"_qs);
    row("explorer, quoted folder", true, u"\"/home/a b/My Tarnel\""_qs,
        u"/usr/bin/xdg-open \"/home/a b/My Tarnel\""_qs);
    row("explorer, fails", true, u"/x"_qs, u"/usr/bin/xdg-open /x"_qs,
        u"Ошибка при запуске приложения Windows Explorer.\r\n\r\nФайл не найден"_qs);
}

void tst_Shell::systemRoutines()
{
    QFETCH(bool, explorer);
    QFETCH(QString, argument);
    QFETCH(QString, started);
    QFETCH(QString, message);

    Run run;
    frmMain &window = run.start();
    AppContext &context = window.context();
    if (!message.isEmpty()) {
        run.system.failWith(FakeSystem::Effect::Start,
                            platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
        run.dialogs.answerMessage(Answer::Ok);
    }

    explorer ? context.OpenWithExplorer(argument) : context.RunProgram(argument);

    QStringList starts;
    for (const FakeSystem::Call &call : run.system.callsOf(FakeSystem::Effect::Start))
        starts << call.argument;
    QCOMPARE(starts, started.isEmpty() ? QStringList() : QStringList {started});
    QCOMPARE(run.dialogs.asked(), message.isEmpty() ? QStringList() : QStringList {u"- x ok: "_qs + message});
    // A failed start leaves the program as it was.
    QCOMPARE(context.state.WindowsFolder, u"/usr/bin"_qs);
    QVERIFY(!window.anythingChanged());
}

void tst_Shell::playSoundFile_runsWaitingEventsFirst_handsOverTheName()
{
    Run run;
    AppContext &context = run.start().context();
    const QString name = context.state.ProgramFolder + u"tarnelover.wav"_qs;
    // An event already waiting (a further hover) runs before the sound starts.
    qsizetype soundsWhenEventRan = -1;
    QMetaObject::invokeMethod(
        run.window.get(), [&] { soundsWhenEventRan = run.system.callsOf(FakeSystem::Effect::Sound).size(); },
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
