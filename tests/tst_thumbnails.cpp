// Thumbnails: decoding (formats and broken files, scaling, orientation on every path, embedded EXIF
// thumbnails, malformed EXIF segments), where a load's thumbnails come from (the run's cache keyed
// by file identity, the desktop's thumbnail cache) and what the window does while a load runs.
#include <map>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>

#include "browse/gridwidgets.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailloader.h"
#include "platform/desktopthumbnails.h"
#include "platform/exifthumbnail.h"
#include "platform/picturedecoder.h"
#include "tests/exifwriter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

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

// Covers the cell, and only just: scaled to the cell's shorter side.
bool justCovers(const QImage &img, QSize cell)
{
    return img.width() >= cell.width() && img.height() >= cell.height()
        && (img.width() <= cell.width() + 1 || img.height() <= cell.height() + 1);
}

QByteArray solidJpeg(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return encodeJpeg(img);
}

// What a desktop thumbnailer leaves for a picture, as the standard describes it: a PNG named by
// the MD5 of the picture's URI, with the URI, modification time and size in text chunks. This one
// shows picture number 50, so a thumbnail tells where it came from.
struct DesktopEntry {
    const char *folder = "normal", *uri = nullptr; // uri: another URI than the picture's, under its name
    QSize size = QSize(128, 96);
    qint64 mtimeOffset = 0, sizeOffset = 0; // added to the picture's real time (seconds) and size
    bool recordSize = true, damaged = false;
};

QString writeDesktopEntry(const QString &picture, const DesktopEntry &e = {})
{
    const QFileInfo info(picture);
    const QByteArray uri = desktopThumbnailUri(info.absoluteFilePath());
    const QString folder = desktopThumbnailFolder() + u'/' + QLatin1String(e.folder);
    QDir().mkpath(folder);
    const QString entry = folder + u'/' + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
    writePicture(entry, 50, e.size, "PNG");
    QImage image(entry);
    image.setText(u"Thumb::URI"_s, QString::fromUtf8(e.uri ? QByteArray(e.uri) : uri));
    image.setText(u"Thumb::MTime"_s, QString::number(info.lastModified().toSecsSinceEpoch() + e.mtimeOffset));
    if (e.recordSize)
        image.setText(u"Thumb::Size"_s, QString::number(info.size() + e.sizeOffset));
    QFile f(entry);
    if (!image.save(entry, "PNG") || (e.damaged && !(f.open(QIODevice::ReadWrite) && f.resize(f.size() / 2))))
        qFatal("cannot write %s", qPrintable(entry));
    return entry;
}

} // namespace

class TestThumbnails : public QObject {
    Q_OBJECT
private slots:
    // Damaged files make the JPEG reader complain on every decode; the complaints are expected.
    void initTestCase() { QLoggingCategory::setFilterRules(u"qt.gui.imageio.jpeg.warning=false"_s); }
    void scaling();
    void orientationOnEveryPath();
    void embeddedThumbnailWhenItCoversTheCell();
    void malformedExifFallsBack();
    void desktopThumbnails();
    void thumbnailsBelongToTheFile();
};

void TestThumbnails::scaling()
{
    // A cell's picture covers the cell keeping 4:3, nowhere near the 4000 x 3000 original; a box's
    // picture fits the box, and its pixels stay within a bound; a small picture is never enlarged;
    // an icon shows its largest image.
    const QImage thumb = decodePicture(picture("camera-exif-thumb.jpg"), Cell);
    QVERIFY(thumb.width() >= Cell.width() && thumb.height() >= Cell.height() && thumb.width() <= 2 * Cell.width());
    QVERIFY(qAbs(double(thumb.width()) / thumb.height() - 4.0 / 3.0) < 0.05);
    QCOMPARE(decodePictureToFit(picture("camera-exif-thumb.jpg"), QSize(400, 400)).size(), QSize(400, 300));
    QCOMPARE(decodePictureToFit(picture("camera-exif-thumb.jpg"), QSize(), 3'000'000).size(), QSize(2000, 1500));
    QCOMPARE(decodePicture(picture("orient-1.jpg"), QSize(2000, 2000)).size(), QSize(320, 240));
    QCOMPARE(decodePicture(picture("multisize.ico")).size(), QSize(48, 36));
    // What cannot be decoded gives no picture; cut files may decode in part, and never crash.
    for (const char *n : {"garbage.jpg", "empty.jpg", "text-named.gif", ""})
        QVERIFY2(decodeThumbnail(*n ? picture(n) : QString(), Cell).isNull(), n);
    decodeThumbnail(picture("truncated.jpg"), Cell);
    // What a cut file never reached is blank, never whatever memory held (this one ends after its
    // header).
    for (const QImage &cut :
        {decodePicture(picture("truncated.bmp")), decodeThumbnail(picture("truncated.bmp"), Cell)}) {
        QImage blank(cut.size(), cut.format());
        blank.fill(Qt::white);
        QVERIFY(!cut.isNull() && cut == blank);
    }
}

