#include "frmmain.h"
#include "modulegrid1.h"
#include "phonegrid.h"
#include "phonepage.h"
#include "run.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;
using Kind = FakeDialogs::Kind;

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

// A dialog as the tables write it: "name [default]" or "number [default]"
// for an input box, "icon buttons: text" for a message, each after the tag of
// its title ("add", "edit", "-" for the program's title).
QString describe(const FakeDialogs::Call &call)
{
    const QString tag = call.title == u"Добавление записи в телефонную книгу"_qs ? u"add "_qs
                      : call.title == u"Изменение записи в телефонной книге"_qs  ? u"edit "_qs
                      : call.title == u"Orvane Tarnel 2001"_qs                   ? u"- "_qs
                                                                                 : call.title + u' ';
    if (call.kind == Kind::Input)
        return tag
             + (call.prompt == u"Введите имя человека:"_qs ? u"name"_qs
                : call.prompt == u"Введите телефон:"_qs    ? u"number"_qs
                                                           : call.prompt)
             + u" ["_qs + call.defaultText + u']';
    return tag + FakeDialogs::describe(call.message);
}

// An expected text ending in "*" is a prefix.
void compareAsked(const QList<FakeDialogs::Call> &calls, const QStringList &expected)
{
    QStringList actual;
    for (const FakeDialogs::Call &call : calls)
        actual << describe(call);
    for (int i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        if (expected.at(i).endsWith(u'*') && actual.at(i).startsWith(expected.at(i).chopped(1)))
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
    void load_readFailure_toldAndGridEmpty_data();
    void load_readFailure_toldAndGridEmpty();
    void commands_data();
    void commands();
    void grid_currentCellIsTheOnlySelection();
    void save_data();
    void save();
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

    PhoneGrid grid(PhonePage::Rows);
    grid.setText(0, 0, held.section(u'|', 0, 0));
    grid.setText(0, 1, held.section(u'|', 1, 1));
    const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, grid, PhonePage::Rows);

    QCOMPARE(grid.rowCount(), 50);
    QCOMPARE(bookOf(grid), book);
    QCOMPARE(loss.rowsDropped, dropped);
    QCOMPARE(loss.rowsShortened, shortened);
    QVERIFY(!text.contains(u"\r\n"_qs));
}

// Load at start-up, then the save button.
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
    frmMain &window = run.start();
    PhonePage &page = *window.page<PhonePage>(frmMain::PagePhones);

    QCOMPARE(bookOf(page.grid()), book);
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), QPoint(0, 0));
    QVERIFY(!window.phoneBook().PhoneCh);
    compareAsked(run.dialogs.calls(), notice
                                          ? QStringList {u"- ! ok: Телефонная книга прочитана не полностью.\r\n\r\n"_qs
                                                         + run.path(u"phones.tn"_qs) + u"\r\n\r\n"_qs + lost
                                                         + u"\r\n\r\nПри следующем сохранении*"_qs}
                                          : QStringList());

    page.cmdSaveGrid->click();
    QCOMPARE(run.read(u"phones.tn"_qs), after);
    QCOMPARE(run.read(u"phones.tn.bak"_qs), notice ? before : QByteArray("<missing>"));
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), cell);
    QVERIFY(!window.phoneBook().PhoneCh);

    // Only the first save keeps the file as it was loaded.
    page.cmdSaveGrid->click();
    QCOMPARE(run.read(u"phones.tn.bak"_qs), notice ? before : QByteArray("<missing>"));
}

void tst_PhoneBook::load_readFailure_toldAndGridEmpty_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("backupPromised");
    QTest::newRow("a link to itself") << u"loop"_qs << true;
    // Never saved over, so never kept as a copy either: no promise of one.
    QTest::newRow("a folder") << u"folder"_qs << false;
    QTest::newRow("a named pipe") << u"pipe"_qs << false;
    QTest::newRow("a link to a device") << u"device"_qs << false;
}

