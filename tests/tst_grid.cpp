// The thumbnail grid: paging, selection by clicks and toolbar, caption colours and hover.
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>

#include "browse/gridwidgets.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

// Grey on black when selected, black on grey when not.
bool looks(const CaptionBox *c, bool selected)
{
    return c->foreColor() == (selected ? CaptionGrey : CaptionBlack)
        && c->backColor() == (selected ? CaptionBlack : CaptionGrey);
}

QString picName(int i)
{
    return QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void paging_data();
    void paging();
    void selection();
    void namesAndPictures();
    void sameNamesInAnotherFolder();

private:
    std::unique_ptr<TestEnv> m_env;
    MainWindow &w() { return m_env->w(); }
};

void TestGrid::init()
{
    m_env = std::make_unique<TestEnv>();
    const QString dir = m_env->makeFolder(QStringLiteral("forty"));
    writePictures(dir, 40);
    QVERIFY(m_env->start());
    m_env->openFolder(dir);
}

void TestGrid::cleanup()
{
    m_env.reset();
}

void TestGrid::paging_data()
{
    // D Page Down, U Page Up, d one row down, u one row up.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("first");
    for (const auto &[steps, first] : std::initializer_list<std::pair<const char *, int>> {
             {"", 0}, {"U", 0}, {"u", 0}, {"d", 6}, {"du", 0}, {"D", 36}, {"DU", 0}, {"DDDDD", 180}, {"DDDDDU", 144}})
        QTest::newRow(*steps ? steps : "start") << QString::fromLatin1(steps) << first;
}

void TestGrid::paging()
{
    QFETCH(QString, steps);
    QFETCH(int, first);
    for (QChar step : steps) {
        if (step == u'D')
            w().grid().PageDown_Click();
        else if (step == u'U')
            w().grid().PageUp_Click();
        else if (step == u'd')
            w().grid().scrolldown_Click();
        else
            w().grid().ScrollUp_Click(0);
    }
    // Files first..first+35 as far as the list goes, each with its own picture.
    for (int k = 0; k < 36; ++k) {
        const int i = first + k;
        QCOMPARE(w().Text1[size_t(k)]->text(), i < 40 ? picName(i) : QString());
        QCOMPARE(pictureNumber(w().Image1[size_t(k)]->picture()), i < 40 ? i : -1);
    }
    QCOMPARE(w().position().PageStart, first);
}

void TestGrid::selection()
{
    GridSelection &s = w().selection();
    // A click toggles the file in the list, its mark, the count and the caption's colours.
    for (bool on : {true, false}) {
        on ? s.Image1_Click(3) : s.Text1_Click(3);
        QVERIFY(looks(w().Text1[3], on));
        QCOMPARE(w().File1->Selected(3), on);
        QCOMPARE(w().marks().selectFlag(3), int(on));
        QCOMPARE(w().marks().SelectedCount, int(on));
    }
    // The mark follows the file as the grid moves.
    s.Image1_Click(7);
    w().grid().scrolldown_Click();
    QVERIFY(looks(w().Text1[1], true) && looks(w().Text1[7], false));
    w().grid().ScrollUp_Click(0);
    // Hovering shows the name and changes nothing else.
    s.Text1_MouseMove(8);
    QCOMPARE(w().Text6->text(), QStringLiteral("pic008.jpg"));
    // On the second page a click selects the file the cell shows; empty cells ignore clicks, and a
    // file selected only in the list is not painted as selected.
    w().File1->setSelected(37, true);
    w().grid().PageDown_Click();
    s.Text1_Click(2);
    s.Image1_Click(10);
    QCOMPARE(w().marks().SelectedCount, 2);
    s.Image1_MouseMove(10);
    QCOMPARE(w().Text6->text(), QString());
    QVERIFY(w().File1->Selected(38) && !w().File1->Selected(2) && looks(w().Text1[10], false));
    QVERIFY(looks(w().Text1[1], false));

    // Select All (again too) marks every file and paints every caption, the empty ones too; Select
    // None undoes it.
    for (const char *button : {"SelectAll", "SelectAll", "SelectNone"}) {
        const bool all = button[6] == 'A';
        w().toolbar().Toolbar1_ButtonClick(QString::fromLatin1(button));
        QCOMPARE(w().marks().SelectedCount, all ? 40 : 0);
        for (int i = 0; i < 40; ++i)
            QVERIFY(w().File1->Selected(i) == all && w().marks().selectFlag(i) == int(all));
        for (int k = 0; k < 36; ++k)
            QVERIFY2(looks(w().Text1[size_t(k)], all), button);
    }

    // A real double-click on a caption toggles once, with its first click.
    w().grid().PageUp_Click();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    mouseDoubleClick(w().Text1[9]);
    QVERIFY(w().File1->Selected(9));
    QCOMPARE(w().marks().SelectedCount, 1);
}

void TestGrid::namesAndPictures()
{
    // Tool tips show names as they are, markup or not; a picture that failed to decode is
    // selected by its caption only.
    const QString dir = m_env->makeFolder(QStringLiteral("names"));
    const QStringList names {"<b>bold.jpg", "x&lt;y.jpg", "<i> two  blanks.jpg"};
    for (int i = 0; i < names.size(); ++i)
        writePicture(QDir(dir).filePath(names[i]), i);
    copyPicture(QStringLiteral("garbage.jpg"), dir);
    m_env->openFolder(dir);
    for (int k = 0; k < 4; ++k) {
        const QString tip = w().Text1[size_t(k)]->toolTip();
        QTextDocument shown;
        Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
        QCOMPARE(shown.toPlainText(), w().File1->List(k));
        if (w().File1->List(k) != QStringLiteral("garbage.jpg"))
            continue;
        w().selection().Image1_Click(k);
        QCOMPARE(w().marks().SelectedCount, 0);
        w().selection().Text1_Click(k);
        QVERIFY(w().marks().SelectedCount == 1 && w().File1->Selected(k));
    }
}

void TestGrid::sameNamesInAnotherFolder()
{
    // Cameras name every card's pictures alike: a second folder with the same names, other
    // pictures. Without automatic loading the grid keeps showing the first folder's pictures, so
    // its cells stand for no file of the new folder, though the names agree.
    const QString card = m_env->makeFolder(QStringLiteral("card"));
    for (int i = 0; i < 40; ++i)
        writePicture(QDir(card).filePath(picName(i)), 100 + i);
    w().grid().scrolldown_Click();
    m_env->app().settings.AutoThumbnails = false;
    m_env->openFolder(card);
    for (int k = 0; k < 36; ++k)
        k % 2 ? w().selection().Image1_Click(k) : w().selection().Text1_Click(k);
    QVERIFY(w().File1->selectedNames().isEmpty() && w().marks().SelectedCount == 0);

    // Once loaded, the cells stand for the new folder's files.
    w().loader().ButtonLoadThumbs_Click();
    w().selection().Text1_Click(0);
    w().selection().Image1_Click(1);
    QVERIFY(w().File1->Selected(0) && w().File1->Selected(1));
    QCOMPARE(w().marks().SelectedCount, 2);
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
