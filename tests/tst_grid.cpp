// The thumbnail grid: paging, selection by clicks and toolbar, caption colours and hover.
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>

#include "browse/gridwidgets.h"
#include "dialogs/bigpicture.h"
#include "dialogs/picturebox.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

bool showsSelected(const CaptionBox *c)
{
    return c->foreColor() == CaptionGrey && c->backColor() == CaptionBlack;
}
bool showsUnselected(const CaptionBox *c)
{
    return c->foreColor() == CaptionBlack && c->backColor() == CaptionGrey;
}

// The grid shows files first..first+35 (names pic000.jpg ...), as far as the list goes.
void checkPage(MainWindow &w, int first)
{
    for (int k = 0; k < 36; ++k) {
        const int i = first + k;
        const QString expected = w.File1->List(i);
        QCOMPARE(w.Text1[size_t(k)]->text(), expected);
        if (expected.isEmpty())
            QVERIFY(!w.Image1[size_t(k)]->hasPicture());
        else
            QCOMPARE(pictureNumber(w.Image1[size_t(k)]->picture()), i);
    }
    QCOMPARE(w.position().PageStart, first);
    QCOMPARE(w.position().NextToShow, first + 36);
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pagingThroughFortyFiles();
    void upwardButtonsStopAtTheFirstPage();
    void rowScrolling();
    void pagingPastTheEndShowsEmptyPages();
    void clickingTogglesSelection();
    void clicksOnEmptyCellsAreIgnored();
    void realMouseClicks();
    void selectAllAndNone();
    void selectionSurvivesPaging();
    void hoverShowsTheName();
    void toolTipsShowNamesAsTheyAre();
    void sameNamesInAnotherFolder_data();
    void sameNamesInAnotherFolder();
    void listSelectionsLeaveTheGridAlone();
    void thumbnailThatFailedToDecodeIsSelectedByItsCaption();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_dir;
    MainWindow &w() { return m_env->w(); }
};

void TestGrid::init()
{
    m_env = std::make_unique<TestEnv>();
    m_dir = m_env->makeFolder(QStringLiteral("forty"));
    writePictures(m_dir, 40);
    QVERIFY(m_env->start());
    m_env->openFolder(m_dir);
}

void TestGrid::cleanup()
{
    m_env.reset();
}

void TestGrid::pagingThroughFortyFiles()
{
    checkPage(w(), 0);
    w().grid().PageDown_Click();
    checkPage(w(), 36);
    for (int k = 4; k < 36; ++k)
        QVERIFY(showsUnselected(w().Text1[size_t(k)]));
    w().grid().PageUp_Click();
    checkPage(w(), 0);
    // From the second page, Page Up returns to the first and a click on cell 0 selects file 0.
    w().grid().PageDown_Click();
    w().grid().PageUp_Click();
    w().selection().Image1_Click(0);
    QVERIFY(w().File1->Selected(0));
    QCOMPARE(w().marks().selectFlag(0), 1);
}

void TestGrid::upwardButtonsStopAtTheFirstPage()
{
    w().grid().PageUp_Click();
    checkPage(w(), 0);
    w().grid().ScrollUp_Click(0);
    checkPage(w(), 0);
}

void TestGrid::rowScrolling()
{
    w().grid().scrolldown_Click();
    checkPage(w(), 6);
    w().grid().ScrollUp_Click(0);
    checkPage(w(), 0);
}

void TestGrid::pagingPastTheEndShowsEmptyPages()
{
    for (int i = 0; i < 5; ++i)
        w().grid().PageDown_Click();
    QCOMPARE(w().position().PageStart, 180);
    for (int k = 0; k < 36; ++k) {
        QVERIFY(w().Text1[size_t(k)]->text().isEmpty());
        QVERIFY(!w().Image1[size_t(k)]->hasPicture());
    }
    // Empty cells ignore clicks.
    w().selection().Text1_Click(0);
    w().selection().Image1_Click(0);
    QCOMPARE(w().marks().SelectedCount, 0);
    w().grid().PageUp_Click();
    QCOMPARE(w().position().PageStart, 144);
}

