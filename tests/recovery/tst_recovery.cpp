#include "copywriter.h"
#include "filesizelimit.h"
#include "filesystem.h"
#include "platformtest.h"
#include "recoverycopy.h"

#include <QDir>
#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using recovery::Contents;
using recovery::ReadFailure;

Q_DECLARE_METATYPE(recovery::Contents)
Q_DECLARE_METATYPE(recovery::ReadFailure)
Q_DECLARE_METATYPE(recovery::FolderState)

class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void hostileBytes_data();
    void hostileBytes();
    void typingAppended();
    void copyFollowsEveryEdit();
    void failedWrite();
    void owners();
    void leftAndKeptAside();
    void folders_data();
    void folders();
};

namespace {

Contents sample(bool notes, bool programs, bool phones)
{
    Contents c;
    c.written = QDateTime(QDate(2026, 12, 7), QTime(18, 40, 5, 123));
    c.hasNotes = notes;
    if (notes) {
        // Lone LF, CR LF, a character outside Windows-1251 and one outside the BMP.
        c.notesText = QStringLiteral("Строка\r\nвторая\nтретья \u4e2d \U0001F600\r\n\r\n");
        c.notesFile = QStringLiteral("/home/u/Мои записи.txt");
    }
    c.hasPrograms = programs;
    if (programs)
        c.programs = {{QStringLiteral("Блокнот"), QStringLiteral("mousepad \"a b\"")}, {QString(), QString()}};
    c.hasPhones = phones;
    c.phones = QList<recovery::Pair>(phones ? 50 : 0);
    if (phones)
        c.phones[0] = {QStringLiteral("Иван\n"), QStringLiteral("+7 123")};
    return c;
}

auto fields(const Contents &c)
{
    const auto stamp = [](const Contents::Stamp &s) {
        return s ? QVariantList {s->exists, s->size, s->modifiedNs, s->hash} : QVariantList();
    };
    return std::make_tuple(c.written, c.hasNotes, c.notesText, c.notesFile, c.hasPrograms, c.programs, c.hasPhones,
                           c.phones, stamp(c.notesBase), stamp(c.programsBase), stamp(c.phonesBase),
                           platform::codepage::nameOf(c.notesEncoding));
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

void TestRecovery::roundTrip_data()
{
    QTest::addColumn<Contents>("contents");
    QTest::newRow("notes") << sample(true, false, false);
    QTest::newRow("programs") << sample(false, true, false);
    QTest::newRow("phones") << sample(false, false, true);
    QTest::newRow("all") << sample(true, true, true);
    Contents emptyNotes = sample(true, true, false);
    emptyNotes.notesText.clear();
    emptyNotes.notesFile.clear();
    emptyNotes.programs.clear();
    QTest::newRow("empty notes and list") << emptyNotes;
    Contents stamped = sample(true, true, true);
    stamped.notesBase = platform::filesystem::FileStamp {true, 12, 1733593205123456789, QByteArray(32, '\xfe')};
    stamped.programsBase = platform::filesystem::FileStamp {}; // the file was not there
    QTest::newRow("stamps") << stamped;
    stamped.notesEncoding = {true, true, true};
    QTest::newRow("notes in UTF-8") << stamped;
}

void TestRecovery::roundTrip()
{
    QFETCH(Contents, contents);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy-1-2.tnr"));
    recovery::write(path, contents);
    QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), 0);
    const recovery::ReadResult result = recovery::readFile(path);
    QVERIFY(result.contents && fields(*result.contents) == fields(contents));
    // An older version's copy, without stamps, still reads.
    const QByteArray older
        = recovery::bytes(contents).replace("base 0\n\n", "").replace("recovery 3\n", "recovery 2\n");
    QVERIFY(contents.notesBase || fields(recovery::parse(older).contents.value_or(Contents())) == fields(contents));
    // A second write replaces the first whole.
    recovery::write(path, sample(false, false, true));
    QVERIFY(fields(*recovery::readFile(path).contents) == fields(sample(false, false, true)));
}

