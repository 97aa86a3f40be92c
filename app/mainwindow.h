#pragma once

#include <memory>
#include <vector>

#include <QWidget>

#include "browse/gridrecords.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolBar;

namespace orvella {

class CaptionBox;
class DeleteFiles;
class DriveListBox;
class FileListBox;
class FolderBrowser;
class FolderListBox;
class GridSelection;
class ImageCell;
class MoveFiles;
class OperationPanel;
class OrvellaApp;
class PictureBox;
class PictureViewer;
class RenameMove;
class ThumbnailGrid;
class ThumbnailLoader;
class Toolbar;
class WebPane;

// The main window "Orvella": browses a folder as a thumbnail grid and applies file operations to
// the selected pictures. It owns its widgets, which keep the names of its layout, and its records;
// it creates one class per subsystem with the widgets and records that subsystem works on, and
// connects each widget's signals straight to the subsystem's handler.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(OrvellaApp &app, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence. False when another copy runs and the program must end.
    bool Form_Load();
    bool DownloadFile(const QString &url, const QString &localFilename);
    // Shows the batch renamer and closes this window, which is discarded.
    void OpenFileRenamer();

    // The subsystems.
    FolderBrowser &folders() { return *m_folders; }
    ThumbnailLoader &loader() { return *m_loader; }
    ThumbnailGrid &grid() { return *m_grid; }
    GridSelection &selection() { return *m_selection; }
    Toolbar &toolbar() { return *m_toolbar; }
    OperationPanel &panel() { return *m_panel; }
    RenameMove &renameMove() { return *m_rename; }
    MoveFiles &moveFiles() { return *m_move; }
    DeleteFiles &deleteFiles() { return *m_delete; }
    PictureViewer &viewer() { return *m_viewer; }

    // The records, as the subsystems left them.
    const GridPosition &position() const { return m_position; }
    const PictureSlots &pictures() const { return m_pictures; }
    const SelectionMarks &marks() const { return m_marks; }
    // 1 when the start-up download failed (the web pane is then hidden).
    int downloadFailed() const { return DownloadFailed; }

    // The grid's cell size in device pixels: what a thumbnail must cover.
    QSize thumbnailCoverSize() const;
    // Whether thumbnails are still being made; the window answers the user all the while.
    bool loading() const;
    // Ctrl+Z: takes back the run's last file operation, then shows the folder anew.
    void undoLastOperation();

    // Widgets of the layout.
    QToolBar *Toolbar1 = nullptr;
    WebPane *WebBrowser1 = nullptr;
    DriveListBox *Drive1 = nullptr;
    FolderListBox *Dir1 = nullptr;
    FileListBox *File1 = nullptr;
    QPushButton *ButtonLoadThumbs = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Label7 = nullptr;
    std::vector<ImageCell *> Image1;
    std::vector<CaptionBox *> Text1;
    PictureBox *Picture2 = nullptr;
    PictureBox *picHidden = nullptr;
    QPushButton *PageUp = nullptr;
    std::vector<QPushButton *> ScrollUp;
    QPushButton *scrolldown = nullptr;
    QPushButton *PageDown = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QLineEdit *Text6 = nullptr;
    QLineEdit *Text4 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QCheckBox *Check3 = nullptr;
    QLineEdit *Text5 = nullptr;
    QPushButton *Command3 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void createSubsystems();
    void connectHandlers();

    OrvellaApp &m_app;
    GridPosition m_position;
    PictureSlots m_pictures;
    SelectionMarks m_marks;
    int DownloadFailed = 0;
    std::unique_ptr<ThumbnailGrid> m_grid;
    std::unique_ptr<ThumbnailLoader> m_loader;
    std::unique_ptr<GridSelection> m_selection;
    std::unique_ptr<FolderBrowser> m_folders;
    std::unique_ptr<RenameMove> m_rename;
    std::unique_ptr<MoveFiles> m_move;
    std::unique_ptr<DeleteFiles> m_delete;
    std::unique_ptr<OperationPanel> m_panel;
    std::unique_ptr<PictureViewer> m_viewer;
    std::unique_ptr<Toolbar> m_toolbar;
};

} // namespace orvella
