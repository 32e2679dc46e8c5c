#include "programlistmodel.h"

#include "placement.h"
#include "programlist.h"

ProgramListModel::ProgramListModel(const ProgramList &list, QObject *parent)
    : QAbstractListModel(parent)
    , m_list(list)
{
    m_shown = captions();
    connect(&list, &ProgramList::entryInserted, this, [this](int position) {
        beginInsertRows(QModelIndex(), position, position);
        m_shown.insert(position, captionAt(position));
        endInsertRows();
    });
    connect(&list, &ProgramList::entryRemoved, this, [this](int position) {
        beginRemoveRows(QModelIndex(), position, position);
        m_shown.removeAt(position);
        endRemoveRows();
    });
    connect(&list, &ProgramList::entryChanged, this, [this](int position) {
        m_shown[position] = captionAt(position);
        Q_EMIT dataChanged(index(position), index(position), {Qt::DisplayRole});
    });
    connect(&list, &ProgramList::reset, this, [this] {
        beginResetModel();
        m_shown = captions();
        endResetModel();
    });
}

QString ProgramListModel::captionAt(int position) const
{
    return shownText(m_list.entry(position).Caption);
}

QStringList ProgramListModel::captions() const
{
    QStringList all;
    for (int i = 0; i < m_list.count(); ++i)
        all.append(captionAt(i));
    return all;
}

int ProgramListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant ProgramListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_shown.at(index.row());
}
