#include "renamer/bulksorter.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

#include "browse/gridwidgets.h"
#include "fileops/undoshortcut.h"
#include "platform/paths.h"
#include "platform/picturedecoder.h"
#include "platform/workingfolder.h"
#include "renamer/namepreview.h"
#include "renamer/renameexecution.h"
#include "ui/artwork.h"
#include "ui/dialogservice.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/layout.h"
#include "ui/twips.h"

namespace orvella {

namespace {

void setColors(QWidget *w, const QColor &back, const QColor &fore = QColor())
{
    QPalette pal = w->palette();
    if (back.isValid())
        pal.setColor(QPalette::Base, back);
    if (fore.isValid())
        pal.setColor(QPalette::Text, fore);
    w->setPalette(pal);
}

} // namespace

BulkSorter::BulkSorter(const BrowserSettings &settings, UndoJournal &journal, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_journal(journal)
    , m_preview(std::make_unique<NamePreview>(*this))
    , m_execution(std::make_unique<RenameExecution>(*this))
{
    setObjectName(QStringLiteral("BulkSorter"));
    setWindowTitle(QStringLiteral("File Renamer"));
    setWindowIcon(orvellaIcon());
    // A fixed border: no resizing, no maximise or minimise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(layoutFont(QStringLiteral("Arial")));
    setFixedSize(twips(5970), twips(5460));
    buildLayout();
    connectHandlers();
}

BulkSorter::~BulkSorter() = default;

void BulkSorter::buildLayout()
{
    const QColor darkBlue(0x00, 0x00, 0x80);

    Drive1 = place(new DriveListBox(this), QStringLiteral("Drive1"), tr("Drive"), twipsRect(120, 120, 2895, 330));
    Drive1->setToolTip(QStringLiteral("Select Drive or Device"));
    Drive1->showVolumeOf(workingFolder());

    Dir1 = place(new FolderListBox(this), QStringLiteral("Dir1"), tr("Folder"), twipsRect(120, 600, 2895, 2010));
    Dir1->setToolTip(QStringLiteral("Select Folder"));
    setColors(Dir1, QColor(), darkBlue);

    // No pattern is ever set: the list shows every file of the folder.
    File1 = place(new FileListBox(this), QStringLiteral("File1"), tr("Files"), twipsRect(120, 2760, 2895, 1770));
    File1->setToolTip(QStringLiteral("Select files"));
    setColors(File1, QColor(), darkBlue);

    auto pictureButton = [&](const QString &name, const QString &tip, const QRect &r, QStyle::StandardPixmap icon,
                             const QString &caption = QString()) {
        auto *b = place(new QToolButton(this), name, tip, r);
        b->setToolTip(tip);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(32, 32));
        if (!caption.isEmpty()) {
            b->setText(caption);
            b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        }
        return b;
    };
    Command1 = pictureButton(QStringLiteral("Command1"), QStringLiteral("Select All"), twipsRect(120, 4800, 615, 615),
        QStyle::SP_DialogApplyButton);
    Command2 = pictureButton(QStringLiteral("Command2"), QStringLiteral("Select None"), twipsRect(720, 4800, 615, 615),
        QStyle::SP_DialogResetButton);
    Command5 = pictureButton(
        QStringLiteral("Command5"), QStringLiteral("Delete"), twipsRect(2400, 4800, 615, 615), QStyle::SP_TrashIcon);

    Label4 = place(new QLabel(QStringLiteral("File Prefix"), this), QStringLiteral("Label4"), tr("File Prefix"),
        twipsRect(3360, 120, 1695, 270));
    Text2 = place(new QLineEdit(this), QStringLiteral("Text2"), tr("File prefix"), twipsRect(3360, 360, 1695, 285));
    Text2->setToolTip(QStringLiteral("Enter title for files!"));
    setColors(Text2, Qt::white);
    Label4->setBuddy(Text2);
    Label5 = place(new QLabel(QStringLiteral("Count"), this), QStringLiteral("Label5"), tr("Count"),
        twipsRect(5280, 120, 555, 270));
    Text3 = place(new QLineEdit(QStringLiteral("1"), this), QStringLiteral("Text3"), tr("Count start"),
        twipsRect(5280, 360, 555, 285));
    Label5->setBuddy(Text3);

    List1 = place(new QListWidget(this), QStringLiteral("List1"), tr("New names"), twipsRect(3360, 720, 2475, 1320));
    List1->setSelectionMode(QAbstractItemView::NoSelection);
    setColors(List1, QColor(0xE0, 0xE0, 0xE0));

    Command3 = pictureButton(QStringLiteral("Command3"), QStringLiteral("Preview"), twipsRect(3360, 2280, 975, 855),
        QStyle::SP_FileDialogContentsView, QStringLiteral("Preview"));
    Command4 = pictureButton(QStringLiteral("Command4"), QStringLiteral("Rename"), twipsRect(4860, 2280, 975, 855),
        QStyle::SP_DialogSaveButton, QStringLiteral("Rename"));

    Image1 = place(
        new ImageCell(this), QStringLiteral("Image1"), tr("Picture preview"), twipsRect(3720, 3480, 1800, 1680));
    Image1->setPicture(orvellaLogo().toImage());

    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command3);
    setTabOrder(Command3, Command4);
}

