#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QObject>
#include <QStringList>

// What a screen reader that trusts the events knows of an item model: the
// texts read once, then only the rows and cells the model's signals name.
// rows() gives each row's cells joined by "|".
class ReaderCache : public QObject
{
public:
    explicit ReaderCache(const QAbstractItemModel &model)
        : m_model(model)
    {
        const auto readAll = [this] {
            m_rows = QList<QStringList>(m_model.rowCount(), QStringList(m_model.columnCount()));
            read(0, m_model.rowCount() - 1, 0);
        };
        readAll();
        connect(&m_model, &QAbstractItemModel::modelReset, this, readAll);
        connect(&m_model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
            m_rows.insert(first, last - first + 1, QStringList(m_model.columnCount()));
            read(first, last, 0);
        });
        connect(&m_model, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first, int last) { m_rows.remove(first, last - first + 1); });
        connect(&m_model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &from, const QModelIndex &to) {
                    read(from.row(), to.row(), from.column(), to.column());
                });
    }

    QStringList rows() const
    {
        QStringList joined;
        for (const QStringList &cells : m_rows)
            joined << cells.join(u'|');
        return joined;
    }

private:
    void read(int firstRow, int lastRow, int firstCol, int lastCol = -1)
    {
        for (int row = firstRow; row <= lastRow; ++row)
            for (int col = firstCol; col <= (lastCol < 0 ? m_model.columnCount() - 1 : lastCol); ++col)
                m_rows[row][col] = m_model.index(row, col).data().toString();
    }

    const QAbstractItemModel &m_model;
    QList<QStringList> m_rows;
};
