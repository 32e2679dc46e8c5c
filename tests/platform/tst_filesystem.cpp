#include "commandline.h"
#include "filesizelimit.h"
#include "filesystem.h"
#include "folders.h"
#include "platformsystem.h"
#include "platformtest.h"
#include "runtimefailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace platform;

namespace {

QStringList words(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list += QString::fromUtf8(item);
    return list;
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
        } else {
            lines += relative + QLatin1Char(' ') + mode + QLatin1Char(' ') + QString::fromUtf8(readBack(path));
        }
    }
    return lines;
}

// How a writeDataFile row writes, and what it expects of a file that was
// there: InPlace, that it keeps its inode.
enum WriteFlag { InPlace = 1, Backup = 2, TwoByteLimit = 4 };

} // namespace

class tst_FileSystem : public QObject
{
    Q_OBJECT

    QString at(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QString expand(QString text) const { return text.replace(QLatin1Char('@'), m_dir.path()); }
    QStringList expand(QStringList texts) const { return texts.replaceInStrings(QStringLiteral("@"), m_dir.path()); }

    QTemporaryDir m_dir;
    QString m_startFolder;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
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
        QCOMPARE(::mknod(QFile::encodeName(at(QStringLiteral("socket"))).constData(), S_IFSOCK | 0600, 0), 0);
        if (::mknod(QFile::encodeName(at(QStringLiteral("null"))).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), at(QStringLiteral("null"))));
    }

    void cleanupTestCase() { QDir::setCurrent(m_startFolder); }

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

        // Hidden names, those below a file or a dangling link, and what is neither
        // a file nor a folder are not there; patterns see no hidden names, and
        // brackets are plain characters.
        const auto rows = [](std::initializer_list<const char *> paths, bool file, bool folder) {
            for (const char *path : paths)
                QTest::newRow(path) << QString::fromUtf8(path) << file << folder;
        };
        rows({"@/tool", "@/link-to-tool", "@/to*", "@/t??l", "@/My Programs/ap?", "@/[ab]*"}, true, true);
        rows({"@/My", "@/My/", "@/My Programs", "@/M*"}, false, true);
        rows({"@/.hidden", "@/.hiddenfolder", "@/missing", "@/missing/child", "@/tool/child", "@/dangling", "@/pipe",
              "@/null", "@/socket", "", "@/*.nothing", "@/*hidden*", "@/.hid*", "@/missing/*", "@/tool/*", "@/[xyz]*"},
             false, false);
    }

    void exists()
    {
        QFETCH(QString, path);
        QFETCH(bool, file);
        QFETCH(bool, folder);

        QCOMPARE(std::pair(filesystem::fileExists(expand(path)), filesystem::folderExists(expand(path))),
                 std::pair(file, folder));
    }

    // ---- reading and writing -------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QByteArray>("op");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number"); // 0: done
        QTest::addColumn<QString>("description"); // null: the number's own

        // Each entry "path number": "~" is a name too long for the system, "^"
        // a NUL, and -75 is 75 as "Это не файл".
        const auto rows = [](const char *op, std::initializer_list<const char *> entries) {
            for (const char *entry : entries) {
                const QString text = QString::fromUtf8(entry);
                const int number = text.section(QLatin1Char(' '), -1).toInt();
                QTest::addRow("%s: %s", op, entry)
                    << QByteArray(op)
                    << text.section(u' ', 0, -2).replace(u'~', QString(300, u'n')).replace(u'^', QChar(0))
                    << qAbs(number) << (number < 0 ? QStringLiteral("Это не файл") : QString());
            }
        };
        rows("start", {"@/missing-program 53", "@/no-folder/program arg 76", "@/tool/child 76", "@/My 75",
                       "@/plain.txt 70", "orvane-no-such-program-anywhere 53", "    53"});
        // A search that cannot be made is a failure, not a missing name.
        rows("exists", {"@/~ 52", "@/~/x 52", "@/*~ 52", "@/tool^ 52", "@/loop-a 57", "@/loop-a/x 57"});
        rows("read", {" 52", "@/~ 52", "@/My 75", "@/pipe -75", "@/null -75", "@/socket -75", "@/missing.txt 53",
                      "@/tool/file.txt 76", "@/missing/file.txt 76"});
        rows("write", {" 52", "@/null -75"});
        rows("createFolder", {"@/made 0", "@/My 75", "@/tool 75", "@/missing/made 76", "@/tool/made 76"});
        // From the test folder, where a failure leaves the program.
        rows("setCurrent", {"@/My Programs 0", "@/missing 76", "@/tool 76", " 76"});
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
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
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
        row("new file, no .bak without an old one", {}, "data", 0, {"data 0644 new"}, Backup);
        row("replaced, mode and owner kept", {"data 0640 old and longer"}, "data", 0, {"data 0640 new"});
        row("failed write keeps the old file", {"data 0640 old"}, "data", 57, {}, TwoByteLimit);
        // Written in place, a longer old text shows whether the file was cut first.
        row("folder not writable, file writable: in place", {"box/ 0555", "box/data 0644 old and longer"}, "box/data",
            0, {"box/ 0555", "box/data 0644 new"}, InPlace);
        row("folder not writable, no file", {"box/ 0555"}, "box/data", 70);
        row("file read-only: refused", {"data 0444 old"}, "data", 70);
        row("link written through", {"data 0640 old", "link -> data"}, "link", 0, {"data 0640 new", "link -> data"});
        row("link to a file not there yet", {"link -> data"}, "link", 0, {"data 0644 new", "link -> data"});
        row("loop of links", {"a -> b", "b -> a"}, "a", 57);
        row("hard link written into", {"data 0640 old and longer", "copy => data"}, "data", 0,
            {"copy 0640 new", "data 0640 new"}, InPlace);
        row(".bak made as private as the file", {"data 0600 old"}, "data", 0, {"data 0600 new", "data.bak 0600 old"},
            Backup);
        row(".bak replaced", {"data 0640 old", "data.bak 0600 older"}, "data", 0,
            {"data 0640 new", "data.bak 0600 old"}, Backup);
        row(".bak cannot be made: file untouched", {"box/ 0555", "box/data 0644 old"}, "box/data", 70, {}, Backup);
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
        struct stat old = {}, now = {};
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
        const QString folder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath() + QLatin1Char('/');
        QCOMPARE(QStringList({folders::programFolder(), PlatformSystem().programFolder()}),
                 QStringList({folder, folder}));

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
};

QTEST_MAIN(tst_FileSystem)

#include "tst_filesystem.moc"
