#pragma once

#include <QString>

#include <optional>

class PhoneGrid;

// The phone book's text form: one line per row, each cell followed by "|",
// lines ended by CR LF. There is no escape, so the cells must not hold what
// the form splits at (see checkCellText).
namespace ModuleGrid1 {

// The rows from row 0 down to the first empty cell, which becomes the
// current cell (the last cell of the grid when none is empty). Nothing when
// the text could not be built.
std::optional<QString> GridToText(PhoneGrid &grid);

// What TextToGrid could not keep.
struct TextToGridLoss
{
    int rowsDropped = 0; // rows holding text below the given row count
    int rowsShortened = 0; // rows kept whose parts after the second held text
    bool any() const { return rowsDropped > 0 || rowsShortened > 0; }
};

// Every CR LF in text becomes "`" (text is changed), and every "`" ends a
// row; within a row "|" or TAB moves to the next cell, and parts after the
// second are dropped. The rows, the last one even when empty, go in before
// the rows the grid held; then the grid is given the row count rows. Rows
// that would fall below it are not built, only counted.
TextToGridLoss TextToGrid(QString &text, PhoneGrid &grid, qint16 rows);

// The rows with a cell holding text after the first empty cell: GridToText
// would leave that text out.
int rowsAfterFirstEmptyCell(const PhoneGrid &grid);

enum class CellTextFault {
    None,
    // "|", "`", a TAB, a line break or another control character: the text
    // form would split at it or damage it.
    Separator,
    // A character the code page cannot hold: the file would keep "?".
    NotInCodePage,
};
// offending, when given, gets the character found.
CellTextFault checkCellText(const QString &text, char32_t *offending = nullptr);

} // namespace ModuleGrid1
