#pragma once

#include <QString>

class QLineEdit;

namespace orvella {

class FileListBox;
class FolderBrowser;
class GridSelection;
class UndoJournal;

// Moves the selected pictures, under their own names, into the destination folder.
class MoveFiles final {
public:
    // The main window's widgets the move reads.
    struct Widgets {
        FileListBox &File1;
        QLineEdit &Text5;
    };

    MoveFiles(Widgets widgets, GridSelection &selection, FolderBrowser &folders, UndoJournal &journal);

    void MoveSelectedFiles();

    int Reply = 0;
    qsizetype MovedCount = 0;
    QString SourcePath;
    QString DestinationPath;

private:
    Widgets m_ui;
    GridSelection &m_selection;
    FolderBrowser &m_folders;
    UndoJournal &m_journal;
};

} // namespace orvella
