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
    const int flag = s.selectFlag(i);
    if (flag == 1) {
        --s.SelectedCount;
        paintCaption(s.ClickedCell, false);
        s.setSelectFlag(i, 0);
        m_ui.File1.setSelected(i, false);
    } else if (flag == 0) {
        ++s.SelectedCount;
        paintCaption(s.ClickedCell, true);
        s.setSelectFlag(i, 1);
        m_ui.File1.setSelected(i, true);
    }
    m_anchor = i;
}

void GridSelection::paintCaption(int cell, bool selected)
{
    CaptionBox *caption = m_ui.Text1[size_t(cell)];
    if (selected)
        caption->setColors(CaptionGrey, CaptionBlack);
    else
        caption->setColors(CaptionBlack, CaptionGrey);
    describeCell(*m_ui.Image1[size_t(cell)], *caption);
}

void GridSelection::paintAllCaptions(bool selected)
{
    for (int k = 0; k < ThumbnailGrid::Cells; ++k)
        paintCaption(k, selected);
}

void GridSelection::SelectAllFiles()
{
    SelectionMarks &s = m_marks;
    const qsizetype count = m_ui.File1.ListCount();
    m_ui.File1.setAllSelected(true);
    if (qsizetype(s.SelectFlags.size()) < count)
        s.SelectFlags.resize(size_t(count));
    std::fill_n(s.SelectFlags.begin(), count, 1);
    s.SelectedCount = count;
    paintAllCaptions(true);
}

void GridSelection::ClearSelection()
{
    SelectionMarks &s = m_marks;
    s.SelectedCount = 0;
    m_anchor = -1;
    m_ui.File1.setAllSelected(false);
    // Every mark, also those past the end of a list that has just shrunk (after a rename or move):
    // they would otherwise show as selected, and count wrongly, once the list grows again.
    const qsizetype count = m_ui.File1.ListCount();
    if (qsizetype(s.SelectFlags.size()) < count)
        s.SelectFlags.resize(size_t(count));
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

void GridSelection::Image1_ShiftClick(int index)
{
    // The same cells as a plain click, and the same files.
    if (index < 0 || index >= ThumbnailGrid::Cells || !m_ui.Image1[size_t(index)]->hasPicture()
        || !cellShowsItsFile(index))
        return;
    selectThrough(index);
}

void GridSelection::Text1_ShiftClick(int index)
{
    if (index < 0 || index >= ThumbnailGrid::Cells || m_ui.Text1[size_t(index)]->text().isEmpty()
        || !cellShowsItsFile(index))
        return;
    selectThrough(index);
}

void GridSelection::selectThrough(int index)
{
    SelectionMarks &s = m_marks;
    const qsizetype target = m_position.PageStart + index;
    // The list may have shrunk under an anchor set before (it never grows without a clear).
    const qsizetype anchor = m_anchor < 0 ? target : std::min<qsizetype>(m_anchor, m_ui.File1.ListCount() - 1);
    // The entries not yet marked, as runs the list selects in one step.
    QList<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype i = std::min(anchor, target); i <= std::max(anchor, target); ++i) {
        if (s.selectFlag(i) != 0)
            continue;
        ++s.SelectedCount;
        const qsizetype cell = i - m_position.PageStart;
        if (cell >= 0 && cell < ThumbnailGrid::Cells)
            paintCaption(int(cell), true);
        s.setSelectFlag(i, 1);
        if (!runs.isEmpty() && runs.last().second == i - 1)
            runs.last().second = i;
        else
            runs.append({i, i});
    }
    m_ui.File1.setRangesSelected(runs, true);
    s.ClickedCell = index;
    m_anchor = target;
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
