#ifndef PROJECTLOCK_H
#define PROJECTLOCK_H

#include <QString>

#include <memory>

class QLockFile;

// The project's advisory lock: a lock file beside the project database, held while one program
// has the project open. A lock left by a process of this machine that no longer runs is taken over.
class ProjectLock
{
public:
    enum class Result { Locked, Held, ReadOnly, Failed };

    ProjectLock();
    ~ProjectLock();

    static QString pathFor(const QString &databasePath);

    // Locked: this lock holds the project. Held: another program does, and refusal names it.
    // ReadOnly: the folder cannot be written, so no lock file can be made or taken over there,
    // and no program writes there either. Failed: refusal says why.
    Result acquire(const QString &databasePath, QString *refusal);
    bool isLocked() const;
    void release();

private:
    std::unique_ptr<QLockFile> lock;
};

#endif // PROJECTLOCK_H
