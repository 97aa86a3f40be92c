#include "fileops/movefilewindow.h"

#include "app/artwork.h"
#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowplacement.h"
#include "platform/dialogservice.h"
#include "platform/drivelist.h"
#include "platform/fileservices.h"
#include "platform/folderlistbox.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace orvella {

MoveFileWindow::MoveFileWindow(MainWindow &main)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_main(main)
{
    setObjectName(QStringLiteral("MoveFileWindow"));
    setWindowTitle(QStringLiteral("Move to new Folder"));
    setWindowIcon(orvellaIcon());
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(8.25);
    setFont(arial);
    setFixedSize(twips(4770), twips(4935));

    NewFolder = new QGroupBox(QStringLiteral("Create new Folder"), this);
    NewFolder->setObjectName(QStringLiteral("NewFolder"));
    NewFolder->setGeometry(twipsRect(120, 0, 4575, 735));
    Text4 = new QLineEdit(NewFolder);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setAccessibleName(tr("Name of the new folder"));
    Text4->setGeometry(twipsRect(240, 240, 3555, 315));
    MakeDir = new QPushButton(QStringLiteral("OK"), NewFolder);
    MakeDir->setObjectName(QStringLiteral("MakeDir"));
    MakeDir->setAccessibleName(tr("Create the folder"));
    MakeDir->setGeometry(twipsRect(4080, 240, 480, 375));

    Drive2 = new DriveListBox(this);
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Drive2->setAccessibleName(tr("Drive"));
    Drive2->setGeometry(twipsRect(120, 1440, 4575, 315));
    Dir2 = new FolderListBox(this);
    Dir2->setObjectName(QStringLiteral("Dir2"));
    Dir2->setAccessibleName(tr("Destination folder list"));
    Dir2->setGeometry(twipsRect(120, 1920, 4560, 1890));
    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setAccessibleName(tr("Chosen destination"));
    Text5->setGeometry(twipsRect(120, 3960, 4575, 330));
    Text5->setEnabled(false);
    MoveFolderOK = new QPushButton(QStringLiteral("OK"), this);
    MoveFolderOK->setObjectName(QStringLiteral("MoveFolderOK"));
    MoveFolderOK->setAccessibleName(tr("Move there"));
    MoveFolderOK->setGeometry(twipsRect(120, 4440, 1815, 375));
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(tr("Cancel"));
    Command1->setGeometry(twipsRect(3000, 4440, 1695, 375));

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
    showForOwner(*this, &m_main);
}

void MoveFileWindow::Form_Load()
{
    m_main.setEnabled(false);
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
        dialogs().messageBox(QStringLiteral("Drive can not be found."), MsgCritical, QStringLiteral("Dude-Dazivor"));
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
    m_main.Dir1->Refresh();
}

void MoveFileWindow::MoveFolderOK_Click()
{
    m_main.Text5->setText(Text5->text());
    close();
    m_main.setEnabled(true);
    m_main.show();
    m_main.raise();
    m_main.activateWindow();
}

void MoveFileWindow::Command1_Click()
{
    Text5->setText(QString());
    m_main.Check3->setCheckState(Qt::Unchecked);
    m_main.setEnabled(true);
    close();
}

void MoveFileWindow::closeEvent(QCloseEvent *event)
{
    m_main.setEnabled(true);
    event->accept();
}

} // namespace orvella
