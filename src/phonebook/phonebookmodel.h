#pragma once

#include "phonegrid.h"

#include <QAbstractTableModel>
#include <QList>

class PhoneBook;

// The phone book's rows as Qt's views and screen readers take them: a row
// put in or taken out and a changed cell are told as such, so that nothing
// that has read a cell keeps an old number.
class PhoneBookModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneBookModel)

public:
    explicit PhoneBookModel(const PhoneBook &book, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The headings are not shown; a screen reader still names each cell's column.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    PhoneGrid::Row rowAt(int row) const;
    QList<PhoneGrid::Row> allRows() const;

    const PhoneBook &m_book;
    // What the views were last told. The book has changed already when it
    // says so, and a view asks about the rows as they were while they go.
    QList<PhoneGrid::Row> m_shown;
};
