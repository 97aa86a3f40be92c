// Decoding pictures and their thumbnails: formats and broken files, scaling, orientation on both
// paths, embedded EXIF thumbnails and malformed EXIF segments.
#include "tests/exifwriter.h"
#include "tests/testsupport.h"

#include "platform/exifthumbnail.h"
#include "platform/picturedecoder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

const QSize Cell(65, 57);

QString picture(const QString &name)
{
    return QDir(picturesFolder()).filePath(name);
}

bool upright(const QImage &img)
{
    return img.width() > img.height() && quadrant(img, 0.1, 0.1) == 'R' && quadrant(img, 0.9, 0.1) == 'G'
        && quadrant(img, 0.1, 0.9) == 'B' && quadrant(img, 0.9, 0.9) == 'W';
}

QByteArray solidJpeg(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return encodeJpeg(img);
}

} // namespace

class TestThumbnails : public QObject {
    Q_OBJECT
private slots:
    // Damaged files make the JPEG reader complain on every decode; the complaints are expected.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false")); }
    void formatsAndBrokenFiles();
    void scaling();
    void orientationOnEveryPath_data();
    void orientationOnEveryPath();
    void embeddedThumbnailWhenItCoversTheCell();
    void malformedSegmentsFallBack_data();
    void malformedSegmentsFallBack();
    void randomlyDamagedSegmentsNeverCrash();
};

void TestThumbnails::formatsAndBrokenFiles()
{
    for (const char *n : {"progressive.jpg", "cmyk.jpg", "grayscale.jpg", "UPPER CASE.JPG", "rgb24.bmp", "palette8.bmp",
             "rle.bmp", "alpha32.bmp", "mono1.bmp", "static.gif", "interlaced.gif", "animated.gif", "multisize.ico",
             "png256.ico", "small-exif-thumb.jpg"})
        QVERIFY2(!decodeThumbnail(picture(n), Cell).isNull(), n);
    for (const char *n : {"garbage.jpg", "empty.jpg", "text-named.gif"})
        QVERIFY2(decodeThumbnail(picture(n), Cell).isNull(), n);
    // Cut files may decode in part; they must only never crash.
    for (const char *n : {"truncated.jpg", "truncated.bmp"})
        decodeThumbnail(picture(n), Cell);
    QVERIFY(decodePicture(QString()).isNull());
    QCOMPARE(decodePicture(picture("multisize.ico")).size(), QSize(48, 36)); // its largest image
}

void TestThumbnails::scaling()
{
    // A cell's picture covers the cell keeping 4:3, nowhere near the 4000 x 3000 original; a box's
    // picture fits the box; a small picture is never enlarged.
    const QImage thumb = decodePicture(picture("camera-exif-thumb.jpg"), Cell);
    QVERIFY(thumb.width() >= Cell.width() && thumb.height() >= Cell.height() && thumb.width() <= 2 * Cell.width());
    QVERIFY(qAbs(double(thumb.width()) / thumb.height() - 4.0 / 3.0) < 0.05);
    QCOMPARE(decodePictureToFit(picture("camera-exif-thumb.jpg"), QSize(400, 400)).size(), QSize(400, 300));
    QCOMPARE(decodePicture(picture("orient-1.jpg"), QSize(2000, 2000)).size(), QSize(320, 240));
}

void TestThumbnails::orientationOnEveryPath_data()
{
    QTest::addColumn<int>("orientation");
    for (int o = 1; o <= 8; ++o)
        QTest::addRow("orientation %d", o) << o;
}

