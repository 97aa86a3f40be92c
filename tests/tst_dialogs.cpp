// The Options dialog and the settings taking effect at their next use; the picture viewer: the fit
// rule, "Small Picture" over the grid, "Full Size" in BigPicture.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "browse/gridwidgets.h"
#include "dialogs/bigpicture.h"
#include "dialogs/options.h"
#include "dialogs/picturebox.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/twips.h"

using namespace orvella;
using namespace orvella::test;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void optionsDialog();
    void fitRuleAndDecoderBound();
    void viewers();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_pics;
    MainWindow &w() { return m_env->w(); }
    BrowserSettings &settings() { return m_env->app().settings; }
    BigPicture &big() { return m_env->app().bigPicture(); }
    Options &openOptions()
    {
        pressToolbar(w(), QStringLiteral("Options"));
        return m_env->app().options();
    }
    // Opens the dialog, ticks exactly the formats given and presses OK.
    void okWith(const QStringList &formats)
    {
        Options &o = openOptions();
        for (QCheckBox *box : o.Check1)
            box->setChecked(formats.contains(box->text()));
        QTest::mouseClick(o.Command3, Qt::LeftButton);
    }
    QStringList ticked()
    {
        QStringList out;
        for (const QCheckBox *box : m_env->app().options().Check1)
            if (box->isChecked())
                out.append(box->text());
        return out;
    }
};

void TestDialogs::init()
{
    m_env = std::make_unique<TestEnv>();
    m_pics = m_env->makeFolder(QStringLiteral("Pics"));
    writePicture(QDir(m_pics).filePath(QStringLiteral("a-wide.jpg")), 0, QSize(400, 200));
    writePicture(QDir(m_pics).filePath(QStringLiteral("b-tall.jpeg")), 1, QSize(100, 300));
    writePicture(QDir(m_pics).filePath(QStringLiteral("c-large.jpg")), 2, QSize(2400, 1800));
    copyPicture(QStringLiteral("static.gif"), m_pics);
    QVERIFY(m_env->start());
    m_env->openFolder(m_pics);
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
}

void TestDialogs::cleanup()
{
    if (m_env->app().mainWindow())
        m_env->app().options().hide();
    big().close();
    m_env.reset();
}

