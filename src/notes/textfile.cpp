#include "textfile.h"

#include "appcontext.h"
#include "codepage.h"
#include "runtimefailure.h"

#include <QFileInfo>

#include <array>
#include <cstring>

namespace {

// A lone CR becomes CR LF and the last line gets its CR LF; everything else
// stays byte for byte, LF alone included. Most files have no lone CR at all
// and are returned without a copy.
QByteArray withLineEnds(const QByteArray &bytes)
{
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    QByteArray text;
    const char *copied = begin;
    const char *from = begin;
    while (const void *found = std::memchr(from, '\r', std::size_t(end - from))) {
        const char *cr = static_cast<const char *>(found);
        from = cr + 1;
        if (from < end && *from == '\n') {
            ++from;
            continue;
        }
        if (copied == begin)
            text.reserve(bytes.size() + bytes.size() / 8 + 2);
        text.append(copied, from - copied);
        text.append('\n');
        copied = from;
    }
    if (copied == begin)
        text = bytes;
    else
        text.append(copied, end - copied);
    // A last line without its end, or ending in a lone LF (which belongs to
    // the line), still gets one.
    if (!text.isEmpty() && !text.endsWith("\r\n"))
        text.append("\r\n");
    return text;
}

// The same lines in the form a text box keeps them, decoded in one pass:
// every line end is a paragraph separator and a lone LF a line separator, so
// that a large file costs one allocation and no second copy.
QString paragraphsOf(const QByteArray &bytes)
{
    static const std::array<char16_t, 256> table = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = platform::codepage::toUnicode(all);
        std::array<char16_t, 256> codes {};
        for (int i = 0; i < 256; ++i)
            codes[std::size_t(i)] = decoded.at(i).unicode();
        return codes;
    }();
    const qsizetype size = bytes.size();
    QString text(size + 1, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    auto *out = reinterpret_cast<char16_t *>(text.data());
    qsizetype length = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char byte = in[i];
        if (byte == '\r') {
            if (i + 1 < size && in[i + 1] == '\n')
                ++i;
            out[length++] = QChar::ParagraphSeparator;
        } else if (byte == '\n') {
            out[length++] = QChar::LineSeparator;
        } else {
            out[length++] = table[byte];
        }
    }
    if (length > 0 && out[length - 1] != QChar::ParagraphSeparator)
        out[length++] = QChar::ParagraphSeparator;
    text.truncate(length);
    return text;
}

// The lines of a text read in UTF-8 as a text box keeps them, in place. A
// lone CR still ends a line; a lone LF does too where every line end was one.
QString paragraphsOfText(QString text, bool lineFeeds)
{
    const qsizetype size = text.size();
    char16_t *chars = reinterpret_cast<char16_t *>(text.data());
    qsizetype length = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i];
        if (c == u'\r') {
            if (i + 1 < size && chars[i + 1] == u'\n')
                ++i;
            chars[length++] = QChar::ParagraphSeparator;
        } else if (c == u'\n') {
            chars[length++] = lineFeeds ? QChar::ParagraphSeparator : QChar::LineSeparator;
        } else {
            chars[length++] = c;
        }
    }
    text.truncate(length);
    return text;
}

template<typename Decode>
QString readWith(AppContext &context, const QString &path, bool *failed, platform::filesystem::FileStamp *stamp,
                 Decode decode)
{
    if (failed)
        *failed = false;
    if (stamp)
        *stamp = {};
    bool exists = false;
    try {
        exists = !path.isEmpty() && context.FileExists(path);
    } catch (const platform::RuntimeFailure &) {
        // A search that cannot be made is a read that cannot be made.
        exists = true;
    }
    // The file test does not see folders or names beginning with "."; a
    // document read as empty from one of them would be saved over it. What is
    // literally there is read, and a folder is refused like any unreadable file.
    if (!exists && !path.isEmpty())
        exists = QFileInfo::exists(path);
    if (!exists) {
        if (stamp)
            *stamp = {};
        return QString();
    }

    context.showWaitPointer();
    QString text;
    const bool read = !platform::failureOf([&] {
        const QByteArray bytes = platform::filesystem::readFile(path);
        text = decode(bytes);
        if (stamp)
            *stamp = platform::filesystem::stampOf(path, bytes);
    });
    context.showDefaultPointer();
    if (read)
        return text;
    if (failed)
        *failed = true;
    context.MsgBox(QStringLiteral("Ошибка при чтении файла. Возможно, он поврежден или слишком большой."),
                   AppContext::Buttons::Ok, AppContext::Icon::Exclamation, QStringLiteral("Чтение файла"));
    return QString();
}

} // namespace

QString ReadTextFile(AppContext &context, const QString &path, bool *failed, platform::filesystem::FileStamp *stamp)
{
    return readWith(context, path, failed, stamp,
                    [](const QByteArray &bytes) { return platform::codepage::toUnicode(withLineEnds(bytes)); });
}

QString ReadTextFileAsParagraphs(AppContext &context, const QString &path, bool *failed,
                                 platform::filesystem::FileStamp *stamp, platform::codepage::Encoding *encoding)
{
    platform::codepage::Encoding found;
    bool readFailed = false;
    const QString text = readWith(context, path, &readFailed, stamp, [&found](const QByteArray &bytes) {
        found = platform::codepage::encodingOf(bytes);
        return found.utf8 ? paragraphsOfText(platform::codepage::toUnicode(bytes, found), found.lineFeeds)
                          : paragraphsOf(bytes);
    });
    if (failed)
        *failed = readFailed;
    if (encoding)
        *encoding = readFailed ? platform::codepage::Encoding() : found;
    return text;
}

bool WriteTextFile(AppContext &context, const QString &path, const QString &text, platform::filesystem::KeepOld keepOld,
                   platform::filesystem::FileStamp *stamp, platform::codepage::Encoding encoding)
{
    context.showWaitPointer();
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        QByteArray bytes;
        if (!encoding.utf8) {
            bytes = platform::codepage::fromUnicode(text);
            bytes.append("\r\n");
        } else if (encoding.lineFeeds) {
            bytes = platform::codepage::fromUnicode(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                                    encoding);
        } else {
            bytes = platform::codepage::fromUnicode(text, encoding);
        }
        platform::filesystem::writeDataFile(path, bytes, keepOld);
        if (stamp)
            *stamp = platform::filesystem::stampOf(path, bytes);
    });
    context.showDefaultPointer();
    if (!failure)
        return true;
    context.MsgBox(QStringLiteral("Ошибка при записи файла:") + path
                       + QStringLiteral(". Возможно, имя неверное или текст слишком большой.") + context.state.CrLf2
                       + failure->description(),
                   AppContext::Buttons::Ok, AppContext::Icon::Exclamation, QStringLiteral("Запись файла"));
    return false;
}
