// The renamer window: opening on the system root, layout, navigation, selection, the picture
// preview, and its coming and going with the main window.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "browse/gridwidgets.h"
#include "platform/filelisting.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"
#include "tests/renamersupport.h"
#include "ui/drivelistbox.h"
#include "ui/twips.h"

using namespace orvella;
using namespace orvella::test;

namespace {

QAction *toolbarAction(MainWindow &w, const QString &key)
{
    const QList<QAction *> actions = w.Toolbar1->actions();
    for (QAction *a : actions)
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestRenamer : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheSystemRoot();
    void layoutFollowsTheTable_data();
    void layoutFollowsTheTable();
    void folderChangeListsEveryFileAndClearsTheSelection();
    void selectAllAndNone();
    void clickPreviewsThePicture();
    void driveChange();
    void driveThatCannotBeFound();
    void folderThatCannotBeOpenedIsReported();
    void folderThatCannotBeShownKeepsThePrevious();
    void reNamerReplacesTheMainWindow();
    void leavingAndReenteringResetsTheSettings();
};

void TestRenamer::opensOnTheSystemRoot()
{
    TestEnv env;
    BulkSorter &r = env.app().showFileRenamer();
    QCOMPARE(env.app().fileRenamer(), &r);
    QVERIFY(!env.app().mainWindow());
    QCOMPARE(r.windowTitle(), QStringLiteral("File Renamer"));
    QVERIFY(r.isVisible());
    const QString root = nativeFolder(systemDriveRoot());
    QCOMPARE(root, QStringLiteral("/"));
    QCOMPARE(r.Drive1->driveRoot(), root);
    QCOMPARE(r.Dir1->Path(), root);
    QCOMPARE(r.File1->Path(), root);
    QCOMPARE(workingFolder(), root);
    // Every file of the root is listed, whatever its kind.
    QCOMPARE(entriesOf(*r.File1), listFiles(root, QStringLiteral("*")).names);
    QCOMPARE(r.File1->Pattern(), QStringLiteral("*"));
    QCOMPARE(r.Text2->text(), QString());
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
    QCOMPARE(r.List1->count(), 0);
    QCOMPARE(r.state.FilesSelected, 0);
    QVERIFY(env.boxes().shown().isEmpty());
    // Showing it again while it is open reuses the same window.
    QCOMPARE(&env.app().showFileRenamer(), &r);
    // Becoming the active window gives the prefix the focus.
    r.Text3->setFocus();
    r.Form_Activate();
    QCOMPARE(r.focusWidget(), r.Text2);
}

void TestRenamer::layoutFollowsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipsGeometry");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Drive1") << "Drive1" << QRect(120, 120, 2895, 330) << "Select Drive or Device"
                            << "";
    QTest::newRow("Dir1") << "Dir1" << QRect(120, 600, 2895, 2010) << "Select Folder"
                          << "";
    QTest::newRow("File1") << "File1" << QRect(120, 2760, 2895, 1770) << "Select files"
                           << "";
    QTest::newRow("Command1") << "Command1" << QRect(120, 4800, 615, 615) << "Select All"
                              << "";
    QTest::newRow("Command2") << "Command2" << QRect(720, 4800, 615, 615) << "Select None"
                              << "";
    QTest::newRow("Command5") << "Command5" << QRect(2400, 4800, 615, 615) << "Delete"
                              << "";
    QTest::newRow("Label4") << "Label4" << QRect(3360, 120, 1695, 270) << ""
                            << "File Prefix";
    QTest::newRow("Text2") << "Text2" << QRect(3360, 360, 1695, 285) << "Enter title for files!"
                           << "";
    QTest::newRow("Label5") << "Label5" << QRect(5280, 120, 555, 270) << ""
                            << "Count";
    QTest::newRow("Text3") << "Text3" << QRect(5280, 360, 555, 285) << ""
                           << "";
    QTest::newRow("List1") << "List1" << QRect(3360, 720, 2475, 1320) << ""
                           << "";
    QTest::newRow("Command3") << "Command3" << QRect(3360, 2280, 975, 855) << "Preview"
                              << "Preview";
    QTest::newRow("Command4") << "Command4" << QRect(4860, 2280, 975, 855) << "Rename"
                              << "Rename";
    QTest::newRow("Image1") << "Image1" << QRect(3720, 3480, 1800, 1680) << ""
                            << "";
}

