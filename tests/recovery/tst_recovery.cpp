#include "filesystem.h"
#include "recoverycopy.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using recovery::Contents;
using recovery::ReadFailure;

Q_DECLARE_METATYPE(recovery::Contents)
Q_DECLARE_METATYPE(recovery::ReadFailure)

class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void hostileBytes_data();
    void hostileBytes();
    void typingAppended();
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
    return std::tie(c.written, c.hasNotes, c.notesText, c.notesFile, c.hasPrograms, c.programs, c.hasPhones, c.phones);
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
    QTest::newRow("newer") << QByteArray("orvane-tarnel recovery 3\nanything") << ReadFailure::Newer;
    QTest::newRow("version zero") << zero.replace("recovery 2\n", "recovery 0\n") << ReadFailure::Damaged;
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

void TestRecovery::folders()
{
    // One folder per program folder, private to this user.
    QTemporaryDir state;
    QTemporaryDir other;
    const QByteArray stateBefore = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QVERIFY(recovery::folderFor(state.path()) != recovery::folderFor(other.path()));
    QCOMPARE(recovery::folderFor(state.path() + u"/"_qs), recovery::folderFor(state.path()));
    const std::optional<QString> folder = recovery::privateFolder(state.path());
    QVERIFY(folder && (QFileInfo(*folder).permissions() & 0x0077) == 0);
    if (::geteuid() == 0) {
        QVERIFY(::chown(QFile::encodeName(*folder).constData(), 12345, 12345) == 0);
        QVERIFY(!recovery::privateFolder(state.path()));
    }
    qputenv("XDG_STATE_HOME", stateBefore);
    QVERIFY(recovery::isCopyName(recovery::ownFileName()));
    QVERIFY(recovery::ownerRunning(recovery::ownFileName()));
    QVERIFY(!recovery::ownerRunning(u"copy-999999999-1.tnr"_qs));
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
