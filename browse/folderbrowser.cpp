#include "browse/folderbrowser.h"

#include "app/mainwindow.h"
#include "ui/dialogservice.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "platform/workingfolder.h"
#include "selection/browsersettings.h"

namespace orvella {

void FolderBrowser::Dir1_Change()
{
    m_w.ClearSelection();
    // From here on a failure ends the handler silently; steps already done stay done.
    if (!m_w.File1->setPath(m_w.Dir1->Path()))
        return;
    m_w.Drive1->showVolumeOf(m_w.Dir1->Path());
    if (!setWorkingFolder(m_w.Dir1->Path()))
        return;
    m_w.state.NextToShow = 0;
    m_w.state.PageStart = 0;
    // Start-up loads the thumbnails itself once the window is ready.
    if (m_w.settings().AutoThumbnails && !m_w.state.StartingUp)
        m_w.LoadThumbnails();
}

void FolderBrowser::Drive1_Change()
{
    const OpResult opened = m_w.Dir1->setPath(m_w.Drive1->driveRoot());
    if (!opened) {
        showDriveNotFound();
        return;
    }
    m_w.state.NextToShow = 0;
    m_w.state.PageStart = 0;
    m_w.ShowThumbnailPage();
}

void FolderBrowser::folderOpenFailed(const QString &folder, const QString &reason)
{
    Q_UNUSED(folder);
    dialogs().messageBox(reason, MsgExclamation);
}

} // namespace orvella
