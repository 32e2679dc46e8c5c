#include "codepage.h"
#include "commandline.h"
#include "filesizelimit.h"
#include "filesystem.h"
#include "folders.h"
#include "platformsystem.h"
#include "printjob.h"
#include "runtimefailure.h"
#include "soundplayer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPageSize>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cups/ipp.h>
#include <fcntl.h>
#include <functional>
#include <future>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace platform;

namespace {

// What action throws, given a few seconds: number 0 when nothing, -1 when it
// is still waiting. A call that waits for the other end of a pipe fails its
// row instead of freezing the run; it is left behind on its thread, so action
// must hold copies of all it uses.
RuntimeFailure outcomeWithin(std::function<void()> action)
{
    const auto promise = std::make_shared<std::promise<RuntimeFailure>>();
    std::future<RuntimeFailure> future = promise->get_future();
    std::thread([action = std::move(action), promise] {
        promise->set_value(failureOf(action).value_or(RuntimeFailure::withNumber(0)));
    }).detach();
    if (future.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
        return RuntimeFailure(-1, QStringLiteral("still waiting"));
    return future.get();
}

void makeFile(const QString &path, const QByteArray &content = QByteArrayLiteral("x"),
              QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

QStringList words(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list += QString::fromUtf8(item);
    return list;
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<unreadable>");
    return file.readAll();
}

// value as size bytes, least significant first.
QByteArray little(quint32 value, int size)
{
    QByteArray bytes;
    for (int shift = 0; shift < 8 * size; shift += 8)
        bytes += char((value >> shift) & 0xFF);
    return bytes;
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

// Makes the entries of a writeDataFile row below root: "NAME MODE BYTES" a
// file, "NAME/ MODE" a folder, "NAME -> TARGET" a link, "NAME => OTHER" a
// second name of OTHER, "NAME |" a pipe. As root the files are given to
// another user, so that a replaced file must get its owner back. Returns why
// an entry cannot be made here, or nothing.
QString makeEntries(const QString &root, const QStringList &entries)
{
    const auto native = [&root](const QString &name) { return QFile::encodeName(root + QLatin1Char('/') + name); };
    QList<std::pair<QByteArray, mode_t>> folderModes;
    for (const QString &entry : entries) {
        QString name = entry.section(QLatin1Char(' '), 0, 0);
        const QString kind = entry.section(QLatin1Char(' '), 1, 1);
        const QString rest = entry.section(QLatin1Char(' '), 2);
        const mode_t mode = mode_t(kind.toUInt(nullptr, 8));
        int made = 0;
        if (name.endsWith(QLatin1Char('/'))) {
            name.chop(1);
            made = ::mkdir(native(name).constData(), 0755);
            folderModes.append({native(name), mode});
        } else if (kind == QLatin1String("->")) {
            made = ::symlink(QFile::encodeName(rest).constData(), native(name).constData());
        } else if (kind == QLatin1String("=>")) {
            made = ::link(native(rest).constData(), native(name).constData());
        } else if (kind == QLatin1String("|")) {
            made = ::mkfifo(native(name).constData(), 0644);
        } else {
            const QByteArray bytes = rest.toUtf8();
            const int fd = ::open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            made = fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()
                || (::geteuid() == 0 && ::fchown(fd, 65534, 65534) != 0) || ::fchmod(fd, mode) != 0;
            ::close(fd);
        }
        if (made != 0)
            return QStringLiteral("Cannot make ") + entry;
    }
    for (const auto &[path, mode] : std::as_const(folderModes))
        ::chmod(path.constData(), mode);
    return QString();
}

// The entries below root in makeEntries' notation, hidden ones too.
QStringList describeEntries(const QString &root, const QString &prefix = QString())
{
    QStringList lines;
    const QDir folder(root + QLatin1Char('/') + prefix);
    for (const QString &name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString relative = prefix + name;
        const QString path = root + QLatin1Char('/') + relative;
        const QByteArray native = QFile::encodeName(path);
        struct stat info = {};
        ::lstat(native.constData(), &info);
        const QString mode = QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0'));
        if (S_ISLNK(info.st_mode)) {
            char target[PATH_MAX];
            const ssize_t size = ::readlink(native.constData(), target, sizeof target);
            lines += relative + QStringLiteral(" -> ") + QFile::decodeName(QByteArray(target, qMax<ssize_t>(size, 0)));
        } else if (S_ISDIR(info.st_mode)) {
            lines += relative + QStringLiteral("/ ") + mode;
            lines += describeEntries(root, relative + QLatin1Char('/'));
        } else if (S_ISFIFO(info.st_mode)) {
            lines += relative + QStringLiteral(" |");
        } else {
            lines += relative + QLatin1Char(' ') + mode + QLatin1Char(' ') + QString::fromUtf8(readBack(path));
        }
    }
    return lines;
}

// Points ALSA's configuration at a file of our own, so that the sound tests
// choose their device and never sound on the machine's speakers. With no
// device, the sound played goes to the file or pipe at path as raw samples.
void useAlsa(const QString &path, QByteArray device = {})
{
    QFile file(device.isEmpty() ? path + QStringLiteral(".conf") : path);
    if (device.isEmpty())
        device = "type file\nslave.pcm { type null }\nformat \"raw\"\nfile \"" + QFile::encodeName(path) + '"';
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("pcm.!default {\n" + device + "\n}\n");
    file.close();
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(file.fileName()));
}

// How a writeDataFile row writes, and what it expects of a file that was
// there: InPlace, that it keeps its inode.
enum WriteFlag { InPlace = 1, Backup = 2, TwoByteLimit = 4 };

// How many sounds the player took and is over with: the player's own word
// that it is free for the next one.
std::atomic<int> soundsOver {0};

} // namespace

class tst_Platform : public QObject
{
    Q_OBJECT

    QString at(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QString expand(QString text) const { return text.replace(QLatin1Char('@'), m_dir.path()); }
    QStringList expand(QStringList texts) const { return texts.replaceInStrings(QStringLiteral("@"), m_dir.path()); }
    void useNullSoundDevice() { useAlsa(at(QStringLiteral("alsa-null.conf")), QByteArrayLiteral("type null")); }

    QTemporaryDir m_dir;
    QString m_startFolder;

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
        sound::Seam seam;
        seam.finished = [] { soundsOver.fetch_add(1); };
        sound::setSeam(seam);
        m_startFolder = QDir::currentPath();
        const QDir root(m_dir.path());
        for (const char *folder : {"My Programs", "My", "bin", "sub", ".hiddenfolder"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        for (const char *file : {"tool", "local", "sub/tool2", "My Programs/app", "My Programs/app x",
                                 "bin/found-on-path", "bin/local", "xdg-open", ".hidden", "[ab]x"})
            makeFile(at(QString::fromLatin1(file)));
        makeFile(at(QStringLiteral("plain.txt")), "text", QFile::ReadOwner | QFile::WriteOwner);
        // What may be chosen as a document and is not a file: a pipe nobody
        // writes to, a socket's name as its server leaves it, a device. Root
        // gets a null device of its own: through a link, a write gone wrong
        // could replace the machine's. Anyone else may link to it safely.
        QCOMPARE(makeEntries(m_dir.path(), words({"link-to-tool -> tool", "dangling -> nowhere", "loop-a -> loop-b",
                                                  "loop-b -> loop-a", "pipe |"})),
                 QString());
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray socketName = QFile::encodeName(at(QStringLiteral("socket")));
        QVERIFY(size_t(socketName.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, socketName.constData(), size_t(socketName.size()));
        const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QCOMPARE(::bind(server, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        ::close(server);
        if (::mknod(QFile::encodeName(at(QStringLiteral("null"))).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), at(QStringLiteral("null"))));
    }

    void cleanupTestCase() { QDir::setCurrent(m_startFolder); }

    // ---- the code page -------------------------------------------------------

    // The upper half is held against a table decoded by iconv rather than by
    // this program: a wrong or swapped entry would still round-trip.
    void codePage_everyByte()
    {
        QString expected;
        for (int byte = 0; byte < 0x80; ++byte)
            expected += QChar(byte);
        QFile table(QFINDTESTDATA("windows-1251.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QByteArray &line : table.readAll().split('\n')) {
            // iconv knows no character for 0x98: the program's own choice,
            // U+0098, stands there so that the byte survives a round trip.
            if (!line.isEmpty() && !line.startsWith('#'))
                expected += line == "98" ? QChar(0x0098) : QChar(line.mid(5).toUShort(nullptr, 16));
        }

        QByteArray all(256, '\0');
        for (int byte = 0; byte < 256; ++byte)
            all[byte] = char(byte);
        const QString text = codepage::toUnicode(all);
        QCOMPARE(text, expected);
        QCOMPARE(codepage::fromUnicode(text), all);
        QCOMPARE(codepage::toUnicode(all.constData() + 128, 128), text.mid(128));
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
        row("Russian text with CR LF", QStringLiteral("Привет\r\n"), "\xCF\xF0\xE8\xE2\xE5\xF2\r\n", {});
        row("Ё ё № € ™ Ґ and ? itself", QStringLiteral("Ё ё № € ™ Ґ?"), "\xA8 \xB8 \xB9 \x88 \x99 \xA5?", {});
        row("U+0098 is held", QString(QChar(0x0098)), "\x98", {});
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

    void failure_fromErrno()
    {
        const std::tuple<int, bool, int> rows[] // errno, on a folder, number
            = {{ENOENT, false, 53}, {ENOENT, true, 76},   {ENOTDIR, false, 76},      {EISDIR, false, 75},
               {EROFS, false, 75},  {ETXTBSY, false, 75}, {EEXIST, false, 75},       {EACCES, false, 70},
               {EACCES, true, 70},  {EPERM, false, 70},   {ENOSPC, false, 61},       {EDQUOT, false, 61},
               {EINVAL, false, 52}, {ENOMEM, false, 7},   {ENAMETOOLONG, false, 52}, {ELOOP, false, 57},
               {EIO, false, 57},    {EFBIG, false, 57}};
        QStringList wrong;
        for (const auto &[error, folderInPath, number] : rows) {
            if (const int got = RuntimeFailure::fromErrno(error, folderInPath).number(); got != number)
                wrong += QStringLiteral("%1 %2: %3")
                             .arg(QLatin1String(strerrorname_np(error)))
                             .arg(folderInPath)
                             .arg(got);
        }
        QCOMPARE(wrong, QStringList());
    }

    void failure_numbersAndDescriptions()
    {
        for (const char *what :
             {"6: Переполнение", "7: Не хватает памяти", "52: Неверное имя или номер файла", "53: Файл не найден",
              "57: Ошибка ввода/вывода", "61: Диск заполнен", "70: Отказано в разрешении",
              "75: Ошибка доступа к пути/файлу", "76: Путь не найден", "482: Ошибка принтера"}) {
            const QString expected = QString::fromUtf8(what);
            const RuntimeFailure failure = RuntimeFailure::withNumber(expected.section(QLatin1Char(':'), 0, 0).toInt());
            QCOMPARE(failure.description(), expected.section(QStringLiteral(": "), 1));
            QCOMPARE(QString::fromUtf8(failure.what()), expected);
        }
        // What failureOf makes of running out of memory; every other failure
        // reaches the rows below through it as thrown.
        QCOMPARE(failureOf([] { throw std::bad_alloc(); }).value_or(RuntimeFailure::withNumber(0)).number(), 7);
    }

    // ---- command lines -------------------------------------------------------

    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("parsed"); // the program, then its arguments

        // "@" stands for the test folder, which is also the current folder.
        const auto row = [this](const char *name, const char *line, const char *program,
                                std::initializer_list<const char *> arguments = {}) {
            QTest::newRow(name) << expand(QString::fromUtf8(line))
                                << expand(QStringList(QString::fromUtf8(program)) + words(arguments));
        };
        row("quoted program with blanks", "\"@/My Programs/app\" -x \"a b\"", "@/My Programs/app", {"-x", "a b"});
        row("unquoted program with blanks", "@/My Programs/app -x", "@/My Programs/app", {"-x"});
        row("shortest existing prefix wins", "@/My Programs/app x y", "@/My Programs/app", {"x", "y"});
        row("folder prefix is not a program", "@/My Programs/app", "@/My Programs/app");
        row("nothing found: the first word", "@/Missing Folder/prog arg", "@/Missing", {"Folder/prog", "arg"});
        row("quoted program that is not there", "\"@/no such\" a", "@/no such", {"a"});
        row("name in the current folder", "tool a;b $HOME *", "@/tool", {"a;b", "$HOME", "*"});
        row("current folder before the search path", "local", "@/local");
        row("name on the search path", "found-on-path", "@/bin/found-on-path");
        row("relative path from the current folder", "sub/tool2 q", "@/sub/tool2", {"q"});
        row("name found nowhere", "nosuch arg", "nosuch", {"arg"});
        row("leading blanks", "   @/tool   x", "@/tool", {"x"});
        row("empty line", "", "");
        row("opener takes the unquoted tail whole", "@/xdg-open @/My Programs/notes file.txt", "@/xdg-open",
            {"@/My Programs/notes file.txt"});
        row("opener: surrounding quotes removed", "@/xdg-open \"@/My Programs\"", "@/xdg-open", {"@/My Programs"});
        row("opener: web address kept as it is", "@/xdg-open http://www.orvane.example/a?b=1&c=\"2\"", "@/xdg-open",
            {"http://www.orvane.example/a?b=1&c=\"2\""});
        row("quoted opener", "\"@/xdg-open\" \"@/a b\"", "@/xdg-open", {"@/a b"});
        row("opener alone", "@/xdg-open  ", "@/xdg-open");

        // How the words after any other program are split.
        const auto tail = [&row](const char *name, const char *words, std::initializer_list<const char *> arguments) {
            row(name, (QByteArray("nosuch ") + words).constData(), "nosuch", arguments);
        };
        tail("blanks only", "  \t ", {});
        tail("blanks and tabs separate", " a  b\tc ", {"a", "b", "c"});
        tail("quotes group, inside a word too", "\"a b\" c a\"b c\"d", {"a b", "c", "ab cd"});
        tail("empty quotes", "\"\" x", {"", "x"});
        tail("unclosed quote runs to the end", "\"a b", {"a b"});
        tail("doubled quote inside quotes", "\"a\"\"b\"", {"a\"b"});
        tail("backslashes alone are plain, at the end too", "C:\\dir\\file C:\\dir\\", {"C:\\dir\\file", "C:\\dir\\"});
        tail("2n backslashes then quote", "a\\\\\"b c\"", {"a\\b c"});
        tail("2n+1 backslashes then quote", "a\\\\\\\"b", {"a\\\"b"});
        tail("quoted path ending in a backslash", "\"C:\\dir\\\\\" x", {"C:\\dir\\", "x"});
        tail("shell characters are text", "a;b $HOME * | `x` >out", {"a;b", "$HOME", "*", "|", "`x`", ">out"});
    }

    void parse()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, parsed);

        const commandline::Parsed found = commandline::parse(line, m_dir.path(), at(QStringLiteral("bin")));
        QCOMPARE(QStringList(found.program) + found.arguments, parsed);
    }

    void start_passesArgumentsLiterallyInCurrentFolder()
    {
        // A program of our own that records its folder and arguments; it is run
        // by its interpreter line, the command line itself never by a shell.
        const QString script = at(QStringLiteral("sub/record args"));
        makeFile(script, QByteArrayLiteral("#!/bin/sh\n{ pwd; printf '[%s]\\n' \"$@\"; } > out.tmp\n"
                                           "mv out.tmp recorded.txt\n"));
        QDir::setCurrent(at(QStringLiteral("sub")));

        commandline::start(script + QStringLiteral(" a;b \"$HOME *\" `id`"));

        const QString recorded = at(QStringLiteral("sub/recorded.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(recorded), 10000);
        QDir::setCurrent(m_startFolder);
        const QByteArray expected = QFile::encodeName(QFileInfo(at(QStringLiteral("sub"))).canonicalFilePath())
                                  + "\n[a;b]\n[$HOME *]\n[`id`]\n";
        QCOMPARE(readBack(recorded), expected);
    }

    // ---- file and folder tests -----------------------------------------------

    void exists_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("folder");

        // Hidden names and those below a file or a dangling link are not there;
        // patterns see no hidden names, and brackets are plain characters.
        const auto rows = [](std::initializer_list<const char *> paths, bool file, bool folder) {
            for (const char *path : paths)
                QTest::newRow(path) << QString::fromUtf8(path) << file << folder;
        };
        rows({"@/tool", "@/link-to-tool", "@/to*", "@/t??l", "@/My Programs/ap?", "@/[ab]*"}, true, true);
        rows({"@/My", "@/My/", "@/My Programs", "@/M*"}, false, true);
        rows({"@/.hidden", "@/.hiddenfolder", "@/missing", "@/missing/child", "@/tool/child", "@/dangling", "",
              "@/*.nothing", "@/*hidden*", "@/.hid*", "@/missing/*", "@/tool/*", "@/[xyz]*"},
             false, false);
    }

    void exists()
    {
        QFETCH(QString, path);
        QFETCH(bool, file);
        QFETCH(bool, folder);

        QCOMPARE(filesystem::fileExists(expand(path)), file);
        QCOMPARE(filesystem::folderExists(expand(path)), folder);
    }

    // ---- reading and writing -------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QByteArray>("op");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number"); // 0: done
        QTest::addColumn<QString>("description"); // null: the number's own

        // "~" is a name too long for the system.
        const int notAFile = -75; // 75 as "Это не файл"
        const auto rows = [](const char *op, const auto &paths) {
            for (const auto &[path, number] : paths) {
                QTest::addRow("%s: %s", op, path)
                    << QByteArray(op)
                    << QString::fromUtf8(path).replace(QLatin1Char('~'), QString(300, QLatin1Char('n'))) << qAbs(number)
                    << (number < 0 ? QStringLiteral("Это не файл") : QString());
            }
        };
        const std::pair<const char *, int> start[]
            = {{"@/missing-program", 53}, {"@/no-folder/program arg", 76},         {"@/tool/child", 76}, {"@/My", 75},
               {"@/plain.txt", 70},       {"orvane-no-such-program-anywhere", 53}, {"   ", 53}};
        rows("start", start);
        // A search that cannot be made is a failure, not a missing name.
        const std::pair<const char *, int> exists[]
            = {{"@/~", 52}, {"@/~/x", 52}, {"@/*~", 52}, {"@/loop-a", 57}, {"@/loop-a/x", 57}};
        rows("exists", exists);
        QTest::newRow("exists: NUL in the name")
            << QByteArray("exists") << QStringLiteral("@/tool") + QChar(0) << 52 << QString();
        const std::pair<const char *, int> reading[] = {{"", 52},
                                                        {"@/~", 52},
                                                        {"@/My", 75},
                                                        {"@/pipe", notAFile},
                                                        {"@/null", notAFile},
                                                        {"@/socket", notAFile},
                                                        {"@/missing.txt", 53},
                                                        {"@/tool/file.txt", 76},
                                                        {"@/missing/file.txt", 76}};
        rows("read", reading);
        const std::pair<const char *, int> write[] = {{"", 52}, {"@/null", notAFile}};
        rows("write", write);
        const std::pair<const char *, int> createFolder[]
            = {{"@/made", 0}, {"@/My", 75}, {"@/tool", 75}, {"@/missing/made", 76}, {"@/tool/made", 76}};
        rows("createFolder", createFolder);
        // From the test folder, where a failure leaves the program.
        const std::pair<const char *, int> setCurrent[]
            = {{"@/My Programs", 0}, {"@/missing", 76}, {"@/tool", 76}, {"", 76}};
        rows("setCurrent", setCurrent);
    }

    void failures()
    {
        QFETCH(QByteArray, op);
        QFETCH(QString, path);
        QFETCH(int, number);
        QFETCH(QString, description);

        // Every way to the same failure: both file tests, and a read as an open.
        using Way = std::function<void(const QString &)>;
        const QHash<QByteArray, QList<Way>> ways {
            {"start", {commandline::start}},
            {"exists", {filesystem::fileExists, filesystem::folderExists}},
            {"read",
             {filesystem::readFile,
              [](const QString &name) {
                  QFile file;
                  filesystem::openForReading(file, name);
              }}},
            {"write", {[](const QString &name) { filesystem::writeDataFile(name, QByteArrayLiteral("data")); }}},
            {"createFolder", {filesystem::createFolder}},
            {"setCurrent", {[](const QString &name) { PlatformSystem().setCurrentFolder(name); }}}};
        QVERIFY(ways.contains(op));
        const QString name = expand(path);
        QDir::setCurrent(m_dir.path());
        const auto back = qScopeGuard([this] { QDir::setCurrent(m_startFolder); });
        for (const Way &way : ways.value(op)) {
            const RuntimeFailure outcome = outcomeWithin([way, name] { way(name); });
            QCOMPARE(outcome.number(), number);
            QCOMPARE(outcome.description(), description.isNull() ? RuntimeFailure::descriptionOf(number) : description);
        }
        if (op == "setCurrent")
            QCOMPARE(QDir::currentPath(), QFileInfo(number == 0 ? name : m_dir.path()).canonicalFilePath());
        else if (number == 0)
            QVERIFY(QFileInfo(name).isDir());
    }

    // The file's size is only where the read begins: a file longer than its
    // first guess, and an empty one, read whole.
    void readFile_wholeFileOfAnySize()
    {
        QByteArray large(300000, '\0');
        for (qsizetype i = 0; i < large.size(); ++i)
            large[i] = char(QRandomGenerator::global()->bounded(256));
        const QString path = at(QStringLiteral("read-back.bin"));
        for (const QByteArray &bytes : {large, QByteArray(), QByteArrayLiteral("short")}) {
            filesystem::writeDataFile(path, bytes);
            QCOMPARE(filesystem::readFile(path), bytes);
        }
    }

    void writeDataFile_situations_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("after");

        // The folder before and after, in makeEntries' notation; "new" is
        // written to path. A write that fails leaves the folder as it was.
        const auto row = [](const char *name, std::initializer_list<const char *> before, const char *path, int number,
                            std::initializer_list<const char *> after = {}, int flags = 0) {
            QTest::newRow(name) << words(before) << QString::fromUtf8(path) << flags << number
                                << (number == 0 ? words(after) : words(before));
        };
        row("new file", {}, "data", 0, {"data 0644 new"});
        row("replaced, mode and owner kept", {"data 0640 old and longer"}, "data", 0, {"data 0640 new"});
        row("failed write keeps the old file", {"data 0640 old"}, "data", 57, {}, TwoByteLimit);
        row("folder not writable, file writable: in place", {"box/ 0555", "box/data 0644 old"}, "box/data", 0,
            {"box/ 0555", "box/data 0644 new"}, InPlace);
        row("folder not writable, no file", {"box/ 0555"}, "box/data", 70);
        row("file read-only: refused", {"data 0444 old"}, "data", 70);
        row("link written through", {"data 0640 old", "link -> data"}, "link", 0, {"data 0640 new", "link -> data"});
        row("link to a file not there yet", {"link -> data"}, "link", 0, {"data 0644 new", "link -> data"});
        row("loop of links", {"a -> b", "b -> a"}, "a", 57);
        row("hard link written into", {"data 0640 old", "copy => data"}, "data", 0, {"copy 0640 new", "data 0640 new"},
            InPlace);
        row("pipe nobody reads: refused", {"pipe |"}, "pipe", 75);
        row(".bak made as private as the file", {"data 0600 old"}, "data", 0, {"data 0600 new", "data.bak 0600 old"},
            Backup);
        row(".bak replaced", {"data 0640 old", "data.bak 0600 older"}, "data", 0,
            {"data 0640 new", "data.bak 0600 old"}, Backup);
        row("no .bak without an old file", {}, "data", 0, {"data 0644 new"}, Backup);
        row(".bak is a pipe: file untouched", {"data 0640 old", "data.bak |"}, "data", 75, {}, Backup);
        row(".bak cannot be made: file untouched", {"box/ 0555", "box/data 0644 old"}, "box/data", 70, {}, Backup);
        row("below an ordinary file", {"file 0644 kept"}, "file/data", 76);
        row("missing folder", {}, "missing/data", 76);
        row("a folder", {"data/ 0755", "data/inside 0644 kept"}, "data", 75);
        row("name too long", {}, QByteArray(300, 'n').constData(), 52);
    }

    void writeDataFile_situations()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(int, flags);
        QFETCH(int, number);
        QFETCH(QStringList, after);

        // Root may write anything, so there the routine asks what an ordinary
        // user who owns these files would be told; anyone else is asked for real.
        const auto ownerMayWrite = [](const QByteArray &native) {
            struct stat info;
            return ::stat(native.constData(), &info) != 0 ? errno : (info.st_mode & S_IWUSR) != 0 ? 0 : EACCES;
        };
        const auto previous = filesystem::setWriteAccess(::geteuid() == 0 ? +ownerMayWrite : nullptr);
        const mode_t mask = ::umask(022);
        QTemporaryDir folder;
        const auto restore = qScopeGuard([&] {
            filesystem::setWriteAccess(previous);
            ::umask(mask);
            // So that an ordinary user can remove the rows' read-only folder.
            ::chmod(QFile::encodeName(folder.filePath(QStringLiteral("box"))).constData(), 0755);
        });
        QVERIFY(folder.isValid());
        if (const QString missing = makeEntries(folder.path(), before); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QByteArray target = QFile::encodeName(folder.filePath(path));
        struct stat old
        {
        }, now {};
        ::stat(target.constData(), &old);

        std::optional<FileSizeLimit> limit;
        if (flags & TwoByteLimit)
            QVERIFY(limit.emplace(rlim_t(2)).isSet());
        const QString name = folder.filePath(path);
        const auto keepOld = (flags & Backup) ? filesystem::KeepOld::AsBackup : filesystem::KeepOld::No;
        const RuntimeFailure outcome
            = outcomeWithin([name, keepOld] { filesystem::writeDataFile(name, QByteArrayLiteral("new"), keepOld); });
        QCOMPARE(outcome.number(), number);
        // In name order, each folder's entries after it.
        QCOMPARE(describeEntries(folder.path()), after);
        // A file that was there keeps its owner, and its inode only in place.
        if (S_ISREG(old.st_mode) && number == 0 && ::stat(target.constData(), &now) == 0) {
            QCOMPARE(QList<qint64>({now.st_ino == old.st_ino, now.st_uid, now.st_gid}),
                     QList<qint64>({(flags & InPlace) != 0, old.st_uid, old.st_gid}));
        }
    }

    // ---- folders -------------------------------------------------------------

    void folders_programFolderAndWhereTheOpenerIs()
    {
        const QString folder = folders::programFolder();
        QVERIFY(folder.endsWith(QLatin1Char('/')));
        QVERIFY(QFileInfo::exists(folder + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
        QCOMPARE(PlatformSystem().programFolder(), folder);

        // The test folder holds an opener, its bin folder none.
        const QByteArray savedPath = qgetenv("PATH");
        const QByteArray bin = QFile::encodeName(at(QStringLiteral("bin")));
        qputenv("PATH", bin + ':' + QFile::encodeName(m_dir.path()));
        QStringList found {folders::windowsFolder()};
        qputenv("PATH", bin);
        found += folders::windowsFolder();
        qputenv("PATH", savedPath);
        QCOMPARE(found, QStringList({m_dir.path(), QString()}));
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
        row("empty data", riff(fmt16 + chunk("data", QByteArray())));
        row("less than one frame", riff(fmt16 + chunk("data", QByteArray(3, 'a'))));
        row("fmt larger than the file", riff(chunk("fmt ", formatBody(1, 2, 44100, 16), 0xFFFFFFF0)));
        row("fmt too short", riff(chunk("fmt ", QByteArray(8, '\x01')) + data));
        row("no channels", riff(fmt(1, 0, 8000, 16, 2) + data));
        row("frame size that does not fit", riff(fmt(1, 2, 8000, 16, 3) + data));
        row("12-bit samples", riff(fmt(1, 1, 8000, 12, 2) + data));
        row("rate of zero", riff(fmt(1, 1, 0, 16) + data));
        row("big-endian RIFX", "RIFX" + riff(fmt16 + data).mid(4));
        row("header only", QByteArrayLiteral("RIFF\x04\0\0\0WAVE"));
        row("cut inside the header", QByteArrayLiteral("RIFF\x04\0"));
        row("empty", QByteArray());
        row("text file", QByteArrayLiteral("Это не звук\r\n"));
    }

    void parseWave()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, found);

        const std::optional<sound::Wave> wave = sound::parseWave(bytes);
        QCOMPARE(wave ? QList<int>({wave->channels, wave->frameSize, int(wave->dataSize)}) : QList<int>(), found);
        QVERIFY(!wave || wave->dataOffset + wave->dataSize <= bytes.size());
    }

    void parseWave_garbageNeverReadsOutside()
    {
        // Damaged headers: a valid file with random bytes overwritten, and cut at
        // random places. Whatever is accepted must lie inside the bytes.
        const QByteArray good
            = riff(chunk("LIST", QByteArrayLiteral("info")) + chunk("fmt ", formatBody(1, 2, 22050, 16))
                   + chunk("data", QByteArray(64, '\x22')));
        QRandomGenerator random(20011);
        int accepted = 0;
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes = good.left(random.bounded(good.size() + 1));
            const int damage = random.bounded(1, 6);
            for (int i = 0; i < damage && !bytes.isEmpty(); ++i)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            const std::optional<sound::Wave> wave = sound::parseWave(bytes);
            if (!wave)
                continue;
            ++accepted;
            QVERIFY2(wave->frameSize > 0 && wave->dataSize > 0 && wave->dataSize % wave->frameSize == 0
                         && wave->dataOffset >= 12 && wave->dataOffset + wave->dataSize <= bytes.size(),
                     bytes.toHex().constData());
        }
        QVERIFY(accepted > 0);
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
        const auto nullDevice = qScopeGuard([this] { useNullSoundDevice(); });

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

        // The next sound plays whole: 16-bit stereo, a pattern that shows any
        // lost, doubled or shifted byte, behind an odd-sized chunk the player
        // must step over.
        QByteArray samples(4 * 2000, '\0');
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = char((i * 7 + i / 256) & 0xFF);
        const QString wave = folder.filePath(QStringLiteral("pattern.wav"));
        makeFile(wave, riff(chunk("fmt ", formatBody(1, 2, 8000, 16)) + chunk("LIST", QByteArrayLiteral("odd"))
                            + chunk("data", samples)));
        useAlsa(played);
        sound::playAsync(wave);
        QTRY_COMPARE_WITH_TIMEOUT(soundsOver.load(), before + (file.isEmpty() ? 1 : 2), 5000);
        QCOMPARE(readBack(played), samples);
    }

    void sound_busyAtOnceAndFreeWhenDone()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString quiet = folder.filePath(QStringLiteral("tarnelover.wav"));
        const QByteArray wave = quietWave(300);
        makeFile(quiet, wave);

        // The device is a pipe nobody reads yet: a sound stays playing until the
        // test takes its samples, so nothing here depends on timing.
        const QString pipe = folder.filePath(QStringLiteral("device"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        useAlsa(pipe);
        const auto nullDevice = qScopeGuard([this] { useNullSoundDevice(); });

        // No call waits for the sound, and the player is busy from the moment of
        // the first: the second sound is not played.
        const int before = soundsOver;
        for (int call = 0; call < 2; ++call)
            QCOMPARE(outcomeWithin([quiet] { sound::playAsync(quiet); }).number(), 0);
        // -1 when no sound comes within a few seconds.
        const auto taken = std::make_shared<std::atomic<qsizetype>>(-1);
        outcomeWithin([pipe, taken] {
            QFile device(pipe);
            if (device.open(QIODevice::ReadOnly))
                taken->store(device.readAll().size());
        });
        QCOMPARE(taken->load(), wave.size() - 44);
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

    void print_noDefaultPrinterIsFailure482()
    {
        // initTestCase pointed the printing system at a server that is not there,
        // so this machine's own printers are out of reach whatever it has.
        const auto failure = failureOf([] { PlatformSystem().printText(QStringLiteral("текст\r\n"), 10); });
        QCOMPARE(failure ? failure->number() : 0, 482);
    }

    // Taken: accepted and ok, an option ignored or substituted. Not: the
    // printer rejects jobs, rejected between the question and the job, sent
    // elsewhere, the server gone meanwhile.
    void print_jobTakenOnlyWhenCupsSaysSo()
    {
        const std::pair<bool, ipp_status_t> cases[] = {{true, IPP_STATUS_OK},
                                                       {true, IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED},
                                                       {false, IPP_STATUS_OK},
                                                       {true, IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS},
                                                       {true, IPP_STATUS_REDIRECTION_OTHER_SITE},
                                                       {true, IPP_STATUS_ERROR_SERVICE_UNAVAILABLE}};
        QList<bool> taken;
        for (const auto &[accepting, status] : cases)
            taken += printjob::taken(accepting, status);
        QCOMPARE(taken, QList<bool>({true, true, false, false, false, false}));
    }
};

QTEST_MAIN(tst_Platform)

#include "tst_platform.moc"
