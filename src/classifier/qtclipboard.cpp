#include "qtclipboard.h"

#include "runtimefailure.h"

#include <QClipboard>
#include <QGuiApplication>

#include <new>

namespace kelvane {

// QClipboard reports no failures of its own: an owner that does not answer in
// time reads as an empty clipboard, and a refused write is lost. What can still
// fail is memory for another program's text, which may be of any size; that is
// the paste failure the user is told about, not an end of the program.
QString QtClipboard::text()
{
    try {
        return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    } catch (const std::bad_alloc &) {
        throw platform::RuntimeFailure::withNumber(platform::failure::OutOfMemory);
    }
}

void QtClipboard::setText(const QString &text)
{
    try {
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    } catch (const std::bad_alloc &) {
        throw platform::RuntimeFailure::withNumber(platform::failure::OutOfMemory);
    }
}

} // namespace kelvane
