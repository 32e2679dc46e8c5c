#include "printmodule.h"
#include "runtimefailure.h"

#include <QFile>
#include <QPagedPaintDevice>

#include <dlfcn.h>

namespace platform::printmodule {

QString fileName()
{
    return QStringLiteral("libtarnelprint.so");
}

std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString &folder)
{
    // A name without a slash would be looked for along the library search
    // path: only the module that ships with this program will do.
    if (!folder.endsWith(QLatin1Char('/')))
        throw RuntimeFailure::withNumber(failure::PrinterError);
    // Never closed: Qt's print support, once used, is not made to be unloaded.
    // A later print's dlopen finds the module already loaded.
    void *module = ::dlopen(QFile::encodeName(folder + fileName()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        throw RuntimeFailure::withNumber(failure::PrinterError);
    const auto newDevice
        = reinterpret_cast<decltype(&tarnel_newDefaultPrinter)>(::dlsym(module, "tarnel_newDefaultPrinter"));
    std::unique_ptr<QPagedPaintDevice> device(newDevice ? newDevice() : nullptr);
    if (!device)
        throw RuntimeFailure::withNumber(failure::PrinterError);
    return device;
}

} // namespace platform::printmodule
