#pragma once

#include "clicklabel.h"

#include <QList>
#include <QRect>
#include <QString>

#include <functional>

class AppContext;
class PadLabel;
class QFrame;
class QLabel;
class QWidget;

// What the tools and games pages share: the pointers while a program starts,
// how the name under the mouse is highlighted, and the look of their controls.
namespace launchpad {

// The mouse is over labels[index]: that label turns red, the others black,
// and info shows description.
void highlight(const QList<QLabel *> &labels, qint16 index, QLabel *info, const QString &description);

// Runs start with the hourglass over the window and over label meanwhile.
void whileBusy(AppContext &context, QWidget *label, const std::function<void()> &start);

// The controls as both pages show them; each gets name as its objectName.
QLabel *placeText(QLabel *label, const char *name, const QRect &rect, bool wrap);
// A "www" (a link) or "Справка" (a button) label of the program named owner.
// A page has several of each: a screen reader names the label with its
// program's name before its text.
ClickLabel *linkLabel(const QString &caption, const QString &owner, const char *name, const QRect &rect,
                      const QString &toolTip, ClickLabel::Kind kind, QWidget *parent);
// A program's picture from the page's resources.
QLabel *picture(const QString &resource, const char *name, const QRect &rect, QWidget *parent);
// The decorative frame behind a page's description.
QFrame *shape(const char *name, const QRect &rect, QWidget *parent);
// A program's name, in the face both pages give it.
PadLabel *nameLabel(const QString &caption, const char *name, const QRect &rect, QWidget *parent);

} // namespace launchpad
