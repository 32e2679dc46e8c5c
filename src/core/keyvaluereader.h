#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

struct KeyValueLookup
{
    QString section;
    QString key;
};

// Many lookups in one pass over the file: the answers, in the order of
// lookups, are those ReadKeyValue gives for each, but a file of a million
// lines is read once rather than once per lookup. Memory holds a few
// characters of the line being read and the values found, however long the
// lines or the file. A read that fails half-way leaves empty every lookup not
// answered before it.
QStringList ReadKeyValues(QIODevice &file, const QList<KeyValueLookup> &lookups);
