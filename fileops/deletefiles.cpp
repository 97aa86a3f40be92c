#include "fileops/deletefiles.h"

#include "browse/folderbrowser.h"
#include "fileops/deleterun.h"
#include "selection/gridselection.h"
#include "ui/dialogservice.h"

namespace orvella {

DeleteFiles::DeleteFiles(FileListBox &File1, const BrowserSettings &settings, GridSelection &selection,
    FolderBrowser &folders, UndoJournal &journal)
    : m_File1(File1)
    , m_settings(settings)
    , m_selection(selection)
    , m_folders(folders)
    , m_journal(journal)
{
}

void DeleteFiles::DeleteSelectedFiles()
{
    Reply = dialogs().messageBox(QStringLiteral("Are you sure you want to DELETE selected files ?"),
        MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    DeleteRun run;
    run.deleteSelected(m_File1, m_settings);
    run.record(m_journal);
    m_selection.ClearSelection();
    const OpResult refreshed = m_folders.RefreshAfterFileOperation();
    run.reportFailures();
    if (!refreshed)
        dialogs().messageBox(refreshed.error, MsgOkOnly);
}

} // namespace orvella
