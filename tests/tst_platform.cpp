// The platform layer: listing, folder list, decoding, pointer, dialog record, single instance,
// download.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "platform/download.h"
#include "platform/filelisting.h"
#include "platform/paths.h"
#include "platform/picturedecoder.h"
#include "platform/singleinstance.h"
#include "tests/testsupport.h"
#include "ui/busypointer.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

// A one-page web server on 127.0.0.1: answers every request with body, or never answers.
class TinyServer : public QObject {
public:
    explicit TinyServer(QByteArray body, bool silent = false)
        : m_body(std::move(body))
        , m_silent(silent)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    s->readAll();
                    ++requests;
                    if (m_silent)
                        return;
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                        + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/banner.html").arg(m_server.serverPort()); }
    int requests = 0;

private:
    QTcpServer m_server;
    QByteArray m_body;
    bool m_silent;
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void patternMatching_data();
    void patternMatching();
    void listingSortsAndLeavesOutFoldersAndHiddenFiles();
    void fileListBox();
    void fileListBoxKeepsItsFolderWhenTheNewOneFails();
    void folderListBox();
    void joinPathUsesOneSeparator();
    void driveList();
    void busyPointerRestoresWhateverTheDepth();
    void messageBoxesShowTextAsItIs();
    void decodeOrientations_data();
    void decodeOrientations();
    void decodeScalesDownKeepingProportions();
    void decodeVariantsAndBrokenFiles_data();
    void decodeVariantsAndBrokenFiles();
    void singleInstanceGuard();
    void downloadSucceedsFailsAndIsBounded();
};

void TestPlatform::patternMatching_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    const QString def = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.ico");
    QTest::newRow("lower jpg") << "a.jpg" << def << true;
    QTest::newRow("capital JPG") << "B.JPG" << def << true;
    QTest::newRow("mixed Jpeg") << "c.JpEg" << def << true;
    QTest::newRow("text file") << "notes.txt" << def << false;
    QTest::newRow("jpg inside name") << "a.jpg.txt" << def << false;
    QTest::newRow("icon not in default") << "a.icon" << def << false;
    QTest::newRow("icon in options set") << "a.icon"
                                         << "*.jpeg;*.jpg;*.bmp;*.gif;*.ico;*.icon" << true;
    QTest::newRow("blank in name") << "UPPER CASE.JPG" << def << true;
    QTest::newRow("empty pattern") << "a.jpg"
                                   << "" << false;
    QTest::newRow("question mark") << "a1.gif"
                                   << "a?.gif" << true;
    QTest::newRow("question mark needs one") << "a.gif"
                                             << "a?.gif" << false;
    QTest::newRow("star") << "anything"
                          << "*" << true;
    QTest::newRow("no dot") << "README"
                            << "*.jpg" << false;
    QTest::newRow("brackets are literal") << "[1].jpg"
                                          << "*.jpg" << true;
}

void TestPlatform::patternMatching()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(matchesPattern(name, pattern), matches);
}

void TestPlatform::listingSortsAndLeavesOutFoldersAndHiddenFiles()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("list"));
    for (const char *n : {"b.jpg", "A.JPG", "c.Gif", ".hidden.jpg", "notes.txt", "a.jpg"})
        writeFile(QDir(dir).filePath(QString::fromLatin1(n)));
    QDir(dir).mkdir(QStringLiteral("folder.jpg"));
    const Listing l = listFiles(dir, BrowserSettings::defaultImageFormat());
    QVERIFY(l.result.ok);
    QCOMPARE(l.names, (QStringList {"A.JPG", "a.jpg", "b.jpg", "c.Gif"}));

    const Listing missing = listFiles(dir + QStringLiteral("/gone"), QStringLiteral("*"));
    QVERIFY(!missing.result.ok);
    QVERIFY(!missing.result.error.isEmpty());
}

void TestPlatform::fileListBox()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("files"));
    for (const char *n : {"one.jpg", "two.jpg", "three.txt"})
        writeFile(QDir(dir).filePath(QString::fromLatin1(n)));
    FileListBox box;
    QCOMPARE(box.Pattern(), QStringLiteral("*"));
    QVERIFY(box.setPath(dir).ok);
    QCOMPARE(box.ListCount(), 3);
    QVERIFY(box.setPattern(QStringLiteral("*.JPG")).ok);
    QCOMPARE(box.ListCount(), 2);
    QCOMPARE(box.List(0), QStringLiteral("one.jpg"));
    QCOMPARE(box.List(2), QString());
    QCOMPARE(box.List(-1), QString());

    // A click toggles an entry; another click on another entry keeps the first.
    box.resize(200, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint first = box.visualItemRect(box.item(0)).center();
    const QPoint second = box.visualItemRect(box.item(1)).center();
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, first);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, second);
    QVERIFY(box.Selected(0));
    QVERIFY(box.Selected(1));
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, first);
    QVERIFY(!box.Selected(0));
    QVERIFY(box.Selected(1));
    QCOMPARE(box.currentName(), QStringLiteral("one.jpg"));

    // Refresh reads files that appeared meanwhile and starts with nothing selected.
    writeFile(QDir(dir).filePath(QStringLiteral("zero.jpg")));
    QVERIFY(box.Refresh().ok);
    QCOMPARE(box.ListCount(), 3);
    QVERIFY(!box.Selected(1));
}