void TestGrid::clickingTogglesSelection()
{
    w().selection().Image1_Click(3);
    QVERIFY(showsSelected(w().Text1[3]));
    QVERIFY(w().File1->Selected(3));
    QCOMPARE(w().marks().selectFlag(3), 1);
    QCOMPARE(w().marks().SelectedCount, 1);
    w().selection().Text1_Click(3);
    QVERIFY(showsUnselected(w().Text1[3]));
    QVERIFY(!w().File1->Selected(3));
    QCOMPARE(w().marks().selectFlag(3), 0);
    QCOMPARE(w().marks().SelectedCount, 0);
    // On the second page a click selects the file the cell shows.
    w().grid().PageDown_Click();
    w().selection().Text1_Click(2);
    QVERIFY(w().File1->Selected(38));
    QVERIFY(!w().File1->Selected(2));
}

void TestGrid::clicksOnEmptyCellsAreIgnored()
{
    w().grid().PageDown_Click(); // files 36..39 in cells 0..3
    w().selection().Image1_Click(10);
    w().selection().Text1_Click(10);
    QCOMPARE(w().marks().SelectedCount, 0);
    QVERIFY(showsUnselected(w().Text1[10]));
}

void TestGrid::realMouseClicks()
{
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    QTest::mouseClick(w().Image1[7], Qt::LeftButton);
    QVERIFY(w().File1->Selected(7));
    QTest::mouseClick(w().Text1[7], Qt::LeftButton);
    QVERIFY(!w().File1->Selected(7));
    // A double-click toggles the selection once, with its first click, on a thumbnail (which then
    // opens the enlarged view) and on a caption alike.
    mouseDoubleClick(w().Image1[8]);
    QVERIFY(w().File1->Selected(8));
    QVERIFY(w().Picture2->isVisible());
    QCOMPARE(pictureNumber(w().Picture2->drawnPicture()), 8);
    w().viewer().Picture2_Click();
    mouseDoubleClick(w().Text1[9]);
    QVERIFY(w().File1->Selected(9));
    QCOMPARE(w().marks().SelectedCount, 2);
}

void TestGrid::selectAllAndNone()
{
    TestEnv env;
    const QString three = env.makeFolder(QStringLiteral("three"));
    writePictures(three, 3);
    m_env->openFolder(three);
    w().selection().Image1_Click(1);
    w().toolbar().Toolbar1_ButtonClick(QStringLiteral("SelectAll"));
    QCOMPARE(w().marks().SelectedCount, 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(w().File1->Selected(i));
        QCOMPARE(w().marks().selectFlag(i), 1);
    }
    for (int k = 0; k < 36; ++k)
        QVERIFY(showsSelected(w().Text1[size_t(k)])); // the empty cells too
    w().toolbar().Toolbar1_ButtonClick(QStringLiteral("SelectNone"));
    QCOMPARE(w().marks().SelectedCount, 0);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!w().File1->Selected(i));
    for (int k = 0; k < 36; ++k)
        QVERIFY(showsUnselected(w().Text1[size_t(k)]));
}

void TestGrid::selectionSurvivesPaging()
{
    w().selection().Image1_Click(7);
    w().grid().scrolldown_Click();
    // File 7 is now in cell 1.
    QVERIFY(showsSelected(w().Text1[1]));
    QVERIFY(showsUnselected(w().Text1[7]));
    w().grid().ScrollUp_Click(0);
    QVERIFY(showsSelected(w().Text1[7]));
    QVERIFY(showsUnselected(w().Text1[1]));
    w().grid().PageDown_Click();
    w().grid().PageUp_Click();
    QVERIFY(showsSelected(w().Text1[7]));
    QCOMPARE(w().marks().SelectedCount, 1);
}

void TestGrid::hoverShowsTheName()
{
    w().selection().Image1_MouseMove(7);
    QCOMPARE(w().Text6->text(), QStringLiteral("pic007.jpg"));
    w().selection().Text1_MouseMove(8);
    QCOMPARE(w().Text6->text(), QStringLiteral("pic008.jpg"));
    // The caption is narrow; its tool tip holds the whole name.
    QCOMPARE(w().Text1[8]->toolTip(), QStringLiteral("pic008.jpg"));
    w().grid().PageDown_Click();
    w().selection().Image1_MouseMove(20);
    QCOMPARE(w().Text6->text(), QString());
    // Hovering changes nothing else.
    QCOMPARE(w().marks().SelectedCount, 0);
    QVERIFY(showsUnselected(w().Text1[20]));
}

