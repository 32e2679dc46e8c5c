#include "platformsystem.h"

#include "commandline.h"
#include "folders.h"
#include "printjob.h"
#include "runtimefailure.h"
#include "soundplayer.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace platform {

QString PlatformSystem::programFolder() const
{
    return folders::programFolder();
}

QString PlatformSystem::windowsFolder() const
{
    return folders::windowsFolder();
}

void PlatformSystem::startCommandLine(const QString &line)
{
    commandline::start(line);
}

void PlatformSystem::setCurrentFolder(const QString &path)
{
    folders::setCurrent(path);
}

void PlatformSystem::playSound(const QString &path)
{
    sound::playAsync(path);
}

void PlatformSystem::printText(const QString &text, int pointSize)
{
    // QPrinter::isValid() is true even with no printer at all; only the
    // default printer's own description tells.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw RuntimeFailure::withNumber(failure::PrinterError);
    // The pages are not even laid out for a printer that takes no jobs.
    const bool accepting = printjob::destinationAcceptsJobs(info.printerName());
    if (!accepting)
        throw RuntimeFailure::withNumber(failure::PrinterError);
    QPrinter printer(info, QPrinter::HighResolution);
    printTextOn(printer, text, pointSize);
    // The job went to CUPS as the painter ended, in this thread, so the last
    // status is the server's answer to it.
    if (!printjob::taken(accepting, printjob::lastStatus()))
        throw RuntimeFailure::withNumber(failure::PrinterError);
}

void PlatformSystem::printTextOn(QPagedPaintDevice &device, const QString &text, int pointSize)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw RuntimeFailure::withNumber(failure::PrinterError);

    // The face a painter on this device starts with is the printer's own.
    QFont font = painter.font();
    if (pointSize > 0)
        font.setPointSize(pointSize);

    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The last CR LF ends the last line; it does not begin another.
    if (plain.endsWith(QLatin1Char('\n')))
        plain.chop(1);

    QTextDocument document;
    // Measured at the device's resolution, so that the point size is the
    // size on paper.
    document.documentLayout()->setPaintDevice(&device);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setPlainText(plain);
    const QSizeF page(device.width(), device.height());
    document.setPageSize(page);

    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !device.newPage())
            throw RuntimeFailure::withNumber(failure::PrinterError);
        painter.save();
        painter.translate(0, -index * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, index * page.height()), page);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        throw RuntimeFailure::withNumber(failure::PrinterError);
}

} // namespace platform