void TestPlatform::fileListBoxKeepsItsFolderWhenTheNewOneFails()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("kept"));
    writeFile(QDir(dir).filePath(QStringLiteral("a.jpg")));
    FileListBox box;
    QVERIFY(box.setPath(dir).ok);
    const OpResult r = box.setPath(env.root() + QStringLiteral("/missing"));
    QVERIFY(!r.ok);
    QCOMPARE(box.Path(), nativeFolder(dir));
    QCOMPARE(box.ListCount(), 1);
}

void TestPlatform::folderListBox()
{
    TestEnv env;
    const QString top = env.makeFolder(QStringLiteral("top"));
    env.makeFolder(QStringLiteral("top/Beta"));
    env.makeFolder(QStringLiteral("top/alpha"));
    env.makeFolder(QStringLiteral("top/.secret"));
    writeFile(QDir(top).filePath(QStringLiteral("file.jpg")));

    FolderListBox dirs;
    QSignalSpy changes(&dirs, &FolderListBox::Change);
    QVERIFY(dirs.setPath(top).ok);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(dirs.Path(), nativeFolder(top));
    // Setting the same folder again is no change.
    QVERIFY(dirs.setPath(top).ok);
    QCOMPARE(changes.count(), 1);

    // Ancestors from the root down, the open folder, then its subfolders in name order.
    const int depth = int(QDir::cleanPath(top).count(u'/')) + 1;
    QCOMPARE(dirs.count(), depth + 2);
    QCOMPARE(dirs.entryPath(0), QDir::rootPath());
    QCOMPARE(dirs.entryPath(depth - 1), nativeFolder(top));
    QCOMPARE(dirs.entryPath(depth), QDir(top).filePath(QStringLiteral("alpha")));
    QCOMPARE(dirs.entryPath(depth + 1), QDir(top).filePath(QStringLiteral("Beta")));
    dirs.resize(300, 600);
    dirs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dirs));

    // Entries are named plainly, to assistive tools too; the indentation is drawn: each level
    // starts further right.
    QAccessibleTableInterface *cells = QAccessible::queryAccessibleInterface(&dirs)->tableInterface();
    QVERIFY(cells);
    const QImage shot = dirs.viewport()->grab().toImage();
    int indent = -1;
    for (int i = 0; i < dirs.count(); ++i) {
        const QString name = i == 0 ? QDir::rootPath() : fileNameOf(dirs.entryPath(i));
        QCOMPARE(dirs.item(i)->text(), name);
        QCOMPARE(cells->cellAt(i, 0)->text(QAccessible::Name), name);
        const QRect row = dirs.visualItemRect(dirs.item(i));
        int left = row.right();
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < left; ++x)
                if (shot.pixelColor(x, y) != dirs.palette().color(QPalette::Base))
                    left = x;
        if (i <= depth)
            QVERIFY2(left > indent, qPrintable(QStringLiteral("row %1 starts at %2").arg(i).arg(left)));
        else
            QCOMPARE(left, indent); // the subfolders share one level
        indent = left;
    }

    // A double-click opens an entry.
    dirs.scrollToItem(dirs.item(depth));
    const QPoint at = dirs.visualItemRect(dirs.item(depth)).center();
    QTest::mouseClick(dirs.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dirs.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(dirs.Path(), QDir(top).filePath(QStringLiteral("alpha")));
    QCOMPARE(changes.count(), 2);

    // A folder that cannot be opened changes nothing.
    QVERIFY(!dirs.setPath(top + QStringLiteral("/nowhere")).ok);
    QCOMPARE(dirs.Path(), QDir(top).filePath(QStringLiteral("alpha")));
    QCOMPARE(changes.count(), 2);

    // Refresh lists a folder made meanwhile.
    const int before = dirs.count();
    env.makeFolder(QStringLiteral("top/alpha/new"));
    QVERIFY(dirs.Refresh().ok);
    QCOMPARE(dirs.count(), before + 1);
    QCOMPARE(changes.count(), 2);

    // Typing a name's first letter goes to it; Return opens it.
    QVERIFY(dirs.setPath(top).ok);
    dirs.setFocus();
    QTest::keyClick(&dirs, 'b');
    QCOMPARE(dirs.currentItem()->text(), QStringLiteral("Beta"));
    QTest::keyClick(&dirs, Qt::Key_Return);
    QCOMPARE(dirs.Path(), QDir(top).filePath(QStringLiteral("Beta")));
}

