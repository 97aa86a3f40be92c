#include "fileops/movefiles.h"

#include "app/mainwindow.h"
#include "fileops/renamemove.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"
#include "platform/fileservices.h"
#include "ui/folderlistbox.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"

#include <QLineEdit>

#include <algorithm>

namespace orvella {

void MoveFiles::MoveSelectedFiles()
{
    Reply = dialogs().messageBox(
        QStringLiteral("Are you sure you want to MOVE these files ?"), MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (Reply == AnswerCancel)
        return;
    // An empty destination would mean the root of the drive: refuse it.
    if (m_w.Text5->text().isEmpty()) {
        dialogs().messageBox(noDestinationMessage(), MsgOkOnly);
        return;
    }
    MovedCount = 0;
    QStringList notMoved;
    FileListBox &list = *m_w.File1;
    const qsizetype count = list.ListCount();
    for (FileIndex = 0; FileIndex < count; ++FileIndex) {
        if (!list.Selected(FileIndex))
            continue;
        SourcePath = joinPath(list.Path(), list.List(FileIndex));
        DestinationPath = joinPath(m_w.Text5->text(), list.List(FileIndex));
        if (const OpResult moved = renameNoReplace(SourcePath, DestinationPath))
            ++MovedCount;
        else
            notMoved.append(list.List(FileIndex) + QStringLiteral(": ") + moved.error);
    }
    m_w.ClearSelection();
    const OpResult refreshed = RefreshAfterFileOperation();
    if (!notMoved.isEmpty())
        dialogs().messageBox(QStringLiteral("File May Already Exist\n\n") + notMoved.join(u'\n'), MsgOkOnly);
    if (!refreshed) {
        dialogs().messageBox(refreshed.error, MsgOkOnly);
        return;
    }
    dialogs().messageBox(QString::number(MovedCount) + QStringLiteral(" Files moved!"), MsgOkOnly);
}

OpResult MoveFiles::RefreshAfterFileOperation()
{
    MainState &s = m_w.state;
    setWorkingFolder(m_w.Dir1->Path());
    s.NextToShow = 0;
    s.PageStart = 0;
    if (OpResult r = m_w.File1->Refresh(); !r)
        return r;
    s.SelectedCount = 0;
    for (qsizetype i = 0; i < m_w.File1->ListCount(); ++i)
        s.setSelectFlag(i, 0);
    std::fill(s.SelectFlags.begin(), s.SelectFlags.end(), 0);
    return m_w.LoadThumbnails();
}

} // namespace orvella
