#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace orvella {

// The records the main window owns besides its widgets. They start empty or zero with every
// creation of the window. The tables grow with the file list: folders of any size load, page and
// select.
struct MainState {
    std::vector<QImage> Image3; // picture slot i: the thumbnail of file i as of the last load
    std::vector<QString> SlotPaths; // full path of the file whose picture slot i holds, 0 included
    int PercentDone = 0;
    qsizetype PageStart = 0; // list index shown in grid cell 0
    qsizetype NextToShow = 0; // list index the next filled cell takes
    std::vector<int> SelectFlags; // 1 selected, 0 not, per list index
    qsizetype SelectedCount = 0;
    int ClickedCell = 0;
    int DownloadFailed = 0;
    bool StartingUp = false; // true while the start-up sequence runs
    qint64 Decodes = 0; // pictures the loader decoded from the files since the window opened (no cache hit)

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
