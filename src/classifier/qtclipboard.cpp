#include "qtclipboard.h"

#include "runtimefailure.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvane {

// QClipboard reports no failures of its own: an owner that does not answer in
// time reads as an empty clipboard, and a refused write is lost. What can still
// fail is memory for another program's text, which may be of any size; that is
// the paste failure the user is told about, not an end of the program.
QString QtClipboard::text()
{
    QString text;
    if (const auto failure
        = platform::failureOf([&] { text = QGuiApplication::clipboard()->text(QClipboard::Clipboard); }))
        throw *failure;
    return text;
}

void QtClipboard::setText(const QString &text)
{
    if (const auto failure
        = platform::failureOf([&] { QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard); }))
        throw *failure;
}

} // namespace kelvane
