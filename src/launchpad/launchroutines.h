#pragma once

#include "clicklabel.h"

#include <QList>
#include <QRect>
#include <QString>

class AppContext;
class PadLabel;
class QFrame;
class QLabel;
class QWidget;

// What the tools and games pages share: how a program is started from them,
// how the name under the mouse is highlighted, the help and web links, and
// the look of their controls.
namespace launchpad {

// The file of a program of the suite, given by its path inside the program
// folder without the suffix ("tallyra/tallyra").
QString programPath(const QString &programFolder, const QString &relativePath);

// The command line of a program of the suite, given by its path inside the
// program folder without the suffix ("tallyra/tallyra").
QString programLine(const QString &programFolder, const QString &relativePath);

// The opener's command line for target, which is passed on as it is.
QString openerLine(const QString &windowsFolder, const QString &target);

// Whether the file at path is there; a search that cannot be made finds
// nothing.
bool fileFound(const AppContext &context, const QString &path);

// The mouse is over labels[index]: that label turns red, the others black,
// and info shows description.
void highlight(const QList<QLabel *> &labels, qint16 index, QLabel *info, const QString &description);

// Starts commandLine, having made folder current unless it is empty, with the
// click sound and the hourglass over the window and label meanwhile.
void start(AppContext &context, QWidget *label, const QString &folder, const QString &commandLine);

// Opens the page at path on the suite's web site.
void openWebPage(AppContext &context, const QString &path);

// Opens a help file of the program folder, or says that it is missing.
void openHelpFile(AppContext &context, const QString &relativePath);

// The controls as both pages show them; each gets name as its objectName.
QLabel *placeText(QLabel *label, const char *name, const QRect &rect, bool wrap);
// A "www" (a link) or "Справка" (a button) label.
ClickLabel *linkLabel(const QString &caption, const char *name, const QRect &rect, const QString &toolTip,
                      ClickLabel::Kind kind, QWidget *parent);
// A program's picture from the page's resources.
QLabel *picture(const QString &resource, const char *name, const QRect &rect, QWidget *parent);
// The decorative frame behind a page's description.
QFrame *shape(const char *name, const QRect &rect, QWidget *parent);
// A program's name, in the face both pages give it.
PadLabel *nameLabel(const QString &caption, const char *name, const QRect &rect, QWidget *parent);

} // namespace launchpad