void TestThumbnails::orientationOnEveryPath()
{
    // Each shared picture is 320 x 240 upright; it is written again with a camera's EXIF segment
    // holding its orientation and a thumbnail of its stored pixels (in big-endian byte order for
    // even orientations). The 160 x 120 thumbnail covers 130 x 100 only when turned upright.
    TestEnv env;
    const QString file = env.root() + u"/o.jpg"_s;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString shared = picture(u"orient-%1.jpg"_s.arg(orientation));
        QCOMPARE(pictureSize(shared), QSize(320, 240));
        QVERIFY2(upright(decodePicture(shared)) && upright(decodePicture(shared, Cell)), qPrintable(shared));
        QImageReader reader(shared);
        reader.setAutoTransform(false);
        const QImage stored = reader.read(), thumb = stored.scaled(stored.size() / 2);
        writeFile(file, withExif(encodeJpeg(stored, 95), orientation, encodeJpeg(thumb, 95), orientation % 2 == 0));
        for (const auto &[cover, from] : {std::pair {QSize(130, 100), ThumbnailSource::Embedded},
                 std::pair {QSize(200, 150), ThumbnailSource::Decoded}}) {
            ThumbnailSource source = ThumbnailSource::None;
            const QImage t = decodeThumbnail(file, cover, &source);
            QVERIFY2(upright(t) && source == from && justCovers(t, cover), qPrintable(shared));
        }
    }
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
    const QString file = env.root() + u"/cam.jpg"_s;
    for (const auto &[size, thumbSize, cover, shown] : rows) {
        writeFile(file, withExif(solidJpeg(size, Qt::red), 1, solidJpeg(thumbSize, Qt::blue)));
        ThumbnailSource source = ThumbnailSource::None;
        const QImage t = decodeThumbnail(file, cover, &source);
        QCOMPARE(quadrant(t, 0.5, 0.5), shown);
        QCOMPARE(source, shown == 'B' ? ThumbnailSource::Embedded : ThumbnailSource::Decoded);
        QVERIFY(justCovers(t, cover));
    }
    // The shared camera pictures: one with a thumbnail large enough, one with too small a one.
    for (const auto &[name, from] : {std::pair {"camera-exif-thumb.jpg", ThumbnailSource::Embedded},
             std::pair {"small-exif-thumb.jpg", ThumbnailSource::Decoded}}) {
        ThumbnailSource source = ThumbnailSource::None;
        decodeThumbnail(picture(name), Cell, &source);
        QCOMPARE(source, from);
    }
}

