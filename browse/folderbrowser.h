#pragma once

#include <QObject>
#include <QString>

#include "platform/result.h"

namespace orvella {

class DriveListBox;
class FileListBox;
class FolderListBox;
class ThumbnailGrid;
class ThumbnailLoader;
struct BrowserSettings;
struct GridPosition;
struct SelectionMarks;

// Drive and folder navigation of the main window: keeps the file list, the working folder and the
// grid on the folder the folder list shows, also after a file operation has changed the folder.
class FolderBrowser final : public QObject {
    Q_OBJECT
public:
    // The main window's lists.
    struct Widgets {
        DriveListBox &Drive1;
        FolderListBox &Dir1;
        FileListBox &File1;
    };

    FolderBrowser(Widgets widgets, GridPosition &position, SelectionMarks &marks, const BrowserSettings &settings,
        ThumbnailLoader &loader, ThumbnailGrid &grid);

    void Dir1_Change();
    void Drive1_Change();
    // The user tried to open a folder that cannot be read.
    void folderOpenFailed(const QString &folder, const QString &reason);
    // Brings the list, the selection marks and the grid back in line with the folder. Fails only
    // when the folder can no longer be read.
    OpResult RefreshAfterFileOperation();

    // Start-up: opens the root of the drive the drive list shows. The thumbnails wait for the
    // start-up's own load, once the window is ready.
    void openDriveRoot();
    // Loads the list's thumbnails again and shows its first page.
    OpResult reloadFromFirstPage();

signals:
    // A folder change is about to drop the selection: emitted first, before anything else changes.
    void selectionToBeCleared();

private:
    Widgets m_ui;
    GridPosition &m_position;
    SelectionMarks &m_marks;
    const BrowserSettings &m_settings;
    ThumbnailLoader &m_loader;
    ThumbnailGrid &m_grid;
    bool m_startingUp = false;
};

} // namespace orvella