void TestPlatform::joinPathUsesOneSeparator()
{
    const QString sep = pathSeparator();
    QCOMPARE(joinPath(QStringLiteral("pics"), QStringLiteral("a.jpg")), QStringLiteral("pics") + sep + "a.jpg");
    QCOMPARE(joinPath(sep, QStringLiteral("a.jpg")), sep + "a.jpg");
    QCOMPARE(fileNameOf(QStringLiteral("/x/y/z.jpg")), QStringLiteral("z.jpg"));
}

void TestPlatform::driveList()
{
    const QList<Volume> volumes = listVolumes();
    QVERIFY(!volumes.isEmpty());
    QCOMPARE(volumes.first().root, QDir::toNativeSeparators(QDir::rootPath()));
    DriveListBox drives;
    TestEnv env;
    drives.showVolumeOf(env.root());
    QVERIFY(!drives.driveRoot().isEmpty());
    QVERIFY(QDir::cleanPath(env.root()).startsWith(QDir::cleanPath(QDir::fromNativeSeparators(drives.driveRoot()))));

    // Change means the user picked another drive than the one shown.
    const QString card = env.makeFolder(QStringLiteral("card"));
    drives.setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(env.root()), QString()},
        {nativeFolder(card), QStringLiteral("CARD")}});
    QSignalSpy changes(&drives, &DriveListBox::Change);
    drives.show();
    QVERIFY(QTest::qWaitForWindowExposed(&drives));
    pickEntry(drives, 0);
    QCOMPARE(changes.count(), 0);
    pickEntry(drives, 2);
    QCOMPARE(drives.currentIndex(), 2);
    QCOMPARE(changes.count(), 1);
    pickEntry(drives, 2);
    QCOMPARE(changes.count(), 1);
    // A drive the program shows counts as shown.
    drives.showVolumeOf(QDir(env.root()).filePath(QStringLiteral("x")));
    QCOMPARE(drives.currentIndex(), 1);
    pickEntry(drives, 1);
    QCOMPARE(changes.count(), 1);
    QTest::keyClick(&drives, Qt::Key_Down);
    QCOMPARE(drives.currentIndex(), 2);
    QCOMPARE(changes.count(), 2);
}

