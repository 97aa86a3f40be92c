#pragma once

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
// file's content is never altered. A move into another folder first removes the temporary copies
// that moves killed part-way left there. A failure's reason is written to follow the file's name
// ("a file of that name is already there").
OpResult renameNoReplace(const QString &from, const QString &to);

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
