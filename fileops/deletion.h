#pragma once

#include "platform/result.h"

#include <QStringList>

namespace orvella {

// Sends one file to the trash. A file the trash refuses stays where it is.
OpResult DelToRecycBin(const QString &fileName);

// One run of deletes, to the trash or for good, that goes on past a file it cannot delete and
// reports all such files once at the end.
class DeleteRun final {
public:
    // Deletes path to the trash when toTrash, else permanently; a failure is noted, not shown.
    void deleteFile(const QString &path, bool toTrash);
    const QStringList &failures() const { return m_failures; }
    // Shows one box naming every file that was not deleted (nothing when all went well).
    void reportFailures() const;

private:
    QStringList m_failures;
};

} // namespace orvella
