#pragma once

#include <vector>

#include <QtGlobal>

class QLineEdit;

namespace orvella {

class CaptionBox;
class FileListBox;
class ImageCell;
struct GridPosition;
struct SelectionMarks;

// The selection of files through the grid. It keeps the file list's selected flags, the
// selection marks, the count, the caption colours and the cells' accessible names in step.
class GridSelection final {
public:
    // The main window's widgets the selection marks and reads.
    struct Widgets {
        FileListBox &File1;
        const std::vector<ImageCell *> &Image1;
        const std::vector<CaptionBox *> &Text1;
        QLineEdit &Text6;
    };

    GridSelection(Widgets widgets, SelectionMarks &marks, const GridPosition &position);

    void ToggleSelection();
    void SelectAllFiles();
    void ClearSelection();
    void Image1_Click(int index);
    void Text1_Click(int index);
    // Shift+click (or Shift+Space): selects every picture from the last one toggled to this one.
    void Image1_ShiftClick(int index);
    void Text1_ShiftClick(int index);
    void Image1_MouseMove(int index);
    void Text1_MouseMove(int index);

private:
    void paintAllCaptions(bool selected);
    // Whether cell index shows the picture of the list entry at its place (same folder and name).
    bool cellShowsItsFile(int index) const;
    void showNameOfCell(int index);
    // Selects (never deselects) list entries from the anchor to the one in cell index, both
    // included, as clicks on each would; the anchor moves there.
    void selectThrough(int index);
    void paintCaption(int cell, bool selected);

    Widgets m_ui;
    SelectionMarks &m_marks;
    const GridPosition &m_position;
    // The list index of the picture last toggled or shift-clicked (-1: none since the selection
    // was last cleared), where a range selection starts.
    qsizetype m_anchor = -1;
};

} // namespace orvella
