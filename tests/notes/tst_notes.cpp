#include "appcontext.h"
#include "clicklabel.h"
#include "codepage.h"
#include "fakedialogs.h"
#include "fakesystem.h"
#include "filesizelimit.h"
#include "notespage.h"
#include "run.h"
#include "runtimefailure.h"
#include "textfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolTip>

#include <optional>

using Answer = platform::Dialogs::Answer;
using Effect = FakeSystem::Effect;
using Kind = FakeDialogs::Kind;

namespace {

// The date stamp is checked in the formats of the Russian system the program
// is made for; Qt reads them from the environment when it first needs them,
// and LC_ALL would hide LC_TIME.
[[maybe_unused]] const bool russianDates = [] {
    qunsetenv("LC_ALL");
    return qputenv("LC_TIME", "ru_RU.UTF-8");
}();

// A page of its own in a whole main window, as the user meets it.
struct Notes : Run
{
    NotesPage *page = nullptr;
    AppState *state = nullptr;

    Notes()
    {
        start();
        page = window->notesPage;
        state = &window->context().state;
    }
    void type(const QString &text) { QTest::keyClicks(page->Text, text); }
    // The document as it stands, with a file F and a modified flag.
    void openWith(const QString &name, const QByteArray &bytes)
    {
        writeFile(name, bytes);
        dialogs.answerFile(path(name));
        page->mnuItemOpen_Click();
    }
};

// What a user reads in a widget's tooltip: the text shown, without its markup.
QString shownToolTip(QWidget *widget)
{
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &help);
    if (!QTest::qWaitFor([] { return QToolTip::isVisible(); }))
        return QString();
    const QString shown = QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    QToolTip::hideText();
    return shown;
}

const QString changedCaption = u"Состояние: документ изменен. "_qs;
const QString unsavedQuestion = u"- i yesno: Текст не сохранен. Сохранить его сейчас?"_qs;

} // namespace

class tst_Notes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readTextFile_lineRules_data();
    void readTextFile_lineRules();
    void readTextFile_nothingOrFailure_data();
    void readTextFile_nothingOrFailure();
    void writeTextFile_bytes_data();
    void writeTextFile_bytes();
    void writeTextFile_failure_keepsOldFileAndSaysWhy_data();
    void writeTextFile_failure_keepsOldFileAndSaysWhy();
    void newDocument_data();
    void newDocument();
    void open_keepsTheDocumentExactly();
    void open_cancelled_startsInProgramFolderWithoutPersonalFolder();
    void open_failedRead_keepsDocument();
    void toolTips_nameLikeMarkup_shownAsWritten();
    void saveAs_questions_data();
    void saveAs_questions();
    void save_lostCharacters_data();
    void save_lostCharacters();
    void save_failedOrRefused_keepsTheDocumentAndStopsTheCommand_data();
    void save_failedOrRefused_keepsTheDocumentAndStopsTheCommand();
    void save_cancelledSaveAs_commandGoesOn_data();
    void save_cancelledSaveAs_commandGoesOn();
    void save_nameTheSettingsCannotHold_keepsLastFile_data();
    void save_nameTheSettingsCannotHold_keepsLastFile();
    void loadLast_data();
    void loadLast();
    void insertDateTime_appendsAtEnd();
    void print_data();
    void print();
    void font_data();
    void font();
    void shutdown_data();
    void shutdown();
    void buttons_popUpMenusAndEnterKeepsCrLf();
};

void tst_Notes::readTextFile_lineRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF throughout comes back exactly") << QByteArray("a\r\nb\r\n") << u"a\r\nb\r\n"_qs;
    QTest::newRow("a lone CR ends a line") << QByteArray("a\rb") << u"a\r\nb\r\n"_qs;
    QTest::newRow("a lone LF is a character") << QByteArray("a\nb\n") << u"a\nb\n\r\n"_qs;
    QTest::newRow("only CRs are empty lines") << QByteArray("\r\r") << u"\r\n\r\n"_qs;
    QTest::newRow("an empty file is empty") << QByteArray() << QString();
    QTest::newRow("any byte is a character") << QByteArray("\x98\0\xa0", 3) << u"\u0098\u0000\u00a0\r\n"_qs;
}

void tst_Notes::readTextFile_lineRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    Run run;
    run.writeFile(u"f.txt"_qs, bytes);
    AppContext context(run.dialogs, run.system);
    bool failed = true;
    QCOMPARE(ReadTextFile(context, run.path(u"f.txt"_qs), &failed), text);
    QVERIFY(!failed);
    QVERIFY(run.dialogs.calls().isEmpty());
}

