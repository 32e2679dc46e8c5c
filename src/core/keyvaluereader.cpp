#include "keyvaluereader.h"

#include "codepage.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Every byte decodes to one character; folded, names compare without regard
// to case by plain equality, exactly as QString::compare does it.
const std::array<char16_t, 256> &foldedBytes()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> folded {};
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            folded[byte] = QChar::toCaseFolded(platform::codepage::toUnicode(&c, 1).at(0).unicode());
        }
        return folded;
    }();
    return table;
}

QString folded(const QString &text)
{
    // A surrogate is left as it is: no byte of a file decodes to one, so a
    // name that holds one never matches, as with QString::compare.
    QString result = text;
    for (QChar &c : result)
        c = QChar(QChar::toCaseFolded(c.unicode()));
    return result;
}

// The names a line may begin with, "[section]" or "key=": each ends in the
// table's closing character. A line is looked up by its first bytes folded,
// once for each length a name has at which the line has that character.
class NameTable
{
public:
    explicit NameTable(char16_t closing)
        : m_closing(closing)
    {
    }

    // The number of name followed by the closing character, the same for
    // names that differ only in case.
    int add(const QString &name)
    {
        const QString text = folded(name) + QChar(m_closing);
        const std::u16string key(reinterpret_cast<const char16_t *>(text.constData()), size_t(text.size()));
        const auto [entry, added] = m_names.try_emplace(key, int(m_lengths.size()));
        if (added) {
            m_lengths.push_back(text.size());
            if (std::find(m_distinctLengths.begin(), m_distinctLengths.end(), text.size()) == m_distinctLengths.end())
                m_distinctLengths.push_back(text.size());
            m_longest = std::max(m_longest, text.size());
        }
        return entry->second;
    }

    qsizetype longest() const { return m_longest; }
    qsizetype length(int name) const { return m_lengths[size_t(name)]; }

    // Calls found(name) for every name that line begins with.
    template<typename Found> void match(const QByteArray &line, Found found)
    {
        const std::array<char16_t, 256> &fold = foldedBytes();
        const qsizetype size = std::min(line.size(), m_longest);
        m_probe.resize(size_t(size));
        for (qsizetype at = 0; at < size; ++at)
            m_probe[size_t(at)] = fold[static_cast<unsigned char>(line.at(at))];
        for (const qsizetype length : m_distinctLengths) {
            if (length > size || m_probe[size_t(length - 1)] != m_closing)
                continue;
            const auto name = m_names.find(std::u16string_view(m_probe.data(), size_t(length)));
            if (name != m_names.end())
                found(name->second);
        }
    }

private:
    char16_t m_closing;
    // Ordered, so that a probe is turned away after its first differing
    // character, and looked up by a view of the probe without a copy.
    std::map<std::u16string, int, std::less<>> m_names;
    std::vector<qsizetype> m_lengths; // per name
    std::vector<qsizetype> m_distinctLengths;
    qsizetype m_longest = 0;
    std::u16string m_probe; // reused: a line costs no allocation
};

// All lookups at once, fed the file line by line. A lookup waits for the
// first header of its section; from the line after it, it waits with every
// other lookup of the same key, and the next line that begins with that key
// answers them all. Lines are gathered only as far as a name could reach,
// except a line that answers a lookup: a file with one endless line, or a
// million lines, is read through in bounded memory.
class LookupSet
{
public:
    explicit LookupSet(const QList<KeyValueLookup> &lookups)
        : m_answers(lookups.size())
        , m_unanswered(lookups.size())
    {
        for (const KeyValueLookup &lookup : lookups) {
            const int key = m_keys.add(lookup.key);
            if (size_t(key) == m_waiting.size())
                m_waiting.emplace_back();
            m_keyOf.push_back(key);
            const int lookupNumber = int(m_keyOf.size()) - 1;
            if (lookup.section.isEmpty()) {
                m_waiting[size_t(key)].push_back(lookupNumber);
                ++m_waitingCount;
                continue;
            }
            const int header = m_headers.add(QLatin1Char('[') + lookup.section);
            if (size_t(header) == m_lookupsOfHeader.size())
                m_lookupsOfHeader.emplace_back();
            m_lookupsOfHeader[size_t(header)].push_back(lookupNumber);
        }
        m_headerFound.resize(m_lookupsOfHeader.size());
        m_headersToFind = m_lookupsOfHeader.size();
        m_gather = std::max(m_headers.longest(), m_keys.longest());
    }

