#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Whose a copy is. A running program holds a lock on a hidden file beside its
// copy (".copy-<id>.lock") for as long as it runs, and the system drops it
// when the process ends, however it ends. Process ids are no use here: in a
// PID namespace every start gets the same small id, and another namespace's
// ids mean nothing.
namespace recovery {

// This running program's copy: a random name, so that programs started on
// the same folder, in any namespace, never write over each other's copy.
QString ownFileName();
// A name for a copy that no program has used.
QString newCopyName();
bool isCopyName(const QString &name);

// Takes this program's lock beside its copy in folder, held until the program
// ends; programs it starts do not inherit it. Makes the lock file only: the
// folder must exist. False when it cannot be taken.
bool holdOwnLock(const QString &folder);

// A copy whose program has ended, held while this program reads, offers,
// restores or sets it aside, so that a program started meanwhile does not
// offer it too. Dropped, it removes the lock file if the copy is gone.
class Claim
{
public:
    Claim(Claim &&other) noexcept;
    Claim &operator=(Claim &&other) noexcept;
    ~Claim();

    const QString &path() const { return m_path; }

private:
    Claim(const QString &path, const QByteArray &lockPath, int fd);
    friend std::optional<Claim> claim(const QString &folder, const QString &copyName);

    QString m_path;
    QByteArray m_lockPath;
    int m_fd = -1;
};

// Nothing when the copy's program still runs, or when this one claimed it
// already. A copy without a lock file (an older version's, or one whose
// program ended before it took the lock) is claimed once its lock is taken.
std::optional<Claim> claim(const QString &folder, const QString &copyName);

// The copies in folder whose programs have ended, newest first, each claimed.
// A lock file left without its copy is removed on the way; no copy is ever
// moved or removed here.
std::vector<Claim> claimLeftCopies(const QString &folder);

} // namespace recovery
