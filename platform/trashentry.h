#pragma once

#include <QByteArray>
#include <QDateTime>

namespace orvella {

// The freedesktop.org trash's two texts for a trashed file, apart from the file system.

// The name under which the file called name (as the file system spells it) is kept in the trash's
// files/ folder. It leaves room for ".trashinfo" within nameMax bytes, is shortened only between
// UTF-8 characters, keeps the extension, and carries tag (when not empty) before the extension so
// that it differs from names already taken.
QByteArray trashEntryName(const QByteArray &name, const QByteArray &tag, int nameMax = 255);

// The text of the .trashinfo file for the file at path (absolute, or relative to the top folder of
// its volume), trashed at the local time deleted.
QByteArray trashInfoText(const QByteArray &path, const QDateTime &deleted);

} // namespace orvella
