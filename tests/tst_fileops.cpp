// Renaming, moving and deleting the selected pictures from the main window, on real folders.
#include <cstdio>

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include "browse/gridwidgets.h"
#include "fileops/movefilewindow.h"
#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "platform/fileservices.h"
#include "platform/paths.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

const QString Confirm = QStringLiteral("Dunmere");

// A folder of the test with the worked example's pictures, open in the main window.
struct Folder {
    TestEnv env;
    QString dir;
    explicit Folder(
        const QStringList &names = {QStringLiteral("a.jpg"), QStringLiteral("b.JPG"), QStringLiteral("c.gif")})
    {
        dir = env.makeFolder(QStringLiteral("Pics"));
        int n = 0;
        for (const QString &name : names)
            writeFile(QDir(dir).filePath(name), "picture " + QByteArray::number(n++) + " " + name.toUtf8());
        if (!env.start())
            qFatal("no start");
        env.openFolder(dir);
    }
    MainWindow &w() { return env.w(); }
    void select(std::initializer_list<int> cells)
    {
        for (int c : cells)
            w().selection().Text1_Click(c);
    }
    void rename(const QString &prefix, const QString &start = QStringLiteral("1"))
    {
        w().Check1->setChecked(true);
        w().Text2->setText(prefix);
        w().Text3->setText(start);
        w().panel().Command3_Click();
    }
    // Ticks "Move Pictures" and picks folder in the chooser.
    void chooseDestination(const QString &folder)
    {
        w().Check3->setChecked(true);
        MoveFileWindow &chooser = w().panel().chooser();
        if (!chooser.Dir2->setPath(folder))
            qFatal("cannot open %s in the chooser", qPrintable(folder));
        chooser.MoveFolderOK_Click();
    }
    QStringList boxTexts() const
    {
        QStringList out;
        for (const auto &b : const_cast<TestEnv &>(env).boxes().shown())
            out.append(b.text);
        return out;
    }
};

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void panelShowsAndHidesItsFields();
    void actionButtonWithNothingTickedDoesNothing();
    void renameSeveral();
    void renameOne();
    void renameNoneSelected();
    void renameCancelled();
    void secondRunFailsOnTheFirstPicture();
    void failureInTheMiddleKeepsEarlierNames();
    void countStarts_data();
    void countStarts();
    void countStartsThatCannotNumberTheRun_data();
    void countStartsThatCannotNumberTheRun();
    void emptyPrefix();
    void refusedPrefixes_data();
    void refusedPrefixes();
    void longExtensionsAreKept();
    void listSelectionsWithOneGridSelection();
    void renameAndMove();
    void renameAndMoveIntoAMissingFolder();
    void moveWithANameClash();
    void moveIntoAFolderThatVanished();
    void moveNothingSelected();
    void moveWithoutDestinationIsRefused();
    void moveToAnotherFileSystem();
    void moveActsOnListSelections();
    void deleteToTrash();
    void deletePermanently();
    void deleteNothingSelectedReloads();
    void deleteThatFailsIsReported();
    void deleteCancelled();
};

void TestFileOps::panelShowsAndHidesItsFields()
{
    Folder f;
    MainWindow &w = f.w();
    w.Text2->setText(QStringLiteral("keep"));
    w.Check1->setChecked(true);
    QVERIFY(!w.Text2->isHidden());
    QVERIFY(!w.Label2->isHidden());
    QVERIFY(!w.Text3->isHidden());
    w.Check1->setChecked(false);
    QVERIFY(w.Text2->isHidden());
    QVERIFY(w.Label2->isHidden());
    QVERIFY(w.Text3->isHidden());
    QCOMPARE(w.Text2->text(), QStringLiteral("keep"));

    // Ticking "Move Pictures" opens the chooser and shows the destination box.
    w.Check3->setChecked(true);
    QVERIFY(w.panel().chooser().isVisible());
    QVERIFY(!w.Text5->isHidden());
    w.panel().chooser().MoveFolderOK_Click();
    const QString chosen = w.Text5->text();
    QCOMPARE(chosen, nativeFolder(f.dir));
    w.Check3->setChecked(false);
    QVERIFY(w.Text5->isHidden());
    QCOMPARE(w.Text5->text(), chosen);
    w.Check3->setChecked(true);
    QVERIFY(w.panel().chooser().isVisible());
    w.panel().chooser().close();
}

