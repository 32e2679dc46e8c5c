#include "appcontext.h"
#include "clicklabel.h"
#include "codepage.h"
#include "filesizelimit.h"
#include "notespage.h"
#include "run.h"
#include "runtimefailure.h"
#include "textfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolTip>

#include <optional>

using Answer = platform::Dialogs::Answer;
using Kind = FakeDialogs::Kind;

namespace {

// The date stamp is checked in the formats of the Russian system the program
// is made for; Qt reads them from the environment when it first needs them,
// and LC_ALL would hide LC_TIME.
[[maybe_unused]] const bool russianDates = [] {
    qunsetenv("LC_ALL");
    return qputenv("LC_TIME", "ru_RU.UTF-8");
}();

// The text as the document keeps it: paragraph separators for line ends,
// line separators for lone LFs.
QString paragraphs(QString text)
{
    return text.replace(u"\r\n"_qs, QChar(QChar::ParagraphSeparator)).replace(u'\n', QChar(QChar::LineSeparator));
}

// The notes document of a started window whose page nobody asked for. In
// everything it reports, names are relative to the run's folder.
struct Notes : Run
{
    NotesDocument *doc;
    bool stayedOpen = false;
    std::optional<FileSizeLimit> limit;

    // Opened from f.txt and then given the name current; typed at the start.
    explicit Notes(const QString &current = {}, const QString &typed = {}, const QString &last = {})
    {
        // exact.txt: CR LF, a lone LF, a no-break space, NUL, 0x98 (no letter in the code page) and a lone CR.
        const QStringList names {u"f.txt"_qs,   u"F.txt"_qs,    u"last.txt"_qs, u"other.txt"_qs,
                                 u"old.txt"_qs, u".old.txt"_qs, u"plain"_qs,    u"exact.txt"_qs};
        const QByteArray contents[] {"f",   "F",   "last", "other",
                                     "old", "old", "x",    QByteArrayLiteral("a\r\nb\nc\xa0\0\x98\x64\re")};
        for (int i = 0; i < names.size(); ++i)
            writeFile(names.at(i), contents[i]);
        doc = &start().document();
        if (!current.isEmpty()) {
            dialogs.answerFile(path(u"f.txt"_qs));
            doc->open();
            doc->CurrentFile = path(current);
        }
        if (!typed.isEmpty())
            QTextCursor(doc->document()).insertText(paragraphs(typed));
        if (!last.isEmpty())
            doc->setLastFile(path(last));
        dialogs.clear();
    }
    NotesPage *page() { return window->page<NotesPage>(frmMain::PageNotes); }
    QString relative(QString text) const { return text.remove(dir.path() + u'/'); }

    void step(const QString &name)
    {
        if (name == u"type")
            QTextCursor(doc->document()).insertText(u"y"_qs);
        else if (name == u"new")
            doc->newDocument();
        else if (name == u"open")
            doc->open();
        else if (name == u"save")
            doc->save();
        else if (name == u"saveAs")
            doc->saveAs();
        else if (name == u"last")
            doc->loadLast();
        else if (name == u"print")
            doc->print();
        else if (name == u"close")
            stayedOpen = !window->Form_Unload();
        else if (name == u"limit") // a write fails part-way, even for root
            QVERIFY(limit.emplace(rlim_t(1000)).isSet());
        else if (name == u"jam")
            system.failWith(FakeSystem::Effect::Print,
                            platform::RuntimeFailure::withNumber(platform::failure::PrinterError));
        else if (name == u"nofolder")
            QVERIFY(QDir(path(u"My Tarnel"_qs)).removeRecursively());
        else
            QFAIL(qPrintable(name));
    }

    // What the user met: the dialogs, then the printer's jobs.
    QStringList log() const
    {
        QStringList entries;
        for (const auto &call : dialogs.calls()) {
            if (call.kind == Kind::Message)
                entries << (call.title == u"Orvane Tarnel 2001"_qs ? u"-"_qs : call.title) + u' '
                               + relative(FakeDialogs::describe(call.message));
            else
                entries << call.title + u" ["_qs + relative(call.file.initialFolder) + u']';
        }
        for (const auto &call : system.calls())
            entries << u"print %1: "_qs.arg(call.pointSize) + call.argument;
        if (stayedOpen)
            entries << u"window stays open"_qs;
        return entries;
    }