void tst_Notes::readTextFile_nothingOrFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<Qt::CursorShape>("pointer");
    // An early return leaves a caller's hourglass alone.
    QTest::newRow("empty path") << QString() << QString() << false << Qt::WaitCursor;
    QTest::newRow("missing file") << u"missing.txt"_qs << QString() << false << Qt::WaitCursor;
    QTest::newRow("a folder is refused") << u"folder"_qs << QString() << true << Qt::ArrowCursor;
    QTest::newRow("a hidden file is read") << u".hidden"_qs << u"h\r\n"_qs << false << Qt::ArrowCursor;
}

void tst_Notes::readTextFile_nothingOrFailure()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, failed);
    QFETCH(Qt::CursorShape, pointer);
    Run run;
    QVERIFY(QDir(run.dir.path()).mkdir(u"folder"_qs));
    run.writeFile(u".hidden"_qs, "h");
    QWidget window;
    AppContext context(run.dialogs, run.system);
    context.setMainWindow(&window);
    context.showWaitPointer();
    if (failed)
        run.dialogs.answerMessage(Answer::Ok);

    bool readFailed = !failed;
    QCOMPARE(ReadTextFile(context, name.isEmpty() ? name : run.path(name), &readFailed), text);
    QCOMPARE(readFailed, failed);
    QCOMPARE(window.cursor().shape(), pointer);
    QCOMPARE(run.dialogs.asked(),
             failed ? QStringList {u"Чтение файла ! ok: Ошибка при чтении файла. Возможно, он поврежден или слишком "
                                   "большой."_qs}
                    : QStringList());
}

void tst_Notes::writeTextFile_bytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty text is one line end") << QString() << QByteArray("\r\n");
    QTest::newRow("one CR LF appended, inner ones kept") << u"x\r\ny"_qs << QByteArray("x\r\ny\r\n");
    QTest::newRow("a lone LF stays") << u"a\nb\r\n"_qs << QByteArray("a\nb\r\n\r\n");
}

void tst_Notes::writeTextFile_bytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    Run run;
    run.writeFile(u"old.txt"_qs, "a much longer old content");
    AppContext context(run.dialogs, run.system);
    for (const QString &name : {u"new.txt"_qs, u"old.txt"_qs}) {
        QVERIFY(WriteTextFile(context, run.path(name), text));
        QCOMPARE(run.read(name), bytes);
    }
    QVERIFY(run.dialogs.calls().isEmpty());
}

void tst_Notes::writeTextFile_failure_keepsOldFileAndSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("reason");
    QTest::newRow("below an ordinary file: fails at once") << u"plain/child.txt"_qs << 0 << u"Путь не найден"_qs;
    QTest::newRow("past the file size limit: fails part-way") << u"old.txt"_qs << 1000 << u"Ошибка ввода/вывода"_qs;
}

void tst_Notes::writeTextFile_failure_keepsOldFileAndSaysWhy()
{
    QFETCH(QString, name);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);
    Run run;
    run.writeFile(u"plain"_qs, "x");
    run.writeFile(u"old.txt"_qs, "old");
    QWidget window;
    AppContext context(run.dialogs, run.system);
    context.state.CrLf2 = u"\r\n\r\n"_qs;
    context.setMainWindow(&window);
    run.dialogs.answerMessage(Answer::Ok);
    const QString path = run.path(name);

    bool written = true;
    {
        std::optional<FileSizeLimit> limit;
        if (sizeLimit > 0)
            QVERIFY(limit.emplace(rlim_t(sizeLimit)).isSet());
        written = WriteTextFile(context, path, QString(5000, u't'));
    }
    QVERIFY(!written);
    QCOMPARE(run.dialogs.asked(),
             QStringList {u"Запись файла ! ok: Ошибка при записи файла:"_qs + path
                          + u". Возможно, имя неверное или текст слишком большой.\r\n\r\n"_qs + reason});
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(run.read(u"plain"_qs), QByteArray("x"));
    QCOMPARE(run.read(u"old.txt"_qs), QByteArray("old"));
    QCOMPARE(QDir(run.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList {u"old.txt"_qs, u"plain"_qs}));
}

void tst_Notes::newDocument_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("unchanged asks nothing") << false << Answer::Ok << QByteArray("old");
    QTest::newRow("changed, No") << true << Answer::No << QByteArray("old");
    QTest::newRow("changed, Yes saves first") << true << Answer::Yes << QByteArray("xold\r\n\r\n");
}

