#include "selection/gridselection.h"

#include <algorithm>

#include <QLineEdit>

#include "browse/gridrecords.h"
#include "browse/gridwidgets.h"
#include "browse/thumbnailgrid.h"
#include "platform/paths.h"
#include "ui/filelistbox.h"

namespace orvella {

GridSelection::GridSelection(Widgets widgets, SelectionMarks &marks, const GridPosition &position)
    : m_ui(widgets)
    , m_marks(marks)
    , m_position(position)
{
}

void GridSelection::ToggleSelection()
{
    SelectionMarks &s = m_marks;
    if (s.ClickedCell < 0 || s.ClickedCell >= ThumbnailGrid::Cells)
        return;
    const qsizetype i = m_position.PageStart + s.ClickedCell;
    CaptionBox *caption = m_ui.Text1[size_t(s.ClickedCell)];
    const int flag = s.selectFlag(i);
    if (flag == 1) {
        --s.SelectedCount;
        caption->setColors(CaptionBlack, CaptionGrey);
        s.setSelectFlag(i, 0);
        m_ui.File1.setSelected(i, false);
    } else if (flag == 0) {
        ++s.SelectedCount;
        caption->setColors(CaptionGrey, CaptionBlack);
        s.setSelectFlag(i, 1);
        m_ui.File1.setSelected(i, true);
    }
}

void GridSelection::paintAllCaptions(bool selected)
{
    for (CaptionBox *caption : m_ui.Text1) {
        if (selected)
            caption->setColors(CaptionGrey, CaptionBlack);
        else
            caption->setColors(CaptionBlack, CaptionGrey);
    }
}

void GridSelection::SelectAllFiles()
{
    SelectionMarks &s = m_marks;
    const qsizetype count = m_ui.File1.ListCount();
    for (qsizetype i = count - 1; i >= 0; --i) {
        m_ui.File1.setSelected(i, true);
        s.setSelectFlag(i, 1);
    }
    s.SelectedCount = count;
    paintAllCaptions(true);
}

void GridSelection::ClearSelection()
{
    SelectionMarks &s = m_marks;
    s.SelectedCount = 0;
    for (qsizetype i = m_ui.File1.ListCount() - 1; i >= 0; --i) {
        m_ui.File1.setSelected(i, false);
        s.setSelectFlag(i, 0);
    }
    // Marks past the end of a list that has just shrunk (after a rename or move) would otherwise
    // show as selected, and count wrongly, once the list grows again.
    std::fill(s.SelectFlags.begin(), s.SelectFlags.end(), 0);
    paintAllCaptions(false);
}

bool GridSelection::cellShowsItsFile(int index) const
{
    // With manual loading a folder change leaves the grid showing the last folder's pictures, and
    // a drive change puts the new names under them: such a cell does not stand for the file the
    // list now holds at its place, even when the names agree (cameras name every card alike), and
    // a click there would select a file nobody has seen.
    const QString &shown = m_ui.Image1[size_t(index)]->filePath();
    const qsizetype i = m_position.PageStart + index;
    return !shown.isEmpty() && i < m_ui.File1.ListCount() && shown == joinPath(m_ui.File1.Path(), m_ui.File1.List(i));
}

void GridSelection::Image1_Click(int index)
{
    if (index < 0 || index >= ThumbnailGrid::Cells || !m_ui.Image1[size_t(index)]->hasPicture()
        || !cellShowsItsFile(index))
        return;
    m_marks.ClickedCell = index;
    ToggleSelection();
}

void GridSelection::Text1_Click(int index)
{
    if (index < 0 || index >= ThumbnailGrid::Cells || m_ui.Text1[size_t(index)]->text().isEmpty()
        || !cellShowsItsFile(index))
        return;
    m_marks.ClickedCell = index;
    ToggleSelection();
}

void GridSelection::showNameOfCell(int index)
{
    // The name of the file whose picture the cell shows, which is the caption's unless the list
    // has changed under a grid that was not loaded again.
    if (index >= 0 && index < ThumbnailGrid::Cells)
        m_ui.Text6.setText(fileNameOf(m_ui.Image1[size_t(index)]->filePath()));
}

void GridSelection::Image1_MouseMove(int index)
{
    showNameOfCell(index);
}

void GridSelection::Text1_MouseMove(int index)
{
    showNameOfCell(index);
}

} // namespace orvella
