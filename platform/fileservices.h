#pragma once

#include <utility>

#include <QSet>
#include <QString>

#include "platform/result.h"

namespace orvella {

// Whether folder exists, is a folder and can be listed.
OpResult checkFolderReadable(const QString &folder);

// Gives the file at from the path to, in the same folder or another one, on the same volume or
// another. Never replaces an existing file, not even one that appears while it works: on one
// volume the rename is atomic where the file system allows it; across volumes the file is copied
// under a temporary name in the target folder, flushed to disk, given its final name only if that
// name is still free, and only then is the source removed, if it is still the version that was
// copied. On any failure the source is untouched and nothing is left under the final name. The
// file's content is never altered. Where the destination folder can hold unnamed files the copy is
// written as one and linked under its final name; elsewhere it is written under a temporary name,
// and the final name is checked to hold that very copy before the source goes, since another user
// who can write in the folder may have put a file of theirs in its place. A copy written under a
// temporary name first removes the temporary copies that moves killed part-way left in the folder
// (once per FileRun). A failure's reason is written to follow the file's name ("a file of that name
// is already there").
OpResult renameNoReplace(const QString &from, const QString &to);

// One run of file operations: the files of one command, or of one undo. While one exists on this
// thread, the moves across volumes search a destination folder for unfinished copies at most once;
// without one, each such move searches its folder. Runs nest: the outermost one counts.
class FileRun {
public:
    FileRun();
    ~FileRun();
    FileRun(const FileRun &) = delete;
    FileRun &operator=(const FileRun &) = delete;

    // For the file services: whether the folder (its volume and number) is yet to be searched in
    // this run; always true when no run is open.
    static bool firstVisit(quint64 device, quint64 inode);

private:
    FileRun *m_outer;
    QSet<std::pair<quint64, quint64>> m_visited;
};

// Where the trash keeps a file it took: the file itself, and the description that tells the
// desktop where it came from (the .trashinfo file; empty where the system keeps none apart).
struct TrashEntry {
    QString file;
    QString info;
};

// Sends a file to the desktop's trash, from where the user can restore it. A file the trash
// refuses is kept where it is and the failure is returned; it is never deleted instead. On
// success, entry (when given) tells where the trash keeps it.
OpResult moveToTrash(const QString &path, TrashEntry *entry = nullptr);

// Puts a trashed file back at originalPath and then removes its description. Never replaces a
// file: where the name is taken or the folder is gone, the entry stays in the trash, whole, and
// the reason is returned (to follow the file's name).
OpResult restoreFromTrash(const TrashEntry &entry, const QString &originalPath);

// Deletes a file for good.
OpResult deletePermanently(const QString &path);

// Creates one folder; fails if it exists already. A relative path is taken against the working
// folder.
OpResult makeFolder(const QString &path);

} // namespace orvella