    // The document and every file of the folder, by name.
    QMap<QString, QString> state() const
    {
        QMap<QString, QString> values {{u"text"_qs, doc->documentText()},
                                       {u"current"_qs, relative(doc->CurrentFile)},
                                       {u"status"_qs, relative(doc->status())},
                                       {u"tip"_qs, relative(doc->statusToolTip())},
                                       {u"last"_qs, relative(doc->LastFile)},
                                       {u"button"_qs, relative(doc->loadLastToolTip())},
                                       {u"changed"_qs, doc->Change ? u"yes"_qs : u"no"_qs},
                                       {u"undo"_qs, doc->document()->isUndoAvailable() ? u"yes"_qs : u"no"_qs}};
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            values.insert(name, relative(platform::codepage::toUnicode(read(name))));
        return values;
    }
};

QStringList entries(const QMap<QString, QString> &values)
{
    QStringList lines;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        lines << it.key() + u'=' + it.value();
    return lines;
}

const QString unsaved = u"- i yesno: Текст не сохранен. Сохранить его сейчас?"_qs;
const QString changedNew = u"- i yesno: Текст был изменен. Сохранить?"_qs;
const QString dataChanged = u"- i yesno: Данные изменились. Сохранить сейчас?"_qs;
const QString printIt = u"- i yesno: Напечатать текущий текст?"_qs;
const QString openDialog = u"Открыть файл [My Tarnel]"_qs;
const QString saveAsDialog = u"Сохранить как [My Tarnel]"_qs;

QString writeFailed(const QString &name, const QString &reason = u"Путь не найден"_qs)
{
    return u"Запись файла ! ok: Ошибка при записи файла:"_qs + name
         + u". Возможно, имя неверное или текст слишком большой.\r\n\r\n"_qs + reason;
}
QString noTxt(const QString &name)
{
    return u"- i ync: Указанное имя файла не содержит расширения .txt. Добавить его?\r\n\r\nНажмите на Да, чтобы "
           "добавить это расширение, Нет, чтобы сохранить файл без изменения его имени и Отмена для отмены операции "
           "сохранения.\r\n\r\nИмя файла: "_qs
         + name;
}
QString overwrite(const QString &name)
{
    return u"- i yesno: Файл с именем \r\n\r\n"_qs + name + u"\r\n\r\nсуществует. Записать поверх него?"_qs;
}
QString lostCharacters(const QString &listed)
{
    return u"- ! yesno: В тексте есть знаки, которых нет в кодировке Windows-1251: "_qs + listed
         + u". В файле они будут заменены знаком \"?\".\r\n\r\nСохранить документ с этой заменой?"_qs;
}
QString cannotHold(const QString &listed, const QString &name)
{
    return u"- ! ok: Документ сохранен, но его имя не будет запомнено для кнопки \"Открыть последний файл\": в нем "
           "есть знаки, которые нельзя записать в файл настроек: "_qs
         + listed + u".\r\n\r\nИмя файла: "_qs + name;
}

// What a command changes, as "name=value" of Notes::state.
const QStringList madeNew {
    u"text="_qs,      u"current="_qs, u"status=Новый документ"_qs, u"tip=Создан новый документ"_qs,
    u"changed=no"_qs, u"undo=no"_qs};
QStringList saved(const QString &name, const QString &content)
{
    return {name + u'=' + content,
            u"current="_qs + name,
            u"status=Состояние: документ сохранен в "_qs + name,
            u"tip="_qs,
            u"last="_qs + name,
            u"button=Загрузить последний файл: "_qs + name,
            u"changed=no"_qs};
}
QStringList opened(const QString &name, const QString &text, bool byLoadLast = false)
{
    return {u"text="_qs + text,
            u"current="_qs + name,
            u"status=Документ открыт из "_qs + name,
            (byLoadLast ? u"tip=Документ будет сохранен в: "_qs : u"tip=Файл будет сохранен в "_qs) + name,
            u"changed=no"_qs,
            u"undo=no"_qs};
}
QString settings(const QString &lastFile)
{
    return u"tarnel.ini=[mytarnel]\r\nCurTab=3\r\nLastFile="_qs + lastFile + u"\r\n"_qs;
}

} // namespace

