#pragma once

#include <QString>

#include "platform/result.h"

namespace orvella {

// The process's current folder (native spelling).
QString workingFolder();
OpResult setWorkingFolder(const QString &folder);

} // namespace orvella