void tst_Notes::newDocument()
{
    QFETCH(bool, changed);
    QFETCH(Answer, answer);
    QFETCH(QByteArray, saved);
    Notes notes;
    notes.openWith(u"f.txt"_qs, "old");
    notes.dialogs.clear();
    if (changed) {
        notes.type(u"x"_qs);
        notes.dialogs.answerMessage(answer);
    }
    const QString lastFile = notes.state->LastFile;

    notes.page->mnuItemNew->trigger();
    QCOMPARE(notes.dialogs.asked(),
             changed ? QStringList {u"- i yesno: Текст был изменен. Сохранить?"_qs} : QStringList());
    QCOMPARE(notes.read(u"f.txt"_qs), saved);
    QCOMPARE(notes.page->documentText(), QString());
    QVERIFY(!notes.page->Text->document()->isUndoAvailable());
    QCOMPARE(notes.page->lblStatus->text(), u"Новый документ"_qs);
    QCOMPARE(notes.page->lblStatus->toolTip(), u"Создан новый документ"_qs);
    QCOMPARE(notes.state->CurrentFile, QString());
    QVERIFY(!notes.state->Change);
    if (answer != Answer::Yes)
        QCOMPARE(notes.state->LastFile, lastFile);
}

void tst_Notes::open_keepsTheDocumentExactly()
{
    Notes notes;
    notes.state->LastFile = u"/elsewhere.txt"_qs;
    notes.type(u"gone"_qs);
    notes.dialogs.answerMessage(Answer::No);
    // CR LF, a lone LF, a no-break space, NUL, 0x98 (no letter in the code
    // page) and a lone CR.
    notes.openWith(u"My Tarnel/f.txt"_qs, QByteArrayLiteral("a\r\nb\nc\xa0\0\x98"
                                                            "d\re"));
    const QString path = notes.path(u"My Tarnel/f.txt"_qs);

    QCOMPARE(notes.dialogs.asked(), QStringList {unsavedQuestion});
    QCOMPARE(notes.dialogs.calls().constLast().kind, Kind::OpenFile);
    const auto request = notes.dialogs.calls().constLast().file;
    QCOMPARE(request.filter, u"Текстовые файлы (*.txt)|*.txt|Все файлы|*.*"_qs);
    QCOMPARE(request.title, u"Открыть файл"_qs);
    QCOMPARE(request.pattern, u"*.txt"_qs);
    QCOMPARE(request.initialFolder, notes.path(u"My Tarnel"_qs));
    QCOMPARE(notes.page->documentText(), u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n"_qs);
    QCOMPARE(notes.page->Text->toPlainText(), u"a\nb\nc \u0000\u0098d\ne\n"_qs);
    QVERIFY(!notes.page->Text->document()->isUndoAvailable());
    QCOMPARE(notes.page->lblStatus->text(), u"Документ открыт из "_qs + path);
    QCOMPARE(notes.page->lblStatus->toolTip(), u"Файл будет сохранен в "_qs + path);
    QCOMPARE(notes.state->CurrentFile, path);
    QVERIFY(!notes.state->Change);
    QCOMPARE(notes.state->LastFile, u"/elsewhere.txt"_qs);

    // Saved again, only the lone CR and the final line end change.
    notes.page->cmdSaveText->click();
    const QByteArray saved = QByteArrayLiteral("a\r\nb\nc\xa0\0\x98"
                                               "d\r\ne\r\n\r\n");
    QCOMPARE(notes.read(u"My Tarnel/f.txt"_qs), saved);
    QCOMPARE(notes.page->lblStatus->text(), u"Состояние: документ сохранен в "_qs + path);
    QCOMPARE(notes.page->lblStatus->toolTip(), QString());
    QCOMPARE(notes.state->LastFile, path);
    QCOMPARE(notes.page->cmdLoadLast->toolTip(), u"Загрузить последний файл: "_qs + path);
    QVERIFY(!notes.state->Change);

    // A file that ends in CR LF opens with no empty line added.
    notes.dialogs.answerFile(path);
    notes.page->cmdOpenFile->click();
    QCOMPARE(notes.page->documentText(), u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n\r\n"_qs);
}

void tst_Notes::open_cancelled_startsInProgramFolderWithoutPersonalFolder()
{
    Notes notes;
    QVERIFY(QDir(notes.path(u"My Tarnel"_qs)).removeRecursively());
    notes.type(u"kept"_qs);
    notes.dialogs.answerMessage(Answer::No);
    notes.dialogs.answerFile(QString());

    notes.page->cmdOpenFile->click();
    QCOMPARE(notes.dialogs.calls().constLast().file.initialFolder, notes.state->ProgramFolder);
    QCOMPARE(notes.page->documentText(), u"kept"_qs);
    QCOMPARE(notes.page->lblStatus->text(), changedCaption);
    QVERIFY(notes.state->Change);
}

void tst_Notes::open_failedRead_keepsDocument()
{
    Notes notes;
    notes.openWith(u"f.txt"_qs, "mine");
    notes.type(u"x"_qs);
    const QString caption = notes.page->lblStatus->text();
    QCOMPARE(caption, u"Состояние: документ изменен. Файл: "_qs + notes.path(u"f.txt"_qs));
    QVERIFY(QDir(notes.dir.path()).mkdir(u"folder"_qs));
    notes.dialogs.answerMessage(Answer::No);
    notes.dialogs.answerFile(notes.path(u"folder"_qs));
    notes.dialogs.answerMessage(Answer::Ok);

    notes.page->mnuItemOpen_Click();
    QCOMPARE(notes.dialogs.messages().size(), 2);
    QCOMPARE(notes.page->documentText(), u"xmine\r\n"_qs);
    QCOMPARE(notes.state->CurrentFile, notes.path(u"f.txt"_qs));
    QVERIFY(notes.state->Change);
    QCOMPARE(notes.page->lblStatus->text(), caption);
}

void tst_Notes::toolTips_nameLikeMarkup_shownAsWritten()
{
    Notes notes;
    notes.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(notes.window.get()));
    notes.openWith(u"<b>жирный.txt"_qs, "x");
    const QString path = notes.path(u"<b>жирный.txt"_qs);
    QCOMPARE(notes.page->lblStatus->textFormat(), Qt::PlainText);
    QCOMPARE(shownToolTip(notes.page->lblStatus), u"Файл будет сохранен в "_qs + path);

    notes.page->cmdSaveText->click();
    QCOMPARE(notes.state->LastFile, path);
    QCOMPARE(shownToolTip(notes.page->cmdLoadLast), u"Загрузить последний файл: "_qs + path);
}

void tst_Notes::saveAs_questions_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("overwritten"); // the name the overwrite question names; empty: not asked
    QTest::addColumn<QString>("written"); // empty: nothing written
    const QList<Answer> none;
    QTest::newRow("no .txt, Yes adds it") << u"a"_qs << QList {Answer::Yes} << QString() << u"a.txt"_qs;
    QTest::newRow("no .txt, No keeps the name") << u"a"_qs << QList {Answer::No} << QString() << u"a"_qs;
    QTest::newRow("no .txt, Cancel saves nothing") << u"a"_qs << QList {Answer::Cancel} << QString() << QString();
    QTest::newRow("upper-case TXT asks nothing") << u"a.TXT"_qs << none << QString() << u"a.TXT"_qs;
    QTest::newRow("existing file, Yes overwrites")
        << u"old.txt"_qs << QList {Answer::Yes} << u"old.txt"_qs << u"old.txt"_qs;
    QTest::newRow("existing hidden file, No keeps it")
        << u".old.txt"_qs << QList {Answer::No} << u".old.txt"_qs << QString();
    QTest::newRow(".txt added, then the overwrite question for that name")
        << u"old"_qs << QList {Answer::Yes, Answer::No} << u"old.txt"_qs << QString();
}

