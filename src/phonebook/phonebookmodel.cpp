#include "phonebookmodel.h"

#include "phonebook.h"
#include "placement.h"

PhoneBookModel::PhoneBookModel(const PhoneBook &book, QObject *parent)
    : QAbstractTableModel(parent)
    , m_book(book)
    , m_shown(allRows())
{
    connect(&book, &PhoneBook::rowInserted, this, [this](int row) {
        beginInsertRows(QModelIndex(), row, row);
        m_shown.insert(row, rowAt(row));
        endInsertRows();
    });
    connect(&book, &PhoneBook::rowRemoved, this, [this](int row) {
        beginRemoveRows(QModelIndex(), row, row);
        m_shown.removeAt(row);
        endRemoveRows();
    });
    connect(&book, &PhoneBook::rowsChanged, this, [this](int first, int last) {
        for (int row = first; row <= last; ++row)
            m_shown[row] = rowAt(row);
        Q_EMIT dataChanged(index(first, 0), index(last, PhoneGrid::Cols - 1), {Qt::DisplayRole});
    });
    connect(&book, &PhoneBook::reset, this, [this] {
        beginResetModel();
        m_shown = allRows();
        endResetModel();
    });
}

PhoneGrid::Row PhoneBookModel::rowAt(int row) const
{
    const PhoneGrid &grid = m_book.grid();
    return {shownText(grid.text(row, 0)), shownText(grid.text(row, 1))};
}

QList<PhoneGrid::Row> PhoneBookModel::allRows() const
{
    QList<PhoneGrid::Row> rows;
    for (int row = 0; row < m_book.grid().rowCount(); ++row)
        rows.append(rowAt(row));
    return rows;
}

int PhoneBookModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int PhoneBookModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : PhoneGrid::Cols;
}

QVariant PhoneBookModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_shown.at(index.row()).at(index.column());
}

QVariant PhoneBookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? QStringLiteral("Имя") : QStringLiteral("Телефон");
}

Qt::ItemFlags PhoneBookModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
