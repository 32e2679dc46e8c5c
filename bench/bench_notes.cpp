// Times the notes page against bare Qt doing the same work, and prints the
// ratios: opening a file into the page against QPlainTextEdit::setPlainText of
// the same text, one keystroke and the date stamp on a large document against
// an empty one, and the whole-file routines against a plain decode or encode
// around the same read and the same safe write. Run it once; it is no test.
//   bench_notes [megabytes of the large document, 20 by default]

#include "appcontext.h"
#include "benchseams.h"
#include "codepage.h"
#include "filesystem.h"
#include "notesdocument.h"
#include "notespage.h"
#include "phonebook.h"
#include "programlist.h"
#include "recoverykeeper.h"
#include "system.h"
#include "textfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace {

using bench::ScriptDialogs;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Median milliseconds of runs of work; prepare runs untimed before each.
double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Medians of two pieces of work run in turns, so that a machine busy with
// something else slows both alike.
std::pair<double, double> sideBySide(int runs, const std::function<void()> &ours,
                                     const std::function<void()> &yardstick)
{
    std::vector<double> a;
    std::vector<double> b;
    const auto time = [](const std::function<void()> &work) {
        QElapsedTimer timer;
        timer.start();
        work();
        return double(timer.nsecsElapsed()) / 1e6;
    };
    for (int i = 0; i < runs; ++i) {
        a.push_back(time(ours));
        b.push_back(time(yardstick));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

// Russian prose in Windows-1251 with CR LF line ends, of about megabytes.
QByteArray russianText(int megabytes)
{
    const QByteArray line = platform::codepage::fromUnicode(
        QStringLiteral("Съешь же ещё этих мягких французских булок, да выпей чаю. Строка №"));
    QByteArray bytes;
    bytes.reserve(qsizetype(megabytes) * 1024 * 1024 + 128);
    for (int number = 0; bytes.size() < qsizetype(megabytes) * 1024 * 1024; ++number)
        bytes += line + QByteArray::number(number) + "\r\n";
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the sample file");
}

// Without a goal the ratio is information only.
void report(const QString &what, double ours, double yardstick, std::optional<double> goal)
{
    const double ratio = ours / yardstick;
    const bool small = yardstick < 1.0;
    const auto figure = [small](double ms) {
        return QString::number(small ? ms * 1000.0 : ms, 'f', small ? 1 : 2).rightJustified(10)
             + (small ? QStringLiteral(" us") : QStringLiteral(" ms"));
    };
    out() << what.leftJustified(52) << figure(ours) << " against " << figure(yardstick) << "   ratio "
          << QString::number(ratio, 'f', 2);
    if (goal)
        out() << (ratio <= *goal ? "  (goal " : "  MISSED (goal ") << *goal << ")";
    out() << Qt::endl;
}

void keystroke(QWidget *target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
    QCoreApplication::processEvents();
}

constexpr int keystrokes = 200;

// The text change handling, the date stamp and a whole keystroke, in the page
// and in the bare text box.
struct KeyFigures
{
    double change;
    double stamp;
    double key;
    double bareKey;
    double bareStamp;
};

// Keystrokes while the recovery copy is written, and the copy itself.
struct CopyFigures
{
    std::pair<double, double> paced; // median and slowest
    std::pair<double, double> barePaced;
    double keyWithoutCopies;
    double keyWhileWriting;
    double append;
    double whole;
};

// Typing at the program's own pace, a keystroke every 20 ms: the median and
// the slowest.
std::pair<double, double> typeAtPace(QWidget *target)
{
    target->setFocus();
    std::vector<double> times;
    for (int i = 0; i < 300; ++i) {
        QThread::msleep(20);
        QElapsedTimer timer;
        timer.start();
        keystroke(target);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return std::pair(times[times.size() / 2], times.back());
}

// The notes page with the keeper of its recovery copy, beside a bare text box
// of the same kind, in a program folder of its own that holds the samples.
struct NotesBench
{
    const int largeMb;
    bench::PageContext program;
    AppContext &context = program.context;
    ScriptDialogs &dialogs = program.dialogs;
    // The program keeps a recovery copy beside the page: every figure below
    // includes its part.
    const QDir folder = keepCopiesIn(QDir(program.folder.path()));
    NotesDocument document {context};
    ProgramList programs {context};
    PhoneBook phoneBook {context};
    RecoveryKeeper keeper {context, PageModels {programs, document, phoneBook}};
    NotesPage page {context, document};
    QPlainTextEdit bare;
    const QString medium = folder.filePath(QStringLiteral("medium.txt"));
    QString mediumText;
    double largeOpen = 0;

    static QDir keepCopiesIn(const QDir &folder)
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder.path()));
        return folder;
    }

    explicit NotesBench(int megabytes)
        : largeMb(megabytes)
    {
        dialogs.messageAnswer = platform::Dialogs::Answer::No;
        page.resize(489, 297);
        page.show();
        // The yardstick is a text box of the same kind: the vertical scroll bar
        // that is always there costs Qt itself a tenth more on a large text.
        bare.setVerticalScrollBarPolicy(page.Text->verticalScrollBarPolicy());
        bare.setHorizontalScrollBarPolicy(page.Text->horizontalScrollBarPolicy());
        bare.setFont(page.Text->font());
        bare.resize(page.Text->size());
        bare.show();
        QCoreApplication::processEvents();
    }

    // Opening: the whole command against the bare text box given the text,
    // on the medium sample the file routines read and write after.
    void timeOpening()
    {
        const QByteArray mediumBytes = russianText(10);
        writeBytes(medium, mediumBytes);
        mediumText = platform::codepage::toUnicode(mediumBytes);
        dialogs.openPath = medium;
        const auto [open, bareOpen] = sideBySide(
            5,
            [&] {
                document.open();
                QCoreApplication::processEvents();
            },
            [&] {
                bare.setPlainText(mediumText);
                QCoreApplication::processEvents();
            });
        report(QStringLiteral("open 10 MB into the page / bare setPlainText"), open, bareOpen, 1.2);
    }

    // The whole-file routines against the same read and write without them.
    void timeFileRoutines()
    {
        const QString copy = folder.filePath(QStringLiteral("copy.txt"));
        const double read = medianMs(5, [&] { ReadTextFile(context, medium); });
        const double plainRead
            = medianMs(5, [&] { platform::codepage::toUnicode(platform::filesystem::readFile(medium)); });
        report(QStringLiteral("ReadTextFile 10 MB / read + decode"), read, plainRead, 2.0);
        const auto [write, plainWrite] = sideBySide(
            7, [&] { WriteTextFile(context, copy, mediumText); },
            [&] { platform::filesystem::writeDataFile(copy, platform::codepage::fromUnicode(mediumText) + "\r\n"); });
        report(QStringLiteral("WriteTextFile 10 MB / encode + safe write"), write, plainWrite, 2.0);
    }

    // The page's first change starts a copy of the whole document on the
    // writing thread, which outlasts the page's own figures; the bare text
    // box is timed once that copy is on disk, on a machine as quiet as before.
    KeyFigures measureKeys()
    {
        KeyFigures figures {};
        figures.change = medianMs(keystrokes, [&] { document.Text_Change(); });
        figures.stamp = medianMs(21, [&] { document.insertDateTime(); });
        page.Text->setFocus();
        figures.key = medianMs(keystrokes, [&] { keystroke(page.Text); });
        keeper.writeNow();
        figures.bareStamp = medianMs(21, [&] {
            QTextCursor cursor(bare.document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QStringLiteral("\u2029") + QDateTime::currentDateTime().toString());
        });
        bare.setFocus();
        figures.bareKey = medianMs(keystrokes, [&] { keystroke(&bare); });
        return figures;
    }

    // In an empty paragraph, as the empty document's keystrokes were: Qt lays
    // out the whole paragraph at each keystroke, and the one typed into last
    // has grown long.
    void intoEmptyParagraph()
    {
        page.Text->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(page.Text, &enter);
        QCoreApplication::sendEvent(page.Text, &enter);
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(page.Text, &up);
    }

    // Both documents have a file, so that the status line is the same one.
    KeyFigures keysOnEmpty()
    {
        const QString emptyFile = folder.filePath(QStringLiteral("empty.txt"));
        writeBytes(emptyFile, QByteArray());
        dialogs.openPath = emptyFile;
        document.open();
        bare.setPlainText(QString());
        return measureKeys();
    }

    KeyFigures keysOnLarge()
    {
        const QString large = folder.filePath(QStringLiteral("large.txt"));
        writeBytes(large, russianText(largeMb));
        QElapsedTimer openLarge;
        openLarge.start();
        dialogs.openPath = large;
        document.open();
        QCoreApplication::processEvents();
        largeOpen = double(openLarge.nsecsElapsed()) / 1e6;
        bare.setPlainText(page.Text->toPlainText());
        return measureKeys();
    }

    // The recovery copy while the user types on: at the program's own pace
    // (a keystroke every 20 ms, a copy every two seconds), and with copies
    // written back to back, the worst case for a machine with few cores.
    CopyFigures copyWhileTyping()
    {
        CopyFigures figures {};
        figures.paced = typeAtPace(page.Text);
        keeper.writeNow();
        figures.barePaced = typeAtPace(&bare);
        // The same keystrokes into the same document, once with no copy due
        // while they are timed and once with copies written back to back.
        constexpr int hourMs = 3600 * 1000;
        // The first batch after the paced typing runs cold, a quarter slower
        // whichever of the two comes first: one batch is typed untimed first.
        intoEmptyParagraph();
        for (int i = 0; i < keystrokes; ++i)
            keystroke(page.Text);
        intoEmptyParagraph();
        keeper.writeNow();
        keeper.setDelay(hourMs);
        figures.keyWithoutCopies = medianMs(keystrokes, [&] { keystroke(page.Text); });
        intoEmptyParagraph();
        keeper.setDelay(1);
        figures.keyWhileWriting = medianMs(keystrokes, [&] { keystroke(page.Text); });
        // A copy after a keystroke is appended to; one after a change of another
        // page's flag is written whole.
        figures.append = medianMs(5, [&] {
            keystroke(page.Text);
            keeper.writeNow();
        });
        figures.whole = medianMs(3, [&] {
            if (programs.count() == 0)
                programs.add({QStringLiteral("c"), QStringLiteral("c")});
            else
                programs.restore({});
            keeper.writeNow();
        });
        programs.SaveAppList();
        keeper.setDelay(RecoveryKeeper::defaultDelayMs);
        return figures;
    }

    void reportTyping(const KeyFigures &empty, const KeyFigures &full, const CopyFigures &copy) const
    {
        const QString on = QStringLiteral(" on ") + QString::number(largeMb) + QStringLiteral(" MB / empty");
        report(QStringLiteral("text change handling") + on, full.change, empty.change, 1.5);
        report(QStringLiteral("date and time") + on, full.stamp, empty.stamp, 1.5);
        report(QStringLiteral("  (a bare cursor insert at the end") + on + QLatin1Char(')'), full.bareStamp,
               empty.bareStamp, 1.5);
        // Qt's own keystroke grows with the document; what the page adds to it
        // is the figure that counts.
        report(QStringLiteral("keystroke on ") + QString::number(largeMb) + QStringLiteral(" MB: page / bare text box"),
               full.key, full.bareKey, 1.5);
        report(QStringLiteral("  (keystroke into the page") + on + QLatin1Char(')'), full.key, empty.key, 1.5);
        report(QStringLiteral("  (keystroke into a bare text box") + on + QLatin1Char(')'), full.bareKey, empty.bareKey,
               1.5);
        report(QStringLiteral("keystroke every 20 ms, copy every 2 s, on ") + QString::number(largeMb)
                   + QStringLiteral(" MB: page / bare"),
               copy.paced.first, copy.barePaced.first, 1.5);
        report(QStringLiteral("  (the slowest of those 300: page / bare)"), copy.paced.second, copy.barePaced.second,
               1.5);
        report(QStringLiteral("keystroke on ") + QString::number(largeMb)
                   + QStringLiteral(" MB, copies written back to back / none"),
               copy.keyWhileWriting, copy.keyWithoutCopies, 1.5);
        report(QStringLiteral("  (the same against the empty document's keystroke)"), copy.keyWhileWriting, empty.key,
               std::nullopt);
        out() << "the recovery copy of " << largeMb << " MB (its own thread): a keystroke appended "
              << QString::number(copy.append, 'f', 1) << " ms, written whole " << QString::number(copy.whole, 'f', 1)
              << " ms" << Qt::endl;
        out() << "opening the " << largeMb << " MB file took " << QString::number(largeOpen, 'f', 0) << " ms"
              << Qt::endl;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NotesBench bench(argc > 1 ? QByteArray(argv[1]).toInt() : 20);
    bench.timeOpening();
    bench.timeFileRoutines();
    const KeyFigures empty = bench.keysOnEmpty();
    const KeyFigures full = bench.keysOnLarge();
    const CopyFigures copy = bench.copyWhileTyping();
    bench.reportTyping(empty, full, copy);
    return 0;
}