void TestThumbnails::malformedExifFallsBack()
{
    // Offsets in the little-endian structure exifTiff writes: IFD0 at 8 (one entry), IFD1 at 26
    // with compression, offset and length. Either the picture itself decodes (red) or, if the
    // damage also breaks it, there is none.
    const QByteArray thumb = solidJpeg(QSize(160, 120), Qt::blue), good = exifTiff(1, thumb);
    auto patched = [&](qsizetype at, const char *hex) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        return app1Segment(QByteArray(good).replace(at, bytes.size(), bytes));
    };
    const std::pair<const char *, QByteArray> rows[] = {{"not JPEG compressed", patched(26 + 2 + 8, "0100")},
        {"thumbnail offset past the end", patched(26 + 2 + 12 + 8, "ffff0000")},
        {"thumbnail length past the end", patched(26 + 2 + 24 + 8, "ffffff7f")},
        {"IFD1 pointing back at IFD0", patched(8 + 2 + 12, "08000000")},
        {"IFD1 past the end", patched(8 + 2 + 12, "00ffff00")}, {"IFD0 entry count huge", patched(8, "ffff")},
        {"IFD0 offset past the end", patched(4, "ffffffff")}, {"bad byte order", patched(0, "5858")},
        {"thumbnail is not a JPEG", patched(26 + 2 + 36 + 4, "0000")},
        {"thumbnail cut short", app1Segment(good.left(good.size() - thumb.size() / 2))},
        {"no TIFF at all", app1Segment("II")},
        {"segment length beyond the file", QByteArray::fromHex("ffe1fff0457869660000492a00")},
        {"segment length too small", QByteArray::fromHex("ffe10001")}};
    TestEnv env;
    const QString file = env.root() + u"/m.jpg"_s;
    for (const auto &[name, segment] : rows) {
        writeFile(file, solidJpeg(QSize(400, 300), Qt::red).insert(2, segment)); // right after the start marker
        QVERIFY2(readExifHead(file).orientation == 1, name);
        ThumbnailSource source = ThumbnailSource::None;
        const QImage t = decodeThumbnail(file, Cell, &source);
        QVERIFY2(source != ThumbnailSource::Embedded && (t.isNull() || quadrant(t, 0.5, 0.5) == 'R'), name);
    }
    QCOMPARE(parseExifHead(withExif(solidJpeg(QSize(64, 48), Qt::red), 9, {})).orientation, 1); // out of range

    // Random damage: none may crash or read outside its bytes (the sanitizers watch).
    const QByteArray camera = withExif(solidJpeg(QSize(64, 48), Qt::red), 6, thumb, true);
    QVERIFY(!embeddedThumbnail(parseExifHead(camera), Cell).isNull());
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = camera.left(int(rng.bounded(qint64(camera.size())) + 1));
        for (int f = int(rng.bounded(1, 8)); f > 0 && damaged.size() > 2; --f)
            damaged[int(rng.bounded(2, qint64(damaged.size())))] = char(rng.bounded(256));
        const ExifHead head = parseExifHead(damaged);
        QVERIFY(head.orientation >= 1 && head.orientation <= 8);
        embeddedThumbnail(head, Cell);
    }
}

void TestThumbnails::desktopThumbnails()
{
    // The desktop's thumbnail is used only when it is sound, records this file as it is now and
    // covers the cell; it is scaled to just cover it, as a decoded thumbnail is, and the desktop's
    // cache is only read.
    using E = DesktopEntry;
    const std::tuple<const char *, E, bool> rows[] = {{"sound entry", E {}, true},
        {"sound entry without a size", E {.recordSize = false}, true},
        {"large folder", E {.folder = "large", .size = QSize(256, 192)}, true},
        {"modification time differs", E {.mtimeOffset = -1}, false}, {"size differs", E {.sizeOffset = 1}, false},
        {"too small for the cell", E {.size = QSize(60, 45)}, false},
        {"larger than its folder allows", E {.size = QSize(200, 150)}, false}, {"damaged", E {.damaged = true}, false},
        {"records another file", E {.uri = "file:///elsewhere.jpg"}, false}};
    TestEnv env;
    for (const auto &[row, entry, used] : rows) {
        const QString picture = env.root() + u"/%1 a b;#?%ü.jpg"_s.arg(QString::fromLatin1(row));
        writePicture(picture, 1);
        const QString cacheEntry = writeDesktopEntry(picture, entry);
        const QByteArray entryBytes = contentOf(cacheEntry);
        const QImage shown = desktopThumbnail(picture, fileIdentity(picture), Cell);
        QVERIFY2(pictureNumber(shown) == (used ? 50 : -1) && (!used || justCovers(shown, Cell)), row);
        QCOMPARE(contentOf(cacheEntry), entryBytes);
    }

    // The names the desktop's own library (GLib's g_filename_to_uri) gives paths.
    QCOMPARE(desktopThumbnailUri(QString::fromUtf8("/tmp/a b/c[1];#?%\u00fc.jpg")),
        QByteArray("file:///tmp/a%20b/c%5B1%5D%3B%23%3F%25%C3%BC.jpg"));
    QCOMPARE(desktopThumbnailUri("/a/b,$&+@:!~*'()=.jpg"), QByteArray("file:///a/b,$&+@:!~*'()=.jpg"));
    QCOMPARE(desktopThumbnailUri("/t/\"<>\\^`{|}.jpg"), QByteArray("file:///t/%22%3C%3E%5C%5E%60%7B%7C%7D.jpg"));
}

