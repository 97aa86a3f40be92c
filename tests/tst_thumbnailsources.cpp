// Where a load's thumbnails come from: the run's cache keyed by file identity (decode counts after
// a revisit, a rename, a move, a delete, an edit; the budget), the desktop's thumbnail cache; and
// what the window does while a load runs.
#include <map>

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include "browse/gridwidgets.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailloader.h"
#include "platform/desktopthumbnails.h"
#include "platform/fileidentity.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

const QSize Cell(65, 57);

QImage solid(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

} // namespace

class TestThumbnailSources : public QObject {
    Q_OBJECT
private slots:
    void decodeCounts_data();
    void decodeCounts();
    void renameRunRefillingAPathShowsTheRightPicture();
    void cacheKeepsTheCurrentLoadAndEvictsTheLeastRecent();
    void desktopThumbnailUri_data();
    void desktopThumbnailUri();
    void desktopThumbnails_data();
    void desktopThumbnails();
    void duringALoad_data();
    void duringALoad();
};

enum class Change { Revisit, Reload, RenameShift, MoveOut, MoveIn, Delete, EditInPlace, CopyIn };
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
}

void TestThumbnailSources::decodeCounts()
{
    QFETCH(Change, change);
    QFETCH(int, decodes);
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("ten"));
    const QString other = env.makeFolder(QStringLiteral("other"));
    std::map<QString, int> numberOf; // what each file of dir shows
    for (const QString &name : writePictures(dir, 10))
        numberOf[name] = int(numberOf.size());
    for (int i = 0; i < 5; ++i)
        writePicture(QDir(other).filePath(QStringLiteral("o%1.jpg").arg(i)), 20 + i);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(other);
    env.openFolder(dir);
    QCOMPARE(w.pictures().Decodes, qint64(15));
    auto path = [&](const QString &name) { return QDir(dir).filePath(name); };

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
    case Change::EditInPlace:
        // Another program writes a new picture into the same file: same name, same place.
        writePicture(path(QStringLiteral("pic004.jpg")), 30, QSize(64, 40));
        numberOf[QStringLiteral("pic004.jpg")] = 30;
        break;
    case Change::CopyIn:
        writePicture(path(QStringLiteral("pic004b.jpg")), 40);
        numberOf[QStringLiteral("pic004b.jpg")] = 40;
        break;
    }
    const qint64 before = w.pictures().Decodes;
    if (change == Change::Revisit)
        env.openFolder(dir);
    else
        w.loader().ButtonLoadThumbs_Click();
    QCOMPARE(w.pictures().Decodes - before, decodes);
    QCOMPARE(w.File1->ListCount(), int(numberOf.size()));
    for (int i = 0; i < w.File1->ListCount(); ++i) {
        const QString name = w.File1->List(i);
        QCOMPARE(w.pictures().SlotPaths[size_t(i)], path(name));
        QCOMPARE(pictureNumber(w.pictures().Image3[size_t(i)]), numberOf[name]);
        QCOMPARE(pictureNumber(w.Image1[size_t(i)]->picture()), numberOf[name]);
    }
}

void TestThumbnailSources::renameRunRefillingAPathShowsTheRightPicture()
{
    // The rename run empties the path "H -001.jpg" and fills it again with another file at the
    // same place in the list: the slot must show that other file.
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("h"));
    writePicture(QDir(dir).filePath(QStringLiteral("a.jpg")), 1);
    writePicture(QDir(dir).filePath(QStringLiteral("H -001.jpg")), 2);
    writePicture(QDir(dir).filePath(QStringLiteral("z.jpg")), 3);
    QVERIFY(env.start());
    env.openFolder(dir);
    MainWindow &w = env.w();
    w.selection().Text1_Click(1);
    w.selection().Text1_Click(2);
    w.Check1->setChecked(true);
    w.Text2->setText(QStringLiteral("H"));
    w.Text3->setText(QStringLiteral("-2"));
    const qint64 before = w.pictures().Decodes;
    w.panel().Command3_Click();
    QCOMPARE(filesIn(dir), (QStringList {"H -001.jpg", "H -002.jpg", "a.jpg"}));
    QCOMPARE(w.File1->List(1), QStringLiteral("H -001.jpg"));
    QCOMPARE(pictureNumber(w.Image1[1]->picture()), 3);
    QCOMPARE(pictureNumber(w.Image1[2]->picture()), 2);
    QCOMPARE(w.pictures().Decodes, before);
}

