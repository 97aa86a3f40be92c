#pragma once

#include <QString>

namespace orvella {

// The separator this platform writes between folder and file names ("\" on Windows, "/" elsewhere).
QChar pathSeparator();

// Folder + separator + name; a folder that already ends in a separator (a root) gets no second one.
QString joinPath(const QString &folder, const QString &name);

// A folder in the platform's own spelling, without a trailing separator except at a root.
QString nativeFolder(const QString &folder);

// The last component of a path ("" for a root).
QString fileNameOf(const QString &path);

// Whether a file of this name is hidden by its name alone (a leading dot, except on Windows): the
// file lists leave such files out.
bool hiddenByName(const QString &name);

} // namespace orvella
