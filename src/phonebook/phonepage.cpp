#include "phonepage.h"

#include "appcontext.h"

PhonePage::PhonePage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}
