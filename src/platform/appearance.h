#pragma once

#include <QList>
#include <QtGlobal>

class QApplication;
class QFont;
class QIcon;
class QPixmap;
class QString;

namespace platform::appearance {

// Maps the faces the windows ask for ("Tahoma", "MS Sans Serif") to a
// metric-compatible face installed here.
void installFontSubstitutions();

// The family a window asks Qt for when it names a face: that face if it is
// installed, otherwise its first installed substitute, otherwise the
// name as it stands. Qt would come to the same face, but for a name that is
// not installed it first has the font configuration rank every installed face
// as a fallback, a search that costs each start about a third of a
// millisecond per name.
QString face(const QString &asked);

// Russian texts for Qt's standard dialogs and buttons, with the few texts the
// program fixes itself ("ОК", "Повтор") taking precedence.
void installRussianTranslations(QApplication &app);

// Tooltips show their text as it stands: Qt would take a user's file name
// such as "<b>name.txt" for markup. Installed once for the application.
void showToolTipsAsPlainText();

// The fonts of the programs' own windows.
//
// The programs' own texts are Russian, Latin and digits, which the faces they
// ask for hold whole. A fixed-text font does not ask the font configuration
// for faces to fall back on, a search per face and script that costs a
// start-up about as much as loading a face. A control that shows a user's
// text, which may hold any character, takes a user-text font instead.
//
// Both are drawn with the faces' own full hinting, each letter on whole
// pixels and crisp at these small sizes, as the system the windows were laid
// out for draws its faces. The desktop's lighter setting places letters
// between pixels, so a first paint draws many letters several times over (once
// per position), each through the costlier automatic hinter.
QFont fixedTextFont(QFont font);
QFont userTextFont(QFont font);

// A picture compiled into the program as premultiplied ARGB pixels, row by
// row (tarnel_add_pictures makes them from PNG files). Showing one neither
// decodes PNG nor makes Qt look through its image plugins.
struct Picture
{
    int width;
    int height;
    const quint32 *pixels;
};

QPixmap picture(const Picture &picture);

// An icon made of pictures, one per size. The pixmaps are made when something
// first asks for the icon's sizes or pixels (the window manager, when the
// window is mapped), not when the icon is set.
QIcon pictureIcon(const QList<const Picture *> &pictures);

} // namespace platform::appearance