void TestRecovery::hostileBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadFailure>("failure");
    const QByteArray good = recovery::bytes(sample(true, true, true));
    QByteArray zero = good;
    QTest::newRow("empty") << QByteArray() << ReadFailure::Damaged;
    QTest::newRow("newer") << QByteArray("orvane-tarnel recovery 4\nanything") << ReadFailure::Newer;
    QTest::newRow("version zero") << zero.replace("recovery 3\n", "recovery 0\n") << ReadFailure::Damaged;
    QTest::newRow("no stamp") << QByteArray(good).replace("base 0\n\n", "") << ReadFailure::Damaged;
    QTest::newRow("damaged stamp") << QByteArray(good).replace("base 0\n", "base 1\nx") << ReadFailure::Damaged;
    for (const qsizetype cut : {qsizetype(30), good.size() / 2, good.size() - 1})
        QTest::addRow("cut at %d", int(cut)) << good.left(cut) << ReadFailure::Damaged;
    QTest::newRow("trailing") << good + "x" << ReadFailure::Damaged;
    QByteArray longer = good;
    longer.replace("notes ", "notes 9");
    QTest::newRow("length past the end") << longer << ReadFailure::Damaged;
    QByteArray invalid = good;
    invalid.replace("\xd0\xa1", "\xff\xfe");
    QTest::newRow("not UTF-8") << invalid << ReadFailure::Damaged;
    QByteArray huge = good;
    huge.replace("programs 1\n2", "programs 10\n2000000000");
    QTest::newRow("huge count") << huge << ReadFailure::Damaged;
    QByteArray random(4096, Qt::Uninitialized);
    quint32 seed = 7;
    for (char &c : random)
        c = char((seed = seed * 1103515245 + 12345) >> 16);
    QTest::newRow("random") << random << ReadFailure::Damaged;
    QTest::newRow("random after the first line")
        << QByteArray("orvane-tarnel recovery 2\n") + random << ReadFailure::Damaged;
    QTest::newRow("folder") << QByteArray("<folder>") << ReadFailure::NotAFile;
    QTest::newRow("pipe") << QByteArray("<fifo>") << ReadFailure::NotAFile;
    QTest::newRow("link") << QByteArray("<link>") << ReadFailure::NotAFile;
    QTest::newRow("too large") << QByteArray("<large>") << ReadFailure::TooLarge;
    QTest::newRow("missing") << QByteArray("<missing>") << ReadFailure::Unreadable;
}

void TestRecovery::hostileBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ReadFailure, failure);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy"));
    const QByteArray native = QFile::encodeName(path);
    if (bytes == "<folder>") {
        QVERIFY(::mkdir(native.constData(), 0700) == 0);
    } else if (bytes == "<fifo>") {
        QVERIFY(::mkfifo(native.constData(), 0600) == 0); // a read would wait for a writer
    } else if (bytes == "<link>") {
        recovery::write(dir.filePath(QStringLiteral("real")), sample(true, false, false));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("real")), path));
    } else if (bytes != "<missing>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        if (bytes == "<large>")
            QVERIFY(file.resize(qint64(513) * 1024 * 1024)); // sparse: takes no room
    }
    const recovery::ReadResult result = recovery::readFile(path);
    QVERIFY(!result.contents);
    QCOMPARE(result.failure, failure);
}

void TestRecovery::typingAppended()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy"));
    const Contents contents = sample(true, true, false);
    recovery::write(path, contents);
    // In the document's own terms: a paragraph before the text.
    const QDateTime later = contents.written.addSecs(2);
    platform::filesystem::appendToFile(path, recovery::journalBytes(later, {{0, 0, u"А\u2029\u2028"_qs}}), true);
    // The last batch, cut short by a power cut, is lost alone.
    const QByteArray cut = recovery::journalBytes(later.addSecs(2), {{0, 0, u"x"_qs}});
    platform::filesystem::appendToFile(path, cut.left(cut.size() - 2), false);
    const std::optional<Contents> read = recovery::readFile(path).contents;
    QVERIFY(read);
    QCOMPARE(read->notesText, u"А\r\n\n"_qs + contents.notesText);
    QCOMPARE(read->written, later);
    QCOMPARE(read->programs, contents.programs);
}

