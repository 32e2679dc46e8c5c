// Renders the windows of both programs to PNG files for the README:
//   tarnel_screenshots [output folder]
// It runs offscreen in a fresh temporary program folder, so it shows the
// windows as a first start shows them, and it never starts anything.

#include "appearance.h"
#include "frmmain.h"
#include "qtdialogs.h"
#include "shoot_kelvane.h"
#include "shoot_launcher.h"
#include "shoot_launchpad.h"
#include "shoot_notes.h"
#include "shoot_phonebook.h"
#include "shotsupport.h"
#include "system.h"
#include "tabcontrol.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same few faces on every machine, so the pictures do not change with
    // the faces a machine has installed (the font dialog lists them all).
    qputenv("FONTCONFIG_FILE", TARNEL_SCREENSHOT_FONTS);
    QApplication app(argc, argv);
    platform::appearance::installFontSubstitutions();
    platform::appearance::installStyle();
    platform::appearance::installRussianTranslations(app);

    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TARNEL_SCREENSHOT_DIR);
    QDir().mkpath(output);
    QTemporaryDir programFolder;

    platform::QtDialogs dialogs;
    shots::StillSystem system(programFolder.path() + QLatin1Char('/'));
    frmMain window(dialogs, system);
    window.show();
    QTextStream out(stdout);
    for (int page = 0; page < window.SSTab1->count(); ++page) {
        window.SSTab1->setCurrentIndex(page);
        const QString file = output + QStringLiteral("/tarnel-page%1.png").arg(page);
        shots::save(window, file);
        out << file << Qt::endl;
    }
    shootLauncher(window, output);
    shootNotes(window, output);
    window.hide();
    shootLaunchpad(output);
    shootPhoneBook(output);

    shootKelvane(output);
    out << output << QStringLiteral("/kelvane-*.png") << Qt::endl;
    return 0;
}
