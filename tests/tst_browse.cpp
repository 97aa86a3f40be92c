// The main window's start-up and its browsing: folders, drives, the thumbnail loader and its progress.
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "browse/gridwidgets.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"
#include "tests/testsupport.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/webpane.h"

using namespace orvella;
using namespace orvella::test;

namespace {

// What the first cells show: their captions' names, "-" for a cell without a picture.
QString cells(MainWindow &w, int n)
{
    QStringList out;
    for (int k = 0; k < n; ++k)
        out.append(w.Text1[size_t(k)]->text() + (w.Image1[size_t(k)]->hasPicture() ? "" : "-"));
    return out.join(u' ');
}

} // namespace

class TestBrowse : public QObject {
    Q_OBJECT
private slots:
    void startUpAndSecondCopy();
    void foldersListPicturesAndLoadThem();
    void drivesAndFolders();
};

void TestBrowse::startUpAndSecondCopy()
{
    // Starts on the root of the working folder's volume: /dev/shm is a volume of its own.
    TestEnv env;
    QTemporaryDir work(QStringLiteral("/dev/shm/orvella-start-XXXXXX"));
    QVERIFY(work.isValid() && QDir::setCurrent(work.path()));
    env.app().settings.DeleteRecycle = env.app().settings.PictureSize = false;
    QVERIFY(env.start());
    MainWindow &w = env.w();
    BrowserSettings &s = env.app().settings;
    for (const QString &p : {w.Dir1->Path(), w.File1->Path(), workingFolder(), w.Drive1->driveRoot()})
        QCOMPARE(p, QStringLiteral("/dev/shm"));
    QCOMPARE(w.pictures().Decodes, qint64(w.File1->ListCount())); // loaded once
    QVERIFY(s.AutoThumbnails && s.PictureSize && s.DeleteRecycle && w.ButtonLoadThumbs->isHidden());
    QCOMPARE((QStringList {w.Text4->text(), s.ImageFormat, w.Text3->text()}),
        (QStringList {
            QStringLiteral("Total Pictures %1").arg(w.File1->ListCount()), "*.jpg;*.jpeg;*.bmp;*.gif;*.ico", "1"}));
    // The test's advertisement address refuses at once: the pane is hidden, nothing said.
    QVERIFY(w.downloadFailed() == 1 && w.WebBrowser1->isHidden());

    // A window created afresh shows the advertisement once fetched; an address that takes the
    // connection and never answers is given up after three seconds (the margin is for slow
    // sanitizer runs).
    const QString page = QDir(env.root()).filePath(QStringLiteral("ad.html"));
    writeFile(page, "<p>Spring offer</p>");
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    for (const QString &address :
        {QUrl::fromLocalFile(page).toString(), QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())}) {
        const bool fetched = address.startsWith(u'f');
        env.app().closeMainWindow();
        env.app().advertAddress = address;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(env.start());
        QCOMPARE(env.w().WebBrowser1->isHidden(), !fetched);
        if (fetched)
            QTRY_VERIFY(env.w().WebBrowser1->toPlainText().contains(QStringLiteral("Spring offer")));
        else
            QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    }

    // Another program of the same name is a second copy: refused, with a box.
    OrvellaApp second(QStringLiteral("orvella-test-%1").arg(QCoreApplication::applicationPid()));
    second.advertAddress = env.app().advertAddress;
    QVERIFY(!second.openMainWindow() && !second.mainWindow());
    const ScriptedDialogService::Box refused = env.boxes().shown().value(0);
    QCOMPARE(refused.text + u'|' + refused.title + u'|' + QString::number(refused.style),
        QStringLiteral("Orvella is already running!|Orvella|48"));
    QVERIFY(env.w().isVisible());

    // Help starts the browser, and says so when none starts.
    pressToolbar(env.w(), QStringLiteral("Help"));
    env.setBrowserWorks(false);
    pressToolbar(env.w(), QStringLiteral("Help"));
    QCOMPARE(env.browserStarts(), QStringList(2, env.app().homeAddress));
    QVERIFY(env.boxes().shown().value(1).text.contains(env.app().homeAddress));

    QTimer::singleShot(0, &env.w(), [&env] { pressToolbar(env.w(), QStringLiteral("Exit")); });
    QTimer::singleShot(60000, &env.w(), [] { QCoreApplication::exit(99); }); // should Exit not end the loop
    QCOMPARE(QApplication::exec(), 0);
}

