#pragma once

#include "platform/result.h"

#include <QString>

namespace orvella {

// Whether folder exists, is a folder and can be listed.
OpResult checkFolderReadable(const QString &folder);

// Gives the file at from the path to, in the same folder or another one, on the same volume or
// another. Never replaces an existing file, not even one that appears while it works: on one
// volume the rename is atomic; across volumes the file is copied under a temporary name in the
// target folder, flushed to disk, given its final name only if that name is still free, and only
// then is the source removed. On any failure the source is untouched and nothing is left under the
// final name. The file's content is never altered.
OpResult renameNoReplace(const QString &from, const QString &to);

// Sends a file to the desktop's trash, from where the user can restore it. A file the trash
// refuses is kept where it is and the failure is returned; it is never deleted instead.
OpResult moveToTrash(const QString &path);

// Deletes a file for good.
OpResult deletePermanently(const QString &path);

// Creates one folder; fails if it exists already. A relative path is taken against the working
// folder.
OpResult makeFolder(const QString &path);

// Failures a test can inject into the copy across volumes, to check that the source survives.
// SourceGoneAtRemoval: another program removes the source just as the move would, and the removal
// reports a failure.
enum class CrossVolumeFault { None, AfterCopy, BeforeRemovingSource, SourceGoneAtRemoval };
void setCrossVolumeFaultForTesting(CrossVolumeFault fault);
// Copies across volumes even on one volume, so tests reach that path without a second volume.
void setForceCrossVolumeForTesting(bool force);
// Behaves as on a file system without an atomic no-replace rename, so tests reach the fallbacks.
void setNoAtomicRenameForTesting(bool off);

} // namespace orvella
