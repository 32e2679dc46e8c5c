#include "clicklabel.h"
#include "codepage.h"
#include "modelrun.h"
#include "notesdocument.h"
#include "notespage.h"
#include "run.h"
#include "runtimefailure.h"
#include "textfile.h"

#include <QApplication>
#include <QDateTime>
#include <QHelpEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolTip>

#include <optional>

using Answer = platform::Dialogs::Answer;

namespace {

// The date stamp is checked in the formats of the Russian system the program
// is made for; Qt reads them from the environment when it first needs them,
// and LC_ALL would hide LC_TIME.
[[maybe_unused]] const bool russianDates = [] {
    qunsetenv("LC_ALL");
    return qputenv("LC_TIME", "ru_RU.UTF-8");
}();

// The notes document alone, with a window that shows the hourglass. In
// everything it reports, names are relative to the run's folder.
struct Notes : ModelRun
{
    QWidget window;
    NotesDocument doc {context};
    bool shutdownFailed = false;

    // The file before "+" opened ("" for a new document), or after "+" the
    // work restored to it; after "@", the last file the settings gave.
    explicit Notes(const QString &from = {})
    {
        for (const QString &file :
             {u"f.txt=f"_qs, u"F.txt=F"_qs, u"last.txt=last"_qs, u"other.txt=other"_qs, u"old.txt=old content"_qs,
              u".old.txt=old content"_qs, u"plain=x"_qs, u"folder=<folder>"_qs, u"My Tarnel=<folder>"_qs})
            writeFile(file.section(u'=', 0, 0), file.section(u'=', 1).toLatin1());
        // CR LF, a lone LF, a no-break space, NUL, 0x98 (no letter in the code page) and a lone CR.
        writeFile(u"exact.txt"_qs, QByteArrayLiteral("a\r\nb\nc\xa0\0\x98\x64\re"));
        // UTF-8 with its mark and LF line ends; without it, with a lone LF and a lone CR.
        writeFile(u"u8.txt"_qs, "\xEF\xBB\xBF\xD0\xBF\xE4\xB8\xAD\n");
        writeFile(u"crlf8.txt"_qs, "\xD0\xBF\r\nb\nc\rd");
        context.setMainWindow(&window);
        const QString file = from.section(u'@', 0, 0).section(u'+', 0, 0);
        dialogs.answerFile(path(file));
        if (from.contains(u'+'))
            doc.restore(from.section(u'@', 0, 0).section(u'+', 1), file.isEmpty() ? file : path(file));
        else if (!file.isEmpty())
            doc.open();
        if (from.contains(u'@'))
            doc.setLastFile(path(from.section(u'@', 1)));
        dialogs.clear();
    }

    void step(const QString &name)
    {
        const auto jam = [this](int times) {
            system.failWith(FakeSystem::Effect::Print,
                            platform::RuntimeFailure::withNumber(platform::failure::PrinterError), times);
        };
        const QHash<QString, std::function<void()>> steps {
            {u"type"_qs, [this] { QTextCursor(doc.document()).insertText(u"y"_qs); }},
            {u"new"_qs, [this] { doc.newDocument(); }},
            {u"open"_qs, [this] { doc.open(); }},
            {u"save"_qs, [this] { doc.save(); }},
            {u"saveAs"_qs, [this] { doc.saveAs(); }},
            {u"last"_qs, [this] { doc.loadLast(); }},
            {u"print"_qs, [this] { doc.print(); }},
            {u"close"_qs, [this] { shutdownFailed = doc.shutdownSave() == SaveOutcome::Failed; }},
            // Work a recovery copy gives back: a lone LF and a character Windows-1251 lacks.
            {u"restore"_qs,
             [this] {
                 doc.restore(u"中\nz\r\n"_qs, path(u"old.txt"_qs), {true, false, false});
             }},
            {u"jam"_qs, [jam] { jam(-1); }},
            // A job the printer refuses, then one it takes.
            {u"refuseOnce"_qs, [jam] { jam(1); }},
            {u"nofolder"_qs, [this] { QVERIFY(QDir(path(u"My Tarnel"_qs)).removeRecursively()); }}};
        QVERIFY2(steps.contains(name), qPrintable(name));
        steps.value(name)();
    }

