#include "phonegrid.h"

#include <algorithm>

PhoneGrid::PhoneGrid(int rows)
{
    setRowCount(rows);
}

void PhoneGrid::setRowCount(int rows)
{
    m_rows.resize(std::max(rows, 0));
    setCurrentCell(m_row, m_col);
}

bool PhoneGrid::rowHasText(int row) const
{
    const Row &cells = m_rows.at(row);
    return std::any_of(cells.cbegin(), cells.cend(), [](const QString &cell) { return !cell.isEmpty(); });
}

void PhoneGrid::insertRows(int index, const QList<Row> &rows)
{
    const int at = std::clamp(index, 0, rowCount());
    m_rows.insert(at, rows.size(), Row());
    std::copy(rows.cbegin(), rows.cend(), m_rows.begin() + at);
}

void PhoneGrid::removeRow(int row)
{
    m_rows.removeAt(row);
    setCurrentCell(m_row, m_col);
}

void PhoneGrid::clearCells()
{
    std::fill(m_rows.begin(), m_rows.end(), Row());
}

void PhoneGrid::setCurrentCell(int row, int col)
{
    m_row = std::clamp(row, 0, std::max(rowCount() - 1, 0));
    m_col = std::clamp(col, 0, Cols - 1);
}

QString PhoneGrid::currentText() const
{
    return m_row < rowCount() ? text(m_row, m_col) : QString();
}
