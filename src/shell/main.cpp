#include "appearance.h"
#include "frmmain.h"
#include "platformsystem.h"
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
    platform::PlatformSystem system;
    frmMain window(dialogs, system);
    dialogs.setParent(&window);
#ifdef TARNEL_STARTUP_PROBE
    bench::reportWhenShown(&window);
#endif
    window.show();
    return app.exec();
}
