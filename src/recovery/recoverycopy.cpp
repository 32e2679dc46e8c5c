#include "recoverycopy.h"

#include "filesystem.h"
#include "runtimefailure.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace recovery {

namespace {

// 3: each part with its file's stamp.
constexpr int version = 3;
constexpr int firstWithStamps = 3;
const QByteArray magic = QByteArrayLiteral("orvane-tarnel recovery ");
// More than the notes of any document the page can take, less than what
// reading would hang on.
constexpr qint64 maxBytes = qint64(512) * 1024 * 1024;
constexpr int maxRows = 100000;

void field(QByteArray &out, const char *key, const QByteArray &value)
{
    out += key;
    out += ' ';
    out += QByteArray::number(value.size());
    out += '\n';
    out += value;
    out += '\n';
}

// "exists size time hash", or nothing for no stamp.
QByteArray stampBytes(const Contents::Stamp &stamp)
{
    if (!stamp)
        return QByteArray();
    return QByteArray(stamp->exists ? "1 " : "0 ") + QByteArray::number(stamp->size) + ' '
         + QByteArray::number(stamp->modifiedNs) + ' ' + stamp->hash.toHex();
}

void pairs(QByteArray &out, const char *key, const char *first, const char *second, const QList<Pair> &list)
{
    field(out, key, QByteArray::number(list.size()));
    for (const Pair &pair : list) {
        field(out, first, pair[0].toUtf8());
        field(out, second, pair[1].toUtf8());
    }
}

// Reads "key length\n" value "\n" fields one after another.
class Fields
{
public:
    explicit Fields(const QByteArray &bytes, qsizetype from)
        : m_bytes(bytes)
        , m_at(from)
    {
    }
    bool atEnd() const { return m_at >= m_bytes.size(); }
    // The value of the next field when it is named key.
    std::optional<QByteArray> take(const char *key)
    {
        const qsizetype lineEnd = m_bytes.indexOf('\n', m_at);
        if (lineEnd < 0 || lineEnd - m_at > 64)
            return std::nullopt;
        const QByteArray head = m_bytes.mid(m_at, lineEnd - m_at);
        const qsizetype space = head.indexOf(' ');
        if (space < 0 || head.left(space) != key)
            return std::nullopt;
        bool ok = false;
        const qint64 length = head.mid(space + 1).toLongLong(&ok);
        if (!ok || length < 0 || length > m_bytes.size() - lineEnd - 2)
            return std::nullopt;
        const qsizetype valueAt = lineEnd + 1;
        if (m_bytes.at(valueAt + length) != '\n')
            return std::nullopt;
        m_at = valueAt + length + 1;
        return m_bytes.mid(valueAt, length);
    }
    // The next field is named key and its value runs past the end.
    bool cutShort(const char *key) const
    {
        const qsizetype lineEnd = m_bytes.indexOf('\n', m_at);
        const QByteArray head = m_bytes.mid(m_at, lineEnd - m_at);
        bool ok = false;
        return lineEnd > 0 && head.startsWith(QByteArray(key) + ' ')
            && head.mid(qsizetype(qstrlen(key)) + 1).toLongLong(&ok) > m_bytes.size() - lineEnd - 2 && ok;
    }
    std::optional<QString> text(const char *key)
    {
        const std::optional<QByteArray> value = take(key);
        if (!value)
            return std::nullopt;
        const QString decoded = QString::fromUtf8(*value);
        // A copy this program wrote always comes back to the same bytes.
        if (decoded.toUtf8() != *value)
            return std::nullopt;
        return decoded;
    }
    // A part's stamp; one that does not read back to its own bytes is damage.
    bool stamp(Contents::Stamp &stamp)
    {
        const std::optional<QByteArray> value = take("base");
        const QList<QByteArray> parts = value ? value->split(' ') : QList<QByteArray>();
        if (parts.size() == 4) {
            platform::filesystem::FileStamp read {parts[0] == "1", parts[1].toLongLong(), parts[2].toLongLong(),
                                                  QByteArray::fromHex(parts[3])};
            stamp = read;
        }
        return value && stampBytes(stamp) == *value;
    }
    std::optional<QList<Pair>> pairs(const char *key, const char *first, const char *second)
    {
        const std::optional<QByteArray> count = take(key);
        bool ok = false;
        const int rows = count ? count->toInt(&ok) : -1;
        if (!ok || rows < 0 || rows > maxRows)
            return std::nullopt;
        QList<Pair> list;
        for (int row = 0; row < rows; ++row) {
            std::optional<QString> a = text(first);
            std::optional<QString> b = a ? text(second) : std::nullopt;
            if (!b)
                return std::nullopt;
            list.append(Pair {*a, *b});
        }
        return list;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_at;
};

// The notes as the document holds them, with its final separator: a
// document has no CR or LF of its own, so this undoes the conversion exactly.
QString rawOf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar(QChar::ParagraphSeparator)));
    text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    return text + QChar(QChar::ParagraphSeparator);
}

