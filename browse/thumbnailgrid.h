#pragma once

#include <functional>
#include <vector>

#include <QtGlobal>

namespace orvella {

class CaptionBox;
class FileListBox;
class ImageCell;
struct GridPosition;
struct PictureSlots;
struct SelectionMarks;

// The 6 x 6 grid: fills its cells from the file list, the picture slots and the selection marks,
// moves through the list a page or a row at a time, and moves the keyboard focus from cell to cell.
class ThumbnailGrid final {
public:
    static constexpr int Columns = 6;
    static constexpr int Rows = 6;
    static constexpr int Cells = Columns * Rows;

    // The main window's widgets the grid fills and reads.
    struct Widgets {
        const std::vector<ImageCell *> &Image1;
        const std::vector<CaptionBox *> &Text1;
        const FileListBox &File1;
    };

    ThumbnailGrid(Widgets widgets, const PictureSlots &pictures, const SelectionMarks &marks, GridPosition &position);

    void ShowThumbnailPage();
    // Shows slot i again in its cell, when the page shows it.
    void showSlot(qsizetype i);
    // The list index cell 0 shows.
    qsizetype firstShown() const { return m_firstShown; }
    // Told the first list index of every page shown.
    void setPageShownListener(std::function<void(qsizetype)> listener) { m_pageShown = std::move(listener); }
    void PageDown_Click();
    void PageUp_Click();
    void ScrollUp_Click(int index);
    void scrolldown_Click();

    // A movement key (Qt::Key: an arrow, Page Up, Page Down, Home, End) pressed on cell index:
    // moves the focus to another picture of the list, and the page as the paging buttons would
    // when that picture is off the page. The focus never goes past the end of the list. Gives the
    // focused cell (-1 for none).
    int moveFocus(int index, int key);

private:
    // Moves the page start and the next index to show, neither below 0, then refills.
    void move(qsizetype pageStartDelta, qsizetype nextToShowDelta);
    // Brings list entry i onto the page as the row buttons would, and gives its cell the focus.
    int focusEntry(qsizetype i);
    void showCell(int k, qsizetype i);
    // The busy pointer shows while a picture of the page is still to come.
    void showPointer();

    Widgets m_ui;
    const PictureSlots &m_pictures;
    const SelectionMarks &m_marks;
    GridPosition &m_position;
    qsizetype m_firstShown = 0;
    std::function<void(qsizetype)> m_pageShown;
};

} // namespace orvella
