#pragma once

#include "fakedialogs.h"
#include "fakesystem.h"
#include "frmmain.h"
#include "tabcontrol.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A program folder of its own for each test, with scripted dialogs and system.
struct Run
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeSystem system;
    std::unique_ptr<frmMain> window;

    Run() { system.programFolderPath = dir.path() + QLatin1Char('/'); }
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QByteArray settings() const { return read(u"tarnel.ini"_qs); }
    // No page is made until the test asks for it (frmMain::page).
    frmMain &start()
    {
        window = std::make_unique<frmMain>(dialogs, system);
        return *window;
    }
    int page() const { return window->SSTab1->currentIndex(); }
    // Shown at a page and exposed, so that the page's controls take the mouse
    // as they do for the user.
    template<class P> P &show(frmMain::Page index)
    {
        if (!window)
            start();
        window->show();
        window->SSTab1->setCurrentIndex(index);
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not exposed");
        return *window->page<P>(index);
    }
};
