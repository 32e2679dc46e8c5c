#pragma once

#include <QString>

// The suite's web site is a build setting; every link of the program is a
// path on it, so the address is put together in one place only.
namespace weblinks {

// The full address of path ("/mytarnel/") on the suite's site.
QString address(const QString &path);

} // namespace weblinks