void tst_Notes::saveAs_questions()
{
    QFETCH(QString, chosen);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, overwritten);
    QFETCH(QString, written);
    Notes notes;
    notes.writeFile(u"old.txt"_qs, "old");
    notes.writeFile(u".old.txt"_qs, "old");
    notes.type(u"t"_qs);
    notes.dialogs.answerFile(notes.path(chosen));
    for (const Answer answer : answers)
        notes.dialogs.answerMessage(answer);

    notes.page->mnuItemSave->trigger();
    QCOMPARE(notes.dialogs.calls().constFirst().kind, Kind::SaveFile);
    QCOMPARE(notes.dialogs.calls().constFirst().file.title, u"Сохранить как"_qs);
    QCOMPARE(notes.dialogs.calls().constFirst().file.initialFolder, notes.path(u"My Tarnel"_qs));
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    QStringList asked;
    if (!chosen.endsWith(u".txt"_qs, Qt::CaseInsensitive))
        asked << u"- i ync: Указанное имя файла не содержит расширения .txt. Добавить его?\r\n\r\nНажмите на Да, "
                 "чтобы добавить это расширение, Нет, чтобы сохранить файл без изменения его имени и Отмена для "
                 "отмены операции сохранения.\r\n\r\nИмя файла: "_qs
                     + notes.path(chosen);
    if (!overwritten.isEmpty())
        asked << u"- i yesno: Файл с именем \r\n\r\n"_qs + notes.path(overwritten)
                     + u"\r\n\r\nсуществует. Записать поверх него?"_qs;
    QCOMPARE(notes.dialogs.asked(), asked);
    if (written.isEmpty()) {
        QCOMPARE(notes.state->CurrentFile, QString());
        QVERIFY(notes.state->Change);
        for (const QString &name : {u"old.txt"_qs, u".old.txt"_qs})
            QCOMPARE(notes.read(name), QByteArray("old"));
    } else {
        QCOMPARE(notes.state->CurrentFile, notes.path(written));
        QCOMPARE(notes.read(written), QByteArray("t\r\n"));
        QVERIFY(!notes.state->Change);
    }
}