void TestRenamer::layoutFollowsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipsGeometry);
    QFETCH(QString, toolTip);
    QFETCH(QString, caption);
    TestEnv env;
    BulkSorter &r = env.app().showFileRenamer();
    QCOMPARE(r.size(), QSize(twips(5970), twips(5460)));
    QCOMPARE(r.minimumSize(), r.maximumSize());
    QVERIFY(!(r.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(r.windowFlags() & Qt::WindowMinimizeButtonHint));
    auto *widget = r.findChild<QWidget *>(name);
    QVERIFY(widget);
    QVERIFY(!widget->accessibleName().isEmpty());
    QCOMPARE(widget->geometry(),
        twipsRect(twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    QCOMPARE(widget->toolTip(), toolTip);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QToolButton *>(widget)) {
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->iconSize(), QSize(32, 32));
        QVERIFY(!button->icon().isNull());
    }
    // Before any click the preview shows the placeholder picture.
    QVERIFY(r.Image1->hasPicture());
}

void TestRenamer::folderChangeListsEveryFileAndClearsTheSelection()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("mixed"));
    writeNamedFiles(dir, {"b.JPG", "a.jpg", "notes", "letter.txt", ".hidden"});
    env.makeFolder(QStringLiteral("mixed/sub"));
    BulkSorter &r = renamerOn(env, dir);
    QCOMPARE(r.File1->Path(), nativeFolder(dir));
    QCOMPARE(workingFolder(), nativeFolder(dir));
    // Every file but the hidden one, in name order without regard to case; no folders.
    QCOMPARE(entriesOf(*r.File1), QStringList({"a.jpg", "b.JPG", "letter.txt", "notes"}));
    r.Command1_Click();
    QCOMPARE(r.state.FilesSelected, 4);
    // Another folder starts with nothing selected.
    QVERIFY(r.Dir1->setPath(dir + QStringLiteral("/sub")).ok);
    QCOMPARE(r.File1->ListCount(), 0);
    QCOMPARE(r.state.FilesSelected, 0);
    QVERIFY(r.Dir1->setPath(dir).ok);
    QCOMPARE(r.state.FilesSelected, 0);
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::selectAllAndNone()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("files"));
    writeNamedFiles(dir, {"a.jpg", "b.jpg", "c.txt"});
    const QString empty = env.makeFolder(QStringLiteral("empty"));
    BulkSorter &r = renamerOn(env, dir);
    r.File1->setSelected(1, true);
    r.Text3->setFocus();
    r.Command1->click();
    QCOMPARE(selectedOf(*r.File1), QStringList({"a.jpg", "b.jpg", "c.txt"}));
    QCOMPARE(r.state.FilesSelected, 3);
    QCOMPARE(r.focusWidget(), r.Text2);
    r.Text3->setFocus();
    r.Command2->click();
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QCOMPARE(r.state.FilesSelected, 0);
    QCOMPARE(r.focusWidget(), r.Text2);
    // In a folder without files there is nothing to select.
    QVERIFY(r.Dir1->setPath(empty).ok);
    r.Command1_Click();
    QCOMPARE(r.state.FilesSelected, 0);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::clickPreviewsThePicture()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("pictures"));
    writePicture(dir + QStringLiteral("/a.jpg"), 5, QSize(200, 150));
    writeFile(dir + QStringLiteral("/b.txt"), "no picture");
    writePicture(dir + QStringLiteral("/c.jpg"), 11, QSize(80, 200));
    BulkSorter &r = renamerOn(env, dir);
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    auto click = [&](int row) {
        QTest::mouseClick(
            r.File1->viewport(), Qt::LeftButton, {}, r.File1->visualItemRect(r.File1->item(row)).center());
    };
    click(0);
    QVERIFY(r.File1->Selected(0));
    QCOMPARE(pictureNumber(r.Image1->picture()), 5);
    QCOMPARE(r.state.FilesSelected, 1);
    QCOMPARE(r.focusWidget(), r.Text2);
    // A file that is no picture keeps the last preview, and is still counted.
    click(1);
    QCOMPARE(pictureNumber(r.Image1->picture()), 5);
    QCOMPARE(r.state.FilesSelected, 2);
    click(2);
    QCOMPARE(pictureNumber(r.Image1->picture()), 11);
    QCOMPARE(r.state.FilesSelected, 3);
    // Deselecting an entry still previews it.
    click(0);
    QVERIFY(!r.File1->Selected(0));
    QCOMPARE(pictureNumber(r.Image1->picture()), 5);
    QCOMPARE(r.state.FilesSelected, 2);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::driveChange()
{
    TestEnv env;
    const QString here = env.makeFolder(QStringLiteral("here"));
    writeNamedFiles(here, {"h.jpg"});
    const QString stick = env.makeFolder(QStringLiteral("stick"));
    writeNamedFiles(stick, {"s1.jpg", "s2.jpg"});
    BulkSorter &r = renamerOn(env, here);
    r.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")}});
    r.Drive1->setCurrentIndex(1);
    emit r.Drive1->activated(1);
    QCOMPARE(r.Dir1->Path(), nativeFolder(stick));
    QCOMPARE(r.File1->Path(), nativeFolder(stick));
    QCOMPARE(entriesOf(*r.File1), QStringList({"s1.jpg", "s2.jpg"}));
    QCOMPARE(workingFolder(), nativeFolder(stick));
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::driveThatCannotBeFound()
{
    TestEnv env;
    const QString here = env.makeFolder(QStringLiteral("here"));
    writeNamedFiles(here, {"a.jpg", "b.jpg"});
    const QString gone = env.makeFolder(QStringLiteral("unplugged"));
    BulkSorter &r = renamerOn(env, here);
    r.File1->setSelected(1, true);
    QVERIFY(QDir(gone).removeRecursively());
    r.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(gone), QStringLiteral("CARD")}});
    r.Drive1->setCurrentIndex(1);
    emit r.Drive1->activated(1);
    QCOMPARE(env.boxes().shown().size(), 1);
    QCOMPARE(env.boxes().shown()[0].text, QStringLiteral("Drive can not be found."));
    QCOMPARE(env.boxes().shown()[0].style, 16);
    QCOMPARE(env.boxes().shown()[0].title, QStringLiteral("Dude-Dazivor"));
    QCOMPARE(r.state.Reply, int(AnswerOk));
    // The drive list shows the chosen drive; folder, files and selection stay.
    QCOMPARE(r.Drive1->currentIndex(), 1);
    QCOMPARE(r.Dir1->Path(), nativeFolder(here));
    QCOMPARE(r.File1->Path(), nativeFolder(here));
    QCOMPARE(selectedOf(*r.File1), QStringList({"b.jpg"}));
    QCOMPARE(workingFolder(), nativeFolder(here));
    // The window stays usable.
    r.Command1_Click();
    QCOMPARE(r.state.FilesSelected, 2);
}

