#include "modelrun.h"
#include "modulegrid1.h"
#include "phonebook.h"
#include "phonebookmodel.h"
#include "phonepage.h"
#include "readercache.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using Answer = platform::Dialogs::Answer;

namespace {

// Each row "name|number"; a book is written "name|number;name|number", rows
// down to the last one holding text.
QStringList rowsOf(const PhoneGrid &grid)
{
    QStringList rows;
    for (const auto &[name, number] : grid.rows())
        rows << name + u'|' + number;
    return rows;
}

QString bookOf(const PhoneGrid &grid)
{
    QStringList rows = rowsOf(grid);
    while (rows.endsWith(u"|"_qs))
        rows.removeLast();
    return rows.join(u';');
}

// The bytes a save writes for a book without gaps.
QByteArray fileOf(const QString &book)
{
    QByteArray bytes;
    for (const QString &row : book.split(u';', Qt::SkipEmptyParts))
        bytes += row.toUtf8() + "|\r\n";
    return bytes + "\r\n";
}

QString entries(int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << u"N%1|P%1"_qs.arg(i);
    return rows.join(u';');
}

QPoint cellOf(const PhoneGrid &grid)
{
    return {grid.col(), grid.row()};
}

// Each dialog as FakeDialogs::log gives it, the titles and prompts tagged
// "add", "edit", "name", "number"; an expected text ending in "*" is a prefix.
void compareAsked(const FakeDialogs &dialogs, const QStringList &expected)
{
    QStringList actual = dialogs.log({{u"Добавление записи в телефонную книгу"_qs, u"add"_qs},
                                      {u"Изменение записи в телефонной книге"_qs, u"edit"_qs},
                                      {u"Введите имя человека:"_qs, u"name"_qs},
                                      {u"Введите телефон:"_qs, u"number"_qs}});
    for (qsizetype i = 0; i < actual.size(); ++i) {
        if (expected.value(i).endsWith(u'*') && actual.at(i).startsWith(expected.at(i).chopped(1)))
            actual[i] = expected.at(i);
    }
    QCOMPARE(actual, expected);
}

const QString writeFailed = u"Запись файла ! ok: Ошибка при записи файла:*"_qs;

// Loaded at start-up, then saved once with changes unsaved, then once more.
struct FileCase
{
    QByteArray before; // null: no file; "<folder>" and the like (Run::writeFile): no file to read
    QString book;
    QString lost; // null: the load says nothing; else the notice, listing this
    QByteArray after; // null: not read back
    QPoint cell; // column, row current after the save
    QString saveFailure; // null: saved
    QString fault; // "conversion"; "backup": the old file's copy cannot be made at first
};

// A command run on the book; rows whose name begins "page:" pick the cell and
// click the button on the page, and check that Grid1 shows the book and its
// current cell.
struct CommandCase
{
    QString command; // the button's name
    QString book;
    QString answers; // as FakeDialogs::answer takes them, other words answering an input box
    QStringList asked;
    QString result; // null: the book as it was, and not changed
    QPoint cell; // column, row current before the command
    QPoint after;
};

} // namespace

Q_DECLARE_METATYPE(FileCase)
Q_DECLARE_METATYPE(CommandCase)

