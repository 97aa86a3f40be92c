// The Options dialog: its layout, what it shows on opening, what OK stores, the close box, the
// remembered format boxes, and the settings taking effect at their next use.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

#include "browse/gridwidgets.h"
#include "dialogs/bigpicture.h"
#include "dialogs/options.h"
#include "dialogs/picturebox.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/twips.h"

using namespace orvella;
using namespace orvella::test;

namespace {

QStringList entriesOf(const FileListBox &list)
{
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.append(list.List(i));
    return out;
}

// Ticks exactly the format boxes whose captions are given.
void tickFormats(Options &o, const QStringList &captions)
{
    for (QCheckBox *box : o.Check1)
        box->setChecked(captions.contains(box->text()));
}

QStringList tickedFormats(const Options &o)
{
    QStringList out;
    for (const QCheckBox *box : o.Check1)
        if (box->isChecked())
            out.append(box->text());
    return out;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layoutFollowsTheTable_data();
    void layoutFollowsTheTable();
    void firstOpeningShowsTheSettings();
    void openingShowsChangedSettings();
    void optionButtonsOfOneFrameFormAGroup();
    void okBuildsThePattern_data();
    void okBuildsThePattern();
    void okStoresTheOtherSettings();
    void noFormatTickedKeepsTheDialogOpen();
    void closeBoxKeepsEverySetting();
    void closeBoxAfterARefusedOk();
    void keysActAsOkAndCloseBox();
    void closeBoxOnTheFirstOpeningKeepsTheBoxes();
    void formatBoxesOutliveTheMainWindow();
    void patternTakesEffectAtTheNextLoad();
    void manualLoadingUsesTheButton();
    void permanentDeleteAtTheNextDelete();
    void fullSizeAtTheNextDoubleClick();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_pics;
    MainWindow &w() { return m_env->w(); }
    BrowserSettings &settings() { return m_env->app().settings; }
    Options &openOptions()
    {
        pressToolbar(w(), QStringLiteral("Options"));
        return m_env->app().options();
    }
};

void TestOptions::init()
{
    m_env = std::make_unique<TestEnv>();
    m_pics = m_env->makeFolder(QStringLiteral("Pics"));
    writePicture(QDir(m_pics).filePath(QStringLiteral("a.jpg")), 0);
    writePicture(QDir(m_pics).filePath(QStringLiteral("b.jpeg")), 1);
    writePicture(QDir(m_pics).filePath(QStringLiteral("c.bmp")), 2, QSize(64, 48), "BMP");
    copyPicture(QStringLiteral("static.gif"), m_pics);
    copyPicture(QStringLiteral("multisize.ico"), m_pics);
    writeFile(QDir(m_pics).filePath(QStringLiteral("f.icon")));
    writeFile(QDir(m_pics).filePath(QStringLiteral("g.png")));
    QVERIFY(m_env->start());
    m_env->openFolder(m_pics);
}

void TestOptions::cleanup()
{
    if (m_env->app().mainWindow())
        m_env->app().options().hide();
    m_env.reset();
}

void TestOptions::layoutFollowsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twipsGeometry");
    QTest::addColumn<QString>("frame");
    auto row = [](const char *name, const char *caption, QRect r, const char *frame) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption) << r
                            << QString::fromLatin1(frame);
    };
    row("Frame2", "Picture View on Double Click", QRect(120, 240, 2295, 1215), "Options");
    row("SmallPicture", "Small Picture", QRect(120, 360, 1455, 255), "Frame2");
    row("FullScreen", "Full Size", QRect(120, 720, 1695, 255), "Frame2");
    row("Frame1", "Delete", QRect(120, 1560, 2295, 1215), "Options");
    row("ToRecycle", "Recycle Bin", QRect(240, 360, 1215, 195), "Frame1");
    row("PermDel", "Permenant Delete", QRect(240, 720, 1815, 195), "Frame1");
    row("Frame3", "Thumbnails", QRect(120, 2880, 4815, 1335), "Options");
    row("AutoThumb", "Automatically Load Thumbnails when navigating Folders.", QRect(240, 360, 4335, 255), "Frame3");
    row("ManualThumb", "Manually Load Thumbnails.", QRect(240, 720, 2415, 255), "Frame3");
    row("Frame4", "Picture Format", QRect(2640, 240, 2295, 1815), "Options");
    row("Check1_0", "JPEG", QRect(120, 360, 1815, 195), "Frame4");
    row("Check1_1", "BMP", QRect(120, 720, 1815, 195), "Frame4");
    row("Check1_2", "GIF", QRect(120, 1080, 1815, 195), "Frame4");
    row("Check1_3", "ICO", QRect(120, 1440, 1815, 195), "Frame4");
    row("Command3", "OK", QRect(4320, 4320, 615, 375), "Options");
}