void TestThumbnailSources::cacheKeepsTheCurrentLoadAndEvictsTheLeastRecent()
{
    auto file = [](quint64 inode) { return FileIdentity {1, inode, 100, 5, true}; };
    const QImage thumb = solid(Cell, Qt::red); // 65 x 57 x 4 bytes
    const qint64 each = thumb.sizeInBytes();
    ThumbnailCache cache(3 * each);
    // One load of five: all kept beyond the budget while they are the current load.
    cache.beginLoad();
    for (quint64 i = 1; i <= 5; ++i)
        cache.insert(file(i), Cell, thumb);
    QCOMPARE(cache.count(), 5);
    QCOMPARE(cache.otherBytes(), 0);
    // The next load sees 2 and 4 again and adds 6: of the others (1, 3, 5) the least recently
    // used goes first until they fit three thumbnails' bytes.
    cache.beginLoad();
    QVERIFY(cache.find(file(2), Cell));
    QVERIFY(cache.find(file(4), Cell));
    cache.insert(file(6), Cell, thumb);
    QCOMPARE(cache.count(), 6);
    cache.beginLoad();
    cache.insert(file(7), Cell, thumb);
    // Others now 1..6 (6 thumbnails): the three least recent (1, 3, 5) are gone.
    QCOMPARE(cache.otherBytes(), 3 * each);
    for (quint64 i : {1, 3, 5})
        QVERIFY2(!cache.find(file(i), Cell), qPrintable(QString::number(i)));
    for (quint64 i : {2, 4, 6, 7})
        QVERIFY2(cache.find(file(i), Cell), qPrintable(QString::number(i)));
    // A thumbnail is valid only for the size it was made for, and for the file as it was.
    QVERIFY(!cache.find(file(2), Cell * 2));
    QVERIFY(!cache.find(FileIdentity {1, 2, 100, 6, true}, Cell));
    QVERIFY(!cache.find(FileIdentity {1, 2, 101, 5, true}, Cell));
    // A file that could not be asked is never kept.
    cache.insert(FileIdentity {}, Cell, thumb);
    QVERIFY(!cache.find(FileIdentity {}, Cell));
    // A picture that could not be decoded is remembered as such.
    cache.insert(file(8), Cell, QImage());
    QVERIFY(cache.find(file(8), Cell).has_value());
    QVERIFY(cache.find(file(8), Cell)->isNull());
    // A smaller budget evicts at once what no longer fits.
    cache.beginLoad();
    cache.setBudget(each);
    QVERIFY(cache.otherBytes() <= each);

    // In the program: with room for one folder's thumbnails only, a revisit decodes again.
    TestEnv env;
    const QString a = env.makeFolder(QStringLiteral("a"));
    const QString b = env.makeFolder(QStringLiteral("b"));
    writePictures(a, 4, QStringLiteral("a"));
    writePictures(b, 4, QStringLiteral("b"));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.app().thumbnails.setBudget(0);
    env.openFolder(a);
    env.openFolder(b);
    const qint64 before = w.pictures().Decodes;
    env.openFolder(a);
    QCOMPARE(w.pictures().Decodes - before, 4);
    QCOMPARE(env.app().thumbnails.count(), 4);
}

