#include "codepage.h"
#include "countingbuffer.h"
#include "keyvaluereader.h"
#include "runtimefailure.h"
#include "settingsfile.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

class tst_KeyValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readKeyValue_data();
    void readKeyValue();
    void readKeyValue_orderOfCallsDoesNotMatter();
    void readKeyValue_closedDeviceGivesEmpty();
    void readKeyValues_data();
    void readKeyValues();
    void readKeyValues_answersAsOneLookupAtATime();
    void pageFromText_data();
    void pageFromText();
    void bytes_data();
    void bytes();
};

static QByteArray ansi(const QString &text)
{
    return platform::codepage::fromUnicode(text);
}

// The reader's rules the plain way: the whole file as lines, the header
// searched for, then the key from the line below it.
static QString plainReadKeyValue(const QByteArray &bytes, const QString &section, const QString &key)
{
    QString text = platform::codepage::toUnicode(bytes);
    text.replace(u"\r\n"_qs, u"\r"_qs);
    const QStringList lines = text.split(u'\r');
    qsizetype at = 0;
    if (!section.isEmpty()) {
        const QString header = u'[' + section + u']';
        while (at < lines.size() && !lines[at].startsWith(header, Qt::CaseInsensitive))
            ++at;
        ++at;
    }
    const QString name = key + u'=';
    for (; at < lines.size(); ++at) {
        if (lines[at].startsWith(name, Qt::CaseInsensitive))
            return lines[at].mid(name.size());
    }
    return QString();
}

void tst_KeyValue::readKeyValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString my = QStringLiteral("mytarnel");
    const QString tab = QStringLiteral("CurTab");
    const QString last = QStringLiteral("LastFile");

    QTest::newRow("as written") << QByteArray("[mytarnel]\r\nCurTab=2\r\nLastFile=\r\n") << my << tab << u"2"_qs;
    QTest::newRow("header in other case") << QByteArray("[MyTarnel]\r\nCurTab=1\r\n") << my << tab << u"1"_qs;
    QTest::newRow("text after the header") << QByteArray("[MYTARNEL] old\r\nCurTab=3") << my << tab << u"3"_qs;
    QTest::newRow("blank before the header") << QByteArray(" [mytarnel]\r\nCurTab=3\r\n") << my << tab << QString();
    QTest::newRow("key in other case") << QByteArray("[mytarnel]\r\ncurtab=1\r\n") << my << tab << u"1"_qs;
    QTest::newRow("blank before =") << QByteArray("[mytarnel]\r\nCurTab =1\r\n") << my << tab << QString();
    QTest::newRow("first = separates") << QByteArray("[mytarnel]\r\nLastFile=C:\\a=b.txt\r\n") << my << last
                                       << u"C:\\a=b.txt"_qs;
    QTest::newRow("blanks belong to the value")
        << QByteArray("[mytarnel]\r\nLastFile=  x  \r\n") << my << last << u"  x  "_qs;
    QTest::newRow("nothing after =") << QByteArray("[mytarnel]\r\nLastFile=\r\n") << my << last << QString();
    QTest::newRow("key is a whole prefix") << QByteArray("[a]\r\ncaption=x\r\n") << u"a"_qs << u"cap"_qs << QString();
    QTest::newRow("key matches any case") << QByteArray("[a]\r\nMAX=3\r\nMax=4\r\n") << u"a"_qs << u"max"_qs << u"3"_qs;
    QTest::newRow("own section wins") << QByteArray("[other]\r\nCurTab=7\r\n[mytarnel]\r\nCurTab=1\r\n") << my << tab
                                      << u"1"_qs;
    QTest::newRow("never before the header")
        << QByteArray("CurTab=9\r\n[mytarnel]\r\nx=1\r\n") << my << tab << QString();
    QTest::newRow("search goes past later headers")
        << QByteArray("[mytarnel]\r\nx=1\r\n[later]\r\nCurTab=5\r\n") << my << tab << u"5"_qs;
    QTest::newRow("missing section") << QByteArray("[other]\r\nCurTab=5\r\n") << my << tab << QString();
    QTest::newRow("lone CR ends a line") << QByteArray("[mytarnel]\rCurTab=4\r") << my << tab << u"4"_qs;
    QTest::newRow("lone LF does not") << QByteArray("[mytarnel]\nCurTab=4\n") << my << tab << QString();
    QTest::newRow("LF kept inside a value")
        << QByteArray("[mytarnel]\r\nLastFile=a\nb\r\n") << my << last << u"a\nb"_qs;
    QTest::newRow("no section asked") << QByteArray("AppCount=3\r\n") << QString() << u"AppCount"_qs << u"3"_qs;
    QTest::newRow("empty file") << QByteArray() << my << tab << QString();
    QTest::newRow("NUL bytes") << QByteArray("[mytarnel]\r\nCurTab=\0x\r\n", 23) << my << tab
                               << QString(QChar(0)) + u"x"_qs;
    QTest::newRow("0x98 survives") << QByteArray("[mytarnel]\r\nLastFile=\x98\r\n") << my << last
                                   << QString(QChar(0x98));
    QTest::newRow("Cyrillic value") << ansi(u"[mytarnel]\r\nLastFile=C:\\Мои документы\\список.txt\r\n"_qs) << my
                                    << last << u"C:\\Мои документы\\список.txt"_qs;
    QTest::newRow("junk without line ends") << QByteArray(100000, '\xC8') << my << tab << QString();

    // The reader works through the file in blocks: lines and line ends cut by
    // a block boundary must read as if whole.
    const int block = 64 * 1024;
    QByteArray crLfSplit(block - 1, 'x');
    crLfSplit += "\r\nCurTab=1";
    QTest::newRow("CR LF across blocks") << crLfSplit << QString() << tab << u"1"_qs;
    QByteArray keySplit("[mytarnel]\r\n");
    keySplit += QByteArray(block - keySplit.size() - 2 - 3, 'y') + "\r\nCurTab=77\r\n";
    QTest::newRow("key across blocks") << keySplit << my << tab << u"77"_qs;
    QByteArray valueSplit("[mytarnel]\r\nLastFile=");
    const QByteArray longValue(block, 'v');
    valueSplit += longValue + "\r\n";
    QTest::newRow("value across blocks") << valueSplit << my << last << QString::fromLatin1(longValue);
    QByteArray manyLines;
    for (int i = 0; i < 200000; ++i)
        manyLines += "noise=1\r\n";
    manyLines += "[mytarnel]\r\nCurTab=3\r\n";
    QTest::newRow("section after many lines") << manyLines << my << tab << u"3"_qs;
}

