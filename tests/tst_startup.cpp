// Start-up of the main window: defaults, layout, second copy, advertisement pane, toolbar.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "browse/gridwidgets.h"
#include "dialogs/picturebox.h"
#include "platform/workingfolder.h"
#include "tests/testsupport.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"
#include "ui/twips.h"
#include "ui/webpane.h"

using namespace orvella;
using namespace orvella::test;

namespace {

// Serves one page on 127.0.0.1, or accepts connections and never answers.
class PageServer : public QObject {
public:
    explicit PageServer(bool silent = false)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, silent] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s, silent] {
                    s->readAll();
                    if (silent)
                        return;
                    const QByteArray body = "<html><body><p>Spring offer</p></body></html>";
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/ad.html").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void freshStartHasDefaultsAndHiddenFields();
    void layoutFollowsTheTable();
    void startsOnTheRootOfTheWorkingFoldersVolume();
    void startUpShowsTheRootsPicturesLoadedOnce();
    void settingsAreResetOnEveryCreation();
    void secondCopyIsRefused();
    void advertisementShownWhenFetched();
    void advertisementHiddenWithoutNetwork();
    void startUpWaitIsBounded();
    void toolbarHasItsButtonsInOrder();
    void exitEndsTheProgram();
    void helpWithoutBrowserIsReported();
};

