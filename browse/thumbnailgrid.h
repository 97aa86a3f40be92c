#pragma once

#include <QtGlobal>

namespace orvella {

class MainWindow;

// The 6 x 6 grid: fills its cells from the file list, the picture slots and the selection marks,
// and moves through the list a page or a row at a time.
class ThumbnailGrid final {
public:
    static constexpr int Columns = 6;
    static constexpr int Rows = 6;
    static constexpr int Cells = Columns * Rows;

    explicit ThumbnailGrid(MainWindow &w)
        : m_w(w)
    {
    }

    void ShowThumbnailPage();
    void PageDown_Click();
    void PageUp_Click();
    void ScrollUp_Click(int index);
    void scrolldown_Click();

private:
    // Moves the page start and the next index to show, neither below 0, then refills.
    void move(qsizetype pageStartDelta, qsizetype nextToShowDelta);

    MainWindow &m_w;
};

} // namespace orvella