void tst_Notes::save_lostCharacters_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("atShutdown");
    QTest::newRow("Yes saves with ?") << Answer::Yes << QByteArray("?\x88?\r\n") << false;
    QTest::newRow("No writes nothing") << Answer::No << QByteArray("f") << false;
    QTest::newRow("at shut-down, No keeps the window open") << Answer::No << QByteArray("f") << true;
}

void tst_Notes::save_lostCharacters()
{
    QFETCH(Answer, answer);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, atShutdown);
    Notes notes;
    notes.writeFile(u"f.txt"_qs, "f");
    notes.state->CurrentFile = notes.path(u"f.txt"_qs);
    // A character outside the basic plane, the euro sign (which the code page
    // holds) and a Chinese character.
    notes.page->setDocumentText(u"\U0001F600€中"_qs);
    if (atShutdown)
        notes.dialogs.answerMessage(Answer::Yes); // data changed: save now?
    notes.dialogs.answerMessage(answer);

    if (atShutdown)
        QCOMPARE(notes.window->Form_Unload(), answer == Answer::Yes);
    else
        notes.page->mnuItemSave_Click();
    QCOMPARE(notes.dialogs.asked().mid(atShutdown ? 1 : 0),
             QStringList {
                 u"- ! yesno: В тексте есть знаки, которых нет в кодировке Windows-1251: «\U0001F600» (U+1F600), «中» "
                 "(U+4E2D). В файле они будут заменены знаком \"?\".\r\n\r\nСохранить документ с этой "
                 "заменой?"_qs});
    QCOMPARE(notes.read(u"f.txt"_qs), bytes);
    QCOMPARE(notes.state->Change, answer == Answer::No);
}

void tst_Notes::save_failedOrRefused_keepsTheDocumentAndStopsTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("lostCharacters"); // refused at the question; else the write fails
    QTest::newRow("Save, failed write") << u"save"_qs << false;
    QTest::newRow("Save As, failed write") << u"saveAs"_qs << false;
    QTest::newRow("New, failed write") << u"new"_qs << false;
    QTest::newRow("Open, failed write") << u"open"_qs << false;
    QTest::newRow("Load last file, failed write") << u"last"_qs << false;
    QTest::newRow("New, No to the lost characters") << u"new"_qs << true;
}

void tst_Notes::save_failedOrRefused_keepsTheDocumentAndStopsTheCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, lostCharacters);
    Notes notes;
    notes.writeFile(u"plain"_qs, "x");
    notes.writeFile(u"last.txt"_qs, "last");
    notes.openWith(u"f.txt"_qs, "f");
    notes.state->LastFile = notes.path(u"last.txt"_qs);
    if (lostCharacters)
        notes.page->Text->insertPlainText(u"中"_qs);
    else // the file's folder has become a plain file
        notes.state->CurrentFile = notes.path(u"plain/f.txt"_qs);
    notes.type(u"x"_qs);
    const QString text = notes.page->documentText();
    const QString caption = notes.page->lblStatus->text();
    const QString currentFile = notes.state->CurrentFile;
    notes.dialogs.clear();
    if (command == u"saveAs"_qs)
        notes.dialogs.answerFile(notes.path(u"plain/g.txt"_qs));
    else if (command != u"save"_qs)
        notes.dialogs.answerMessage(Answer::Yes); // save first?
    notes.dialogs.answerMessage(lostCharacters ? Answer::No : Answer::Ok);

    // A dialog nobody answered, such as an open dialog after it, fails here.
    if (command == u"save"_qs)
        notes.page->mnuItemSave->trigger();
    else if (command == u"saveAs"_qs)
        notes.page->mnuItemSaveAs->trigger();
    else if (command == u"new"_qs)
        notes.page->mnuItemNew->trigger();
    else if (command == u"open"_qs)
        notes.page->mnuItemOpen->trigger();
    else
        notes.page->cmdLoadLast->click();
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    if (!lostCharacters)
        QVERIFY(notes.dialogs.asked().constLast().startsWith(u"Запись файла ! ok: Ошибка при записи файла:"_qs));
    QCOMPARE(notes.page->documentText(), text);
    QVERIFY(notes.page->Text->document()->isUndoAvailable());
    QCOMPARE(notes.state->CurrentFile, currentFile);
    QVERIFY(notes.state->Change);
    QCOMPARE(notes.page->lblStatus->text(), caption);
    QCOMPARE(notes.state->LastFile, notes.path(u"last.txt"_qs));
    QCOMPARE(notes.read(u"f.txt"_qs), QByteArray("f"));
}