void tst_KeyValue::readKeyValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QBuffer buffer(&content);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(ReadKeyValue(buffer, section, key), expected);
}

void tst_KeyValue::readKeyValue_orderOfCallsDoesNotMatter()
{
    QByteArray content("[mytarnel]\r\nCurTab=2\r\nLastFile=C:\\x.txt\r\n");
    QBuffer buffer(&content);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(ReadKeyValue(buffer, u"mytarnel"_qs, u"LastFile"_qs), u"C:\\x.txt"_qs);
    QCOMPARE(ReadKeyValue(buffer, u"mytarnel"_qs, u"CurTab"_qs), u"2"_qs);
    QCOMPARE(ReadKeyValue(buffer, u"mytarnel"_qs, u"LastFile"_qs), u"C:\\x.txt"_qs);
}

void tst_KeyValue::readKeyValue_closedDeviceGivesEmpty()
{
    QByteArray content("[mytarnel]\r\nCurTab=2\r\n");
    QBuffer buffer(&content);
    QCOMPARE(ReadKeyValue(buffer, u"mytarnel"_qs, u"CurTab"_qs), QString());
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(ReadKeyValue(buffer, u"mytarnel"_qs, u"CurTab"_qs), QString());
}

// Many lookups of one file, as the program list makes them: the answers are
// those of one lookup each, and the file is read once, however many lines it
// has that look like a header or a key.
void tst_KeyValue::readKeyValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lookups"); // "section/key"
    QTest::addColumn<QStringList>("expected");

    QStringList listLookups {u"general/max"_qs};
    QStringList entries {u"100"_qs};
    QStringList sameEntry {u"100"_qs};
    QByteArray list("[general]\r\nmax=100\r\n");
    QByteArray headers("[general]\r\nmax=100\r\n");
    for (int i = 1; i <= 100; ++i) {
        listLookups << u"t%1/cap"_qs.arg(i) << u"t%1/cmd"_qs.arg(i);
        entries << u"e%1"_qs.arg(i) << u"c%1"_qs.arg(i);
        sameEntry << u"x"_qs << u"y"_qs;
        list += "[t" + QByteArray::number(i) + "]\r\ncap=e" + QByteArray::number(i) + "\r\ncmd=c"
              + QByteArray::number(i) + "\r\n";
        headers += "[t" + QByteArray::number(i) + "]\r\n";
    }
    QTest::newRow("a million lines like a header before 100 entries")
        << QByteArray("[aaaaaaaaaa\r\n").repeated(1000000) + list << listLookups << entries;
    QTest::newRow("100 headers, then a million lines like a key")
        << headers + QByteArray("cxx=1\r\n").repeated(1000000) + "cap=x\r\ncmd=y" << listLookups << sameEntry;
    QTest::newRow("lookups of one pass keep apart")
        << QByteArray("[t10]\r\ncap=ten\r\n[t1]\r\n[T2] old\r\nCAP=two\r\n[t1]\r\ncap=again\r\nCmd=last")
        << QStringList {u"t1/cap"_qs, u"t10/cap"_qs, u"t2/Cap"_qs, u"/cap"_qs, u"t3/cap"_qs, u"t1/cmd"_qs, u"t10/ca"_qs}
        << QStringList {u"two"_qs, u"ten"_qs, u"two"_qs, u"ten"_qs, QString(), u"last"_qs, QString()};
}