void TestRecovery::copyFollowsEveryEdit()
{
    // The copy replays the edits rather than taking the whole text: every
    // kind of edit must come out as a whole copy of the document has it.
    QTemporaryDir dir;
    const QString path = dir.filePath(recovery::newCopyName());
    // Laid out as the text box lays it out: a document without a layout tells no edits.
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    CopySchedule schedule(&document);
    CopyWriter writer;
    const Contents contents = sample(true, true, false);
    quint32 seed = 1;
    const auto random = [&seed](int below) { return int((seed = seed * 1103515245 + 12345) >> 16) % below; };
    const QString pieces[]
        = {u"а"_qs, u"\u2029"_qs, u"\u2028"_qs, u"длинная строка \u4e2d\u2029\u2029"_qs, u"\u00a0"_qs};
    for (int round = 0; round < 40; ++round) {
        // Typing, deleting or replacing a selection, undo and redo.
        QTextCursor cursor(&document);
        const int length = document.characterCount() - 1, at = random(length + 1), kind = random(5);
        cursor.setPosition(at);
        cursor.setPosition(std::min(length, at + random(3) * random(4)), QTextCursor::KeepAnchor);
        if (kind == 3)
            document.undo();
        else if (kind == 4)
            document.redo();
        else
            cursor.insertText(kind == 2 ? QString() : pieces[random(5)]);
        // What the edits cannot follow, and a copy that cannot be appended
        // to, are written whole.
        if (round == 10)
            document.setPlainText(u"новый\nтекст "_qs + QString(CopySchedule::largeEdit, u'ы'));
        if (round == 20)
            QFile::remove(path);
        if (round % 3 == 0) {
            writer.write(path, contents, schedule.takeEdits([&document] { return document.toRawText(); }));
            writer.waitForDone();
            QByteArray whole;
            recovery::bytesInto(whole, contents, document.toRawText());
            QCOMPARE(recovery::readFile(path).contents.value_or(Contents {}).notesText,
                     recovery::parse(whole).contents.value_or(Contents {}).notesText);
        }
    }
}

void TestRecovery::failedWrite()
{
    // A copy refused leaves no empty file; one cut short by a full disk
    // leaves the one before it whole.
    QTemporaryDir dir;
    const QString path = dir.filePath(recovery::newCopyName());
    const auto failed = [&] { return platform::failureOf([&] { recovery::write(path, sample(true, true, true)); }); };
    QVERIFY(WritesRefused().previous && failed() && filesIn(dir.path()).isEmpty());
    recovery::write(path, sample(false, true, false));
    const QByteArray before = readBack(path);
    QVERIFY(FileSizeLimit(100).isSet() && failed());
    QCOMPARE(filesIn(dir.path()), QStringList {QFileInfo(path).fileName()});
    QCOMPARE(readBack(path), before);
}

void TestRecovery::owners()
{
    // Another program holds its copy until it is killed; then one claim at a
    // time. Nor is this program's own, under its own lock.
    QTemporaryDir dir;
    const QString name = recovery::newCopyName();
    recovery::write(dir.filePath(name), sample(false, true, false));
    int ready[2];
    pid_t other = ::pipe(ready) == 0 ? ::fork() : -1;
    if (other == 0) {
        const std::optional<recovery::Claim> held = recovery::claim(dir.path(), name);
        if (held && ::write(ready[1], "x", 1) == 1)
            ::pause();
        ::_exit(1);
    }
    const auto end = qScopeGuard([&other] {
        if (other > 0 && ::kill(other, SIGKILL) == 0)
            ::waitpid(other, nullptr, 0);
    });
    char byte = 0;
    ::close(ready[1]);
    QVERIFY(other > 0 && ::read(ready[0], &byte, 1) == 1 && !recovery::claim(dir.path(), name));
    QVERIFY(::kill(other, SIGKILL) == 0 && ::waitpid(std::exchange(other, 0), nullptr, 0) > 0);
    const std::optional<recovery::Claim> first = recovery::claim(dir.path(), name);
    QVERIFY(first && !recovery::claim(dir.path(), name));
    QVERIFY(recovery::holdOwnLock(dir.path()) && !recovery::claim(dir.path(), recovery::ownFileName()));
}