void TestThumbnailSources::desktopThumbnailUri_data()
{
    // The names the desktop's own library (GLib's g_filename_to_uri) gives these paths.
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("uri");
    QTest::newRow("plain") << QStringLiteral("/home/me/IMG_0001.jpg") << QByteArray("file:///home/me/IMG_0001.jpg");
    QTest::newRow("kept punctuation") << QStringLiteral("/a/b,$&+@:!~*'()=.jpg")
                                      << QByteArray("file:///a/b,$&+@:!~*'()=.jpg");
    QTest::newRow("escaped") << QString::fromUtf8("/tmp/a b/c[1];#?%\u00fc.jpg")
                             << QByteArray("file:///tmp/a%20b/c%5B1%5D%3B%23%3F%25%C3%BC.jpg");
    QTest::newRow("more escaped") << QStringLiteral("/t/\"<>\\^`{|}.jpg")
                                  << QByteArray("file:///t/%22%3C%3E%5C%5E%60%7B%7C%7D.jpg");
}

void TestThumbnailSources::desktopThumbnailUri()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, uri);
    QCOMPARE(orvella::desktopThumbnailUri(path), uri);
}

namespace {

// What a desktop thumbnailer leaves for the picture at picture, as the standard describes it: a PNG
// named by the MD5 of the picture's URI, with the URI, modification time and size in text chunks.
struct DesktopEntry {
    const char *folder = "normal";
    QSize size = QSize(128, 96);
    qint64 mtimeOffset = 0; // seconds added to the picture's real time
    qint64 sizeOffset = 0; // bytes added to the picture's real size
    bool recordSize = true;
    bool damaged = false;
    const char *uri = nullptr; // another URI than the picture's, under the picture's name
};

QString writeDesktopEntry(const QString &picture, int n, const DesktopEntry &e)
{
    const QFileInfo info(picture);
    const QByteArray uri = desktopThumbnailUri(info.absoluteFilePath());
    const QString folder = desktopThumbnailFolder() + u'/' + QLatin1String(e.folder);
    QDir().mkpath(folder);
    const QString entry = folder + u'/'
        + QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
    writePicture(entry, n, e.size, "PNG");
    QImage image(entry);
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(e.uri ? QByteArray(e.uri) : uri));
    image.setText(
        QStringLiteral("Thumb::MTime"), QString::number(info.lastModified().toSecsSinceEpoch() + e.mtimeOffset));
    if (e.recordSize)
        image.setText(QStringLiteral("Thumb::Size"), QString::number(info.size() + e.sizeOffset));
    if (!image.save(entry, "PNG"))
        qFatal("cannot write %s", qPrintable(entry));
    if (e.damaged) {
        QFile f(entry);
        if (!f.open(QIODevice::ReadWrite) || !f.resize(f.size() / 2))
            qFatal("cannot damage %s", qPrintable(entry));
    }
    return entry;
}

} // namespace