void tst_KeyValue::readKeyValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lookups);
    QFETCH(QStringList, expected);

    QList<KeyValueLookup> asked;
    for (const QString &lookup : lookups)
        asked.append({lookup.section(u'/', 0, 0), lookup.section(u'/', 1)});
    CountingBuffer buffer(&content);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(ReadKeyValues(buffer, asked), expected);
    QVERIFY2(buffer.bytesRead <= content.size(), QByteArray::number(buffer.bytesRead).constData());
}

// Files made of every kind of line the reader tells apart, cut into blocks
// at every kind of place.
void tst_KeyValue::readKeyValues_answersAsOneLookupAtATime()
{
    const QStringList sections {QString(), u"sec"_qs, u"SEC"_qs, u"sec2"_qs, u"ёлка"_qs, u"missing"_qs};
    const QStringList keys {QString(), u"key"_qs, u"KEY"_qs, u"ke"_qs, u"keyx"_qs, u"ключ"_qs};
    const QList<QByteArray> tails {"", " more", "x", "]"};
    const QList<QByteArray> values {"", "v", "a=b", "  x  ", "\x98", QByteArray("\0z", 2), "\xC0\xE0", "a\nb"};
    const QList<QByteArray> lineEnds {"\r\n", "\r\n", "\r", "\n"};
    QList<KeyValueLookup> lookups;
    for (const QString &section : sections) {
        for (const QString &key : keys)
            lookups.append({section, key});
    }
    QRandomGenerator random(24);
    const auto any = [&random](const auto &list) { return list.at(random.bounded(int(list.size()))); };
    for (int round = 0; round < 200; ++round) {
        QByteArray file;
        // A line long enough to put the end of the first block among the lines after it.
        if (round % 4 == 0)
            file += QByteArray(65536 - random.bounded(40), 'n') + "\r\n";
        for (int line = random.bounded(12); line > 0; --line) {
            switch (random.bounded(4)) {
            case 0:
                file += (random.bounded(6) == 0 ? " [" : "[") + ansi(any(sections)) + "]" + any(tails);
                break;
            case 1:
                file += ansi(any(keys)) + (random.bounded(6) == 0 ? " =" : "=") + any(values);
                break;
            case 2:
                file += any(QList<QByteArray> {"", "=", "[", "noise", "\xC8\xC8"});
                break;
            default:
                file += ansi(any(keys).toUpper() + u'=' + any(sections));
            }
            file += any(lineEnds);
        }
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QStringList answers = ReadKeyValues(buffer, lookups);
        for (qsizetype i = 0; i < lookups.size(); ++i) {
            const QString expected = plainReadKeyValue(file, lookups[i].section, lookups[i].key);
            QVERIFY2(answers.at(i) == expected,
                     qPrintable(u"[%1] %2 in %3"_qs.arg(lookups[i].section, lookups[i].key,
                                                        QString::fromLatin1(file.right(300).toPercentEncoding()))));
        }
    }
}