    bool done() const { return m_unanswered == 0; }
    QStringList answers() const { return m_answers; }

    void begin()
    {
        // resize keeps the buffer, where clear() would free it at every line
        if (!m_line.isEmpty())
            m_line.resize(0);
        m_keysDecided = false;
        m_collecting = false;
    }

    // Feeds the bytes of one line so far.
    void append(const char *data, qsizetype size)
    {
        if (m_collecting) {
            m_line.append(data, size);
            return;
        }
        const qsizetype taken = std::clamp<qsizetype>(m_gather - m_line.size(), 0, size);
        m_line.append(data, taken);
        if (!m_keysDecided && m_line.size() >= m_keys.longest()) {
            decideKeys();
            if (m_collecting)
                m_line.append(data + taken, size - taken);
        }
    }

    // At the end of a line.
    void end()
    {
        if (!m_keysDecided)
            decideKeys();
        for (const int key : m_keysFound) {
            const QString value = platform::codepage::toUnicode(m_line.mid(m_keys.length(key)));
            std::vector<int> &waiting = m_waiting[size_t(key)];
            for (const int lookup : waiting)
                m_answers[lookup] = value;
            m_unanswered -= qsizetype(waiting.size());
            m_waitingCount -= qsizetype(waiting.size());
            waiting.clear();
        }
        // A header line starts its section's key search with the next line.
        if (m_headersToFind == 0)
            return;
        m_headers.match(m_line, [this](int header) {
            if (m_headerFound[size_t(header)])
                return;
            m_headerFound[size_t(header)] = true;
            --m_headersToFind;
            for (const int lookup : m_lookupsOfHeader[size_t(header)]) {
                m_waiting[size_t(m_keyOf[size_t(lookup)])].push_back(lookup);
                ++m_waitingCount;
            }
        });
    }

private:
    void decideKeys()
    {
        m_keysDecided = true;
        m_keysFound.clear();
        if (m_waitingCount == 0)
            return;
        m_keys.match(m_line, [this](int key) {
            if (!m_waiting[size_t(key)].empty())
                m_keysFound.push_back(key);
        });
        m_collecting = !m_keysFound.empty();
    }

    NameTable m_headers {u']'};
    NameTable m_keys {u'='};
    std::vector<int> m_keyOf; // per lookup
    std::vector<std::vector<int>> m_lookupsOfHeader;
    std::vector<bool> m_headerFound;
    qsizetype m_headersToFind = 0;
    std::vector<std::vector<int>> m_waiting; // per key: lookups whose section has begun
    qsizetype m_waitingCount = 0;
    QStringList m_answers;
    qsizetype m_unanswered;

    qsizetype m_gather = 0; // how much of a line can matter to a name
    QByteArray m_line;
    bool m_keysDecided = false;
    bool m_collecting = false;
    std::vector<int> m_keysFound;
};

void readLines(QIODevice &file, LookupSet &lookups)
{
    lookups.begin();
    bool afterCr = false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0)
            return;
        if (got == 0) {
            // The last line needs no line end of its own.
            if (!afterCr)
                lookups.end();
            return;
        }
        const char *p = buffer;
        const char *const stop = buffer + got;
        if (afterCr && *p == '\n')
            ++p;
        afterCr = false;
        while (p < stop) {
            const char *lineEnd = static_cast<const char *>(memchr(p, '\r', size_t(stop - p)));
            if (!lineEnd) {
                lookups.append(p, stop - p);
                break;
            }
            lookups.append(p, lineEnd - p);
            lookups.end();
            if (lookups.done())
                return;
            lookups.begin();
            p = lineEnd + 1;
            if (p == stop)
                afterCr = true;
            else if (*p == '\n')
                ++p;
        }
    }
}

} // namespace

QStringList ReadKeyValues(QIODevice &file, const QList<KeyValueLookup> &lookups)
{
    LookupSet set(lookups);
    if (set.done() || !file.isOpen() || !file.isReadable() || !file.seek(0))
        return set.answers();
    readLines(file, set);
    return set.answers();
}

QString ReadKeyValue(QIODevice &file, const QString &section, const QString &key)
{
    return ReadKeyValues(file, {{section, key}}).first();
}
