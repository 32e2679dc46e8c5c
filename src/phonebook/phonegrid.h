#pragma once

#include <QList>
#include <QString>

#include <array>

// The phone book's grid without its widget: rows of two text cells and a
// current cell, which the grid always has while it has rows. The page shows
// it in Grid1; the text form converts to and from it without any widget.
class PhoneGrid
{
public:
    static constexpr int Cols = 2;
    using Row = std::array<QString, Cols>;

    explicit PhoneGrid(int rows = 0);

    int rowCount() const { return int(m_rows.size()); }
    const QList<Row> &rows() const { return m_rows; }
    int colCount() const { return Cols; }
    // Cuts rows off the bottom or adds empty ones there; the current cell
    // moves up when its row is cut off.
    void setRowCount(int rows);

    const QString &text(int row, int col) const { return m_rows.at(row).at(col); }
    void setText(int row, int col, const QString &text) { m_rows[row][col] = text; }
    bool rowHasText(int row) const;

    // The rows already there move down.
    void insertRows(int index, const QList<Row> &rows);
    void insertRow(int index, const Row &row) { insertRows(index, {row}); }
    // The rows below move up; the grid is one row shorter.
    void removeRow(int row);
    // Every cell emptied, every row kept.
    void clearCells();

    int row() const { return m_row; }
    int col() const { return m_col; }
    void setCurrentCell(int row, int col);
    // Empty while the grid has no rows.
    QString currentText() const;

private:
    QList<Row> m_rows;
    int m_row = 0;
    int m_col = 0;
};
