#include "frmmain.h"
#include "modulegrid1.h"
#include "phonegrid.h"
#include "phonepage.h"
#include "run.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using Answer = platform::Dialogs::Answer;
using Buttons = platform::Dialogs::Buttons;
using Icon = platform::Dialogs::Icon;
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

PhoneGrid gridOf(const QString &book)
{
    PhoneGrid grid(PhonePage::Rows);
    const QStringList rows = book.isEmpty() ? QStringList() : book.split(u';');
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells = rows.at(row).split(u'|');
        grid.setText(row, 0, cells.value(0));
        grid.setText(row, 1, cells.value(1));
    }
    return grid;
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

QString tagOf(const QString &title)
{
    if (title == u"Добавление записи в телефонную книгу"_qs)
        return u"add"_qs;
    if (title == u"Изменение записи в телефонной книге"_qs)
        return u"edit"_qs;
    return title == u"Orvane Tarnel 2001"_qs ? u"-"_qs : title;
}

// "add: prompt [default]" for an input box, "- ? okcancel: text" for a message.
QString describe(const FakeDialogs::Call &call)
{
    if (call.kind == Kind::Input)
        return tagOf(call.title) + u": "_qs + call.prompt + u" ["_qs + call.defaultText + u']';
    static const QHash<Icon, QString> icons {
        {Icon::None, u"."_qs}, {Icon::Critical, u"x"_qs}, {Icon::Exclamation, u"!"_qs}, {Icon::Question, u"?"_qs}};
    static const QHash<Buttons, QString> buttons {
        {Buttons::Ok, u"ok"_qs}, {Buttons::OkCancel, u"okcancel"_qs}, {Buttons::YesNo, u"yesno"_qs}};
    return tagOf(call.title) + u' ' + icons.value(call.message.icon) + u' '
         + buttons.value(call.message.buttons, u"other"_qs) + u": "_qs + call.message.text;
}

// An expected text ending in "*" is a prefix.
void compareAsked(const QList<FakeDialogs::Call> &calls, const QStringList &expected)
{
    QCOMPARE(calls.size(), expected.size());
    for (int i = 0; i < calls.size(); ++i) {
        const QString actual = describe(calls.at(i));
        const QString &want = expected.at(i);
        if (want.endsWith(u'*'))
            QVERIFY2(actual.startsWith(want.chopped(1)), qPrintable(actual));
        else
            QCOMPARE(actual, want);
    }
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_PhoneBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToGrid_data();
    void textToGrid();
    void gridToText_data();
    void gridToText();
    void grid_shape();
    void file_data();
    void file();
    void load_readFailure_toldAndGridEmpty();
    void commands_data();
    void commands();
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

    QTest::newRow("as saved") << u"Anna|111|\r\nBoris|222|\r\n\r\n"_qs << QString() << u"Anna|111;Boris|222"_qs << 0
                              << 0;
    QTest::newRow("no trailing bar") << u"Anna|111\r\n"_qs << QString() << u"Anna|111"_qs << 0 << 0;
    QTest::newRow("third part dropped") << u"a|b|c|\r\n"_qs << QString() << u"a|b"_qs << 0 << 1;
    QTest::newRow("name only") << u"Anna\r\n"_qs << QString() << u"Anna|"_qs << 0 << 0;
    QTest::newRow("grave ends a row") << u"An`na|1\r\n"_qs << QString() << u"An|;na|1"_qs << 0 << 0;
    QTest::newRow("TAB splits like a bar") << u"a\tb\r\n"_qs << QString() << u"a|b"_qs << 0 << 0;
    QTest::newRow("empty line keeps its row") << u"a|1|\r\n\r\nb|2|\r\n"_qs << QString() << u"a|1;|;b|2"_qs << 0 << 0;
    QTest::newRow("only bars") << u"||||\r\n"_qs << QString() << QString() << 0 << 0;
    QTest::newRow("only graves") << QString(1000, u'`') << QString() << QString() << 0 << 0;
    QTest::newRow("before the held rows, last row even empty")
        << u"a|1|\r\n"_qs << u"Old|0"_qs << u"a|1;|;Old|0"_qs << 0 << 0;
    QTest::newRow("held row pushed out counts")
        << QString::fromUtf8(fileOf(entries(49))).chopped(2) << u"Old|0"_qs << entries(49) << 1 << 0;
    QTest::newRow("beyond 50 rows") << QString::fromUtf8(fileOf(entries(60))) << QString() << entries(50) << 10 << 0;
    QTest::newRow("40,000 lines") << u"x|1|\r\n"_qs.repeated(40000) << QString()
                                  << QStringList(50, u"x|1"_qs).join(u';') << 39950 << 0;
    QTest::newRow("100,000 characters") << QString(100000, u'a') + u"|1\r\n"_qs << QString()
                                        << QString(100000, u'a') + u"|1"_qs << 0 << 0;
}