void tst_Notes::save_cancelledSaveAs_commandGoesOn_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text"); // the document afterwards
    QTest::newRow("New") << u"new"_qs << QString();
    QTest::newRow("Open") << u"open"_qs << u"other\r\n"_qs;
    QTest::newRow("Load last file") << u"last"_qs << u"last\r\n"_qs;
}

// Yes, then Cancel in the Save As dialog: the user chose not to save after
// all, so the command does what it was asked to.
void tst_Notes::save_cancelledSaveAs_commandGoesOn()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    Notes notes;
    notes.writeFile(u"other.txt"_qs, "other");
    notes.writeFile(u"last.txt"_qs, "last");
    notes.state->LastFile = notes.path(u"last.txt"_qs);
    notes.type(u"x"_qs);
    notes.dialogs.answerMessage(Answer::Yes); // save first?
    notes.dialogs.answerFile(QString()); // Save As cancelled
    if (command == u"open"_qs)
        notes.dialogs.answerFile(notes.path(u"other.txt"_qs));

    if (command == u"new"_qs)
        notes.page->mnuItemNew->trigger();
    else if (command == u"open"_qs)
        notes.page->mnuItemOpen->trigger();
    else
        notes.page->cmdLoadLast->click();
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    QCOMPARE(notes.page->documentText(), text);
    QVERIFY(!notes.state->Change);
}

void tst_Notes::save_nameTheSettingsCannotHold_keepsLastFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("listed");
    QTest::newRow("a character outside the code page") << u"中.txt"_qs << u"«中» (U+4E2D)"_qs;
    QTest::newRow("a line break") << u"a\nb.txt"_qs << u"U+000A"_qs;
}

void tst_Notes::save_nameTheSettingsCannotHold_keepsLastFile()
{
    QFETCH(QString, name);
    QFETCH(QString, listed);
    Notes notes;
    notes.writeFile(u"last.txt"_qs, "last");
    notes.state->LastFile = notes.path(u"last.txt"_qs);
    const QString toolTip = notes.page->cmdLoadLast->toolTip();
    const QString path = notes.path(name);
    notes.state->CurrentFile = path;
    notes.dialogs.answerMessage(Answer::Ok);

    // Told once, not at every save of the same file.
    for (int save = 0; save < 2; ++save) {
        notes.type(u"x"_qs);
        notes.page->mnuItemSave->trigger();
        QCOMPARE(notes.read(name), save == 0 ? QByteArray("x\r\n") : QByteArray("xx\r\n"));
    }
    QCOMPARE(notes.dialogs.asked(),
             QStringList {
                 u"- ! ok: Документ сохранен, но его имя не будет запомнено для кнопки \"Открыть последний файл\": в "
                 "нем есть знаки, которые нельзя записать в файл настроек: "_qs
                 + listed + u".\r\n\r\nИмя файла: "_qs + path});
    QCOMPARE(notes.state->LastFile, notes.path(u"last.txt"_qs));
    // This run still knows the file: the button loads it, the settings keep the old name.
    QVERIFY(notes.page->cmdLoadLast->toolTip() != toolTip);
    QCOMPARE(notes.page->cmdLoadLast->toolTip(), u"Загрузить последний файл: "_qs + path);
    QVERIFY(!notes.state->Change);
    QVERIFY(notes.window->close());
    QVERIFY(notes.settings().contains(platform::codepage::fromUnicode(u"LastFile="_qs + notes.path(u"last.txt"_qs))));
}

void tst_Notes::loadLast_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<bool>("changed"); // and Yes to the question
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("loaded"); // empty: refused
    QTest::addColumn<QString>("text");
    QTest::newRow("no last file") << u"f.txt"_qs << QString() << false << u"- ! ok: Последний файл не задан!"_qs
                                  << QString() << u"current\r\n"_qs;
    QTest::newRow("already open") << u"f.txt"_qs << u"f.txt"_qs << false << u"- ! ok: Этот файл уже открыт!"_qs
                                  << QString() << u"current\r\n"_qs;
    QTest::newRow("case counts: another file")
        << u"f.txt"_qs << u"F.txt"_qs << false << QString() << u"F.txt"_qs << u"last\r\n"_qs;
    // The save has made its own file the last one, and that file is read.
    QTest::newRow("changed, Yes: the file just saved is loaded")
        << u"f.txt"_qs << u"F.txt"_qs << true << unsavedQuestion << u"f.txt"_qs << u"xcurrent\r\n\r\n"_qs;
    QTest::newRow("changed, Yes: also a file whose name the settings cannot hold")
        << u"中.txt"_qs << u"F.txt"_qs << true << unsavedQuestion << u"中.txt"_qs << u"xcurrent\r\n\r\n"_qs;
}