void tst_PhoneBook::load_readFailure_toldAndGridEmpty()
{
    QFETCH(QString, kind);
    QFETCH(bool, backupPromised);
    Run run;
    const QString path = run.path(u"phones.tn"_qs);
    if (kind == u"loop"_qs) // cannot be read, even by root
        QVERIFY(QFile::link(path, path));
    else if (kind == u"folder"_qs)
        QVERIFY(QDir().mkdir(path));
    else if (kind == u"pipe"_qs)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(u"/dev/null"_qs, path));
    run.dialogs.answerMessage(Answer::Ok);
    if (backupPromised)
        run.dialogs.answerMessage(Answer::Ok);
    const PhonePage &page = *run.start().page<PhonePage>(frmMain::PagePhones);

    QCOMPARE(bookOf(page.grid()), QString());
    QStringList asked {u"Чтение файла ! ok: Ошибка при чтении файла.*"_qs};
    if (backupPromised)
        asked << u"- ! ok: Телефонная книга прочитана не полностью.*"_qs;
    compareAsked(run.dialogs.calls(), asked);
}

void tst_PhoneBook::commands_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QPoint>("cell"); // column, row selected before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("answers"); // "#ok", "#cancel", "#yes", "#no" answer messages
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("result"); // "=": the book as it was (kept: and not changed)
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QPoint>("after");

    const auto row
        = [](const char *name, const QString &book, QPoint cell, const QString &button, const QStringList &answers,
             const QStringList &asked, const QString &result, bool changed, QPoint after) {
              QTest::newRow(name) << book << cell << button << answers << asked << result << changed << after;
          };
    const auto kept = [&row](const char *name, const QString &book, QPoint cell, const QString &button,
                             const QStringList &answers, const QStringList &asked,
                             QPoint after) { row(name, book, cell, button, answers, asked, u"="_qs, false, after); };
    const QString two = u"Anna|111;Boris|222"_qs;
    const QString add = u"cmdAddPhone"_qs;
    const QString edit = u"cmdEditPhone"_qs;
    const QString del = u"cmdDelPhone"_qs;
    const QString clear = u"cmdClearAllPhone"_qs;
    const QString deleted = u"- ? okcancel: Будет удалена следующая запись:\r\n"_qs;
    const QString cleared = u"- ! yesno: Вы уверены, что хотите очистить список телефонов?"_qs;
    const QString refused = u"add ! ok: В имени и телефоне нельзя использовать*"_qs;
    const QString refusedEdit = u"edit ! ok: В имени и телефоне нельзя использовать*"_qs;
    const QString name = u"add name []"_qs;
    const QString number = u"add number []"_qs;

    kept("add: cancel at name", two, {0, 0}, add, {u""_qs}, {name}, {0, 0});
    kept("add: cancel at number", two, {0, 0}, add, {u"Vera"_qs, u""_qs}, {name, number}, {0, 0});
    row("add: on top, the selection moves with its entry", two, {1, 1}, add, {u"Vera"_qs, u"333"_qs}, {name, number},
        u"Vera|333;"_qs + two, true, {1, 2});
    kept("add: full book refused before asking", entries(50), {0, 0}, add, {},
         {u"add ! ok: Телефонная книга заполнена: в ней 50 записей.*"_qs}, {0, 0});
    // A hand-edited book is full once its last row holds text, at any count:
    // the refusal counts the entries in the right Russian form.
    const struct
    {
        int count;
        const char16_t *word;
    } fullAt[] = {{1, u"запись"},   {21, u"запись"},  {41, u"запись"},  {2, u"записи"},   {3, u"записи"},
                  {4, u"записи"},   {22, u"записи"},  {23, u"записи"},  {24, u"записи"},  {42, u"записи"},
                  {43, u"записи"},  {44, u"записи"},  {5, u"записей"},  {11, u"записей"}, {12, u"записей"},
                  {13, u"записей"}, {14, u"записей"}, {20, u"записей"}, {25, u"записей"}, {49, u"записей"}};
    for (const auto &full : fullAt) {
        QStringList rows;
        for (int i = 0; i < 50; ++i)
            rows << (i < full.count - 1 || i == 49 ? u"N%1|P%1"_qs.arg(i) : u"|"_qs);
        const QByteArray name = "add: full book with gaps, " + QByteArray::number(full.count) + " entries";
        kept(name.constData(), rows.join(u';'), {0, 0}, add, {},
             {u"add ! ok: Телефонная книга заполнена: в ней %1 %2.*"_qs.arg(full.count)
                  .arg(QString::fromUtf16(full.word))},
             {0, 0});
    }
    row("add: 49 entries, the 50th fits", entries(49), {0, 0}, add, {u"Vera"_qs, u"333"_qs}, {name, number},
        u"Vera|333;"_qs + entries(49), true, {0, 1});
    kept("add: bar in the number refused", two, {0, 0}, add, {u"Vera"_qs, u"1|2"_qs}, {name, number, refused}, {0, 0});
    kept("add: grave in the name refused", two, {0, 0}, add, {u"Ve`ra"_qs}, {name, refused}, {0, 0});
    kept("add: TAB in the number refused", two, {0, 0}, add, {u"Vera"_qs, u"1\t2"_qs}, {name, number, refused}, {0, 0});
    row("add: a typed ? is kept", two, {0, 0}, add, {u"Vera"_qs, u"?"_qs}, {name, number}, u"Vera|?;"_qs + two, true,
        {0, 1});
    kept("add: outside the code page refused", two, {0, 0}, add, {u"Ve😀ra"_qs},
         {name, u"add ! ok: Символ \"😀\" (U+1F600) нельзя сохранить*"_qs}, {0, 0});
    row("edit: the row of the current cell", two, {1, 1}, edit, {u"Bob"_qs, u"333"_qs},
        {u"edit name [Boris]"_qs, u"edit number [222]"_qs}, u"Anna|111;Bob|333"_qs, true, {1, 1});
    row("edit: an empty row fills the first free one", two, {0, 7}, edit, {u"Vera"_qs, u"333"_qs},
        {u"edit name []"_qs, u"edit number []"_qs}, two + u";Vera|333"_qs, true, {1, 2});
    kept("edit: cancel at name", two, {1, 1}, edit, {u""_qs}, {u"edit name [Boris]"_qs}, {0, 1});
    kept("edit: CR in the name refused", two, {0, 0}, edit, {u"A\rnn"_qs}, {u"edit name [Anna]"_qs, refusedEdit},
         {0, 0});
    kept("edit: LF in the number refused", two, {0, 0}, edit, {u"Ann"_qs, u"1\n1"_qs},
         {u"edit name [Anna]"_qs, u"edit number [111]"_qs, refusedEdit}, {1, 0});
    kept("edit: cancel at number", two, {0, 0}, edit, {u"Ann"_qs, u""_qs},
         {u"edit name [Anna]"_qs, u"edit number [111]"_qs}, {1, 0});
    row("delete: name cell, OK, rows move up", entries(5), {0, 2}, del, {u"#ok"_qs}, {deleted + u"N2"_qs},
        u"N0|P0;N1|P1;N3|P3;N4|P4"_qs, true, {0, 2});
    kept("delete: number cell, Cancel", two, {1, 1}, del, {u"#cancel"_qs}, {deleted + u"222"_qs}, {1, 1});
    row("delete: empty row", two, {0, 7}, del, {u"#ok"_qs}, {deleted}, u"="_qs, true, {0, 7});
    kept("clear: No", two, {1, 1}, clear, {u"#no"_qs}, {cleared}, {1, 1});
    row("clear: Yes", two, {1, 1}, clear, {u"#yes"_qs}, {cleared}, QString(), true, {0, 0});
}

