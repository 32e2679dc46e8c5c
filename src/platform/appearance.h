#pragma once

class QApplication;

namespace platform::appearance {

// Maps the faces the windows ask for ("Tahoma", "MS Sans Serif") to a
// metric-compatible face installed here.
void installFontSubstitutions();

// Russian texts for Qt's standard dialogs and buttons, with the few texts the
// program fixes itself ("ОК", "Повтор") taking precedence.
void installRussianTranslations(QApplication &app);

} // namespace platform::appearance
