// Times the first showing of each page of the main window: the page is built
// then, so a switch to it must still look instant. Each figure is the median
// of fresh processes, since a page shown once in a process has its fonts and
// pictures loaded for good. Run it once, from a release build; it is no test.
//   bench_pages [--runs N]

#include "benchseams.h"
#include "frmmain.h"
#include "system.h"
#include "tabcontrol.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

using bench::ScriptDialogs;
using bench::StillSystem;

// One process: start on another page, then time the first showing of page,
// built and painted.
int timeOnePage(const QString &folder, int page)
{
    const int startPage = page == frmMain::PageTools ? frmMain::PageRun : frmMain::PageTools;
    QFile settings(QDir(folder).filePath(QStringLiteral("tarnel.ini")));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[mytarnel]\r\nCurTab=" + QByteArray::number(startPage) + "\r\nLastFile=\r\n");
    settings.close();

    ScriptDialogs dialogs;
    StillSystem system;
    system.folder = folder + QLatin1Char('/');
    frmMain window(dialogs, system);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();

    QElapsedTimer clock;
    clock.start();
    window.SSTab1->setCurrentIndex(page);
    window.repaint();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    QTextStream(stdout) << ms << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Processes per page (default 30)."),
                                        QStringLiteral("N"), QStringLiteral("30"));
    const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("Time one page, in this process."),
                                        QStringLiteral("index"));
    const QCommandLineOption folderOption(QStringLiteral("folder"), QStringLiteral("Program folder for --page."),
                                          QStringLiteral("path"));
    parser.addOptions({runsOption, pageOption, folderOption});
    parser.process(app);
    if (parser.isSet(pageOption))
        return timeOnePage(parser.value(folderOption), parser.value(pageOption).toInt());

    const int runs = std::max(1, parser.value(runsOption).toInt());
    const QStringList captions {QStringLiteral("Запуск"), QStringLiteral("Записи"), QStringLiteral("Телефоны"),
                                QStringLiteral("Задачи"), QStringLiteral("Игры"),   QStringLiteral("My Tarnel")};
    QTextStream out(stdout);
    out << "First showing of each page, built then and painted: median of " << runs << " fresh processes\n";
    for (int page = 0; page < frmMain::PageCount; ++page) {
        QTemporaryDir folder;
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--page"), QString::number(page), QStringLiteral("--folder"), folder.path()});
            if (!child.waitForFinished(30000) || child.exitCode() != 0)
                continue;
            bool ok = false;
            const double ms = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toDouble(&ok);
            if (ok)
                times.push_back(ms);
        }
        if (times.empty()) {
            out << captions.at(page) << ": no run finished\n";
            continue;
        }
        std::sort(times.begin(), times.end());
        out << qSetFieldWidth(10) << Qt::left << captions.at(page) << qSetFieldWidth(0) << " median "
            << QString::number(times[times.size() / 2], 'f', 1) << " ms   max " << QString::number(times.back(), 'f', 1)
            << " ms   (" << times.size() << " of " << runs << ")\n";
    }
    return 0;
}
