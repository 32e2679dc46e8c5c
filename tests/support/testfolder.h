#pragma once

#include "fakedialogs.h"
#include "fakesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// A program folder of its own for each test, its path holding a blank, with
// scripted dialogs and system.
struct TestFolder
{
    QTemporaryDir dir {QDir::tempPath() + u"/Orvane Tarnel XXXXXX"_qs};
    FakeDialogs dialogs;
    FakeSystem system;
    // The copies of unsaved work, kept apart from the user's own.
    QTemporaryDir state;
    TestFolder()
    {
        system.programFolderPath = path(QString());
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    }
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    // The bytes given, or in place of a file a "<folder>", a "<fifo>", a
    // "<device>" that never ends or a "<loop>", a link to itself that cannot
    // be searched even by root. Folders on the way are made.
    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        const QString at = path(name);
        QVERIFY(QDir().mkpath(QFileInfo(at).path()));
        if (bytes == "<folder>")
            QVERIFY(QDir().mkdir(at));
        else if (bytes == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
        else if (bytes == "<device>")
            QVERIFY(QFile::link(u"/dev/zero"_qs, at));
        else if (bytes == "<loop>")
            QVERIFY(QFile::link(at, at));
        else {
            QFile file(at);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
    }
    // The games with their help files and Gillrun, as a full installation has them.
    void installGames() const
    {
        for (const QString &file :
             {u"gillrun/gillrun"_qs, u"brommel.txt"_qs, u"quarrow.txt"_qs, u"gillrun/index.html"_qs})
            writeFile(file, {});
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QByteArray settings() const { return read(u"tarnel.ini"_qs); }
};
