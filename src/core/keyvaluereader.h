#pragma once

#include <QString>

class QIODevice;

// The reader of the program's "[section]" / "key=value" text files.
//
// file is open for reading; the reader rewinds it, searches from the first
// line, and leaves the read position wherever the search stopped. A section
// header matches on its first characters, so "[MyTarnel] more" counts; a key
// matches as a prefix followed directly by "=", and the search for it goes on
// past later section headers. Names compare without regard to case. Lines end
// at CR LF or a lone CR; a lone LF is an ordinary character. Anything that
// fails while reading gives the empty string, as does a value not found.
QString ReadKeyValue(QIODevice &file, const QString &section, const QString &key);
