#include "app/mainwindow.h"

#include <utility>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QWindow>

#include "app/orvellaapp.h"
#include "app/toolbar.h"
#include "browse/folderbrowser.h"
#include "browse/gridwidgets.h"
#include "browse/thumbnailgrid.h"
#include "browse/thumbnailloader.h"
#include "dialogs/picturebox.h"
#include "dialogs/pictureviewer.h"
#include "fileops/deletefiles.h"
#include "fileops/movefiles.h"
#include "fileops/operationpanel.h"
#include "fileops/renamemove.h"
#include "fileops/undojournal.h"
#include "fileops/undoshortcut.h"
#include "platform/download.h"
#include "platform/workingfolder.h"
#include "selection/gridselection.h"
#include "settings/browsersettings.h"
#include "ui/artwork.h"
#include "ui/dialogservice.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/layout.h"
#include "ui/twips.h"
#include "ui/webpane.h"

namespace orvella {

namespace {

void setBackColor(QWidget *w, const QColor &back, const QColor &fore = QColor())
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Button, back);
    pal.setColor(QPalette::Window, back);
    if (fore.isValid()) {
        pal.setColor(QPalette::Text, fore);
        pal.setColor(QPalette::WindowText, fore);
    }
    // A display-only box keeps its colours when disabled.
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        pal.setColor(QPalette::Disabled, role, back);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(OrvellaApp &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("Orvella"));
    setWindowTitle(QStringLiteral("Orvella"));
    setWindowIcon(orvellaIcon());
    setFont(layoutFont(QStringLiteral("Arial")));
    setFixedSize(twips(11685), twips(8205));
    buildLayout();
    createSubsystems();
    connectHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout()
{
    const QFont comic = layoutFont(QStringLiteral("Comic Sans MS"));
    const QFont bold = layoutFont(QStringLiteral("Arial"), true);

    Toolbar1 = place(new QToolBar(this), QStringLiteral("Toolbar1"), tr("Toolbar"), twipsRect(0, 0, 11685, 780));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setMovable(false);

    WebBrowser1
        = place(new WebPane(this), QStringLiteral("WebBrowser1"), tr("Advertisement"), twipsRect(8160, 0, 3570, 960));

    Drive1 = place(new DriveListBox(this), QStringLiteral("Drive1"), tr("Drive"), twipsRect(120, 1080, 2415, 330));
    Drive1->setToolTip(QStringLiteral("Select Drive or Device"));
    Drive1->includeVolumeOf(workingFolder());
    Drive1->showVolumeOf(workingFolder());

    Dir1 = place(new FolderListBox(this), QStringLiteral("Dir1"), tr("Folder"), twipsRect(120, 1560, 2415, 1770));
    Dir1->setToolTip(QStringLiteral("Select Folder"));
    Dir1->setPath(workingFolder());

    File1 = place(new FileListBox(this), QStringLiteral("File1"), tr("Files"), twipsRect(120, 3480, 2415, 1350));
    File1->setToolTip(QStringLiteral("Select files"));
    setBackColor(File1, QColor(0xE0, 0xE0, 0xE0), QColor(0x00, 0x00, 0xC0));
    File1->setPath(workingFolder());

    ButtonLoadThumbs = place(new QPushButton(this), QStringLiteral("ButtonLoadThumbs"), tr("View Thumbnails"),
        twipsRect(120, 5040, 2415, 615));
    ButtonLoadThumbs->setToolTip(QStringLiteral("View Thumbnails"));
    ButtonLoadThumbs->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ButtonLoadThumbs->setIconSize(QSize(32, 32));
    ButtonLoadThumbs->hide();

    Picture1
        = place(new QLabel(this), QStringLiteral("Picture1"), tr("Orvella logo"), twipsRect(480, 5880, 1455, 1455));
    Picture1->setPixmap(orvellaLogo());
    Picture1->setAlignment(Qt::AlignCenter);

    Label7 = place(new QLabel(QStringLiteral("Sort your pictures"), this), QStringLiteral("Label7"), tr("Notice"),
        twipsRect(480, 7560, 1455, 255));
    Label7->setAlignment(Qt::AlignCenter);

    for (int k = 0; k < ThumbnailGrid::Cells; ++k) {
        const int row = k / ThumbnailGrid::Columns, column = k % ThumbnailGrid::Columns;
        auto *cell = place(new ImageCell(this), QStringLiteral("Image1_%1").arg(k), tr("Thumbnail %1").arg(k + 1),
            twipsRect(2640 + 960 * column, 1080 + 1200 * row, 975, 855));
        auto *caption = place(new CaptionBox(this), QStringLiteral("Text1_%1").arg(k), tr("Name %1").arg(k + 1),
            twipsRect(2640 + 960 * column, 1920 + 1200 * row, 975, 240));
        caption->setFont(comic);
        Image1.push_back(cell);
        Text1.push_back(caption);
    }

    // Created after the cells, so that it lies over them.
    Picture2 = place(
        new PictureBox(this), QStringLiteral("Picture2"), tr("Enlarged picture"), twipsRect(2640, 1080, 5775, 7095));
    Picture2->hide();
    picHidden
        = place(new PictureBox(this), QStringLiteral("picHidden"), tr("Picture measure"), twipsRect(7320, 0, 615, 375));
    picHidden->setAutoSize(true);
    picHidden->hide();

    auto pagingButton = [&](const QString &name, const QString &accessible, const QRect &r, QColor back,
                            QStyle::StandardPixmap arrow) {
        auto *b = place(new QPushButton(this), name, accessible, r);
        b->setFont(comic);
        b->setIcon(style()->standardIcon(arrow));
        b->setIconSize(QSize(12, 12));
        b->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #404080; }"
                                        "QPushButton:disabled { background-color: #d0d0e0; }")
                             .arg(back.name()));
        return b;
    };
    PageUp = pagingButton(QStringLiteral("PageUp"), tr("Page up"), twipsRect(8520, 1080, 255, 735),
        QColor(0x80, 0x80, 0xFF), QStyle::SP_ArrowUp);
    ScrollUp.push_back(pagingButton(QStringLiteral("ScrollUp_0"), tr("Row up"), twipsRect(8520, 1800, 255, 255),
        QColor(0xC0, 0xC0, 0xFF), QStyle::SP_ArrowUp));
    scrolldown = pagingButton(QStringLiteral("scrolldown"), tr("Row down"), twipsRect(8520, 7200, 255, 255),
        QColor(0xC0, 0xC0, 0xFF), QStyle::SP_ArrowDown);
    PageDown = pagingButton(QStringLiteral("PageDown"), tr("Page down"), twipsRect(8520, 7440, 255, 735),
        QColor(0x80, 0x80, 0xFF), QStyle::SP_ArrowDown);

    ProgressBar1 = place(
        new QProgressBar(this), QStringLiteral("ProgressBar1"), tr("Progress"), twipsRect(8880, 1080, 2655, 255));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto displayBox = [&](const QString &name, const QString &accessible, const QRect &r) {
        auto *t = place(new QLineEdit(this), name, accessible, r);
        t->setFont(bold);
        t->setEnabled(false);
        setBackColor(t, QColor(0xE0, 0xE0, 0xE0));
        // Display only, but meant to be read: black text, not the faint text of a disabled box.
        QPalette pal = t->palette();
        pal.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
        t->setPalette(pal);
        return t;
    };
    Text6 = displayBox(QStringLiteral("Text6"), tr("Name under the pointer"), twipsRect(8880, 1560, 2655, 330));
    Text4 = displayBox(QStringLiteral("Text4"), tr("Picture count"), twipsRect(8880, 2040, 2655, 315));

    Frame1 = place(new QGroupBox(QStringLiteral("Prefix Name"), this), QStringLiteral("Frame1"), tr("Prefix Name"),
        twipsRect(8880, 2760, 2655, 1695));
    Frame1->setFont(comic);
    Label2 = place(new QLabel(QStringLiteral("Count Start"), Frame1), QStringLiteral("Label2"), tr("Count Start"),
        twipsRect(1080, 1320, 975, 255));
    Label2->setFont(comic);
    Frame2 = place(new QGroupBox(QStringLiteral("Folders"), this), QStringLiteral("Frame2"), tr("Folders"),
        twipsRect(8880, 4680, 2655, 1215));
    Frame2->setFont(comic);

    // The panel's boxes belong to the window and are drawn over the frames.
    Check1 = place(new QCheckBox(QStringLiteral("Rename Pictures"), this), QStringLiteral("Check1"),
        tr("Rename Pictures"), twipsRect(9000, 3000, 2415, 375));
    Check1->setFont(comic);
    Text2 = place(new QLineEdit(this), QStringLiteral("Text2"), tr("Name prefix"), twipsRect(9000, 3480, 2415, 330));
    setBackColor(Text2, Qt::white);
    Text3 = place(new QLineEdit(this), QStringLiteral("Text3"), tr("Count start"), twipsRect(11040, 3960, 375, 330));
    Text3->setFont(comic);
    setBackColor(Text3, Qt::white);
    Check3 = place(new QCheckBox(QStringLiteral("Move Pictures"), this), QStringLiteral("Check3"), tr("Move Pictures"),
        twipsRect(9000, 4920, 2415, 375));
    Check3->setFont(comic);
    Text5 = place(
        new QLineEdit(this), QStringLiteral("Text5"), tr("Destination folder"), twipsRect(9000, 5400, 2415, 330));
    Text5->setEnabled(false);
    setBackColor(Text5, Qt::white, Qt::black);

    Command3
        = place(new QPushButton(this), QStringLiteral("Command3"), tr("Carry out"), twipsRect(8880, 7440, 2655, 690));
    Command3->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    Command3->setIconSize(QSize(32, 32));
    Command3->setToolTip(tr("Rename or move the selected pictures as ticked above"));
}

