// Folder and drive navigation and the thumbnail loader, on real folders of pictures.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "browse/gridwidgets.h"
#include "browse/thumbnailloader.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"
#include "tests/testsupport.h"
#include "ui/busypointer.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;

class TestBrowse : public QObject {
    Q_OBJECT
private slots:
    void progressValues_data();
    void progressValues();
    void openingAFolderListsItsPicturesAndLoadsThem();
    void emptyFolder();
    void downwardButtonsFollowTheCount();
    void onePictureGoesStraightTo100();
    void reloadDecodesOnlyWhatChanged();
    void undecodableFilesLeaveEmptySlots();
    void everySlotHoldsItsOwnFile();
    void moreThanAThousandPictures();
    void openingAnotherFolderStartsOnItsFirstPage();
    void manualLoading();
    void driveChange();
    void driveThatCannotBeFound();
    void folderThatCannotBeOpenedIsReported();
};

void TestBrowse::progressValues_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("percent");
    QTest::newRow("1/8") << 1 << 8 << 12;
    QTest::newRow("3/8") << 3 << 8 << 38;
    QTest::newRow("5/8") << 5 << 8 << 62;
    QTest::newRow("7/8") << 7 << 8 << 88;
    QTest::newRow("1/3") << 1 << 3 << 33;
    QTest::newRow("2/3") << 2 << 3 << 67;
    QTest::newRow("1/200") << 1 << 200 << 0;
    QTest::newRow("3/200") << 3 << 200 << 2;
    // Halves that floating point puts on the wrong side.
    QTest::newRow("23/40") << 23 << 40 << 58;
    QTest::newRow("109/200") << 109 << 200 << 54;
    QTest::newRow("empty") << 0 << 0 << 0;
}

void TestBrowse::progressValues()
{
    QFETCH(int, i);
    QFETCH(int, count);
    QFETCH(int, percent);
    QCOMPARE(ThumbnailLoader::percentDone(i, count), percent);
}

void TestBrowse::openingAFolderListsItsPicturesAndLoadsThem()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("pics"));
    for (int i = 0; i < 8; ++i)
        writePicture(QDir(dir).filePath(QStringLiteral("p%1.jpg").arg(i)), i);
    writePicture(QDir(dir).filePath(QStringLiteral("CAPS.JPG")), 9);
    writeFile(QDir(dir).filePath(QStringLiteral("notes.txt")));
    env.makeFolder(QStringLiteral("pics/sub.jpg"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    QSignalSpy progress(w.ProgressBar1, &QProgressBar::valueChanged);
    env.openFolder(dir);

    QCOMPARE(w.File1->Path(), nativeFolder(dir));
    QCOMPARE(workingFolder(), nativeFolder(dir));
    QCOMPARE(w.File1->ListCount(), 9);
    QCOMPARE(w.File1->List(0), QStringLiteral("CAPS.JPG"));
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 9"));
    QList<int> values;
    for (const auto &args : progress)
        values.append(args.at(0).toInt());
    // 9 files: 1/9 .. 8/9 of the way, then 100.
    QCOMPARE(values, (QList<int> {11, 22, 33, 44, 56, 67, 78, 89, 100}));
    QVERIFY(!isHourglass());
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("CAPS.JPG"));
    QCOMPARE(pictureNumber(w.Image1[0]->picture()), 9);
    QCOMPARE(w.Text1[8]->text(), QStringLiteral("p7.jpg"));
    QCOMPARE(pictureNumber(w.Image1[8]->picture()), 7);
    QCOMPARE(w.Text1[9]->text(), QString());
    QVERIFY(!w.Image1[9]->hasPicture());
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestBrowse::emptyFolder()
{
    TestEnv env;
    const QString full = env.makeFolder(QStringLiteral("full"));
    writePictures(full, 3);
    const QString empty = env.makeFolder(QStringLiteral("empty"));
    writeFile(QDir(empty).filePath(QStringLiteral("readme.txt")));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(full);
    env.openFolder(empty);
    QCOMPARE(w.File1->ListCount(), 0);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 0"));
    QCOMPARE(w.ProgressBar1->value(), 100);
    QVERIFY(!w.PageDown->isEnabled());
    QVERIFY(!w.scrolldown->isEnabled());
    QVERIFY(w.PageUp->isEnabled());
    for (int k = 0; k < 36; ++k) {
        QCOMPARE(w.Text1[size_t(k)]->text(), QString());
        QVERIFY(!w.Image1[size_t(k)]->hasPicture());
    }
}

void TestBrowse::downwardButtonsFollowTheCount()
{
    TestEnv env;
    const QString dir36 = env.makeFolder(QStringLiteral("thirtysix"));
    writePictures(dir36, 36);
    const QString dir37 = env.makeFolder(QStringLiteral("thirtyseven"));
    writePictures(dir37, 37);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir36);
    QVERIFY(!w.PageDown->isEnabled());
    QVERIFY(!w.scrolldown->isEnabled());
    env.openFolder(dir37);
    QVERIFY(w.PageDown->isEnabled());
    QVERIFY(w.scrolldown->isEnabled());
    QVERIFY(w.ScrollUp[0]->isEnabled());
}