Q_DECLARE_METATYPE(DesktopEntry)

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
    const QString dir = env.makeFolder(QStringLiteral("d"));
    writePictures(dir, 3);
    // The desktop's thumbnail of the middle picture shows another picture (number 50), so the
    // grid tells where its picture came from.
    const QString picture = QDir(dir).filePath(QStringLiteral("pic001.jpg"));
    const QString cacheEntry = writeDesktopEntry(picture, 50, entry);
    const QByteArray entryBytes = contentOf(cacheEntry);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    const qint64 before = w.pictures().Decodes;
    env.openFolder(dir);
    QCOMPARE(pictureNumber(w.Image1[1]->picture()), used ? 50 : 1);
    QCOMPARE(w.pictures().Decodes - before, used ? 2 : 3);
    QCOMPARE(pictureNumber(w.Image1[0]->picture()), 0);
    // Scaled to just cover the cell, as a decoded thumbnail is.
    const QSize cover = w.thumbnailCoverSize();
    const QImage shown = w.pictures().Image3[1];
    if (used) {
        QVERIFY(shown.width() >= cover.width() && shown.height() >= cover.height());
        QVERIFY(shown.width() <= cover.width() + 1 || shown.height() <= cover.height() + 1);
    }
    // Read only: the desktop's cache is as it was, and nothing was added to it.
    QCOMPARE(contentOf(cacheEntry), entryBytes);
    int files = 0;
    for (const char *f : {"normal", "large", "x-large", "xx-large", "fail"})
        files += int(QDir(desktopThumbnailFolder() + u'/' + QLatin1String(f)).entryList(QDir::Files).size());
    QCOMPARE(files, 1);
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
    int exposedDuringLoad = 0;
    struct ExposeCounter : QObject {
        MainWindow *w = nullptr;
        int *count = nullptr;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Expose && w->loading())
                ++*count;
            return false;
        }
    } counter;
    counter.w = &w;
    counter.count = &exposedDuringLoad;
    window->installEventFilter(&counter);

    bool selectedDuringLoad = false, hiddenDuringLoad = false;
    const qint64 before = w.pictures().Decodes;
    const QMetaObject::Connection hook
        = QObject::connect(&w.loader(), &ThumbnailLoader::slotFilled, [&](qsizetype slot) {
              if (slot == 5) {
                  switch (what) {
                  case DuringLoad::Click: {
                      // A click on caption 3 comes from the window system, as the user's would.
                      const QPointF at = w.Text1[3]->mapTo(&w, QPointF(w.Text1[3]->rect().center()));
                      for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                          QWindowSystemInterface::handleMouseEvent(window, at, window->mapToGlobal(at),
                              t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, t);
                      break;
                  }
                  case DuringLoad::Paint:
                      // The window system says the logo's part of the window was uncovered.
                      QWindowSystemInterface::handleExposeEvent(window, QRegion(w.Picture1->geometry()));
                      break;
                  case DuringLoad::Close:
                      // From the window manager, and from the program itself.
                      QWindowSystemInterface::handleCloseEvent(window);
                      w.close();
                      break;
                  case DuringLoad::Handlers:
                      // As the widgets report a click, whether or not the button is enabled just then.
                      emit w.ButtonLoadThumbs->clicked();
                      emit w.Text1[2]->clicked();
                      emit w.PageDown->clicked();
                      w.OpenFileRenamer();
                      pressToolbar(w, QStringLiteral("DeleteSelected"));
                      break;
                  }
              }
              selectedDuringLoad = selectedDuringLoad || w.File1->Selected(3) || w.File1->Selected(2);
              hiddenDuringLoad = hiddenDuringLoad || !w.isVisible();
          });
    const auto unhook = qScopeGuard([&] { QObject::disconnect(hook); });
    env.openFolder(dir);
    QObject::disconnect(hook);
    QCOMPARE(w.pictures().Decodes - before, 20);
    QVERIFY(!selectedDuringLoad);
    QVERIFY(!hiddenDuringLoad);
    QVERIFY(!w.loading());
    // The event loop runs again: what waited is handled now.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    switch (what) {
    case DuringLoad::Click:
        QVERIFY(w.File1->Selected(3));
        QCOMPARE(w.marks().SelectedCount, 1);
        break;
    case DuringLoad::Paint:
        QVERIFY(exposedDuringLoad > 0);
        break;
    case DuringLoad::Close:
        QVERIFY(!w.isVisible());
        break;
    case DuringLoad::Handlers:
        // Nothing was started: no second load, no box, no other window, the first page shown.
        QCOMPARE(env.app().mainWindow(), &w);
        QVERIFY(!env.app().fileRenamer());
        QVERIFY(env.boxes().shown().isEmpty());
        QCOMPARE(w.marks().SelectedCount, 0);
        QCOMPARE(w.position().PageStart, 0);
        QCOMPARE(w.Text1[0]->text(), QStringLiteral("pic000.jpg"));
        QVERIFY(w.isVisible());
        break;
    }
}

QTEST_MAIN(TestThumbnailSources)
#include "tst_thumbnailsources.moc"
