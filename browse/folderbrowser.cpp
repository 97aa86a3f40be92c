#include "browse/folderbrowser.h"

#include <algorithm>

#include "browse/gridrecords.h"
#include "browse/thumbnailgrid.h"
#include "browse/thumbnailloader.h"
#include "platform/workingfolder.h"
#include "settings/browsersettings.h"
#include "ui/dialogservice.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

namespace orvella {

FolderBrowser::FolderBrowser(Widgets widgets, GridPosition &position, SelectionMarks &marks,
    const BrowserSettings &settings, ThumbnailLoader &loader, ThumbnailGrid &grid)
    : m_ui(widgets)
    , m_position(position)
    , m_marks(marks)
    , m_settings(settings)
    , m_loader(loader)
    , m_grid(grid)
{
}

void FolderBrowser::Dir1_Change()
{
    emit selectionToBeCleared();
    // From here on a failure ends the handler silently; steps already done stay done.
    if (!m_ui.File1.setPath(m_ui.Dir1.Path()))
        return;
    m_ui.Drive1.showVolumeOf(m_ui.Dir1.Path());
    if (!setWorkingFolder(m_ui.Dir1.Path()))
        return;
    m_position.NextToShow = 0;
    m_position.PageStart = 0;
    // Start-up loads the thumbnails itself once the window is ready. With manual loading the
    // grid keeps what it shows, and nothing more is made for the old list.
    if (m_settings.AutoThumbnails && !m_startingUp)
        m_loader.loadListedThumbnails();
    else
        m_loader.stopFill();
}

void FolderBrowser::Drive1_Change()
{
    if (!m_ui.Dir1.setPath(m_ui.Drive1.driveRoot())) {
        showDriveNotFound();
        return;
    }
    m_position.NextToShow = 0;
    m_position.PageStart = 0;
    m_grid.ShowThumbnailPage();
}

void FolderBrowser::folderOpenFailed(const QString &folder, const QString &reason)
{
    Q_UNUSED(folder);
    dialogs().messageBox(reason, MsgExclamation);
}

OpResult FolderBrowser::RefreshAfterFileOperation()
{
    setWorkingFolder(m_ui.Dir1.Path());
    m_position.NextToShow = 0;
    m_position.PageStart = 0;
    if (OpResult r = m_ui.File1.Refresh(); !r)
        return r;
    m_marks.SelectedCount = 0;
    // The marks follow the list, down as well as up.
    m_marks.SelectFlags.assign(size_t(m_ui.File1.ListCount()), 0);
    return m_loader.loadListedThumbnails();
}

void FolderBrowser::openDriveRoot()
{
    m_startingUp = true;
    m_ui.Dir1.setPath(m_ui.Drive1.driveRoot());
    m_startingUp = false;
}

OpResult FolderBrowser::reloadFromFirstPage()
{
    m_position.PageStart = 0;
    m_position.NextToShow = 0;
    return m_loader.LoadThumbnails();
}

} // namespace orvella
