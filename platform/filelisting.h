#pragma once

#include <QStringList>

#include "platform/result.h"

namespace orvella {

// True when name matches one of the ";"-separated wildcards of pattern (* and ?), without regard
// to letter case. An empty pattern matches nothing.
bool matchesPattern(const QString &name, const QString &pattern);

// Sorts names by name without regard to letter case (ties in a fixed, case-sensitive order).
void sortNames(QStringList &names);

struct Listing {
    OpResult result;
    QStringList names;
};

// The files (no folders, no hidden or system files) of folder matching pattern, sorted.
Listing listFiles(const QString &folder, const QString &pattern);
// The visible subfolders of folder, sorted.
Listing listSubfolders(const QString &folder);

} // namespace orvella
