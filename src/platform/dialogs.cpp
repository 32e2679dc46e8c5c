#include "dialogs.h"

namespace platform {

Dialogs::~Dialogs() = default;

Dialogs::Answer Dialogs::message(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    Message m;
    m.text = text;
    m.buttons = buttons;
    m.icon = icon;
    m.title = title;
    return message(m);
}

} // namespace platform
