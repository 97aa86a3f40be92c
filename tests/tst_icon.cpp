// The windows carry the icon that is installed in the icon theme, picture for picture.
#include <QImage>
#include <QTest>

#include "fileops/movefilewindow.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"

using namespace orvella;
using namespace orvella::test;

namespace {

const int iconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Compares a window's icon with the PNGs drawn for installation; empty when they agree.
QString differenceFromInstalledIcon(const QIcon &icon)
{
    if (icon.isNull())
        return QStringLiteral("no icon");
    for (int size : iconSizes) {
        const QString file = QStringLiteral(ORVELLA_ICON_DIR "/%1.png").arg(size);
        const QImage installed(file);
        if (installed.isNull())
            return QStringLiteral("cannot read ") + file;
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        if (shown.size() != installed.size())
            return QStringLiteral("the %1 px picture is %2 x %3").arg(size).arg(shown.width()).arg(shown.height());
        if (shown.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            != installed.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            return QStringLiteral("the %1 px picture differs from %2").arg(size).arg(file);
    }
    return {};
}

} // namespace

class TestIcon : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsTheInstalledIcon();
};

void TestIcon::everyWindowShowsTheInstalledIcon()
{
    TestEnv env;
    QVERIFY(env.start());
    QCOMPARE(differenceFromInstalledIcon(env.w().windowIcon()), QString());

    QCOMPARE(differenceFromInstalledIcon(env.w().panel().chooser().windowIcon()), QString());

    BulkSorter &renamer = env.app().showFileRenamer();
    QCOMPARE(differenceFromInstalledIcon(renamer.windowIcon()), QString());
}

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
