#include "frmmain.h"
#include "modulegrid1.h"
#include "phonebook.h"
#include "phonepage.h"
#include "run.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;

namespace {

// A book is written "name|number;name|number", rows down to the last one
// holding text.
QString bookOf(const PhoneGrid &grid)
{
    int last = grid.rowCount() - 1;
    while (last >= 0 && !grid.rowHasText(last))
        --last;
    QStringList rows;
    for (int row = 0; row <= last; ++row)
        rows << grid.text(row, 0) + u'|' + grid.text(row, 1);
    return rows.join(u';');
}

QString shownBook(const QTableWidget &table)
{
    PhoneGrid grid(table.rowCount());
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int col = 0; col < PhoneGrid::Cols; ++col)
            grid.setText(row, col, table.item(row, col)->text());
    }
    return bookOf(grid);
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

// The program started on a phones.tn holding book; a gap's load notice answered.
PhoneBook &startedWith(Run &run, const QString &book)
{
    run.writeFile(u"phones.tn"_qs, fileOf(book));
    if (book.contains(u";|;"_qs))
        run.dialogs.answerMessage(Answer::Ok);
    PhoneBook &model = run.start().phoneBook();
    run.dialogs.clear();
    return model;
}

// "#ok", "#cancel", "#yes", "#no" answer a message; any other text an input box.
void answer(FakeDialogs &dialogs, const QStringList &answers)
{
    const QStringList messages {u"#ok"_qs, u"#cancel"_qs, u"#yes"_qs, u"#no"_qs};
    const Answer answerOf[] = {Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No};
    for (const QString &text : answers) {
        if (messages.contains(text))
            dialogs.answerMessage(answerOf[messages.indexOf(text)]);
        else
            dialogs.answerInput(text);
    }
}

// Each dialog as "add name [default]" for an input box or "add ! ok: text" for
// a message, after the tag of its title ("add", "edit", "-" for the program's
// own); an expected text ending in "*" is a prefix.
void compareAsked(const QList<FakeDialogs::Call> &calls, const QStringList &expected)
{
    const QHash<QString, QString> tags {{u"Добавление записи в телефонную книгу"_qs, u"add"_qs},
                                        {u"Изменение записи в телефонной книге"_qs, u"edit"_qs},
                                        {u"Orvane Tarnel 2001"_qs, u"-"_qs},
                                        {u"Введите имя человека:"_qs, u"name"_qs},
                                        {u"Введите телефон:"_qs, u"number"_qs}};
    QStringList actual;
    for (const FakeDialogs::Call &call : calls) {
        actual << tags.value(call.title, call.title) + u' '
                      + (call.kind == FakeDialogs::Kind::Input
                             ? tags.value(call.prompt, call.prompt) + u" ["_qs + call.defaultText + u']'
                             : FakeDialogs::describe(call.message));
        const int i = actual.size() - 1;
        if (i < expected.size() && expected.at(i).endsWith(u'*') && actual.at(i).startsWith(expected.at(i).chopped(1)))
            actual[i] = expected.at(i);
    }
    QCOMPARE(actual, expected);
}

} // namespace

class tst_PhoneBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToGrid_data();
    void textToGrid();
    void file_data();
    void file();
    void load_notAReadableFile_data();
    void load_notAReadableFile();
    void entriesCounted_data();
    void entriesCounted();
    void commands_data();
    void commands();
    void save_data();
    void save();
    void page_showsTheBookAndRunsItsCommands_data();
    void page_showsTheBookAndRunsItsCommands();
    void page_currentCellIsTheOnlySelection();
};

