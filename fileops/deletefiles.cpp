#include "fileops/deletefiles.h"

#include "app/mainwindow.h"
#include "fileops/deletion.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"
#include "platform/paths.h"

namespace orvella {

void DeleteFiles::DeleteSelectedFiles()
{
    Reply = dialogs().messageBox(QStringLiteral("Are you sure you want to DELETE selected files ?"),
        MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    DeleteRun run;
    FileListBox &list = *m_w.File1;
    const qsizetype count = list.ListCount();
    for (FileIndex = 0; FileIndex < count; ++FileIndex) {
        if (!list.Selected(FileIndex))
            continue;
        SourcePath = joinPath(list.Path(), list.List(FileIndex));
        // The setting is read afresh for every picture.
        if (!m_w.DeleteRecycle())
            run.deleteFile(SourcePath, false);
        if (m_w.DeleteRecycle())
            run.deleteFile(SourcePath, true);
    }
    m_w.ClearSelection();
    const OpResult refreshed = m_w.RefreshAfterFileOperation();
    run.reportFailures();
    if (!refreshed)
        dialogs().messageBox(refreshed.error, MsgOkOnly);
}

} // namespace orvella
