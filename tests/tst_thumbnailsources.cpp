// Where a load's thumbnails come from: the run's cache keyed by file identity (decode counts after
// a revisit, a rename, a move, a delete, an edit; the budget), the desktop's thumbnail cache; and
// what the window does while a load runs.
#include "tests/testsupport.h"

#include "browse/gridwidgets.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailloader.h"
#include "platform/desktopthumbnails.h"
#include "platform/fileidentity.h"
#include "platform/filelistbox.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <map>

using namespace orvella;
using namespace orvella::test;

namespace {

const QSize Cell(65, 57);

// What a desktop thumbnailer leaves for a picture, as the standard describes it: a PNG named by
// the MD5 of the picture's URI, with the URI, modification time and size in text chunks. This one
// shows picture number 50, so a thumbnail tells where it came from.
struct DesktopEntry {
    const char *folder = "normal";
    QSize size = QSize(128, 96);
    qint64 mtimeOffset = 0; // seconds added to the picture's real time
    qint64 sizeOffset = 0; // bytes added to the picture's real size
    bool recordSize = true;
    bool damaged = false;
    const char *uri = nullptr; // another URI than the picture's, under the picture's name
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
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(e.uri ? QByteArray(e.uri) : uri));
    image.setText(
        QStringLiteral("Thumb::MTime"), QString::number(info.lastModified().toSecsSinceEpoch() + e.mtimeOffset));
    if (e.recordSize)
        image.setText(QStringLiteral("Thumb::Size"), QString::number(info.size() + e.sizeOffset));
    QFile f(entry);
    if (!image.save(entry, "PNG") || (e.damaged && !(f.open(QIODevice::ReadWrite) && f.resize(f.size() / 2))))
        qFatal("cannot write %s", qPrintable(entry));
    return entry;
}

} // namespace

Q_DECLARE_METATYPE(DesktopEntry)

class TestThumbnailSources : public QObject {
    Q_OBJECT
private slots:
    void decodeCounts_data();
    void decodeCounts();
    void cacheKeepsTheCurrentLoadAndEvictsTheLeastRecent();
    void desktopThumbnails_data();
    void desktopThumbnails();
    void duringALoad_data();
    void duringALoad();
};

enum class Change { Revisit, Reload, RenameShift, MoveOut, MoveIn, Delete, EditInPlace, CopyIn, DesktopCopyIn };
Q_DECLARE_METATYPE(Change)

void TestThumbnailSources::decodeCounts_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("decodes");
    QTest::newRow("revisit after another folder") << Change::Revisit << 0;
    QTest::newRow("reload of the same folder") << Change::Reload << 0;
    QTest::newRow("rename shifting the whole list") << Change::RenameShift << 0;
    QTest::newRow("move out") << Change::MoveOut << 0;
    QTest::newRow("move in from a folder seen before") << Change::MoveIn << 0;
    QTest::newRow("delete") << Change::Delete << 0;
    QTest::newRow("edited in place") << Change::EditInPlace << 1;
    QTest::newRow("a new file") << Change::CopyIn << 1;
    QTest::newRow("a new file the desktop has a thumbnail of") << Change::DesktopCopyIn << 0;
}

void TestThumbnailSources::decodeCounts()
{
    QFETCH(Change, change);
    QFETCH(int, decodes);
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("ten")), other = env.makeFolder(QStringLiteral("other"));
    auto path = [&](const QString &name) { return QDir(dir).filePath(name); };
    // Pictures of two sizes, so decodes finish out of order; numberOf is what each file shows.
    std::map<QString, int> numberOf;
    for (int i = 0; i < 10; ++i) {
        numberOf[QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'))] = i;
        writePicture(path(QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), i,
            i % 3 == 0 ? QSize(640, 480) : QSize(64, 48));
    }
    for (int i = 0; i < 5; ++i)
        writePicture(QDir(other).filePath(QStringLiteral("o%1.jpg").arg(i)), 20 + i);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(other);
    env.openFolder(dir);
    QCOMPARE(w.state.Decodes, qint64(15));

    switch (change) {
    case Change::Revisit:
        env.openFolder(other);
        break;
    case Change::Reload:
        break;
    case Change::RenameShift:
        // The last three take a name that sorts first: every other file moves three places on.
        for (int i = 7; i < 10; ++i) {
            const QString from = QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
            const QString to = QStringLiteral("H %1.jpg").arg(i - 6, 3, 10, QLatin1Char('0'));
            QVERIFY(QFile::rename(path(from), path(to)));
            numberOf[to] = numberOf[from];
            numberOf.erase(from);
        }
        break;
    case Change::MoveOut:
        QVERIFY(QFile::rename(path(QStringLiteral("pic003.jpg")), QDir(other).filePath(QStringLiteral("pic003.jpg"))));
        numberOf.erase(QStringLiteral("pic003.jpg"));
        break;
    case Change::MoveIn:
        QVERIFY(QFile::rename(QDir(other).filePath(QStringLiteral("o2.jpg")), path(QStringLiteral("o2.jpg"))));
        numberOf[QStringLiteral("o2.jpg")] = 22;
        break;
    case Change::Delete:
        QVERIFY(QFile::remove(path(QStringLiteral("pic005.jpg"))));
        numberOf.erase(QStringLiteral("pic005.jpg"));
        break;
    case Change::EditInPlace: // another program writes a new picture into the same file
        writePicture(path(QStringLiteral("pic004.jpg")), 30, QSize(64, 40));
        numberOf[QStringLiteral("pic004.jpg")] = 30;
        break;
    case Change::CopyIn:
    case Change::DesktopCopyIn:
        writePicture(path(QStringLiteral("pic004b.jpg")), 40);
        numberOf[QStringLiteral("pic004b.jpg")] = change == Change::CopyIn ? 40 : 50;
        if (change == Change::DesktopCopyIn)
            writeDesktopEntry(path(QStringLiteral("pic004b.jpg")));
        break;
    }
    const qint64 before = w.state.Decodes;
    if (change == Change::Revisit)
        env.openFolder(dir);
    else
        w.ButtonLoadThumbs_Click();
    QCOMPARE(w.state.Decodes - before, decodes);
    QCOMPARE(w.File1->ListCount(), int(numberOf.size()));
    for (int i = 0; i < w.File1->ListCount(); ++i) {
        const QString name = w.File1->List(i);
        QCOMPARE(w.state.SlotPaths[size_t(i)], path(name));
        QCOMPARE(pictureNumber(w.state.Image3[size_t(i)]), numberOf[name]);
        QCOMPARE(pictureNumber(w.Image1[size_t(i)]->picture()), numberOf[name]);
    }
}

