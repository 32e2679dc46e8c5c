#include "loadedlibrary.h"
#include "printjob.h"

#include <QByteArray>

#include <cstring>
#include <cups/cups.h>

namespace platform::printjob {

namespace {

// libcups is opened by the first print, not linked: with the libraries it
// brings it would cost every start of tarnel several times what Qt's print
// support does. By the time anything prints, Qt's own CUPS plugin has loaded it.
struct Cups
{
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsLastError) lastError = nullptr;
};

const Cups *cups()
{
    static const Cups loaded = [] {
        Cups found;
        // Never closed: Qt's plugin keeps using the same library.
        void *library = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library || !lookUp(library, "cupsGetNamedDest", found.getNamedDest)
            || !lookUp(library, "cupsGetOption", found.getOption) || !lookUp(library, "cupsFreeDests", found.freeDests)
            || !lookUp(library, "cupsLastError", found.lastError))
            return Cups();
        return found;
    }();
    return loaded.lastError ? &loaded : nullptr;
}

} // namespace

bool destinationAcceptsJobs(const QString &destination)
{
    const Cups *library = cups();
    if (!library)
        return false;
    const QByteArray name = destination.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray instance = destination.section(QLatin1Char('/'), 1).toLocal8Bit();
    cups_dest_t *dest = library->getNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                              instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return false;
    const char *accepting = library->getOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool result = !accepting || std::strcmp(accepting, "false") != 0;
    library->freeDests(1, dest);
    return result;
}

int lastStatus()
{
    const Cups *library = cups();
    return library ? library->lastError() : IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

bool taken(bool acceptingJobs, int lastStatus)
{
    // Below the redirections are only the successful statuses, some of which
    // say that an option was ignored or substituted: the job was still taken.
    return acceptingJobs && lastStatus < IPP_STATUS_REDIRECTION_OTHER_SITE;
}

} // namespace platform::printjob
