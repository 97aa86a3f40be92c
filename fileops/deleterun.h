#pragma once

#include <QStringList>

#include "fileops/undojournal.h"
#include "platform/result.h"

namespace orvella {

class FileListBox;
struct BrowserSettings;

// Sends one file to the trash. A file the trash refuses stays where it is. On success, entry (when
// given) tells where the trash keeps it.
OpResult DelToRecycBin(const QString &fileName, TrashEntry *entry = nullptr);

// One delete run, the same for the main window's Delete and the renamer's: deletes to the trash
// or for good, goes on past a file it cannot delete and reports all such files once at the end.
class DeleteRun final {
public:
    // Deletes the selected entries of list, in list order, each as the delete setting says when
    // its turn comes.
    void deleteSelected(const FileListBox &list, const BrowserSettings &settings);
    // Deletes path to the trash when toTrash, else permanently; a failure is noted, not shown.
    void deleteFile(const QString &path, bool toTrash);
    const QStringList &failures() const { return m_failures; }
    // Shows one box naming every file that was not deleted (nothing when all went well).
    void reportFailures() const;
    // Records in journal what the run did: the trashed files to take back, or nothing to take
    // back once a file was deleted for good. A run that deleted nothing leaves the journal.
    void record(UndoJournal &journal) const;

private:
    QStringList m_failures;
    QList<UndoStep> m_trashed;
    bool m_deletedForGood = false;
};

} // namespace orvella
