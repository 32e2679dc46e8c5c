#include "appearance.h"
#include "frmmain.h"
#include "platformsystem.h"
#include "qtdialogs.h"

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
    window.show();
    return app.exec();
}
