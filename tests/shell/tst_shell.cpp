#include "clicklabel.h"
#include "codepage.h"
#include "frmdetails.h"
#include "modelrun.h"
#include "notespage.h"
#include "phonepage.h"
#include "run.h"
#include "runpage.h"
#include "runtimefailure.h"
#include "settingsfile.h"
#include "twips.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>

using Answer = platform::Dialogs::Answer;

namespace {

// The data files of a user's program folder, as the program writes them
// before and after one change made through the model's accessor.
struct DataFile
{
    QString name;
    QString before;
    QString after;
};
const std::array<DataFile, 3> dataFiles {{
    {u"notes.txt"_qs, u"Старый текст\r\n"_qs, u"Новый текст\r\n"_qs},
    {u"applist.tn"_qs, u"[general]\r\nmax=1\r\n[t1]\r\ncap=Блокнот\r\ncmd=notepad\r\n"_qs,
     u"[general]\r\nmax=2\r\n[t1]\r\ncap=Блокнот\r\ncmd=notepad\r\n[t2]\r\ncap=Калькулятор\r\ncmd=calc\r\n"_qs},
    {u"phones.tn"_qs, u"Анна|111|\r\n\r\n"_qs, u"Анна|111|\r\nБорис|222|\r\n\r\n"_qs},
}};
const QDateTime longAgo(QDate(2001, 1, 1), QTime(12, 0));

QByteArray cp1251(const QString &text)
{
    return platform::codepage::fromUnicode(text);
}

bool rewritten(const Run &run, const QString &name)
{
    return QFileInfo(run.path(name)).lastModified() != longAgo;
}

// The change a page's command would make, made on the model alone.
void change(frmMain &window, int model)
{
    if (model == 0)
        window.document().setDocumentText(u"Новый текст"_qs);
    else if (model == 1)
        window.programs().add({u"Калькулятор"_qs, u"calc"_qs});
    else
        window.phoneBook().restore({{u"Анна"_qs, u"111"_qs}, {u"Борис"_qs, u"222"_qs}});
}

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window_layout_centred()
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
        QStringList captions;
        for (int i = 0; i < window.SSTab1->count(); ++i)
            captions << window.SSTab1->tabBar()->tabText(i);
        QCOMPARE(captions.join(u'|'), u"Запуск|Записи|Телефоны|Задачи|Игры|My Tarnel"_qs);