void TestRenamer::folderThatCannotBeOpenedIsReported()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("parent"));
    writeNamedFiles(dir, {"a.jpg"});
    const QString child = env.makeFolder(QStringLiteral("parent/vanishing"));
    BulkSorter &r = renamerOn(env, dir);
    QVERIFY(QDir(child).removeRecursively());
    int row = -1;
    for (int i = 0; i < r.Dir1->count(); ++i)
        if (r.Dir1->entryPath(i) == nativeFolder(child))
            row = i;
    QVERIFY(row >= 0);
    emit r.Dir1->itemDoubleClicked(r.Dir1->item(row));
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.contains(QStringLiteral("vanishing")));
    QCOMPARE(env.boxes().shown()[0].style, 48);
    QCOMPARE(env.boxes().shown()[0].title, QStringLiteral("Dunmere"));
    QCOMPARE(r.Dir1->Path(), nativeFolder(dir));
    QCOMPARE(entriesOf(*r.File1), QStringList({"a.jpg"}));
}

void TestRenamer::folderThatCannotBeShownKeepsThePrevious()
{
    TestEnv env;
    const QString shown = env.makeFolder(QStringLiteral("shown"));
    writeNamedFiles(shown, {"a.jpg", "b.jpg"});
    const QString next = env.makeFolder(QStringLiteral("next"));
    writeNamedFiles(next, {"n.jpg"});
    BulkSorter &r = renamerOn(env, shown);
    r.File1->setSelected(0, true);
    {
        // The folder list moves on, and the folder goes away before its files are read.
        const QSignalBlocker block(r.Dir1);
        QVERIFY(r.Dir1->setPath(next).ok);
    }
    QVERIFY(QDir(next).removeRecursively());
    r.Dir1_Change();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.contains(QStringLiteral("next")));
    QCOMPARE(env.boxes().shown()[0].style, 48);
    QCOMPARE(env.boxes().shown()[0].title, QStringLiteral("Dunmere"));
    // Everything is back on the folder shown before, its selection included.
    QCOMPARE(r.Dir1->Path(), nativeFolder(shown));
    QCOMPARE(r.File1->Path(), nativeFolder(shown));
    QCOMPARE(selectedOf(*r.File1), QStringList({"a.jpg"}));
    QCOMPARE(workingFolder(), nativeFolder(shown));
    QCOMPARE(r.state.FilesSelected, 1);
}

