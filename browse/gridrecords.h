#pragma once

#include <vector>

#include <QImage>
#include <QString>

namespace orvella {

// The main window's records of the grid. They start empty or zero with every creation of the
// window; the tables grow with the file list, so folders of any size load, page and select.

// Where the grid stands in the file list.
struct GridPosition {
    qsizetype PageStart = 0; // list index shown in grid cell 0
    qsizetype NextToShow = 0; // list index the next filled cell takes
};

// Where a picture slot stands in the fill: its thumbnail is still to come (or was let go to stay
// within the memory budget, and comes again when its page is near), is there, or could not be read.
enum class SlotState : quint8 { Coming, Made, Unreadable };

// The picture slots the loader fills and the grid shows; they grow and shrink with the list.
struct PictureSlots {
    std::vector<QImage> Image3; // picture slot i: the thumbnail of file i as of the last load
    std::vector<QString> SlotPaths; // full path of the file whose picture slot i holds, 0 included
    std::vector<SlotState> States; // of each slot
    int PercentDone = 0; // the last progress value shown
    qint64 Decodes = 0; // pictures the loader decoded from the files since the window opened (no cache hit)
};

// The selection marks, kept by the selection and read by the grid, which paints the captions from
// them.
struct SelectionMarks {
    std::vector<int> SelectFlags; // 1 selected, 0 not, per list index
    qsizetype SelectedCount = 0;
    int ClickedCell = 0; // the grid cell last clicked

    int selectFlag(qsizetype i) const
    {
        return i >= 0 && i < qsizetype(SelectFlags.size()) ? SelectFlags[size_t(i)] : 0;
    }
    void setSelectFlag(qsizetype i, int value)
    {
        if (i < 0)
            return;
        if (i >= qsizetype(SelectFlags.size()))
            SelectFlags.resize(size_t(i) + 1, 0);
        SelectFlags[size_t(i)] = value;
    }
};

} // namespace orvella
