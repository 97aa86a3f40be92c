#include "browse/thumbnailgrid.h"

#include <algorithm>

#include "browse/gridrecords.h"
#include "browse/gridwidgets.h"
#include "ui/busypointer.h"
#include "ui/filelistbox.h"

namespace orvella {

ThumbnailGrid::ThumbnailGrid(
    Widgets widgets, const PictureSlots &pictures, const SelectionMarks &marks, GridPosition &position)
    : m_ui(widgets)
    , m_pictures(pictures)
    , m_marks(marks)
    , m_position(position)
{
    // A click on a caption gives its cell the focus; Tab first reaches the grid at cell 0.
    for (int k = 0; k < Cells; ++k) {
        m_ui.Text1[size_t(k)]->setFocusProxy(m_ui.Image1[size_t(k)]);
        m_ui.Text1[size_t(k)]->setFocusPolicy(Qt::ClickFocus);
    }
    m_ui.Image1.front()->setFocusPolicy(Qt::StrongFocus);
}

void ThumbnailGrid::ShowThumbnailPage()
{
    m_firstShown = m_position.NextToShow;
    for (int k = 0; k < Cells; ++k) {
        const qsizetype i = m_position.NextToShow;
        CaptionBox *caption = m_ui.Text1[size_t(k)];
        caption->setText(m_ui.File1.List(i));
        // A long name is cut off by the narrow caption; the tool tip shows it whole.
        caption->setToolTip(plainToolTip(caption->text()));
        showCell(k, i);
        const int flag = m_marks.selectFlag(i);
        if (flag == 0)
            caption->setColors(CaptionBlack, CaptionGrey);
        else if (flag == 1)
            caption->setColors(CaptionGrey, CaptionBlack);
        describeCell(*m_ui.Image1[size_t(k)], *caption);
        ++m_position.NextToShow;
    }
    if (m_pageShown)
        m_pageShown(m_firstShown);
    showPointer();
}

void ThumbnailGrid::showCell(int k, qsizetype i)
{
    const PictureSlots &s = m_pictures;
    // Slots past the end of the list may still hold older pictures; an empty caption hides them.
    // The cell takes the slot's record along: after a folder change without loading, the slot
    // still holds another folder's picture, perhaps of a file with this very name.
    if (m_ui.Text1[size_t(k)]->text().isEmpty() || i >= qsizetype(s.Image3.size()))
        m_ui.Image1[size_t(k)]->clearPicture();
    else
        m_ui.Image1[size_t(k)]->setPicture(s.Image3[size_t(i)],
            i < qsizetype(s.SlotPaths.size()) ? s.SlotPaths[size_t(i)] : QString(),
            i < qsizetype(s.States.size()) && s.States[size_t(i)] == SlotState::Coming);
}

void ThumbnailGrid::showSlot(qsizetype i)
{
    const qsizetype k = i - m_firstShown;
    if (k < 0 || k >= Cells)
        return;
    showCell(int(k), i);
    showPointer();
}

void ThumbnailGrid::showPointer()
{
    for (const ImageCell *cell : m_ui.Image1) {
        if (cell->isComing()) {
            setHourglass();
            return;
        }
    }
    setArrow();
}

void ThumbnailGrid::move(qsizetype pageStartDelta, qsizetype nextToShowDelta)
{
    m_position.PageStart = std::max<qsizetype>(0, m_position.PageStart + pageStartDelta);
    m_position.NextToShow = std::max<qsizetype>(0, m_position.NextToShow + nextToShowDelta);
    ShowThumbnailPage();
}

void ThumbnailGrid::PageDown_Click()
{
    move(Cells, 0);
}

void ThumbnailGrid::PageUp_Click()
{
    move(-Cells, -2 * Cells);
}

void ThumbnailGrid::ScrollUp_Click(int)
{
    move(-Columns, -(Cells + Columns));
}

void ThumbnailGrid::scrolldown_Click()
{
    move(Columns, -(Cells - Columns));
}

int ThumbnailGrid::moveFocus(int index, int key)
{
    const qsizetype count = m_ui.File1.ListCount();
    if (index < 0 || index >= Cells || count == 0)
        return -1;
    // A focused cell past the end of the list (the page buttons go there) stands for the last picture.
    const qsizetype from = std::min(m_position.PageStart + index, count - 1);
    qsizetype to = from;
    switch (key) {
    case Qt::Key_Left:
        to = from - 1;
        break;
    case Qt::Key_Right:
        to = from + 1;
        break;
    case Qt::Key_Up:
        to = from >= Columns ? from - Columns : from;
        break;
    case Qt::Key_Down:
        // Onto the last picture when the row below is shorter than this one.
        to = from / Columns < (count - 1) / Columns ? std::min(from + Columns, count - 1) : from;
        break;
    // The page keys keep the focus in its cell while the page moves. On the first page Page Up
    // goes to the first picture; on the last, Page Down goes to the last instead of on to a page
    // past the end of the list.
    case Qt::Key_PageUp:
        if (m_position.PageStart == 0) {
            to = 0;
            break;
        }
        PageUp_Click();
        to = m_position.PageStart + index;
        break;
    case Qt::Key_PageDown:
        if (m_position.PageStart + Cells >= count) {
            to = count - 1;
            break;
        }
        PageDown_Click();
        to = m_position.PageStart + index;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = count - 1;
        break;
    default:
        return -1;
    }
    return focusEntry(std::clamp<qsizetype>(to, 0, count - 1));
}

int ThumbnailGrid::focusEntry(qsizetype i)
{
    const qsizetype start = m_position.PageStart;
    // Where the row buttons, pressed until the entry shows, would leave the page: it enters at
    // the top row going up and at the bottom row going down.
    qsizetype wanted = start;
    if (i < start)
        wanted = i - i % Columns;
    else if (i >= start + Cells)
        wanted = i - i % Columns - (Cells - Columns);
    if (wanted == start - Columns)
        ScrollUp_Click(0);
    else if (wanted == start + Columns)
        scrolldown_Click();
    else if (wanted != start) {
        m_position.PageStart = wanted;
        m_position.NextToShow = wanted;
        ShowThumbnailPage();
    }
    const qsizetype cell = i - m_position.PageStart;
    if (cell < 0 || cell >= Cells)
        return -1;
    m_ui.Image1[size_t(cell)]->setFocus(Qt::OtherFocusReason);
    return int(cell);
}

} // namespace orvella
