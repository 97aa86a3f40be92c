// The picture viewer: the fit rule, "Small Picture" over the grid, "Full Size" in BigPicture,
// empty cells and files that are gone.
#include <QDir>
#include <QFile>
#include <QTest>

#include "browse/gridwidgets.h"
#include "dialogs/bigpicture.h"
#include "dialogs/picturebox.h"
#include "dialogs/pictureviewer.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/twips.h"

using namespace orvella;
using namespace orvella::test;

namespace {

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24
        && std::abs(a.blue() - b.blue()) < 24;
}

// The number of the test picture whose colour shows at x, y.
int numberAt(const QImage &shot, int x, int y)
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.setPixelColor(0, 0, shot.pixelColor(x, y));
    return pictureNumber(pixel);
}

} // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fitRule_data();
    void fitRule();
    void smallPictureDrawsTheFileFitted();
    void smallPictureOfALargeFileIsDecodedForTheBox();
    void smallPictureIgnoresAnEmptyCell();
    void smallPictureStaysUntilClicked();
    void fullSizeCentresALargePicture();
    void secondDoubleClickWhileOpenKeepsThePlace();
    void clicksCloseBigPicture();
    void fullSizeOfAnEmptyCellIsBlack();
    void fileGoneBeforeTheDoubleClick();
    void gridOfThePreviousFolderShowsItsOwnFiles();
    void picturesBeyondTheDecodersBoundComeSmaller();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_pics;
    MainWindow &w() { return m_env->w(); }
    BigPicture &big() { return m_env->app().bigPicture(); }
};

void TestViewer::init()
{
    m_env = std::make_unique<TestEnv>();
    m_pics = m_env->makeFolder(QStringLiteral("Pics"));
    writePicture(QDir(m_pics).filePath(QStringLiteral("a-wide.jpg")), 0, QSize(400, 200));
    writePicture(QDir(m_pics).filePath(QStringLiteral("b-tall.jpg")), 1, QSize(100, 300));
    writePicture(QDir(m_pics).filePath(QStringLiteral("c-large.jpg")), 2, QSize(2400, 1800));
    QVERIFY(m_env->start());
    m_env->openFolder(m_pics);
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
}

void TestViewer::cleanup()
{
    big().close();
    m_env.reset();
}

void TestViewer::fitRule_data()
{
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QSizeF>("box");
    QTest::addColumn<QRectF>("drawn");
    const QSizeF square(600, 600);
    QTest::newRow("twice as wide") << QSizeF(200, 100) << square << QRectF(0, 1, 600, 300);
    QTest::newRow("twice as high") << QSizeF(100, 200) << square << QRectF(150, 1, 300, 600);
    QTest::newRow("same proportions") << QSizeF(50, 50) << square << QRectF(0, 1, 600, 600);
    QTest::newRow("tie, not square") << QSizeF(300, 200) << QSizeF(600, 400) << QRectF(0, 1, 600, 400);
    QTest::newRow("box wider") << QSizeF(100, 100) << QSizeF(800, 400) << QRectF(200, 1, 400, 400);
    QTest::newRow("enlarged") << QSizeF(30, 10) << square << QRectF(0, 1, 600, 200);
    QTest::newRow("no width") << QSizeF(0, 100) << square << QRectF();
    QTest::newRow("no height") << QSizeF(100, 0) << square << QRectF();
    QTest::newRow("no picture") << QSizeF(0, 0) << square << QRectF();
    QTest::newRow("no box") << QSizeF(100, 100) << QSizeF(600, 0) << QRectF();
}

void TestViewer::fitRule()
{
    QFETCH(QSizeF, picture);
    QFETCH(QSizeF, box);
    QFETCH(QRectF, drawn);
    const std::optional<QRectF> where = fitPictureRect(picture, box);
    if (drawn.isNull()) {
        QVERIFY(!where);
        return;
    }
    QVERIFY(where);
    QCOMPARE(*where, drawn);
}