void tst_KeyValue::pageFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -99999: overflow

    const int overflow = -99999;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("plain") << u"2"_qs << 2;
    QTest::newRow("leading blanks") << u"  3"_qs << 3;
    QTest::newRow("leading tab") << u"\t5"_qs << 5;
    QTest::newRow("half rounds to even, down") << u"2.5"_qs << 2;
    QTest::newRow("half rounds to even, up") << u"3.5"_qs << 4;
    QTest::newRow("above half") << u"2.51"_qs << 3;
    QTest::newRow("negative") << u"-1"_qs << -1;
    QTest::newRow("negative half") << u"-0.5"_qs << 0;
    QTest::newRow("plus sign") << u"+4"_qs << 4;
    QTest::newRow("fraction only") << u".5"_qs << 0;
    QTest::newRow("exponent") << u"1.5e1"_qs << 15;
    QTest::newRow("exponent without digits") << u"1e"_qs << 1;
    QTest::newRow("text") << u"abc"_qs << 0;
    QTest::newRow("digits then text") << u"12abc"_qs << 12;
    QTest::newRow("second number ignored") << u"5 6"_qs << 5;
    QTest::newRow("hex is not read") << u"0x10"_qs << 0;
    QTest::newRow("sign alone") << u"-"_qs << 0;
    QTest::newRow("largest") << u"32767"_qs << 32767;
    QTest::newRow("smallest") << u"-32768"_qs << -32768;
    QTest::newRow("smallest after rounding") << u"-32768.5"_qs << -32768;
    QTest::newRow("largest rounds over") << u"32767.5"_qs << overflow;
    QTest::newRow("beyond 16 bits") << u"40000"_qs << overflow;
    QTest::newRow("below 16 bits") << u"-32769"_qs << overflow;
    QTest::newRow("huge exponent") << u"1e999"_qs << overflow;
    QTest::newRow("tiny exponent") << u"1e-999"_qs << 0;
    QTest::newRow("many digits") << u"99999999999999999999999"_qs << overflow;
}

void tst_KeyValue::pageFromText()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    if (expected == -99999) {
        try {
            settingsfile::pageFromText(text);
            QFAIL("no overflow reported");
        } catch (const platform::RuntimeFailure &failure) {
            QCOMPARE(failure.number(), platform::failure::Overflow);
            QVERIFY(!failure.description().isEmpty());
        }
    } else {
        QCOMPARE(int(settingsfile::pageFromText(text)), expected);
    }
}

void tst_KeyValue::bytes_data()
{
    QTest::addColumn<int>("curTab");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no document saved") << 5 << QString() << QByteArray("[mytarnel]\r\nCurTab=5\r\nLastFile=\r\n");
    QTest::newRow("Cyrillic path") << 2 << u"C:\\Мои документы\\список.txt"_qs
                                   << QByteArray(
                                          "[mytarnel]\r\nCurTab=2\r\nLastFile=C:\\\xCC\xEE\xE8 "
                                          "\xE4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xFB\\\xF1\xEF\xE8\xF1\xEE\xEA.txt\r\n");
    QTest::newRow("unknown characters") << 0 << u"/home/中/é"_qs
                                        << QByteArray("[mytarnel]\r\nCurTab=0\r\nLastFile=/home/?/?\r\n");
}

void tst_KeyValue::bytes()
{
    QFETCH(int, curTab);
    QFETCH(QString, lastFile);
    QFETCH(QByteArray, expected);
    QCOMPARE(settingsfile::bytes(curTab, lastFile), expected);
}

QTEST_APPLESS_MAIN(tst_KeyValue)
#include "tst_keyvalue.moc"
