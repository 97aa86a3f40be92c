#pragma once

#include <QString>

#include "platform/result.h"

namespace orvella {

// Makes sure the trash that would take the file at path exists and keeps what it is given. Fails
// for a volume without a trash: there a move to the trash would delete the file for good.
OpResult prepareTrashFor(const QString &path);

} // namespace orvella
