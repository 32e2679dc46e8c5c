#pragma once

class frmMain;
class QString;

// Renders the notes page of window with a document, its two pop-up menus and
// the font dialog to "tarnel-notes-*.png" in outputFolder.
void shootNotes(frmMain &window, const QString &outputFolder);