void tst_PhoneBook::textToGrid()
{
    QFETCH(QString, text);
    QFETCH(QString, held);
    QFETCH(QString, book);
    QFETCH(int, dropped);
    QFETCH(int, shortened);

    PhoneGrid grid = gridOf(held);
    const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, grid, PhonePage::Rows);

    QCOMPARE(grid.rowCount(), 50);
    QCOMPARE(bookOf(grid), book);
    QCOMPARE(loss.rowsDropped, dropped);
    QCOMPARE(loss.rowsShortened, shortened);
    QVERIFY(!text.contains(u"\r\n"_qs));
}

void tst_PhoneBook::gridToText_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("cell"); // column, row

    QTest::newRow("empty") << QString() << QString() << QPoint(0, 0);
    QTest::newRow("two entries") << u"Anna|111;Boris|222"_qs << u"Anna|111|\r\nBoris|222|\r\n"_qs << QPoint(0, 2);
    QTest::newRow("stops inside a row") << u"Anna|"_qs << u"Anna|"_qs << QPoint(1, 0);
    QTest::newRow("stops at a gap") << u"a|1;|;b|2"_qs << u"a|1|\r\n"_qs << QPoint(0, 1);
    QTest::newRow("full") << entries(50) << QString::fromUtf8(fileOf(entries(50))).chopped(2) << QPoint(1, 49);
}

void tst_PhoneBook::gridToText()
{
    QFETCH(QString, book);
    QFETCH(QString, text);
    QFETCH(QPoint, cell);

    PhoneGrid grid = gridOf(book);
    QCOMPARE(ModuleGrid1::GridToText(grid), std::optional<QString>(text));
    QCOMPARE(QPoint(grid.col(), grid.row()), cell);
}

void tst_PhoneBook::grid_shape()
{
    Run run;
    const PhonePage &page = *run.start().phonePage;
    QCOMPARE(page.Grid1->rowCount(), 50);
    QCOMPARE(page.Grid1->columnCount(), 2);
    QCOMPARE(page.Grid1->columnWidth(0), 200);
    QCOMPARE(page.Grid1->columnWidth(1), 133);
    QVERIFY(page.Grid1->horizontalHeader()->isHidden() && page.Grid1->verticalHeader()->isHidden());
    QCOMPARE(page.Grid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), QPoint(0, 0));
}

void tst_PhoneBook::file_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("book");
    QTest::addColumn<QByteArray>("after"); // what the next save writes
    QTest::addColumn<bool>("notice"); // rows lost: told, and the old file kept

    QTest::newRow("no file") << QByteArray() << QString() << QByteArray("\r\n") << false;
    QTest::newRow("empty book") << QByteArray("\r\n") << QString() << QByteArray("\r\n") << false;
    QTest::newRow("one entry") << fileOf(u"Anna|111"_qs) << u"Anna|111"_qs << fileOf(u"Anna|111"_qs) << false;
    QTest::newRow("two entries") << QByteArray("Anna|111|\r\nBoris|222|\r\n\r\n") << u"Anna|111;Boris|222"_qs
                                 << QByteArray("Anna|111|\r\nBoris|222|\r\n\r\n") << false;
    QTest::newRow("fifty entries") << fileOf(entries(50)) << entries(50) << fileOf(entries(50)) << false;
    QTest::newRow("no trailing bar, no last line end")
        << QByteArray("Anna|111") << u"Anna|111"_qs << fileOf(u"Anna|111"_qs) << false;
    QTest::newRow("third part") << QByteArray("a|b|c|\r\n") << u"a|b"_qs << fileOf(u"a|b"_qs) << true;
    QTest::newRow("entry below an empty line")
        << QByteArray("a|1|\r\n\r\nb|2|\r\n") << u"a|1;|;b|2"_qs << fileOf(u"a|1"_qs) << true;
    QTest::newRow("line without a number before entries")
        << QByteArray("a\r\nb|2|\r\n") << u"a|;b|2"_qs << QByteArray("a|\r\n") << true;
    QTest::newRow("more than 50 entries") << fileOf(entries(60)) << entries(50) << fileOf(entries(50)) << true;
}