void tst_PhoneBook::textToGrid_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("book");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<int>("shortened");

    const auto row
        = [](const char *name, const QString &text, const QString &book, int dropped = 0, int shortened = 0,
             const QString &held = QString()) { QTest::newRow(name) << text << held << book << dropped << shortened; };
    row("as saved", u"Anna|111|\r\nBoris|222|\r\n\r\n"_qs, u"Anna|111;Boris|222"_qs);
    row("third part dropped", u"a|b|c|\r\n"_qs, u"a|b"_qs, 0, 1);
    row("name only", u"Anna\r\n"_qs, u"Anna|"_qs);
    row("grave ends a row", u"An`na|1\r\n"_qs, u"An|;na|1"_qs);
    row("TAB splits like a bar", u"a\tb\r\n"_qs, u"a|b"_qs);
    row("only bars and graves", u"||||"_qs + QString(1000, u'`'), QString());
    row("before the held rows, last row even empty", u"a|1|\r\n"_qs, u"a|1;|;Old|0"_qs, 0, 0, u"Old|0"_qs);
    row("held row pushed out counts", QString::fromUtf8(fileOf(entries(49))).chopped(2), entries(49), 1, 0,
        u"Old|0"_qs);
    row("40,000 lines", u"x|1|\r\n"_qs.repeated(40000), QStringList(50, u"x|1"_qs).join(u';'), 39950);
    row("100,000 characters", QString(100000, u'a') + u"|1\r\n"_qs, QString(100000, u'a') + u"|1"_qs);
}

void tst_PhoneBook::textToGrid()
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
    QCOMPARE(loss.rowsDropped, dropped);
    QCOMPARE(loss.rowsShortened, shortened);
    QVERIFY(!text.contains(u"\r\n"_qs));
}

// Load at start-up, then save.
void tst_PhoneBook::file_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("book");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QPoint>("cell"); // column, row current after the save
    QTest::addColumn<QString>("lost"); // null: nothing lost; else told what, and the old file kept

    const auto row
        = [](const char *name, const QByteArray &before, const QString &book, const QByteArray &after, QPoint cell,
             const QString &lost = QString()) { QTest::newRow(name) << before << book << after << cell << lost; };
    row("no file", QByteArray(), QString(), "\r\n", {0, 0});
    row("empty book", "\r\n", QString(), "\r\n", {0, 0});
    row("two entries", "Anna|111|\r\nBoris|222|\r\n\r\n", u"Anna|111;Boris|222"_qs, "Anna|111|\r\nBoris|222|\r\n\r\n",
        {0, 2});
    row("fifty entries", fileOf(entries(50)), entries(50), fileOf(entries(50)), {1, 49});
    row("no trailing bar, no last line end", "Anna|111", u"Anna|111"_qs, fileOf(u"Anna|111"_qs), {0, 1});
    row("third part", "a|b|c|\r\n", u"a|b"_qs, fileOf(u"a|b"_qs), {0, 1},
        u"Строк, в которых отброшены части после имени и телефона: 1."_qs);
    row("entry below an empty line", "a|1|\r\n\r\nb|2|\r\n", u"a|1;|;b|2"_qs, fileOf(u"a|1"_qs), {0, 1},
        u"Строк после первой пустой ячейки, которые не будут записаны: 1."_qs);
    row("line without a number before entries", "a\r\nb|2|\r\n", u"a|;b|2"_qs, "a|\r\n", {1, 0},
        u"Строк после первой пустой ячейки, которые не будут записаны: 1."_qs);
    const QByteArray longLine = QByteArray(100000, 'a') + "|1|\r\n\r\n";
    row("lines of 100,000 characters kept whole", longLine, QString(100000, u'a') + u"|1"_qs, longLine, {0, 1});
    row("more than 50 entries", fileOf(entries(60)), entries(50), fileOf(entries(50)), {1, 49},
        u"Строк с записями, не поместившихся в список: 10."_qs);
}