void tst_PhoneBook::commands()
{
    QFETCH(QString, book);
    QFETCH(QPoint, cell);
    QFETCH(QString, button);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, asked);
    QFETCH(QString, result);
    QFETCH(bool, changed);
    QFETCH(QPoint, after);

    const QStringList messageAnswers {u"#ok"_qs, u"#cancel"_qs, u"#yes"_qs, u"#no"_qs};
    const Answer answerOf[] = {Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No};
    Run run;
    run.writeFile(u"phones.tn"_qs, fileOf(book));
    if (book.contains(u";|;"_qs))
        run.dialogs.answerMessage(Answer::Ok); // the load notice of a gap
    frmMain &window = run.start();
    run.dialogs.clear();
    PhonePage &page = *window.page<PhonePage>(frmMain::PagePhones);
    page.Grid1->setCurrentCell(cell.y(), cell.x());
    for (const QString &answer : answers) {
        if (messageAnswers.contains(answer))
            run.dialogs.answerMessage(answerOf[messageAnswers.indexOf(answer)]);
        else
            run.dialogs.answerInput(answer);
    }
    if (asked.size() > answers.size())
        run.dialogs.answerMessage(Answer::Ok); // the refusal

    page.findChild<QPushButton *>(button)->click();

    compareAsked(run.dialogs.calls(), asked);
    QCOMPARE(bookOf(page.grid()), result == u"="_qs ? book : result);
    QCOMPARE(page.grid().rowCount(), 50);
    QCOMPARE(page.Grid1->rowCount(), 50);
    QCOMPARE(page.Grid1->item(0, 0)->text(), page.grid().text(0, 0));
    QCOMPARE(window.phoneBook().PhoneCh, changed);
    QCOMPARE(QPoint(page.grid().col(), page.grid().row()), after);
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), after);
    QCOMPARE(run.read(u"phones.tn"_qs), fileOf(book));
}