void TestThumbnails::thumbnailsBelongToTheFile()
{
    // A thumbnail belongs to its file's identity, not to its name or place in a list: after a
    // rename that shifts the list, moves in and out, a delete, an edit and two new files (one with
    // a desktop thumbnail), only the edited and the other new file are decoded, and nothing when
    // the folders are visited again.
    TestEnv env;
    const QString dir = env.makeFolder(u"ten"_s), other = env.makeFolder(u"other"_s);
    std::map<QString, int> numberOf; // the picture each file shows
    auto write = [&](const QString &file, int n, QSize size) { writePicture(file, numberOf[file] = n, size); };
    auto move = [&](const QString &from, const QString &to) {
        QVERIFY(to.isEmpty() ? QFile::remove(from) : QFile::rename(from, to));
        numberOf[to] = numberOf[from];
        numberOf.erase(from);
    };
    for (int i = 0; i < 10; ++i) // of two sizes, so decodes finish out of order
        write(dir + u"/pic%1.jpg"_s.arg(i, 3, 10, QLatin1Char('0')), i, i % 3 ? QSize(64, 48) : QSize(640, 480));
    for (int i = 0; i < 5; ++i)
        write(other + u"/o%1.jpg"_s.arg(i), 20 + i, QSize(64, 48));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    auto load = [&](const QString &folder, int decodes) {
        const qint64 before = w.pictures().Decodes;
        folder == w.File1->Path() ? w.loader().ButtonLoadThumbs_Click() : env.openFolder(folder);
        waitForThumbnails(w);
        QCOMPARE(w.pictures().Decodes - before, decodes);
        QCOMPARE(w.File1->ListCount(), std::count_if(numberOf.begin(), numberOf.end(), [&](const auto &f) {
            return QFileInfo(f.first).path() == folder;
        }));
        for (int i = 0; i < w.File1->ListCount(); ++i) {
            const QString file = folder + u'/' + w.File1->List(i);
            QCOMPARE(w.pictures().SlotPaths[size_t(i)], file);
            QCOMPARE(pictureNumber(w.pictures().Image3[size_t(i)]), numberOf[file]);
            QCOMPARE(pictureNumber(w.Image1[size_t(i)]->picture()), numberOf[file]);
        }
    };
    load(other, 5);
    load(dir, 10);
    for (int i = 7; i < 10; ++i) // to names that sort first: the other files move three places on
        move(dir + u"/pic%1.jpg"_s.arg(i, 3, 10, QLatin1Char('0')),
            dir + u"/H %1.jpg"_s.arg(i - 6, 3, 10, QLatin1Char('0')));
    move(dir + u"/pic003.jpg"_s, other + u"/pic003.jpg"_s);
    move(other + u"/o2.jpg"_s, dir + u"/o2.jpg"_s);
    move(dir + u"/pic005.jpg"_s, QString());
    write(dir + u"/pic004.jpg"_s, 30, QSize(64, 40)); // another program writes a new picture into it
    write(dir + u"/new.jpg"_s, 40, QSize(64, 48));
    write(dir + u"/desktop.jpg"_s, 41, QSize(64, 48));
    numberOf[dir + u"/desktop.jpg"_s] = pictureNumber(QImage(writeDesktopEntry(dir + u"/desktop.jpg"_s)));
    load(dir, 2);
    load(other, 0);
    load(dir, 0);
}

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
