#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace orvella {

class DriveListBox;
class FolderListBox;

// "Move to new Folder": picks the folder the pictures are moved to, and can create one first.
// While it is open the main window takes no input.
class MoveFileWindow final : public QWidget {
    Q_OBJECT
public:
    // What the chooser works on: the main window, which it disables while it is open, whose folder
    // list it refreshes when it makes a folder, whose "Move Pictures" it clears on Cancel and whose
    // destination box takes the folder chosen.
    struct MainWidgets {
        QWidget &window;
        FolderListBox &Dir1;
        QCheckBox &Check3;
        QLineEdit &Text5;
    };

    explicit MoveFileWindow(MainWidgets main);

    // Shows the chooser; when it was not open, it starts afresh on the working folder.
    void open();

    void Form_Load();
    void Dir2_Change();
    void Drive2_Change();
    void MakeDir_Click();
    void MoveFolderOK_Click();
    void Command1_Click();

    QGroupBox *NewFolder = nullptr;
    QLineEdit *Text4 = nullptr;
    QPushButton *MakeDir = nullptr;
    DriveListBox *Drive2 = nullptr;
    FolderListBox *Dir2 = nullptr;
    QLineEdit *Text5 = nullptr;
    QPushButton *MoveFolderOK = nullptr;
    QPushButton *Command1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainWidgets m_main;
};

} // namespace orvella
