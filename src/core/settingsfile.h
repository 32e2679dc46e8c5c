#pragma once

#include <QByteArray>
#include <QString>

// The settings file "tarnel.ini": its name, its section and keys, how its
// page number is read and how the whole file is written.
namespace settingsfile {

QString fileName();
QString section();
QString curTabKey();
QString lastFileKey();

// The page number a "CurTab" value stands for: the longest numeric beginning
// after leading blanks (sign, digits, fraction, exponent), 0 when there is
// none, rounded half to even. Throws platform::RuntimeFailure (overflow) when
// the number does not fit in 16 bits.
qint16 pageFromText(const QString &text);

// The whole file as written: three lines, each ending in CR LF.
QByteArray bytes(int curTab, const QString &lastFile);

} // namespace settingsfile