void MainWindow::createSubsystems()
{
    BrowserSettings &settings = m_app.settings;
    m_grid = std::make_unique<ThumbnailGrid>(
        ThumbnailGrid::Widgets {Image1, Text1, *File1}, m_pictures, m_marks, m_position);
    m_loader = std::make_unique<ThumbnailLoader>(
        ThumbnailLoader::Widgets {*File1, *ProgressBar1, *Text4, *PageDown, *scrolldown}, m_pictures, m_position,
        m_app.thumbnails, settings, *m_grid, [this] { return thumbnailCoverSize(); });
    m_selection
        = std::make_unique<GridSelection>(GridSelection::Widgets {*File1, Image1, Text1, *Text6}, m_marks, m_position);
    m_folders = std::make_unique<FolderBrowser>(
        FolderBrowser::Widgets {*Drive1, *Dir1, *File1}, m_position, m_marks, settings, *m_loader, *m_grid);
    m_rename = std::make_unique<RenameMove>(
        RenameMove::Widgets {*Check3, *Text2, *Text3, *Text5, *File1}, m_marks, *m_selection, *m_folders, m_app.undo);
    m_move = std::make_unique<MoveFiles>(MoveFiles::Widgets {*File1, *Text5}, *m_selection, *m_folders, m_app.undo);
    m_delete = std::make_unique<DeleteFiles>(*File1, settings, *m_selection, *m_folders, m_app.undo);
    m_panel = std::make_unique<OperationPanel>(
        OperationPanel::Widgets {*this, *Check1, *Text2, *Label2, *Text3, *Check3, *Text5, *Dir1}, *m_rename, *m_move);
    OrvellaApp &app = m_app;
    m_viewer = std::make_unique<PictureViewer>(PictureViewer::Widgets {*this, Image1, *Picture2, *picHidden}, settings,
        [&app]() -> BigPicture & { return app.bigPicture(); });
    m_toolbar = std::make_unique<Toolbar>(*this, m_app, *m_selection, *m_delete);
}