void tst_PhoneBook::file()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, book);
    QFETCH(QByteArray, after);
    QFETCH(bool, notice);

    Run run;
    if (!before.isNull())
        run.writeFile(u"phones.tn"_qs, before);
    if (notice)
        run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();
    PhonePage &page = *window.phonePage;

    QCOMPARE(bookOf(page.grid()), book);
    QCOMPARE(QPoint(page.grid().col(), page.grid().row()), QPoint(0, 0));
    QVERIFY(!window.context().state.PhoneCh);
    if (notice)
        compareAsked(run.dialogs.calls(), {u"- ! ok: Телефонная книга прочитана не полностью.\r\n\r\n"_qs
                                           + run.path(u"phones.tn"_qs) + u"\r\n\r\n*"_qs});
    else
        QVERIFY(run.dialogs.calls().isEmpty());

    page.cmdSaveGrid->click();
    QCOMPARE(readAll(run.path(u"phones.tn"_qs)), after);
    QCOMPARE(readAll(run.path(u"phones.tn.bak"_qs)), notice ? before : QByteArray("<missing>"));
    QVERIFY(!window.context().state.PhoneCh);
}

void tst_PhoneBook::load_readFailure_toldAndGridEmpty()
{
    Run run;
    // A link to itself cannot be read, even by root.
    QVERIFY(QFile::link(run.path(u"phones.tn"_qs), run.path(u"phones.tn"_qs)));
    run.dialogs.answerMessage(Answer::Ok);
    run.dialogs.answerMessage(Answer::Ok);
    const PhonePage &page = *run.start().phonePage;

    QCOMPARE(bookOf(page.grid()), QString());
    compareAsked(run.dialogs.calls(), {u"Чтение файла ! ok: Ошибка при чтении файла.*"_qs,
                                       u"- ! ok: Телефонная книга прочитана не полностью.*"_qs});
}

