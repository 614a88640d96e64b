// The files behind the recovery copies, kept private and apart per running
// instance. The copies live in one folder of the user's own (0700); each copy
// is a file of mode 0600, created under a fresh name with exclusive creation
// and renamed into place, so that nothing planted at a copy's name (a
// symbolic link, another user's file) is ever written through. A copy is read
// only when it is a regular file the user owns.
//
// Every instance holds a lock on a file named after it for as long as it
// runs; the kernel lets the lock go when the process ends, however it ends.
// A copy belongs to the instance its name starts with, and only the copies of
// instances that no longer hold their lock are offered or removed by others.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace CalcRecoveryFiles {

// This process's instance name: its process id and a random part, so that
// a process id used again never stands for an old instance.
const QString& InstanceName();

// Makes the copies' folder (and the program's folders above it) private to
// the user, making what is missing. Empty on success, else the cause.
QString MakeFolderPrivate(const QString& directory);
// Makes the folder private as above and takes this instance's lock. Empty on
// success, else the cause.
QString HoldInstanceLock(const QString& directory);
// Whether the instance is still running (its lock is held).
bool IsInstanceRunning(const QString& directory, const QString& instance);
// The instance a copy's file name belongs to; empty for a name of no
// instance (a copy an older version of the program left).
QString InstanceOf(const QString& fileName);

// Writes bytes as the file name in directory: a new file of mode 0600 put in
// place by renaming, never through whatever stood at the name. Empty on
// success, else the cause.
QString WritePrivately(const QString& directory, const QString& name, const std::string& bytes);

// The content of directory/name when it is a regular file of the user's, of
// at most limit bytes; nothing otherwise, with the cause in error.
std::optional<std::string> ReadPrivately(const QString& directory, const QString& name, std::size_t limit,
                                         QString* error);

// Removes directory/name (a link itself, never its target).
void Remove(const QString& directory, const QString& name);

// Renames directory/from to directory/to, replacing what stood there.
bool Rename(const QString& directory, const QString& from, const QString& to);

// The lock files of instances that have ended and left no copy go.
void RemoveEndedLocks(const QString& directory);

// A copy left behind by an instance that has ended.
struct LeftCopy {
    QString Name;          // file name in the folder
    QString DocumentPath;  // the document it was a copy of, empty when untitled
    QDateTime Written;
};
// Every copy in directory whose instance has ended, newest first.
std::vector<LeftCopy> LeftCopies(const QString& directory);

}  // namespace CalcRecoveryFiles
