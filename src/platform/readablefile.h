#pragma once

#include <QString>

class QFile;

namespace platform::filesystem {

// Opens path for reading into file. Throws RuntimeFailure with the reason the
// system gave, which QFile alone does not keep.
void openForReading(QFile &file, const QString &path);

} // namespace platform::filesystem
