#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>

class QLabel;
class QWidget;

// The pages are laid out by hand, in the places their windows were drawn at;
// each control carries the name it was drawn with, which is how the tests and
// the screenshots find it.
void placeControl(QWidget *control, const char *name, const QRect &place);

// A static text as the drawn labels are: aligned to the top left, wrapped or not.
QLabel *placeLabel(QLabel *label, const char *name, const QRect &place, bool wrap);

// Tab goes through the controls in the order given: a page's reading order,
// top to bottom and left to right, whatever order they were made in.
void setReadingOrder(std::initializer_list<QWidget *> controls);

// What a list or a grid shows of a user's text. A row is a few dozen
// characters wide, and laying out a hand-edited text of 100,000 on every
// repaint would freeze the page for a second; the data keep the whole text.
QString shownText(const QString &text);
