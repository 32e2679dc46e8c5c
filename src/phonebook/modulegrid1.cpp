#include "modulegrid1.h"

#include "codepage.h"
#include "phonegrid.h"
#include "runtimefailure.h"

#include <QList>

#include <algorithm>

namespace ModuleGrid1 {

std::optional<QString> GridToText(PhoneGrid &grid)
{
    QString text;
    const auto build = [&] {
        for (int row = 0; row < grid.rowCount(); ++row) {
            for (int col = 0; col < grid.colCount(); ++col) {
                grid.setCurrentCell(row, col);
                const QString &cell = grid.text(row, col);
                if (cell.isEmpty())
                    return;
                text += cell;
                text += QLatin1Char('|');
            }
            text += QStringLiteral("\r\n");
        }
    };
    if (platform::failureOf(build))
        return std::nullopt;
    return text;
}

TextToGridLoss TextToGrid(QString &text, PhoneGrid &grid, qint16 rows)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("`"));

    // A hand-edited file may hold any number of lines; only the rows the grid
    // keeps are built, the others merely counted.
    const int limit = std::max<int>(rows, 0);
    TextToGridLoss loss;
    QList<PhoneGrid::Row> built;
    PhoneGrid::Row cells;
    int part = 0;
    bool rowHasText = false;
    bool partsLost = false;

    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype runStart = 0;
    const auto takeRun = [&](qsizetype end) {
        if (end == runStart)
            return;
        rowHasText = true;
        if (part >= PhoneGrid::Cols)
            partsLost = true;
        else if (built.size() < limit)
            cells[part].append(data + runStart, end - runStart);
    };
    const auto endRow = [&] {
        if (built.size() < limit) {
            built.append(cells);
            if (partsLost)
                ++loss.rowsShortened;
        } else if (rowHasText) {
            ++loss.rowsDropped;
        }
        cells = PhoneGrid::Row();
        part = 0;
        rowHasText = partsLost = false;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c == u'|' || c == u'\t') {
            takeRun(i);
            ++part;
            runStart = i + 1;
        } else if (c == u'`') {
            takeRun(i);
            endRow();
            runStart = i + 1;
        }
    }
    takeRun(size);
    endRow();

    grid.insertRows(0, built);
    for (int row = limit; row < grid.rowCount(); ++row) {
        if (grid.rowHasText(row))
            ++loss.rowsDropped;
    }
    grid.setRowCount(limit);
    return loss;
}

int rowsAfterFirstEmptyCell(const PhoneGrid &grid)
{
    bool emptyMet = false;
    int rows = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        bool counted = false;
        for (int col = 0; col < grid.colCount(); ++col) {
            if (grid.text(row, col).isEmpty()) {
                emptyMet = true;
            } else if (emptyMet && !counted) {
                ++rows;
                counted = true;
            }
        }
    }
    return rows;
}

CellTextFault checkCellText(const QString &text, char32_t *offending)
{
    const QList<uint> characters = text.toUcs4();
    for (const uint c : characters) {
        const QChar::Category category = QChar::category(char32_t(c));
        if (c == u'|' || c == u'`' || category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph) {
            if (offending)
                *offending = c;
            return CellTextFault::Separator;
        }
    }
    const QList<char32_t> unholdable = platform::codepage::unholdable(text, 1);
    if (unholdable.isEmpty())
        return CellTextFault::None;
    if (offending)
        *offending = unholdable.first();
    return CellTextFault::NotInCodePage;
}

} // namespace ModuleGrid1
