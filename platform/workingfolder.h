#pragma once

#include "platform/result.h"

#include <QString>

namespace orvella {

// The process's current folder (native spelling).
QString workingFolder();
OpResult setWorkingFolder(const QString &folder);

} // namespace orvella
