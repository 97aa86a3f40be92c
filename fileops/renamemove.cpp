#include "fileops/renamemove.h"

#include <QCheckBox>
#include <QLineEdit>

#include "browse/folderbrowser.h"
#include "browse/gridrecords.h"
#include "fileops/renamerun.h"
#include "fileops/undojournal.h"
#include "selection/gridselection.h"
#include "ui/busypointer.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"

namespace orvella {

QString noDestinationMessage()
{
    return QStringLiteral("No destination folder has been chosen. Untick and tick \"Move Pictures\" to choose one.");
}

RenameMove::RenameMove(Widgets widgets, const SelectionMarks &marks, GridSelection &selection, FolderBrowser &folders,
    UndoJournal &journal)
    : m_ui(widgets)
    , m_marks(marks)
    , m_selection(selection)
    , m_folders(folders)
    , m_journal(journal)
{
}

std::optional<qint32> RenameMove::acceptedStart(const RenameRun &run)
{
    if (m_ui.Check3.checkState() == Qt::Checked && m_ui.Text5.text().isEmpty()) {
        dialogs().messageBox(noDestinationMessage(), MsgOkOnly);
        return std::nullopt;
    }
    // A prefix that would make a path, or the names "." and "..", would send pictures into other
    // folders: refuse it before any file is touched.
    if (const QString why = run.refusal(); !why.isEmpty()) {
        dialogs().messageBox(why, MsgOkOnly);
        return std::nullopt;
    }
    // The counter steps once for every file the run renames, numbered or not: a start that would
    // take it past 32 bits would fail half-way, so it is refused now.
    const std::optional<qint32> start = run.countStart(m_ui.Text3.text());
    if (!start) {
        dialogs().messageBox(countOutOfRangeText(), MsgOkOnly);
        m_ui.Text3.setFocus();
    }
    return start;
}

void RenameMove::failurePath()
{
    // The grid must show the list as it now is: names that moved to other positions would
    // otherwise sit under the wrong pictures, and a click would select another file than the one
    // it shows. Only the pictures whose entry changed are decoded again.
    m_ui.File1.Refresh();
    m_selection.ClearSelection();
    m_folders.reloadFromFirstPage();
    dialogs().messageBox(QStringLiteral("File already exists. Can not over-write!\r"), MsgOkOnly);
    setArrow();
}

void RenameMove::RenameSelectedFiles()
{
    if (m_ui.Check3.checkState() == Qt::Checked)
        OperationWord = QStringLiteral("RENAME & MOVE");
    if (m_ui.Check3.checkState() == Qt::Unchecked)
        OperationWord = QStringLiteral("RENAME");
    Reply = dialogs().messageBox(
        QStringLiteral("Are you sure you want to ") + OperationWord + QStringLiteral(" these files ?"),
        MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    if (m_marks.SelectedCount == 0) {
        m_ui.File1.Refresh();
        m_selection.ClearSelection();
        dialogs().messageBox(QStringLiteral("First Select a File to Rename!\r"), MsgOkOnly);
        setArrow();
        return;
    }
    // Every picture the list has selected goes, numbered when the grid counts more than one.
    const QString target = m_ui.Check3.checkState() == Qt::Checked ? m_ui.Text5.text() : m_ui.File1.Path();
    const RenameRun run = RenameRun::ofSelection(m_ui.File1, target, m_ui.Text2.text(), m_marks.SelectedCount > 1);
    const std::optional<qint32> start = acceptedStart(run);
    if (!start)
        return;

    setHourglass();
    const RenameOutcome done = run.run(*start);
    NameCounter = done.nextNumber;
    // A run stopped by a clash is taken back for the files it did rename.
    m_journal.record(
        m_ui.Check3.checkState() == Qt::Checked ? UndoJournal::Kind::RenameAndMove : UndoJournal::Kind::Rename,
        done.steps);
    if (!done.result) {
        failurePath();
        return;
    }
    m_ui.File1.Refresh();
    m_selection.ClearSelection();
    m_ui.Text3.setText(QStringLiteral("1"));
    setArrow();
    m_ui.Text2.setFocus();
    if (!m_folders.RefreshAfterFileOperation())
        failurePath();
}

} // namespace orvella