void TestStartup::freshStartHasDefaultsAndHiddenFields()
{
    TestEnv env;
    QVERIFY(env.start());
    MainWindow &w = env.w();
    QCOMPARE(env.app().settings.ImageFormat, QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.ico"));
    QVERIFY(env.app().settings.AutoThumbnails);
    QVERIFY(env.app().settings.PictureSize);
    QVERIFY(env.app().settings.DeleteRecycle);
    QCOMPARE(w.File1->Pattern(), env.app().settings.ImageFormat);
    QVERIFY(w.isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Orvella"));
    QVERIFY(w.ButtonLoadThumbs->isHidden());
    QVERIFY(w.Text2->isHidden());
    QVERIFY(w.Label2->isHidden());
    QVERIFY(w.Text3->isHidden());
    QVERIFY(w.Text5->isHidden());
    QVERIFY(!w.Check1->isChecked());
    QVERIFY(!w.Check3->isChecked());
    QCOMPARE(w.Text3->text(), QStringLiteral("1"));
    QCOMPARE(w.Text2->text(), QString());
    QCOMPARE(w.marks().SelectedCount, 0);
    QVERIFY(w.Picture2->isHidden());
    QVERIFY(w.Text4->text().startsWith(QStringLiteral("Total Pictures ")));
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestStartup::layoutFollowsTheTable()
{
    TestEnv env;
    QVERIFY(env.start());
    MainWindow &w = env.w();
    QCOMPARE(w.size(), QSize(779, 547));
    QCOMPARE(w.Drive1->geometry(), twipsRect(120, 1080, 2415, 330));
    QCOMPARE(w.Dir1->geometry(), twipsRect(120, 1560, 2415, 1770));
    QCOMPARE(w.File1->geometry(), twipsRect(120, 3480, 2415, 1350));
    QCOMPARE(w.Image1.size(), size_t(36));
    QCOMPARE(w.Text1.size(), size_t(36));
    // Cell 7 is row 1, column 1.
    QCOMPARE(w.Image1[7]->geometry(), twipsRect(2640 + 960, 1080 + 1200, 975, 855));
    QCOMPARE(w.Text1[7]->geometry(), twipsRect(2640 + 960, 1920 + 1200, 975, 240));
    QCOMPARE(w.Text1[35]->geometry(), twipsRect(2640 + 960 * 5, 1920 + 1200 * 5, 975, 240));
    QCOMPARE(w.Command3->geometry(), twipsRect(8880, 7440, 2655, 690));
    QCOMPARE(w.Label2->parentWidget(), static_cast<QWidget *>(w.Frame1));
    QCOMPARE(w.Check1->text(), QStringLiteral("Rename Pictures"));
    QCOMPARE(w.Check3->text(), QStringLiteral("Move Pictures"));
    QCOMPARE(w.Drive1->toolTip(), QStringLiteral("Select Drive or Device"));
    QCOMPARE(w.Dir1->toolTip(), QStringLiteral("Select Folder"));
    QCOMPARE(w.File1->toolTip(), QStringLiteral("Select files"));
    QCOMPARE(w.ButtonLoadThumbs->toolTip(), QStringLiteral("View Thumbnails"));
    QCOMPARE(w.Text1[0]->backColor(), QColor(0xE0, 0xE0, 0xE0));
    QVERIFY(!w.Text6->isEnabled());
    QVERIFY(!w.Text4->isEnabled());
    QVERIFY(!w.Text5->isEnabled());
    // Every widget of the layout can be found by its name.
    for (const char *name : {"Toolbar1", "WebBrowser1", "Drive1", "Dir1", "File1", "ButtonLoadThumbs", "Picture1",
             "Label7", "Image1_0", "Image1_35", "Text1_0", "Text1_35", "Picture2", "PageUp", "ScrollUp_0", "scrolldown",
             "PageDown", "ProgressBar1", "Text6", "Text4", "Frame1", "Check1", "Text2", "Label2", "Text3", "Frame2",
             "Check3", "Text5", "Command3"}) {
        auto *found = w.findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(found, name);
        QVERIFY2(!found->accessibleName().isEmpty(), name);
    }
}

void TestStartup::startsOnTheRootOfTheWorkingFoldersVolume()
{
    TestEnv env;
    const QString pics = env.makeFolder(QStringLiteral("pics"));
    QVERIFY(QDir::setCurrent(pics));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    const QString root = volumeRootOf(pics);
    QCOMPARE(w.Dir1->Path(), root);
    QCOMPARE(w.File1->Path(), root);
    QCOMPARE(workingFolder(), root);
    QCOMPARE(w.Drive1->driveRoot(), root);
    QCOMPARE(w.position().PageStart, 0);
}

void TestStartup::startUpShowsTheRootsPicturesLoadedOnce()
{
    // /dev/shm is a volume of its own whose root a test may write: start there.
    TestEnv env;
    const QString root = QStringLiteral("/dev/shm");
    QVERIFY2(volumeRootOf(root) == root, "/dev/shm is not a volume of its own here");
    QTemporaryDir work(root + QStringLiteral("/orvella-start-XXXXXX"));
    QVERIFY(work.isValid());
    const QString tag = QFileInfo(work.path()).fileName();
    QStringList made;
    for (int i = 0; i < 5; ++i) {
        made.append(QStringLiteral("%1/%2-%3.jpg").arg(root, tag).arg(i));
        writePicture(made.last(), i);
    }
    QVERIFY(QDir::setCurrent(work.path()));
    const bool started = env.start();
    for (const QString &f : std::as_const(made))
        QFile::remove(f);
    QVERIFY(started);
    MainWindow &w = env.w();
    QCOMPARE(w.Dir1->Path(), root);
    const int ours = int(std::count_if(made.begin(), made.end(), [&](const QString &f) {
        for (int i = 0; i < w.File1->ListCount(); ++i)
            if (root + u'/' + w.File1->List(i) == f)
                return true;
        return false;
    }));
    QCOMPARE(ours, 5);
    // One load: every listed picture decoded once (a second load would decode slot 0 again).
    QCOMPARE(w.pictures().Decodes, qint64(w.File1->ListCount()));
    QVERIFY(w.Text4->text() == QStringLiteral("Total Pictures %1").arg(w.File1->ListCount()));
}

void TestStartup::settingsAreResetOnEveryCreation()
{
    TestEnv env;
    QVERIFY(env.start());
    env.app().settings.AutoThumbnails = false;
    env.app().settings.DeleteRecycle = false;
    env.app().settings.PictureSize = false;
    env.app().settings.ImageFormat = QStringLiteral("*.gif");
    env.app().closeMainWindow();
    // The settings outlive the window that was closed...
    QVERIFY(!env.app().settings.DeleteRecycle);
    // ...and a new window starts with the defaults again.
    QVERIFY(env.start());
    QVERIFY(env.app().settings.AutoThumbnails);
    QVERIFY(env.app().settings.DeleteRecycle);
    QVERIFY(env.app().settings.PictureSize);
    QCOMPARE(env.app().settings.ImageFormat, QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.ico"));
    // The window created afresh is not taken for a second copy of the program.
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestStartup::secondCopyIsRefused()
{
    TestEnv env;
    QVERIFY(env.start());
    OrvellaApp second(QStringLiteral("orvella-test-%1").arg(QCoreApplication::applicationPid()));
    second.advertAddress = env.app().advertAddress;
    QVERIFY(!second.openMainWindow());
    QVERIFY(!second.mainWindow());
    QCOMPARE(env.boxes().shown().size(), 1);
    QCOMPARE(env.boxes().shown()[0].text, QStringLiteral("Orvella is already running!"));
    QCOMPARE(env.boxes().shown()[0].style, 48);
    QCOMPARE(env.boxes().shown()[0].title, QStringLiteral("Orvella"));
    // The first copy goes on.
    QVERIFY(env.w().isVisible());
    const auto windows = QApplication::topLevelWidgets();
    const auto mains = std::count_if(
        windows.begin(), windows.end(), [](QWidget *t) { return qobject_cast<MainWindow *>(t) != nullptr; });
    QCOMPARE(mains, 1);
}

void TestStartup::advertisementShownWhenFetched()
{
    TestEnv env;
    PageServer server;
    env.app().advertAddress = server.url();
    QVERIFY(env.start());
    MainWindow &w = env.w();
    QCOMPARE(w.downloadFailed(), 0);
    QVERIFY(!w.WebBrowser1->isHidden());
    QCOMPARE(w.WebBrowser1->address(), server.url());
    QTRY_VERIFY(w.WebBrowser1->toPlainText().contains(QStringLiteral("Spring offer")));
}

void TestStartup::advertisementHiddenWithoutNetwork()
{
    TestEnv env;
    QVERIFY(env.start()); // the test's address refuses at once
    QCOMPARE(env.w().downloadFailed(), 1);
    QVERIFY(env.w().WebBrowser1->isHidden());
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestStartup::startUpWaitIsBounded()
{
    TestEnv env;
    PageServer silent(true);
    env.app().advertAddress = silent.url();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(env.start());
    // The fetch gives up after its bound of three seconds; a generous margin keeps this steady.
    QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(env.w().WebBrowser1->isHidden());
}

void TestStartup::toolbarHasItsButtonsInOrder()
{
    TestEnv env;
    QVERIFY(env.start());
    const QList<QAction *> actions = env.w().Toolbar1->actions();
    QCOMPARE(actions.size(), 11);
    const QStringList captions {
        "Sel. All", "Sel. None", "Delete", "Options", "", "Re-Namer", "", "Help", "About", "", "Exit"};
    const QStringList keys {
        "SelectAll", "SelectNone", "DeleteSelected", "Options", "", "FileRenamer", "", "Help", "About", "", "Exit"};
    const QStringList tips {
        "Select All", "Select None", "Delete", "Options", "", "File Re-Namer", "", "Help", "About", "", "Exit"};
    for (int i = 0; i < 11; ++i) {
        if (keys[i].isEmpty()) {
            QVERIFY(actions[i]->isSeparator());
            continue;
        }
        QCOMPARE(actions[i]->text(), captions[i]);
        QCOMPARE(actions[i]->data().toString(), keys[i]);
        QCOMPARE(actions[i]->toolTip(), tips[i]);
    }
    // A key that matches none does nothing.
    env.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("selectall"));
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestStartup::exitEndsTheProgram()
{
    TestEnv env;
    QVERIFY(env.start());
    QTimer::singleShot(0, &env.w(), [&env] {
        const auto actions = env.w().Toolbar1->actions();
        actions.last()->trigger();
    });
    // Should Exit fail to end the loop, this ends it with another code.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestStartup::helpWithoutBrowserIsReported()
{
    TestEnv env;
    QVERIFY(env.start());
    env.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("Help"));
    QCOMPARE(env.browserStarts(), QStringList {env.app().homeAddress});
    QVERIFY(env.boxes().shown().isEmpty());
    env.setBrowserWorks(false);
    env.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("Help"));
    QCOMPARE(env.browserStarts().size(), 2);
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.contains(env.app().homeAddress));
    QVERIFY(env.w().isEnabled());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
