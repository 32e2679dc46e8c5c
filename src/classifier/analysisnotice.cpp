#include "analysisnotice.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace kelvane {

namespace {

QAccessibleInterface *noticeInterface(const QString &, QObject *object)
{
    auto *notice = qobject_cast<AnalysisNotice *>(object);
    return notice ? new QAccessibleWidget(notice, QAccessible::Notification) : nullptr;
}

} // namespace

AnalysisNotice::AnalysisNotice(QWidget *parent)
    : QWidget(parent)
    , m_line(new QLabel(this))
{
    // Made before the first notice is asked for its interface.
    static const bool accessible = (QAccessible::installFactory(noticeInterface), true);
    Q_UNUSED(accessible)
    m_line->setTextFormat(Qt::PlainText);
    m_line->resize(0, 0);
    resize(0, 0);
}

void AnalysisNotice::announce(const QString &line)
{
    // The reader speaks the notification's lines; its name carries the same
    // for a reader that speaks names.
    m_line->setText(line);
    setAccessibleName(line);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace kelvane
