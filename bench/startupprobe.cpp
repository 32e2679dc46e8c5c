#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QSet>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <link.h>
#include <unistd.h>

namespace bench {

// The image-format plugins the start has loaded: each is a library read and
// started before the first paint, only to be asked what a picture is. Asked
// of the dynamic loader, which costs next to nothing of the figures.
int loadedImagePlugins()
{
    int plugins = 0;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *count) {
            if (std::strstr(info->dlpi_name, "/imageformats/"))
                ++*static_cast<int *>(count);
            return 0;
        },
        &plugins);
    return plugins;
}

class ShownReporter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window's own paint event comes first in its first paint, before
        // any of its controls have drawn their text. The report waits until
        // the whole pass, controls and the flush to the screen included, is
        // over: then a person sees the window.
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("image plugins %d\n", loadedImagePlugins());
                    std::fputs("shown\n", stdout);
                    std::fflush(stdout);
                    ::_exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace bench

// Prints "shown" once the first window has been shown and painted, and ends
// the program at once without its shut-down, so a timed run writes no files.
// Every timed program links this file: the programs' copies are their own
// main.cpp and libraries with it, so no shipped main carries a switch for it.
static void reportFirstWindowShown()
{
    qApp->installEventFilter(new bench::ShownReporter(qApp));
}

Q_COREAPP_STARTUP_FUNCTION(reportFirstWindowShown)
