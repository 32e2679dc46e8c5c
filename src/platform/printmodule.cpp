// The printing module itself: all of the program that needs Qt's print support.
#include "printmodule.h"

#include <QPrinter>
#include <QPrinterInfo>

QPagedPaintDevice *tarnel_newDefaultPrinter()
{
    // QPrinter::isValid() is true even with no printer at all; only the
    // default printer's own description tells.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return new QPrinter(info, QPrinter::HighResolution);
}