        // Pages take the control's own coordinates, so a control placed in twips
        // on a page lands where the window layout puts it.
        NotesPage *notes = window.page<NotesPage>(frmMain::PageNotes);
        RunPage *runPage = window.page<RunPage>(frmMain::PageRun);
        QCOMPARE(notes->lblStatus->geometry(), platform::twips::rect(120, 4500, 7215, 255));
        // Every text stands at the top left of its box, as the windows were drawn,
        // the entry dialog's too.
        runPage->cmdAddApp->click();
        for (const QWidget *top : QList<QWidget *> {&window, runPage->details()})
            for (const QLabel *label : top->findChildren<QLabel *>())
                QVERIFY2(label->text().isEmpty() || label->alignment() == (Qt::AlignLeft | Qt::AlignTop),
                         qPrintable(label->objectName()));
        runPage->details()->close();
        // Controls that show a user's text draw what their face lacks from another.
        for (const QWidget *control : QList<QWidget *> {notes->Text, notes->lblStatus, runPage->RunList,
                                                        window.page<PhonePage>(frmMain::PagePhones)->Grid1})
            QVERIFY2(!(control->font().styleStrategy() & QFont::NoFontMerging), qPrintable(control->objectName()));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The icon, for the window manager, in both sizes; after the first paint.
        QTRY_COMPARE(window.windowIcon().availableSizes(), (QList<QSize> {{64, 64}, {128, 128}}));
        // Centred before it is shown, when the frame is not known yet: the frame
        // may shift it by its own width.
        const QPoint offset = window.frameGeometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4, qPrintable(QDebug::toString(offset)));
        QCOMPARE(window.SSTab1->page(window.SSTab1->currentIndex())->geometry(),
                 QRect(QPoint(0, 0), window.SSTab1->size()));
        const QTabBar *bar = window.SSTab1->tabBar();
        QCOMPARE(std::pair(bar->tabRect(0).left(), bar->tabRect(5).right()), std::pair(0, window.SSTab1->width() - 1));
    }

    // How the page number and the last file are read and written is the settings
    // file's and the reader's; here what start-up makes of them, what it says,
    // the pages made from them when first shown, and that shut-down writes them
    // back. Start-up writes nothing.
    void startup_data()
    {
        QTest::addColumn<bool>("opener");
        QTest::addColumn<bool>("writable"); // false: the program folder lies below an ordinary file
        QTest::addColumn<QByteArray>("content"); // of the settings file; null: none
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("lastFile");
        // What start-up says, in the order it reads the files, then shut-down.
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("dataFiles"); // "name|bytes"

        const auto row = [](const char *name, const QByteArray &content, int page, const QString &lastFile = {},
                            const QStringList &messages = {}, bool opener = true, bool writable = true,
                            const QStringList &dataFiles = {}) {
            QTest::newRow(name) << opener << writable << content << page << lastFile << messages << dataFiles;
        };
        row("a new program folder", {}, frmMain::PageTools);
        row("no opener: said, start-up goes on", {}, frmMain::PageTools, {}, {u"- x ok: Ошибка: "_qs}, false);
        row("an unwritable folder: said once at each end", {}, frmMain::PageTools, {},
            {u"- x ok: Ошибка: Путь не найден"_qs,
             u"- x ok: Возникла ошибка при сохранении файла конфигурации:\r\n\r\nПуть не найден"_qs},
            true, false);
        const QString russian = u"C:\\Мои документы\\a=b.txt"_qs;
        row("as written, a Russian name", settingsfile::bytes(frmMain::PagePhones, russian), frmMain::PagePhones,
            russian);
        row("about page, no last file: still three lines", "[mytarnel]\r\nCurTab=5\r\nLastFile=\r\n", 5, u""_qs);
        row("too high: the games", "[mytarnel]\r\nCurTab=6\r\n", 4, u""_qs);
        row("too low: the games", "[mytarnel]\r\nCurTab=-1\r\n", 4, u""_qs);
        // Start-up goes on past each failing file.
        row("beyond 16 bits, data files failing: each said, no last file",
            "[mytarnel]\r\nCurTab=40000\r\nLastFile=x\r\n", 0, {},
            {u"- . ok: Ошибка при чтении файла:\r\n\r\nПереполнение"_qs,
             u"Чтение файла ! ok: Ошибка при чтении файла. Возможно, он поврежден или слишком большой."_qs,
             u"- x ok: Ошибка при чтении файла конфигурации!\r\n\r\nПереполнение"_qs},
            true, true, {u"applist.tn|[general]\r\nmax=40000\r\n"_qs, u"phones.tn|<fifo>"_qs});
    }

    // In the program folder, whatever the current folder.
    void startup()
    {
        QFETCH(bool, opener);
        QFETCH(bool, writable);
        QFETCH(QByteArray, content);
        QFETCH(int, page);
        QFETCH(QString, lastFile);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, dataFiles);

        Run run;
        QTemporaryDir elsewhere;
        const auto restore = qScopeGuard([previous = QDir::currentPath()] { QDir::setCurrent(previous); });
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        if (!opener)
            run.system.windowsFolderPath.clear();
        // A folder below an ordinary file can be neither searched nor written,
        // whoever runs the test.
        run.writeFile(u"plain"_qs, "x");
        if (!writable)
            run.system.programFolderPath = run.path(u"plain/"_qs);
        if (!content.isNull())
            run.writeFile(u"tarnel.ini"_qs, content);
        for (const QString &file : dataFiles)
            run.writeFile(file.section(u'|', 0, 0), file.section(u'|', 1).toLatin1());
        run.dialogs.answerMessage(Answer::Ok, messages.size());
        frmMain &window = run.start();

        QCOMPARE(run.dialogs.asked(), writable ? messages : messages.mid(0, 1));
        QVERIFY(!window.anythingChanged());
        QCOMPARE(QFileInfo(run.path(u"My Tarnel"_qs)).isDir(), writable);
        QCOMPARE(run.page(), page);
        QCOMPARE(run.settings(), content.isNull() ? QByteArray("<missing>") : content);
        QCOMPARE(window.document().lastFile(), lastFile);
        QCOMPARE(window.document().status(), u"Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\"."_qs);
        QVERIFY(!window.SSTab1->isPageMade(page));
        window.show();
        window.SSTab1->setCurrentIndex(frmMain::PageNotes);
        for (int other = 0; other < frmMain::PageCount; ++other)
            QCOMPARE(window.SSTab1->isPageMade(other), other == page || other == frmMain::PageNotes);
        // The tooltip keeps its first text unless a settings file names a last file.
        QCOMPARE(window.page<NotesPage>(frmMain::PageNotes)->cmdLoadLast->toolTip(),
                 lastFile.isNull() ? u"Открыть последний редактируемый файл"_qs
                                   : u"Загрузить последний файл: "_qs + lastFile);

        QVERIFY(window.close());
        QCOMPARE(run.dialogs.asked(), messages);
        QCOMPARE(run.settings(),
                 writable ? settingsfile::bytes(frmMain::PageNotes, lastFile) : QByteArray("<missing>"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void shutdown_data()
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
        // changed and the user said Yes, and holds what the program writes: each
        // page current once, each model changed alone with its page never shown.
        const QStringList alone[] = {{s, {}, {}}, {{}, {}, s}, {{}, s, {}}};
        for (int tab = 0; tab < frmMain::PageCount; ++tab)
            QTest::addRow("CurTab %d", tab) << tab << (tab < 3 ? alone[tab] : QStringList(3)) << true;
        QTest::newRow("the phone book alone fails") << 4 << QStringList {{}, {}, f} << true;
        QTest::newRow("No: the flags stay set") << 3 << QStringList {s, s, s} << false;
        QTest::newRow("all three saved, one question") << 3 << QStringList {s, s, s} << true;
        QTest::newRow("all three fail, in order") << 3 << QStringList {f, f, f} << true;
        QTest::newRow("the document fails, the others saved") << 3 << QStringList {f, s, s} << true;
        QTest::newRow("a cancelled Save As goes on") << 3 << QStringList {u"cancelled"_qs, s, QString()} << true;
    }

    void shutdown()
    {
        QFETCH(int, tab);
        QFETCH(QStringList, saves);
        QFETCH(bool, yes);

        Run run;
        const QString notes = run.path(u"notes.txt"_qs);
        // The data files as a user left them, dated long ago so that a rewrite shows.
        run.writeFile(u"tarnel.ini"_qs, settingsfile::bytes(tab, notes));
        for (const DataFile &file : dataFiles)
            run.writeFile(file.name, cp1251(file.before));
        for (const QString &name : QDir(run.dir.path()).entryList(QDir::Files)) {
            QFile written(run.path(name));
            QVERIFY(written.open(QIODevice::ReadOnly)
                    && written.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
        const QString refusal = u"Ошибка доступа к пути/файлу"_qs;
        const QString writeFailure = u"Запись файла ! ok: Ошибка при записи файла:%1. Возможно, имя неверное или текст "
                                     "слишком большой.\r\n\r\n"_qs
                                   + refusal;
        const QStringList failures {writeFailure.arg(notes),
                                    u"- x ok: Возникла ошибка при сохранении списка программ:\r\n\r\n"_qs + refusal,
                                    writeFailure.arg(run.path(u"phones.tn"_qs))};
        frmMain &window = run.start();
        window.show();
        QStringList asked;
        if (saves != QStringList(3)) {
            asked << u"- i yesno: Данные изменились. Сохранить сейчас?"_qs;
            run.dialogs.answerMessage(yes ? Answer::Yes : Answer::No);
        }
        if (saves[0] == u"cancelled"_qs)
            run.dialogs.answerFile(QString());
        else
            window.document().loadLast();
        for (int i = 0; i < 3; ++i) {
            if (!saves[i].isEmpty())
                change(window, i);
            if (saves[i] != u"failed"_qs)
                continue;
            asked << failures[i];
            run.dialogs.answerMessage(Answer::Ok);
            // A data file that is a folder refuses the save.
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
        const bool flags[] = {window.document().hasUnsavedChanges(), window.programs().hasUnsavedChanges(),
                              window.phoneBook().hasUnsavedChanges()};
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
            for (const DataFile &file : dataFiles)
                QDir(run.dir.path()).rmdir(file.name);
            run.dialogs.answerMessage(Answer::Yes);
            QVERIFY(window.close());
            QVERIFY(!window.anythingChanged());
            for (int i = 0; i < 3; ++i)
                QCOMPARE(run.read(dataFiles[i].name),
                         cp1251(saves[i].isEmpty() ? dataFiles[i].before : dataFiles[i].after));
        }
        QCOMPARE(run.settings(), settingsfile::bytes(tab, notes));
        QCOMPARE(QDir(run.dir.path()).entryList(QDir::Files),
                 (QStringList {u"applist.tn"_qs, u"notes.txt"_qs, u"phones.tn"_qs, u"tarnel.ini"_qs}));
    }

    // An empty command line or target starts nothing; an opener that fails is
    // said; a sound lets waiting events run first.
    void systemRoutines()
    {
        ModelRun run;
        AppContext &context = run.context;
        context.RunProgram(QString());
        context.OpenWithExplorer(QString());
        QCOMPARE(run.system.effects(), QStringList());

        run.system.failWith(FakeSystem::Effect::Start,
                            platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
        run.dialogs.answerMessage(Answer::Ok);
        context.OpenWithExplorer(u"/x"_qs);
        QCOMPARE(run.system.effects(), QStringList {u"start:/usr/bin/xdg-open /x"_qs});
        QCOMPARE(run.dialogs.asked(),
                 QStringList {u"- x ok: Ошибка при запуске приложения Windows Explorer.\r\n\r\nФайл не найден"_qs});
        // A failed start leaves the program as it was.
        QCOMPARE(context.state.WindowsFolder, u"/usr/bin"_qs);

        // An event already waiting (a further hover) runs before a sound starts.
        qsizetype effectsWhenEventRan = -1;
        QMetaObject::invokeMethod(
            qApp, [&] { effectsWhenEventRan = run.system.calls().size(); }, Qt::QueuedConnection);
        context.PlaySoundFile(u"/a b/tarnelover.wav"_qs);
        QCOMPARE(effectsWhenEventRan, 1);
        QCOMPARE(run.system.effects().constLast(), u"sound:/a b/tarnelover.wav"_qs);
    }
};

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