void tst_Notes::loadLast()
{
    QFETCH(QString, current);
    QFETCH(QString, lastFile);
    QFETCH(bool, changed);
    QFETCH(QString, asked);
    QFETCH(QString, loaded);
    QFETCH(QString, text);
    Notes notes;
    notes.writeFile(u"F.txt"_qs, "last");
    notes.openWith(current, "current");
    notes.dialogs.clear();
    notes.state->LastFile = lastFile.isEmpty() ? lastFile : notes.path(lastFile);
    if (changed)
        notes.type(u"x"_qs);
    if (!asked.isEmpty())
        notes.dialogs.answerMessage(changed ? Answer::Yes : Answer::Ok);
    const bool unrememberable = current != u"f.txt"_qs;
    if (unrememberable)
        notes.dialogs.answerMessage(Answer::Ok); // the name will not be remembered

    notes.page->cmdLoadLast->click();
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    QCOMPARE(notes.dialogs.asked().mid(0, 1), asked.isEmpty() ? QStringList() : QStringList {asked});
    QCOMPARE(notes.page->documentText(), text);
    if (loaded.isEmpty())
        return;
    const QString path = notes.path(loaded);
    QCOMPARE(notes.state->CurrentFile, path);
    QVERIFY(!notes.state->Change);
    QCOMPARE(notes.page->lblStatus->text(), u"Документ открыт из "_qs + path);
    QCOMPARE(notes.page->lblStatus->toolTip(), u"Документ будет сохранен в: "_qs + path);
}

void tst_Notes::insertDateTime_appendsAtEnd()
{
    Notes notes;
    notes.page->setDocumentText(u"ab"_qs);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    notes.page->mnuItemInsDateTime->trigger();
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    // The short date and the long time of the system, with no time zone after
    // them; across midnight the stamp may name either day.
    const QString text = notes.page->documentText();
    const auto stamp
        = QRegularExpression(u"^ab\r\n(\\d\\d)\\.(\\d\\d)\\.(\\d{4}) (\\d\\d):(\\d\\d):(\\d\\d)$"_qs).match(text);
    QVERIFY2(stamp.hasMatch(), qPrintable(text));
    const auto part = [&stamp](int i) { return stamp.captured(i).toInt(); };
    const qint64 shown
        = QDateTime(QDate(part(3), part(2), part(1)), QTime(part(4), part(5), part(6))).toSecsSinceEpoch();
    QVERIFY2(before <= shown && shown <= after, qPrintable(text));
    QVERIFY(notes.state->Change);
    QCOMPARE(notes.page->lblStatus->text(), changedCaption);
}

void tst_Notes::print_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<Answer>>("answers");
    // How many prints fail before the printer takes one.
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("tries");
    QTest::newRow("empty: refused") << QString() << QList {Answer::Ok} << 0 << 0;
    QTest::newRow("No prints nothing") << u"a"_qs << QList {Answer::No} << 0 << 0;
    QTest::newRow("Yes prints the text and a line end") << u"a\r\nb\nc"_qs << QList {Answer::Yes} << 0 << 1;
    QTest::newRow("blanks and line ends are printed") << u" \r\n"_qs << QList {Answer::Yes} << 0 << 1;
    QTest::newRow("Retry tries again, Cancel ends")
        << u"a"_qs << QList {Answer::Yes, Answer::Retry, Answer::Cancel} << 2 << 2;
    QTest::newRow("a refused job, then Retry once the printer takes jobs")
        << u"a"_qs << QList {Answer::Yes, Answer::Retry} << 1 << 2;
}

void tst_Notes::print()
{
    QFETCH(QString, text);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, failures);
    QFETCH(int, tries);
    Notes notes;
    notes.page->setDocumentText(text);
    for (const Answer answer : answers)
        notes.dialogs.answerMessage(answer);
    // What the system says of a job the printer refused, or of no printer.
    if (failures > 0)
        notes.system.failWith(Effect::Print, platform::RuntimeFailure::withNumber(platform::failure::PrinterError));
    notes.system.whileCalled = [&notes, failures] {
        if (notes.system.callsOf(Effect::Print).size() > failures)
            notes.system.succeed(Effect::Print);
    };

    notes.page->cmdPrintText->click();
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    const auto prints = notes.system.callsOf(Effect::Print);
    QCOMPARE(prints.size(), tries);
    for (const auto &call : prints) {
        QCOMPARE(call.argument, text + u"\r\n"_qs);
        QCOMPARE(call.pointSize, 8);
    }
    const QStringList messages = notes.dialogs.asked();
    if (text.isEmpty())
        QCOMPARE(messages, QStringList {u"- ! ok: Нет текста для печати!"_qs});
    else
        QCOMPARE(messages.constFirst(), u"- i yesno: Напечатать текущий текст?"_qs);
    if (failures > 0)
        QCOMPARE(messages.constLast(),
                 u"- ! retry: Ошибка при попытке печати текста. \r\nУстраните неполадку и нажмите 'Повтор'.\r\n\r\n"
                 "482.  Ошибка принтера"_qs);
    QCOMPARE(notes.window->cursor().shape(), Qt::ArrowCursor);
}