void TestBrowse::onePictureGoesStraightTo100()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("one"));
    writePictures(dir, 1);
    QVERIFY(env.start());
    QSignalSpy progress(env.w().ProgressBar1, &QProgressBar::valueChanged);
    env.w().ProgressBar1->setValue(0);
    progress.clear();
    env.openFolder(dir);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.at(0).at(0).toInt(), 100);
    QCOMPARE(pictureNumber(env.w().Image1[0]->picture()), 0);
}

void TestBrowse::reloadDecodesOnlyWhatChanged()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("ten"));
    const QStringList names = writePictures(dir, 10);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    std::vector<qint64> keys;
    for (int i = 0; i < 10; ++i)
        keys.push_back(w.pictures().Image3[size_t(i)].cacheKey());

    // The load button in the same folder decodes nothing, and shows the first page both times.
    w.grid().scrolldown_Click();
    qint64 before = w.pictures().Decodes;
    w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.pictures().Decodes - before, 0);
    QCOMPARE(w.position().PageStart, 0);
    QCOMPARE(w.Text1[0]->text(), names[0]);

    // Without the file at index 5, slots 5 to 8 hold the files after it, whose thumbnails were
    // made already; 1 to 4 stay as they were.
    QVERIFY(QFile::remove(QDir(dir).filePath(names[5])));
    before = w.pictures().Decodes;
    w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.pictures().Decodes - before, 0);
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(w.pictures().Image3[size_t(i)].cacheKey(), keys[size_t(i)]);
    for (int i = 5; i <= 8; ++i) {
        QCOMPARE(w.pictures().Image3[size_t(i)].cacheKey(), keys[size_t(i) + 1]);
        QCOMPARE(w.pictures().SlotPaths[size_t(i)], QDir(dir).filePath(names[i + 1]));
    }
    // A slot past the end of the shorter list keeps its old picture but no cell shows it.
    QCOMPARE(w.pictures().Image3[9].cacheKey(), keys[9]);
    QVERIFY(!w.Image1[9]->hasPicture());
}

void TestBrowse::undecodableFilesLeaveEmptySlots()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("broken"));
    for (const char *n : {"empty.jpg", "garbage.jpg", "text-named.gif", "truncated.jpg", "truncated.bmp", "static.gif",
             "rgb24.bmp", "multisize.ico"})
        copyPicture(QString::fromLatin1(n), dir);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    QCOMPARE(w.File1->ListCount(), 8);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 8"));
    QVERIFY(!isHourglass());
    QVERIFY(env.boxes().shown().isEmpty());
    // Names in list order: empty, garbage, multisize, rgb24, static, text-named, truncated x2.
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("empty.jpg"));
    QVERIFY(!w.Image1[0]->hasPicture());
    QVERIFY(!w.Image1[1]->hasPicture());
    QVERIFY(w.Image1[2]->hasPicture());
    QVERIFY(w.Image1[3]->hasPicture());
    QVERIFY(w.Image1[4]->hasPicture());
    QVERIFY(!w.Image1[5]->hasPicture());
    // Every caption is filled, pictures or not.
    for (int k = 0; k < 8; ++k)
        QVERIFY(!w.Text1[size_t(k)]->text().isEmpty());
}

void TestBrowse::everySlotHoldsItsOwnFile()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("many"));
    writePictures(dir, 200);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    for (int i = 0; i < 200; ++i)
        QCOMPARE(pictureNumber(w.pictures().Image3[size_t(i)]), i);
    // Thumbnails are decoded at cell size, not kept whole.
    QVERIFY(w.pictures().Image3[0].width() <= 2 * w.thumbnailCoverSize().width());
}