void tst_PhoneBook::file()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, book);
    QFETCH(QByteArray, after);
    QFETCH(QPoint, cell);
    QFETCH(QString, lost);
    const bool notice = !lost.isNull();

    Run run;
    if (!before.isNull())
        run.writeFile(u"phones.tn"_qs, before);
    if (notice)
        run.dialogs.answerMessage(Answer::Ok);
    PhoneBook &model = run.start().phoneBook();

    QCOMPARE(bookOf(model.grid()), book);
    QCOMPARE(cellOf(model.grid()), QPoint(0, 0));
    QVERIFY(!model.PhoneCh);
    compareAsked(run.dialogs.calls(), notice ? QStringList {u"- ! ok: Телефонная книга прочитана не полностью.\r\n\r\n"_qs
                                                            + run.path(u"phones.tn"_qs) + u"\r\n\r\n"_qs + lost
                                                            + u"\r\n\r\nПри следующем сохранении*"_qs}
                                             : QStringList());

    QCOMPARE(model.SavePhone(), SaveOutcome::Saved);
    QCOMPARE(run.read(u"phones.tn"_qs), after);
    QCOMPARE(run.read(u"phones.tn.bak"_qs), notice ? before : QByteArray("<missing>"));
    QCOMPARE(cellOf(model.grid()), cell);
    // Only the first save keeps the file as it was loaded.
    model.SavePhone();
    QCOMPARE(run.read(u"phones.tn.bak"_qs), notice ? before : QByteArray("<missing>"));
}

void tst_PhoneBook::load_notAReadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("backupPromised");
    QTest::newRow("a link to itself") << u"loop"_qs << true;
    // Never saved over, so never kept as a copy either: no promise of one.
    QTest::newRow("a folder") << u"folder"_qs << false;
    QTest::newRow("a named pipe") << u"pipe"_qs << false;
    QTest::newRow("a link to a device") << u"device"_qs << false;
}

void tst_PhoneBook::load_notAReadableFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, backupPromised);
    Run run;
    const QString path = run.path(u"phones.tn"_qs);
    QVERIFY(kind == u"loop"_qs     ? QFile::link(path, path) // cannot be read, even by root
            : kind == u"folder"_qs ? QDir().mkdir(path)
            : kind == u"pipe"_qs   ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                   : QFile::link(u"/dev/null"_qs, path));
    run.dialogs.answerMessage(Answer::Ok);
    if (backupPromised)
        run.dialogs.answerMessage(Answer::Ok);

    QCOMPARE(bookOf(run.start().phoneBook().grid()), QString());
    QStringList asked {u"Чтение файла ! ok: Ошибка при чтении файла.*"_qs};
    if (backupPromised)
        asked << u"- ! ok: Телефонная книга прочитана не полностью.*"_qs;
    compareAsked(run.dialogs.calls(), asked);
}

void tst_PhoneBook::entriesCounted_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("word");
    const auto rows = [](std::initializer_list<int> counts, const QString &word) {
        for (const int count : counts)
            QTest::addRow("%d", count) << count << word;
    };
    rows({1, 21, 41}, u"запись"_qs);
    rows({2, 3, 4, 22, 23, 24, 42, 43, 44}, u"записи"_qs);
    rows({5, 11, 12, 13, 14, 20, 25, 49, 50}, u"записей"_qs);
}

void tst_PhoneBook::entriesCounted()
{
    QFETCH(int, count);
    QFETCH(QString, word);
    QCOMPARE(PhoneBook::entriesCounted(count), QString::number(count) + u' ' + word);
}

