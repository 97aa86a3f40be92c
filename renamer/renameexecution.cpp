#include "renamer/renameexecution.h"

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "fileops/deletion.h"
#include "fileops/namerules.h"
#include "ui/busypointer.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"
#include "platform/fileservices.h"
#include "ui/folderlistbox.h"
#include "platform/paths.h"
#include "renamer/bulksorter.h"
#include "renamer/namepreview.h"

#include <QLineEdit>
#include <QListWidget>

#include <optional>

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
    // A prefix that would send a file into another folder, or give it no name, is refused before
    // anything is asked or touched.
    const QString refusal = prefixRefusal();
    if (!refusal.isEmpty()) {
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
    const std::optional<qint32> start = runCountStart(w.Text3->text(), s.FilesSelected);
    if (!start) {
        renameFailed();
        return;
    }
    s.NameCounter = *start;
    const QString folder = w.File1->Path();
    const QString prefix = w.Text2->text();
    const bool numbered = s.FilesSelected != 1;
    // The list is not re-read during the run: each index keeps the entry it had at the start.
    for (s.FileIndex = 0; s.FileIndex < w.File1->ListCount(); ++s.FileIndex) {
        if (!w.File1->Selected(s.FileIndex))
            continue;
        s.OldPath = joinPath(folder, w.File1->List(s.FileIndex));
        w.ExtractExtension();
        s.NewPath = joinPath(folder, newName(prefix, s.NameCounter, s.Extension, numbered));
        if (!renameNoReplace(s.OldPath, s.NewPath)) {
            renameFailed();
            return;
        }
        ++s.NameCounter;
    }
    rereadFolder();
    w.Text3->setText(signedText(s.NameCounter));
    setArrow();
    w.Text2->setFocus();
}

QString RenameExecution::prefixRefusal() const
{
    const BulkSorter &w = m_w;
    const QString prefix = w.Text2->text();
    const bool numbered = w.state.FilesSelected != 1;
    for (int i = 0; i < w.File1->ListCount(); ++i) {
        if (!w.File1->Selected(i))
            continue;
        // The number never makes a name unusable; the prefix and the extension can.
        const QString refusal = newNameRefusal(newName(prefix, 0, extensionOf(w.File1->List(i)), numbered));
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
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
    const bool toTrash = w.app().settings.DeleteRecycle;
    const QString folder = w.File1->Path();
    DeleteRun run;
    for (s.FileIndex = 0; s.FileIndex < w.File1->ListCount(); ++s.FileIndex) {
        if (!w.File1->Selected(s.FileIndex))
            continue;
        s.DeletePath = joinPath(folder, w.File1->List(s.FileIndex));
        run.deleteFile(s.DeletePath, toTrash);
    }
    rereadFolder();
    run.reportFailures();
}

} // namespace orvella
