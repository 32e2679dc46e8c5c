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

    // The document's file ("" for a new one), opened from f.txt; after "+",
    // what was typed at its start; after "@", the last file the settings gave.
    explicit Notes(const QString &from = {})
    {
        for (const QString &file :
             {u"f.txt=f"_qs, u"F.txt=F"_qs, u"last.txt=last"_qs, u"other.txt=other"_qs, u"old.txt=old content"_qs,
              u".old.txt=old content"_qs, u"plain=x"_qs, u"folder=<folder>"_qs})
            writeFile(file.section(u'=', 0, 0), file.section(u'=', 1).toLatin1());
        // CR LF, a lone LF, a no-break space, NUL, 0x98 (no letter in the code page) and a lone CR.
        writeFile(u"exact.txt"_qs, QByteArrayLiteral("a\r\nb\nc\xa0\0\x98\x64\re"));
        doc = &start().document();
        const QString current = from.section(u'+', 0, 0).section(u'@', 0, 0);
        if (!current.isEmpty()) {
            dialogs.answerFile(path(u"f.txt"_qs));
            doc->open();
            doc->CurrentFile = path(current);
        }
        if (from.contains(u'+'))
            QTextCursor(doc->document()).insertText(paragraphs(from.section(u'+', 1).section(u'@', 0, 0)));
        if (from.contains(u'@'))
            doc->setLastFile(path(from.section(u'@', 1)));
        dialogs.clear();
    }

    void jam(int times)
    {
        system.failWith(FakeSystem::Effect::Print,
                        platform::RuntimeFailure::withNumber(platform::failure::PrinterError), times);
    }

    void step(const QString &name)
    {
        const QHash<QString, std::function<void()>> steps {
            {u"type"_qs, [this] { QTextCursor(doc->document()).insertText(u"y"_qs); }},
            {u"new"_qs, [this] { doc->newDocument(); }},
            {u"open"_qs, [this] { doc->open(); }},
            {u"save"_qs, [this] { doc->save(); }},
            {u"saveAs"_qs, [this] { doc->saveAs(); }},
            {u"last"_qs, [this] { doc->loadLast(); }},
            {u"print"_qs, [this] { doc->print(); }},
            {u"close"_qs, [this] { stayedOpen = !window->Form_Unload(); }},
            // A write fails part-way, even for root.
            {u"limit"_qs, [this] { QVERIFY(limit.emplace(rlim_t(3)).isSet()); }},
            {u"jam"_qs, [this] { jam(-1); }},
            // A job the printer refuses, then one it takes.
            {u"refuseOnce"_qs, [this] { jam(1); }},
            {u"nofolder"_qs, [this] { QVERIFY(QDir(path(u"My Tarnel"_qs)).removeRecursively()); }},
        };
        QVERIFY2(steps.contains(name), qPrintable(name));
        steps.value(name)();
    }

    // What the user met: the dialogs, then the printer's jobs.
    QStringList log() const
    {
        QStringList entries = dialogs.log();
        for (const auto &call : system.calls())
            entries << u"print %1: "_qs.arg(call.pointSize) + call.argument;
        if (stayedOpen)
            entries << u"window stays open"_qs;
        return entries.replaceInStrings(dir.path() + u'/', QString());
    }

    // The document and every file of the folder, "name=value" by name.
    QStringList state() const
    {
        QStringList lines;
        lines << u"text="_qs + doc->documentText() << u"current="_qs + doc->CurrentFile << u"status="_qs + doc->status()
              << u"tip="_qs + doc->statusToolTip() << u"last="_qs + doc->LastFile
              << u"button="_qs + doc->loadLastToolTip() << u"changed="_qs + (doc->Change ? u"yes"_qs : u"no"_qs)
              << u"undo="_qs + (doc->document()->isUndoAvailable() ? u"yes"_qs : u"no"_qs);
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            lines << name + u'=' + platform::codepage::toUnicode(read(name));
        lines.sort();
        return lines.replaceInStrings(dir.path() + u'/', QString());
    }
};

const QString unsaved = u"- i yesno: Текст не сохранен. Сохранить его сейчас?"_qs;
const QString changedNew = u"- i yesno: Текст был изменен. Сохранить?"_qs;
const QString dataChanged = u"- i yesno: Данные изменились. Сохранить сейчас?"_qs;
const QString printIt = u"- i yesno: Напечатать текущий текст?"_qs;
const QString openDialog = u"Открыть файл [My Tarnel] *.txt"_qs;
const QString saveAsDialog = u"Сохранить как [My Tarnel]"_qs;
const QString stays = u"window stays open"_qs;
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
const QString madeNew = u"text=|current=|status=Новый документ|tip=Создан новый документ|changed=no|undo=no|"_qs;
const QString saved = u"%1=%2|current=%1|status=Состояние: документ сохранен в %1|tip=|last=%1|button=Загрузить "
                      "последний файл: %1|changed=no|"_qs;