void tst_PhoneBook::commands_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QPoint>("cell"); // column, row selected before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("answers"); // "#ok", "#cancel", "#yes", "#no" answer messages
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("book");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QPoint>("after");

    const QByteArray two = fileOf(u"Anna|111;Boris|222"_qs);
    const QString name = u": Введите имя человека: ["_qs;
    const QString number = u": Введите телефон: ["_qs;
    const QString add = u"cmdAddPhone"_qs;
    const QString edit = u"cmdEditPhone"_qs;
    const QString del = u"cmdDelPhone"_qs;
    const QString clear = u"cmdClearAllPhone"_qs;
    const QString deleteAsked = u"- ? okcancel: Будет удалена следующая запись:\r\n"_qs;
    const QString clearAsked = u"- ! yesno: Вы уверены, что хотите очистить список телефонов?"_qs;
    const QString refused = u"add ! ok: В имени и телефоне нельзя использовать*"_qs;

    QTest::newRow("add: cancel at name") << two << QPoint(0, 0) << add << QStringList {QString()}
                                         << QStringList {u"add"_qs + name + u']'} << u"Anna|111;Boris|222"_qs << false
                                         << QPoint(0, 0);
    QTest::newRow("add: cancel at number") << two << QPoint(0, 0) << add << QStringList {u"Vera"_qs, QString()}
                                           << QStringList {u"add"_qs + name + u']', u"add"_qs + number + u']'}
                                           << u"Anna|111;Boris|222"_qs << false << QPoint(0, 0);
    QTest::newRow("add: on top, the selection moves down with its entry")
        << two << QPoint(1, 1) << add << QStringList {u"Vera"_qs, u"333"_qs}
        << QStringList {u"add"_qs + name + u']', u"add"_qs + number + u']'} << u"Vera|333;Anna|111;Boris|222"_qs << true
        << QPoint(1, 2);
    QTest::newRow("add: full book refused before asking")
        << fileOf(entries(50)) << QPoint(0, 0) << add << QStringList()
        << QStringList {u"add ! ok: Телефонная книга заполнена: в ней 50 записей.*"_qs} << entries(50) << false
        << QPoint(0, 0);
    QTest::newRow("add: bar refused") << two << QPoint(0, 0) << add << QStringList {u"A|b"_qs}
                                      << QStringList {u"add"_qs + name + u']', refused} << u"Anna|111;Boris|222"_qs
                                      << false << QPoint(0, 0);
    QTest::newRow("add: line break refused")
        << two << QPoint(0, 0) << add << QStringList {u"Vera"_qs, u"1\n2"_qs}
        << QStringList {u"add"_qs + name + u']', u"add"_qs + number + u']', refused} << u"Anna|111;Boris|222"_qs
        << false << QPoint(0, 0);
    QTest::newRow("add: outside the code page refused")
        << two << QPoint(0, 0) << add << QStringList {u"Ve😀ra"_qs}
        << QStringList {u"add"_qs + name + u']', u"add ! ok: Символ \"😀\" (U+1F600) нельзя сохранить*"_qs}
        << u"Anna|111;Boris|222"_qs << false << QPoint(0, 0);
    QTest::newRow("edit: the row of the current cell")
        << two << QPoint(1, 1) << edit << QStringList {u"Bob"_qs, u"333"_qs}
        << QStringList {u"edit"_qs + name + u"Boris]"_qs, u"edit"_qs + number + u"222]"_qs} << u"Anna|111;Bob|333"_qs
        << true << QPoint(1, 1);
    QTest::newRow("edit: an empty row fills the first free one")
        << two << QPoint(0, 7) << edit << QStringList {u"Vera"_qs, u"333"_qs}
        << QStringList {u"edit"_qs + name + u']', u"edit"_qs + number + u']'} << u"Anna|111;Boris|222;Vera|333"_qs
        << true << QPoint(1, 2);
    QTest::newRow("edit: cancel at number")
        << two << QPoint(0, 0) << edit << QStringList {u"Ann"_qs, QString()}
        << QStringList {u"edit"_qs + name + u"Anna]"_qs, u"edit"_qs + number + u"111]"_qs} << u"Anna|111;Boris|222"_qs
        << false << QPoint(1, 0);
    QTest::newRow("delete: name cell, OK, rows move up")
        << fileOf(entries(5)) << QPoint(0, 2) << del << QStringList {u"#ok"_qs} << QStringList {deleteAsked + u"N2"_qs}
        << u"N0|P0;N1|P1;N3|P3;N4|P4"_qs << true << QPoint(0, 2);
    QTest::newRow("delete: number cell, Cancel")
        << two << QPoint(1, 1) << del << QStringList {u"#cancel"_qs} << QStringList {deleteAsked + u"222"_qs}
        << u"Anna|111;Boris|222"_qs << false << QPoint(1, 1);
    QTest::newRow("delete: empty row") << two << QPoint(0, 7) << del << QStringList {u"#ok"_qs}
                                       << QStringList {deleteAsked} << u"Anna|111;Boris|222"_qs << true << QPoint(0, 7);
    QTest::newRow("clear: No") << two << QPoint(1, 1) << clear << QStringList {u"#no"_qs} << QStringList {clearAsked}
                               << u"Anna|111;Boris|222"_qs << false << QPoint(1, 1);
    QTest::newRow("clear: Yes") << two << QPoint(1, 1) << clear << QStringList {u"#yes"_qs} << QStringList {clearAsked}
                                << QString() << true << QPoint(0, 0);
    QTest::newRow("save: the first empty cell becomes current")
        << two << QPoint(1, 0) << u"cmdSaveGrid"_qs << QStringList() << QStringList() << u"Anna|111;Boris|222"_qs
        << false << QPoint(0, 2);
}

