#include "appearance.h"
#include "frmmain.h"
#include "platformsystem.h"
#include "qtdialogs.h"
#include "signalpipe.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    platform::appearance::installFontSubstitutions();
    platform::appearance::installStyle();
    platform::appearance::installRussianTranslations(app);

    // Ended without a question (logout, shutdown, a closed terminal): the
    // unsaved work goes into the recovery copy and the program ends there,
    // whatever dialog is open, so that no answer and no save of the user's
    // files can come of it. Before the window is made nothing is unsaved yet.
    SignalPipe endingSignals;
    frmMain *made = nullptr;
    QObject::connect(&endingSignals, &SignalPipe::ended, [&made](int) {
        if (made)
            made->endWithoutQuestion();
        ::_exit(0);
    });

    platform::QtDialogs dialogs;
    platform::PlatformSystem system;
    frmMain window(dialogs, system);
    made = &window;
    dialogs.setParent(&window);
    window.show();
    // After the first paint: reading a large copy must not hold the window back.
    QTimer::singleShot(0, &window, &frmMain::offerRecovery);
    // An X11 session that ends asks first, where the desktop offers it.
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager &manager) {
            const bool interactive = manager.allowsInteraction();
            if (!window.sessionEnding(interactive))
                manager.cancel();
            if (interactive)
                manager.release();
        },
        Qt::DirectConnection);
    return app.exec();
}
