#include "codepage.h"
#include "platformsystem.h"
#include "platformtest.h"
#include "printjob.h"
#include "runtimefailure.h"
#include "soundplayer.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cups/ipp.h>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// value as size bytes, least significant first.
QByteArray little(quint32 value, int size)
{
    const quint32 bytes = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&bytes), size);
}

QByteArray chunk(const char *id, const QByteArray &body, qint64 declaredSize = -1)
{
    const quint32 size = declaredSize < 0 ? quint32(body.size()) : quint32(declaredSize);
    return QByteArray(id, 4) + little(size, 4) + body + (body.size() % 2 == 1 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray formatBody(int format, int channels, int rate, int bits, int blockAlign = -1)
{
    const int align = blockAlign < 0 ? channels * bits / 8 : blockAlign;
    return little(format, 2) + little(channels, 2) + little(quint32(rate), 4) + little(quint32(rate * align), 4)
         + little(align, 2) + little(bits, 2);
}

QByteArray riff(const QByteArray &chunks)
{
    return QByteArrayLiteral("RIFF") + little(quint32(chunks.size() + 4), 4) + QByteArrayLiteral("WAVE") + chunks;
}

// A whole PCM file: quiet samples, so that a machine with a sound card hears
// nothing while the tests run.
QByteArray quietWave(int milliseconds)
{
    const int rate = 8000;
    const QByteArray samples(rate * milliseconds / 1000 * 2, '\0');
    return riff(chunk("fmt ", formatBody(1, 1, rate, 16)) + chunk("data", samples));
}

// Points ALSA's configuration at a file of our own, so that the sound tests
// choose their device and never sound on the machine's speakers. With no
// device, the sound played goes to the file or pipe at path as raw samples.
void useAlsa(const QString &path, QByteArray device = {})
{
    const QString conf = device.isEmpty() ? path + QStringLiteral(".conf") : path;
    if (device.isEmpty())
        device = "type file\nslave.pcm { type null }\nformat \"raw\"\nfile \"" + QFile::encodeName(path) + '"';
    makeFile(conf, "pcm.!default {\n" + device + "\n}\n");
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(conf));
}

// How many sounds the player took and is over with: the player's own word
// that it is free for the next one.
std::atomic<int> soundsOver {0};

} // namespace

class tst_Platform : public QObject
{
    Q_OBJECT

    QString at(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    void useNullSoundDevice() { useAlsa(at(QStringLiteral("alsa-null.conf")), QByteArrayLiteral("type null")); }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // No test may ever reach a real printer.
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
        qputenv("CUPS_SERVER", QFile::encodeName(at(QStringLiteral("no-print-server.sock"))));
        // Nor a real sound card.
        useNullSoundDevice();
        sound::setSeam({sound::Seam().library, [] { soundsOver.fetch_add(1); }});
    }

    void cleanup() { useNullSoundDevice(); }

    // ---- the code page -------------------------------------------------------

