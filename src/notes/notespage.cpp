#include "notespage.h"

#include "appcontext.h"
#include "clicklabel.h"
#include "twips.h"

#include <QPushButton>

NotesPage::NotesPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , cmdLoadLast(new QPushButton(QStringLiteral("Открыть последний файл"), this))
    , lblStatus(new ClickLabel(initialStatus(), this))
    , m_context(context)
{
    using platform::twips::rect;

    cmdLoadLast->setObjectName(QStringLiteral("cmdLoadLast"));
    cmdLoadLast->setToolTip(QStringLiteral("Открыть последний редактируемый файл"));
    cmdLoadLast->setGeometry(rect(1920, 480, 2175, 375));

    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setGeometry(rect(120, 4500, 7215, 255));
}

QString NotesPage::initialStatus()
{
    return QStringLiteral("Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\".");
}