void TestRenamer::reNamerReplacesTheMainWindow()
{
    TestEnv env;
    QVERIFY(env.start());
    // The program must never find itself without a window on the way.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QPointer<MainWindow> first = &env.w();
    QAction *renamer = toolbarAction(env.w(), QStringLiteral("FileRenamer"));
    QVERIFY(renamer);
    // The button's handler runs inside the window it closes.
    renamer->trigger();
    QVERIFY(!env.app().mainWindow());
    BulkSorter *r = env.app().fileRenamer();
    QVERIFY(r);
    QVERIFY(r->isVisible());
    QVERIFY(first);
    QVERIFY(first->isHidden());
    runDeferredDeletes();
    QVERIFY(!first);
    QCOMPARE(r->Dir1->Path(), nativeFolder(systemDriveRoot()));

    // Closing the renamer brings a new main window; the renamer goes.
    QPointer<BulkSorter> closing = r;
    QVERIFY(r->close());
    QVERIFY(env.app().mainWindow());
    QVERIFY(env.w().isVisible());
    QVERIFY(!env.app().fileRenamer());
    runDeferredDeletes();
    QVERIFY(!closing);
    QTest::qWait(20);
    QCOMPARE(lastClosed.count(), 0);
    // The new main window starts on the root of the working folder's drive.
    QCOMPARE(env.w().Dir1->Path(), env.w().Drive1->driveRoot());
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::leavingAndReenteringResetsTheSettings()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("dir"));
    writeNamedFiles(dir, {"a.jpg"});
    QVERIFY(env.start());
    env.app().settings.AutoThumbnails = false;
    env.app().settings.DeleteRecycle = false;
    env.app().settings.PictureSize = false;
    env.app().settings.ImageFormat = QStringLiteral("*.gif");
    env.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("FileRenamer"));
    runDeferredDeletes();
    // While the renamer is open the settings keep what the main window had.
    const BrowserSettings &s = env.app().settings;
    QVERIFY(!s.DeleteRecycle);
    QVERIFY(!s.AutoThumbnails);
    QVERIFY(!s.PictureSize);
    QCOMPARE(s.ImageFormat, QStringLiteral("*.gif"));
    BulkSorter *r = env.app().fileRenamer();
    QVERIFY(r);
    QVERIFY(r->Dir1->setPath(dir).ok);
    r->Text2->setText(QStringLiteral("Holiday"));
    r->Text3->setText(QStringLiteral(" 4"));
    r->List1->addItem(QStringLiteral("Holiday 001.jpg"));
    r->close();
    runDeferredDeletes();
    MainWindow &back = env.w();
    QVERIFY(env.app().settings.AutoThumbnails);
    QVERIFY(env.app().settings.DeleteRecycle);
    QVERIFY(env.app().settings.PictureSize);
    QCOMPARE(env.app().settings.ImageFormat, BrowserSettings::defaultImageFormat());
    QCOMPARE(back.File1->Pattern(), BrowserSettings::defaultImageFormat());
    QVERIFY(back.ButtonLoadThumbs->isHidden());

    // Entering again opens a renamer as new, on the system root.
    env.app().settings.DeleteRecycle = false;
    back.toolbar().Toolbar1_ButtonClick(QStringLiteral("FileRenamer"));
    runDeferredDeletes();
    r = env.app().fileRenamer();
    QVERIFY(r);
    QCOMPARE(r->Text2->text(), QString());
    QCOMPARE(r->Text3->text(), QStringLiteral("1"));
    QCOMPARE(r->List1->count(), 0);
    QCOMPARE(r->Dir1->Path(), nativeFolder(systemDriveRoot()));
    QVERIFY(!env.app().settings.DeleteRecycle);
    r->close();
    runDeferredDeletes();
    QVERIFY(env.app().settings.DeleteRecycle);
    QVERIFY(env.boxes().shown().isEmpty());
}

QTEST_MAIN(TestRenamer)
#include "tst_renamer.moc"