void TestDialogs::optionsDialog()
{
    // Opening shows the settings; the pattern is empty while the dialog is open.
    Options &o = openOptions();
    QCOMPARE(ticked(), (QStringList {"JPEG", "BMP", "GIF", "ICO"}));
    QCOMPARE(settings().ImageFormat, QString());
    // An OK without a format is refused, but stores the other settings meanwhile.
    o.PermDel->setChecked(true);
    o.ManualThumb->setChecked(true);
    okWith({});
    QCOMPARE(m_env->boxes().shown().value(0).text, QStringLiteral("You must select a Picture Format"));
    QVERIFY(o.isVisible() && !w().isEnabled());
    QVERIFY(!settings().DeleteRecycle && w().ButtonLoadThumbs->isVisible());
    // The close box then leaves every setting, and the boxes, as they were at opening.
    QVERIFY(o.close() && w().isEnabled() && w().ButtonLoadThumbs->isHidden());
    QVERIFY(settings().DeleteRecycle && settings().AutoThumbnails
        && settings().ImageFormat == BrowserSettings::defaultImageFormat());
    settings().PictureSize = settings().DeleteRecycle = settings().AutoThumbnails = false;
    openOptions();
    QVERIFY(o.FullScreen->isChecked() && o.PermDel->isChecked() && o.ManualThumb->isChecked());
    QCOMPARE(ticked(), (QStringList {"JPEG", "BMP", "GIF", "ICO"}));
    // OK stores them; the pattern follows the boxes' order.
    o.SmallPicture->setChecked(true);
    okWith({"ICO", "BMP", "JPEG"});
    QVERIFY(!o.isVisible() && w().isEnabled() && m_env->boxes().shown().size() == 1);
    QVERIFY(settings().PictureSize && !settings().DeleteRecycle && !settings().AutoThumbnails);
    const QString pattern = QStringLiteral("*.jpeg;*.jpg;*.bmp;*.ico;*.icon");
    QCOMPARE(settings().ImageFormat, pattern);
    // Return acts as OK, on the boxes of the last OK; Escape as the close box.
    openOptions();
    QCOMPARE(ticked(), (QStringList {"JPEG", "BMP", "ICO"}));
    o.FullScreen->setChecked(true);
    o.ToRecycle->setChecked(true);
    o.AutoThumb->setChecked(true);
    pressKey(o, Qt::Key_Return);
    QVERIFY(!o.isVisible() && m_env->boxes().shown().size() == 1);
    QVERIFY(!settings().PictureSize && settings().DeleteRecycle && settings().AutoThumbnails);
    QVERIFY(w().ButtonLoadThumbs->isHidden() && settings().ImageFormat == pattern);
    openOptions();
    pressKey(o, Qt::Key_Escape); // the pattern is back, so the dialog closed
    QCOMPARE(settings().ImageFormat, pattern);

    // The settings take effect at their next load; without automatic loading, that is the button's.
    const QString other = m_env->makeFolder(QStringLiteral("Other"));
    writePicture(QDir(other).filePath(QStringLiteral("x.jpg")), 4);
    copyPicture(QStringLiteral("static.gif"), other);
    openOptions();
    o.ManualThumb->setChecked(true);
    okWith({"GIF"});
    m_env->openFolder(other);
    QTest::mouseClick(w().ButtonLoadThumbs, Qt::LeftButton);
    QVERIFY(w().File1->ListCount() == 1 && w().Text1[0]->text() == QStringLiteral("static.gif"));

    // The dialog outlives the main window, keeps the last OK's boxes and works on the new window.
    pressToolbar(w(), QStringLiteral("FileRenamer"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_env->app().fileRenamer()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(&openOptions(), &o);
    QCOMPARE(ticked(), QStringList {"GIF"});
    QVERIFY(o.AutoThumb->isChecked() && !w().isEnabled());
    o.ManualThumb->setChecked(true);
    okWith({"JPEG"});
    QVERIFY(w().isEnabled() && w().ButtonLoadThumbs->isVisible());
}

void TestDialogs::fitRuleAndDecoderBound()
{
    // picture, box, where it is drawn (none for a null rectangle)
    const QList<std::tuple<QSizeF, QSizeF, QRectF>> rows {{{200, 100}, {600, 600}, {0, 1, 600, 300}},
        {{100, 200}, {600, 600}, {150, 1, 300, 600}}, {{100, 100}, {800, 400}, {200, 1, 400, 400}},
        {{30, 10}, {600, 600}, {0, 1, 600, 200}}, {{0, 100}, {600, 600}, {}}, {{100, 100}, {600, 0}, {}}};
    for (const auto &[picture, box, drawn] : rows)
        QCOMPARE(fitPictureRect(picture, box).value_or(QRectF()), drawn);

    // 36 megapixels: more than the image reader decodes in one piece.
    const QString huge = QDir(m_env->root()).filePath(QStringLiteral("huge.jpg"));
    writePicture(huge, 3, QSize(6000, 6000));
    QCOMPARE(decodeForView(huge).size(), QSize(3000, 3000));
}

void TestDialogs::viewers()
{
    // "Full Size": the picture in its own window.
    settings().PictureSize = false;
    w().viewer().Image1_DblClick(2);
    QVERIFY(big().isVisible() && w().Picture2->isHidden() && w().isEnabled());
    QCOMPARE(big().palette().color(QPalette::Window), QColor(Qt::black));
    PictureBox &pic = *big().Picture1;
    QVERIFY(pic.size() == QSize(2400, 1800) && pictureNumber(pic.Picture()) == 2);
    // Cut off equally on opposite sides; the next picture goes where the last one was put.
    QVERIFY(std::abs(2 * pic.x() + pic.width() - big().width()) <= 1 && pic.x() < 0);
    const QPoint place = pic.pos();
    w().viewer().Image1_DblClick(0);
    QVERIFY(pic.size() == QSize(400, 200) && pic.pos() == place);
    big().resize(800, 600);
    QCOMPARE(pic.pos(), QPoint(200, 200));
    QTest::mouseClick(&pic, Qt::LeftButton, {}, QPoint(200, 100));
    QVERIFY(!big().isVisible());
    // Opened again, the window starts afresh; an empty cell shows it black; a click closes it.
    w().viewer().Image1_DblClick(20);
    QVERIFY(big().isVisible() && !pic.hasPicture() && big().size() == QSize(twips(10470), twips(5580)));
    QTest::mouseClick(&big(), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(!big().isVisible());
    // "Small Picture": over the grid.
    settings().PictureSize = true;
    PictureBox &box = *w().Picture2;
    mouseDoubleClick(w().Image1[0]);
    // The double-click's first click selects the file, once.
    QVERIFY(w().File1->Selected(0) && w().marks().SelectedCount == 1);
    QVERIFY(box.isVisible() && w().picHidden->isHidden());
    QCOMPARE(box.drawnRect(), QRectF(0, 1, box.ScaleWidth(), box.ScaleWidth() / 2));
    // Drawn where it says (in twips, 15 to a pixel).
    QCOMPARE(pictureNumber(box.grab(QRect(0, 0, box.width(), int(box.drawnRect().height() / 15))).toImage()), 0);
    // A large file is decoded for the box, larger than its thumbnail, no larger than the box.
    w().viewer().Image1_DblClick(2);
    QVERIFY(w().picHidden->size() == QSize(2400, 1800) && pictureNumber(box.drawnPicture()) == 2);
    QVERIFY(box.drawnPicture().width() <= box.width() && box.drawnPicture().height() <= box.height());
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(box.isHidden());
    // An empty cell is ignored; a file gone since its thumbnail was made gives the empty view.
    w().viewer().Image1_DblClick(10);
    QVERIFY(box.isHidden() && !big().isVisible());
    QVERIFY(QFile::remove(QDir(m_pics).filePath(QStringLiteral("a-wide.jpg"))));
    w().viewer().Image1_DblClick(0);
    QVERIFY(box.isVisible() && box.drawnPicture().isNull() && box.drawnRect().isEmpty());
    // Without automatic loading the grid still shows the previous folder: its own files are shown.
    settings().AutoThumbnails = false;
    const QString other = m_env->makeFolder(QStringLiteral("Other"));
    writePicture(QDir(other).filePath(QStringLiteral("b-tall.jpeg")), 7, QSize(50, 50));
    m_env->openFolder(other);
    w().viewer().Image1_DblClick(1);
    QCOMPARE(pictureNumber(box.drawnPicture()), 1);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