void TestBrowse::moreThanAThousandPictures()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("thousands"));
    for (int i = 0; i < 1100; ++i)
        writePicture(
            QDir(dir).filePath(QStringLiteral("f%1.bmp").arg(i, 4, 10, QLatin1Char('0'))), i % 216, QSize(8, 8), "BMP");
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 1100"));
    // Page to the last full page and beyond.
    for (int p = 0; p < 30; ++p)
        w.grid().PageDown_Click();
    QCOMPARE(w.position().PageStart, 1080);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("f1080.bmp"));
    QCOMPARE(w.Text1[19]->text(), QStringLiteral("f1099.bmp"));
    QCOMPARE(w.Text1[20]->text(), QString());
    QCOMPARE(pictureNumber(w.Image1[19]->picture()), 1099 % 216);
    // A file past index 1000 can be selected like any other.
    w.selection().Image1_Click(5);
    QCOMPARE(w.marks().SelectedCount, 1);
    QVERIFY(w.File1->Selected(1085));
    w.selection().SelectAllFiles();
    QCOMPARE(w.marks().SelectedCount, 1100);
    QVERIFY(w.File1->Selected(1099));
    w.selection().ClearSelection();
    QVERIFY(!w.File1->Selected(1085));
    QCOMPARE(w.marks().selectFlag(1085), 0);
}

void TestBrowse::openingAnotherFolderStartsOnItsFirstPage()
{
    TestEnv env;
    const QString a = env.makeFolder(QStringLiteral("a"));
    writePictures(a, 50, QStringLiteral("a"));
    const QString b = env.makeFolder(QStringLiteral("b"));
    writePictures(b, 5, QStringLiteral("b"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(a);
    w.selection().Image1_Click(1);
    w.grid().PageDown_Click();
    env.openFolder(b);
    QCOMPARE(w.position().PageStart, 0);
    QCOMPARE(w.position().NextToShow, 36);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("b000.jpg"));
    // The selection of the old folder is gone.
    QCOMPARE(w.marks().SelectedCount, 0);
    QCOMPARE(w.Text1[1]->backColor(), CaptionGrey);
    w.selection().Image1_Click(0);
    QVERIFY(w.File1->Selected(0));
    QCOMPARE(w.marks().SelectedCount, 1);
}

void TestBrowse::manualLoading()
{
    TestEnv env;
    const QString a = env.makeFolder(QStringLiteral("a"));
    writePictures(a, 3, QStringLiteral("a"));
    const QString b = env.makeFolder(QStringLiteral("b"));
    writePictures(b, 4, QStringLiteral("b"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(a);
    env.app().settings.AutoThumbnails = false;
    const qint64 before = w.pictures().Decodes;
    env.openFolder(b);
    // The list follows the folder; the grid stays as it was until the button is pressed.
    QCOMPARE(w.File1->List(0), QStringLiteral("b000.jpg"));
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("a000.jpg"));
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 3"));
    QCOMPARE(w.pictures().Decodes, before);
    // A cell of the old folder does not stand for the file at its index now: clicking it selects
    // nothing, rather than a file nobody sees.
    w.selection().Text1_Click(1);
    w.selection().Image1_Click(2);
    QCOMPARE(w.marks().SelectedCount, 0);
    QVERIFY(!w.File1->Selected(1) && !w.File1->Selected(2));
    QCOMPARE(w.Text1[1]->backColor(), CaptionGrey);
    w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.Text1[3]->text(), QStringLiteral("b003.jpg"));
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 4"));
    // Now the cells stand for the list again.
    w.selection().Text1_Click(1);
    QVERIFY(w.File1->Selected(1));
    QCOMPARE(w.marks().SelectedCount, 1);
    // Loading again re-reads the list, which drops its selection: the grid's marks go too, so the
    // grid never shows a selection the operations would not act on.
    w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.marks().SelectedCount, 0);
    QVERIFY(!w.File1->Selected(1));
    QCOMPARE(w.Text1[1]->backColor(), CaptionGrey);
}

