#pragma once

#include "codepage.h"
#include "filesystem.h"

#include <QString>

class AppContext;

// Whole text files, as the notes page and the phone book keep them: lines end
// in CR LF in memory and on disk. Both routines show the hourglass while they
// work and report their own failures; the outcome is returned beside the
// text so that a caller can keep its data when a read or write failed.

// The file's text with every line followed by CR LF: a line ends at CR LF or
// a lone CR, a lone LF is an ordinary character. An empty path or a missing
// file gives an empty text, says nothing and leaves the pointer alone. When
// failed is given it tells whether the read failed (and was reported); when
// stamp is given it gets the file's stamp, unless the read failed.
QString ReadTextFile(AppContext &context, const QString &path, bool *failed = nullptr,
                     platform::filesystem::FileStamp *stamp = nullptr);

// As ReadTextFile, for a user's own file in the form a text box keeps lines:
// each line end is U+2029 (paragraph separator) and a lone LF is U+2028 (line
// separator). A UTF-8 file (platform::codepage::encodingOf) is read in UTF-8,
// as written: its last line gets no line end, and when its line ends were all
// LF, each LF ends a line. When encoding is given it gets the file's.
QString ReadTextFileAsParagraphs(AppContext &context, const QString &path, bool *failed = nullptr,
                                 platform::filesystem::FileStamp *stamp = nullptr,
                                 platform::codepage::Encoding *encoding = nullptr);

// Writes text followed by one CR LF in place of the file; in UTF-8, the text
// alone, with LF for CR LF when its line ends were LF. Returns false when
// the write failed (and was reported); the old file is then as it was, and
// so is stamp, which otherwise gets the stamp of the file written.
bool WriteTextFile(AppContext &context, const QString &path, const QString &text,
                   platform::filesystem::KeepOld keepOld = platform::filesystem::KeepOld::No,
                   platform::filesystem::FileStamp *stamp = nullptr, platform::codepage::Encoding encoding = {});
