#pragma once

#include <optional>

#include <QString>

class QCheckBox;
class QLineEdit;

namespace orvella {

class FileListBox;
class FolderBrowser;
class GridSelection;
class RenameRun;
class UndoJournal;
struct SelectionMarks;

// Renames the selected pictures to a prefix and a running number, and moves them in the same
// step when "Move Pictures" is ticked.
class RenameMove final {
public:
    // The main window's widgets the rename reads.
    struct Widgets {
        QCheckBox &Check3;
        QLineEdit &Text2;
        QLineEdit &Text3;
        QLineEdit &Text5;
        FileListBox &File1;
    };

    RenameMove(Widgets widgets, const SelectionMarks &marks, GridSelection &selection, FolderBrowser &folders,
        UndoJournal &journal);

    void RenameSelectedFiles();

    QString OperationWord;
    int Reply = 0;
    qint64 NameCounter = 0;

private:
    // The first number of the run; nothing when the run cannot start, after saying why.
    std::optional<qint32> acceptedStart(const RenameRun &run);
    void failurePath();

    Widgets m_ui;
    const SelectionMarks &m_marks;
    GridSelection &m_selection;
    FolderBrowser &m_folders;
    UndoJournal &m_journal;
};

// The message shown when "Move Pictures" is ticked but no folder was chosen.
QString noDestinationMessage();

} // namespace orvella
