#pragma once

#include <memory>

#include <QComboBox>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "app/toolbar.h"
#include "browse/folderbrowser.h"
#include "browse/thumbnailgrid.h"
#include "browse/thumbnailloader.h"
#include "dialogs/pictureviewer.h"
#include "fileops/deletefiles.h"
#include "fileops/movefiles.h"
#include "fileops/operationpanel.h"
#include "fileops/renamemove.h"
#include "platform/fileservicefaults.h"
#include "selection/gridselection.h"
#include "ui/dialogservice.h"

namespace orvella::test {

// Answers message boxes from a script and records every box shown: the person at the screen.
class ScriptedDialogService final : public DialogService {
public:
    struct Box {
        QString text;
        int style = 0;
        QString title;
    };

    // Answers given in order; once they run out every box is answered OK.
    void script(QList<int> answers) { m_answers = std::move(answers); }
    const QList<Box> &shown() const { return m_shown; }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

    int messageBox(const QString &text, int style, const QString &title = {}) override;

private:
    QList<int> m_answers;
    QList<Box> m_shown;
};

// Injects faults into the file services until the next call; an empty record turns them off.
void setFaultsForTesting(FileServiceFaults faults);

// Where the shared test pictures are.
QString picturesFolder();

// A test's world: its own temporary folders (home data, cache and trash included), scripted message
// boxes, and a program whose web addresses point at this machine.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString root() const { return m_root.path(); }
    // A new empty folder under the test's root.
    QString makeFolder(const QString &name);
    ScriptedDialogService &boxes() { return m_boxes; }

    // The program, created on first use.
    OrvellaApp &app();
    // Creates the main window and runs its start-up (false if it refused to start).
    bool start();
    MainWindow &w();
    // Opens folder in the main window's folder list, as a double-click would.
    void openFolder(const QString &folder);

    // No test starts a real browser: the program's browser launches are recorded here, and they
    // succeed unless setBrowserWorks(false).
    const QStringList &browserStarts() const { return m_browserStarts; }
    void setBrowserWorks(bool works) { m_browserWorks = works; }

private:
    QTemporaryDir m_root;
    ScriptedDialogService m_boxes;
    QStringList m_browserStarts;
    bool m_browserWorks = true;
    std::unique_ptr<OrvellaApp> m_app;
};

// Waits until the main window's thumbnails are made.
void waitForThumbnails(MainWindow &w);

// Writes a JPEG of the given size whose colour encodes n, so a thumbnail can be traced back to
// its file.
void writePicture(const QString &path, int n, QSize size = QSize(64, 48), const char *format = "JPG");
// The n a picture was written with (read from its centre), or -1.
int pictureNumber(const QImage &image);
// Writes count pictures named prefix + three-digit index + ext into folder.
QStringList writePictures(const QString &folder, int count, const QString &prefix = QStringLiteral("pic"),
    const QString &ext = QStringLiteral(".jpg"));
void writeFile(const QString &path, const QByteArray &content = "x");
// Copies a shared test picture into folder.
QString copyPicture(const QString &name, const QString &folder);
// The freedesktop trash of the test's home.
QString trashFolder();
QByteArray contentOf(const QString &path);
// Double-clicks widget as a mouse does (press, release, press, release at one place), through its
// window, so the toolkit makes the second press a double-click as it does for a real mouse.
void mouseDoubleClick(QWidget *widget, QPoint at = {});
// Picks entry row of a drop-down list as a user does: opens it, goes to the entry, presses Return.
void pickEntry(QComboBox &box, int row);
// Presses key as the keyboard does, into window once it is the active window: its focus widget and
// shortcuts take it.
void pressKey(QWidget &window, Qt::Key key);
// Presses the main window's toolbar button with key, as a click would.
void pressToolbar(MainWindow &w, const QString &key);
// The colour at a relative position of an image, as one of red, green, blue and white: 'R', 'G',
// 'B', 'W'.
char quadrant(const QImage &img, double x, double y);
// A writable folder on another file system (another mount) than here, or "" when there is none.
QString otherVolumeFolder(const QString &here);
// The names of the files in folder, sorted (hidden ones too).
QStringList filesIn(const QString &folder);
// Everything in folder, sorted: files, folders, hidden ones, links, broken ones too.
QStringList entriesIn(const QString &folder);

// Makes a named pipe at path, as another program would.
bool makeFifo(const QString &path);

// Runs the shell command cmd as the user uid (a child under setpriv, with that user's group only:
// the tests run as root, so 65534 is another user); its exit code, -1 when it did not end.
int runShell(const QString &cmd, int uid = 65534);

// A volume of the test's own, mounted for the test's life: a tmpfs whose top folder has mode 1777,
// as a volume several users share; or a camera card, an exFAT image through a loop device and
// exfat-fuse (no owners, no modes, no unnamed files). Its path is reachable by every user.
class TestVolume {
public:
    enum Kind { SharedTmpfs, ExFatCard };
    explicit TestVolume(Kind kind);
    ~TestVolume();
    // Empty once mounted; else why it could not be, for the test to fail with.
    const QString &error() const { return m_error; }
    QString path() const { return m_dir.filePath(QStringLiteral("mnt")); }

private:
    QTemporaryDir m_dir;
    QString m_loop, m_error;
};

} // namespace orvella::test