void tst_Notes::font_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Cancel changes nothing") << false;
    QTest::newRow("a bold 12 pt face") << true;
}

void tst_Notes::font()
{
    QFETCH(bool, chosen);
    Notes notes;
    const QFont before = notes.page->Text->font();
    QFont choice(u"Liberation Serif"_qs, 12);
    choice.setBold(true);
    notes.dialogs.answerFont(chosen ? std::optional<QFont>(choice) : std::nullopt);

    notes.page->mnuItemFont->trigger();
    const auto call = notes.dialogs.calls().constFirst();
    QCOMPARE(call.title, u"Выбор шрифта"_qs);
    QCOMPARE(call.font.family(), before.family());
    // The chosen face, drawn as the window draws its texts.
    QFont expected = chosen ? choice : before;
    expected.setHintingPreference(before.hintingPreference());
    QCOMPARE(notes.page->Text->font(), expected);
}

void tst_Notes::shutdown_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<QString>("file"); // the current file, or the name Save As is given (empty for Cancel)
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("caption");
    QTest::newRow("with a file: written in place")
        << true << u"f.txt"_qs << true << u"Состояние: документ сохранен."_qs;
    QTest::newRow("with a file: failed write keeps the window open")
        << true << u"plain/f.txt"_qs << false << changedCaption;
    QTest::newRow("no file: Save As") << false << u"n.txt"_qs << true << u"Состояние: документ сохранен в "_qs;
    QTest::newRow("no file: Save As cancelled closes anyway") << false << QString() << true << changedCaption;
    QTest::newRow("no file: failed write keeps the window open")
        << false << u"plain/n.txt"_qs << false << changedCaption;
}

void tst_Notes::shutdown()
{
    QFETCH(bool, withFile);
    QFETCH(QString, file);
    QFETCH(bool, closes);
    QFETCH(QString, caption);
    Notes notes;
    notes.writeFile(u"plain"_qs, "x");
    if (withFile) {
        notes.openWith(u"f.txt"_qs, "f");
        notes.state->CurrentFile = notes.path(file);
    }
    notes.state->LastFile = u"/last.txt"_qs;
    notes.type(u"x"_qs);
    notes.dialogs.clear();
    notes.dialogs.answerMessage(Answer::Yes);
    if (!withFile)
        notes.dialogs.answerFile(file.isEmpty() ? file : notes.path(file));
    if (!closes)
        notes.dialogs.answerMessage(Answer::Ok);

    QCOMPARE(notes.window->Form_Unload(), closes);
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    const bool saved = closes && !file.isEmpty();
    QCOMPARE(notes.state->Change, !saved);
    QVERIFY(notes.page->lblStatus->text().startsWith(caption));
    QCOMPARE(notes.page->lblStatus->toolTip(),
             saved || !withFile ? QString() : u"Документ будет сохранен в: "_qs + notes.path(file));
    if (saved)
        QCOMPARE(notes.read(file), withFile ? QByteArray("xf\r\n\r\n") : QByteArray("x\r\n"));
    QCOMPARE(notes.state->LastFile, saved && !withFile ? notes.path(file) : u"/last.txt"_qs);
}

void tst_Notes::buttons_popUpMenusAndEnterKeepsCrLf()
{
    Notes notes;
    const auto captions = [](const QMenu *menu) {
        QStringList texts {menu->title()};
        for (const QAction *action : menu->actions())
            texts << (action->isSeparator() ? u"-"_qs : action->text());
        return texts.join(u'|');
    };
    QCOMPARE(captions(notes.page->mnuFile), u"Файл|Новый|-|Открыть...|Сохранить|Сохранить как|-|Печать"_qs);
    QCOMPARE(captions(notes.page->mnuEdit), u"Правка|Вставить дату и время|-|Шрифт..."_qs);
    notes.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(notes.window.get()));
    for (const auto &[button, menu] :
         {std::pair {notes.page->cmdFile, notes.page->mnuFile}, std::pair {notes.page->cmdEdit, notes.page->mnuEdit}}) {
        button->click();
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    QTest::keyClicks(notes.page->Text, u"a"_qs);
    QTest::keyClick(notes.page->Text, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(notes.page->Text, u"b"_qs);
    QCOMPARE(notes.page->documentText(), u"a\r\nb"_qs);
}

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