void TestOptions::layoutFollowsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twipsGeometry);
    QFETCH(QString, frame);
    Options &o = openOptions();
    QCOMPARE(o.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(o.size(), QSize(twips(5100), twips(4830)));
    auto *widget = o.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), frame);
    const QRect design = twipsRect(twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height());
    if (auto *box = qobject_cast<QGroupBox *>(widget)) {
        QCOMPARE(box->title(), caption);
        QCOMPARE(widget->geometry(), design);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), caption);
        // A caption that does not fit widens its button as far as its frame allows.
        QCOMPARE(widget->pos(), design.topLeft());
        QCOMPARE(widget->height(), design.height());
        QVERIFY(widget->width() >= design.width());
        QVERIFY(widget->geometry().right() < widget->parentWidget()->width());
        if (widget->width() > design.width())
            QVERIFY(widget->width() <= widget->sizeHint().width());
    } else {
        QFAIL("unexpected widget kind");
    }
}

void TestOptions::firstOpeningShowsTheSettings()
{
    // The list of formats in force does not matter: the boxes open in their design state.
    m_env->app().settings.ImageFormat = QStringLiteral("*.gif");
    Options &o = openOptions();
    QVERIFY(o.isVisible());
    QVERIFY(!w().isEnabled());
    QVERIFY(o.SmallPicture->isChecked());
    QVERIFY(o.ToRecycle->isChecked());
    QVERIFY(o.AutoThumb->isChecked());
    QCOMPARE(tickedFormats(o), (QStringList {"JPEG", "BMP", "GIF", "ICO"}));
    QCOMPARE(o.FormatsRemembered, 0);
    // While the dialog is open the pattern is empty.
    QCOMPARE(m_env->app().settings.ImageFormat, QString());
    QCOMPARE(o.FormatPatterns[0], QStringLiteral("*.jpeg;*.jpg"));
    QCOMPARE(o.FormatPatterns[1], QStringLiteral("*.bmp"));
    QCOMPARE(o.FormatPatterns[2], QStringLiteral("*.gif"));
    QCOMPARE(o.FormatPatterns[3], QStringLiteral("*.ico;*.icon"));
    QVERIFY(m_env->boxes().shown().isEmpty());
}

void TestOptions::openingShowsChangedSettings()
{
    m_env->app().settings.PictureSize = false;
    m_env->app().settings.DeleteRecycle = false;
    m_env->app().settings.AutoThumbnails = false;
    Options &o = openOptions();
    QVERIFY(o.FullScreen->isChecked() && !o.SmallPicture->isChecked());
    QVERIFY(o.PermDel->isChecked() && !o.ToRecycle->isChecked());
    QVERIFY(o.ManualThumb->isChecked() && !o.AutoThumb->isChecked());
    o.Command3->click();
    // A second opening shows the settings again, not what the widgets held.
    m_env->app().settings.PictureSize = true;
    m_env->app().settings.AutoThumbnails = true;
    openOptions();
    QVERIFY(o.SmallPicture->isChecked());
    QVERIFY(o.PermDel->isChecked());
    QVERIFY(o.AutoThumb->isChecked());
}

void TestOptions::optionButtonsOfOneFrameFormAGroup()
{
    Options &o = openOptions();
    QTest::mouseClick(o.FullScreen, Qt::LeftButton);
    QVERIFY(o.FullScreen->isChecked());
    QVERIFY(!o.SmallPicture->isChecked());
    // The other frames keep their choice.
    QVERIFY(o.ToRecycle->isChecked());
    QVERIFY(o.AutoThumb->isChecked());
    QTest::mouseClick(o.ManualThumb, Qt::LeftButton);
    QVERIFY(!o.AutoThumb->isChecked());
    QVERIFY(o.FullScreen->isChecked());
    QVERIFY(o.ToRecycle->isChecked());
}

