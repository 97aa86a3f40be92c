#pragma once

#include "platform/result.h"

#include <QString>

namespace orvella {

// Whether folder exists, is a folder and can be listed.
OpResult checkFolderReadable(const QString &folder);

} // namespace orvella
