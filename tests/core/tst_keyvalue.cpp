#include "codepage.h"
#include "countingbuffer.h"
#include "keyvaluereader.h"
#include "runtimefailure.h"
#include "settingsfile.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

using platform::codepage::fromUnicode;

class tst_KeyValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readKeyValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lookups"); // "section/key"
        QTest::addColumn<QStringList>("expected");

        const auto row = [](const char *name, const QByteArray &content, const QString &expected,
                            const QString &key = u"CurTab"_qs, const QString &section = u"mytarnel"_qs) {
            QTest::newRow(name) << content << QStringList {section + u'/' + key} << QStringList {expected};
        };
        const QString last = QStringLiteral("LastFile");
        row("as written", "[mytarnel]\r\nCurTab=2\r\nLastFile=\r\n", u"2"_qs);
        row("header in other case, text after it", "[MyTarnel] old\r\nCurTab=3", u"3"_qs);
        row("blank before the header", " [mytarnel]\r\nCurTab=3\r\n", QString());
        row("blank before =", "[mytarnel]\r\nCurTab =1\r\n", QString());
        row("first = separates", "[mytarnel]\r\nLastFile=C:\\a=b.txt\r\n", u"C:\\a=b.txt"_qs, last);
        row("blanks belong to the value", "[mytarnel]\r\nLastFile=  x  \r\n", u"  x  "_qs, last);
        row("nothing after =", "[mytarnel]\r\nLastFile=\r\n", QString(), last);
        row("key is a whole prefix", "[a]\r\ncaption=x\r\n", QString(), u"cap"_qs, u"a"_qs);
        row("key in any case, the first wins", "[a]\r\nMAX=3\r\nMax=4\r\n", u"3"_qs, u"max"_qs, u"a"_qs);
        row("own section wins", "[other]\r\nCurTab=7\r\n[mytarnel]\r\nCurTab=1\r\n", u"1"_qs);
        row("never before the header", "CurTab=9\r\n[mytarnel]\r\nx=1\r\n", QString());
        row("search goes past later headers", "[mytarnel]\r\nx=1\r\n[later]\r\nCurTab=5\r\n", u"5"_qs);
        row("missing section", "[other]\r\nCurTab=5\r\n", QString());
        row("lone CR ends a line", "[mytarnel]\rCurTab=4\r", u"4"_qs);
        row("lone LF is part of the line", "[mytarnel]\r\nLastFile=a\nCurTab=4\r\n", u"a\nCurTab=4"_qs, last);
        row("no section asked", "AppCount=3\r\n", u"3"_qs, u"AppCount"_qs, QString());
        row("empty file", QByteArray(), QString());
        row("NUL and 0x98 kept", QByteArray("[mytarnel]\r\nCurTab=\0\x98\r\n", 22), QString(QChar(0)) + QChar(0x98));
        const QString path = u"C:\\Мои документы\\список.txt"_qs;
        row("Cyrillic names in any case", fromUnicode(u"[ёЛКА]\r\nКлюч=1\r\n"_qs), u"1"_qs, u"кЛЮЧ"_qs, u"ЁЛка"_qs);
        row("Cyrillic value", fromUnicode(u"[mytarnel]\r\nLastFile="_qs + path + u"\r\n"_qs), path, last);
        row("junk without line ends", QByteArray(100000, '\xC8'), QString());

        // The reader works through the file in blocks: lines and line ends cut by
        // a block boundary must read as if whole.
        const int block = 64 * 1024;
        row("CR LF across blocks", QByteArray(block - 1, 'x') + "\r\nCurTab=1", u"1"_qs, u"CurTab"_qs, QString());
        const QByteArray header("[mytarnel]\r\n");
        row("key across blocks", header + QByteArray(block - header.size() - 5, 'y') + "\r\nCurTab=77\r\n", u"77"_qs);
        const QByteArray longValue(block, 'v');
        row("value across blocks", header + "LastFile=" + longValue + "\r\n", QString::fromLatin1(longValue), last);
        row("section after many lines", QByteArray("noise=1\r\n").repeated(200000) + header + "CurTab=3\r\n", u"3"_qs);

        // Many lookups of one file, as the program list makes them: the answers
        // are those of one lookup each, and the file is read once, however many
        // lines it has that look like a header or a key.
        QStringList lookups {u"general/max"_qs};
        QStringList entries {u"100"_qs};
        QStringList sameEntry {u"100"_qs};
        QByteArray list("[general]\r\nmax=100\r\n");
        QByteArray headers = list;
        for (int i = 1; i <= 100; ++i) {
            const QByteArray n = QByteArray::number(i);
            lookups << u"t%1/cap"_qs.arg(i) << u"t%1/cmd"_qs.arg(i);
            entries << u"e%1"_qs.arg(i) << u"c%1"_qs.arg(i);
            sameEntry << u"x"_qs << u"y"_qs;
            list += "[t" + n + "]\r\ncap=e" + n + "\r\ncmd=c" + n + "\r\n";
            headers += "[t" + n + "]\r\n";
        }
        QTest::newRow("a million lines like a header before 100 entries")
            << QByteArray("[aaaaaaaaaa\r\n").repeated(1000000) + list << lookups << entries;
        QTest::newRow("100 headers, then a million lines like a key")
            << headers + QByteArray("cxx=1\r\n").repeated(1000000) + "cap=x\r\ncmd=y" << lookups << sameEntry;
        // "/" asks for no section and no key: the first line that begins with "=".
        QTest::newRow("lookups of one pass keep apart")
            << QByteArray("=none\r\n[t10]\r\ncap=ten\r\n[t1]\r\n[T2] old\r\nCAP=two\r\n[t1]\r\ncap=again\r\nCmd=last")
            << QStringList {u"t1/cap"_qs, u"t10/cap"_qs, u"t2/Cap"_qs, u"/cap"_qs,
                            u"t3/cap"_qs, u"t1/cmd"_qs,  u"t10/ca"_qs, u"/"_qs}
            << QStringList {u"two"_qs, u"ten"_qs, u"two"_qs, u"ten"_qs, QString(), u"last"_qs, QString(), u"none"_qs};
    }

    // Each lookup starts from the first line, wherever the one before stopped;
    // a device that cannot be read gives nothing, without a word.
    void readKeyValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lookups);
        QFETCH(QStringList, expected);
        QTest::failOnWarning(QRegularExpression(u"."_qs));

        QList<KeyValueLookup> asked;
        for (const QString &lookup : lookups)
            asked.append({lookup.section(u'/', 0, 0), lookup.section(u'/', 1)});
        const QStringList nothing(asked.size(), QString());
        CountingBuffer buffer(&content);
        QCOMPARE(ReadKeyValues(buffer, asked), nothing);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(ReadKeyValues(buffer, asked), expected);
        QVERIFY2(buffer.bytesRead <= content.size(), QByteArray::number(buffer.bytesRead).constData());
        // Below a first line that ends the reader's first block at each of the
        // file's bytes in turn, the file reads the same, each lookup alone too.
        for (qsizetype cut = 0; cut <= content.size() && content.size() < 1000; ++cut) {
            QByteArray moved = QByteArray(64 * 1024 - 2 - cut, 'n') + "\r\n" + content;
            QBuffer device(&moved);
            QVERIFY(device.open(QIODevice::ReadOnly));
            QCOMPARE(ReadKeyValues(device, asked), expected);
            for (qsizetype i = 0; i < asked.size(); ++i)
                QCOMPARE(ReadKeyValue(device, asked[i].section, asked[i].key), expected[i]);
        }
        buffer.close();
        QVERIFY(buffer.open(QIODevice::WriteOnly | QIODevice::Append));
        QCOMPARE(ReadKeyValues(buffer, asked), nothing);
    }

    void pageFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // the page, or the failure

        // The longest number after leading blanks, rounded half to even; 0
        // without one. 16 bits must hold it.
        const std::pair<const char *, int> pages[]
            = {{"", 0},       {"2", 2},         {"  3", 3},         {"\t5", 5},          {"+4", 4},     {"-1", -1},
               {"abc", 0},    {"12abc", 12},    {"5 6", 5},         {"0x10", 0},         {"-", 0},      {"2.5", 2},
               {"3.5", 4},    {"2.51", 3},      {"-0.5", 0},        {".5", 0},           {"1.5e1", 15}, {"1e", 1},
               {"1e-999", 0}, {"32767", 32767}, {"-32768", -32768}, {"-32768.5", -32768}};
        for (const auto &[text, page] : pages)
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << QString::number(page);
        for (const char *text : {"32767.5", "40000", "-32769", "1e999", "99999999999999999999999"})
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << u"6: Переполнение"_qs;
    }

    void pageFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);

        qint16 page = 0;
        const auto failure = platform::failureOf([&] { page = settingsfile::pageFromText(text); });
        QCOMPARE(failure ? QString::fromUtf8(failure->what()) : QString::number(page), expected);
    }

    // The page, then the last file in the code page.
    void bytes()
    {
        const QString path = u"C:\\Мои документы\\список.txt"_qs;
        const QByteArray head("[mytarnel]\r\nCurTab=");
        QCOMPARE((QList<QByteArray> {settingsfile::bytes(5, QString()), settingsfile::bytes(2, path),
                                     settingsfile::bytes(0, u"/home/中/é"_qs)}),
                 (QList<QByteArray> {head + "5\r\nLastFile=\r\n", head + "2\r\nLastFile=" + fromUnicode(path) + "\r\n",
                                     head + "0\r\nLastFile=/home/?/?\r\n"}));
    }
};

QTEST_APPLESS_MAIN(tst_KeyValue)
#include "tst_keyvalue.moc"