    // The upper half is held against a table decoded by iconv rather than by
    // this program: a wrong or swapped entry would still round-trip.
    void codePage_everyByte()
    {
        QByteArray all(256, '\0');
        std::iota(all.begin(), all.end(), '\0');
        QString expected = QString::fromLatin1(all.left(0x80));
        // iconv knows no character for 0x98: the program's own choice, U+0098,
        // stands there so that the byte survives a round trip.
        for (const QByteArray &line : readBack(QFINDTESTDATA("windows-1251.txt")).split('\n'))
            if (!line.isEmpty() && !line.startsWith('#'))
                expected += line == "98" ? QChar(0x0098) : QChar(line.mid(5).toUShort(nullptr, 16));

        const QString text = codepage::toUnicode(all);
        QCOMPARE(text, expected);
        QCOMPARE(codepage::fromUnicode(text), all);
        QVERIFY(!codepage::encodingOf(all).utf8);
        // Every character the code page holds, "?", U+0098 and CR LF too.
        QCOMPARE(codepage::unholdable(text, 256, codepage::LineBreaks::Held), QList<char32_t>());
        for (int byte = 0; byte < 256; ++byte)
            QCOMPARE(codepage::codeOf(text.at(byte).unicode()), byte);
        // Beyond the basic plane, a surrogate, just past the table's last range,
        // beyond Unicode.
        for (const char32_t character : {char32_t(0x1F600), char32_t(0xD800), char32_t(0x2130), char32_t(0x110000)})
            QCOMPARE(codepage::codeOf(character), 63);
        // How a message names a character; line breaks by their code alone.
        QString names = codepage::describeCharacter(U'é', u'"', u'"');
        for (const char32_t character : {char32_t(0x1F600), char32_t(0xFEFF), char32_t(0xD83D), U'\r', U'\n'})
            names += QStringLiteral(", ") + codepage::describeCharacter(character);
        QCOMPARE(names, QStringLiteral("\"é\" (U+00E9), «😀» (U+1F600), «\uFEFF» (U+FEFF), «") + QChar(0xD83D)
                            + QStringLiteral("» (U+D83D), U+000D, U+000A"));
    }

