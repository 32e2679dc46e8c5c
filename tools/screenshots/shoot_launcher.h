#pragma once

class QString;
class frmMain;

// Renders the "Запуск" page with a few entries, and the entry dialog in add
// and in change mode, to "tarnel-launcher-list.png", "tarnel-details-add.png"
// and "tarnel-details-change.png" in outputFolder. The window is left on the
// first page with its list as it was.
void shootLauncher(frmMain &window, const QString &outputFolder);