void MainWindow::connectHandlers()
{
    connect(Drive1, &DriveListBox::Change, this, [this] { m_folders->Drive1_Change(); });
    connect(Dir1, &FolderListBox::Change, this, [this] { m_folders->Dir1_Change(); });
    connect(Dir1, &FolderListBox::openFailed, m_folders.get(), &FolderBrowser::folderOpenFailed);
    connect(ButtonLoadThumbs, &QPushButton::clicked, this, [this] { m_loader->ButtonLoadThumbs_Click(); });
    connect(Picture2, &PictureBox::clicked, this, [this] { m_viewer->Picture2_Click(); });
    connect(PageDown, &QPushButton::clicked, this, [this] { m_grid->PageDown_Click(); });
    connect(PageUp, &QPushButton::clicked, this, [this] { m_grid->PageUp_Click(); });
    connect(ScrollUp[0], &QPushButton::clicked, this, [this] { m_grid->ScrollUp_Click(0); });
    connect(scrolldown, &QPushButton::clicked, this, [this] { m_grid->scrolldown_Click(); });
    for (int k = 0; k < ThumbnailGrid::Cells; ++k) {
        connect(Image1[size_t(k)], &ImageCell::clicked, this, [this, k] { m_selection->Image1_Click(k); });
        connect(Image1[size_t(k)], &ImageCell::mouseMoved, this, [this, k] { m_selection->Image1_MouseMove(k); });
        connect(Image1[size_t(k)], &ImageCell::doubleClicked, this, [this, k] { m_viewer->Image1_DblClick(k); });
        connect(Text1[size_t(k)], &CaptionBox::clicked, this, [this, k] { m_selection->Text1_Click(k); });
        connect(Text1[size_t(k)], &CaptionBox::mouseMoved, this, [this, k] { m_selection->Text1_MouseMove(k); });
        // The keyboard and Shift+clicks in the grid; the focused cell's name shows as the hovered one's.
        connect(Image1[size_t(k)], &ImageCell::shiftClicked, this, [this, k] { m_selection->Image1_ShiftClick(k); });
        connect(Text1[size_t(k)], &CaptionBox::shiftClicked, this, [this, k] { m_selection->Text1_ShiftClick(k); });
        connect(Image1[size_t(k)], &ImageCell::movementKey, this,
            [this, k](int key) { m_selection->Image1_MouseMove(m_grid->moveFocus(k, key)); });
        connect(Image1[size_t(k)], &ImageCell::focused, this, [this, k] { m_selection->Image1_MouseMove(k); });
        connect(Image1[size_t(k)], &ImageCell::escapePressed, this, [this] { m_viewer->Picture2_Click(); });
    }
    // A check box's handler runs on every change of its value, by the user or by the program.
    connect(Check1, &QCheckBox::stateChanged, this, [this] { m_panel->UpdateRenameFields(); });
    connect(Check3, &QCheckBox::stateChanged, this, [this] { m_panel->UpdateMoveField(); });
    connect(Command3, &QPushButton::clicked, this, [this] { m_panel->Command3_Click(); });
    new UndoShortcut(*this, m_app.undo, *Command3, [this] { undoLastOperation(); });
    m_toolbar->build(*Toolbar1, [this](const QString &key) { m_toolbar->Toolbar1_ButtonClick(key); });

    // The selection routine a folder change or a manual load starts with.
    auto clearSelection = [this] { m_selection->ClearSelection(); };
    connect(m_folders.get(), &FolderBrowser::selectionToBeCleared, this, clearSelection);
    connect(m_loader.get(), &ThumbnailLoader::selectionToBeCleared, this, clearSelection);
}

