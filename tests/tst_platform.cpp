// The platform layer: listings and the folder list, the drive list, message boxes, download. The
// file list is tried through the windows that show one.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "platform/download.h"
#include "platform/filelisting.h"
#include "platform/paths.h"
#include "tests/testsupport.h"
#include "ui/drivelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace Qt::StringLiterals;
using namespace orvella::test;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void patternMatching();
    void listingsAndDrives();
    void messageBoxesShowTextAsItIs();
    void downloadSavesThePage();
};

void TestPlatform::patternMatching()
{
    const QString def = u"*.jpg;*.jpeg;*.bmp;*.gif;*.ico"_s;
    const std::tuple<const char *, QString, bool> rows[]
        = {{"a.jpg", def, true}, {"B.JPG", def, true}, {"c.JpEg", def, true}, {"UPPER CASE.JPG", def, true},
            {"[1].jpg", def, true}, {"notes.txt", def, false}, {"a.jpg.txt", def, false}, {"a.icon", def, false},
            {"a.icon", def + u";*.icon"_s, true}, {"a.jpg", QString(), false}, {"a1.gif", u"a?.gif"_s, true},
            {"a.gif", u"a?.gif"_s, false}, {"README", u"*.jpg"_s, false}};
    for (const auto &[name, pattern, matches] : rows)
        QVERIFY2(matchesPattern(QString::fromLatin1(name), pattern) == matches, name);
}

void TestPlatform::listingsAndDrives()
{
    // Files only, no hidden ones, in name order whatever the letter case (ties in a fixed order).
    // The folder list: the open folder's ancestors from the root down, the open folder, then its
    // visible subfolders in the same order; the names are plain and the indentation is drawn,
    // each level further right.
    TestEnv env;
    const QString top = env.makeFolder(u"top"_s);
    for (const char *n : {"b.jpg", "A.JPG", "C.Gif", ".hidden.jpg", "notes.txt", "a.jpg"})
        writeFile(top + u'/' + QString::fromLatin1(n));
    for (const char *sub : {"top/Beta", "top/alpha", "top/Alpha", "top/.secret", "top/folder.jpg"})
        env.makeFolder(QString::fromLatin1(sub));
    const Listing files = listFiles(top, BrowserSettings::defaultImageFormat());
    QCOMPARE(files.names, (QStringList {"A.JPG", "a.jpg", "b.jpg", "C.Gif"}));
    QVERIFY(files.result.ok && !listFiles(top + u"/gone"_s, u"*"_s).result.ok);
    QCOMPARE(joinPath(u"/"_s, u"a.jpg"_s), u"/a.jpg"_s);

    FolderListBox dirs;
    QSignalSpy changes(&dirs, &FolderListBox::Change);
    QVERIFY(dirs.setPath(top).ok);
    QVERIFY(dirs.setPath(top).ok); // the same folder again is no change
    QCOMPARE(changes.count(), 1);
    const int depth = int(QDir::cleanPath(top).count(u'/')) + 1;
    QCOMPARE(dirs.entryPath(0), QDir::rootPath());
    QCOMPARE(dirs.entryPath(depth), top + u"/Alpha"_s);
    QStringList subfolders;
    for (int i = depth; i < dirs.count(); ++i)
        subfolders << dirs.item(i)->text();
    QCOMPARE(subfolders, (QStringList {"Alpha", "alpha", "Beta", "folder.jpg"}));
    dirs.resize(300, 600);
    dirs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dirs));
    const QImage shot = dirs.viewport()->grab().toImage();
    int indent = -1;
    for (int i = 0; i < dirs.count(); ++i) {
        const QRect row = dirs.visualItemRect(dirs.item(i));
        int left = row.right();
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < left; ++x)
                if (shot.pixelColor(x, y) != dirs.palette().color(QPalette::Base))
                    left = x;
        QVERIFY2(i <= depth ? left > indent : left == indent, qPrintable(QString::number(i)));
        indent = left;
    }

    // A folder that cannot be opened changes nothing. (Opening by double-click and by Return is
    // tried through the windows.)
    QVERIFY(!dirs.setPath(top + u"/nowhere"_s).ok);
    QCOMPARE(dirs.Path(), nativeFolder(top));
    QCOMPARE(changes.count(), 1);

    // The system volume comes first. The drive shown for a folder is the deepest listed mount that
    // holds it, not one whose name only begins the same way. (Picking a drive is tried through the
    // windows.)
    QCOMPARE(listVolumes().first().root, QDir::rootPath());
    DriveListBox drives;
    const QString root = nativeFolder(env.root());
    drives.setVolumes({{u"/"_s, QString()}, {root, QString()}, {root + u"/card"_s, u"CARD"_s}});
    drives.showVolumeOf(root + u"/card2/x"_s);
    QCOMPARE(drives.currentIndex(), 1);
}

void TestPlatform::messageBoxesShowTextAsItIs()
{
    // The real boxes show their text as it is (a file name may look like markup); Escape cancels.
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&format] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        format = box->textFormat();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(QtDialogService().messageBox(u"Delete <b>x</b>.jpg ?"_s, MsgOkCancelQuestion), int(AnswerCancel));
    QCOMPARE(format, Qt::PlainText);
}

void TestPlatform::downloadSavesThePage()
{
    // Failures and the bounded wait are the start-up's; here the page saved to a file.
    TestEnv env;
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, &server, [&server] {
        QTcpSocket *s = server.nextPendingConnection();
        connect(s, &QTcpSocket::readyRead, s, [s] {
            s->readAll();
            s->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 12\r\n\r\nHello banner");
            s->disconnectFromHost();
        });
    });
    const QString page = env.root() + u"/page.html"_s;
    QCOMPARE(downloadToFile(u"http://127.0.0.1:%1/banner.html"_s.arg(server.serverPort()), page), 0);
    QCOMPARE(contentOf(page), QByteArray("Hello banner"));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