void TestFileOps::actionButtonWithNothingTickedDoesNothing()
{
    Folder f;
    f.select({0});
    f.w().panel().Command3_Click();
    QVERIFY(f.env.boxes().shown().isEmpty());
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
}

void TestFileOps::renameSeveral()
{
    Folder f;
    f.select({0, 1, 2});
    f.w().grid().PageDown_Click();
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(filesIn(f.dir), (QStringList {"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif"}));
    QCOMPARE(contentOf(QDir(f.dir).filePath(QStringLiteral("Holiday 002.JPG"))), QByteArray("picture 1 b.JPG"));
    const auto &boxes = f.env.boxes().shown();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Are you sure you want to RENAME these files ?"));
    QCOMPARE(boxes[0].style, 33);
    QCOMPARE(boxes[0].title, Confirm);
    MainWindow &w = f.w();
    QCOMPARE(w.Text3->text(), QStringLiteral("1"));
    QCOMPARE(w.marks().SelectedCount, 0);
    QVERIFY(!w.File1->Selected(0));
    QCOMPARE(w.position().PageStart, 0);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("Holiday 001.jpg"));
    QCOMPARE(w.Text1[0]->backColor(), CaptionGrey);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 3"));
}

void TestFileOps::renameOne()
{
    Folder f;
    f.select({1});
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(filesIn(f.dir), (QStringList {"Holiday.JPG", "a.jpg", "c.gif"}));
}

void TestFileOps::renameNoneSelected()
{
    Folder f;
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(f.boxTexts(),
        (QStringList {"Are you sure you want to RENAME these files ?", "First Select a File to Rename!\r"}));
    QCOMPARE(f.env.boxes().shown()[1].style, 0);
    QCOMPARE(f.env.boxes().shown()[1].title, QStringLiteral("Orvella"));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
}

void TestFileOps::renameCancelled()
{
    Folder f;
    f.select({0, 1});
    f.env.boxes().script({AnswerCancel});
    f.rename(QStringLiteral("Holiday"), QStringLiteral("5"));
    QCOMPARE(f.env.boxes().shown().size(), 1);
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(f.w().marks().SelectedCount, 2);
    QCOMPARE(f.w().Text3->text(), QStringLiteral("5"));
}

void TestFileOps::secondRunFailsOnTheFirstPicture()
{
    Folder f({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"), QStringLiteral("d.jpg")});
    f.select({0, 1});
    f.rename(QStringLiteral("Holiday"));
    // Holiday 001.jpg, Holiday 002.jpg, c.jpg, d.jpg: select c and d and run again from 1.
    f.select({2, 3});
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(f.boxTexts().last(), QStringLiteral("File already exists. Can not over-write!\r"));
    QCOMPARE(filesIn(f.dir), (QStringList {"Holiday 001.jpg", "Holiday 002.jpg", "c.jpg", "d.jpg"}));
    QCOMPARE(contentOf(QDir(f.dir).filePath(QStringLiteral("Holiday 001.jpg"))), QByteArray("picture 0 a.jpg"));
    QCOMPARE(f.w().marks().SelectedCount, 0);
    QVERIFY(!f.w().File1->Selected(2));
}

void TestFileOps::failureInTheMiddleKeepsEarlierNames()
{
    Folder f;
    // Real pictures this time, so the grid's pictures can be traced back to their files.
    writePicture(QDir(f.dir).filePath(QStringLiteral("a.jpg")), 0);
    writePicture(QDir(f.dir).filePath(QStringLiteral("b.JPG")), 1);
    writePicture(QDir(f.dir).filePath(QStringLiteral("c.gif")), 2, QSize(64, 48), "PNG");
    writeFile(QDir(f.dir).filePath(QStringLiteral("Trip 008.JPG")), "already here");
    f.w().loader().ButtonLoadThumbs_Click();
    // List: a.jpg, b.JPG, c.gif, Trip 008.JPG.
    f.select({0, 1, 2});
    f.rename(QStringLiteral("Trip"), QStringLiteral("7"));
    QCOMPARE(filesIn(f.dir), (QStringList {"Trip 007.jpg", "Trip 008.JPG", "b.JPG", "c.gif"}));
    QCOMPARE(contentOf(QDir(f.dir).filePath(QStringLiteral("Trip 008.JPG"))), QByteArray("already here"));
    QCOMPARE(f.boxTexts().last(), QStringLiteral("File already exists. Can not over-write!\r"));
    // A failed run keeps the start the user typed.
    QCOMPARE(f.w().Text3->text(), QStringLiteral("7"));
    // The grid shows the list as it now is, so a click selects the file it shows.
    // List: b.JPG, c.gif, Trip 007.jpg (was a.jpg), Trip 008.JPG (not a picture).
    const int pictures[] = {1, 2, 0, -1};
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(f.w().Text1[size_t(k)]->text(), f.w().File1->List(k));
        QCOMPARE(pictureNumber(f.w().Image1[size_t(k)]->picture()), pictures[k]);
    }
    f.select({1});
    QCOMPARE(f.w().File1->List(1), QStringLiteral("c.gif"));
    QVERIFY(f.w().File1->Selected(1));
}

void TestFileOps::countStarts_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("7") << "7" << QStringList {"X 007.jpg", "X 008.JPG"};
    QTest::newRow("abc") << "abc" << QStringList {"X 000.jpg", "X 001.JPG"};
    QTest::newRow("2.5") << "2.5" << QStringList {"X 002.jpg", "X 003.JPG"};
    QTest::newRow("1 2") << "1 2" << QStringList {"X 012.jpg", "X 013.JPG"};
    QTest::newRow("&H10") << "&H10" << QStringList {"X 016.jpg", "X 017.JPG"};
    QTest::newRow("1000") << "1000" << QStringList {"X 1000.jpg", "X 1001.JPG"};
    QTest::newRow("-2") << "-2" << QStringList {"X -001.JPG", "X -002.jpg"};
    QTest::newRow("just fits") << "2147483645" << QStringList {"X 2147483645.jpg", "X 2147483646.JPG"};
}