void tst_PhoneBook::commands()
{
    QFETCH(QByteArray, file);
    QFETCH(QPoint, cell);
    QFETCH(QString, button);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, asked);
    QFETCH(QString, book);
    QFETCH(bool, changed);
    QFETCH(QPoint, after);

    static const QHash<QString, Answer> messageAnswers {
        {u"#ok"_qs, Answer::Ok}, {u"#cancel"_qs, Answer::Cancel}, {u"#yes"_qs, Answer::Yes}, {u"#no"_qs, Answer::No}};
    Run run;
    run.writeFile(u"phones.tn"_qs, file);
    frmMain &window = run.start();
    PhonePage &page = *window.phonePage;
    page.Grid1->setCurrentCell(cell.y(), cell.x());
    for (const QString &answer : answers) {
        if (messageAnswers.contains(answer))
            run.dialogs.answerMessage(messageAnswers.value(answer));
        else
            run.dialogs.answerInput(answer);
    }
    // A refusal answers with OK.
    if (asked.size() > answers.size())
        run.dialogs.answerMessage(Answer::Ok);

    page.findChild<QPushButton *>(button)->click();

    compareAsked(run.dialogs.calls(), asked);
    QCOMPARE(bookOf(page.grid()), book);
    QCOMPARE(page.grid().rowCount(), 50);
    QCOMPARE(page.Grid1->rowCount(), 50);
    QCOMPARE(page.Grid1->item(0, 0)->text(), page.grid().text(0, 0));
    QCOMPARE(window.context().state.PhoneCh, changed);
    QCOMPARE(QPoint(page.grid().col(), page.grid().row()), after);
    QCOMPARE(QPoint(page.Grid1->currentColumn(), page.Grid1->currentRow()), after);
    QCOMPARE(readAll(run.path(u"phones.tn"_qs)), file);
}

void tst_PhoneBook::save_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // prefix; empty: saved
    QTest::addColumn<Icon>("icon");

    QTest::newRow("saved") << QString() << QString() << Icon::None;
    QTest::newRow("write fails") << u"write"_qs << u"Ошибка при записи файла:"_qs << Icon::Exclamation;
    QTest::newRow("conversion fails") << u"conversion"_qs << u"Ошибка при преобразовании данных."_qs << Icon::Critical;
}

// The save button and the shut-down save: a failure keeps PhoneCh, the old
// file and the window.
void tst_PhoneBook::save()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(Icon, icon);

    Run run;
    const QByteArray old = fileOf(u"Anna|111"_qs);
    if (fault == u"write"_qs) {
        // A folder in the file's place, with something in it, cannot be replaced.
        QVERIFY(QDir(run.dir.path()).mkpath(u"phones.tn/keep"_qs));
    } else {
        run.writeFile(u"phones.tn"_qs, old);
    }
    frmMain &window = run.start();
    PhonePage &page = *window.phonePage;
    if (fault == u"conversion"_qs)
        page.gridToText = [](PhoneGrid &) { return std::optional<QString>(); };
    run.dialogs.answerInput(u"Vera"_qs);
    run.dialogs.answerInput(u"333"_qs);
    page.cmdAddPhone->click();
    run.dialogs.clear();

    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    page.cmdSaveGrid->click();
    if (message.isEmpty()) {
        QVERIFY(run.dialogs.calls().isEmpty());
        QCOMPARE(readAll(run.path(u"phones.tn"_qs)), fileOf(u"Vera|333;Anna|111"_qs));
        QVERIFY(!window.context().state.PhoneCh);
        page.Grid1->setCurrentCell(0, 0);
        run.dialogs.answerInput(u"Bob"_qs);
        run.dialogs.answerInput(u"1"_qs);
        page.cmdEditPhone->click();
    } else {
        QCOMPARE(run.dialogs.messages().size(), 1);
        QVERIFY(run.dialogs.messages().constFirst().message.text.startsWith(message));
        QCOMPARE(run.dialogs.messages().constFirst().message.icon, icon);
        QVERIFY(window.context().state.PhoneCh);
        if (fault == u"conversion"_qs)
            QCOMPARE(readAll(run.path(u"phones.tn"_qs)), old);
    }

    run.dialogs.clear();
    run.dialogs.answerMessage(Answer::Yes);
    if (!message.isEmpty())
        run.dialogs.answerMessage(Answer::Ok);
    QCOMPARE(window.Form_Unload(), message.isEmpty());
    QCOMPARE(window.context().state.PhoneCh, !message.isEmpty());
    if (message.isEmpty())
        QCOMPARE(readAll(run.path(u"phones.tn"_qs)), fileOf(u"Bob|1;Anna|111"_qs));
}

QTEST_MAIN(tst_PhoneBook)
#include "tst_phonebook.moc"
