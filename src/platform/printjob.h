#pragma once

#include <QString>

// Qt's print support hands a job to CUPS as the painter ends and drops the
// server's answer: a printer that refuses jobs would lose every page without a
// word. These ask CUPS itself, before the job and after it.
namespace platform::printjob {

// Whether the CUPS destination ("printer" or "printer/instance", as Qt names
// it) says it accepts jobs. When it does not say, the server's answer to the
// job itself decides.
bool destinationAcceptsJobs(const QString &destination);

// The status of this thread's last request to CUPS: after a print, the one
// that sent the job.
int lastStatus();

// Whether CUPS took the job: the destination accepted jobs when asked before
// it was sent, and the request that sent it ended in neither a redirection nor
// an error.
bool taken(bool acceptingJobs, int lastStatus);

} // namespace platform::printjob