void TestFileOps::countStarts()
{
    QFETCH(QString, start);
    QFETCH(QStringList, names);
    Folder f({QStringLiteral("a.jpg"), QStringLiteral("b.JPG")});
    f.select({0, 1});
    f.rename(QStringLiteral("X"), start);
    QStringList expected = names;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(filesIn(f.dir), expected);
}

void TestFileOps::countStartsThatCannotNumberTheRun_data()
{
    // The counter goes one past the last picture's number and must hold that in 32 bits. The run
    // renames what the list has selected, grid or not.
    QTest::addColumn<QString>("start");
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<QList<int>>("listOnly");
    QTest::newRow("beyond 32 bits") << "99999999999" << QList<int> {0, 1} << QList<int> {};
    QTest::newRow("the top, one picture") << "2147483647" << QList<int> {0} << QList<int> {};
    QTest::newRow("one below, two pictures") << "2147483646" << QList<int> {0, 1} << QList<int> {};
    QTest::newRow("one below, one in the grid, one in the list") << "2147483646" << QList<int> {0} << QList<int> {2};
}

void TestFileOps::countStartsThatCannotNumberTheRun()
{
    QFETCH(QString, start);
    QFETCH(QList<int>, cells);
    QFETCH(QList<int>, listOnly);
    Folder f;
    for (int c : cells)
        f.w().selection().Text1_Click(c);
    for (int i : listOnly)
        f.w().File1->setSelected(i, true);
    f.rename(QStringLiteral("Holiday"), start);
    // Refused up front, after the confirmation: nothing renamed, the selection kept for another try.
    QCOMPARE(f.env.boxes().shown().size(), 2);
    const auto refusal = f.env.boxes().shown().last();
    QCOMPARE(refusal.text, countOutOfRangeText());
    QCOMPARE(refusal.style, int(MsgOkOnly));
    QCOMPARE(refusal.title, QStringLiteral("Orvella"));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(f.w().marks().SelectedCount, cells.size());
    QCOMPARE(f.w().Text3->text(), start);
}

void TestFileOps::emptyPrefix()
{
    Folder f;
    f.select({0, 2});
    f.rename(QString());
    QCOMPARE(filesIn(f.dir), (QStringList {" 001.jpg", " 002.gif", "b.JPG"}));
}