class tst_Notes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readTextFile_data();
    void readTextFile();
    void writeTextFile_data();
    void writeTextFile();
    void commands_data();
    void commands();
    void insertDateTime_appendsAtTheEnd();
    void page_controlsReachTheCommands_data();
    void page_controlsReachTheCommands();
    void page_showsTheDocument();
    void page_font_data();
    void page_font();
};

void tst_Notes::readTextFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: nothing there
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF throughout comes back exactly") << u"f"_qs << QByteArray("a\r\nb\r\n") << u"a\r\nb\r\n"_qs;
    QTest::newRow("a lone CR ends a line") << u"f"_qs << QByteArray("a\rb") << u"a\r\nb\r\n"_qs;
    QTest::newRow("a lone LF is a character") << u"f"_qs << QByteArray("a\nb\n") << u"a\nb\n\r\n"_qs;
    QTest::newRow("only CRs are empty lines") << u"f"_qs << QByteArray("\r\r") << u"\r\n\r\n"_qs;
    QTest::newRow("an empty file is empty") << u"f"_qs << QByteArray("") << QString();
    QTest::newRow("any byte is a character") << u"f"_qs << QByteArray("\x98\0\xa0", 3) << u"\u0098\u0000\u00a0\r\n"_qs;
    QTest::newRow("a hidden file is read") << u".f"_qs << QByteArray("h") << u"h\r\n"_qs;
    // An early return says nothing and leaves a caller's hourglass alone.
    QTest::newRow("empty path") << QString() << QByteArray() << QString();
    QTest::newRow("missing file") << u"f"_qs << QByteArray() << QString();
    QTest::newRow("a folder is refused") << u"folder"_qs << QByteArray() << QString();
}

void tst_Notes::readTextFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    Run run;
    QVERIFY(QDir(run.dir.path()).mkdir(u"folder"_qs));
    if (!bytes.isNull())
        run.writeFile(name, bytes);
    QWidget window;
    AppContext context(run.dialogs, run.system);
    context.setMainWindow(&window);
    context.showWaitPointer();
    const bool failed = name == u"folder"_qs;
    run.dialogs.answerMessage(Answer::Ok);
    run.dialogs.answerMessage(Answer::Ok);

    const QString path = name.isEmpty() ? name : run.path(name);
    bool readFailed = !failed;
    QCOMPARE(ReadTextFile(context, path, &readFailed), text);
    QCOMPARE(readFailed, failed);
    QCOMPARE(ReadTextFileAsParagraphs(context, path), paragraphs(text));
    QCOMPARE(window.cursor().shape(), bytes.isNull() && !failed ? Qt::WaitCursor : Qt::ArrowCursor);
    const QString message
        = u"Чтение файла ! ok: Ошибка при чтении файла. Возможно, он поврежден или слишком большой."_qs;
    QCOMPARE(run.dialogs.asked(), failed ? (QStringList {message, message}) : QStringList());
}

void tst_Notes::writeTextFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty text is one line end") << QString() << QByteArray("\r\n");
    QTest::newRow("one CR LF appended, inner ones kept") << u"x\r\ny"_qs << QByteArray("x\r\ny\r\n");
    QTest::newRow("a lone LF stays") << u"a\nb\r\n"_qs << QByteArray("a\nb\r\n\r\n");
}

void tst_Notes::writeTextFile()
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

