#include "shoot_launcher.h"

#include "frmdetails.h"
#include "frmmain.h"
#include "runpage.h"
#include "shotsupport.h"
#include "tabcontrol.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QString>

using namespace Qt::StringLiterals;

void shootLauncher(frmMain &window, const QString &outputFolder)
{
    ProgramList &list = window.programs();
    const QList<ProgramEntry> entries = {
        {u"Калькулятор"_s, u"/usr/bin/xcalc"_s},
        {u"Текстовый редактор"_s, u"/usr/bin/mousepad"_s},
        {u"Мои фотографии"_s, u"/usr/bin/ristretto \"/home/user/Мои фотографии\""_s},
        {u"Терминал"_s, u"/usr/bin/xterm"_s},
    };
    list.restore(entries);
    RunPage &page = *window.page<RunPage>(frmMain::PageRun);
    window.SSTab1->setCurrentIndex(frmMain::PageRun);
    page.RunList->setCurrentIndex(page.RunList->model()->index(2, 0));
    shots::save(window, outputFolder + u"/tarnel-launcher-list.png"_s);

    page.cmdAddApp_Click();
    frmDetails &details = *page.details();
    shots::save(details, outputFolder + u"/tarnel-details-add.png"_s);
    // A box of the entry dialog, whose title must show whole.
    details.txtTitle->clear();
    shots::saveModal([&details] { details.cmdOK_Click(); }, outputFolder + u"/tarnel-details-no-name.png"_s);
    details.close();

    page.cmdChangeApp_Click();
    shots::save(*page.details(), outputFolder + u"/tarnel-details-change.png"_s);
    page.details()->close();

    // The sample is no list of the user's: saved into the temporary program
    // folder, closing asks nothing about it.
    list.SaveAppList();
}
