#pragma once

#include <QRect>

class QLabel;
class QWidget;

// The pages are laid out by hand, in the places their windows were drawn at;
// each control carries the name it was drawn with, which is how the tests and
// the screenshots find it.
void placeControl(QWidget *control, const char *name, const QRect &place);

// A static text as the drawn labels are: aligned to the top left, wrapped or not.
QLabel *placeLabel(QLabel *label, const char *name, const QRect &place, bool wrap);