void TestThumbnailSources::cacheKeepsTheCurrentLoadAndEvictsTheLeastRecent()
{
    auto file = [](quint64 inode) { return FileIdentity {1, inode, 100, 5, true}; };
    QImage thumb(Cell, QImage::Format_RGB32);
    thumb.fill(Qt::red);
    const qint64 each = thumb.sizeInBytes();
    ThumbnailCache cache(3 * each);
    // One load of five: all kept beyond the budget while they are the current load.
    cache.beginLoad();
    for (quint64 i = 1; i <= 5; ++i)
        cache.insert(file(i), Cell, thumb);
    QCOMPARE(cache.count(), 5);
    QCOMPARE(cache.otherBytes(), 0);
    // The next load sees 2 and 4 again and adds 6; after one more load the others are 1 to 6, and
    // the three least recently used (1, 3, 5) went to fit three thumbnails' bytes.
    cache.beginLoad();
    QVERIFY(cache.find(file(2), Cell) && cache.find(file(4), Cell));
    cache.insert(file(6), Cell, thumb);
    QCOMPARE(cache.count(), 6);
    cache.beginLoad();
    cache.insert(file(7), Cell, thumb);
    QCOMPARE(cache.otherBytes(), 3 * each);
    for (quint64 i = 1; i <= 7; ++i)
        QVERIFY2(bool(cache.find(file(i), Cell)) == (i % 2 == 0 || i == 7), qPrintable(QString::number(i)));
    // A thumbnail is valid only for the size it was made for, and for the file as it was.
    QVERIFY(!cache.find(file(2), Cell * 2));
    QVERIFY(!cache.find(FileIdentity {1, 2, 100, 6, true}, Cell));
    QVERIFY(!cache.find(FileIdentity {1, 2, 101, 5, true}, Cell));
    // A picture that could not be decoded is remembered as such.
    cache.insert(file(8), Cell, QImage());
    QVERIFY(cache.find(file(8), Cell).value_or(thumb).isNull());
    // A smaller budget evicts at once what no longer fits.
    cache.beginLoad();
    cache.setBudget(each);
    QVERIFY(cache.otherBytes() <= each);
}

void TestThumbnailSources::desktopThumbnails_data()
{
    QTest::addColumn<DesktopEntry>("entry");
    QTest::addColumn<bool>("used");
    QTest::newRow("sound entry") << DesktopEntry {} << true;
    QTest::newRow("sound entry without a size") << DesktopEntry {.recordSize = false} << true;
    QTest::newRow("large folder") << DesktopEntry {.folder = "large", .size = QSize(256, 192)} << true;
    QTest::newRow("modification time differs") << DesktopEntry {.mtimeOffset = -1} << false;
    QTest::newRow("size differs") << DesktopEntry {.sizeOffset = 1} << false;
    QTest::newRow("too small for the cell") << DesktopEntry {.size = QSize(60, 45)} << false;
    QTest::newRow("larger than its folder allows") << DesktopEntry {.size = QSize(200, 150)} << false;
    QTest::newRow("damaged") << DesktopEntry {.damaged = true} << false;
    QTest::newRow("records another file") << DesktopEntry {.uri = "file:///elsewhere.jpg"} << false;
}

