// Pictures that would cost gigabytes and files that never answer. Each hostile file is a few bytes
// made here; a child process makes its thumbnail and tells how much its peak memory grew, which
// must stay within 64 MB, with no picture, or none of the file's text in the one it shows. A FIFO
// named like a picture, a link to one, a device or a folder gives nothing, at once.
#include <cstring>
#include <zlib.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QtConcurrent>

#include "platform/desktopthumbnails.h"
#include "platform/picturedecoder.h"
#include "tests/testsupport.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

namespace {
const QSize Cell(65, 57);

QByteArray le(quint32 v, int bytes, bool big = false)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(v >> (8 * (big ? bytes - 1 - i : i)) & 0xFF);
    return out;
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &body)
{
    const QByteArray covered = type + body;
    return le(quint32(body.size()), 4, true) + covered
        + le(quint32(crc32(0, reinterpret_cast<const Bytef *>(covered.constData()), uInt(covered.size()))), 4, true);
}

// A PNG of size whose pixels are followed by the given tEXt chunks and by twelve zTXt chunks that
// each inflate to 7.5 MB.
QByteArray pngWithText(QSize size, const QList<QByteArray> &text = {})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    QByteArray chunks;
    for (const QByteArray &keyAndValue : text)
        chunks += pngChunk("tEXt", keyAndValue);
    const QByteArray bomb = qCompress(QByteArray(7'500'000, 'a'), 9).mid(4);
    for (int i = 0; i < 12; ++i)
        chunks += pngChunk("zTXt", "Comment"_ba + '\0' + '\0' + bomb);
    return png.insert(png.size() - 12, chunks);
}

QByteArray iconHolding(const QByteArray &image)
{
    return "\0\0\1\0\1\0\1\1\0\0\1\0\x20\0"_ba + le(quint32(image.size()), 4) + le(22, 4) + image;
}

// 43 bytes: a 1 x 1 frame on a canvas of side x side.
QByteArray gifOnCanvas(int side)
{
    return "GIF89a"_ba + le(side, 2) + le(side, 2) + "\x80\0\0\0\0\0\xff\xff\xff"_ba + "\x21\xf9\4\0\0\0\0\0"_ba
        + ",\0\0\0\0\1\0\1\0\0\2\2\x44\1\0;"_ba;
}

// 166 bytes: the head of a JPEG of side x side up to its first scan, which the file cuts short.
QByteArray jpegHead(int side, bool progressive)
{
    return "\xff\xd8\xff\xdb\0\x43\0"_ba + QByteArray(64, 1) + (progressive ? "\xff\xc2"_ba : "\xff\xc0"_ba)
        + "\0\x11\x08"_ba + le(side, 2, true) + le(side, 2, true) + "\3\1\x11\0\2\x11\0\3\x11\0"_ba
        + "\xff\xc4\0\x14\0\1"_ba + QByteArray(16, 0) + "\xff\xc4\0\x14\x10\1"_ba + QByteArray(16, 0)
        + "\xff\xda\0\x0c\3\1\0\2\0\3\0\0"_ba + (progressive ? "\0\0"_ba : "\x3f\0"_ba) + QByteArray(16, 0)
        + "\xff\xd9"_ba;
}

qint64 peakKiB()
{
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// The child: after every reader has been used once, makes path's thumbnail and prints how much its
// peak memory grew (KiB), whether there is a picture, how many texts it keeps, and its source.
int childMeasures(const QString &path)
{
    for (const char *warm : {"progressive.jpg", "static.gif", "rgb24.bmp", "multisize.ico", "png256.ico"})
        makeThumbnail(QDir(picturesFolder()).filePath(QLatin1String(warm)), Cell);
    const qint64 before = peakKiB();
    const Thumbnail t = makeThumbnail(path, Cell);
    std::printf("%lld %d %lld %d\n", peakKiB() - before, int(!t.image.isNull()), qint64(t.image.textKeys().size()),
        int(t.source));
    return 0;
}

} // namespace

class TestHostilePictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(u"qt.gui.imageio.jpeg.warning=false"_s); }
    void eachPictureCostsLittleMemory();
    void filesThatNeverAnswerGiveNothingAtOnce();

private:
    TestEnv m_env;
};