void TestBrowse::driveChange()
{
    TestEnv env;
    const QString stick = env.makeFolder(QStringLiteral("stick"));
    writePictures(stick, 2, QStringLiteral("s"));
    const QString dcim = env.makeFolder(QStringLiteral("stick/DCIM"));
    writePictures(dcim, 1, QStringLiteral("d"));
    const QString other = env.makeFolder(QStringLiteral("other"));
    writePictures(other, 3, QStringLiteral("o"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(other);
    w.grid().PageDown_Click();
    // A removable volume mounted at the test's folder.
    w.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")}});
    w.Drive1->setCurrentIndex(1);
    QCOMPARE(w.Drive1->Drive(), nativeFolder(stick) + QStringLiteral(" [USB]"));
    w.folders().Drive1_Change();
    QCOMPARE(w.Dir1->Path(), nativeFolder(stick));
    QCOMPARE(w.File1->Path(), nativeFolder(stick));
    QCOMPARE(workingFolder(), nativeFolder(stick));
    QCOMPARE(w.position().PageStart, 0);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("s000.jpg"));
    QCOMPARE(pictureNumber(w.Image1[1]->picture()), 1);

    // In manual mode the captions follow the new drive while the cells keep the last load's pictures.
    env.app().settings.AutoThumbnails = false;
    w.Drive1->setVolumes({{nativeFolder(other), QString()}, {nativeFolder(stick), QStringLiteral("USB")}});
    w.Drive1->setCurrentIndex(0);
    w.folders().Drive1_Change();
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("o000.jpg"));
    QCOMPARE(w.Text1[2]->text(), QStringLiteral("o002.jpg"));
    QCOMPARE(pictureNumber(w.Image1[0]->picture()), 0); // still s000's picture (number 0)
    QCOMPARE(pictureNumber(w.Image1[1]->picture()), 1);
    // Slot 2 still holds what the first load of this folder put there.
    QCOMPARE(pictureNumber(w.Image1[2]->picture()), 2);
    // A cell acts only for the file whose picture it shows: cell 0 shows s000.jpg under the name
    // o000.jpg, so it selects nothing and its hover names the picture's file; cell 2 shows o002.
    w.selection().Text1_Click(0);
    w.selection().Image1_Click(1);
    QCOMPARE(w.marks().SelectedCount, 0);
    w.selection().Image1_MouseMove(0);
    QCOMPARE(w.Text6->text(), QStringLiteral("s000.jpg"));
    w.selection().Text1_MouseMove(2);
    QCOMPARE(w.Text6->text(), QStringLiteral("o002.jpg"));
    w.selection().Text1_Click(2);
    QCOMPARE(w.marks().SelectedCount, 1);
    QVERIFY(w.File1->Selected(2) && !w.File1->Selected(0));

    // Picking the drive already shown is no drive change: the folder and its selection stay.
    env.app().settings.AutoThumbnails = true;
    env.openFolder(dcim);
    QCOMPARE(w.Drive1->currentIndex(), 1);
    w.selection().Image1_Click(0);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    pickEntry(*w.Drive1, 1);
    QCOMPARE(w.Dir1->Path(), nativeFolder(dcim));
    QCOMPARE(w.marks().SelectedCount, 1);
}

void TestBrowse::driveThatCannotBeFound()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("here"));
    writePictures(dir, 40);
    const QString gone = env.makeFolder(QStringLiteral("unplugged"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    w.grid().PageDown_Click();
    QVERIFY(QDir(gone).removeRecursively());
    w.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(gone), QStringLiteral("CARD")}});
    w.Drive1->setCurrentIndex(1);
    w.folders().Drive1_Change();
    QCOMPARE(env.boxes().shown().size(), 1);
    QCOMPARE(env.boxes().shown()[0].text, QStringLiteral("Drive can not be found."));
    QCOMPARE(env.boxes().shown()[0].style, 16);
    QCOMPARE(env.boxes().shown()[0].title, QStringLiteral("Dude-Dazivor"));
    // Nothing else changed.
    QCOMPARE(w.Drive1->currentIndex(), 1);
    QCOMPARE(w.Dir1->Path(), nativeFolder(dir));
    QCOMPARE(w.File1->Path(), nativeFolder(dir));
    QCOMPARE(workingFolder(), nativeFolder(dir));
    QCOMPARE(w.position().PageStart, 36);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("pic036.jpg"));
}

void TestBrowse::folderThatCannotBeOpenedIsReported()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("parent"));
    writePictures(dir, 2);
    const QString child = env.makeFolder(QStringLiteral("parent/vanishing"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    // The folder goes away after the list showed it; opening it then is refused with a message.
    QVERIFY(QDir(child).removeRecursively());
    int row = -1;
    for (int i = 0; i < w.Dir1->count(); ++i)
        if (w.Dir1->entryPath(i) == nativeFolder(child))
            row = i;
    QVERIFY(row >= 0);
    emit w.Dir1->itemDoubleClicked(w.Dir1->item(row));
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.contains(QStringLiteral("vanishing")));
    QCOMPARE(w.Dir1->Path(), nativeFolder(dir));
    QCOMPARE(w.File1->ListCount(), 2);
}

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
