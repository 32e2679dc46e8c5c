#pragma once

#include "recoverycopy.h"

#include <QString>
#include <QStringList>

#include <functional>

class AppContext;

// Offers back at start-up the work of programs that ended without saving.
// Every copy in the folder whose program no longer runs is read: those that
// cannot be read are set aside, those of a newer version left alone, each
// kind told in one message; the newest of the rest is offered in one
// question and the older ones are set aside, never deleted. A part whose
// file another program has changed since is not put back over that file
// without a question that names it.
class CopyOffer
{
public:
    CopyOffer(AppContext &context, QString folder);

    // restore puts the work back into the pages, still unsaved, and says
    // whether it is now on disk in this program's own copy.
    void run(const std::function<bool(const recovery::Contents &)> &restore);

private:
    struct Found
    {
        QString path;
        recovery::Contents contents;
    };
    // Whether the folder may be used at all; said when not.
    bool usable();
    // The parts the user takes back, their changed files asked about; false
    // when a part was left out.
    bool keepChangedFiles(recovery::Contents &contents);
    // Moves copies aside and says where, and how to have them offered again.
    void setAside(const QStringList &paths, const QString &lead);
    QString holdingPath(const QString &part) const;

    AppContext &m_context;
    QString m_folder;
};