void tst_PhoneBook::commands_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QPoint>("cell"); // column, row current before the command
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("result"); // null: the book as it was, and not changed
    QTest::addColumn<QPoint>("after");

    const auto row = [](const char *name, const QString &book, QPoint cell, const QString &command,
                        const QStringList &answers, const QStringList &asked, const QString &result, QPoint after) {
        QTest::newRow(name) << book << cell << command << answers << asked << result << after;
    };
    const QString two = u"Anna|111;Boris|222"_qs;
    const QString add = u"add"_qs, edit = u"edit"_qs, del = u"delete"_qs, clear = u"clear"_qs, kept;
    const QString deleted = u"- ? okcancel: Будет удалена следующая запись:\r\n"_qs;
    const QString cleared = u"- ! yesno: Вы уверены, что хотите очистить список телефонов?"_qs;
    const QString refused = u"add ! ok: В имени и телефоне нельзя использовать*"_qs;
    const QString refusedEdit = u"edit ! ok: В имени и телефоне нельзя использовать*"_qs;
    const QString name = u"add name []"_qs, number = u"add number []"_qs;
    // A hand-edited book is full once its last row holds text, whatever the
    // rows above hold: the refusal counts the entries.
    const QString gappy = entries(20) + u";|"_qs.repeated(29) + u";N49|P49"_qs;

    row("add: cancel at name", two, {0, 0}, add, {u""_qs}, {name}, kept, {0, 0});
    row("add: cancel at number", two, {0, 0}, add, {u"Vera"_qs, u""_qs}, {name, number}, kept, {0, 0});
    row("add: on top, the current cell moves with its entry", two, {1, 1}, add, {u"Vera"_qs, u"333"_qs},
        {name, number}, u"Vera|333;"_qs + two, {1, 2});
    row("add: full book refused before asking", entries(50), {0, 0}, add, {},
        {u"add ! ok: Телефонная книга заполнена: в ней 50 записей. Удалите ненужную запись, чтобы добавить новую."_qs},
        kept, {0, 0});
    row("add: full book with gaps", gappy, {0, 0}, add, {}, {u"add ! ok: Телефонная книга заполнена: в ней 21 запись.*"_qs},
        kept, {0, 0});
    row("add: 49 entries, the 50th fits", entries(49), {0, 0}, add, {u"Vera"_qs, u"333"_qs}, {name, number},
        u"Vera|333;"_qs + entries(49), {0, 1});
    row("add: bar in the number refused", two, {0, 0}, add, {u"Vera"_qs, u"1|2"_qs}, {name, number, refused}, kept,
        {0, 0});
    row("add: grave in the name refused", two, {0, 0}, add, {u"Ve`ra"_qs}, {name, refused}, kept, {0, 0});
    row("add: TAB in the number refused", two, {0, 0}, add, {u"Vera"_qs, u"1\t2"_qs}, {name, number, refused}, kept,
        {0, 0});
    row("add: a typed ? is kept", two, {0, 0}, add, {u"Vera"_qs, u"?"_qs}, {name, number}, u"Vera|?;"_qs + two,
        {0, 1});
    row("add: outside the code page refused", two, {0, 0}, add, {u"Ve😀ra"_qs},
        {name, u"add ! ok: Символ \"😀\" (U+1F600) нельзя сохранить*"_qs}, kept, {0, 0});
    row("edit: the row of the current cell", two, {1, 1}, edit, {u"Bob"_qs, u"333"_qs},
        {u"edit name [Boris]"_qs, u"edit number [222]"_qs}, u"Anna|111;Bob|333"_qs, {1, 1});
    row("edit: an empty row fills the first free one", two, {0, 7}, edit, {u"Vera"_qs, u"333"_qs},
        {u"edit name []"_qs, u"edit number []"_qs}, two + u";Vera|333"_qs, {1, 2});
    row("edit: cancel at name", two, {1, 1}, edit, {u""_qs}, {u"edit name [Boris]"_qs}, kept, {0, 1});
    row("edit: CR in the name refused", two, {0, 0}, edit, {u"A\rnn"_qs}, {u"edit name [Anna]"_qs, refusedEdit}, kept,
        {0, 0});
    row("edit: LF in the number refused", two, {0, 0}, edit, {u"Ann"_qs, u"1\n1"_qs},
        {u"edit name [Anna]"_qs, u"edit number [111]"_qs, refusedEdit}, kept, {1, 0});
    row("edit: cancel at number", two, {0, 0}, edit, {u"Ann"_qs, u""_qs},
        {u"edit name [Anna]"_qs, u"edit number [111]"_qs}, kept, {1, 0});
    row("delete: name cell, OK, rows move up", entries(5), {0, 2}, del, {u"#ok"_qs}, {deleted + u"N2"_qs},
        u"N0|P0;N1|P1;N3|P3;N4|P4"_qs, {0, 2});
    row("delete: number cell, Cancel", two, {1, 1}, del, {u"#cancel"_qs}, {deleted + u"222"_qs}, kept, {1, 1});
    row("delete: empty row", two, {0, 7}, del, {u"#ok"_qs}, {deleted}, two, {0, 7});
    row("clear: No", two, {1, 1}, clear, {u"#no"_qs}, {cleared}, kept, {1, 1});
    row("clear: Yes", two, {1, 1}, clear, {u"#yes"_qs}, {cleared}, u""_qs, {0, 0});
}

