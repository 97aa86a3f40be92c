#pragma once

#include "app/mainstate.h"
#include "platform/result.h"

#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QFrame;
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
class ImageCell;
class MoveFileWindow;
class MoveFiles;
class OperationPanel;
class PictureBox;
class PictureViewer;
class RenameMove;
class OrvellaApp;
class SelectionModel;
class ThumbnailGrid;
class ThumbnailLoader;
class Toolbar;
class WebPane;
struct BrowserSettings;

// The main window "Orvella": browses a folder as a thumbnail grid and applies file operations to
// the selected pictures. Its widgets keep the names of its layout; its subsystems are classes of
// their own working on the window's widgets and records.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(OrvellaApp &app, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence. False when another copy runs and the program must end.
    bool Form_Load();
    bool DownloadFile(const QString &url, const QString &localFilename);

    // Settings, public properties of the window.
    QString ImageFormat() const;
    void setImageFormat(const QString &v);
    bool AutoThumbnails() const;
    void setAutoThumbnails(bool v);
    bool PictureSize() const;
    void setPictureSize(bool v);
    bool DeleteRecycle() const;
    void setDeleteRecycle(bool v);
    BrowserSettings &settings();

    // Browsing.
    void Dir1_Change();
    void Drive1_Change();
    OpResult LoadThumbnails();
    void ButtonLoadThumbs_Click();
    void ShowThumbnailPage();
    void PageDown_Click();
    void PageUp_Click();
    void ScrollUp_Click(int index);
    void scrolldown_Click();

    // Selection.
    void ToggleSelection();
    void SelectAllFiles();
    void ClearSelection();
    void Image1_Click(int index);
    void Text1_Click(int index);
    void Image1_MouseMove(int index);
    void Text1_MouseMove(int index);

    // The enlarged view of a double-clicked thumbnail.
    void Image1_DblClick(int index);
    void Picture2_Click();

    // Commands.
    void Toolbar1_ButtonClick(const QString &key);
    // Shows the batch renamer and closes this window, which is discarded.
    void OpenFileRenamer();
    void UpdateRenameFields();
    void UpdateMoveField();
    void Command3_Click();

    // File operations.
    void RenameSelectedFiles();
    void MoveSelectedFiles();
    OpResult RefreshAfterFileOperation();
    void DeleteSelectedFiles();
    // Sends one file to the trash; a refusal is shown.
    void DelToRecycBin(const QString &fileName);
    // The destination chooser "Move to new Folder", created on first use.
    MoveFileWindow &moveFileWindow();

    OrvellaApp &app() { return m_app; }
    MainState state;

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

    // The grid's cell size in device pixels: what a thumbnail must cover.
    QSize thumbnailCoverSize() const;

    // Whether a thumbnail load runs. Meanwhile the window answers the window system but starts
    // nothing: the handlers that change files, the list or the grid do nothing, and a close
    // request waits until the load has ended.
    bool loading() const;
    // Called by the loader when a load has ended.
    void loadEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildToolbar();
    void connectHandlers();

    OrvellaApp &m_app;
    std::unique_ptr<FolderBrowser> m_folders;
    std::unique_ptr<ThumbnailLoader> m_loader;
    std::unique_ptr<ThumbnailGrid> m_grid;
    std::unique_ptr<SelectionModel> m_selection;
    std::unique_ptr<Toolbar> m_toolbar;
    std::unique_ptr<OperationPanel> m_panel;
    std::unique_ptr<RenameMove> m_rename;
    std::unique_ptr<MoveFiles> m_move;
    std::unique_ptr<DeleteFiles> m_delete;
    std::unique_ptr<PictureViewer> m_viewer;
    bool m_closeAfterLoad = false;
};

} // namespace orvella
