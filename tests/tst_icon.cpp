// The windows carry the icon that is installed in the icon theme, picture for picture.
#include <QImage>
#include <QTest>

#include "fileops/movefilewindow.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"

using namespace orvella;
using namespace orvella::test;

class TestIcon : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsTheInstalledIcon();
};

void TestIcon::everyWindowShowsTheInstalledIcon()
{
    TestEnv env;
    QVERIFY(env.start());
    QList<QIcon> icons {env.w().windowIcon(), env.w().panel().chooser().windowIcon()};
    icons.append(env.app().showFileRenamer().windowIcon()); // the renamer takes the main window's place
    for (const QIcon &icon : icons)
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QImage installed(QStringLiteral(ORVELLA_ICON_DIR "/%1.png").arg(size));
            QVERIFY2(!installed.isNull(), "cannot read the installed icon");
            QCOMPARE(icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                installed.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
}

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
