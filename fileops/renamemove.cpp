#include "fileops/renamemove.h"

#include "app/mainwindow.h"
#include "fileops/namerules.h"
#include "ui/busypointer.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"
#include "platform/fileservices.h"
#include "platform/paths.h"

#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace orvella {

QString noDestinationMessage()
{
    return QStringLiteral("No destination folder has been chosen. Untick and tick \"Move Pictures\" to choose one.");
}

void RenameMove::FindExtension()
{
    // Everything from the last dot of the file name: photo.jpeg keeps .jpeg, so it stays a picture.
    Extension = extensionOf(fileNameOf(OldPath));
}

bool RenameMove::refusedBeforeStart()
{
    if (m_w.Check3->checkState() == Qt::Checked && m_w.Text5->text().isEmpty()) {
        dialogs().messageBox(noDestinationMessage(), MsgOkOnly);
        return true;
    }
    // A prefix that would make a path, or the names "." and "..", would send pictures into other
    // folders: refuse it before any file is touched.
    const FileListBox &list = *m_w.File1;
    const bool numbered = m_w.state.SelectedCount > 1;
    qsizetype files = 0;
    for (qsizetype i = 0; i < list.ListCount(); ++i) {
        if (!list.Selected(i))
            continue;
        ++files;
        const QString why = newNameRefusal(newName(m_w.Text2->text(), 0, extensionOf(list.List(i)), numbered));
        if (!why.isEmpty()) {
            dialogs().messageBox(why, MsgOkOnly);
            return true;
        }
    }
    // The counter steps once for every file the run renames, numbered or not: a start that would
    // take it past 32 bits would fail half-way, so it is refused now.
    if (!runCountStart(m_w.Text3->text(), int(std::min<qsizetype>(files, std::numeric_limits<int>::max())))) {
        dialogs().messageBox(countOutOfRangeText(), MsgOkOnly);
        m_w.Text3->setFocus();
        return true;
    }
    return false;
}

void RenameMove::showListAgain()
{
    m_w.File1->Refresh();
    m_w.ClearSelection();
    // The grid must show the list as it now is: names that moved to other positions would
    // otherwise sit under the wrong pictures, and a click would select another file than the one
    // it shows. Only the pictures whose entry changed are decoded again.
    m_w.state.PageStart = 0;
    m_w.state.NextToShow = 0;
    m_w.LoadThumbnails();
}

void RenameMove::failurePath()
{
    showListAgain();
    dialogs().messageBox(QStringLiteral("File already exists. Can not over-write!\r"), MsgOkOnly);
    setArrow();
}

void RenameMove::RenameSelectedFiles()
{
    if (m_w.Check3->checkState() == Qt::Checked)
        OperationWord = QStringLiteral("RENAME & MOVE");
    if (m_w.Check3->checkState() == Qt::Unchecked)
        OperationWord = QStringLiteral("RENAME");
    Reply = dialogs().messageBox(
        QStringLiteral("Are you sure you want to ") + OperationWord + QStringLiteral(" these files ?"),
        MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    if (m_w.state.SelectedCount == 0) {
        m_w.File1->Refresh();
        m_w.ClearSelection();
        dialogs().messageBox(QStringLiteral("First Select a File to Rename!\r"), MsgOkOnly);
        setArrow();
        return;
    }
    if (refusedBeforeStart())
        return;

    setHourglass();
    const std::optional<qint32> start = countStart(m_w.Text3->text());
    if (!start) {
        failurePath();
        return;
    }
    NameCounter = *start;
    FileListBox &list = *m_w.File1;
    const qsizetype count = list.ListCount();
    const QString prefix = m_w.Text2->text();
    for (FileIndex = 0; FileIndex < count; ++FileIndex) {
        TargetFolder = list.Path();
        if (m_w.Check3->checkState() == Qt::Checked)
            TargetFolder = m_w.Text5->text();
        if (!list.Selected(FileIndex))
            continue;
        OldPath = joinPath(list.Path(), list.List(FileIndex));
        FindExtension();
        // A number is only out of range when a name needs it.
        if (NameCounter > std::numeric_limits<qint32>::max()) {
            failurePath();
            return;
        }
        const QString newPath
            = joinPath(TargetFolder, newName(prefix, NameCounter, Extension, m_w.state.SelectedCount > 1));
        if (!renameNoReplace(OldPath, newPath)) {
            failurePath();
            return;
        }
        ++NameCounter;
    }
    list.Refresh();
    m_w.ClearSelection();
    m_w.Text3->setText(QStringLiteral("1"));
    setArrow();
    m_w.Text2->setFocus();
    if (!m_w.RefreshAfterFileOperation())
        failurePath();
}

} // namespace orvella