void TestOptions::okBuildsThePattern_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("all four") << QStringList {"JPEG", "BMP", "GIF", "ICO"}
                              << QStringLiteral("*.jpeg;*.jpg;*.bmp;*.gif;*.ico;*.icon");
    QTest::newRow("ICO") << QStringList {"ICO"} << QStringLiteral("*.ico;*.icon");
    QTest::newRow("GIF") << QStringList {"GIF"} << QStringLiteral("*.gif");
    QTest::newRow("JPEG") << QStringList {"JPEG"} << QStringLiteral("*.jpeg;*.jpg");
    QTest::newRow("JPEG and GIF") << QStringList {"GIF", "JPEG"} << QStringLiteral("*.jpeg;*.jpg;*.gif");
    QTest::newRow("BMP and ICO") << QStringList {"BMP", "ICO"} << QStringLiteral("*.bmp;*.ico;*.icon");
}

void TestOptions::okBuildsThePattern()
{
    QFETCH(QStringList, ticked);
    QFETCH(QString, pattern);
    Options &o = openOptions();
    tickFormats(o, ticked);
    QTest::mouseClick(o.Command3, Qt::LeftButton);
    QCOMPARE(m_env->app().settings.ImageFormat, pattern);
    QVERIFY(!o.isVisible());
    QVERIFY(w().isEnabled());
    QVERIFY(m_env->boxes().shown().isEmpty());
    QCOMPARE(o.FormatsRemembered, 1);
    for (size_t i = 0; i < 4; ++i)
        QCOMPARE(o.FormatChecked[i], ticked.contains(o.Check1[i]->text()) ? 1 : 0);
    // The next opening shows the boxes of this OK.
    openOptions();
    const QStringList shown = tickedFormats(o);
    QCOMPARE(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(ticked.begin(), ticked.end()));
}

void TestOptions::okStoresTheOtherSettings()
{
    Options &o = openOptions();
    o.FullScreen->setChecked(true);
    o.PermDel->setChecked(true);
    o.ManualThumb->setChecked(true);
    o.Command3->click();
    QVERIFY(!m_env->app().settings.PictureSize);
    QVERIFY(!m_env->app().settings.DeleteRecycle);
    QVERIFY(!m_env->app().settings.AutoThumbnails);
    // The load button shows at once.
    QVERIFY(w().ButtonLoadThumbs->isVisible());

    openOptions();
    o.SmallPicture->setChecked(true);
    o.ToRecycle->setChecked(true);
    o.AutoThumb->setChecked(true);
    o.Command3->click();
    QVERIFY(m_env->app().settings.PictureSize);
    QVERIFY(m_env->app().settings.DeleteRecycle);
    QVERIFY(m_env->app().settings.AutoThumbnails);
    QVERIFY(w().ButtonLoadThumbs->isHidden());
}

