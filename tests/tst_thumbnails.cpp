// Thumbnails at camera scale: embedded EXIF thumbnails, orientation on both paths, malformed
// EXIF segments, and the parallel load keeping every slot, progress value and decode count right.
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include "browse/gridwidgets.h"
#include "platform/exifthumbnail.h"
#include "platform/picturedecoder.h"
#include "tests/exifwriter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

const QSize Cell(65, 57);

bool upright(const QImage &img)
{
    return img.width() > img.height() && quadrant(img, 0.1, 0.1) == 'R' && quadrant(img, 0.9, 0.1) == 'G'
        && quadrant(img, 0.1, 0.9) == 'B' && quadrant(img, 0.9, 0.9) == 'W';
}

QImage storedPixels(const QString &file)
{
    QImageReader reader(file);
    reader.setAutoTransform(false);
    return reader.read();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QImage solid(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

} // namespace

class TestThumbnails : public QObject {
    Q_OBJECT
private slots:
    // Damaged files make the JPEG reader complain on every decode; the complaints are expected.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false")); }
    void embeddedThumbnailUsedWhenLargeEnough();
    void embeddedThumbnailOfTheSharedCameraPictures();
    void orientationOnBothPaths_data();
    void orientationOnBothPaths();
    void malformedSegmentsFallBack_data();
    void malformedSegmentsFallBack();
    void randomlyDamagedSegmentsNeverCrash();
    void parallelLoadFillsEverySlotWithItsFile();
    void progressValuesInOrder();
    void otherFormatsGoTheSamePath();
};

void TestThumbnails::embeddedThumbnailUsedWhenLargeEnough()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("cam"));
    // The main picture is red, its embedded thumbnail blue: the colour tells which was used.
    const QByteArray main = encodeJpeg(solid(QSize(800, 600), Qt::red));
    const QString big = dir + QStringLiteral("/big.jpg");
    writeBytes(big, withExif(main, 1, encodeJpeg(solid(QSize(160, 120), Qt::blue))));
    ThumbnailSource source = ThumbnailSource::None;
    QImage t = decodeThumbnail(big, Cell, &source);
    QCOMPARE(source, ThumbnailSource::Embedded);
    QCOMPARE(quadrant(t, 0.5, 0.5), 'B');
    QVERIFY(t.width() >= Cell.width() && t.height() >= Cell.height());

    // A cell twice as large in device pixels is not covered by 160 x 120 any more.
    t = decodeThumbnail(big, QSize(200, 150), &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
    QCOMPARE(quadrant(t, 0.5, 0.5), 'R');

    // Too small a thumbnail is ignored.
    const QString small = dir + QStringLiteral("/small.jpg");
    writeBytes(small, withExif(main, 1, encodeJpeg(solid(QSize(40, 30), Qt::blue))));
    t = decodeThumbnail(small, Cell, &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
    QCOMPARE(quadrant(t, 0.5, 0.5), 'R');

    // A thumbnail of other proportions than the picture (padded with bars) is not used.
    const QString padded = dir + QStringLiteral("/padded.jpg");
    writeBytes(
        padded, withExif(encodeJpeg(solid(QSize(900, 300), Qt::red)), 1, encodeJpeg(solid(QSize(160, 120), Qt::blue))));
    decodeThumbnail(padded, Cell, &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
}

void TestThumbnails::embeddedThumbnailOfTheSharedCameraPictures()
{
    ThumbnailSource source = ThumbnailSource::None;
    const QImage camera
        = decodeThumbnail(QDir(picturesFolder()).filePath(QStringLiteral("camera-exif-thumb.jpg")), Cell, &source);
    QCOMPARE(source, ThumbnailSource::Embedded);
    QVERIFY(camera.width() >= Cell.width() && camera.height() >= Cell.height());
    decodeThumbnail(QDir(picturesFolder()).filePath(QStringLiteral("small-exif-thumb.jpg")), Cell, &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
}

void TestThumbnails::orientationOnBothPaths_data()
{
    QTest::addColumn<int>("orientation");
    for (int o = 1; o <= 8; ++o)
        QTest::addRow("orientation %d", o) << o;
}

void TestThumbnails::orientationOnBothPaths()
{
    QFETCH(int, orientation);
    TestEnv env;
    // The shared picture's stored pixels, written again with a camera's EXIF segment holding the
    // orientation and a thumbnail of those same stored pixels.
    const QImage stored
        = storedPixels(QDir(picturesFolder()).filePath(QStringLiteral("orient-%1.jpg").arg(orientation)));
    QVERIFY(!stored.isNull());
    const QImage thumb = stored.scaled(stored.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString file = env.makeFolder(QStringLiteral("o")) + QStringLiteral("/o.jpg");
    writeBytes(file, withExif(encodeJpeg(stored, 95), orientation, encodeJpeg(thumb, 95), orientation % 2 == 0));

    ThumbnailSource source = ThumbnailSource::None;
    const QImage embedded = decodeThumbnail(file, Cell, &source);
    QCOMPARE(source, ThumbnailSource::Embedded);
    QVERIFY2(upright(embedded), "the embedded thumbnail is not upright");

    const QImage decoded = decodeThumbnail(file, QSize(200, 150), &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
    QVERIFY2(upright(decoded), "the scaled decode is not upright");
    QVERIFY(decoded.width() >= 200 && decoded.height() >= 150);
    QVERIFY(decoded.width() < 320);
}

void TestThumbnails::malformedSegmentsFallBack_data()
{
    QTest::addColumn<QByteArray>("segment");
    const QByteArray thumb = encodeJpeg(solid(QSize(160, 120), Qt::blue));
    const QByteArray good = exifTiff(1, thumb);
    auto patched = [&](qsizetype at, QByteArray bytes) {
        QByteArray t = good;
        t.replace(at, bytes.size(), bytes);
        return app1Segment(t);
    };
    // Offsets in the little-endian structure exifTiff writes: IFD0 at 8 (one entry), IFD1 at 26.
    QTest::newRow("thumbnail offset past the end") << patched(26 + 2 + 12 + 8, QByteArray("\xff\xff\x00\x00", 4));
    QTest::newRow("thumbnail length past the end") << patched(26 + 2 + 24 + 8, QByteArray("\xff\xff\xff\x7f", 4));
    QTest::newRow("IFD1 pointing back at IFD0") << patched(8 + 2 + 12, QByteArray("\x08\x00\x00\x00", 4));
    QTest::newRow("IFD1 past the end") << patched(8 + 2 + 12, QByteArray("\x00\xff\xff\x00", 4));
    QTest::newRow("IFD0 entry count huge") << patched(8, QByteArray("\xff\xff", 2));
    QTest::newRow("IFD0 offset past the end") << patched(4, QByteArray("\xff\xff\xff\xff", 4));
    QTest::newRow("bad byte order") << patched(0, QByteArray("XX", 2));
    QTest::newRow("thumbnail is not a JPEG") << patched(26 + 2 + 36 + 4, QByteArray("\x00\x00", 2));
    QTest::newRow("thumbnail cut short") << app1Segment(good.left(good.size() - thumb.size() / 2));
    QTest::newRow("no TIFF at all") << app1Segment(QByteArray("II"));
    QTest::newRow("segment length beyond the file") << QByteArray("\xFF\xE1\xFF\xF0"
                                                                  "Exif\0\0II*\0",
        14);
    QTest::newRow("segment length too small") << QByteArray("\xFF\xE1\x00\x01", 4);
}

void TestThumbnails::malformedSegmentsFallBack()
{
    QFETCH(QByteArray, segment);
    TestEnv env;
    const QString file = env.makeFolder(QStringLiteral("m")) + QStringLiteral("/m.jpg");
    const QByteArray main = encodeJpeg(solid(QSize(400, 300), Qt::red));
    writeBytes(file, withSegment(main, segment));
    const ExifHead head = readExifHead(file);
    QVERIFY(head.orientation >= 1 && head.orientation <= 8);
    ThumbnailSource source = ThumbnailSource::None;
    const QImage t = decodeThumbnail(file, Cell, &source);
    // Either the picture itself decodes (red) or, if the damage also breaks it, the slot is empty.
    QVERIFY(source != ThumbnailSource::Embedded);
    if (!t.isNull())
        QCOMPARE(quadrant(t, 0.5, 0.5), 'R');
}

void TestThumbnails::randomlyDamagedSegmentsNeverCrash()
{
    const QByteArray thumb = encodeJpeg(solid(QSize(160, 120), Qt::blue));
    const QByteArray good = withExif(encodeJpeg(solid(QSize(64, 48), Qt::red)), 6, thumb, true);
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = good.left(int(rng.bounded(qint64(good.size())) + 1));
        const int flips = int(rng.bounded(1, 8));
        for (int f = 0; f < flips && damaged.size() > 2; ++f)
            damaged[int(rng.bounded(2, qint64(damaged.size())))] = char(rng.bounded(256));
        const ExifHead head = parseExifHead(damaged);
        QVERIFY(head.orientation >= 1 && head.orientation <= 8);
        embeddedThumbnail(head, Cell);
    }
    // The point is that none crashed or read outside its bytes (the sanitizers watch); the
    // undamaged file still gives its thumbnail.
    QVERIFY(!embeddedThumbnail(parseExifHead(good), Cell).isNull());
}

void TestThumbnails::parallelLoadFillsEverySlotWithItsFile()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("many"));
    // Pictures of several sizes, so decodes finish out of order.
    for (int i = 0; i < 400; ++i)
        writePicture(QDir(dir).filePath(QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), i % 216,
            i % 3 == 0 ? QSize(640, 480) : QSize(64, 48));
    QVERIFY(env.start());
    env.openFolder(dir);
    MainWindow &w = env.w();
    QCOMPARE(w.pictures().Decodes, qint64(400));
    for (int i = 0; i < 400; ++i)
        QCOMPARE(pictureNumber(w.pictures().Image3[size_t(i)]), i % 216);
    for (int k = 0; k < 36; ++k)
        QCOMPARE(pictureNumber(w.Image1[size_t(k)]->picture()), k);
}

void TestThumbnails::progressValuesInOrder()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("eight"));
    writePictures(dir, 8);
    QVERIFY(env.start());
    QSignalSpy progress(env.w().ProgressBar1, &QProgressBar::valueChanged);
    env.openFolder(dir);
    QList<int> values;
    for (const auto &args : progress)
        values.append(args.at(0).toInt());
    QCOMPARE(values, (QList<int> {12, 25, 38, 50, 62, 75, 88, 100}));
}

void TestThumbnails::otherFormatsGoTheSamePath()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("mixed"));
    const QStringList files {"rgb24.bmp", "palette8.bmp", "rle.bmp", "alpha32.bmp", "mono1.bmp", "static.gif",
        "interlaced.gif", "animated.gif", "multisize.ico", "png256.ico", "progressive.jpg", "cmyk.jpg", "grayscale.jpg",
        "camera-exif-thumb.jpg"};
    for (const QString &f : files)
        copyPicture(f, dir);
    QVERIFY(env.start());
    env.openFolder(dir);
    MainWindow &w = env.w();
    QCOMPARE(w.File1->ListCount(), int(files.size()));
    for (int i = 0; i < w.File1->ListCount(); ++i) {
        QVERIFY2(!w.pictures().Image3[size_t(i)].isNull(), qPrintable(w.File1->List(i)));
        QVERIFY2(w.pictures().Image3[size_t(i)].width() <= 4 * Cell.width(), qPrintable(w.File1->List(i)));
    }
}

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