void TestBrowse::foldersListPicturesAndLoadThem()
{
    TestEnv env;
    const QString nine = env.makeFolder(QStringLiteral("nine"));
    for (int i = 0; i < 8; ++i)
        writePicture(QDir(nine).filePath(QStringLiteral("p%1.jpg").arg(i)), i);
    writePicture(QDir(nine).filePath(QStringLiteral("CAPS.JPG")), 9);
    writeFile(QDir(nine).filePath(QStringLiteral("notes.txt")));
    env.makeFolder(QStringLiteral("nine/sub.jpg"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    // The progress rounds halves to even: i, count, percent; 23/40 and 109/200 are halves that
    // floating point puts on the wrong side.
    for (const auto [i, count, percent] :
        {std::array {1, 8, 12}, {3, 8, 38}, {2, 3, 67}, {23, 40, 58}, {109, 200, 54}, {0, 0, 0}})
        QVERIFY2(ThumbnailLoader::percentDone(i, count) == percent, qPrintable(QString("%1/%2").arg(i).arg(count)));
    QSignalSpy progress(w.ProgressBar1, &QProgressBar::valueChanged);
    env.openFolder(nine);
    QCOMPARE(workingFolder(), nativeFolder(nine));
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 9"));
    QCOMPARE(progress, (QList<QVariantList> {{0}, {11}, {22}, {33}, {44}, {56}, {67}, {78}, {89}, {100}}));
    QCOMPARE(cells(w, 10), QStringLiteral("CAPS.JPG p0.jpg p1.jpg p2.jpg p3.jpg p4.jpg p5.jpg p6.jpg p7.jpg -"));
    QVERIFY(pictureNumber(w.Image1[0]->picture()) == 9 && pictureNumber(w.Image1[8]->picture()) == 7);

    // Undecodable files are listed with empty cells; nothing is said.
    const QString broken = env.makeFolder(QStringLiteral("broken"));
    for (const char *n : {"empty.jpg", "garbage.jpg", "text-named.gif", "truncated.jpg", "truncated.bmp", "static.gif",
             "rgb24.bmp", "multisize.ico"})
        copyPicture(QString::fromLatin1(n), broken);
    env.openFolder(broken);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 8"));
    QCOMPARE(cells(w, 6), QStringLiteral("empty.jpg- garbage.jpg- multisize.ico rgb24.bmp static.gif text-named.gif-"));
    QVERIFY(env.boxes().shown().isEmpty());

    // The downward buttons need a 37th picture; an empty folder still ends at 100.
    for (const int count : {36, 37, 0}) {
        const QString dir = env.makeFolder(QString::number(count));
        writePictures(dir, count);
        env.openFolder(dir);
        QVERIFY(w.PageDown->isEnabled() == (count > 36) && w.scrolldown->isEnabled() == (count > 36));
    }
    QCOMPARE(w.ProgressBar1->value(), 100);
    QCOMPARE(cells(w, 1), QStringLiteral("-"));

    // More than a thousand: every slot holds its own file's thumbnail; the last ones can be selected.
    const QString many = env.makeFolder(QStringLiteral("thousands"));
    for (int i = 0; i < 1100; ++i)
        writePicture(QDir(many).filePath(QStringLiteral("f%1.bmp").arg(i, 4, 10, QLatin1Char('0'))), i % 216,
            QSize(8, 8), "BMP");
    env.openFolder(many);
    for (int i = 0; i < 1100; ++i)
        QCOMPARE(pictureNumber(w.pictures().Image3[size_t(i)]), i % 216);
    for (int p = 0; p < 30; ++p)
        w.grid().PageDown_Click();
    QCOMPARE(w.Text1[19]->text(), QStringLiteral("f1099.bmp"));
    QCOMPARE(pictureNumber(w.Image1[19]->picture()), 1099 % 216);
    w.selection().Image1_Click(5);
    QVERIFY(w.File1->Selected(1085) && w.marks().SelectedCount == 1);
    w.selection().SelectAllFiles();
    QVERIFY(w.File1->Selected(1099) && w.marks().SelectedCount == 1100);
    w.selection().ClearSelection();
    QVERIFY(!w.File1->Selected(1085) && w.marks().selectFlag(1085) == 0);
}

void TestBrowse::drivesAndFolders()
{
    TestEnv env;
    auto folder = [&](const char *name, int pictures = 0, const char *prefix = "pic") {
        const QString dir = env.makeFolder(QString::fromLatin1(name));
        writePictures(dir, pictures, QString::fromLatin1(prefix));
        return dir;
    };
    const QString stick = folder("stick", 2, "s"), dcim = folder("stick/DCIM", 1), here = folder("here", 40);
    const QString child = folder("here/vanishing"), gone = folder("unplugged"), b = folder("b", 4, "b"),
                  c = folder("c", 3, "c");
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(here);
    w.grid().PageDown_Click();
    // A folder gone after the list showed it: opening it is refused with a message.
    QVERIFY(QDir(child).removeRecursively());
    for (int i = 0; i < w.Dir1->count(); ++i)
        if (w.Dir1->entryPath(i) == nativeFolder(child))
            emit w.Dir1->itemDoubleClicked(w.Dir1->item(i));
    QVERIFY(env.boxes().shown().value(0).text.contains(QStringLiteral("vanishing")));
    // A card that was unplugged: refused, nothing else changes.
    QVERIFY(QDir(gone).removeRecursively());
    w.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(gone), QStringLiteral("CARD")}});
    w.Drive1->setCurrentIndex(1);
    w.folders().Drive1_Change();
    QCOMPARE(env.boxes().shown().size(), 2);
    const ScriptedDialogService::Box drive = env.boxes().shown()[1];
    QCOMPARE(drive.text + u'|' + drive.title + u'|' + QString::number(drive.style),
        QStringLiteral("Drive can not be found.|Dude-Dazivor|16"));
    QCOMPARE(w.Dir1->Path(), nativeFolder(here));
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("pic036.jpg"));

    // A volume mounted at the test's folder opens on its root, on the first page.
    w.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")}});
    w.Drive1->setCurrentIndex(1);
    w.folders().Drive1_Change();
    QCOMPARE(workingFolder(), nativeFolder(stick));
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("s000.jpg"));
    // Picking the drive already shown is no drive change: the folder and its selection stay.
    env.openFolder(dcim);
    w.selection().Image1_Click(0);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    pickEntry(*w.Drive1, 1);
    QCOMPARE(w.Dir1->Path(), nativeFolder(dcim));
    QCOMPARE(w.marks().SelectedCount, 1);

    // Another folder starts on its first page, without the old folder's selection.
    env.openFolder(here);
    w.selection().Image1_Click(1);
    w.grid().PageDown_Click();
    env.openFolder(c);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("c000.jpg"));
    QVERIFY(w.marks().SelectedCount == 0 && w.Text1[1]->backColor() == CaptionGrey);
    w.selection().Image1_Click(0);
    QVERIFY(w.File1->Selected(0) && w.marks().SelectedCount == 1);

    // Without automatic loading a folder change only lists the files.
    env.app().settings.AutoThumbnails = false;
    const qint64 before = w.pictures().Decodes;
    env.openFolder(b);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 3"));
    QCOMPARE(w.pictures().Decodes, before);
    // Drawn again (as a drive change does), the cells show the new names over the old pictures:
    // such a cell stands for no file of the list, a click selects nothing, the hover names the
    // picture's own file.
    w.grid().ShowThumbnailPage();
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("b000.jpg"));
    w.selection().Text1_Click(1);
    w.selection().Image1_Click(2);
    QVERIFY(w.marks().SelectedCount == 0 && !w.File1->Selected(1));
    w.selection().Image1_MouseMove(0);
    QCOMPARE(w.Text6->text(), QStringLiteral("c000.jpg"));
    w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 4"));
    w.selection().Text1_Click(1);
    QVERIFY(w.File1->Selected(1) && w.marks().SelectedCount == 1);
    // Loading again re-reads the list, which drops its selection: the grid's marks go too.
    w.loader().ButtonLoadThumbs_Click();
    QVERIFY(w.marks().SelectedCount == 0 && !w.File1->Selected(1));
    QCOMPARE(w.Text1[1]->backColor(), CaptionGrey);
}

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
