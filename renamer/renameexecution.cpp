#include "renamer/renameexecution.h"

#include <optional>

#include <QLineEdit>
#include <QListWidget>

#include "fileops/deleterun.h"
#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "fileops/undojournal.h"
#include "renamer/bulksorter.h"
#include "ui/busypointer.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

namespace orvella {

void RenameExecution::Command4_Click()
{
    BulkSorter &w = m_w;
    BulkSorterState &s = w.state;
    w.CountSelectedFiles();
    if (s.FilesSelected == 0) {
        s.Reply = dialogs().messageBox(
            QStringLiteral("Select at lease one file."), MsgExclamation, QStringLiteral("Dunmere"));
        return;
    }
    // The files stay in their folder. The list is not re-read during the run: each file keeps the
    // entry it had at the start.
    const RenameRun run = RenameRun::ofSelection(*w.File1, w.File1->Path(), w.Text2->text(), s.FilesSelected != 1);
    // A prefix that would send a file into another folder, or give it no name, is refused before
    // anything is asked or touched.
    if (const QString refusal = run.refusal(); !refusal.isEmpty()) {
        s.Reply = dialogs().messageBox(refusal, MsgExclamation, QStringLiteral("Dunmere"));
        w.Text2->setFocus();
        return;
    }
    s.Reply = dialogs().messageBox(QStringLiteral("Are you sure you want to rename these files ?"), MsgOkCancelQuestion,
        QStringLiteral("Dunmere"));
    w.Text2->setFocus();
    if (s.Reply == AnswerCancel)
        return;
    w.List1->clear();
    setHourglass();
    const std::optional<qint32> start = run.countStart(w.Text3->text());
    if (!start) {
        renameFailed();
        return;
    }
    const RenameOutcome done = run.run(*start);
    s.NameCounter = qint32(done.nextNumber);
    w.journal().record(UndoJournal::Kind::Rename, done.steps);
    if (!done.result) {
        renameFailed();
        return;
    }
    rereadFolder();
    w.Text3->setText(signedText(s.NameCounter));
    setArrow();
    w.Text2->setFocus();
}

void RenameExecution::renameFailed()
{
    rereadFolder();
    setArrow();
    m_w.state.Reply = dialogs().messageBox(QStringLiteral("File already exists\r"), MsgOkOnly);
    m_w.Text2->setFocus();
}

void RenameExecution::rereadFolder()
{
    m_w.Dir1->Refresh();
    m_w.File1->Refresh();
    m_w.ClearFileSelection();
}

void RenameExecution::Undo()
{
    if (!m_w.journal().undoLast())
        return;
    rereadFolder();
    m_w.Text2->setFocus();
}

void RenameExecution::Command5_Click()
{
    BulkSorter &w = m_w;
    BulkSorterState &s = w.state;
    // Asked even when nothing is selected.
    s.DeleteReply = dialogs().messageBox(QStringLiteral("Are you sure you want to DELETE selected files ?"),
        MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (s.DeleteReply == AnswerCancel)
        return;
    // The setting the main window had when it closed; it stays readable while the window is away.
    DeleteRun run;
    run.deleteSelected(*w.File1, w.settings());
    run.record(w.journal());
    rereadFolder();
    run.reportFailures();
}

} // namespace orvella
