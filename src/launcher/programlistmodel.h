#pragma once

#include <QAbstractListModel>
#include <QStringList>

class ProgramList;

// The captions of a ProgramList as Qt's views and screen readers take them:
// every entry added, removed or changed is told as such, so that nothing
// that has read the list keeps an old caption.
class ProgramListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramListModel)

public:
    explicit ProgramListModel(const ProgramList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QString captionAt(int position) const;
    QStringList captions() const;

    const ProgramList &m_list;
    // What the views were last told. The list has changed already when it
    // says so, and a view asks about the rows as they were while they go.
    QStringList m_shown;
};
