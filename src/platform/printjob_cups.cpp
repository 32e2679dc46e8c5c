#include "printjob.h"

#include <QByteArray>

#include <cstring>
#include <cups/cups.h>

namespace platform::printjob {

bool destinationAcceptsJobs(const QString &destination)
{
    const QByteArray name = destination.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray instance = destination.section(QLatin1Char('/'), 1).toLocal8Bit();
    cups_dest_t *dest
        = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return false;
    const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool result = !accepting || std::strcmp(accepting, "false") != 0;
    cupsFreeDests(1, dest);
    return result;
}

int lastStatus()
{
    return cupsLastError();
}

bool taken(bool acceptingJobs, int lastStatus)
{
    // Below the redirections are only the successful statuses, some of which
    // say that an option was ignored or substituted: the job was still taken.
    return acceptingJobs && lastStatus < IPP_STATUS_REDIRECTION_OTHER_SITE;
}

} // namespace platform::printjob