void tst_PhoneBook::commands()
{
    QFETCH(QString, book);
    QFETCH(QPoint, cell);
    QFETCH(QString, command);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, asked);
    QFETCH(QString, result);
    QFETCH(QPoint, after);
    const QHash<QString, void (PhoneBook::*)()> commands {{u"add"_qs, &PhoneBook::addEntry},
                                                          {u"edit"_qs, &PhoneBook::editEntry},
                                                          {u"delete"_qs, &PhoneBook::deleteEntry},
                                                          {u"clear"_qs, &PhoneBook::clearAll}};

    Run run;
    PhoneBook &model = startedWith(run, book);
    model.grid().setCurrentCell(cell.y(), cell.x());
    answer(run.dialogs, answers);
    if (asked.size() > answers.size())
        run.dialogs.answerMessage(Answer::Ok); // the refusal
    (model.*commands.value(command))();

    compareAsked(run.dialogs.calls(), asked);
    QCOMPARE(bookOf(model.grid()), result.isNull() ? book : result);
    QCOMPARE(model.grid().rowCount(), 50);
    QCOMPARE(model.PhoneCh, !result.isNull());
    QCOMPARE(cellOf(model.grid()), after);
    QCOMPARE(run.read(u"phones.tn"_qs), fileOf(book));
}

void tst_PhoneBook::save_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // empty: saved

    QTest::newRow("saved") << QString() << QString();
    QTest::newRow("write fails") << u"write"_qs << u"Запись файла ! ok: Ошибка при записи файла:*"_qs;
    QTest::newRow("conversion fails") << u"conversion"_qs << u"- x ok: Ошибка при преобразовании данных."_qs;
    // A damaged file is kept beside the new one; a failed save keeps it to keep.
    QTest::newRow("damaged file, its copy cannot be made, then can")
        << u"backup"_qs << u"Запись файла ! ok: Ошибка при записи файла:*"_qs;
}

// The save command and the shut-down save: a failure keeps PhoneCh, the old
// file and the open window.
void tst_PhoneBook::save()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QStringList failure = message.isEmpty() ? QStringList() : QStringList {message};

    Run run;
    const QByteArray old = fault == u"backup"_qs ? QByteArray("Anna|111|x|\r\n") : fileOf(u"Anna|111"_qs);
    if (fault != u"write"_qs)
        run.writeFile(u"phones.tn"_qs, old);
    if (fault == u"backup"_qs) {
        QVERIFY(QDir(run.dir.path()).mkdir(u"phones.tn.bak"_qs));
        run.dialogs.answerMessage(Answer::Ok); // the load notice
    }
    frmMain &window = run.start();
    PhoneBook &model = window.phoneBook();
    if (fault == u"write"_qs)
        QVERIFY(QDir(run.dir.path()).mkdir(u"phones.tn"_qs)); // a folder cannot be replaced by a file
    if (fault == u"conversion"_qs)
        model.gridToText = [](PhoneGrid &) { return std::optional<QString>(); };
    answer(run.dialogs, {u"Vera"_qs, u"333"_qs});
    model.addEntry();
    run.dialogs.clear();

    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QCOMPARE(model.SavePhone(), message.isEmpty() ? SaveOutcome::Saved : SaveOutcome::Failed);
    compareAsked(run.dialogs.calls(), failure);
    QCOMPARE(model.PhoneCh, !message.isEmpty());
    if (fault != u"write"_qs)
        QCOMPARE(run.read(u"phones.tn"_qs), message.isEmpty() ? fileOf(u"Vera|333;Anna|111"_qs) : old);

    model.PhoneCh = true;
    run.dialogs.clear();
    run.dialogs.answerMessage(Answer::Yes);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QCOMPARE(window.Form_Unload(), message.isEmpty());
    QCOMPARE(run.dialogs.calls().size(), 1 + failure.size());
    QCOMPARE(model.PhoneCh, !message.isEmpty());

    if (fault == u"backup"_qs) {
        QVERIFY(QDir(run.path(u"phones.tn.bak"_qs)).removeRecursively());
        QCOMPARE(model.SavePhone(), SaveOutcome::Saved);
        QCOMPARE(run.read(u"phones.tn.bak"_qs), old);
        QCOMPARE(run.read(u"phones.tn"_qs), fileOf(u"Vera|333;Anna|111"_qs));
    }
}

