#include "textfile.h"

#include "appcontext.h"
#include "codepage.h"
#include "runtimefailure.h"

#include <QFileInfo>

#include <cstring>
#include <new>

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

} // namespace

QString ReadTextFile(AppContext &context, const QString &path, bool *failed)
{
    if (failed)
        *failed = false;
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
    if (!exists)
        return QString();

    context.showWaitPointer();
    try {
        QString text = platform::codepage::toUnicode(withLineEnds(platform::filesystem::readFile(path)));
        context.showDefaultPointer();
        return text;
    } catch (const platform::RuntimeFailure &) {
    } catch (const std::bad_alloc &) {
    }
    context.showDefaultPointer();
    if (failed)
        *failed = true;
    context.MsgBox(QStringLiteral("Ошибка при чтении файла. Возможно, он поврежден или слишком большой."),
                   AppContext::Buttons::Ok, AppContext::Icon::Exclamation, QStringLiteral("Чтение файла"));
    return QString();
}

bool WriteTextFile(AppContext &context, const QString &path, const QString &text, platform::filesystem::KeepOld keepOld)
{
    context.showWaitPointer();
    QString description;
    try {
        QByteArray bytes = platform::codepage::fromUnicode(text);
        bytes.append("\r\n");
        platform::filesystem::writeDataFile(path, bytes, keepOld);
        context.showDefaultPointer();
        return true;
    } catch (const platform::RuntimeFailure &failure) {
        description = failure.description();
    } catch (const std::bad_alloc &) {
        description = platform::RuntimeFailure::descriptionOf(platform::failure::OutOfMemory);
    }
    context.showDefaultPointer();
    context.MsgBox(QStringLiteral("Ошибка при записи файла:") + path
                       + QStringLiteral(". Возможно, имя неверное или текст слишком большой.") + context.state.CrLf2
                       + description,
                   AppContext::Buttons::Ok, AppContext::Icon::Exclamation, QStringLiteral("Запись файла"));
    return false;
}