    // What the user met: the dialogs, then the printer's jobs.
    QStringList log() const
    {
        QStringList entries = dialogs.log();
        for (const auto &call : system.calls())
            entries << u"print %1: "_qs.arg(call.pointSize) + call.argument;
        if (shutdownFailed)
            entries << u"shut-down save failed"_qs;
        return entries.replaceInStrings(dir.path() + u'/', QString());
    }

    // The document and every file of the folder, "name=value" by name.
    QStringList state() const
    {
        const auto yesNo = [](bool yes) { return yes ? u"yes"_qs : u"no"_qs; };
        const platform::filesystem::FileStamp stamp = doc.fileStamp(),
                                              now = platform::filesystem::stampOf(doc.currentFile());
        const bool asNow
            = now.exists && stamp.size == now.size && stamp.modifiedNs == now.modifiedNs && stamp.hash == now.hash;
        QStringList lines;
        lines << u"text="_qs + doc.documentText() << u"current="_qs + doc.currentFile() << u"status="_qs + doc.status()
              << u"tip="_qs + doc.statusToolTip() << u"last="_qs + doc.lastFile()
              << u"button="_qs + doc.loadLastToolTip() << u"changed="_qs + yesNo(doc.hasUnsavedChanges())
              << u"undo="_qs + yesNo(doc.document()->isUndoAvailable());
        lines << u"stamp="_qs + (asNow ? u"the file's"_qs : stamp.exists ? u"stale"_qs : u"none"_qs);
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            const auto encoding = platform::codepage::encodingOf(read(name));
            lines << name + u'=' + (encoding.mark ? u"<mark>"_qs : QString())
                         + platform::codepage::toUnicode(read(name), encoding);
        }
        lines.sort();
        return lines.replaceInStrings(dir.path() + u'/', QString());
    }
};

const QString unsaved = u"- i yesno: Текст не сохранен. Сохранить его сейчас?"_qs;
const QString changedNew = u"- i yesno: Текст был изменен. Сохранить?"_qs;
const QString printIt = u"- i yesno: Напечатать текущий текст?"_qs;
const QString openDialog = u"Открыть файл [My Tarnel] *.txt"_qs;
const QString saveAsDialog = u"Сохранить как [My Tarnel]"_qs;
const QString readFailed
    = u"Чтение файла ! ok: Ошибка при чтении файла. Возможно, он поврежден или слишком большой."_qs;
const QString writeFailed = u"Запись файла ! ok: Ошибка при записи файла:%1. Возможно, имя неверное или текст "
                            "слишком большой.\r\n\r\nПуть не найден"_qs;
const QString noTxt = u"- i ync: Указанное имя файла не содержит расширения .txt. Добавить его?\r\n\r\nНажмите на Да, "
                      "чтобы добавить это расширение, Нет, чтобы сохранить файл без изменения его имени и Отмена для "
                      "отмены операции сохранения.\r\n\r\nИмя файла: %1"_qs;
const QString overwrite = u"- i yesno: Файл с именем \r\n\r\n%1\r\n\r\nсуществует. Записать поверх него?"_qs;
const QString lostCharacters = u"- ! yesno: В тексте есть знаки, которых нет в кодировке Windows-1251: %1. В файле они "
                               "будут заменены знаком \"?\".\r\n\r\nСохранить документ с этой заменой?"_qs;
const QString cannotHold
    = u"- ! ok: Документ сохранен, но его имя не будет запомнено для кнопки \"Открыть последний "
      "файл\": в нем есть знаки, которые нельзя записать в файл настроек: %1.\r\n\r\nИмя файла: %2"_qs;

