#pragma once

#include "frmmain.h"
#include "tabcontrol.h"
#include "testfolder.h"

#include <memory>

// The whole main window in a program folder of its own.
struct Run : TestFolder
{
    std::unique_ptr<frmMain> window;

    // As the program starts, the offer of what an earlier run left included.
    // No page is made until the test asks for it (frmMain::page).
    frmMain &start()
    {
        window = std::make_unique<frmMain>(dialogs, system);
        window->offerRecovery();
        return *window;
    }
    int page() const { return window->SSTab1->currentIndex(); }
    // Shown at a page and exposed, so that the page's controls take the mouse
    // as they do for the user.
    template<class P> P &show(frmMain::Page index)
    {
        if (!window)
            start();
        window->show();
        window->SSTab1->setCurrentIndex(index);
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not exposed");
        return *window->page<P>(index);
    }
};