    // A user's file is UTF-8 on its mark or on valid UTF-8 with a multi-byte
    // sequence, and comes back byte for byte either way.
    void codePage_encodingOf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("encoding"); // as nameOf gives it
        const auto row = [](const char *name, QByteArrayView bytes, const char *encoding) {
            QTest::newRow(name) << bytes.toByteArray() << QByteArray(encoding);
        };
        row("the mark, LF line ends", "\xEF\xBB\xBF\x61\nb\n", "utf-8 mark lf");
        row("the mark, then one that is text", "\xEF\xBB\xBF\xEF\xBB\xBF", "utf-8 mark");
        row("the mark, then a byte that is not UTF-8", "\xEF\xBB\xBF\xFF", "utf-8 mark");
        row("two to four bytes, CR LF", "\xC2\x80\r\n\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
            "utf-8");
        row("LF and a lone CR", "\xD0\xBF\n\r", "utf-8");
        row("valid only in its ASCII part", "a\nb", "");
        row("an empty file", "", "");
        row("a stray continuation byte", "\xD0\xBF\xBF", "");
        row("overlong", "\xC1\xBF", "");
        row("overlong in three bytes", "\xE0\x9F\xBF", "");
        row("a surrogate", "\xED\xA0\x80", "");
        row("overlong in four bytes", "\xF0\x8F\xBF\xBF", "");
        row("beyond U+10FFFF", "\xF4\x90\x80\x80", "");
        row("no such lead byte", "\xF5\x80\x80\x80", "");
        row("cut short", "\xD0\xBF\xE4\xB8", "");
        row("not a continuation", "\xE4\xB8\x41", "");
    }

    void codePage_encodingOf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, encoding);
        const codepage::Encoding found = codepage::encodingOf(bytes);
        QCOMPARE(codepage::nameOf(found), encoding);
        QVERIFY(codepage::encodingNamed(encoding) == found);
        // In a file marked UTF-8, a byte that is not becomes U+FFFD.
        QCOMPARE(codepage::fromUnicode(codepage::toUnicode(bytes, found), found),
                 found.utf8 ? bytes.replace('\xFF', "\xEF\xBF\xBD") : bytes);
    }

    // No Russian text in the code page is taken for UTF-8: none of the
    // program's own texts, nor their words in any order, of every length.
    void codePage_russianIsNotUtf8()
    {
        const QRegularExpression literal(
            u"u\"((?:[^\"\\\\]|\\\\.)*)\"|QStringLiteral\\(\"((?:[^\"\\\\]|\\\\.)*)\"\\)"_qs);
        const QRegularExpression cyrillic(u"[А-яЁё]"_qs);
        QStringList texts;
        for (QDirIterator it(QFINDTESTDATA("../../src"), {u"*.cpp"_qs, u"*.h"_qs}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            for (const QRegularExpressionMatch &match : literal.globalMatch(QString::fromUtf8(readBack(it.next()))))
                texts << match.captured(1) + match.captured(2);
        }
        texts.removeIf([&cyrillic](const QString &text) { return !text.contains(cyrillic); });
        QStringList words = texts.join(u' ').split(u' ', Qt::SkipEmptyParts);
        words.removeIf([&cyrillic](const QString &word) { return !word.contains(cyrillic); });
        QVERIFY2(texts.size() > 200, qPrintable(QString::number(texts.size())));
        quint32 seed = 1;
        for (int length = 1; length <= 200; ++length) {
            QString text;
            while (text.size() < length)
                text += words.at(int((seed = seed * 1103515245 + 12345) >> 8) % words.size()) + u' ';
            texts << text.left(length);
        }
        for (const QString &text : std::as_const(texts))
            QVERIFY2(!codepage::encodingOf(codepage::fromUnicode(text)).utf8, qPrintable(text));
    }

    void codePage_unholdable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // as written to a file
        QTest::addColumn<QList<char32_t>>("lost"); // what unholdable names
        QTest::addColumn<int>("atMost");
        QTest::addColumn<bool>("lineBreaksToo");

        const auto row = [](const char *name, const QString &text, const QByteArray &bytes, QList<char32_t> lost,
                            int atMost = 100, bool lineBreaksToo = false) {
            QTest::newRow(name) << text << bytes << lost << atMost << lineBreaksToo;
        };
        const QChar high(0xD83D);
        row("empty", QString(), QByteArray(), {});
        row("emoji is one character", QStringLiteral("a😀b"), "a?b", {0x1F600});
        row("the same character once", QStringLiteral("😀😀é"), "???", {0x1F600, 0xE9});
        row("byte-order mark", QStringLiteral("\uFEFFx"), "?x", {0xFEFF});
        row("lone high surrogate", QLatin1Char('a') + high + QLatin1Char('b'), "a?b", {0xD83D});
        row("lone low surrogate at the end", QStringLiteral("a") + QChar(0xDE00), "a?", {0xDE00});
        row("high surrogate before a letter", high + QStringLiteral("Я"), "?\xDF", {0xD83D});
        row("low before high is two", QString(QChar(0xDE00)) + high, "??", {0xDE00, 0xD83D});
        row("CJK, Greek, line separator", QStringLiteral("日Ω\u2028"), "???", {0x65E5, 0x03A9, 0x2028});
        row("at most two", QStringLiteral("éüñ"), "???", {0xE9, 0xFC}, 2);
        row("line breaks, when they count", QStringLiteral("a\rb\n\r"), "a\rb\n\r", {'\r', '\n'}, 100, true);
    }

    void codePage_unholdable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QList<char32_t>, lost);
        QFETCH(int, atMost);
        QFETCH(bool, lineBreaksToo);

        QCOMPARE(codepage::fromUnicode(text), bytes);
        const auto lineBreaks = lineBreaksToo ? codepage::LineBreaks::NotHeld : codepage::LineBreaks::Held;
        QCOMPARE(codepage::unholdable(text, atMost, lineBreaks), lost);
    }

    // ---- run-time failures ---------------------------------------------------

    // What the system's errors become, and what each number says.
    void failure_numbersAndDescriptions()
    {
        const std::tuple<int, bool, int> rows[] // errno, on a folder, number
            = {{ENOENT, false, 53}, {ENOENT, true, 76},   {ENOTDIR, false, 76},      {EISDIR, false, 75},
               {EROFS, false, 75},  {ETXTBSY, false, 75}, {EEXIST, false, 75},       {EACCES, false, 70},
               {EACCES, true, 70},  {EPERM, false, 70},   {ENOSPC, false, 61},       {EDQUOT, false, 61},
               {EINVAL, false, 52}, {ENOMEM, false, 7},   {ENAMETOOLONG, false, 52}, {ELOOP, false, 57},
               {EIO, false, 57},    {EFBIG, false, 57}};
        for (const auto &[error, folderInPath, number] : rows)
            QCOMPARE(RuntimeFailure::fromErrno(error, folderInPath).number(), number);

        for (const char *what :
             {"6: Переполнение", "7: Не хватает памяти", "52: Неверное имя или номер файла", "53: Файл не найден",
              "57: Ошибка ввода/вывода", "61: Диск заполнен", "70: Отказано в разрешении",
              "75: Ошибка доступа к пути/файлу", "76: Путь не найден", "482: Ошибка принтера"})
            QCOMPARE(RuntimeFailure::withNumber(std::atoi(what)).what(), what);
        // What failureOf makes of running out of memory; every other failure
        // reaches the rows below through it as thrown.
        QCOMPARE(failureOf([] { throw std::bad_alloc(); }).value_or(RuntimeFailure::withNumber(0)).number(), 7);
    }

    // ---- sound ---------------------------------------------------------------

    void parseWave_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("found"); // channels, frame size, data size; empty: not a sound

        const auto fmt = [](int format, int channels, int rate, int bits, int blockAlign = -1) {
            return chunk("fmt ", formatBody(format, channels, rate, bits, blockAlign));
        };
        const QByteArray fmt16 = fmt(1, 2, 44100, 16);
        const QByteArray data = chunk("data", QByteArray(40, '\x11'));
        QByteArray extensible = formatBody(0xFFFE, 1, 8000, 24) + little(22, 2) + little(24, 2) + little(4, 4)
                              + little(1, 2) + QByteArray(14, '\x5A');
        const QByteArray extensibleData = chunk("data", QByteArray(9, '\x01'));
        const auto row = [](const char *name, const QByteArray &bytes, QList<int> found = {}) {
            QTest::newRow(name) << bytes << found;
        };
        const QList<int> stereo16 {2, 4, 40};
        row("PCM 16-bit stereo", riff(fmt16 + data), stereo16);
        row("8-bit mono", riff(fmt(1, 1, 11025, 8) + data), {1, 1, 40});
        row("odd chunk before fmt is padded", riff(chunk("LIST", QByteArrayLiteral("abc")) + fmt16 + data), stereo16);
        row("longer fmt chunk", riff(chunk("fmt ", formatBody(1, 2, 44100, 16) + little(0, 2)) + data), stereo16);
        row("data cut short by the end of file", riff(fmt16 + chunk("data", QByteArray(40, 'a'), 100000)), stereo16);
        row("data size of a recorder that was cut off", riff(fmt16 + chunk("data", QByteArray(40, 'a'), 0xFFFFFFFF)),
            stereo16);
        row("partial frame dropped", riff(fmt16 + chunk("data", QByteArray(42, '\x11'))), stereo16);
        row("extensible PCM", riff(chunk("fmt ", extensible) + extensibleData), {1, 3, 9});
        row("float", riff(fmt(3, 1, 48000, 32) + data), {1, 4, 40});
        extensible[24] = char(2);
        row("extensible, not PCM", riff(chunk("fmt ", extensible) + extensibleData));
        row("compressed", riff(fmt(2, 1, 8000, 4, 256) + data));
        row("data before fmt", riff(data + fmt16));
        row("no data", riff(fmt16));
        row("less than one frame", riff(fmt16 + chunk("data", QByteArray(3, 'a'))));
        row("fmt larger than the file", riff(chunk("fmt ", formatBody(1, 2, 44100, 16), 0xFFFFFFF0)));
        row("fmt too short", riff(chunk("fmt ", QByteArray(8, '\x01')) + data));
        row("no channels", riff(fmt(1, 0, 8000, 16, 2) + data));
        row("frame size that does not fit", riff(fmt(1, 2, 8000, 16, 3) + data));
        row("12-bit samples", riff(fmt(1, 1, 8000, 12, 2) + data));
        row("rate of zero", riff(fmt(1, 1, 0, 16) + data));
        row("big-endian RIFX", "RIFX" + riff(fmt16 + data).mid(4));
        row("cut inside the header", QByteArrayLiteral("RIFF\x04\0"));
        row("RIFF of another kind", riff(fmt16 + data).replace(8, 4, "AVI "));
    }

    void parseWave()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, found);

        const std::optional<sound::Wave> wave = sound::parseWave(bytes);
        QCOMPARE(wave ? QList<int>({wave->channels, wave->frameSize, int(wave->dataSize)}) : QList<int>(), found);
        // Whole, then cut and damaged at random places, the file is refused or
        // read inside its bytes.
        QRandomGenerator random(20011);
        for (int round = 0; round <= 1000; ++round) {
            QByteArray damaged = round == 0 ? bytes : bytes.left(random.bounded(bytes.size() + 1));
            for (int i = round == 0 ? 0 : random.bounded(1, 6); i > 0 && !damaged.isEmpty(); --i)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            const std::optional<sound::Wave> w = sound::parseWave(damaged);
            QVERIFY2(!w
                         || (w->frameSize > 0 && w->dataSize > 0 && w->dataSize % w->frameSize == 0
                             && w->dataOffset >= 12 && w->dataOffset + w->dataSize <= damaged.size()),
                     damaged.toHex().constData());
        }
    }

    void sound_unplayableIsSilentAndLeavesThePlayerFree_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("device"); // empty: a file that records what is played
        QTest::addColumn<bool>("noLibrary");

        const QByteArray none;
        QTest::newRow("missing") << "missing.wav" << none << none << false;
        QTest::newRow("damaged header") << "damaged.wav" << quietWave(100).left(30) << none << false;
        QTest::newRow("a pipe nobody writes to") << "tarnelclick.wav" << none << none << false;
        QTest::newRow("empty name") << "" << none << none << false;
        // A device that is not there, of the kind that makes ALSA complain aloud.
        QTest::newRow("no such device") << "tarnelclick.wav" << quietWave(100)
                                        << QByteArray("type plug\nslave.pcm \"orvane_no_such_device\"") << false;
        QTest::newRow("no sound library") << "tarnelclick.wav" << quietWave(100) << none << true;
    }

    void sound_unplayableIsSilentAndLeavesThePlayerFree()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, device);
        QFETCH(bool, noLibrary);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = file.isEmpty() ? QString() : folder.filePath(file);
        if (!content.isEmpty())
            makeFile(path, content);
        else if (file == QStringLiteral("tarnelclick.wav"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QString played = folder.filePath(QStringLiteral("played.raw"));
        useAlsa(device.isEmpty() ? played : folder.filePath(QStringLiteral("device.conf")), device);

        const sound::Seam usual = sound::setSeam({});
        sound::setSeam({noLibrary ? "libtarnel-no-such-sound-library.so.2" : usual.library, usual.finished});
        const int before = soundsOver;
        // What the player says on the standard error, which it must not.
        const QString said = folder.filePath(QStringLiteral("stderr.txt"));
        {
            std::fflush(stderr);
            const int saved = ::dup(STDERR_FILENO);
            const int fd = ::open(QFile::encodeName(said).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, STDERR_FILENO);
            ::close(fd);
            const auto back = qScopeGuard([saved] {
                std::fflush(stderr);
                ::dup2(saved, STDERR_FILENO);
                ::close(saved);
            });
            PlatformSystem().playSound(path);
            // An empty name is not even taken.
            QTRY_COMPARE_WITH_TIMEOUT(soundsOver.load(), before + (file.isEmpty() ? 0 : 1), 5000);
        }
        sound::setSeam(usual);
        QCOMPARE(readBack(said), QByteArray());
        QVERIFY(!QFileInfo::exists(played));

        // The next sound plays.
        makeFile(folder.filePath(QStringLiteral("next.wav")), quietWave(100));
        useAlsa(played);
        sound::playAsync(folder.filePath(QStringLiteral("next.wav")));
        QTRY_COMPARE_WITH_TIMEOUT(soundsOver.load(), before + (file.isEmpty() ? 1 : 2), 5000);
        QCOMPARE(readBack(played), QByteArray(1600, '\0'));
    }

    void sound_busyAtOnceAndFreeWhenDone()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        // 16-bit stereo, a pattern that shows any lost, doubled or shifted
        // byte, behind an odd-sized chunk the player must step over.
        QByteArray samples(4 * 2000, '\0');
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = char((i * 7 + i / 256) & 0xFF);
        const QString wave = folder.filePath(QStringLiteral("pattern.wav"));
        makeFile(wave, riff(chunk("fmt ", formatBody(1, 2, 8000, 16)) + chunk("LIST", QByteArrayLiteral("odd"))
                            + chunk("data", samples)));

        // The device is a pipe nobody reads yet: a sound stays playing until the
        // test takes its samples, so nothing here depends on timing.
        const QString pipe = folder.filePath(QStringLiteral("device"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        useAlsa(pipe);

        // No call waits for the sound, and the player is busy from the moment of
        // the first: the second sound is not played, the first plays whole.
        const int before = soundsOver;
        for (int call = 0; call < 2; ++call)
            QCOMPARE(outcomeWithin([wave] { sound::playAsync(wave); }).number(), 0);
        const auto taken = std::make_shared<QByteArray>();
        QCOMPARE(outcomeWithin([pipe, taken] { *taken = readBack(pipe); }).number(), 0);
        QCOMPARE(*taken, samples);
        QTRY_COMPARE_WITH_TIMEOUT(soundsOver.load(), before + 1, 5000);
    }

    // ---- printing ------------------------------------------------------------

    void print_pagesFollowLinesAndPointSize()
    {
        QString text;
        for (int line = 1; line <= 150; ++line)
            text += QStringLiteral("Строка %1\r\n").arg(line);

        const auto pagesFor = [](const QString &content, int pointSize) {
            QBuffer pdf;
            pdf.open(QIODevice::WriteOnly);
            {
                QPdfWriter writer(&pdf);
                writer.setPageSize(QPageSize(QPageSize::A4));
                writer.setResolution(300);
                PlatformSystem::printTextOn(writer, content, pointSize);
            }
            return int(
                QString::fromLatin1(pdf.data()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
        };

        // 150 lines of 10 points (about 12 points apart) need three A4 pages,
        // of 20 points about five. Were the CR LF pairs not line ends, the short
        // lines would run together and fill a page or two.
        const int small = pagesFor(text, 10);
        const int large = pagesFor(text, 20);
        QVERIFY2(small >= 2 && small <= 4, qPrintable(QString::number(small)));
        QVERIFY2(large >= 4 && large <= 7 && large > small, qPrintable(QString::number(large)));
        QCOMPARE(pagesFor(QStringLiteral("Одна строка\r\n"), 12), 1);
    }

    // initTestCase pointed the printing system at a server that is not there,
    // so this machine's own printers are out of reach whatever it has.
    // A job is taken when accepted and ok, an option ignored or substituted;
    // not when the printer rejects jobs, rejected between the question and
    // the job, sent elsewhere, the server gone meanwhile.
    void print_noDefaultPrinterIsFailure482_jobTakenOnlyWhenCupsSaysSo()
    {
        const auto failure = failureOf([] { PlatformSystem().printText(QStringLiteral("текст\r\n"), 10); });
        QCOMPARE(failure ? failure->number() : 0, 482);

        QList<bool> taken {printjob::taken(false, IPP_STATUS_OK)};
        for (const ipp_status_t status :
             {IPP_STATUS_OK, IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED, IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS,
              IPP_STATUS_REDIRECTION_OTHER_SITE, IPP_STATUS_ERROR_SERVICE_UNAVAILABLE})
            taken += printjob::taken(true, status);
        QCOMPARE(taken, QList<bool>({false, true, true, false, false, false}));
    }
};

QTEST_MAIN(tst_Platform)

#include "tst_platform.moc"