void tst_PhoneBook::page_showsTheBookAndRunsItsCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QPoint>("cell"); // column, row the user picks first
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("book");
    QTest::addColumn<QPoint>("after");

    const QString two = u"Anna|111;Boris|222"_qs;
    QTest::newRow("add") << u"cmdAddPhone"_qs << QPoint(1, 1) << QStringList {u"Vera"_qs, u"333"_qs}
                         << u"Vera|333;"_qs + two << QPoint(1, 2);
    // The cell asked for is shown while the dialog is up.
    QTest::newRow("edit, cancel at number")
        << u"cmdEditPhone"_qs << QPoint(0, 1) << QStringList {u"Bob"_qs, u""_qs} << two << QPoint(1, 1);
    QTest::newRow("delete") << u"cmdDelPhone"_qs << QPoint(1, 0) << QStringList {u"#ok"_qs} << u"Boris|222"_qs
                            << QPoint(1, 0);
    QTest::newRow("clear all") << u"cmdClearAllPhone"_qs << QPoint(1, 1) << QStringList {u"#yes"_qs} << QString()
                               << QPoint(0, 0);
    QTest::newRow("save") << u"cmdSaveGrid"_qs << QPoint(0, 0) << QStringList() << two << QPoint(0, 2);
}

void tst_PhoneBook::page_showsTheBookAndRunsItsCommands()
{
    QFETCH(QString, button);
    QFETCH(QPoint, cell);
    QFETCH(QStringList, answers);
    QFETCH(QString, book);
    QFETCH(QPoint, after);

    Run run;
    const PhoneGrid &grid = startedWith(run, u"Anna|111;Boris|222"_qs).grid();
    PhonePage &page = *run.window->page<PhonePage>(frmMain::PagePhones);
    QCOMPARE(shownBook(*page.Grid1), bookOf(grid));
    page.Grid1->setCurrentCell(cell.y(), cell.x());
    QCOMPARE(cellOf(grid), cell);

    answer(run.dialogs, answers);
    page.findChild<QPushButton *>(button)->click();
    QCOMPARE(bookOf(grid), book);
    QCOMPARE(shownBook(*page.Grid1), book);
    QCOMPARE(page.Grid1->rowCount(), 50);
    QCOMPARE(cellOf(grid), after);
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), after);
}

void tst_PhoneBook::page_currentCellIsTheOnlySelection()
{
    Run run;
    const PhoneGrid &model = startedWith(run, entries(5)).grid();
    frmMain &window = *run.window;
    window.SSTab1->setCurrentIndex(frmMain::PagePhones);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTableWidget *grid = window.page<PhonePage>(frmMain::PagePhones)->Grid1;

    // A click, a Ctrl+click on another cell, a Ctrl+click on the current one.
    for (const QPoint &cell : {QPoint(0, 1), QPoint(1, 3), QPoint(1, 3)}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, cell.y() == 1 ? Qt::NoModifier : Qt::ControlModifier,
                          grid->visualItemRect(grid->item(cell.y(), cell.x())).center());
        QCOMPARE(grid->selectedItems(), QList {grid->currentItem()});
        QCOMPARE(cellOf(model), cell);
    }
}

QTEST_MAIN(tst_PhoneBook)
#include "tst_phonebook.moc"