ReadResult failed(ReadFailure failure)
{
    return ReadResult {std::nullopt, failure};
}

// Why the first line, the mark and its version, is not one this program
// reads; nothing when it is, with its version in fileVersion.
std::optional<ReadFailure> versionFailure(const QByteArray &bytes, qsizetype firstLineEnd, int &fileVersion)
{
    if (!bytes.startsWith(magic) || firstLineEnd < 0 || firstLineEnd > 64)
        return ReadFailure::Damaged;
    bool ok = false;
    fileVersion = bytes.mid(magic.size(), firstLineEnd - magic.size()).toInt(&ok);
    if (!ok || fileVersion < 1)
        return ReadFailure::Damaged;
    if (fileVersion > version)
        return ReadFailure::Newer;
    return std::nullopt;
}

// The whole copy written at once, up to and with its "end" field.
bool readSnapshot(Fields &fields, Contents &contents, bool stamps)
{
    const std::optional<QString> written = fields.text("written");
    if (!written)
        return false;
    contents.written = QDateTime::fromString(*written, Qt::ISODateWithMs);
    if (!contents.written.isValid())
        return false;
    if (std::optional<QString> notes = fields.text("notes")) {
        const std::optional<QString> file = fields.text("file");
        if (!file)
            return false;
        contents.hasNotes = true;
        contents.notesText = *notes;
        contents.notesFile = *file;
        if (stamps && !fields.stamp(contents.notesBase))
            return false;
        if (const std::optional<QByteArray> name = fields.take("encoding")) {
            const std::optional<platform::codepage::Encoding> encoding = platform::codepage::encodingNamed(*name);
            if (!encoding || name->isEmpty())
                return false;
            contents.notesEncoding = *encoding;
        }
    }
    if (std::optional<QList<Pair>> programs = fields.pairs("programs", "cap", "cmd")) {
        contents.hasPrograms = true;
        contents.programs = *programs;
        if (stamps && !fields.stamp(contents.programsBase))
            return false;
    }
    if (std::optional<QList<Pair>> phones = fields.pairs("phones", "name", "number")) {
        contents.hasPhones = true;
        contents.phones = *phones;
        if (stamps && !fields.stamp(contents.phonesBase))
            return false;
    }
    // Only the last field may follow, so a copy cut short is never taken
    // for a shorter one.
    return fields.take("end").has_value();
}

// The edits of one batch after its "written" field.
bool readEdits(Fields &edits, QList<Edit> &list)
{
    while (!edits.atEnd()) {
        const std::optional<QByteArray> at = edits.take("at");
        const std::optional<QString> added = at ? edits.text("text") : std::nullopt;
        const QList<QByteArray> numbers = at ? at->split(' ') : QList<QByteArray>();
        bool positionOk = false;
        bool removedOk = false;
        if (!added || numbers.size() != 2)
            return false;
        list.append(Edit {numbers[0].toInt(&positionOk), numbers[1].toInt(&removedOk), *added});
        if (!positionOk || !removedOk)
            return false;
    }
    return true;
}