void TestThumbnails::orientationOnEveryPath()
{
    // The shared picture is 320 x 240 upright; it is written again with a camera's EXIF segment
    // holding the orientation and a thumbnail of its stored pixels (in big-endian byte order for
    // even orientations).
    QFETCH(int, orientation);
    const QString shared = picture(QStringLiteral("orient-%1.jpg").arg(orientation));
    QCOMPARE(pictureSize(shared), QSize(320, 240));
    QVERIFY(upright(decodePicture(shared)));
    QVERIFY(upright(decodePicture(shared, Cell)));
    QImageReader reader(shared);
    reader.setAutoTransform(false);
    const QImage stored = reader.read();
    const QImage thumb = stored.scaled(stored.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    TestEnv env;
    const QString file = env.root() + QStringLiteral("/o.jpg");
    writeFile(file, withExif(encodeJpeg(stored, 95), orientation, encodeJpeg(thumb, 95), orientation % 2 == 0));

    // The 160 x 120 thumbnail covers 130 x 100 only when turned upright.
    ThumbnailSource source = ThumbnailSource::None;
    QVERIFY2(upright(decodeThumbnail(file, QSize(130, 100), &source)), "the embedded thumbnail is not upright");
    QCOMPARE(source, ThumbnailSource::Embedded);
    const QImage decoded = decodeThumbnail(file, QSize(200, 150), &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
    QVERIFY2(upright(decoded), "the scaled decode is not upright");
    QVERIFY(decoded.width() >= 200 && decoded.height() >= 150 && decoded.width() < 320);
}

void TestThumbnails::embeddedThumbnailWhenItCoversTheCell()
{
    // The main picture is red, its embedded thumbnail blue: the colour tells which was used. A
    // thumbnail is used when it covers the cell and has the picture's proportions (a camera pads
    // one of other proportions with bars).
    const std::tuple<QSize, QSize, QSize, char> rows[]
        = {{{800, 600}, {160, 120}, Cell, 'B'}, {{800, 600}, {160, 120}, {200, 150}, 'R'},
            {{800, 600}, {40, 30}, Cell, 'R'}, {{900, 300}, {160, 120}, Cell, 'R'}};
    TestEnv env;
    const QString file = env.root() + QStringLiteral("/cam.jpg");
    for (const auto &[size, thumbSize, cover, shown] : rows) {
        writeFile(file, withExif(solidJpeg(size, Qt::red), 1, solidJpeg(thumbSize, Qt::blue)));
        ThumbnailSource source = ThumbnailSource::None;
        const QImage t = decodeThumbnail(file, cover, &source);
        QCOMPARE(quadrant(t, 0.5, 0.5), shown);
        QCOMPARE(source, shown == 'B' ? ThumbnailSource::Embedded : ThumbnailSource::Decoded);
        QVERIFY(t.width() >= cover.width() && t.height() >= cover.height());
        QVERIFY(t.width() <= cover.width() + 1 || t.height() <= cover.height() + 1); // just covers
    }
    // The shared camera pictures: one with a thumbnail large enough, one with too small a one.
    ThumbnailSource source = ThumbnailSource::None;
    decodeThumbnail(picture("camera-exif-thumb.jpg"), Cell, &source);
    QCOMPARE(source, ThumbnailSource::Embedded);
    decodeThumbnail(picture("small-exif-thumb.jpg"), Cell, &source);
    QCOMPARE(source, ThumbnailSource::Decoded);
}

void TestThumbnails::malformedSegmentsFallBack_data()
{
    QTest::addColumn<QByteArray>("segment");
    const QByteArray thumb = solidJpeg(QSize(160, 120), Qt::blue);
    const QByteArray good = exifTiff(1, thumb);
    auto patched = [&](qsizetype at, QByteArray bytes) {
        return app1Segment(QByteArray(good).replace(at, bytes.size(), bytes));
    };
    // Offsets in the little-endian structure exifTiff writes: IFD0 at 8 (one entry), IFD1 at 26
    // with compression, offset and length.
    QTest::newRow("not JPEG compressed") << patched(26 + 2 + 8, QByteArray("\x01\x00", 2));
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
    const QString file = env.root() + QStringLiteral("/m.jpg");
    writeFile(file, withSegment(solidJpeg(QSize(400, 300), Qt::red), segment));
    const ExifHead head = readExifHead(file);
    QVERIFY(head.orientation >= 1 && head.orientation <= 8);
    ThumbnailSource source = ThumbnailSource::None;
    const QImage t = decodeThumbnail(file, Cell, &source);
    // Either the picture itself decodes (red) or, if the damage also breaks it, the slot is empty.
    QVERIFY(source != ThumbnailSource::Embedded);
    QVERIFY(t.isNull() || quadrant(t, 0.5, 0.5) == 'R');
}

void TestThumbnails::randomlyDamagedSegmentsNeverCrash()
{
    // None may crash or read outside its bytes (the sanitizers watch); the undamaged file still
    // gives its thumbnail.
    const QByteArray good = withExif(solidJpeg(QSize(64, 48), Qt::red), 6, solidJpeg(QSize(160, 120), Qt::blue), true);
    QVERIFY(!embeddedThumbnail(parseExifHead(good), Cell).isNull());
    QCOMPARE(parseExifHead(withExif(solidJpeg(QSize(64, 48), Qt::red), 9, {})).orientation, 1); // out of range
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = good.left(int(rng.bounded(qint64(good.size())) + 1));
        for (int f = int(rng.bounded(1, 8)); f > 0 && damaged.size() > 2; --f)
            damaged[int(rng.bounded(2, qint64(damaged.size())))] = char(rng.bounded(256));
        const ExifHead head = parseExifHead(damaged);
        QVERIFY(head.orientation >= 1 && head.orientation <= 8);
        embeddedThumbnail(head, Cell);
    }
}

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