void TestPlatform::busyPointerRestoresWhateverTheDepth()
{
    setHourglass();
    setHourglass();
    setHourglass();
    QVERIFY(isHourglass());
    setArrow();
    QVERIFY(!isHourglass());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestPlatform::messageBoxesShowTextAsItIs()
{
    // The real boxes: title, icon, buttons, the text shown as it is (a file name may look like
    // markup), and Escape answering Cancel.
    struct Seen {
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
    } seen;
    auto answerWith = [&seen](int key) {
        QTimer::singleShot(0, [&seen, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = {box->windowTitle(), box->text(), box->textFormat(), box->icon(), int(box->buttons().size())};
            QTest::keyClick(box, Qt::Key(key));
        });
    };
    QtDialogService real;
    answerWith(Qt::Key_Escape);
    QCOMPARE(real.messageBox(QStringLiteral("Delete <b>x</b>.jpg ?"), MsgOkCancelQuestion, QStringLiteral("Dunmere")),
        int(AnswerCancel));
    QCOMPARE(seen.title, QStringLiteral("Dunmere"));
    QCOMPARE(seen.text, QStringLiteral("Delete <b>x</b>.jpg ?"));
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, 2);
    answerWith(Qt::Key_Return);
    QCOMPARE(real.messageBox(QStringLiteral("Drive can not be found."), MsgCritical), int(AnswerOk));
    QCOMPARE(seen.title, QStringLiteral("Orvella"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, 1);
}

void TestPlatform::decodeOrientations_data()
{
    QTest::addColumn<int>("orientation");
    for (int o = 1; o <= 8; ++o)
        QTest::addRow("orientation %d", o) << o;
}

void TestPlatform::decodeOrientations()
{
    QFETCH(int, orientation);
    const QString file = QDir(picturesFolder()).filePath(QStringLiteral("orient-%1.jpg").arg(orientation));
    for (QSize cover : {QSize(), QSize(65, 57)}) {
        const QImage img = decodePicture(file, cover);
        QVERIFY2(!img.isNull(), qPrintable(file));
        QVERIFY(img.width() > img.height()); // upright, the picture is 320 x 240
        QCOMPARE(quadrant(img, 0.1, 0.1), 'R');
        QCOMPARE(quadrant(img, 0.9, 0.1), 'G');
        QCOMPARE(quadrant(img, 0.1, 0.9), 'B');
        QCOMPARE(quadrant(img, 0.9, 0.9), 'W');
    }
    QCOMPARE(pictureSize(file), QSize(320, 240));
}

void TestPlatform::decodeScalesDownKeepingProportions()
{
    const QString camera = QDir(picturesFolder()).filePath(QStringLiteral("camera-exif-thumb.jpg"));
    const QImage thumb = decodePicture(camera, QSize(65, 57));
    // Covers the cell, keeps 4:3, and is nowhere near the 4000 x 3000 original.
    QVERIFY(thumb.width() >= 65 && thumb.height() >= 57);
    QVERIFY(thumb.width() <= 2 * 65 + 2);
    QVERIFY(qAbs(double(thumb.width()) / thumb.height() - 4.0 / 3.0) < 0.05);

    const QImage fitted = decodePictureToFit(camera, QSize(400, 400));
    QCOMPARE(fitted.width(), 400);
    QCOMPARE(fitted.height(), 300);

    // A small picture is never enlarged.
    const QString small = QDir(picturesFolder()).filePath(QStringLiteral("orient-1.jpg"));
    QCOMPARE(decodePicture(small, QSize(2000, 2000)).size(), QSize(320, 240));
}

void TestPlatform::decodeVariantsAndBrokenFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("decodes");
    for (const char *n : {"progressive.jpg", "cmyk.jpg", "grayscale.jpg", "UPPER CASE.JPG", "rgb24.bmp", "palette8.bmp",
             "rle.bmp", "alpha32.bmp", "mono1.bmp", "static.gif", "interlaced.gif", "animated.gif", "multisize.ico",
             "png256.ico", "small-exif-thumb.jpg"})
        QTest::newRow(n) << QString::fromLatin1(n) << true;
    for (const char *n : {"garbage.jpg", "empty.jpg", "text-named.gif"})
        QTest::newRow(n) << QString::fromLatin1(n) << false;
    // Cut files may decode in part; they must only never crash.
    QTest::newRow("truncated.jpg") << QStringLiteral("truncated.jpg") << false;
    QTest::newRow("truncated.bmp") << QStringLiteral("truncated.bmp") << false;
}

void TestPlatform::decodeVariantsAndBrokenFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, decodes);
    const QString file = QDir(picturesFolder()).filePath(name);
    const QImage img = decodePicture(file, QSize(65, 57));
    if (name.startsWith(u"truncated"))
        return;
    QCOMPARE(!img.isNull(), decodes);
    if (name == u"multisize.ico")
        QCOMPARE(decodePicture(file).size(), QSize(48, 36)); // its largest image
    QVERIFY(decodePicture(QString()).isNull());
}

void TestPlatform::singleInstanceGuard()
{
    const QString key = QStringLiteral("orvella-guard-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstanceGuard first(key);
    QVERIFY(!first.anotherInstanceRunning());
    // Asking again (a main window created afresh) does not see itself.
    QVERIFY(!first.anotherInstanceRunning());
    {
        SingleInstanceGuard second(key);
        QVERIFY(second.anotherInstanceRunning());
    }
    SingleInstanceGuard other(key + QStringLiteral("-other"));
    QVERIFY(!other.anotherInstanceRunning());
}

void TestPlatform::downloadSucceedsFailsAndIsBounded()
{
    TestEnv env;
    TinyServer server("<html><body>Hello banner</body></html>");
    const QString saved = env.root() + QStringLiteral("/page.html");
    QCOMPARE(downloadToFile(server.url(), saved), 0);
    QFile page(saved);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("Hello banner"));
    QCOMPARE(downloadToFile(server.url(), QString()), 0);

    QVERIFY(downloadToFile(QStringLiteral("http://127.0.0.1:1/"), QString()) != 0);
    QVERIFY(downloadToFile(QStringLiteral("not a web address"), QString()) != 0);

    TinyServer silent("", true);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(downloadToFile(silent.url(), QString(), 500) != 0);
    QVERIFY2(timer.elapsed() < 2500, "the wait is bounded");
    QVERIFY(silent.requests >= 1);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
