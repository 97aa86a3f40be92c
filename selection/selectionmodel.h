#pragma once

namespace orvella {

class MainWindow;

// The selection of files through the grid. It keeps the file list's selected flags, the
// selection marks, the count and the caption colours in step.
class SelectionModel final {
public:
    explicit SelectionModel(MainWindow &w)
        : m_w(w)
    {
    }

    void ToggleSelection();
    void SelectAllFiles();
    void ClearSelection();
    void Image1_Click(int index);
    void Text1_Click(int index);
    void Image1_MouseMove(int index);
    void Text1_MouseMove(int index);

private:
    void paintAllCaptions(bool selected);
    // Whether cell index shows the picture of the list entry at its place (same folder and name).
    bool cellShowsItsFile(int index) const;
    void showNameOfCell(int index);

    MainWindow &m_w;
};

} // namespace orvella
