#pragma once

#include <QStringList>

class QApplication;
class QFont;
class QIcon;
class QPixmap;
class QString;

namespace platform::appearance {

// Maps the faces the windows ask for ("Tahoma", "MS Sans Serif") to a
// metric-compatible face installed here.
void installFontSubstitutions();

// Russian texts for Qt's standard dialogs and buttons, with the few texts the
// program fixes itself ("ОК", "Повтор") taking precedence.
void installRussianTranslations(QApplication &app);

// Tooltips show their text as it stands: Qt would take a user's file name
// such as "<b>name.txt" for markup. Installed once for the application.
void showToolTipsAsPlainText();

// The programs' own texts are Russian, Latin and digits, which the faces they
// ask for hold whole. A fixed-text font does not ask the font configuration
// for faces to fall back on, a search per face and script that costs a
// start-up about as much as loading a face. A control that shows a user's
// text, which may hold any character, takes a user-text font instead.
QFont fixedTextFont(QFont font);
QFont userTextFont(QFont font);

// A PNG picture of the program's resources. Reading it as PNG outright
// spares the start-up the loading of every image plugin, which Qt does when
// it may guess the format.
QPixmap picture(const QString &path);

// An icon made of PNG pictures of the program's resources, one per size. The
// pictures are read once, when something first asks for the icon's sizes or
// pixels (the window manager, when the window is mapped), not when the icon
// is set: a start-up that nobody shows the icon to never decodes them.
QIcon pictureIcon(const QStringList &paths);

} // namespace platform::appearance
