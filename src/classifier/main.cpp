#include "appearance.h"
#include "frmmain.h"
#include "qtclipboard.h"
#include "qtdialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::appearance::installFontSubstitutions();
    platform::appearance::installStyle();
    platform::appearance::installRussianTranslations(app);

    platform::QtDialogs dialogs;
    dialogs.setDefaultTitle(kelvane::frmMain::programTitle());
    kelvane::QtClipboard clipboard;

    kelvane::frmMain window(dialogs, clipboard);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
