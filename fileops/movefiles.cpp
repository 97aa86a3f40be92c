#include "fileops/movefiles.h"

#include <QLineEdit>

#include "browse/folderbrowser.h"
#include "fileops/renamemove.h"
#include "fileops/undojournal.h"
#include "platform/fileservices.h"
#include "platform/paths.h"
#include "selection/gridselection.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"

namespace orvella {

MoveFiles::MoveFiles(Widgets widgets, GridSelection &selection, FolderBrowser &folders, UndoJournal &journal)
    : m_ui(widgets)
    , m_selection(selection)
    , m_folders(folders)
    , m_journal(journal)
{
}

void MoveFiles::MoveSelectedFiles()
{
    Reply = dialogs().messageBox(
        QStringLiteral("Are you sure you want to MOVE these files ?"), MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    // An empty destination would mean the root of the drive: refuse it.
    if (m_ui.Text5.text().isEmpty()) {
        dialogs().messageBox(noDestinationMessage(), MsgOkOnly);
        return;
    }
    MovedCount = 0;
    QStringList notMoved;
    QList<UndoStep> moved;
    const QString folder = m_ui.File1.Path();
    const FileRun run;
    for (const QString &name : m_ui.File1.selectedNames()) {
        SourcePath = joinPath(folder, name);
        DestinationPath = joinPath(m_ui.Text5.text(), name);
        if (const OpResult r = renameNoReplace(SourcePath, DestinationPath)) {
            ++MovedCount;
            moved.append(UndoStep::moved(SourcePath, DestinationPath));
        } else {
            notMoved.append(name + QStringLiteral(": ") + r.error);
        }
    }
    m_journal.record(UndoJournal::Kind::Move, moved);
    m_selection.ClearSelection();
    const OpResult refreshed = m_folders.RefreshAfterFileOperation();
    if (!notMoved.isEmpty())
        dialogs().messageBox(QStringLiteral("File May Already Exist\n\n") + notMoved.join(u'\n'), MsgOkOnly);
    if (!refreshed) {
        dialogs().messageBox(refreshed.error, MsgOkOnly);
        return;
    }
    dialogs().messageBox(QString::number(MovedCount) + QStringLiteral(" Files moved!"), MsgOkOnly);
}

} // namespace orvella