void TestOptions::noFormatTickedKeepsTheDialogOpen()
{
    Options &o = openOptions();
    tickFormats(o, {});
    o.PermDel->setChecked(true);
    o.ManualThumb->setChecked(true);
    o.Command3->click();
    QCOMPARE(m_env->boxes().shown().size(), 1);
    QCOMPARE(m_env->boxes().shown()[0].text, QStringLiteral("You must select a Picture Format"));
    QVERIFY(o.isVisible());
    QVERIFY(!w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, QString());
    // The other settings are stored all the same.
    QVERIFY(!m_env->app().settings.DeleteRecycle);
    QVERIFY(!m_env->app().settings.AutoThumbnails);
    QVERIFY(w().ButtonLoadThumbs->isVisible());

    // A second OK with a format closes the dialog.
    tickFormats(o, {"GIF"});
    o.Command3->click();
    QCOMPARE(m_env->boxes().shown().size(), 1);
    QVERIFY(!o.isVisible());
    QVERIFY(w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.gif"));
    QVERIFY(!m_env->app().settings.DeleteRecycle);
}

void TestOptions::closeBoxKeepsEverySetting()
{
    Options &o = openOptions();
    tickFormats(o, {"BMP"});
    o.Command3->click();
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.bmp"));

    openOptions();
    QCOMPARE(m_env->app().settings.ImageFormat, QString());
    tickFormats(o, {"GIF"});
    o.FullScreen->setChecked(true);
    o.PermDel->setChecked(true);
    o.ManualThumb->setChecked(true);
    QVERIFY(o.close());
    QVERIFY(!o.isVisible());
    QVERIFY(w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.bmp"));
    QVERIFY(m_env->app().settings.PictureSize);
    QVERIFY(m_env->app().settings.DeleteRecycle);
    QVERIFY(m_env->app().settings.AutoThumbnails);
    QVERIFY(w().ButtonLoadThumbs->isHidden());
    QVERIFY(m_env->boxes().shown().isEmpty());
    // The boxes remember the last OK, not what was ticked before the close box.
    openOptions();
    QCOMPARE(tickedFormats(o), QStringList {"BMP"});
}

void TestOptions::keysActAsOkAndCloseBox()
{
    Options &o = openOptions();
    tickFormats(o, {"GIF"});
    pressKey(o, Qt::Key_Return);
    QVERIFY(!o.isVisible());
    QVERIFY(w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.gif"));

    openOptions();
    tickFormats(o, {"JPEG"});
    o.PermDel->setChecked(true);
    pressKey(o, Qt::Key_Escape); // as the close box: nothing stored
    QVERIFY(!o.isVisible());
    QVERIFY(w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.gif"));
    QVERIFY(m_env->app().settings.DeleteRecycle);
}

void TestOptions::closeBoxAfterARefusedOk()
{
    Options &o = openOptions();
    tickFormats(o, {});
    o.PermDel->setChecked(true);
    o.ManualThumb->setChecked(true);
    o.Command3->click();
    QVERIFY(o.isVisible());
    QVERIFY(o.close());
    QVERIFY(w().isEnabled());
    QCOMPARE(m_env->app().settings.ImageFormat, BrowserSettings::defaultImageFormat());
    QVERIFY(m_env->app().settings.DeleteRecycle);
    QVERIFY(m_env->app().settings.AutoThumbnails);
    QVERIFY(w().ButtonLoadThumbs->isHidden());
    // The boxes are back as they were at opening too: OK at once is accepted.
    openOptions();
    QCOMPARE(tickedFormats(o), (QStringList {"JPEG", "BMP", "GIF", "ICO"}));
    o.Command3->click();
    QVERIFY(!o.isVisible());
    QCOMPARE(m_env->boxes().shown().size(), 1);
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.jpeg;*.jpg;*.bmp;*.gif;*.ico;*.icon"));
}

void TestOptions::closeBoxOnTheFirstOpeningKeepsTheBoxes()
{
    Options &o = openOptions();
    tickFormats(o, {"GIF"});
    QVERIFY(o.close());
    QCOMPARE(m_env->app().settings.ImageFormat, BrowserSettings::defaultImageFormat());
    // The next opening shows what the first one showed, which is what the settings still list.
    openOptions();
    QCOMPARE(tickedFormats(o), (QStringList {"JPEG", "BMP", "GIF", "ICO"}));
    QCOMPARE(m_env->app().settings.ImageFormat, QString());
    QVERIFY(o.AutoThumb->isChecked());
    o.Command3->click();
    QVERIFY(!o.isVisible());
    QVERIFY(m_env->boxes().shown().isEmpty());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.jpeg;*.jpg;*.bmp;*.gif;*.ico;*.icon"));
}

void TestOptions::formatBoxesOutliveTheMainWindow()
{
    Options &o = openOptions();
    tickFormats(o, {"JPEG", "ICO"});
    o.PermDel->setChecked(true);
    o.Command3->click();
    pressToolbar(w(), QStringLiteral("FileRenamer"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_env->app().mainWindow());
    QVERIFY(m_env->app().fileRenamer()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The new main window starts from the defaults; the dialog still shows the last OK's boxes
    // and works on the new window.
    QCOMPARE(m_env->app().settings.ImageFormat, BrowserSettings::defaultImageFormat());
    QVERIFY(m_env->app().settings.DeleteRecycle);
    Options &again = openOptions();
    QCOMPARE(&again, &o);
    QCOMPARE(tickedFormats(o), (QStringList {"JPEG", "ICO"}));
    QVERIFY(o.ToRecycle->isChecked());
    QVERIFY(!w().isEnabled());
    o.ManualThumb->setChecked(true);
    o.Command3->click();
    QVERIFY(w().isEnabled());
    QVERIFY(w().ButtonLoadThumbs->isVisible());
    QCOMPARE(m_env->app().settings.ImageFormat, QStringLiteral("*.jpeg;*.jpg;*.ico;*.icon"));
}

void TestOptions::patternTakesEffectAtTheNextLoad()
{
    const QStringList byDefault {"a.jpg", "b.jpeg", "c.bmp", "multisize.ico", "static.gif"};
    QCOMPARE(entriesOf(*w().File1), byDefault);
    Options &o = openOptions();
    tickFormats(o, {"GIF"});
    o.Command3->click();
    // Nothing changes until the next load.
    QCOMPARE(entriesOf(*w().File1), byDefault);
    QCOMPARE(w().Text4->text(), QStringLiteral("Total Pictures 5"));
    const QString other = m_env->makeFolder(QStringLiteral("Other"));
    copyPicture(QStringLiteral("static.gif"), other);
    writePicture(QDir(other).filePath(QStringLiteral("z.jpg")), 3);
    m_env->openFolder(other);
    QCOMPARE(entriesOf(*w().File1), QStringList {"static.gif"});
    QCOMPARE(w().Text4->text(), QStringLiteral("Total Pictures 1"));

    openOptions();
    tickFormats(o, {"JPEG", "BMP", "GIF", "ICO"});
    o.Command3->click();
    m_env->openFolder(m_pics);
    QCOMPARE(
        entriesOf(*w().File1), (QStringList {"a.jpg", "b.jpeg", "c.bmp", "f.icon", "multisize.ico", "static.gif"}));
    QCOMPARE(w().Text4->text(), QStringLiteral("Total Pictures 6"));
}

void TestOptions::manualLoadingUsesTheButton()
{
    Options &o = openOptions();
    o.ManualThumb->setChecked(true);
    tickFormats(o, {"BMP"});
    o.Command3->click();
    QVERIFY(w().ButtonLoadThumbs->isVisible());
    const QString other = m_env->makeFolder(QStringLiteral("Other"));
    writePicture(QDir(other).filePath(QStringLiteral("x.bmp")), 4, QSize(64, 48), "BMP");
    writePicture(QDir(other).filePath(QStringLiteral("y.jpg")), 5);
    m_env->openFolder(other);
    // No load: the grid and the count still show the previous folder.
    QCOMPARE(w().Text4->text(), QStringLiteral("Total Pictures 5"));
    QCOMPARE(w().Text1[0]->text(), QStringLiteral("a.jpg"));
    QTest::mouseClick(w().ButtonLoadThumbs, Qt::LeftButton);
    QCOMPARE(entriesOf(*w().File1), QStringList {"x.bmp"});
    QCOMPARE(w().Text4->text(), QStringLiteral("Total Pictures 1"));
    QCOMPARE(w().Text1[0]->text(), QStringLiteral("x.bmp"));
    QCOMPARE(pictureNumber(w().Image1[0]->picture()), 4);
}

void TestOptions::permanentDeleteAtTheNextDelete()
{
    Options &o = openOptions();
    o.PermDel->setChecked(true);
    o.Command3->click();
    w().selection().Image1_Click(0);
    pressToolbar(w(), QStringLiteral("DeleteSelected"));
    QVERIFY(!QFileInfo::exists(QDir(m_pics).filePath(QStringLiteral("a.jpg"))));
    QVERIFY(!QFileInfo::exists(trashFolder() + QStringLiteral("/files/a.jpg")));

    openOptions();
    o.ToRecycle->setChecked(true);
    o.Command3->click();
    w().selection().Image1_Click(0);
    QCOMPARE(w().Text1[0]->text(), QStringLiteral("b.jpeg"));
    pressToolbar(w(), QStringLiteral("DeleteSelected"));
    QVERIFY(!QFileInfo::exists(QDir(m_pics).filePath(QStringLiteral("b.jpeg"))));
    QVERIFY(QFileInfo::exists(trashFolder() + QStringLiteral("/files/b.jpeg")));
}

void TestOptions::fullSizeAtTheNextDoubleClick()
{
    Options &o = openOptions();
    o.FullScreen->setChecked(true);
    o.Command3->click();
    w().viewer().Image1_DblClick(0);
    QVERIFY(m_env->app().bigPicture().isVisible());
    QVERIFY(w().Picture2->isHidden());
    m_env->app().bigPicture().close();

    openOptions();
    o.SmallPicture->setChecked(true);
    o.Command3->click();
    w().viewer().Image1_DblClick(0);
    QVERIFY(!m_env->app().bigPicture().isVisible());
    QVERIFY(w().Picture2->isVisible());
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