void TestViewer::smallPictureDrawsTheFileFitted()
{
    PictureBox &box = *w().Picture2;
    QVERIFY(box.isHidden());
    mouseDoubleClick(w().Image1[0]);
    // The double-click's first click selects the file, once.
    QVERIFY(w().File1->Selected(0));
    QCOMPARE(w().marks().SelectedCount, 1);
    QVERIFY(box.isVisible());
    // picHidden stands for the picture at its natural size.
    QCOMPARE(w().picHidden->size(), QSize(400, 200));
    QVERIFY(w().picHidden->isHidden());
    // A wide picture fills the width, one unit below the top.
    QCOMPARE(box.drawnRect(), QRectF(0, 1, box.ScaleWidth(), box.ScaleWidth() / 2));
    QCOMPARE(pictureNumber(box.drawnPicture()), 0);
    // It is really painted there, over the grid.
    const QImage shot = box.grab().toImage();
    const int drawnHeight = int(box.drawnRect().height() / 15);
    QCOMPARE(numberAt(shot, shot.width() / 2, drawnHeight / 2), 0);
    QVERIFY(numberAt(shot, shot.width() / 2, shot.height() - 4) != 0);
    QVERIFY(w().childAt(box.geometry().center()) == &box);

    // A tall picture fills the height, centred across; the earlier drawing is gone. (The view
    // covers the grid: no mouse reaches thumbnail 1 now, its handler is called.)
    w().viewer().Image1_DblClick(1);
    const std::optional<QRectF> tall = fitPictureRect(QSizeF(1500, 4500), QSizeF(box.ScaleWidth(), box.ScaleHeight()));
    QVERIFY(tall);
    QCOMPARE(box.drawnRect(), *tall);
    QCOMPARE(box.drawnRect().height(), box.ScaleHeight());
    QVERIFY(box.drawnRect().x() > 0);
    QCOMPARE(pictureNumber(box.drawnPicture()), 1);

    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(box.isHidden());
    QVERIFY(w().Image1[0]->isVisible());
    QVERIFY(m_env->boxes().shown().isEmpty());
}

void TestViewer::smallPictureOfALargeFileIsDecodedForTheBox()
{
    w().viewer().Image1_DblClick(2);
    PictureBox &box = *w().Picture2;
    QCOMPARE(w().picHidden->size(), QSize(2400, 1800));
    // Decoded from the file (the cell holds only a thumbnail), no larger than the box.
    const QImage drawn = box.drawnPicture();
    QCOMPARE(pictureNumber(drawn), 2);
    QVERIFY(drawn.width() > w().Image1[2]->picture().width());
    QVERIFY(drawn.width() <= box.width() && drawn.height() <= box.height());
    QCOMPARE(box.drawnRect().width(), box.ScaleWidth());
    QCOMPARE(box.drawnRect().height(), box.ScaleWidth() * 3 / 4);
}

void TestViewer::smallPictureIgnoresAnEmptyCell()
{
    mouseDoubleClick(w().Image1[10]);
    QVERIFY(w().Picture2->isHidden());
    QCOMPARE(w().marks().SelectedCount, 0);
    // A listed file without a thumbnail is ignored too.
    writeFile(QDir(m_pics).filePath(QStringLiteral("d-broken.jpg")), "not a picture");
    w().loader().ButtonLoadThumbs_Click();
    QCOMPARE(w().Text1[3]->text(), QStringLiteral("d-broken.jpg"));
    w().viewer().Image1_DblClick(3);
    QVERIFY(w().Picture2->isHidden());
    QVERIFY(!big().isVisible());
}

void TestViewer::smallPictureStaysUntilClicked()
{
    w().viewer().Image1_DblClick(0);
    w().toolbar().Toolbar1_ButtonClick(QStringLiteral("SelectAll"));
    w().grid().ShowThumbnailPage();
    m_env->openFolder(m_env->makeFolder(QStringLiteral("Empty")));
    QVERIFY(w().Picture2->isVisible());
    QCOMPARE(pictureNumber(w().Picture2->drawnPicture()), 0);
    w().viewer().Picture2_Click();
    QVERIFY(w().Picture2->isHidden());
}

