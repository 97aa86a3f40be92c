#include "fileops/movefilewindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/fileservices.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"
#include "ui/artwork.h"
#include "ui/dialogservice.h"
#include "ui/drivelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/layout.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

namespace orvella {

MoveFileWindow::MoveFileWindow(MainWidgets main)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_main(main)
{
    setObjectName(QStringLiteral("MoveFileWindow"));
    setWindowTitle(QStringLiteral("Move to new Folder"));
    setWindowIcon(orvellaIcon());
    setFont(layoutFont(QStringLiteral("Arial")));
    setFixedSize(twips(4770), twips(4935));

    NewFolder = place(new QGroupBox(QStringLiteral("Create new Folder"), this), QStringLiteral("NewFolder"),
        twipsRect(120, 0, 4575, 735));
    Text4 = place(new QLineEdit(NewFolder), QStringLiteral("Text4"), tr("Name of the new folder"),
        twipsRect(240, 240, 3555, 315));
    MakeDir = place(new QPushButton(QStringLiteral("OK"), NewFolder), QStringLiteral("MakeDir"),
        tr("Create the folder"), twipsRect(4080, 240, 480, 375));

    Drive2 = place(new DriveListBox(this), QStringLiteral("Drive2"), tr("Drive"), twipsRect(120, 1440, 4575, 315));
    Dir2 = place(new FolderListBox(this), QStringLiteral("Dir2"), tr("Destination folder list"),
        twipsRect(120, 1920, 4560, 1890));
    Text5 = place(
        new QLineEdit(this), QStringLiteral("Text5"), tr("Chosen destination"), twipsRect(120, 3960, 4575, 330));
    Text5->setEnabled(false);
    MoveFolderOK = place(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("MoveFolderOK"), tr("Move there"),
        twipsRect(120, 4440, 1815, 375));
    Command1 = place(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command1"), tr("Cancel"),
        twipsRect(3000, 4440, 1695, 375));

    connect(Dir2, &FolderListBox::Change, this, &MoveFileWindow::Dir2_Change);
    connect(Dir2, &FolderListBox::openFailed, this,
        [](const QString &, const QString &reason) { dialogs().messageBox(reason, MsgExclamation); });
    connect(Drive2, &DriveListBox::Change, this, &MoveFileWindow::Drive2_Change);
    connect(MakeDir, &QPushButton::clicked, this, &MoveFileWindow::MakeDir_Click);
    // Return in the name box creates the folder and in the folder list opens the entry; elsewhere
    // it is OK. Escape is the close box.
    connect(Text4, &QLineEdit::returnPressed, MakeDir, &QPushButton::click);
    keepReturnKey(*Text4);
    addDialogKeys(*this, MoveFolderOK);
    connect(MoveFolderOK, &QPushButton::clicked, this, &MoveFileWindow::MoveFolderOK_Click);
    connect(Command1, &QPushButton::clicked, this, &MoveFileWindow::Command1_Click);
}

void MoveFileWindow::open()
{
    if (!isVisible()) {
        // A closed chooser keeps nothing: it starts again from the working folder.
        const QString here = workingFolder();
        Drive2->includeVolumeOf(here);
        Drive2->showVolumeOf(here);
        Dir2->setPath(here);
        Text4->clear();
        // Return at once takes the folder shown, rather than making a folder without a name.
        MoveFolderOK->setFocus();
        Form_Load();
    }
    showForOwner(*this, &m_main.window);
}

void MoveFileWindow::Form_Load()
{
    m_main.window.setEnabled(false);
    Text5->setText(Dir2->Path());
}

void MoveFileWindow::Dir2_Change()
{
    Text5->setText(Dir2->Path());
}

void MoveFileWindow::Drive2_Change()
{
    // Picking a drive opens its root, as the main window's drive list does.
    if (!Dir2->setPath(Drive2->driveRoot()))
        showDriveNotFound();
}

void MoveFileWindow::MakeDir_Click()
{
    const QString name = Text4->text();
    // A bare name goes inside the folder shown; a full path is used as it is.
    const QString target = QDir::isAbsolutePath(QDir::fromNativeSeparators(name)) ? name : joinPath(Dir2->Path(), name);
    if (!setWorkingFolder(Dir2->Path()) || name.isEmpty() || !makeFolder(target)) {
        dialogs().messageBox(
            QStringLiteral("Folder may already Exist"), MsgCritical, QStringLiteral("Can not create folder"));
        return;
    }
    Dir2->Refresh();
    m_main.Dir1.Refresh();
}

void MoveFileWindow::MoveFolderOK_Click()
{
    m_main.Text5.setText(Text5->text());
    close();
    m_main.window.setEnabled(true);
    m_main.window.show();
    m_main.window.raise();
    m_main.window.activateWindow();
}

void MoveFileWindow::Command1_Click()
{
    Text5->setText(QString());
    m_main.Check3.setCheckState(Qt::Unchecked);
    m_main.window.setEnabled(true);
    close();
}

void MoveFileWindow::closeEvent(QCloseEvent *event)
{
    m_main.window.setEnabled(true);
    event->accept();
}

} // namespace orvella
