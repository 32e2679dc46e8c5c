#pragma once

#include <QAbstractItemModel>
#include <QStringList>

// What a screen reader that trusts the events knows of an item model: the
// texts read once, then only the rows and cells the model's signals name.
class ReaderCache : public QObject
{
public:
    explicit ReaderCache(const QAbstractItemModel &model)
        : m_model(model)
    {
        const auto insert = [this](const QModelIndex &, int first, int last) {
            m_rows.insert(first, last - first + 1, QStringList(m_model.columnCount()));
            if (last >= first)
                read(m_model.index(first, 0), m_model.index(last, m_model.columnCount() - 1));
        };
        const auto readAll = [this, insert] {
            m_rows.clear();
            insert({}, 0, m_model.rowCount() - 1);
        };
        readAll();
        connect(&model, &QAbstractItemModel::modelReset, this, readAll);
        connect(&model, &QAbstractItemModel::rowsInserted, this, insert);
        connect(&model, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first, int last) { m_rows.remove(first, last - first + 1); });
        connect(&model, &QAbstractItemModel::dataChanged, this, &ReaderCache::read);
    }

    // Each row's cells joined by "|".
    QStringList rows() const
    {
        QStringList joined;
        for (const QStringList &cells : m_rows)
            joined << cells.join(u'|');
        return joined;
    }

private:
    void read(const QModelIndex &from, const QModelIndex &to)
    {
        for (int row = from.row(); row <= to.row(); ++row)
            for (int col = from.column(); col <= to.column(); ++col)
                m_rows[row][col] = m_model.index(row, col).data().toString();
    }

    const QAbstractItemModel &m_model;
    QList<QStringList> m_rows;
};
