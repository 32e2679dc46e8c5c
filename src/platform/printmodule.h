#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QPagedPaintDevice;

// Loading Qt's print support library would cost every start of tarnel over a
// million instructions, though few sessions ever print. Only the printing module
// links it: a shared library beside the programs that tarnel loads at the first
// print.

// The module's one entry point: a new device for the default printer, or
// nullptr when there is none.
extern "C" Q_DECL_EXPORT QPagedPaintDevice *tarnel_newDefaultPrinter();

namespace platform::printmodule {

// The module's file name in the program folder.
QString fileName();

// A device for the default printer, made by the module in folder (which ends
// in "/"). Throws RuntimeFailure 482 when there is no default printer, and
// when the module is missing or cannot be loaded: nothing can be printed then.
std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString &folder);

} // namespace platform::printmodule