void TestRecovery::leftAndKeptAside()
{
    // Left by ended programs: a copy, one of a newer version's and a lock
    // file without its copy; beside them a running program's copy.
    QTemporaryDir dir;
    const QString left = dir.filePath(recovery::newCopyName());
    const QString newer = dir.filePath(recovery::newCopyName());
    const QString running = dir.filePath(recovery::newCopyName());
    recovery::write(left, sample(true, false, false));
    recovery::write(running, sample(true, false, false));
    makeFile(newer, "orvane-tarnel recovery 4\n");
    makeFile(dir.filePath(u".copy-0.lock"_qs));
    const std::optional<recovery::Claim> held = recovery::claim(dir.path(), QFileInfo(running).fileName());
    QString aside;
    {
        const std::vector<recovery::Claim> claims = recovery::claimLeftCopies(dir.path());
        QVERIFY(held && claims.size() == 2 && recovery::claimLeftCopies(dir.path()).empty());
        aside = recovery::keepAside(left, QDateTime::currentDateTime());
    }
    // The lock files of the newer copy and the running one are left; the one
    // set aside took its own along.
    QCOMPARE(filesIn(dir.path()).filter(u".lock"_qs).size(), 2);
    QCOMPARE(readBack(newer), "orvane-tarnel recovery 4\n");
    QCOMPARE(recovery::keptAside(dir.path()), QStringList {aside});
    const QString back = recovery::putBack(aside);
    QVERIFY(recovery::keptAside(dir.path()).isEmpty() && recovery::claimLeftCopies(dir.path()).size() == 2);
    QVERIFY(recovery::readFile(back).contents);
}

void TestRecovery::folders_data()
{
    QTest::addColumn<QString>("home"); // "@" is the test's own folder
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("existing"); // the copies folder's mode; 0 none, 1 a file, 2 someone else's
    QTest::addColumn<QString>("under");
    QTest::addColumn<recovery::FolderState>("found");
    using State = recovery::FolderState;
    QTest::newRow("no home") << QString() << u"relative"_qs << 0 << QString() << State::Absent;
    QTest::newRow("home") << u"@"_qs << QString() << 0 << u"@/.local/state/orvane-tarnel/"_qs << State::Absent;
    QTest::newRow("state, no home") << QString() << u"@/s"_qs << 0 << u"@/s/orvane-tarnel/"_qs << State::Absent;
    for (const int mode : {0700, 0750, 0755, 0701, 0705, 1, 2}) {
        const QString name = mode == 1 ? u"a file in its place"_qs
                           : mode == 2 ? u"someone else's"_qs
                                       : u"mode 0"_qs + QString::number(mode, 8);
        QTest::addRow("%s", qPrintable(name)) << QString() << u"@/s"_qs << mode << u"@/s/orvane-tarnel/"_qs
                                              << (mode == 0700 ? State::Private : State::Refused);
    }
}

void TestRecovery::folders()
{
    QFETCH(QString, home);
    QFETCH(QString, state);
    QFETCH(int, existing);
    QFETCH(QString, under);
    QFETCH(recovery::FolderState, found);
    if (existing == 2 && ::geteuid() != 0)
        QSKIP("Only root gives a folder away");
    QTemporaryDir dir;
    const QByteArray before[] = {qgetenv("HOME"), qgetenv("XDG_STATE_HOME")};
    const mode_t mask = ::umask(0);
    const auto restore
        = qScopeGuard([&] { qputenv("HOME", before[0]), qputenv("XDG_STATE_HOME", before[1]), ::umask(mask); });
    qputenv("HOME", QFile::encodeName(home.replace(u'@', dir.path())));
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.replace(u'@', dir.path())));
    const QString folder = recovery::folderFor(dir.path());
    const QByteArray native = QFile::encodeName(folder);
    QCOMPARE(folder.left(folder.lastIndexOf(u'/') + 1), under.replace(u'@', dir.path()));
    QVERIFY(
        folder.isEmpty()
        || (recovery::folderFor(dir.path() + u"/"_qs) == folder && recovery::folderFor(QDir::tempPath()) != folder));
    if (existing != 0)
        QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
    if (existing == 1)
        makeFile(folder);
    else if (existing != 0)
        QVERIFY(::mkdir(native.constData(), existing == 2 ? 0700 : mode_t(existing)) == 0
                && (existing != 2 || ::chown(native.constData(), 12345, 12345) == 0));
    // Neither computed nor checked, a folder is made.
    QCOMPARE(recovery::folderState(folder), found);
    QCOMPARE(filesIn(dir.path()).isEmpty(), existing == 0);
    QCOMPARE(recovery::privateFolder(dir.path()).value_or(QString()),
             found == recovery::FolderState::Refused ? QString() : folder);
    // Made under umask 000, each folder on the way is this user's alone.
    struct stat status = {};
    for (QString at = folder; existing == 0 && at.size() > dir.path().size(); at = QFileInfo(at).path())
        QVERIFY(::stat(QFile::encodeName(at).constData(), &status) == 0 && (status.st_mode & 07777) == 0700);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