// The batches of edits appended after the whole copy, played onto its notes.
bool replayJournal(Fields &fields, Contents &contents)
{
    QString raw;
    while (!fields.atEnd()) {
        const std::optional<QByteArray> batch = fields.take("edits");
        if (!batch) {
            // Only the last batch, cut short in its value, is passed over.
            if (fields.cutShort("edits"))
                break;
            return false;
        }
        Fields edits(*batch, 0);
        const std::optional<QString> when = edits.text("written");
        contents.written = when ? QDateTime::fromString(*when, Qt::ISODateWithMs) : QDateTime();
        if (!contents.hasNotes || !contents.written.isValid())
            return false;
        if (raw.isNull())
            raw = rawOf(contents.notesText);
        QList<Edit> list;
        if (!readEdits(edits, list))
            return false;
        replay(raw, list);
    }
    if (!raw.isNull()) {
        raw.chop(1);
        raw.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
        raw.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
        contents.notesText = raw;
    }
    return true;
}

// The notes encoded straight into out, with the document's separators made
// line ends when raw. The length goes before them, in digits enough for any.
void notesField(QByteArray &out, QStringView text, bool raw)
{
    constexpr int digits = 12;
    out += "notes ";
    const qsizetype lengthAt = out.size();
    out += QByteArray(digits, '0') + '\n';
    const qsizetype valueAt = out.size();
    out.resize(valueAt + text.size() * 3);
    QStringEncoder encoder(QStringEncoder::Utf8);
    char *at = out.data() + valueAt;
    qsizetype from = 0;
    for (qsizetype i = 0; raw && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != QChar::LineSeparator && c != QChar::ParagraphSeparator)
            continue;
        at = encoder.appendToBuffer(at, text.mid(from, i - from));
        if (c == QChar::ParagraphSeparator)
            *at++ = '\r';
        *at++ = '\n';
        from = i + 1;
    }
    at = encoder.appendToBuffer(at, text.mid(from));
    const qsizetype length = at - (out.data() + valueAt);
    out.resize(valueAt + length);
    const QByteArray number = QByteArray::number(length);
    out.replace(lengthAt + digits - number.size(), number.size(), number);
    out += '\n';
}

} // namespace

QByteArray bytes(const Contents &contents)
{
    QByteArray out;
    bytesInto(out, contents);
    return out;
}

void bytesInto(QByteArray &out, const Contents &contents, QStringView rawNotes)
{
    // Emptied, not freed: the next copy needs the same room.
    out.resize(0);
    out += magic + QByteArray::number(version) + '\n';
    field(out, "written", contents.written.toString(Qt::ISODateWithMs).toUtf8());
    if (contents.hasNotes) {
        notesField(out, rawNotes.isNull() ? QStringView(contents.notesText) : rawNotes, !rawNotes.isNull());
        field(out, "file", contents.notesFile.toUtf8());
        field(out, "base", stampBytes(contents.notesBase));
        if (contents.notesEncoding.utf8)
            field(out, "encoding", platform::codepage::nameOf(contents.notesEncoding));
    }
    if (contents.hasPrograms) {
        pairs(out, "programs", "cap", "cmd", contents.programs);
        field(out, "base", stampBytes(contents.programsBase));
    }
    if (contents.hasPhones) {
        pairs(out, "phones", "name", "number", contents.phones);
        field(out, "base", stampBytes(contents.phonesBase));
    }
    field(out, "end", QByteArray());
}

ReadResult parse(const QByteArray &bytes)
{
    const qsizetype firstLineEnd = bytes.indexOf('\n');
    int fileVersion = 0;
    if (const std::optional<ReadFailure> failure = versionFailure(bytes, firstLineEnd, fileVersion))
        return failed(*failure);
    Fields fields(bytes, firstLineEnd + 1);
    Contents contents;
    if (!readSnapshot(fields, contents, fileVersion >= firstWithStamps) || !replayJournal(fields, contents))
        return failed(ReadFailure::Damaged);
    return ReadResult {contents, ReadFailure::Damaged};
}

void replay(QString &raw, const QList<Edit> &edits)
{
    for (const Edit &edit : edits) {
        if (edit.position < 0 || edit.removed < 0 || edit.position > raw.size() - edit.removed)
            continue;
        raw.replace(edit.position, edit.removed, edit.added);
    }
}