// What a command changes: "name=value" of Notes::state, "|" between.
const QString madeNew
    = u"text=|current=|status=Новый документ|tip=Создан новый документ|changed=no|undo=no|stamp=none|"_qs;
const QString saved = u"%1=%2|current=%1|status=Состояние: документ сохранен в %1|tip=|last=%1|button=Загрузить "
                      "последний файл: %1|changed=no|stamp=the file's|"_qs;
const QString opened = u"text=%2|current=%1|status=Документ открыт из %1|tip=Файл будет сохранен в %1|changed=no|"
                       "undo=no|stamp=the file's|"_qs;
const QString loaded = u"text=%2|current=%1|status=Документ открыт из %1|tip=Документ будет сохранен в: %1|changed=no|"
                       "undo=no|stamp=the file's|"_qs;

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

} // namespace

class tst_Notes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readTextFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: nothing there
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF throughout comes back exactly") << u"f"_qs << QByteArray("a\r\nb\r\n") << u"a\r\nb\r\n"_qs;
        QTest::newRow("a lone CR ends a line") << u"f"_qs << QByteArray("a\rb") << u"a\r\nb\r\n"_qs;
        QTest::newRow("a lone LF is a character") << u"f"_qs << QByteArray("a\nb\n") << u"a\nb\n\r\n"_qs;
        QTest::newRow("only CRs are empty lines") << u"f"_qs << QByteArray("\r\r") << u"\r\n\r\n"_qs;
        QTest::newRow("an empty file is empty") << u"f"_qs << QByteArray("") << QString();
        QTest::newRow("any byte is a character")
            << u"f"_qs << QByteArray("\x98\0\xa0", 3) << u"\u0098\u0000\u00a0\r\n"_qs;
        QTest::newRow("a hidden file is read") << u".f"_qs << QByteArray("h") << u"h\r\n"_qs;
        // An early return says nothing and leaves a caller's hourglass alone.
        QTest::newRow("empty path") << QString() << QByteArray() << QString();
        QTest::newRow("missing file") << u"f"_qs << QByteArray() << QString();
        QTest::newRow("a folder is refused") << u"f"_qs << QByteArray("<folder>") << QString();
    }

    void readTextFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        Notes run;
        if (!bytes.isNull())
            run.writeFile(name, bytes);
        run.context.showWaitPointer();
        const bool failed = bytes == "<folder>";
        run.dialogs.answerMessage(Answer::Ok, 2);

        const QString path = name.isEmpty() ? name : run.path(name);
        bool reported = !failed;
        QCOMPARE(ReadTextFile(run.context, path, &reported), text);
        QCOMPARE(reported, failed);
        // As a text box keeps lines: paragraph separators, and line separators for lone LFs.
        QCOMPARE(
            ReadTextFileAsParagraphs(run.context, path),
            text.replace(u"\r\n"_qs, QChar(QChar::ParagraphSeparator)).replace(u'\n', QChar(QChar::LineSeparator)));
        QCOMPARE(run.window.cursor().shape(), bytes.isNull() ? Qt::WaitCursor : Qt::ArrowCursor);
        QCOMPARE(run.dialogs.asked(), failed ? (QStringList {readFailed, readFailed}) : QStringList());
    }

    void commands_data()
    {
        QTest::addColumn<QString>("from"); // as Notes takes it
        QTest::addColumn<QString>("steps"); // then ":" and the answers, as FakeDialogs::answer takes them
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("changes"); // everything else stays as it was
        const QString zh = u"«中» (U+4E2D)"_qs, x = u"x\r\n"_qs, f = u"f.txt"_qs, lost = lostCharacters.arg(zh);
        const QString notHeld = cannotHold.arg(zh, u"中.txt"_qs), isOpen = u"- ! ok: Этот файл уже открыт!"_qs;
        // A document whose file cannot be written, and what saving it says.
        const char *unwritable = "plain/f.txt+x@last.txt";
        const QString failed = writeFailed.arg(u"plain/f.txt"_qs);
        const auto row = [](const char *name, const char *from, const char *steps, const QStringList &log,
                            const QString &changes) {
            QTest::newRow(name) << QString::fromUtf8(from) << QString::fromUtf8(steps) << log
                                << changes.split(u'|', Qt::SkipEmptyParts);
        };
        row("Typing marks the document changed and names its file", "f.txt", "type", {},
            u"text=yf\r\n|status=Состояние: документ изменен. Файл: f.txt|tip=Документ будет сохранен в: f.txt|"
            "changed=yes|undo=yes"_qs);
        row("Typing in a new document", "", "type", {},
            u"text=y|status=Состояние: документ изменен. |changed=yes|undo=yes"_qs);
        row("Restored work: its exact text, file and encoding, unsaved, nothing to undo", "f.txt", "type restore", {},
            u"text=中\nz\r\n|current=old.txt|status=Состояние: документ изменен. Файл: old.txt|tip=Документ будет "
            "сохранен в: old.txt (UTF-8)|changed=yes|undo=no"_qs);
        row("Restored work is saved to its file", "old.txt+中\nz", "save: Yes", {lost},
            saved.arg(u"old.txt"_qs, u"?\nz\r\n"_qs));
        row("Restored work without a file: saving asks where", "+中\nz", "save: n.txt Yes", {saveAsDialog, lost},
            saved.arg(u"n.txt"_qs, u"?\nz\r\n"_qs));
        row("New, unchanged: asks nothing", "f.txt", "new", {}, madeNew);
        row("New, changed, No", "f.txt+x", "new: No", {changedNew}, madeNew);
        row("New, changed, Yes saves first", "f.txt+x", "new: Yes", {changedNew}, saved.arg(f, x) + madeNew);
        row("New, No to the lost characters: stops", "f.txt+中", "new: Yes No", {changedNew, lost}, {});
        row("New, Save As cancelled: goes on", "+x", "new: Yes -", {changedNew, saveAsDialog}, madeNew);
        row("A failed save stops New, Open and Load last", unwritable, "new open last save: Yes Ok Yes Ok Yes Ok Ok",
            {changedNew, failed, unsaved, failed, unsaved, failed, failed}, {});
        row("Open, No: read exactly; saved again, only the lone CR and the last line end change", "+x@last.txt",
            "open save: No exact.txt", {unsaved, openDialog},
            opened.arg(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n"_qs)
                + saved.arg(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n\r\n"_qs));
        row("Open with no personal folder: in the program folder", "+x", "nofolder open: No -",
            {unsaved, u"Открыть файл [] *.txt"_qs}, {});
        row("Open, a failed read keeps the document", "f.txt+x", "open: No folder Ok",
            {unsaved, openDialog, readFailed}, {});
        row("Open, Save As cancelled: goes on", "+x", "open: Yes - other.txt", {unsaved, saveAsDialog, openDialog},
            opened.arg(u"other.txt"_qs, u"other\r\n"_qs));
        row("Save, lost characters, Yes saves with ?", "f.txt+\U0001F600€中", "save: Yes",
            {lostCharacters.arg(u"«\U0001F600» (U+1F600), "_qs + zh)}, saved.arg(f, u"?€?\r\n"_qs));
        row("Save As, failed write", "f.txt+x@last.txt", "saveAs: Ok plain/g.txt",
            {saveAsDialog, writeFailed.arg(u"plain/g.txt"_qs)}, {});
        row("Save As, no .txt, Yes adds it", "+x", "save: a Yes", {saveAsDialog, noTxt.arg(u"a"_qs)},
            saved.arg(u"a.txt"_qs, x));
        row("Save As, no .txt, No keeps the name", "+x", "save: a No", {saveAsDialog, noTxt.arg(u"a"_qs)},
            saved.arg(u"a"_qs, x));
        row("Save As, no .txt, Cancel saves nothing", "+x", "save: a Cancel", {saveAsDialog, noTxt.arg(u"a"_qs)}, {});
        row("Save As, upper-case TXT asks nothing; an empty text is one line end", "", "save: a.TXT", {saveAsDialog},
            saved.arg(u"a.TXT"_qs, u"\r\n"_qs));
        row("Save As, existing file, Yes overwrites it whole", "+x", "save: old.txt Yes",
            {saveAsDialog, overwrite.arg(u"old.txt"_qs)}, saved.arg(u"old.txt"_qs, x));
        row("Save As, existing hidden file, No keeps it", "+x", "save: .old.txt No",
            {saveAsDialog, overwrite.arg(u".old.txt"_qs)}, {});
        row("Save As, .txt added, then the overwrite question for that name", "+x", "save: old Yes No",
            {saveAsDialog, noTxt.arg(u"old"_qs), overwrite.arg(u"old.txt"_qs)}, {});
        row("Save, a name the settings cannot hold: told once, the last file stays", "中.txt+x@last.txt",
            "save save: Ok", {notHeld}, saved.arg(u"中.txt"_qs, x) + u"last=last.txt"_qs);
        row("Save, a line break in the name", "a\nb.txt+x@last.txt", "save: Ok",
            {cannotHold.arg(u"U+000A"_qs, u"a\nb.txt"_qs)}, saved.arg(u"a\nb.txt"_qs, x) + u"last=last.txt"_qs);
        row("Save As a name the settings hold, after one they cannot: Load last takes the later", "中.txt+x@last.txt",
            "save saveAs last: Ok g.txt Ok", {notHeld, saveAsDialog, isOpen},
            saved.arg(u"g.txt"_qs, x) + u"中.txt="_qs + x);
        const QString u8 = u"u8.txt"_qs, typed8 = u"yп中\r\n"_qs;
        row("Load last reads UTF-8: saved with its mark and LF, no question for what the code page lacks",
            "f.txt@u8.txt", "last type save", {},
            loaded.arg(u8, typed8) + saved.arg(u8, u"<mark>yп中\n"_qs) + u"undo=yes"_qs);
        row("UTF-8 without the mark: a lone LF kept, a lone CR ends a line, no line end added", "crlf8.txt",
            "type save", {}, saved.arg(u"crlf8.txt"_qs, u"yп\r\nb\nc\r\nd"_qs) + u"text=yп\r\nb\nc\r\nd|undo=yes"_qs);
        row("Save As keeps UTF-8; the tooltip names it", "u8.txt", "saveAs type: n.txt", {saveAsDialog},
            saved.arg(u"n.txt"_qs, u"<mark>п中\n"_qs) + u"text="_qs + typed8
                + u"|status=Состояние: документ изменен. Файл: n.txt|tip=Документ будет сохранен в: n.txt (UTF-8)|"
                  "changed=yes|undo=yes"_qs);
        row("New makes a Windows-1251 document again", "u8.txt", "new save: n.txt", {saveAsDialog},
            madeNew + saved.arg(u"n.txt"_qs, u"\r\n"_qs));
        row("Load last, no last file", "f.txt", "last: Ok", {u"- ! ok: Последний файл не задан!"_qs}, {});
        row("Load last, case counts: another file", "f.txt@F.txt", "last", {}, loaded.arg(u"F.txt"_qs, u"F\r\n"_qs));
        row("Load last, changed, Yes: the file just saved is loaded", "f.txt+x@last.txt", "last: Yes", {unsaved},
            saved.arg(f, x) + loaded.arg(f, x));
        row("Load last, changed, Yes: also a file whose name the settings cannot hold", "中.txt+x@last.txt",
            "last: Yes Ok", {unsaved, notHeld},
            saved.arg(u"中.txt"_qs, x) + loaded.arg(u"中.txt"_qs, x) + u"last=last.txt"_qs);
        row("Load last, Save As cancelled: goes on", "+x@last.txt", "last: Yes -", {unsaved, saveAsDialog},
            loaded.arg(u"last.txt"_qs, u"last\r\n"_qs));
        row("Print, empty: refused", "", "print: Ok", {u"- ! ok: Нет текста для печати!"_qs}, {});
        row("Print, No prints nothing", "+a", "print: No", {printIt}, {});
        row("Print, Yes prints the text and a line end", "+a\r\nb\nc", "print: Yes",
            {printIt, u"print 8: a\r\nb\nc\r\n"_qs}, {});
        row("Print, blanks and line ends are printed", "+ \r\n", "print: Yes", {printIt, u"print 8:  \r\n\r\n"_qs}, {});
        const QString retry = u"- ! retry: Ошибка при попытке печати текста. \r\nУстраните неполадку и нажмите "
                              "'Повтор'.\r\n\r\n482.  Ошибка принтера"_qs,
                      printed = u"print 8: a\r\n"_qs;
        row("Print, Retry tries again, Cancel ends", "+a", "jam print: Yes Retry Cancel",
            {printIt, retry, retry, printed, printed}, {});
        row("Print, a refused job, then Retry once the printer takes jobs", "+a", "refuseOnce print: Yes Retry",
            {printIt, retry, printed, printed}, {});
        row("Shut-down, with a file: written in place", "f.txt+x@last.txt", "close", {},
            u"f.txt=x\r\n|status=Состояние: документ сохранен.|tip=|changed=no|stamp=the file's"_qs);
        row("Shut-down, no file: Save As", "+x@last.txt", "close: n.txt", {saveAsDialog}, saved.arg(u"n.txt"_qs, x));
        row("Shut-down, no file: a failed write fails", "+x", "close: Ok plain/n.txt",
            {saveAsDialog, writeFailed.arg(u"plain/n.txt"_qs), u"shut-down save failed"_qs}, {});
        row("Shut-down, No to the lost characters fails", "f.txt+中", "close: No", {lost, u"shut-down save failed"_qs},
            {});
    }

    void commands()
    {
        QFETCH(QString, from);
        QFETCH(QString, steps);
        QFETCH(QStringList, log);
        QFETCH(QStringList, changes);
        Notes notes(from);
        QStringList expected = notes.state();
        for (const QString &change : changes) {
            const QString key = change.section(u'=', 0, 0) + u'=';
            expected.removeIf([&key](const QString &line) { return line.startsWith(key); });
            expected << change;
        }
        expected.sort();
        notes.dialogs.answer(steps.section(u':', 1), FakeDialogs::Kind::OpenFile, notes.path({}));

        for (const QString &step : steps.section(u':', 0, 0).split(u' '))
            notes.step(step);
        QCOMPARE(notes.log(), log);
        // Save As asks in a save dialog, which lets a new name be typed.
        for (const FakeDialogs::Call &call : notes.dialogs.calls())
            QVERIFY2((call.kind == FakeDialogs::Kind::SaveFile) == (call.title == u"Сохранить как"),
                     qPrintable(call.title + u": not the dialog it should be"_qs));
        QCOMPARE(notes.state(), expected);
        QCOMPARE(notes.window.cursor().shape(), Qt::ArrowCursor);
    }

    void insertDateTime_appendsAtTheEnd()
    {
        Notes notes(u"f.txt"_qs);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        notes.doc.insertDateTime();
        // The short date and the long time of the system, with no time zone after
        // them; across midnight the stamp may name either day.
        const QString text = notes.doc.documentText();
        const qint64 shown = QDateTime::fromString(text.mid(5), u"dd.MM.yyyy HH:mm:ss"_qs).toSecsSinceEpoch();
        QVERIFY2(text.startsWith(u"f\r\n\r\n") && before <= shown && shown <= QDateTime::currentSecsSinceEpoch(),
                 qPrintable(text));
    }

    void page_controlsReachTheCommands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("log"); // nothing: the date and time are appended
        QTest::addColumn<bool>("focus"); // the text has the focus afterwards
        const QStringList open {unsaved, openDialog}, save {writeFailed.arg(u"plain/f.txt"_qs)}, print {printIt};
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

    void page_controlsReachTheCommands()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, log);
        QFETCH(bool, focus);
        Run run;
        run.writeFile(u"plain"_qs, "x");
        NotesPage *page = run.start().page<NotesPage>(frmMain::PageNotes);
        NotesDocument &doc = run.window->document();
        doc.restore(u"t"_qs, run.path(u"plain/f.txt"_qs));
        run.dialogs.answer(u"No -"_qs);
        page->cmdFile->setFocus();

        if (auto *button = page->findChild<QPushButton *>(control))
            button->click();
        else
            page->findChild<QAction *>(control)->trigger();
        QCOMPARE(run.dialogs.log().replaceInStrings(run.dir.path() + u'/', QString()), log);
        QCOMPARE(run.window->focusWidget() == page->Text, focus);
        if (log.isEmpty())
            QVERIFY(doc.documentText().startsWith(u"t\r\n"_qs) && doc.documentText().size() > 5);
    }

    void page_showsTheDocument()
    {
        Run run;
        NotesPage *page = &run.show<NotesPage>(frmMain::PageNotes);
        NotesDocument &doc = run.window->document();
        QCOMPARE(page->lblStatus->text(), doc.status());
        // Cancel keeps the face; the face chosen is drawn as the window draws its
        // texts. Neither making the page nor choosing its font is an edit.
        const QFont before = page->Text->font();
        QFont choice(u"Liberation Serif"_qs, 12);
        choice.setBold(true);
        run.dialogs.answerFont(std::nullopt);
        run.dialogs.answerFont(choice);
        choice.setHintingPreference(before.hintingPreference());
        for (const QFont &font : {before, choice}) {
            page->mnuItemFont->trigger();
            QCOMPARE(run.dialogs.calls().constLast().title, u"Выбор шрифта"_qs);
            QCOMPARE(run.dialogs.calls().constLast().font.family(), before.family());
            QCOMPARE(page->Text->font(), font);
        }
        QVERIFY(!doc.hasUnsavedChanges());
        // Each menu, as its title and items, opens from its button.
        for (const auto &[menu, items] :
             {std::pair {page->mnuFile, u"Файл|Новый|-|Открыть...|Сохранить|Сохранить как|-|Печать"_qs},
              std::pair {page->mnuEdit, u"Правка|Вставить дату и время|-|Шрифт..."_qs}}) {
            QStringList texts {menu->title()};
            for (const QAction *action : menu->actions())
                texts << (action->isSeparator() ? u"-"_qs : action->text());
            QCOMPARE(texts.join(u'|'), items);
        }

        // A name like markup is shown as written, in the label and its tooltip.
        const QString path = run.path(u"<b>жирный.txt"_qs);
        run.writeFile(u"<b>жирный.txt"_qs, "old");
        run.dialogs.answerFile(path);
        doc.open();
        QCOMPARE(page->lblStatus->textFormat(), Qt::PlainText);
        QCOMPARE(shownToolTip(page->lblStatus), u"Файл будет сохранен в "_qs + path);

        // Typing goes in at the start; Shift+Enter ends the line as Enter does.
        QTest::keyClicks(page->Text, u"a"_qs);
        QTest::keyClick(page->Text, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(doc.documentText(), u"a\r\nold\r\n"_qs);
        QCOMPARE(page->lblStatus->text(), u"Состояние: документ изменен. Файл: "_qs + path);
        doc.save();
        QCOMPARE(shownToolTip(page->cmdLoadLast), u"Загрузить последний файл: "_qs + path);

        // The whole caption, also what the label cannot show.
        run.dialogs.clear();
        run.dialogs.answerMessage(Answer::Ok);
        QTest::mouseClick(page->lblStatus, Qt::LeftButton);
        QCOMPARE(run.dialogs.asked(), QStringList {u"Статус i ok: Состояние: документ сохранен в "_qs + path});
    }
};

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
