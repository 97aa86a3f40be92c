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
}

void ThumbnailGrid::ShowThumbnailPage()
{
    const PictureSlots &s = m_pictures;
    setHourglass();
    for (int k = 0; k < Cells; ++k) {
        const qsizetype i = m_position.NextToShow;
        CaptionBox *caption = m_ui.Text1[size_t(k)];
        caption->setText(m_ui.File1.List(i));
        // A long name is cut off by the narrow caption; the tool tip shows it whole.
        caption->setToolTip(plainToolTip(caption->text()));
        // Slots past the end of the list may still hold older pictures; an empty caption hides them.
        // The cell takes the slot's record along: after a folder change without loading, the slot
        // still holds another folder's picture, perhaps of a file with this very name.
        if (caption->text().isEmpty() || i >= qsizetype(s.Image3.size()))
            m_ui.Image1[size_t(k)]->clearPicture();
        else
            m_ui.Image1[size_t(k)]->setPicture(
                s.Image3[size_t(i)], i < qsizetype(s.SlotPaths.size()) ? s.SlotPaths[size_t(i)] : QString());
        const int flag = m_marks.selectFlag(i);
        if (flag == 0)
            caption->setColors(CaptionBlack, CaptionGrey);
        else if (flag == 1)
            caption->setColors(CaptionGrey, CaptionBlack);
        ++m_position.NextToShow;
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

} // namespace orvella