void TestViewer::fullSizeCentresALargePicture()
{
    m_env->app().settings.PictureSize = false;
    mouseDoubleClick(w().Image1[2]);
    QVERIFY(big().isVisible());
    QVERIFY(w().Picture2->isHidden());
    // The main window stays usable.
    QVERIFY(w().isEnabled());
    QCOMPARE(big().windowTitle(), QString());
    QCOMPARE(big().size(), QSize(twips(10470), twips(5580)));
    PictureBox &pic = *big().Picture1;
    QCOMPARE(pic.size(), QSize(2400, 1800));
    QCOMPARE(pic.Picture().size(), QSize(2400, 1800));
    QCOMPARE(pictureNumber(pic.Picture()), 2);
    // Cut off equally on opposite sides.
    QVERIFY(pic.x() < 0 && pic.y() < 0);
    QVERIFY(std::abs(2 * pic.x() + pic.width() - big().width()) <= 1);
    QVERIFY(std::abs(2 * pic.y() + pic.height() - big().height()) <= 1);
    QCOMPARE(big().palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(w().marks().SelectedCount, 1);
}

void TestViewer::secondDoubleClickWhileOpenKeepsThePlace()
{
    m_env->app().settings.PictureSize = false;
    w().viewer().Image1_DblClick(2);
    PictureBox &pic = *big().Picture1;
    const QPoint place = pic.pos();
    w().viewer().Image1_DblClick(0);
    QCOMPARE(pictureNumber(pic.Picture()), 0);
    QCOMPARE(pic.size(), QSize(400, 200));
    QCOMPARE(pic.pos(), place);
    // Resizing the window centres the picture again.
    big().resize(800, 600);
    QCOMPARE(pic.pos(), QPoint(200, 200));
}

void TestViewer::clicksCloseBigPicture()
{
    m_env->app().settings.PictureSize = false;
    w().viewer().Image1_DblClick(2);
    QTest::mouseClick(big().Picture1, Qt::LeftButton, {}, QPoint(1300, 1000));
    QVERIFY(!big().isVisible());

    // Opened again, the window starts afresh and centres its new picture.
    w().viewer().Image1_DblClick(0);
    QVERIFY(big().isVisible());
    const QPoint centred((big().width() - 400) / 2, (big().height() - 200) / 2);
    QCOMPARE(big().Picture1->pos(), centred);
    // The black area around the picture closes it too.
    QTest::mouseClick(&big(), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(!big().isVisible());
    QVERIFY(w().isEnabled());
}

void TestViewer::fullSizeOfAnEmptyCellIsBlack()
{
    m_env->app().settings.PictureSize = false;
    w().viewer().Image1_DblClick(20);
    QVERIFY(big().isVisible());
    QVERIFY(!big().Picture1->hasPicture());
    const QImage shot = big().grab().toImage();
    QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::black));
    QTest::mouseClick(&big(), Qt::LeftButton, {}, QPoint(big().width() / 2, big().height() / 2));
    QVERIFY(!big().isVisible());
}

void TestViewer::fileGoneBeforeTheDoubleClick()
{
    w().viewer().Image1_DblClick(1);
    QVERIFY(w().Picture2->drawnRect().isValid());
    QVERIFY(QFile::remove(QDir(m_pics).filePath(QStringLiteral("a-wide.jpg"))));
    QVERIFY(w().Image1[0]->hasPicture());
    w().viewer().Image1_DblClick(0);
    // The empty view: shown, with nothing drawn, and closed by a click.
    QVERIFY(w().Picture2->isVisible());
    QVERIFY(w().Picture2->drawnPicture().isNull());
    QVERIFY(w().Picture2->drawnRect().isEmpty());
    QCOMPARE(w().picHidden->size(), QSize(0, 0));
    w().viewer().Picture2_Click();
    QVERIFY(w().Picture2->isHidden());

    m_env->app().settings.PictureSize = false;
    w().viewer().Image1_DblClick(0);
    QVERIFY(big().isVisible());
    QVERIFY(!big().Picture1->hasPicture());
    QVERIFY(m_env->boxes().shown().isEmpty());
}

void TestViewer::gridOfThePreviousFolderShowsItsOwnFiles()
{
    // Without automatic loading a folder change leaves the grid on the previous folder.
    m_env->app().settings.AutoThumbnails = false;
    const QString other = m_env->makeFolder(QStringLiteral("Other"));
    writePicture(QDir(other).filePath(QStringLiteral("b-tall.jpg")), 7, QSize(50, 50));
    m_env->openFolder(other);
    QCOMPARE(w().Text1[1]->text(), QStringLiteral("b-tall.jpg"));
    w().viewer().Image1_DblClick(1);
    QCOMPARE(pictureNumber(w().Picture2->drawnPicture()), 1);
    QCOMPARE(w().picHidden->size(), QSize(100, 300));
}

void TestViewer::picturesBeyondTheDecodersBoundComeSmaller()
{
    // 36 megapixels: more than the image reader decodes in one piece.
    const QString huge = QDir(m_env->root()).filePath(QStringLiteral("huge.jpg"));
    {
        QImage img(6000, 6000, QImage::Format_RGB32);
        img.fill(QColor(200, 30, 30));
        QVERIFY(img.save(huge, "JPG", 50));
    }
    const QImage shown = decodeForView(huge);
    QCOMPARE(shown.size(), QSize(3000, 3000));
    QVERIFY(near(shown.pixelColor(1500, 1500), QColor(200, 30, 30)));
    const QImage fitted = decodeForView(huge, QSize(400, 300));
    QCOMPARE(fitted.size(), QSize(300, 300));
    QVERIFY(decodeForView(QDir(m_pics).filePath(QStringLiteral("missing.jpg"))).isNull());
    QVERIFY(decodeForView(QString()).isNull());
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
