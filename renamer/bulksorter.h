#pragma once

#include <memory>

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace orvella {

class DriveListBox;
class FileListBox;
class FolderListBox;
class ImageCell;
class NamePreview;
class RenameExecution;
class UndoJournal;
struct BrowserSettings;

// The renamer's own records; they start empty with every opening of the window.
struct BulkSorterState {
    int FileIndex = 0; // entry of File1 being worked on, the index of every loop over the list
    int CharIndex = 0; // position (from 1) of the dot the last extension starts at, 0 when none
    int FilesSelected = 0; // selected entries of File1, as last counted
    qint32 NameCounter = 0; // running number of the new names
    int Reply = 0; // answer of the last box of the preview, the rename command or the drive handler
    QString Extension; // extension of the entry at FileIndex, dot included
    int DeleteReply = 0; // answer of the delete question
};

// The window "File Renamer": renames the selected files of any folder to a prefix and a running
// number, with a preview of the new names, and deletes them. The main window is closed while it
// is open, and comes back, created afresh, when it closes.
class BulkSorter final : public QWidget {
    Q_OBJECT
public:
    // settings: the run's settings, whose delete setting the Delete command follows; journal: the
    // run's last file operation, which the renamer's own operations replace and Ctrl+Z takes back.
    BulkSorter(const BrowserSettings &settings, UndoJournal &journal, QWidget *parent = nullptr);
    ~BulkSorter() override;

    // Opening: the root of the system drive, every file of it, an empty prefix and preview.
    void Form_Load();
    void Form_Activate();
    // Closing: says so, and the main window comes back.
    void Form_Unload();

    // Navigation and selection.
    void Drive1_Change();
    void Dir1_Change();
    void File1_MouseUp();
    void Command1_Click();
    void Command2_Click();
    void CountSelectedFiles();
    void ClearFileSelection();

    // Preview, rename and delete.
    void Command3_Click();
    void ExtractExtension();
    void Command4_Click();
    void Command5_Click();

    const BrowserSettings &settings() const { return m_settings; }
    UndoJournal &journal() const { return m_journal; }
    BulkSorterState state;

    // Widgets of the layout.
    DriveListBox *Drive1 = nullptr;
    FolderListBox *Dir1 = nullptr;
    FileListBox *File1 = nullptr;
    QToolButton *Command1 = nullptr;
    QToolButton *Command2 = nullptr;
    QToolButton *Command5 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text3 = nullptr;
    QListWidget *List1 = nullptr;
    QToolButton *Command3 = nullptr;
    QToolButton *Command4 = nullptr;
    ImageCell *Image1 = nullptr;

signals:
    // The window has closed.
    void closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    // A folder could not be shown: says why and goes back to the folder shown before.
    void keepShownFolder(const QString &reason);

    const BrowserSettings &m_settings;
    UndoJournal &m_journal;
    std::unique_ptr<NamePreview> m_preview;
    std::unique_ptr<RenameExecution> m_execution;
    // The folder File1 lists and the working folder follows; kept when another cannot be shown.
    QString m_shownFolder;
};

} // namespace orvella
