// tarnel as bench_startup times it: src/shell/main.cpp, step for step, with
// the probe that reports the first paint. Keep the two in step.

#include "appearance.h"
#include "frmmain.h"
#include "platformsystem.h"
#include "qtdialogs.h"
#include "startupprobe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::appearance::installFontSubstitutions();
    platform::appearance::installRussianTranslations(app);

    platform::QtDialogs dialogs;
    platform::PlatformSystem system;
    frmMain window(dialogs, system);
    dialogs.setParent(&window);
    bench::reportWhenShown(&window);
    window.show();
    return app.exec();
}
