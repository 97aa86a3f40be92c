#pragma once

namespace orvella {

class FileListBox;
class FolderBrowser;
class GridSelection;
class UndoJournal;
struct BrowserSettings;

// Deletes the selected pictures, to the trash or for good as the delete setting says.
class DeleteFiles final {
public:
    DeleteFiles(FileListBox &File1, const BrowserSettings &settings, GridSelection &selection, FolderBrowser &folders,
        UndoJournal &journal);

    void DeleteSelectedFiles();

    int Reply = 0;

private:
    FileListBox &m_File1;
    const BrowserSettings &m_settings;
    GridSelection &m_selection;
    FolderBrowser &m_folders;
    UndoJournal &m_journal;
};

} // namespace orvella