void TestFileOps::refusedPrefixes_data()
{
    // The list is a.jpg, b.jpg, notes.
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QList<int>>("cells");
    QTest::newRow("slash") << "../Holiday" << QList<int> {0, 2};
    QTest::newRow("backslash") << "sub\\Holiday" << QList<int> {0, 2};
    QTest::newRow("dot dot, one file without extension") << ".." << QList<int> {2};
#ifndef Q_OS_WIN
    QTest::newRow("empty, one picture: it would be hidden") << "" << QList<int> {0};
    QTest::newRow("dot first: they would be hidden") << ".Holiday" << QList<int> {0, 1};
#endif
}

void TestFileOps::refusedPrefixes()
{
    QFETCH(QString, prefix);
    QFETCH(QList<int>, cells);
    Folder f({QStringLiteral("a.jpg"), QStringLiteral("notes"), QStringLiteral("b.jpg")});
    f.env.app().settings.ImageFormat = QStringLiteral("*");
    f.w().loader().ButtonLoadThumbs_Click();
    for (int c : cells)
        f.w().selection().Text1_Click(c);
    f.rename(prefix);
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.jpg", "notes"}));
    QVERIFY(QDir(f.env.root()).entryList(QDir::Files).isEmpty()); // nothing went up a folder
    QCOMPARE(f.env.boxes().shown().size(), 2);
    QVERIFY(!f.boxTexts().last().contains(QStringLiteral("File already exists")));
    // Refused before anything happened: the selection stays for another try.
    QVERIFY(f.w().marks().SelectedCount > 0);
}

void TestFileOps::longExtensionsAreKept()
{
    Folder f({QStringLiteral("photo.jpeg"), QStringLiteral("z.jpg")});
    f.select({0, 1});
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(filesIn(f.dir), (QStringList {"Holiday 001.jpeg", "Holiday 002.jpg"}));
    // Still a picture, still listed.
    QCOMPARE(f.w().File1->ListCount(), 2);
}