void TestThumbnailSources::desktopThumbnails()
{
    QFETCH(DesktopEntry, entry);
    QFETCH(bool, used);
    TestEnv env;
    const QString picture = env.root() + QStringLiteral("/a b;#?%ü.jpg");
    writePicture(picture, 1);
    const QString cacheEntry = writeDesktopEntry(picture, entry);
    const QByteArray entryBytes = contentOf(cacheEntry);
    const QImage shown = desktopThumbnail(picture, fileIdentity(picture), Cell);
    QCOMPARE(pictureNumber(shown), used ? 50 : -1);
    // Scaled to just cover the cell, as a decoded thumbnail is; the desktop's cache is read only.
    QVERIFY(!used || (shown.width() >= Cell.width() && shown.height() >= Cell.height()));
    QVERIFY(!used || shown.width() <= Cell.width() + 1 || shown.height() <= Cell.height() + 1);
    QCOMPARE(contentOf(cacheEntry), entryBytes);

    // The names the desktop's own library (GLib's g_filename_to_uri) gives paths.
    QCOMPARE(desktopThumbnailUri(QString::fromUtf8("/tmp/a b/c[1];#?%\u00fc.jpg")),
        QByteArray("file:///tmp/a%20b/c%5B1%5D%3B%23%3F%25%C3%BC.jpg"));
    QCOMPARE(desktopThumbnailUri("/a/b,$&+@:!~*'()=.jpg"), QByteArray("file:///a/b,$&+@:!~*'()=.jpg"));
    QCOMPARE(desktopThumbnailUri("/t/\"<>\\^`{|}.jpg"), QByteArray("file:///t/%22%3C%3E%5C%5E%60%7B%7C%7D.jpg"));
}

enum class DuringLoad { Click, Paint, Close, Handlers };
Q_DECLARE_METATYPE(DuringLoad)

void TestThumbnailSources::duringALoad_data()
{
    QTest::addColumn<DuringLoad>("what");
    QTest::newRow("a click waits until the load has ended") << DuringLoad::Click;
    QTest::newRow("the window system is answered during it") << DuringLoad::Paint;
    QTest::newRow("a close request closes after it") << DuringLoad::Close;
    QTest::newRow("handlers start nothing during it") << DuringLoad::Handlers;
}

void TestThumbnailSources::duringALoad()
{
    QFETCH(DuringLoad, what);
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("load"));
    writePictures(dir, 20);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWindow *window = w.windowHandle();
    // The window system's requests to paint the window, handled while the load runs.
    struct ExposeCounter : QObject {
        MainWindow *w = nullptr;
        int count = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            count += e->type() == QEvent::Expose && w->loading();
            return false;
        }
    } exposes;
    exposes.w = &w;
    window->installEventFilter(&exposes);

    bool selectedDuringLoad = false, hiddenDuringLoad = false;
    const auto unhook = qScopeGuard([] { ThumbnailLoader::setSlotFilledHookForTesting({}); });
    ThumbnailLoader::setSlotFilledHookForTesting([&](qsizetype slot) {
        if (slot == 5 && what == DuringLoad::Click) {
            // A click on caption 3 comes from the window system, as the user's would.
            const QPointF at = w.Text1[3]->mapTo(&w, QPointF(w.Text1[3]->rect().center()));
            for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QWindowSystemInterface::handleMouseEvent(window, at, window->mapToGlobal(at),
                    t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, t);
        } else if (slot == 5 && what == DuringLoad::Paint) { // the logo's part of the window was uncovered
            QWindowSystemInterface::handleExposeEvent(window, QRegion(w.Picture1->geometry()));
        } else if (slot == 5 && what == DuringLoad::Close) { // from the window manager, and from the program
            QWindowSystemInterface::handleCloseEvent(window);
            w.close();
        } else if (slot == 5) {
            w.ButtonLoadThumbs_Click();
            w.Text1_Click(2);
            w.PageDown_Click();
            w.OpenFileRenamer();
            w.Toolbar1_ButtonClick(QStringLiteral("DeleteSelected"));
        }
        selectedDuringLoad = selectedDuringLoad || w.File1->Selected(3) || w.File1->Selected(2);
        hiddenDuringLoad = hiddenDuringLoad || !w.isVisible();
    });
    const qint64 before = w.state.Decodes;
    env.openFolder(dir);
    ThumbnailLoader::setSlotFilledHookForTesting({});
    QCOMPARE(w.state.Decodes - before, 20);
    QVERIFY(!selectedDuringLoad && !hiddenDuringLoad && !w.loading());
    // The event loop runs again: what waited is handled now. Nothing else was started: no second
    // load, no box, no other window, the first page shown.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(w.File1->Selected(3), what == DuringLoad::Click);
    QCOMPARE(w.state.SelectedCount, what == DuringLoad::Click ? 1 : 0);
    QVERIFY(exposes.count > 0 || what != DuringLoad::Paint);
    QCOMPARE(w.isVisible(), what != DuringLoad::Close);
    QCOMPARE(env.app().mainWindow(), &w);
    QVERIFY(!env.app().fileRenamer() && env.boxes().shown().isEmpty());
    QCOMPARE(w.state.PageStart, 0);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("pic000.jpg"));
}

QTEST_MAIN(TestThumbnailSources)
#include "tst_thumbnailsources.moc"
