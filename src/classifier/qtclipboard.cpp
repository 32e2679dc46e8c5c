#include "qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvane {

// QClipboard reports no failures: an owner that does not answer in time reads
// as an empty clipboard, and a refused write is lost. So neither call throws here.
QString QtClipboard::text()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace kelvane