class tst_PhoneBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToGrid_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("book");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<int>("shortened");
        const auto row = [](const char *name, const QString &text, const QString &book, int dropped = 0,
                            int shortened = 0, const QString &held = QString()) {
            QTest::newRow(name) << text << held << book << dropped << shortened;
        };
        row("third part dropped", u"a|b|c|\r\n"_qs, u"a|b"_qs, 0, 1);
        row("name only", u"Anna\r\n"_qs, u"Anna|"_qs);
        row("grave ends a row", u"An`na|1\r\n"_qs, u"An|;na|1"_qs);
        row("TAB splits like a bar", u"a\tb\r\n"_qs, u"a|b"_qs);
        row("only bars and graves", u"||||"_qs + QString(1000, u'`'), QString());
        row("before the held rows, last row even empty", u"a|1|\r\n"_qs, u"a|1;|;Old|0"_qs, 0, 0, u"Old|0"_qs);
        row("held row pushed out counts", QString::fromUtf8(fileOf(entries(49))).chopped(2), entries(49), 1, 0,
            u"Old|0"_qs);
        row("40,000 lines", u"x|1|\r\n"_qs.repeated(40000), QStringList(50, u"x|1"_qs).join(u';'), 39950);
    }

    void textToGrid()
    {
        QFETCH(QString, text);
        QFETCH(QString, held);
        QFETCH(QString, book);
        QFETCH(int, dropped);
        QFETCH(int, shortened);
        PhoneGrid grid(PhoneBook::Rows);
        grid.setText(0, 0, held.section(u'|', 0, 0));
        grid.setText(0, 1, held.section(u'|', 1, 1));
        const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, grid, PhoneBook::Rows);

        QCOMPARE(grid.rowCount(), 50);
        QCOMPARE(bookOf(grid), book);
        QCOMPARE(std::pair(loss.rowsDropped, loss.rowsShortened), std::pair(dropped, shortened));
        QVERIFY(!text.contains(u"\r\n"_qs));
    }

    void file_data()
    {
        QTest::addColumn<FileCase>("c");
        const auto row = [](const char *name, const QByteArray &before, const QString &book, const QString &lost,
                            const QByteArray &after, QPoint cell = {}, const QString &saveFailure = {},
                            const QString &fault = {}) {
            QTest::newRow(name) << FileCase {before, book, lost, after, cell, saveFailure, fault};
        };
        const QByteArray two = "Anna|111|\r\nBoris|222|\r\n\r\n";
        const QByteArray longLine = QByteArray(100000, 'a') + "|1|\r\n\r\n";
        const QString cut = u"Строк после первой пустой ячейки, которые не будут записаны: 1."_qs;
        const QString third = u"Строк, в которых отброшены части после имени и телефона: 1."_qs;
        row("no file", {}, {}, {}, "\r\n");
        row("empty book", "\r\n", {}, {}, "\r\n");
        row("two entries", two, u"Anna|111;Boris|222"_qs, {}, two, {0, 2});
        row("fifty entries", fileOf(entries(50)), entries(50), {}, fileOf(entries(50)), {1, 49});
        row("no trailing bar, no last line end", "Anna|111", u"Anna|111"_qs, {}, fileOf(u"Anna|111"_qs), {0, 1});
        row("entry below an empty line", "a|1|\r\n\r\nb|2|\r\n", u"a|1;|;b|2"_qs, cut, fileOf(u"a|1"_qs), {0, 1});
        row("line without a number before entries", "a\r\nb|2|\r\n", u"a|;b|2"_qs, cut, "a|\r\n", {1, 0});
        row("lines of 100,000 characters kept whole", longLine, QString(100000, u'a') + u"|1"_qs, {}, longLine, {0, 1});
        row("more than 50 entries", fileOf(entries(60)), entries(50),
            u"Строк с записями, не поместившихся в список: 10."_qs, fileOf(entries(50)), {1, 49});
        row("conversion fails", two, u"Anna|111;Boris|222"_qs, {}, two, {},
            u"- x ok: Ошибка при преобразовании данных."_qs, u"conversion"_qs);
        // A damaged file is kept beside the new one; a failed save keeps it to keep.
        row("damaged file, its copy cannot be made, then can", "a|b|c|\r\n", u"a|b"_qs, third, fileOf(u"a|b"_qs),
            {0, 1}, writeFailed, u"backup"_qs);
        row("a link to itself", "<loop>", {}, u""_qs, {}, {}, writeFailed);
        // Never saved over, so never kept as a copy either: no promise of one.
        // Which names are no file to read or write is the file routines'.
        row("a named pipe", "<fifo>", {}, {}, {}, {}, writeFailed);
    }

    void file()
    {
        QFETCH(FileCase, c);
        ModelRun run;
        const QString path = run.path(u"phones.tn"_qs);
        const bool readFails = c.before.startsWith('<');
        if (!c.before.isNull())
            run.writeFile(u"phones.tn"_qs, c.before);
        if (c.fault == u"backup"_qs)
            QVERIFY(QDir().mkdir(path + u".bak"_qs));
        QStringList asked;
        if (readFails)
            asked << u"Чтение файла ! ok: Ошибка при чтении файла.*"_qs;
        if (!c.lost.isNull())
            asked << u"- ! ok: Телефонная книга прочитана не полностью.\r\n\r\n"_qs + path + u"\r\n\r\n"_qs + c.lost
                         + (c.lost.isEmpty() ? u""_qs : u"\r\n\r\n"_qs) + u"При следующем сохранении*"_qs;
        run.dialogs.answerMessage(Answer::Ok, asked.size());
        PhoneBook model(run.context);
        model.LoadPhone();
        QCOMPARE(bookOf(model.grid()), c.book);
        QCOMPARE(cellOf(model.grid()), QPoint(0, 0));
        QVERIFY(!model.hasUnsavedChanges());
        compareAsked(run.dialogs, asked);
        // What the book read, to tell later whether another program changed it.
        QCOMPARE(model.fileStamp().hash, platform::filesystem::stampOf(path).hash);

        run.dialogs.clear();
        if (c.fault == u"conversion"_qs)
            model.gridToText = [](PhoneGrid &) { return std::optional<QString>(); };
        const bool saves = c.saveFailure.isNull();
        if (!saves)
            run.dialogs.answerMessage(Answer::Ok);
        model.restore(model.rows()); // unsaved, as after a command
        QCOMPARE(model.SavePhone(), saves ? SaveOutcome::Saved : SaveOutcome::Failed);
        compareAsked(run.dialogs, saves ? QStringList() : QStringList {c.saveFailure});
        QCOMPARE(model.hasUnsavedChanges(), !saves);
        QCOMPARE(cellOf(model.grid()), c.cell);
        QCOMPARE(model.fileStamp().hash, platform::filesystem::stampOf(path).hash);
        if (!c.after.isNull())
            QCOMPARE(run.read(u"phones.tn"_qs), saves ? c.after : c.before);
        if (!saves) {
            if (c.fault != u"backup"_qs)
                return;
            QVERIFY(QDir(path + u".bak"_qs).removeRecursively());
        }
        // Only the first save that happens keeps the file as it was loaded:
        // a later one would keep what the first wrote.
        QCOMPARE(model.SavePhone(), SaveOutcome::Saved);
        QCOMPARE(run.read(u"phones.tn"_qs), c.after);
        QCOMPARE(run.read(u"phones.tn.bak"_qs), c.lost.isNull() ? QByteArray("<missing>") : c.before);
    }

    // The word agrees with the count, the teens taking the plural.
    void entriesCounted_agreesWithTheCount()
    {
        for (const auto &[word, counts] : {std::pair {u"запись"_qs, QList {1, 21, 41}},
                                           std::pair {u"записи"_qs, QList {2, 3, 4, 22, 23, 24, 42, 43, 44}},
                                           std::pair {u"записей"_qs, QList {5, 11, 12, 13, 14, 20, 25, 49, 50}}})
            for (const int count : counts)
                QCOMPARE(PhoneBook::entriesCounted(count), QString::number(count) + u' ' + word);
    }

    void commands_data()
    {
        QTest::addColumn<CommandCase>("c");
        const QString add = u"cmdAddPhone"_qs, edit = u"cmdEditPhone"_qs, del = u"cmdDelPhone"_qs;
        const QString clear = u"cmdClearAllPhone"_qs, save = u"cmdSaveGrid"_qs;
        const QString two = u"Anna|111;Boris|222"_qs, kept;
        const QString name = u"add name []"_qs, number = u"add number []"_qs;
        const QString refused = u"add ! ok: В имени и телефоне нельзя использовать*"_qs;
        const QString refusedEdit = u"edit ! ok: В имени и телефоне нельзя использовать*"_qs;
        const QString deleted = u"- ? okcancel: Будет удалена следующая запись:\r\n"_qs;
        const QString cleared = u"- ! yesno: Вы уверены, что хотите очистить список телефонов?"_qs;
        // A hand-edited book is full once its last row holds text, gaps or not.
        const QString gappy = entries(20) + u";|"_qs.repeated(29) + u";N49|P49"_qs;
        const auto row = [](const char *name, const QString &command, const QString &book, const QString &answers,
                            const QStringList &asked, const QString &result = {}, QPoint cell = {}, QPoint after = {}) {
            QTest::newRow(name) << CommandCase {command, book, answers, asked, result, cell, after};
        };

        row("add: cancel at name", add, two, u"-"_qs, {name});
        row("add: cancel at number", add, two, u"Vera -"_qs, {name, number});
        row("page: add on top, the current cell moves with its entry", add, two, u"Vera 333"_qs, {name, number},
            u"Vera|333;"_qs + two, {1, 1}, {1, 2});
        row("add: full book refused before asking", add, entries(50), u"Ok"_qs,
            {u"add ! ok: Телефонная книга заполнена: в ней 50 записей. Удалите ненужную запись, чтобы добавить "
             u"новую."_qs});
        row("add: full book with gaps", add, gappy, u"Ok"_qs,
            {u"add ! ok: Телефонная книга заполнена: в ней 21 запись.*"_qs});
        row("add: 49 entries, the 50th fits", add, entries(49), u"Vera 333"_qs, {name, number},
            u"Vera|333;"_qs + entries(49), {}, {0, 1});
        row("add: bar in the number refused", add, two, u"Vera 1|2 Ok"_qs, {name, number, refused});
        row("add: grave in the name refused", add, two, u"Ve`ra Ok"_qs, {name, refused});
        row("add: TAB in the number refused", add, two, u"Vera 1\t2 Ok"_qs, {name, number, refused});
        row("add: a typed ? is kept", add, two, u"Vera ?"_qs, {name, number}, u"Vera|?;"_qs + two, {}, {0, 1});
        row("add: outside the code page refused", add, two, u"Ve😀ra Ok"_qs,
            {name, u"add ! ok: Символ \"😀\" (U+1F600) нельзя сохранить*"_qs});
        row("edit: the row of the current cell", edit, two, u"Bob 333"_qs,
            {u"edit name [Boris]"_qs, u"edit number [222]"_qs}, u"Anna|111;Bob|333"_qs, {1, 1}, {1, 1});
        row("edit: an empty row fills the first free one", edit, two, u"Vera 333"_qs,
            {u"edit name []"_qs, u"edit number []"_qs}, two + u";Vera|333"_qs, {0, 7}, {1, 2});
        row("page: edit, cancel at name", edit, two, u"-"_qs, {u"edit name [Boris]"_qs}, kept, {1, 1}, {0, 1});
        row("edit: CR in the name refused", edit, two, u"A\rnn Ok"_qs, {u"edit name [Anna]"_qs, refusedEdit});
        row("edit: LF in the number refused", edit, two, u"Ann 1\n1 Ok"_qs,
            {u"edit name [Anna]"_qs, u"edit number [111]"_qs, refusedEdit}, kept, {}, {1, 0});
        // The cell asked for is the current one while the box is up.
        row("page: edit, cancel at number", edit, two, u"Ann -"_qs, {u"edit name [Anna]"_qs, u"edit number [111]"_qs},
            kept, {}, {1, 0});
        row("page: delete, name cell, OK, rows move up", del, entries(5), u"Ok"_qs, {deleted + u"N2"_qs},
            u"N0|P0;N1|P1;N3|P3;N4|P4"_qs, {0, 2}, {0, 2});
        row("delete: number cell, Cancel", del, two, u"Cancel"_qs, {deleted + u"222"_qs}, kept, {1, 1}, {1, 1});
        row("delete: empty row", del, two, u"Ok"_qs, {deleted}, two, {0, 7}, {0, 7});
        row("clear: No", clear, two, u"No"_qs, {cleared}, kept, {1, 1}, {1, 1});
        row("page: clear, Yes", clear, two, u"Yes"_qs, {cleared}, u""_qs, {1, 1});
        // The save makes the first empty cell the current one.
        row("page: save", save, two, {}, {}, kept, {}, {0, 2});
        // The work of a recovery copy comes back in place of the book.
        row("restore: the rows in place, unsaved, the top cell current", u"restore"_qs, two, {}, {},
            u"Vera|333;|;Anna|111"_qs, {1, 1}, {0, 0});
    }

    void commands()
    {
        QFETCH(CommandCase, c);
        const QHash<QString, std::function<void(PhoneBook &)>> commands {
            {u"cmdAddPhone"_qs, &PhoneBook::addEntry},
            {u"cmdEditPhone"_qs, &PhoneBook::editEntry},
            {u"cmdDelPhone"_qs, &PhoneBook::deleteEntry},
            {u"cmdClearAllPhone"_qs, &PhoneBook::clearAll},
            {u"cmdSaveGrid"_qs, [](PhoneBook &book) { book.SavePhone(); }},
            {u"restore"_qs, [book = c.result](PhoneBook &model) {
                 QList<PhoneGrid::Row> rows;
                 for (const QString &row : book.split(u';'))
                     rows.append({row.section(u'|', 0, 0), row.section(u'|', 1, 1)});
                 model.restore(rows);
             }}};
        const bool onPage = QByteArray(QTest::currentDataTag()).startsWith("page:");

        ModelRun run;
        run.writeFile(u"phones.tn"_qs, fileOf(c.book));
        if (c.book.contains(u";|;"_qs))
            run.dialogs.answerMessage(Answer::Ok); // the load notice of a gap
        PhoneBook model(run.context);
        model.LoadPhone();
        run.dialogs.clear();
        run.dialogs.answer(c.answers, FakeDialogs::Kind::Input);
        QSignalSpy changed(&model, &PhoneBook::changed);
        // The rows as a view has them, the page's own on the page: each
        // change named, so that a reader trusting the names hears the book.
        PhoneBookModel ownRows(model);
        const std::unique_ptr<PhonePage> page(onPage ? new PhonePage(model) : nullptr);
        QAbstractItemModel *shown = page ? page->Grid1->model() : &ownRows;
        const QAbstractItemModelTester tester(shown);
        const ReaderCache heard(*shown);
        if (onPage) {
            // A Ctrl+click, on the current cell or another, leaves that cell
            // the current one and the one selection.
            page->show();
            QVERIFY(QTest::qWaitForWindowExposed(page.get()));
            QTableView *grid = page->Grid1;
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              grid->visualRect(shown->index(c.cell.y(), c.cell.x())).center());
            QCOMPARE(grid->selectionModel()->selectedIndexes(), QList {grid->currentIndex()});
            QCOMPARE(cellOf(model.grid()), c.cell);
            page->findChild<QPushButton *>(c.command)->click();
            QCOMPARE(QPoint(grid->currentIndex().column(), grid->currentIndex().row()), c.after);
        } else {
            model.pickCell(c.cell.y(), c.cell.x());
            commands.value(c.command)(model);
        }

        compareAsked(run.dialogs, c.asked);
        QCOMPARE(heard.rows(), rowsOf(model.grid()));
        QCOMPARE(bookOf(model.grid()), c.result.isNull() ? c.book : c.result);
        QCOMPARE(model.grid().rowCount(), 50);
        QCOMPARE(model.hasUnsavedChanges(), !c.result.isNull());
        QCOMPARE(changed.count(), c.result.isNull() ? 0 : 1);
        QCOMPARE(cellOf(model.grid()), c.after);
        QCOMPARE(run.read(u"phones.tn"_qs), fileOf(c.book));
    }
};

QTEST_MAIN(tst_PhoneBook)
#include "tst_phonebook.moc"