void TestGrid::toolTipsShowNamesAsTheyAre()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("names"));
    const QStringList names {"<b>bold.jpg", "x&lt;y.jpg", "<i> two  blanks.jpg", "plain.jpg"};
    for (int i = 0; i < names.size(); ++i)
        writePicture(QDir(dir).filePath(names[i]), i);
    m_env->openFolder(dir);
    for (int k = 0; k < names.size(); ++k) {
        const QString name = w().Text1[size_t(k)]->text();
        QVERIFY(names.contains(name));
        // What a tool tip shows: formatted text when the toolkit takes it for some.
        const QString tip = w().Text1[size_t(k)]->toolTip();
        QTextDocument shown;
        if (Qt::mightBeRichText(tip))
            shown.setHtml(tip);
        else
            shown.setPlainText(tip);
        QCOMPARE(shown.toPlainText(), name);
    }
}

void TestGrid::sameNamesInAnotherFolder_data()
{
    QTest::addColumn<int>("first");
    QTest::newRow("first page") << 0;
    QTest::newRow("one row down") << 6;
    QTest::newRow("second page") << 36;
}

void TestGrid::sameNamesInAnotherFolder()
{
    // Cameras name every card's pictures alike: a second folder with the same names, other pictures.
    QFETCH(int, first);
    const QString card = m_env->makeFolder(QStringLiteral("card"));
    for (int i = 0; i < 40; ++i)
        writePicture(QDir(card).filePath(QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), 100 + i);
    while (w().position().PageStart < first)
        w().grid().scrolldown_Click();
    // Without automatic loading the grid keeps showing the first folder's pictures.
    m_env->app().settings.AutoThumbnails = false;
    m_env->openFolder(card);
    for (int k = 0; k < 36; ++k) {
        const int shown = first + k; // the number of the picture in cell k
        const QString name = shown < 40 ? QStringLiteral("pic%1.jpg").arg(shown, 3, 10, QLatin1Char('0')) : QString();
        w().selection().Image1_Click(k);
        QCOMPARE(w().marks().SelectedCount, 0);
        w().selection().Text1_Click(k);
        QCOMPARE(w().marks().SelectedCount, 0);
        w().selection().Image1_MouseMove(k);
        QCOMPARE(w().Text6->text(), name);
        w().selection().Text1_MouseMove(k);
        QCOMPARE(w().Text6->text(), name);
        if (shown < 40) {
            w().viewer().Image1_DblClick(k);
            QCOMPARE(pictureNumber(w().Picture2->drawnPicture()), shown);
        }
    }
    // No file of the new folder was selected: nobody has seen one.
    for (int i = 0; i < 40; ++i)
        QVERIFY(!w().File1->Selected(i));
    m_env->app().settings.PictureSize = false;
    w().viewer().Image1_DblClick(0);
    QCOMPARE(pictureNumber(m_env->app().bigPicture().Picture1->Picture()), first);
    m_env->app().bigPicture().close();

    // Once loaded, the cells stand for the new folder's files.
    w().loader().ButtonLoadThumbs_Click();
    w().selection().Text1_Click(0);
    w().selection().Image1_Click(1);
    QVERIFY(w().File1->Selected(0) && w().File1->Selected(1));
    QCOMPARE(w().marks().SelectedCount, 2);
    w().viewer().Image1_DblClick(0);
    QCOMPARE(pictureNumber(m_env->app().bigPicture().Picture1->Picture()), 100);
    m_env->app().bigPicture().close();
}

void TestGrid::listSelectionsLeaveTheGridAlone()
{
    w().File1->setSelected(2, true);
    w().grid().ShowThumbnailPage();
    w().grid().PageUp_Click();
    QVERIFY(showsUnselected(w().Text1[2]));
    QCOMPARE(w().marks().SelectedCount, 0);
    QVERIFY(w().File1->Selected(2));
}

void TestGrid::thumbnailThatFailedToDecodeIsSelectedByItsCaption()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("bad"));
    copyPicture(QStringLiteral("garbage.jpg"), dir);
    m_env->openFolder(dir);
    w().selection().Image1_Click(0);
    QCOMPARE(w().marks().SelectedCount, 0);
    w().selection().Text1_Click(0);
    QCOMPARE(w().marks().SelectedCount, 1);
    QVERIFY(w().File1->Selected(0));
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
