#include "keyvaluereader.h"

#include "codepage.h"

#include <QByteArray>
#include <QIODevice>

#include <array>

namespace {

// Lines are matched on their first few characters only, so a line is gathered
// only as far as it can still matter: a file with one endless line, or a
// million lines, is read through in bounded memory.
class LineMatcher
{
public:
    LineMatcher(const QString &section, const QString &key)
        : m_header(QLatin1Char('[') + section + QLatin1Char(']'))
        , m_key(key)
        , m_inSection(section.isEmpty())
    {
        // Most lines of a long file are decided by their first byte; deciding
        // them there keeps the rescans of every lookup cheap.
        const QString keyStart = m_key.isEmpty() ? QStringLiteral("=") : m_key.left(1);
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            m_mayBeginHeader[byte] = c == '[';
            m_mayBeginKey[byte] = platform::codepage::toUnicode(&c, 1).compare(keyStart, Qt::CaseInsensitive) == 0;
        }
    }

    // Feeds the bytes of one line so far; returns true once the line is a
    // match whose value is the rest of the line.
    void begin()
    {
        // resize keeps the buffer, where clear() would free it at every line
        if (!m_line.isEmpty())
            m_line.resize(0);
        m_collectingValue = false;
        m_lineCannotMatch = false;
    }
    void append(const char *data, qsizetype size)
    {
        if (m_collectingValue) {
            m_line.append(data, size);
            return;
        }
        if (m_lineCannotMatch || size == 0)
            return;
        if (m_line.isEmpty()) {
            const auto first = static_cast<unsigned char>(data[0]);
            if (!(m_inSection ? m_mayBeginKey[first] : m_mayBeginHeader[first])) {
                m_lineCannotMatch = true;
                return;
            }
        }
        const qsizetype room = prefixLength() - m_line.size();
        if (room <= 0)
            return;
        m_line.append(data, std::min(room, size));
        if (m_inSection && m_line.size() == prefixLength() && keyMatches()) {
            m_collectingValue = true;
            if (size > room)
                m_line.append(data + room, size - room);
        }
    }
    // At the end of a line: true when the value has been found.
    bool end()
    {
        if (m_collectingValue)
            return true;
        if (!m_inSection && !m_lineCannotMatch) {
            m_inSection
                = m_line.size() >= m_header.size()
               && platform::codepage::toUnicode(m_line.left(m_header.size())).compare(m_header, Qt::CaseInsensitive)
                      == 0;
        }
        return false;
    }
    QString value() const { return platform::codepage::toUnicode(m_line.mid(m_key.size() + 1)); }

private:
    qsizetype prefixLength() const { return m_inSection ? m_key.size() + 1 : m_header.size(); }
    bool keyMatches() const
    {
        return m_line.at(m_key.size()) == '='
            && platform::codepage::toUnicode(m_line.left(m_key.size())).compare(m_key, Qt::CaseInsensitive) == 0;
    }

    const QString m_header;
    const QString m_key;
    bool m_inSection;
    bool m_collectingValue = false;
    bool m_lineCannotMatch = false;
    std::array<bool, 256> m_mayBeginHeader;
    std::array<bool, 256> m_mayBeginKey;
    QByteArray m_line;
};

} // namespace

QString ReadKeyValue(QIODevice &file, const QString &section, const QString &key)
{
    if (!file.isOpen() || !file.isReadable() || !file.seek(0))
        return QString();

    LineMatcher matcher(section, key);
    matcher.begin();
    bool afterCr = false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0)
            return QString();
        if (got == 0)
            break;
        const char *p = buffer;
        const char *const stop = buffer + got;
        if (afterCr && *p == '\n')
            ++p;
        afterCr = false;
        while (p < stop) {
            const char *lineEnd = static_cast<const char *>(memchr(p, '\r', size_t(stop - p)));
            if (!lineEnd) {
                matcher.append(p, stop - p);
                break;
            }
            matcher.append(p, lineEnd - p);
            if (matcher.end())
                return matcher.value();
            matcher.begin();
            p = lineEnd + 1;
            if (p == stop)
                afterCr = true;
            else if (*p == '\n')
                ++p;
        }
    }
    // The last line needs no line end of its own.
    if (!afterCr && matcher.end())
        return matcher.value();
    return QString();
}