const QString opened = u"text=%2|current=%1|status=Документ открыт из %1|tip=Файл будет сохранен в %1|changed=no|"
                       "undo=no|"_qs;
const QString loaded = u"text=%2|current=%1|status=Документ открыт из %1|tip=Документ будет сохранен в: %1|changed=no|"
                       "undo=no|"_qs;
const QString settings = u"tarnel.ini=[mytarnel]\r\nCurTab=3\r\nLastFile=%1\r\n|"_qs;

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
        Run run;
        if (!bytes.isNull())
            run.writeFile(name, bytes);
        QWidget window;
        AppContext context(run.dialogs, run.system);
        context.setMainWindow(&window);
        context.showWaitPointer();
        const bool failed = bytes == "<folder>";
        run.dialogs.answerMessage(Answer::Ok, 2);

        const QString path = name.isEmpty() ? name : run.path(name);
        bool reported = !failed;
        QCOMPARE(ReadTextFile(context, path, &reported), text);
        QCOMPARE(reported, failed);
        QCOMPARE(ReadTextFileAsParagraphs(context, path), paragraphs(text));
        QCOMPARE(window.cursor().shape(), bytes.isNull() ? Qt::WaitCursor : Qt::ArrowCursor);
        QCOMPARE(run.dialogs.asked(), failed ? (QStringList {readFailed, readFailed}) : QStringList());
    }

    void commands_data()
    {
        QTest::addColumn<QString>("from"); // as Notes takes it
        QTest::addColumn<QString>("steps"); // then ":" and the answers, as FakeDialogs::answer takes them
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("changes"); // everything else stays as it was
        const QString zh = u"«中» (U+4E2D)"_qs, xf = u"xf\r\n\r\n"_qs, f = u"f.txt"_qs;
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
        row("New, unchanged: asks nothing", "f.txt", "new", {}, madeNew);
        row("New, changed, No", "f.txt+x", "new: No", {changedNew}, madeNew);
        row("New, changed, Yes saves first", "f.txt+x", "new: Yes", {changedNew}, saved.arg(f, xf) + madeNew);
        row("New, failed write: stops", unwritable, "new: Yes Ok", {changedNew, failed}, {});
        row("New, No to the lost characters: stops", "f.txt+中", "new: Yes No", {changedNew, lostCharacters.arg(zh)},
            {});
        row("New, Save As cancelled: goes on", "+x", "new: Yes -", {changedNew, saveAsDialog}, madeNew);
        row("Open, No: read exactly, saved again with only the lone CR and the last line end changed", "+x@last.txt",
            "open save: No exact.txt", {unsaved, openDialog},
            opened.arg(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n"_qs)
                + saved.arg(u"exact.txt"_qs, u"a\r\nb\nc\u00a0\u0000\u0098d\r\ne\r\n\r\n"_qs));
        row("Open cancelled with no personal folder: starts in the program folder", "+x", "nofolder open: No -",
            {unsaved, u"Открыть файл [] *.txt"_qs}, {});
        row("Open, a failed read keeps the document", "f.txt+x", "open: No folder Ok",
            {unsaved, openDialog, readFailed}, {});
        row("Open, failed write: stops", unwritable, "open: Yes Ok", {unsaved, failed}, {});
        row("Open, Save As cancelled: goes on", "+x", "open: Yes - other.txt", {unsaved, saveAsDialog, openDialog},
            opened.arg(u"other.txt"_qs, u"other\r\n"_qs));
        row("Save, failed write", unwritable, "save: Ok", {failed}, {});
        row("Save past the file size limit: the old file stays", "f.txt+x", "limit save: Ok",
            {writeFailed.arg(f).replace(u"Путь не найден"_qs, u"Ошибка ввода/вывода"_qs)}, {});
        row("Save, lost characters, Yes saves with ?", "f.txt+\U0001F600€中", "save: Yes",
            {lostCharacters.arg(u"«\U0001F600» (U+1F600), "_qs + zh)}, saved.arg(f, u"?€?f\r\n\r\n"_qs));
        row("Save As, failed write", "f.txt+x@last.txt", "saveAs: Ok plain/g.txt",
            {saveAsDialog, writeFailed.arg(u"plain/g.txt"_qs)}, {});
        row("Save As, no .txt, Yes adds it", "+x", "save: a Yes", {saveAsDialog, noTxt.arg(u"a"_qs)},
            saved.arg(u"a.txt"_qs, u"x\r\n"_qs));
        row("Save As, no .txt, No keeps the name", "+x", "save: a No", {saveAsDialog, noTxt.arg(u"a"_qs)},
            saved.arg(u"a"_qs, u"x\r\n"_qs));
        row("Save As, no .txt, Cancel saves nothing", "+x", "save: a Cancel", {saveAsDialog, noTxt.arg(u"a"_qs)}, {});
        row("Save As, upper-case TXT asks nothing; an empty text is one line end", "", "save: a.TXT", {saveAsDialog},
            saved.arg(u"a.TXT"_qs, u"\r\n"_qs));
        row("Save As, existing file, Yes overwrites it whole", "+x", "save: old.txt Yes",
            {saveAsDialog, overwrite.arg(u"old.txt"_qs)}, saved.arg(u"old.txt"_qs, u"x\r\n"_qs));
        row("Save As, existing hidden file, No keeps it", "+x", "save: .old.txt No",
            {saveAsDialog, overwrite.arg(u".old.txt"_qs)}, {});
        row("Save As, .txt added, then the overwrite question for that name", "+x", "save: old Yes No",
            {saveAsDialog, noTxt.arg(u"old"_qs), overwrite.arg(u"old.txt"_qs)}, {});
        row("Save, a name outside the code page: told once, the settings keep the last file", "中.txt+x@last.txt",
            "save save close: Ok", {cannotHold.arg(zh, u"中.txt"_qs)},
            saved.arg(u"中.txt"_qs, xf) + u"last=last.txt|"_qs + settings.arg(u"last.txt"_qs));
        row("Save, a line break in the name", "a\nb.txt+x@last.txt", "save: Ok",
            {cannotHold.arg(u"U+000A"_qs, u"a\nb.txt"_qs)}, saved.arg(u"a\nb.txt"_qs, xf) + u"last=last.txt"_qs);
        row("Load last, no last file", "f.txt", "last: Ok", {u"- ! ok: Последний файл не задан!"_qs}, {});
        row("Load last, already open", "f.txt@f.txt", "last: Ok", {u"- ! ok: Этот файл уже открыт!"_qs}, {});
        row("Load last, case counts: another file", "f.txt@F.txt", "last", {}, loaded.arg(u"F.txt"_qs, u"F\r\n"_qs));
        row("Load last, changed, Yes: the file just saved is loaded", "f.txt+x@last.txt", "last: Yes", {unsaved},
            saved.arg(f, xf) + loaded.arg(f, xf));
        row("Load last, changed, Yes: also a file whose name the settings cannot hold", "中.txt+x@last.txt",
            "last: Yes Ok", {unsaved, cannotHold.arg(zh, u"中.txt"_qs)},
            saved.arg(u"中.txt"_qs, xf) + loaded.arg(u"中.txt"_qs, xf) + u"last=last.txt"_qs);
        row("Load last, failed write: stops", unwritable, "last: Yes Ok", {unsaved, failed}, {});
        row("Load last, Save As cancelled: goes on", "+x@last.txt", "last: Yes -", {unsaved, saveAsDialog},
            loaded.arg(u"last.txt"_qs, u"last\r\n"_qs));
        row("Print, empty: refused", "", "print: Ok", {u"- ! ok: Нет текста для печати!"_qs}, {});
        row("Print, No prints nothing", "+a", "print: No", {printIt}, {});
        row("Print, Yes prints the text and a line end", "+a\r\nb\nc", "print: Yes",
            {printIt, u"print 8: a\r\nb\nc\r\n"_qs}, {});
        row("Print, blanks and line ends are printed", "+ \r\n", "print: Yes", {printIt, u"print 8:  \r\n\r\n"_qs}, {});
        const QString retry = u"- ! retry: Ошибка при попытке печати текста. \r\nУстраните неполадку и нажмите "
                              "'Повтор'.\r\n\r\n482.  Ошибка принтера"_qs;
        row("Print, Retry tries again, Cancel ends", "+a", "jam print: Yes Retry Cancel",
            {printIt, retry, retry, u"print 8: a\r\n"_qs, u"print 8: a\r\n"_qs}, {});
        row("Print, a refused job, then Retry once the printer takes jobs", "+a", "refuseOnce print: Yes Retry",
            {printIt, retry, u"print 8: a\r\n"_qs, u"print 8: a\r\n"_qs}, {});
        row("Shut-down, with a file: written in place", "f.txt+x@last.txt", "close: Yes", {dataChanged},
            u"f.txt="_qs + xf + u"|status=Состояние: документ сохранен.|tip=|changed=no|"_qs
                + settings.arg(u"last.txt"_qs));
        row("Shut-down, no file: Save As", "+x@last.txt", "close: Yes n.txt", {dataChanged, saveAsDialog},
            saved.arg(u"n.txt"_qs, u"x\r\n"_qs) + settings.arg(u"n.txt"_qs));
        row("Shut-down, no file: a failed write keeps the window open", "+x", "close: Yes Ok plain/n.txt",
            {dataChanged, saveAsDialog, writeFailed.arg(u"plain/n.txt"_qs), stays}, {});
        row("Shut-down, No to the lost characters keeps the window open", "f.txt+中", "close: Yes No",
            {dataChanged, lostCharacters.arg(zh), stays}, {});
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
            expected.removeIf(
                [&change](const QString &line) { return line.section(u'=', 0, 0) == change.section(u'=', 0, 0); });
            expected << change;
        }
        expected.sort();
        notes.dialogs.answer(steps.section(u':', 1), FakeDialogs::Kind::OpenFile, notes.path({}));

        for (const QString &step : steps.section(u':', 0, 0).split(u' '))
            notes.step(step);
        notes.limit.reset();
        QCOMPARE(notes.log(), log);
        QCOMPARE(notes.state(), expected);
        QCOMPARE(notes.window->cursor().shape(), Qt::ArrowCursor);
    }

    void insertDateTime_appendsAtTheEnd()
    {
        Notes notes(u"f.txt"_qs);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        notes.doc->insertDateTime();
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        // The short date and the long time of the system, with no time zone after
        // them; across midnight the stamp may name either day.
        const QString text = notes.doc->documentText();
        const QDateTime shown = QDateTime::fromString(text.mid(5), u"dd.MM.yyyy HH:mm:ss"_qs);
        QVERIFY2(text.startsWith(u"f\r\n\r\n") && shown.isValid() && before <= shown.toSecsSinceEpoch()
                     && shown.toSecsSinceEpoch() <= after,
                 qPrintable(text));
        QVERIFY(notes.doc->Change);
        QCOMPARE(notes.doc->status(), u"Состояние: документ изменен. Файл: "_qs + notes.path(u"f.txt"_qs));
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
        Notes notes(u"plain/f.txt+t"_qs);
        NotesPage *page = notes.window->page<NotesPage>(frmMain::PageNotes);
        notes.dialogs.answer(u"No -"_qs);
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

    void page_showsTheDocument()
    {
        Notes notes;
        NotesPage *page = &notes.show<NotesPage>(frmMain::PageNotes);
        QCOMPARE(page->lblStatus->text(), notes.doc->status());
        // Cancel keeps the face; the face chosen is drawn as the window draws its
        // texts. Neither making the page nor choosing its font is an edit.
        const QFont before = page->Text->font();
        QFont choice(u"Liberation Serif"_qs, 12);
        choice.setBold(true);
        notes.dialogs.answerFont(std::nullopt);
        notes.dialogs.answerFont(choice);
        choice.setHintingPreference(before.hintingPreference());
        for (const QFont &font : {before, choice}) {
            page->mnuItemFont->trigger();
            QCOMPARE(notes.dialogs.calls().constLast().title, u"Выбор шрифта"_qs);
            QCOMPARE(notes.dialogs.calls().constLast().font.family(), before.family());
            QCOMPARE(page->Text->font(), font);
        }
        QVERIFY(!notes.doc->Change);
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
        const QString path = notes.path(u"<b>жирный.txt"_qs);
        notes.writeFile(u"<b>жирный.txt"_qs, "old");
        notes.dialogs.answerFile(path);
        notes.doc->open();
        QCOMPARE(page->lblStatus->textFormat(), Qt::PlainText);
        QCOMPARE(shownToolTip(page->lblStatus), u"Файл будет сохранен в "_qs + path);

        // Typing goes in at the start; Shift+Enter ends the line as Enter does.
        QTest::keyClicks(page->Text, u"a"_qs);
        QTest::keyClick(page->Text, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(notes.doc->documentText(), u"a\r\nold\r\n"_qs);
        QCOMPARE(page->lblStatus->text(), u"Состояние: документ изменен. Файл: "_qs + path);
        notes.doc->save();
        QCOMPARE(shownToolTip(page->cmdLoadLast), u"Загрузить последний файл: "_qs + path);

        // The whole caption, also what the label cannot show.
        notes.dialogs.clear();
        notes.dialogs.answerMessage(Answer::Ok);
        QTest::mouseClick(page->lblStatus, Qt::LeftButton);
        QCOMPARE(notes.dialogs.asked(), QStringList {u"Статус i ok: Состояние: документ сохранен в "_qs + path});
    }
};

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
