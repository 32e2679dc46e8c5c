// kelvane as bench_startup times it: src/classifier/main.cpp, step for step,
// with the probe that reports the first paint. Keep the two in step.

#include "appearance.h"
#include "frmmain.h"
#include "qtclipboard.h"
#include "qtdialogs.h"
#include "startupprobe.h"

#include <QApplication>

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
    bench::reportWhenShown(&window);
    window.show();
    return app.exec();
}
