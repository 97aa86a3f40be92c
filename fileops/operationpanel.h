#pragma once

namespace orvella {

class MainWindow;
class MoveFileWindow;

// The operation panel: the rename and move switches, their input boxes, and the action button
// that starts the chosen operation.
class OperationPanel final {
public:
    explicit OperationPanel(MainWindow &w);
    ~OperationPanel();

    void UpdateRenameFields();
    void UpdateMoveField();
    void Command3_Click();
    // The destination chooser, created on first use.
    MoveFileWindow &chooser();
    bool hasChooser() const { return m_chooser != nullptr; }

private:
    MainWindow &m_w;
    MoveFileWindow *m_chooser = nullptr;
};

} // namespace orvella