void tst_Notes::commands_data()
{
    QTest::addColumn<QString>("current"); // the document's file; "": a new document
    QTest::addColumn<QString>("typed"); // typed at the start before the steps
    QTest::addColumn<QString>("last"); // the last file the settings gave
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("files"); // the file dialogs' answers, "" for Cancel
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QStringList>("changes"); // everything else stays as it was
    const QString f = u"f.txt"_qs, x = u"x"_qs, plain = u"plain/f.txt"_qs, last = u"last.txt"_qs, none;
    const QList<Answer> yes {Answer::Yes}, ok {Answer::Ok}, no {Answer::No}, yesOk {Answer::Yes, Answer::Ok};
    const QStringList nothing, cancel {QString()};
    using L = QStringList;

    QTest::newRow("Typing marks the document changed and names its file")
        << f << none << none << u"type"_qs << QList<Answer>() << nothing << nothing
        << L {u"text=yf\r\n"_qs, u"status=Состояние: документ изменен. Файл: f.txt"_qs,
              u"tip=Документ будет сохранен в: f.txt"_qs, u"changed=yes"_qs, u"undo=yes"_qs};
    QTest::newRow("Typing in a new document")
        << none << none << none << u"type"_qs << QList<Answer>() << nothing << nothing
        << L {u"text=y"_qs, u"status=Состояние: документ изменен. "_qs, u"changed=yes"_qs, u"undo=yes"_qs};

    QTest::newRow("New, unchanged: asks nothing")
        << f << none << none << u"new"_qs << QList<Answer>() << nothing << nothing << madeNew;
    QTest::newRow("New, changed, No") << f << x << none << u"new"_qs << no << nothing << L {changedNew} << madeNew;
    QTest::newRow("New, changed, Yes saves first")
        << f << x << none << u"new"_qs << yes << nothing << L {changedNew} << saved(f, u"xf\r\n\r\n"_qs) + madeNew;
    QTest::newRow("New, failed write: stops")
        << plain << x << last << u"new"_qs << yesOk << nothing << L {changedNew, writeFailed(plain)} << nothing;
    QTest::newRow("New, No to the lost characters: stops")
        << f << u"中"_qs << none << u"new"_qs << QList {Answer::Yes, Answer::No} << nothing
        << L {changedNew, lostCharacters(u"«中» (U+4E2D)"_qs)} << nothing;
    QTest::newRow("New, Save As cancelled: goes on")
        << none << x << none << u"new"_qs << yes << cancel << L {changedNew, saveAsDialog} << madeNew;

    QTest::newRow("Open, No: read exactly, saved again with only the lone CR and the last line end changed")
        << none << u"gone"_qs << last << u"open save"_qs << no << L {u"exact.txt"_qs} << L {unsaved, openDialog}
        << opened(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n"_qs)
               + saved(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n\r\n"_qs);
    QTest::newRow("Open cancelled with no personal folder: starts in the program folder")
        << none << x << none << u"nofolder open"_qs << no << cancel << L {unsaved, u"Открыть файл []"_qs} << nothing;
    QTest::newRow("Open, a failed read keeps the document")
        << f << x << none << u"open"_qs << QList {Answer::No, Answer::Ok} << L {u"My Tarnel"_qs}
        << L {unsaved, openDialog,
              u"Чтение файла ! ok: Ошибка при чтении файла. Возможно, он поврежден или слишком большой."_qs}
        << nothing;
    QTest::newRow("Open, failed write: stops")
        << plain << x << last << u"open"_qs << yesOk << nothing << L {unsaved, writeFailed(plain)} << nothing;
    QTest::newRow("Open, Save As cancelled: goes on")
        << none << x << none << u"open"_qs << yes << L {QString(), u"other.txt"_qs}
        << L {unsaved, saveAsDialog, openDialog} << opened(u"other.txt"_qs, u"other\r\n"_qs);

    QTest::newRow("Save, failed write") << plain << x << last << u"save"_qs << ok << nothing << L {writeFailed(plain)}
                                        << nothing;
    QTest::newRow("Save past the file size limit: the old file stays")
        << f << QString(5000, u't') << none << u"limit save"_qs << ok << nothing
        << L {writeFailed(f, u"Ошибка ввода/вывода"_qs)} << nothing;
    QTest::newRow("Save, lost characters, Yes saves with ?")
        << f << u"\U0001F600€中"_qs << none << u"save"_qs << yes << nothing
        << L {lostCharacters(u"«\U0001F600» (U+1F600), «中» (U+4E2D)"_qs)} << saved(f, u"?€?f\r\n\r\n"_qs);
    QTest::newRow("Save As, failed write") << f << x << last << u"saveAs"_qs << ok << L {u"plain/g.txt"_qs}
                                           << L {saveAsDialog, writeFailed(u"plain/g.txt"_qs)} << nothing;
    const QString t = u"t"_qs, save = u"save"_qs;
    QTest::newRow("Save As, no .txt, Yes adds it")
        << none << t << none << save << yes << L {u"a"_qs} << L {saveAsDialog, noTxt(u"a"_qs)}
        << saved(u"a.txt"_qs, u"t\r\n"_qs);
    QTest::newRow("Save As, no .txt, No keeps the name")
        << none << t << none << save << no << L {u"a"_qs} << L {saveAsDialog, noTxt(u"a"_qs)}
        << saved(u"a"_qs, u"t\r\n"_qs);
    QTest::newRow("Save As, no .txt, Cancel saves nothing")
        << none << t << none << save << QList {Answer::Cancel} << L {u"a"_qs} << L {saveAsDialog, noTxt(u"a"_qs)}
        << nothing;
    QTest::newRow("Save As, upper-case TXT asks nothing")
        << none << t << none << save << QList<Answer>() << L {u"a.TXT"_qs} << L {saveAsDialog}
        << saved(u"a.TXT"_qs, u"t\r\n"_qs);
    QTest::newRow("Save As, existing file, Yes overwrites")
        << none << t << none << save << yes << L {u"old.txt"_qs} << L {saveAsDialog, overwrite(u"old.txt"_qs)}
        << saved(u"old.txt"_qs, u"t\r\n"_qs);
    QTest::newRow("Save As, existing hidden file, No keeps it")
        << none << t << none << save << no << L {u".old.txt"_qs} << L {saveAsDialog, overwrite(u".old.txt"_qs)}
        << nothing;
    QTest::newRow("Save As, .txt added, then the overwrite question for that name")
        << none << t << none << save << QList {Answer::Yes, Answer::No} << L {u"old"_qs}
        << L {saveAsDialog, noTxt(u"old"_qs), overwrite(u"old.txt"_qs)} << nothing;
    QTest::newRow("Save, a name outside the code page: told once, the settings keep the last file")
        << u"中.txt"_qs << x << last << u"save save close"_qs << ok << nothing
        << L {cannotHold(u"«中» (U+4E2D)"_qs, u"中.txt"_qs)}
        << saved(u"中.txt"_qs, u"xf\r\n\r\n"_qs) + L {u"last=last.txt"_qs, settings(last)};
    QTest::newRow("Save, a line break in the name")
        << u"a\nb.txt"_qs << x << last << save << ok << nothing << L {cannotHold(u"U+000A"_qs, u"a\nb.txt"_qs)}
        << saved(u"a\nb.txt"_qs, u"xf\r\n\r\n"_qs) + L {u"last=last.txt"_qs};

    QTest::newRow("Load last, no last file")
        << f << none << none << u"last"_qs << ok << nothing << L {u"- ! ok: Последний файл не задан!"_qs} << nothing;
    QTest::newRow("Load last, already open")
        << f << none << f << u"last"_qs << ok << nothing << L {u"- ! ok: Этот файл уже открыт!"_qs} << nothing;
    QTest::newRow("Load last, case counts: another file")
        << f << none << u"F.txt"_qs << u"last"_qs << QList<Answer>() << nothing << nothing
        << opened(u"F.txt"_qs, u"F\r\n"_qs, true);
    QTest::newRow("Load last, changed, Yes: the file just saved is loaded")
        << f << x << u"F.txt"_qs << u"last"_qs << yes << nothing << L {unsaved}
        << saved(f, u"xf\r\n\r\n"_qs) + opened(f, u"xf\r\n\r\n"_qs, true);
    QTest::newRow("Load last, changed, Yes: also a file whose name the settings cannot hold")
        << u"中.txt"_qs << x << u"F.txt"_qs << u"last"_qs << yesOk << nothing
        << L {unsaved, cannotHold(u"«中» (U+4E2D)"_qs, u"中.txt"_qs)}
        << saved(u"中.txt"_qs, u"xf\r\n\r\n"_qs) + opened(u"中.txt"_qs, u"xf\r\n\r\n"_qs, true) + L {u"last=F.txt"_qs};
    QTest::newRow("Load last, failed write: stops")
        << plain << x << last << u"last"_qs << yesOk << nothing << L {unsaved, writeFailed(plain)} << nothing;
    QTest::newRow("Load last, Save As cancelled: goes on")
        << none << x << last << u"last"_qs << yes << cancel << L {unsaved, saveAsDialog}
        << opened(last, u"last\r\n"_qs, true);

    QTest::newRow("Print, empty: refused")
        << none << none << none << u"print"_qs << ok << nothing << L {u"- ! ok: Нет текста для печати!"_qs} << nothing;
    QTest::newRow("Print, No prints nothing")
        << none << u"a"_qs << none << u"print"_qs << no << nothing << L {printIt} << nothing;
    QTest::newRow("Print, Yes prints the text and a line end")
        << none << u"a\r\nb\nc"_qs << none << u"print"_qs << yes << nothing << L {printIt, u"print 8: a\r\nb\nc\r\n"_qs}
        << nothing;
    QTest::newRow("Print, blanks and line ends are printed")
        << none << u" \r\n"_qs << none << u"print"_qs << yes << nothing << L {printIt, u"print 8:  \r\n\r\n"_qs}
        << nothing;
    const QString retry = u"- ! retry: Ошибка при попытке печати текста. \r\nУстраните неполадку и нажмите "
                          "'Повтор'.\r\n\r\n482.  Ошибка принтера"_qs;
    QTest::newRow("Print, Retry tries again, Cancel ends")
        << none << u"a"_qs << none << u"jam print"_qs << QList {Answer::Yes, Answer::Retry, Answer::Cancel} << nothing
        << L {printIt, retry, retry, u"print 8: a\r\n"_qs, u"print 8: a\r\n"_qs} << nothing;

    QTest::newRow("Shut-down, with a file: written in place")
        << f << x << last << u"close"_qs << yes << nothing << L {dataChanged}
        << L {u"f.txt=xf\r\n\r\n"_qs, u"status=Состояние: документ сохранен."_qs, u"tip="_qs, u"changed=no"_qs,
              settings(last)};
    QTest::newRow("Shut-down, with a file: a failed write keeps the window open")
        << plain << x << last << u"close"_qs << yesOk << nothing
        << L {dataChanged, writeFailed(plain), u"window stays open"_qs} << nothing;
    QTest::newRow("Shut-down, no file: Save As")
        << none << x << last << u"close"_qs << yes << L {u"n.txt"_qs} << L {dataChanged, saveAsDialog}
        << saved(u"n.txt"_qs, u"x\r\n"_qs) + L {settings(u"n.txt"_qs)};
    QTest::newRow("Shut-down, no file: Save As cancelled closes anyway")
        << none << x << last << u"close"_qs << yes << cancel << L {dataChanged, saveAsDialog} << L {settings(last)};
    QTest::newRow("Shut-down, no file: a failed write keeps the window open")
        << none << x << last << u"close"_qs << yesOk << L {u"plain/n.txt"_qs}
        << L {dataChanged, saveAsDialog, writeFailed(u"plain/n.txt"_qs), u"window stays open"_qs} << nothing;
    QTest::newRow("Shut-down, No to the lost characters keeps the window open")
        << f << u"中"_qs << none << u"close"_qs << QList {Answer::Yes, Answer::No} << nothing
        << L {dataChanged, lostCharacters(u"«中» (U+4E2D)"_qs), u"window stays open"_qs} << nothing;
}

void tst_Notes::commands()
{
    QFETCH(QString, current);
    QFETCH(QString, typed);
    QFETCH(QString, last);
    QFETCH(QString, steps);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, log);
    QFETCH(QStringList, changes);
    Notes notes(current, typed, last);
    QMap<QString, QString> expected = notes.state();
    for (const QString &change : changes)
        expected.insert(change.section(u'=', 0, 0), change.section(u'=', 1));
    for (const Answer answer : answers)
        notes.dialogs.answerMessage(answer);
    for (const QString &file : files)
        notes.dialogs.answerFile(file.isEmpty() ? file : notes.path(file));

    for (const QString &step : steps.split(u' '))
        notes.step(step);
    notes.limit.reset();
    QCOMPARE(notes.log(), log);
    QCOMPARE(notes.dialogs.unusedAnswers(), 0);
    QCOMPARE(entries(notes.state()), entries(expected));
    QCOMPARE(notes.window->cursor().shape(), Qt::ArrowCursor);
    for (const auto &call : notes.dialogs.calls()) {
        if (call.kind != Kind::Message) {
            QCOMPARE(call.file.filter, u"Текстовые файлы (*.txt)|*.txt|Все файлы|*.*"_qs);
            QCOMPARE(call.file.pattern, call.kind == Kind::OpenFile ? u"*.txt"_qs : QString());
        }
    }
}

void tst_Notes::insertDateTime_appendsAtTheEnd()
{
    Notes notes(u"f.txt"_qs);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    notes.doc->insertDateTime();
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    // The short date and the long time of the system, with no time zone after
    // them; across midnight the stamp may name either day.
    const QString text = notes.doc->documentText();
    const auto stamp
        = QRegularExpression(u"^f\r\n\r\n(\\d\\d)\\.(\\d\\d)\\.(\\d{4}) (\\d\\d):(\\d\\d):(\\d\\d)$"_qs).match(text);
    QVERIFY2(stamp.hasMatch(), qPrintable(text));
    const auto part = [&stamp](int i) { return stamp.captured(i).toInt(); };
    const qint64 shown
        = QDateTime(QDate(part(3), part(2), part(1)), QTime(part(4), part(5), part(6))).toSecsSinceEpoch();
    QVERIFY2(before <= shown && shown <= after, qPrintable(text));
    QVERIFY(notes.doc->Change);
    QCOMPARE(notes.relative(notes.doc->status()), u"Состояние: документ изменен. Файл: f.txt"_qs);
}

void tst_Notes::page_controlsReachTheCommands_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("log"); // nothing: the date and time are appended
    QTest::addColumn<bool>("focus"); // the text has the focus afterwards
    const QStringList open {unsaved, openDialog}, save {writeFailed(u"plain/f.txt"_qs)}, print {printIt};
    QTest::newRow("Новый") << u"mnuItemNew"_qs << QStringList {changedNew} << true;
    QTest::newRow("Открыть...") << u"mnuItemOpen"_qs << open << false;
    QTest::newRow("open button") << u"cmdOpenFile"_qs << open << false;
    QTest::newRow("Сохранить") << u"mnuItemSave"_qs << save << true;
    QTest::newRow("save button") << u"cmdSaveText"_qs << save << true;
    QTest::newRow("Сохранить как") << u"mnuItemSaveAs"_qs << QStringList {saveAsDialog} << false;
    QTest::newRow("Печать") << u"mnuItemPrint"_qs << print << true;
    QTest::newRow("print button") << u"cmdPrintText"_qs << print << true;
    QTest::newRow("Открыть последний файл")
        << u"cmdLoadLast"_qs << QStringList {u"- ! ok: Последний файл не задан!"_qs} << true;
    QTest::newRow("Вставить дату и время") << u"mnuItemInsDateTime"_qs << QStringList() << false;
}