void tst_PhoneBook::grid_currentCellIsTheOnlySelection()
{
    Run run;
    run.writeFile(u"phones.tn"_qs, fileOf(entries(5)));
    frmMain &window = run.start();
    window.SSTab1->setCurrentIndex(frmMain::PagePhones);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const PhonePage &page = *window.page<PhonePage>(frmMain::PagePhones);
    QTableWidget *grid = page.Grid1;

    // A click, a Ctrl+click on another cell, a Ctrl+click on the current one.
    for (const QPoint &cell : {QPoint(0, 1), QPoint(1, 3), QPoint(1, 3)}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, cell.y() == 1 ? Qt::NoModifier : Qt::ControlModifier,
                          grid->visualItemRect(grid->item(cell.y(), cell.x())).center());
        QCOMPARE(grid->selectedItems(), QList {grid->currentItem()});
        QCOMPARE(QPoint(page.grid().col(), page.grid().row()), cell);
    }
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

// The save button and the shut-down save: a failure keeps PhoneCh, the old
// file and the open window.
void tst_PhoneBook::save()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);

    Run run;
    const QByteArray old = fault == u"backup"_qs ? QByteArray("Anna|111|x|\r\n") : fileOf(u"Anna|111"_qs);
    if (fault != u"write"_qs)
        run.writeFile(u"phones.tn"_qs, old);
    if (fault == u"backup"_qs) {
        QVERIFY(QDir(run.dir.path()).mkdir(u"phones.tn.bak"_qs));
        run.dialogs.answerMessage(Answer::Ok); // the load notice
    }
    frmMain &window = run.start();
    if (fault == u"write"_qs)
        QVERIFY(QDir(run.dir.path()).mkdir(u"phones.tn"_qs)); // a folder cannot be replaced by a file
    PhonePage &page = *window.page<PhonePage>(frmMain::PagePhones);
    if (fault == u"conversion"_qs)
        page.gridToText = [](PhoneGrid &) { return std::optional<QString>(); };
    run.dialogs.answerInput(u"Vera"_qs);
    run.dialogs.answerInput(u"333"_qs);
    page.cmdAddPhone->click();
    run.dialogs.clear();

    const QStringList failure = message.isEmpty() ? QStringList() : QStringList {message};
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    page.cmdSaveGrid->click();
    compareAsked(run.dialogs.calls(), failure);
    QCOMPARE(window.phoneBook().PhoneCh, !message.isEmpty());
    if (fault != u"write"_qs)
        QCOMPARE(run.read(u"phones.tn"_qs), message.isEmpty() ? fileOf(u"Vera|333;Anna|111"_qs) : old);

    window.phoneBook().PhoneCh = true;
    run.dialogs.clear();
    run.dialogs.answerMessage(Answer::Yes);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QCOMPARE(window.Form_Unload(), message.isEmpty());
    QCOMPARE(run.dialogs.calls().size(), 1 + failure.size());
    QCOMPARE(window.phoneBook().PhoneCh, !message.isEmpty());

    if (fault == u"backup"_qs) {
        QVERIFY(QDir(run.path(u"phones.tn.bak"_qs)).removeRecursively());
        page.cmdSaveGrid->click();
        QCOMPARE(run.read(u"phones.tn.bak"_qs), old);
        QCOMPARE(run.read(u"phones.tn"_qs), fileOf(u"Vera|333;Anna|111"_qs));
    }
}

QTEST_MAIN(tst_PhoneBook)
#include "tst_phonebook.moc"
