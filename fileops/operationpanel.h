#pragma once

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace orvella {

class FolderListBox;
class MoveFileWindow;
class MoveFiles;
class RenameMove;

// The operation panel: the rename and move switches, their input boxes, and the action button
// that starts the chosen operation.
class OperationPanel final {
public:
    // The main window's panel widgets, its folder list and the window itself (the chooser works
    // for it).
    struct Widgets {
        QWidget &window;
        QCheckBox &Check1;
        QLineEdit &Text2;
        QLabel &Label2;
        QLineEdit &Text3;
        QCheckBox &Check3;
        QLineEdit &Text5;
        FolderListBox &Dir1;
    };

    OperationPanel(Widgets widgets, RenameMove &rename, MoveFiles &move);
    ~OperationPanel();

    void UpdateRenameFields();
    void UpdateMoveField();
    void Command3_Click();
    // The destination chooser, created on first use.
    MoveFileWindow &chooser();

private:
    Widgets m_ui;
    RenameMove &m_rename;
    MoveFiles &m_move;
    MoveFileWindow *m_chooser = nullptr;
};

} // namespace orvella