void tst_Notes::page_controlsReachTheCommands()
{
    QFETCH(QString, control);
    QFETCH(QStringList, log);
    QFETCH(bool, focus);
    Notes notes(u"plain/f.txt"_qs, u"t"_qs);
    NotesPage *page = notes.page();
    notes.dialogs.answerMessage(Answer::No);
    notes.dialogs.answerFile(QString());
    page->cmdFile->setFocus();

    if (auto *button = page->findChild<QPushButton *>(control))
        button->click();
    else
        page->findChild<QAction *>(control)->trigger();
    QCOMPARE(notes.log(), log);
    QCOMPARE(notes.window->focusWidget() == page->Text, focus);
    if (log.isEmpty())
        QVERIFY(notes.doc->documentText().size() > u"tf\r\n"_qs.size());
}

void tst_Notes::page_showsTheDocument()
{
    Notes notes;
    NotesPage *page = notes.page();
    notes.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(notes.window.get()));
    QCOMPARE(page->lblStatus->text(), u"Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\"."_qs);
    QCOMPARE(page->cmdLoadLast->toolTip(), u"Открыть последний редактируемый файл"_qs);
    const auto captions = [](const QMenu *menu) {
        QStringList texts {menu->title()};
        for (const QAction *action : menu->actions())
            texts << (action->isSeparator() ? u"-"_qs : action->text());
        return texts.join(u'|');
    };
    QCOMPARE(captions(page->mnuFile), u"Файл|Новый|-|Открыть...|Сохранить|Сохранить как|-|Печать"_qs);
    QCOMPARE(captions(page->mnuEdit), u"Правка|Вставить дату и время|-|Шрифт..."_qs);
    for (const auto &[button, menu] :
         {std::pair {page->cmdFile, page->mnuFile}, std::pair {page->cmdEdit, page->mnuEdit}}) {
        button->click();
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    // A name like markup is shown as written, in the label and its tooltip.
    const QString path = notes.path(u"<b>жирный.txt"_qs);
    notes.writeFile(u"<b>жирный.txt"_qs, "old");
    notes.dialogs.answerFile(path);
    notes.doc->open();
    QCOMPARE(page->lblStatus->text(), u"Документ открыт из "_qs + path);
    QCOMPARE(page->lblStatus->toolTip(), u"Файл будет сохранен в "_qs + path);
    QCOMPARE(page->lblStatus->textFormat(), Qt::PlainText);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), page->lblStatus->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(page->lblStatus, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), page->lblStatus->toolTip());
    QToolTip::hideText();

    // Typing goes in at the start; Shift+Enter ends the line as Enter does.
    QTest::keyClicks(page->Text, u"a"_qs);
    QTest::keyClick(page->Text, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(notes.doc->documentText(), u"a\r\nold\r\n"_qs);
    QCOMPARE(page->lblStatus->text(), u"Состояние: документ изменен. Файл: "_qs + path);
    notes.doc->save();
    QCOMPARE(page->cmdLoadLast->toolTip(), u"Загрузить последний файл: "_qs + path);

    // The whole caption, also what the label cannot show.
    notes.dialogs.clear();
    notes.dialogs.answerMessage(Answer::Ok);
    QTest::mouseClick(page->lblStatus, Qt::LeftButton);
    QCOMPARE(notes.dialogs.asked(), QStringList {u"Статус i ok: Состояние: документ сохранен в "_qs + path});
}

void tst_Notes::page_font_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Cancel changes nothing") << false;
    QTest::newRow("a bold 12 pt face") << true;
}

void tst_Notes::page_font()
{
    QFETCH(bool, chosen);
    Notes notes;
    NotesPage *page = notes.page();
    const QFont before = page->Text->font();
    QFont choice(u"Liberation Serif"_qs, 12);
    choice.setBold(true);
    notes.dialogs.answerFont(chosen ? std::optional<QFont>(choice) : std::nullopt);

    page->mnuItemFont->trigger();
    const auto call = notes.dialogs.calls().constFirst();
    QCOMPARE(call.title, u"Выбор шрифта"_qs);
    QCOMPARE(call.font.family(), before.family());
    // The chosen face, drawn as the window draws its texts.
    QFont expected = chosen ? choice : before;
    expected.setHintingPreference(before.hintingPreference());
    QCOMPARE(page->Text->font(), expected);
    // Neither making the page nor choosing its font is an edit.
    QVERIFY(!notes.doc->Change);
}

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
