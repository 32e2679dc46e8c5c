#pragma once

class QApplication;
class QFont;
class QPixmap;
class QString;
class QWidget;

namespace platform::appearance {

// The windows ask for "Tahoma" and "MS Sans Serif", the faces they were laid
// out with; where those are not installed, a face with the same metrics
// stands in. Installs that one table of substitutes into Qt, so that a font
// Qt makes from a name itself (a font dialog's preset) comes to the same
// face. Once per program, before the first window.
void installFontSubstitutions();

// The family a window asks Qt for when it names a face: that face if it is
// installed, otherwise its installed substitute from the table, otherwise the
// name as it stands. Qt would come to the same face, but for a name that is
// not installed it first has the font configuration rank every installed face
// as a fallback, a search that costs each start about a third of a
// millisecond per name.
QString face(const QString &asked);

// Russian texts for Qt's standard dialogs and buttons, with the few texts the
// program fixes itself ("ОК", "Повтор") taking precedence.
void installRussianTranslations(QApplication &app);

// A tooltip that shows a user's text (a file name, a path) as written. Qt
// takes a tooltip that looks like markup ("<b>name.txt") for markup; such a
// text comes back escaped, on one line as a plain tooltip is. Any other text
// comes back as it stands, since Qt shows it as written already.
QString plainToolTip(const QString &text);

// A box's text as the box can wrap it. A box breaks lines at blanks and
// other places a line may end; a longer run without one (a caption of a
// thousand letters) would run off its right edge, so such a run may also
// break between any two of its characters. The breaks are zero-width
// spaces: the text shows as it stands.
QString wrappableText(const QString &text);

// One of the programs' own pictures (a PNG resource) for a screen of the
// given pixel density, by default the densest the program shows on: where
// that is about twice, the picture of twice the size beside it, named with
// "@2x", so that it is not scaled up blurred. QIcon looks for that picture
// itself; QPixmap does not. Read as PNG, without the image plugins being
// asked what it is.
QPixmap picture(const QString &resource);
QPixmap picture(const QString &resource, double ratio);

// For a page whose texts have fixed colours (black names, a blue address),
// chosen for the light page they were drawn on: the page keeps a light
// background and black text whatever the desktop's palette. A light desktop's
// own window colour is kept; a dark desktop's gives way to a light grey. What
// paints behind the page takes the page's Window colour.
void keepLightColours(QWidget *page);

// Qt's own style, where that is the one the program shows, with the frame of
// a group box drawn from the style's picture read as PNG: the style itself
// reads it by the file's name, which has every image plugin loaded and asked
// what the file is before the first paint. The frame looks the same. Once per
// program, before the first window.
void installStyle();

// The fonts of the programs' own windows.
//
// The programs' own texts are Russian, Latin and digits, which the faces they
// ask for hold whole. A fixed-text font does not ask the font configuration
// for faces to fall back on, a search per face and script that costs a
// start-up about as much as loading a face. A control that shows a user's
// text, which may hold any character, takes a user-text font instead.
//
// Both are drawn with the faces' own full hinting: that is the windows' look,
// each letter on whole pixels and crisp at these small sizes, as the system
// the windows were laid out for draws its faces, and as the screenshots show
// them. It is also cheaper: the desktop's lighter setting places letters
// between pixels, so a first paint draws many letters several times over (once
// per position), each through the costlier automatic hinter.
QFont fixedTextFont(QFont font);
QFont userTextFont(QFont font);

} // namespace platform::appearance