QByteArray journalBytes(const QDateTime &written, const QList<Edit> &edits)
{
    QByteArray batch;
    field(batch, "written", written.toString(Qt::ISODateWithMs).toUtf8());
    for (const Edit &edit : edits) {
        field(batch, "at", QByteArray::number(edit.position) + ' ' + QByteArray::number(edit.removed));
        field(batch, "text", edit.added.toUtf8());
    }
    QByteArray out;
    field(out, "edits", batch);
    return out;
}

ReadResult readFile(const QString &path)
{
    // Only this user writes in the copies' folder; a link there is no copy of
    // ours, and is not followed.
    if (QFileInfo(path).isSymLink())
        return failed(ReadFailure::NotAFile);
    QFile file;
    try {
        // A pipe, a device or a folder in the copy's place is refused at once.
        platform::filesystem::openForReading(file, path);
    } catch (const platform::RuntimeFailure &failure) {
        return failed(failure.number() == platform::failure::PathFileAccess ? ReadFailure::NotAFile
                                                                            : ReadFailure::Unreadable);
    }
    if (file.size() > maxBytes)
        return failed(ReadFailure::TooLarge);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(ReadFailure::Unreadable);
    return parse(bytes);
}

QString folderFor(const QString &programFolder)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // Only an absolute path counts, as for every XDG folder.
    if (!QDir::isAbsolutePath(state)) {
        const QString home = qEnvironmentVariable("HOME");
        // Without a home the copies would land in "/.local/state", or
        // wherever the current folder happens to be.
        if (!QDir::isAbsolutePath(home))
            return QString();
        state = home + QStringLiteral("/.local/state");
    }
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    return QDir::cleanPath(state + QStringLiteral("/orvane-tarnel/") + QString::fromLatin1(hash));
}

FolderState folderState(const QString &folder)
{
    struct stat status
    {
    };
    if (folder.isEmpty())
        return FolderState::Absent;
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return errno == ENOENT ? FolderState::Absent : FolderState::Refused;
    const bool own = S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
    return own ? FolderState::Private : FolderState::Refused;
}

std::optional<QString> privateFolder(const QString &programFolder)
{
    const QString folder = folderFor(programFolder);
    const QByteArray native = QFile::encodeName(folder);
    for (qsizetype slash = native.indexOf('/', 1); !folder.isEmpty(); slash = native.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? native : native.left(slash);
        struct stat status;
        // Whatever the umask leaves of the mode, a folder made here is this
        // user's alone.
        if (::mkdir(part.constData(), 0700) == 0)
            ::chmod(part.constData(), 0700);
        else if (::stat(part.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
            return std::nullopt;
        if (slash < 0)
            break;
    }
    if (folderState(folder) != FolderState::Private)
        return std::nullopt;
    return folder;
}

void write(const QString &path, const Contents &contents)
{
    write(path, bytes(contents));
}

void write(const QString &path, const QByteArray &bytes)
{
    // Made first, so that the safe write keeps its mode; a copy that could
    // not be written leaves no empty file to be offered as damaged.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    try {
        platform::filesystem::writeDataFile(path, bytes);
    } catch (...) {
        if (fd >= 0)
            ::unlink(native.constData());
        throw;
    }
}

QString keepAside(const QString &path, const QDateTime &now)
{
    const QFileInfo info(path);
    const QString aside = info.path() + QStringLiteral("/kept-") + now.toString(QStringLiteral("yyyy-MM-dd-HHmmss"))
                        + QLatin1Char('-') + info.fileName();
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return QString();
    return aside;
}

QStringList keptAside(const QString &folder)
{
    const QDir dir(folder);
    QStringList names = dir.entryList({QStringLiteral("kept-*.tnr")}, QDir::Files | QDir::System);
    // The name begins with the time it was set aside.
    std::sort(names.begin(), names.end(), std::greater<QString>());
    for (QString &name : names)
        name = dir.filePath(name);
    return names;
}

QString putBack(const QString &keptPath)
{
    const QString copy = QFileInfo(keptPath).path() + QLatin1Char('/') + newCopyName();
    if (::rename(QFile::encodeName(keptPath).constData(), QFile::encodeName(copy).constData()) != 0)
        return QString();
    return copy;
}

} // namespace recovery