void TestFileOps::listSelectionsWithOneGridSelection()
{
    Folder f({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg")});
    f.select({0});
    f.w().File1->setSelected(1, true);
    f.w().File1->setSelected(2, true);
    f.rename(QStringLiteral("Holiday"));
    // One selection counted: plain names, so the second picture finds its name taken.
    QCOMPARE(filesIn(f.dir), (QStringList {"Holiday.jpg", "b.jpg", "c.jpg"}));
    QCOMPARE(f.boxTexts().last(), QStringLiteral("File already exists. Can not over-write!\r"));

    // Selections made only in the list: nothing counted, nothing renamed.
    f.env.boxes().clear();
    f.w().File1->setSelected(1, true);
    f.rename(QStringLiteral("Other"));
    QCOMPARE(f.boxTexts().last(), QStringLiteral("First Select a File to Rename!\r"));
}

void TestFileOps::renameAndMove()
{
    Folder f;
    const QString sorted = f.env.makeFolder(QStringLiteral("Sorted"));
    f.chooseDestination(sorted);
    f.select({0, 1, 2});
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(f.boxTexts().first(), QStringLiteral("Are you sure you want to RENAME & MOVE these files ?"));
    QVERIFY(filesIn(f.dir).isEmpty());
    QCOMPARE(filesIn(sorted), (QStringList {"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif"}));
    QCOMPARE(f.w().File1->ListCount(), 0);
    QCOMPARE(f.w().Text4->text(), QStringLiteral("Total Pictures 0"));
    // No mark of the moved pictures is left behind to show up in the next folder.
    for (CaptionBox *caption : f.w().Text1)
        QCOMPARE(caption->backColor(), CaptionGrey);
    const QString next = f.env.makeFolder(QStringLiteral("Next"));
    writePictures(next, 3);
    f.env.openFolder(next);
    QCOMPARE(f.w().Text1[0]->backColor(), CaptionGrey);
    f.select({0});
    QCOMPARE(f.w().marks().SelectedCount, 1);
    QVERIFY(f.w().File1->Selected(0));
    QCOMPARE(f.w().Text1[0]->backColor(), CaptionBlack);
}

void TestFileOps::renameAndMoveIntoAMissingFolder()
{
    Folder f;
    const QString gone = f.env.makeFolder(QStringLiteral("Gone"));
    f.chooseDestination(gone);
    QVERIFY(QDir(gone).removeRecursively());
    f.select({0, 1});
    f.rename(QStringLiteral("Holiday"));
    QCOMPARE(f.boxTexts().last(), QStringLiteral("File already exists. Can not over-write!\r"));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
}

void TestFileOps::moveWithANameClash()
{
    Folder f;
    const QString dest = f.env.makeFolder(QStringLiteral("Dest"));
    writeFile(QDir(dest).filePath(QStringLiteral("b.JPG")), "the other b");
    f.chooseDestination(dest);
    f.select({0, 1, 2});
    f.w().panel().Command3_Click();
    QCOMPARE(f.boxTexts(),
        (QStringList {"Are you sure you want to MOVE these files ?",
            "File May Already Exist\n\nb.JPG: a file of that name is already there", "2 Files moved!"}));
    QCOMPARE(f.env.boxes().shown()[0].style, 33);
    QCOMPARE(f.env.boxes().shown()[2].style, 0);
    QCOMPARE(f.env.boxes().shown()[2].title, QStringLiteral("Orvella"));
    QCOMPARE(filesIn(f.dir), QStringList {"b.JPG"});
    QCOMPARE(filesIn(dest), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(contentOf(QDir(dest).filePath(QStringLiteral("b.JPG"))), QByteArray("the other b"));
    QCOMPARE(contentOf(QDir(f.dir).filePath(QStringLiteral("b.JPG"))), QByteArray("picture 1 b.JPG"));
    QCOMPARE(f.w().marks().SelectedCount, 0);
    QCOMPARE(f.w().Text1[0]->text(), QStringLiteral("b.JPG"));
    // The destination and the switch stay for the next move.
    QCOMPARE(f.w().Text5->text(), nativeFolder(dest));
    QVERIFY(f.w().Check3->isChecked());
}

void TestFileOps::moveIntoAFolderThatVanished()
{
    Folder f;
    const QString gone = f.env.makeFolder(QStringLiteral("Gone"));
    f.chooseDestination(gone);
    QVERIFY(QDir(gone).removeRecursively());
    f.select({0, 2});
    f.w().panel().Command3_Click();
    const QString why = QStringLiteral(": the destination folder cannot be opened: No such file or directory");
    QCOMPARE(f.boxTexts(),
        (QStringList {"Are you sure you want to MOVE these files ?",
            "File May Already Exist\n\na.jpg" + why + "\nc.gif" + why, "0 Files moved!"}));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QVERIFY(!QFileInfo::exists(gone));
    QCOMPARE(f.w().marks().SelectedCount, 0);
}

void TestFileOps::moveNothingSelected()
{
    Folder f;
    f.chooseDestination(f.env.makeFolder(QStringLiteral("Dest")));
    f.w().panel().Command3_Click();
    QCOMPARE(f.boxTexts(), (QStringList {"Are you sure you want to MOVE these files ?", "0 Files moved!"}));
}

void TestFileOps::moveWithoutDestinationIsRefused()
{
    Folder f;
    f.w().Check3->setChecked(true);
    f.w().panel().chooser().close(); // the close box: ticked, nothing chosen
    QVERIFY(f.w().isEnabled());
    f.select({0});
    f.w().panel().Command3_Click();
    QCOMPARE(f.env.boxes().shown().size(), 2);
    QVERIFY(f.boxTexts().last().contains(QStringLiteral("destination")));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    // The same for rename and move.
    f.rename(QStringLiteral("Holiday"));
    QVERIFY(f.boxTexts().last().contains(QStringLiteral("destination")));
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
}

void TestFileOps::moveToAnotherFileSystem()
{
    Folder f;
    const QString other = otherVolumeFolder(f.env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-move-XXXXXX"));
    QVERIFY(there.isValid());
    f.chooseDestination(there.path());
    f.select({0, 1, 2});
    // Another program saves a new b.JPG while it is copied: both versions stay, and the box says why.
    const QString b = QDir(f.dir).filePath(QStringLiteral("b.JPG"));
    setFaultsForTesting({.pause = [&](FaultPoint) {
        if (QFileInfo::exists(there.filePath(QStringLiteral("a.jpg"))) && contentOf(b) != "new b") {
            writeFile(b + QStringLiteral(".new"), "new b");
            QVERIFY(std::rename(qPrintable(b + QStringLiteral(".new")), qPrintable(b)) == 0);
        }
    }});
    f.w().panel().Command3_Click();
    setFaultsForTesting({});
    QCOMPARE(f.boxTexts().mid(1),
        (QStringList {
            "File May Already Exist\n\nb.JPG: changed during the copy; both versions are kept", "2 Files moved!"}));
    QCOMPARE(filesIn(there.path()), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(contentOf(there.filePath(QStringLiteral("c.gif"))), QByteArray("picture 2 c.gif"));
    QCOMPARE(contentOf(there.filePath(QStringLiteral("b.JPG"))), QByteArray("picture 1 b.JPG"));
    QCOMPARE(filesIn(f.dir), QStringList {"b.JPG"});
    QCOMPARE(contentOf(b), QByteArray("new b"));
}

void TestFileOps::moveActsOnListSelections()
{
    Folder f;
    const QString dest = f.env.makeFolder(QStringLiteral("Dest"));
    f.chooseDestination(dest);
    f.w().File1->setSelected(2, true);
    f.w().panel().Command3_Click();
    QCOMPARE(f.boxTexts().last(), QStringLiteral("1 Files moved!"));
    QCOMPARE(filesIn(dest), QStringList {"c.gif"});
}

void TestFileOps::deleteToTrash()
{
    Folder f;
    f.select({0, 2});
    f.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("DeleteSelected"));
    QCOMPARE(f.boxTexts(), QStringList {"Are you sure you want to DELETE selected files ?"});
    QCOMPARE(f.env.boxes().shown()[0].style, 33);
    QCOMPARE(f.env.boxes().shown()[0].title, Confirm);
    QCOMPARE(filesIn(f.dir), QStringList {"b.JPG"});
    QCOMPARE(contentOf(trashFolder() + QStringLiteral("/files/a.jpg")), QByteArray("picture 0 a.jpg"));
    QCOMPARE(contentOf(trashFolder() + QStringLiteral("/files/c.gif")), QByteArray("picture 2 c.gif"));
    QVERIFY(contentOf(trashFolder() + QStringLiteral("/info/a.jpg.trashinfo"))
                .contains(QDir(f.dir).filePath("a.jpg").toUtf8()));
    QCOMPARE(f.w().File1->ListCount(), 1);
    QCOMPARE(f.w().marks().SelectedCount, 0);
}

void TestFileOps::deletePermanently()
{
    Folder f;
    f.env.app().settings.DeleteRecycle = false;
    f.select({1});
    f.w().File1->setSelected(2, true); // a selection made in the list counts too
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(filesIn(f.dir), QStringList {"a.jpg"});
    QVERIFY(!QFileInfo::exists(trashFolder() + QStringLiteral("/files/b.JPG")));
    QCOMPARE(f.env.boxes().shown().size(), 1);
}

void TestFileOps::deleteNothingSelectedReloads()
{
    Folder f;
    writeFile(QDir(f.dir).filePath(QStringLiteral("d.jpg")));
    f.w().grid().PageDown_Click();
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(filesIn(f.dir).size(), 4);
    QCOMPARE(f.w().position().PageStart, 0);
    QCOMPARE(f.w().Text4->text(), QStringLiteral("Total Pictures 4"));
}

void TestFileOps::deleteThatFailsIsReported()
{
    Folder f;
    f.env.app().settings.DeleteRecycle = false;
    f.select({0, 1, 2});
    // b.JPG goes away behind the program's back.
    QVERIFY(QFile::remove(QDir(f.dir).filePath(QStringLiteral("b.JPG"))));
    f.w().deleteFiles().DeleteSelectedFiles();
    QVERIFY(filesIn(f.dir).isEmpty());
    QCOMPARE(f.env.boxes().shown().size(), 2);
    QVERIFY(f.boxTexts().last().contains(QStringLiteral("b.JPG")));
    QVERIFY(!f.boxTexts().last().contains(QStringLiteral("a.jpg")));

    // A trash that refuses keeps the file.
    Folder g;
    QDir().mkpath(QFileInfo(trashFolder()).path());
    writeFile(trashFolder(), "not a folder");
    g.select({0});
    g.w().deleteFiles().DeleteSelectedFiles();
    // Nothing is made in the picture folder either (it is the working folder).
    QCOMPARE(entriesIn(g.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QVERIFY(g.boxTexts().last().contains(QStringLiteral("a.jpg")));
}

void TestFileOps::deleteCancelled()
{
    Folder f;
    f.select({0});
    f.env.boxes().script({AnswerCancel});
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(filesIn(f.dir), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(f.w().marks().SelectedCount, 1);
}

QTEST_MAIN(TestFileOps)
#include "tst_fileops.moc"
