#include "runpage.h"

#include "appcontext.h"

RunPage::RunPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}