void TestHostilePictures::eachPictureCostsLittleMemory()
{
    const QDir dir(m_env.makeFolder(u"hostile"_s));
    // A sound desktop thumbnail of a picture, with text of 90 MB besides its own.
    const QString shown = dir.filePath(u"shown.jpg"_s);
    writePicture(shown, 5, QSize(320, 240));
    const QByteArray uri = desktopThumbnailUri(shown);
    const QString cache = desktopThumbnailFolder() + u"/normal/"_s;
    QDir().mkpath(cache);
    writeFile(cache + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png",
        pngWithText(QSize(128, 96),
            {"Thumb::URI\0"_ba + uri,
                "Thumb::MTime\0"_ba + QByteArray::number(fileIdentity(shown).modifiedSeconds())}));
    // A 12 MP picture, progressive (chroma halved each way), with a comment: shown, without it.
    QImage camera(4000, 3000, QImage::Format_RGB32);
    camera.fill(Qt::darkYellow);
    QImageWriter writer(dir.filePath(u"camera.jpg"_s), "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setText(u"Description"_s, u"a comment"_s);
    QVERIFY(writer.write(camera));

    // name, its bytes (unless written above), whether a picture is shown and where it comes from;
    // an icon's PNG image is shown without its text.
    const std::tuple<QString, QByteArray, bool, ThumbnailSource> rows[] = {
        {u"shown.jpg"_s, {}, true, ThumbnailSource::Desktop},
        {u"canvas.gif"_s, gifOnCanvas(5792), false, ThumbnailSource::None},
        {u"png-text.jpg"_s, pngWithText(QSize(1, 1)), false, ThumbnailSource::None},
        {u"png-text.ico"_s, iconHolding(pngWithText(QSize(1, 1))), true, ThumbnailSource::Decoded},
        {u"png-text-cut.ico"_s, iconHolding(pngWithText(QSize(1, 1)).chopped(12)), false, ThumbnailSource::None},
        {u"declares-16000.jpg"_s, jpegHead(16000, true), false, ThumbnailSource::None},
        {u"declares-26000.jpg"_s, jpegHead(26000, true), false, ThumbnailSource::None},
        {u"baseline-40000.jpg"_s, jpegHead(40000, false), false, ThumbnailSource::None},
        {u"camera.jpg"_s, {}, true, ThumbnailSource::Decoded},
    };
    for (const auto &[name, bytes, picture, source] : rows) {
        if (!bytes.isEmpty())
            writeFile(dir.filePath(name), bytes);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--peak-of"_s, dir.filePath(name)});
        QVERIFY(child.waitForFinished(120000));
        const QList<QByteArray> said = child.readAllStandardOutput().trimmed().split(' ');
        QVERIFY2(child.exitCode() == 0 && said.size() == 4, qPrintable(name));
        const qint64 growthKiB = said[0].toLongLong();
        qInfo("%s: peak memory grew by %.1f MB", qPrintable(name), growthKiB / 1024.0);
        QVERIFY2(growthKiB <= 64 * 1024, qPrintable(name));
        // A picture or none as expected, holding no text, from where it was expected.
        QCOMPARE(said.mid(1), (QList<QByteArray> {picture ? "1" : "0", "0", QByteArray::number(int(source))}));
    }
}

void TestHostilePictures::filesThatNeverAnswerGiveNothingAtOnce()
{
    const QDir dir(m_env.makeFolder(u"never"_s));
    const QString fifo = dir.filePath(u"x.jpg"_s);
    QCOMPARE(QProcess::execute(u"mkfifo"_s, {fifo}), 0);
    QVERIFY(QFile::link(fifo, dir.filePath(u"y.jpg"_s)));
    QVERIFY(QFile::link(u"/dev/zero"_s, dir.filePath(u"zero.jpg"_s)));
    QVERIFY(dir.mkdir(u"folder.jpg"_s));
    for (const QString &name : {u"x.jpg"_s, u"y.jpg"_s, u"zero.jpg"_s, u"folder.jpg"_s}) {
        const QString path = dir.filePath(name);
        QFuture<bool> nothing = QtConcurrent::run([path] {
            const Thumbnail t = makeThumbnail(path, Cell);
            return t.image.isNull() && !t.file.valid && decodePicture(path, Cell).isNull()
                && decodePictureToFit(path, {}).isNull() && !pictureSize(path).isValid();
        });
        // Should it wait on the FIFO, a writer lets it go, so the suite goes on.
        const auto release = qScopeGuard([&] {
            if (!nothing.isFinished())
                QFile(fifo).open(QIODevice::WriteOnly);
        });
        QTRY_VERIFY2_WITH_TIMEOUT(nothing.isFinished(), qPrintable(name), 10000);
        QVERIFY2(nothing.result(), qPrintable(name));
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-of") == 0)
        return childMeasures(QFile::decodeName(argv[2]));
    TestHostilePictures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostilepictures.moc"