bool MainWindow::Form_Load()
{
    m_app.settings.setDefaults();
    if (m_app.guard.anotherInstanceRunning()) {
        dialogs().messageBox(QStringLiteral("Orvella is already running!"), MsgExclamation);
        return false;
    }
    m_folders->openDriveRoot();
    m_panel->UpdateRenameFields();
    m_panel->UpdateMoveField();
    File1->setPattern(m_app.settings.ImageFormat);
    m_position.NextToShow = 0;
    m_loader->LoadThumbnails();
    Text3->setText(QStringLiteral("1"));
    Text2->setText(QString());
    m_marks.SelectedCount = 0;
    DownloadFile(m_app.advertAddress, QString());
    if (DownloadFailed == 1)
        WebBrowser1->hide();
    else
        WebBrowser1->navigate(m_app.advertAddress);
    return true;
}

bool MainWindow::DownloadFile(const QString &url, const QString &localFilename)
{
    if (downloadToFile(url, localFilename) == 0)
        return true;
    DownloadFailed = 1;
    return false;
}

QSize MainWindow::thumbnailCoverSize() const
{
    const qreal dpr = windowHandle() ? windowHandle()->devicePixelRatio() : devicePixelRatioF();
    const QSize cell = Image1.empty() ? QSize(twips(975), twips(855)) : Image1.front()->size();
    return (QSizeF(cell) * dpr).toSize();
}

bool MainWindow::loading() const
{
    return m_loader->loading();
}

void MainWindow::undoLastOperation()
{
    if (!m_app.undo.undoLast())
        return;
    m_selection->ClearSelection();
    if (const OpResult refreshed = m_folders->RefreshAfterFileOperation(); !refreshed)
        dialogs().messageBox(refreshed.error, MsgOkOnly);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The thumbnails still to come are not waited for.
    m_loader->stopFill();
    QWidget::closeEvent(event);
}

void MainWindow::OpenFileRenamer()
{
    OrvellaApp &app = m_app;
    app.showFileRenamer();
    // This window goes once the running handler returns; nothing may touch it after this.
    app.closeMainWindow();
}

} // namespace orvella
