// Times the "Запуск" page on hostile program lists: loading the list and
// showing it, as start-up does, and repainting a list of very long captions.
// For the load it also prints what reading the same answers costs when every
// lookup searches the file from its first line. Run it once, from a release
// build; it is no test.
//   bench_launcher [--no-rescan]   (--no-rescan skips the slow rescanning figures)

#include "appcontext.h"
#include "benchseams.h"
#include "keyvaluereader.h"
#include "programlist.h"
#include "runpage.h"
#include "system.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using bench::StillSystem;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Median of up to runs runs; work that takes seconds is not repeated.
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    double total = 0;
    for (int i = 0; i < runs && total < 2000; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        total += times.back();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the sample file");
}

QByteArray entries(int count)
{
    QByteArray bytes = "[general]\r\nmax=" + QByteArray::number(count) + "\r\n";
    for (int i = 1; i <= count; ++i) {
        const QByteArray n = QByteArray::number(i);
        bytes += "[t" + n + "]\r\ncap=e" + n + "\r\ncmd=c" + n + "\r\n";
    }
    return bytes;
}

// What the list's load asks of the file, one search from the first line for
// each answer.
void rescanForEveryLookup(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the sample file");
    const int max = ReadKeyValue(file, QStringLiteral("general"), QStringLiteral("max")).toInt();
    for (int i = 1; i <= max; ++i) {
        const QString section = QLatin1Char('t') + QString::number(i);
        ReadKeyValue(file, section, QStringLiteral("cap"));
        ReadKeyValue(file, section, QStringLiteral("cmd"));
    }
}

// A real paint of the whole list: under the offscreen platform a repaint of
// the window may paint nothing.
void paint(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    widget->render(&image);
}

void line(const QString &what, double ms)
{
    out() << what.leftJustified(64) << QString::number(ms, 'f', 1).rightJustified(10) << " ms" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool rescan = !(argc > 1 && QByteArray(argv[1]) == "--no-rescan");

    bench::PageContext program;
    AppContext &context = program.context;
    StillSystem &system = program.system;

    ProgramList list(context);
    RunPage page(context, list);
    page.resize(489, 320);
    page.show();
    QCoreApplication::processEvents();
    const QString path = system.folder + QStringLiteral("applist.tn");

    // Start-up's share: read the list, fill the list box, paint it.
    const auto loadAndShow = [&] {
        list.LoadAppList();
        paint(page.RunList);
    };

    QByteArray longCaptions = "[general]\r\nmax=100\r\n";
    for (int i = 1; i <= 100; ++i)
        longCaptions
            += "[t" + QByteArray::number(i) + "]\r\ncap=" + QByteArray(100000, char('a' + i % 26)) + "\r\ncmd=c\r\n";

    const struct
    {
        const char *name;
        QByteArray bytes;
    } samples[] = {
        {"1,000,000 lines \"[aaaaaaaaaa\", then 100 entries",
         QByteArray("[aaaaaaaaaa\r\n").repeated(1000000) + entries(100)},
        {"100 headers, then 1,000,000 lines \"cxx=1\"",
         [] {
             QByteArray bytes = "[general]\r\nmax=100\r\n";
             for (int i = 1; i <= 100; ++i)
                 bytes += "[t" + QByteArray::number(i) + "]\r\n";
             return bytes + QByteArray("cxx=1\r\n").repeated(1000000) + "cap=x\r\ncmd=y\r\n";
         }()},
        {"100 captions of 100,000 characters", longCaptions},
    };
    for (const auto &sample : samples) {
        writeBytes(path, sample.bytes);
        out() << sample.name << " (" << QString::number(double(sample.bytes.size()) / 1e6, 'f', 1) << " MB)"
              << Qt::endl;
        line(QStringLiteral("  load and show the list"), medianMs(5, loadAndShow));
        if (list.count() != 100)
            out() << "  (the list did not load: " << list.count() << " entries)" << Qt::endl;
        line(QStringLiteral("  repaint the list"), medianMs(5, [&] { paint(page.RunList); }));
        if (rescan)
            line(QStringLiteral("  the same lookups, each searching from the first line"),
                 medianMs(1, [&] { rescanForEveryLookup(path); }));
    }
    return 0;
}
