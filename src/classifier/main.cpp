#include "appearance.h"
#include "frmmain.h"
#include "qtclipboard.h"
#include "qtdialogs.h"

#include <QApplication>

// Only the start-up benchmark's own build of this program has the probe.
#ifdef TARNEL_STARTUP_PROBE
#include "startupprobe.h"
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::appearance::installFontSubstitutions();
    platform::appearance::installRussianTranslations(app);

    platform::QtDialogs dialogs;
    dialogs.setDefaultTitle(kelvane::frmMain::programTitle());
    kelvane::QtClipboard clipboard;

    kelvane::frmMain window(dialogs, clipboard);
    dialogs.setParent(&window);
#ifdef TARNEL_STARTUP_PROBE
    bench::reportWhenShown(&window);
#endif
    window.show();
    return app.exec();
}