void BulkSorter::connectHandlers()
{
    connect(Drive1, &DriveListBox::Change, this, &BulkSorter::Drive1_Change);
    connect(Dir1, &FolderListBox::Change, this, &BulkSorter::Dir1_Change);
    connect(Dir1, &FolderListBox::openFailed, this, [](const QString &, const QString &reason) {
        // The list has not moved: the folder shown stays.
        dialogs().messageBox(reason, MsgExclamation, QStringLiteral("Dunmere"));
    });
    connect(File1, &FileListBox::mouseUp, this, &BulkSorter::File1_MouseUp);
    connect(Command1, &QToolButton::clicked, this, &BulkSorter::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &BulkSorter::Command2_Click);
    connect(Command3, &QToolButton::clicked, this, &BulkSorter::Command3_Click);
    connect(Command4, &QToolButton::clicked, this, &BulkSorter::Command4_Click);
    connect(Command5, &QToolButton::clicked, this, &BulkSorter::Command5_Click);
    new UndoShortcut(*this, m_journal, *Command4, [this] { m_execution->Undo(); });
}

void BulkSorter::Form_Load()
{
    const QString root = systemDriveRoot();
    // Choosing the drive runs its change handling, as a user's choice would.
    const int before = Drive1->currentIndex();
    Drive1->showVolumeOf(root);
    if (Drive1->currentIndex() != before)
        Drive1_Change();
    const OpResult opened = Dir1->setPath(root);
    if (!opened)
        dialogs().messageBox(opened.error, MsgExclamation, QStringLiteral("Dunmere"));
    if (File1->setPath(root))
        m_shownFolder = File1->Path();
    CountSelectedFiles();
    List1->clear();
    Text2->setText(QString());
}

void BulkSorter::Form_Activate()
{
    Text2->setFocus();
}

void BulkSorter::Form_Unload()
{
    emit closed();
}

bool BulkSorter::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void BulkSorter::closeEvent(QCloseEvent *event)
{
    // Closing is never refused.
    event->accept();
    Form_Unload();
}

void BulkSorter::Drive1_Change()
{
    const OpResult opened = Dir1->setPath(Drive1->driveRoot());
    // The list keeps showing the chosen drive; the folder and its files stay as they were.
    if (!opened)
        state.Reply = showDriveNotFound();
}

void BulkSorter::Dir1_Change()
{
    const QString folder = Dir1->Path();
    OpResult r = File1->setPath(folder);
    if (r) {
        Drive1->showVolumeOf(folder);
        // The picture preview and any bare file name resolve against the shown folder.
        r = setWorkingFolder(folder);
    }
    if (!r) {
        keepShownFolder(r.error);
        return;
    }
    m_shownFolder = File1->Path();
    CountSelectedFiles();
}

void BulkSorter::keepShownFolder(const QString &reason)
{
    dialogs().messageBox(reason, MsgExclamation, QStringLiteral("Dunmere"));
    if (!m_shownFolder.isEmpty()) {
        const QSignalBlocker block(Dir1);
        Dir1->setPath(m_shownFolder);
        // A list that failed to read the new folder still shows the old one, selection and all.
        if (File1->Path() != m_shownFolder)
            File1->setPath(m_shownFolder);
        Drive1->showVolumeOf(m_shownFolder);
        setWorkingFolder(m_shownFolder);
    }
    CountSelectedFiles();
}

void BulkSorter::File1_MouseUp()
{
    const QString name = File1->currentName();
    if (!name.isEmpty()) {
        const qreal dpr = windowHandle() ? windowHandle()->devicePixelRatio() : devicePixelRatioF();
        const QImage picture = decodePicture(joinPath(File1->Path(), name), (QSizeF(Image1->size()) * dpr).toSize());
        // A file that is no picture leaves the last preview in place.
        if (!picture.isNull())
            Image1->setPicture(picture);
    }
    CountSelectedFiles();
    Text2->setFocus();
}

void BulkSorter::Command1_Click()
{
    File1->setAllSelected(true);
    state.FileIndex = -1; // where a loop over the list from its end stops
    CountSelectedFiles();
    Text2->setFocus();
}

void BulkSorter::Command2_Click()
{
    ClearFileSelection();
}

void BulkSorter::ClearFileSelection()
{
    File1->setAllSelected(false);
    state.FileIndex = -1;
    CountSelectedFiles();
    Text2->setFocus();
}

void BulkSorter::CountSelectedFiles()
{
    state.FilesSelected = int(File1->selectedCount());
}

void BulkSorter::Command3_Click()
{
    m_preview->Command3_Click();
}

void BulkSorter::ExtractExtension()
{
    m_preview->ExtractExtension();
}

void BulkSorter::Command4_Click()
{
    m_execution->Command4_Click();
}

void BulkSorter::Command5_Click()
{
    m_execution->Command5_Click();
}

} // namespace orvella
