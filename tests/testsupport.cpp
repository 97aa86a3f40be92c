#include "tests/testsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include "ui/folderlistbox.h"

namespace orvella::test {

int ScriptedDialogService::messageBox(const QString &text, int style, const QString &title)
{
    m_shown.append({text, style, title.isEmpty() ? applicationTitle() : title});
    if (m_answers.isEmpty())
        return AnswerOk;
    const int answer = m_answers.takeFirst();
    // An OK-only box has nothing but OK to give, whatever the script says.
    return style == MsgOkCancelQuestion ? answer : AnswerOk;
}

void setFaultsForTesting(FileServiceFaults faults)
{
    static FileServiceFaults injected;
    injected = std::move(faults);
    injectedFaults = &injected;
}

QString picturesFolder()
{
    const QString folder = QStringLiteral(ORVELLA_PICTURES);
    static const bool missing = !QFileInfo(folder).isDir();
    if (missing)
        qFatal("The shared test pictures are not at %s: the tests expect the project's clone beside the "
               "shared folder.",
            qPrintable(folder));
    return folder;
}

TestEnv::TestEnv()
{
    // A home of the test's own: the trash, settings and data paths all land inside it.
    const QString home = m_root.filePath(QStringLiteral(".home"));
    const QString data = m_root.filePath(QStringLiteral(".home/.local/share"));
    const QString cache = m_root.filePath(QStringLiteral(".home/.cache"));
    QDir().mkpath(data);
    QDir().mkpath(cache);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    // The desktop's thumbnail cache is read from here.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    QStandardPaths::setTestModeEnabled(true);
    setDialogService(&m_boxes);
}

TestEnv::~TestEnv()
{
    m_app.reset();
    setDialogService(nullptr);
    QDir::setCurrent(QDir::tempPath());
}

QString TestEnv::makeFolder(const QString &name)
{
    const QString path = m_root.filePath(name);
    QDir().mkpath(path);
    return path;
}

OrvellaApp &TestEnv::app()
{
    if (!m_app) {
        m_app = std::make_unique<OrvellaApp>(QStringLiteral("orvella-test-%1").arg(QCoreApplication::applicationPid()));
        // Nothing listens on port 1: the start-up fetch fails at once.
        m_app->advertAddress = QStringLiteral("http://127.0.0.1:1/banner.html");
        m_app->homeAddress = QStringLiteral("http://127.0.0.1:1/");
        m_app->startBrowser = [this](const QString &address) {
            m_browserStarts.append(address);
            return m_browserWorks;
        };
    }
    return *m_app;
}

bool TestEnv::start()
{
    if (!app().openMainWindow())
        return false;
    waitForThumbnails(w());
    return true;
}

MainWindow &TestEnv::w()
{
    MainWindow *main = app().mainWindow();
    if (!main)
        qFatal("the main window is not open");
    return *main;
}

void TestEnv::openFolder(const QString &folder)
{
    const OpResult r = w().Dir1->setPath(folder);
    if (!r)
        qFatal("cannot open %s: %s", qPrintable(folder), qPrintable(r.error));
    waitForThumbnails(w());
}

void waitForThumbnails(MainWindow &w)
{
    if (!QTest::qWaitFor([&w] { return !w.loading(); }, 60'000))
        qFatal("the thumbnails never came");
}

namespace {
QColor colourOf(int n)
{
    // Three base-6 digits on well-separated channel levels survive JPEG compression.
    return QColor(20 + 43 * (n % 6), 20 + 43 * ((n / 6) % 6), 20 + 43 * ((n / 36) % 6));
}
} // namespace

void writePicture(const QString &path, int n, QSize size, const char *format)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colourOf(n));
    if (!img.save(path, format, 95))
        qFatal("cannot write %s", qPrintable(path));
}

int pictureNumber(const QImage &image)
{
    if (image.isNull())
        return -1;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    auto digit = [](int v) { return std::clamp((v - 20 + 21) / 43, 0, 5); };
    return digit(c.red()) + 6 * digit(c.green()) + 36 * digit(c.blue());
}

QStringList writePictures(const QString &folder, int count, const QString &prefix, const QString &ext)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = prefix + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')) + ext;
        writePicture(QDir(folder).filePath(name), i);
        names.append(name);
    }
    return names;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString copyPicture(const QString &name, const QString &folder)
{
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    if (!QFile::copy(QDir(picturesFolder()).filePath(name), target))
        qFatal("cannot copy %s", qPrintable(name));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

QString trashFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void mouseDoubleClick(QWidget *widget, QPoint at)
{
    QWindow *window = widget->window()->windowHandle();
    if (!window)
        qFatal("a double-click needs a shown window");
    const QPoint where = widget->mapTo(widget->window(), at.isNull() ? widget->rect().center() : at);
    QTest::mouseDClick(window, Qt::LeftButton, {}, where);
}

void pickEntry(QComboBox &box, int row)
{
    box.showPopup();
    QAbstractItemView *list = box.view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        qFatal("the drop-down list does not open");
    list->setCurrentIndex(box.model()->index(row, box.modelColumn()));
    QTest::keyClick(list, Qt::Key_Return);
}

void pressKey(QWidget &window, Qt::Key key)
{
    // A window counts as active while its owner has the focus; the key must reach this one.
    QWindow *handle = window.windowHandle();
    window.activateWindow();
    if (!handle || !QTest::qWaitFor([handle] { return QGuiApplication::focusWindow() == handle; }))
        qFatal("the window does not take the keyboard");
    QTest::keyClick(handle, key);
}

void pressToolbar(MainWindow &w, const QString &key)
{
    for (QAction *a : w.Toolbar1->actions())
        if (a->data().toString() == key) {
            a->trigger();
            return;
        }
    qFatal("no toolbar button %s", qPrintable(key));
}

char quadrant(const QImage &img, double x, double y)
{
    const QColor c = img.pixelColor(int(x * (img.width() - 1)), int(y * (img.height() - 1)));
    if (c.red() > 180 && c.green() > 180 && c.blue() > 180)
        return 'W';
    if (c.red() > c.green() && c.red() > c.blue())
        return 'R';
    if (c.green() > c.blue())
        return 'G';
    return 'B';
}

QString otherVolumeFolder(const QString &here)
{
    // Two mounts of one kind (two tmpfs, say) share a device name: the mount point tells them apart.
    const QStorageInfo mine(here);
    for (const QString &candidate : {QStringLiteral("/dev/shm"), QDir::currentPath(), QDir::homePath()}) {
        const QStorageInfo s(candidate);
        if (s.isValid() && s.rootPath() != mine.rootPath() && QFileInfo(candidate).isWritable())
            return candidate;
    }
    return {};
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

using namespace Qt::StringLiterals;

namespace {
// Runs a program to its end: "" when it succeeded, else what it said.
QString runTool(const QString &program, const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + u' ' + args.join(u' ') + QStringLiteral(" fails: ") + p.errorString() + u' '
            + QString::fromLocal8Bit(p.readAllStandardError());
    if (out)
        *out = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return {};
}
} // namespace

bool makeFifo(const QString &path)
{
    return QProcess::execute(QStringLiteral("mkfifo"), {path}) == 0;
}

int runShell(const QString &cmd, int uid)
{
    QProcess p;
    const QString id = QString::number(uid);
    p.start(QStringLiteral("setpriv"),
        {u"--reuid="_s + id, u"--regid="_s + id, u"--clear-groups"_s, u"sh"_s, u"-c"_s, cmd});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TestVolume::TestVolume(Kind kind)
{
    const QString image = m_dir.filePath(QStringLiteral("card.img"));
    QDir().mkpath(path());
    QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7755)); // rwxr-xr-x: others reach the volume
    // The card needs exfatprogs and exfat-fuse (./scripts/test installs them); the first step that
    // fails says why.
    if (kind == SharedTmpfs)
        m_error = runTool(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"mode=1777,size=64m"_s, u"tmpfs"_s, path()});
    else if ((m_error = runTool(u"truncate"_s, {u"-s"_s, u"64M"_s, image})).isEmpty()
        && (m_error = runTool(u"mkfs.exfat"_s, {image})).isEmpty()
        && (m_error = runTool(u"losetup"_s, {u"-f"_s, u"--show"_s, image}, &m_loop)).isEmpty())
        m_error = runTool(u"mount.exfat-fuse"_s, {m_loop, path()});
}

TestVolume::~TestVolume()
{
    if (m_error.isEmpty())
        runTool(u"umount"_s, {path()});
    if (!m_loop.isEmpty())
        runTool(u"losetup"_s, {u"-d"_s, m_loop});
}

} // namespace orvella::test
