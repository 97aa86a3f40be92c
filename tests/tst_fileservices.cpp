// The file services every file operation goes through: rename and move that never replace,
// the safe move across volumes, trash, permanent delete and folder creation.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/fileservices.h"
#include "platform/trashentry.h"
#include "tests/testsupport.h"

using namespace orvella;
using namespace orvella::test;

namespace {

QByteArray photoBytes(int n, int size = 300000)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b.append(char((i * 31 + n) & 0xff));
    return b;
}

// What the child of killedMoveIsClearedByTheNextMove does: moves from to to and, at the fault
// point named, tells its parent and waits to be killed.
int childMove(const QString &from, const QString &to, const QByteArray &point)
{
    const bool lastResort = point == "last-resort";
    setFaultsForTesting(
        {.noAtomicRename = lastResort, .linkError = lastResort ? ENOSYS : 0, .pause = [lastResort](FaultPoint p) {
             if ((p == FaultPoint::LastResortRename) != lastResort)
                 return;
             std::fputs("paused\n", stdout);
             std::fflush(stdout);
             for (;;)
                 std::this_thread::sleep_for(std::chrono::hours(1));
         }});
    const OpResult r = renameNoReplace(from, to);
    std::fputs(r.ok ? "moved\n" : "failed\n", stdout);
    return 1;
}

} // namespace

class TestFileServices : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void renameInOneFolder();
    void renameNeverReplaces();
    void renameIntoAnotherFolder();
    void renameFailuresLeaveTheFileAlone();
    void moveAcrossVolumes();
    void moveAcrossVolumesNeverReplaces();
    void failureDuringTheCopyLeavesTheSource_data();
    void failureDuringTheCopyLeavesTheSource();
    void sourceGoneAtRemovalKeepsTheCopy();
    void killedMoveIsClearedByTheNextMove_data();
    void killedMoveIsClearedByTheNextMove();
    void sourceChangedDuringTheCopy_data();
    void sourceChangedDuringTheCopy();
    void withoutAtomicRenameNothingIsReplaced_data();
    void withoutAtomicRenameNothingIsReplaced();
    void symbolicLinksAreHandledAsLinks_data();
    void symbolicLinksAreHandledAsLinks();
    void trashEntryNames_data();
    void trashEntryNames();
    void trashKeepsTheFileRestorable_data();
    void trashKeepsTheFileRestorable();
    void refusedTrashKeepsTheFile();
    void permanentDelete();
    void folderCreation();
};

void TestFileServices::cleanup()
{
    setFaultsForTesting({});
}

void TestFileServices::renameInOneFolder()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("r"));
    writeFile(dir + QStringLiteral("/a.jpg"), photoBytes(1));
    QVERIFY(renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/Holiday 001.jpg")).ok);
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("Holiday 001.jpg")});
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 001.jpg")), photoBytes(1));
}

void TestFileServices::renameNeverReplaces()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("r"));
    writeFile(dir + QStringLiteral("/a.jpg"), photoBytes(1));
    writeFile(dir + QStringLiteral("/b.jpg"), photoBytes(2));
    const OpResult r = renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/b.jpg"));
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), photoBytes(1));
    QCOMPARE(contentOf(dir + QStringLiteral("/b.jpg")), photoBytes(2));
    // A file onto its own name is an existing target too.
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/a.jpg")).ok);
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), photoBytes(1));
}

void TestFileServices::renameIntoAnotherFolder()
{
    TestEnv env;
    const QString src = env.makeFolder(QStringLiteral("src"));
    const QString dst = env.makeFolder(QStringLiteral("dst"));
    writeFile(src + QStringLiteral("/a.JPG"), photoBytes(3));
    QVERIFY(renameNoReplace(src + QStringLiteral("/a.JPG"), dst + QStringLiteral("/a.JPG")).ok);
    QVERIFY(filesIn(src).isEmpty());
    QCOMPARE(contentOf(dst + QStringLiteral("/a.JPG")), photoBytes(3));
}

void TestFileServices::renameFailuresLeaveTheFileAlone()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("r"));
    writeFile(dir + QStringLiteral("/a.jpg"), photoBytes(4));
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/missing/a.jpg")).ok);
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + u'/' + QString(300, u'x') + ".jpg").ok);
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/gone.jpg"), dir + QStringLiteral("/b.jpg")).ok);
    QVERIFY(!renameNoReplace(dir, dir + QStringLiteral("-renamed")).ok); // folders are not files
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("a.jpg")});
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), photoBytes(4));
}

void TestFileServices::moveAcrossVolumes()
{
    TestEnv env;
    const QString other = otherVolumeFolder(env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-test-XXXXXX"));
    QVERIFY(there.isValid());
    const QString src = env.makeFolder(QStringLiteral("src"));
    writeFile(src + QStringLiteral("/trip.jpg"), photoBytes(5));
    const QDateTime taken = QDateTime::fromSecsSinceEpoch(1500000000);
    {
        QFile f(src + QStringLiteral("/trip.jpg"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(taken, QFileDevice::FileModificationTime));
    }
    const OpResult r = renameNoReplace(src + QStringLiteral("/trip.jpg"), there.filePath(QStringLiteral("trip.jpg")));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(filesIn(src).isEmpty());
    QCOMPARE(filesIn(there.path()), QStringList {QStringLiteral("trip.jpg")}); // no temporary file left
    QCOMPARE(contentOf(there.filePath(QStringLiteral("trip.jpg"))), photoBytes(5));
    QCOMPARE(QFileInfo(there.filePath(QStringLiteral("trip.jpg"))).lastModified(), taken);
    // And back, renamed on the way.
    QVERIFY(renameNoReplace(there.filePath(QStringLiteral("trip.jpg")), src + QStringLiteral("/Holiday.jpg")).ok);
    QCOMPARE(contentOf(src + QStringLiteral("/Holiday.jpg")), photoBytes(5));
    QVERIFY(filesIn(there.path()).isEmpty());
}

void TestFileServices::moveAcrossVolumesNeverReplaces()
{
    TestEnv env;
    const QString src = env.makeFolder(QStringLiteral("src"));
    const QString dst = env.makeFolder(QStringLiteral("dst"));
    writeFile(src + QStringLiteral("/a.jpg"), photoBytes(6));
    writeFile(dst + QStringLiteral("/a.jpg"), photoBytes(7));
    setFaultsForTesting({.forceCrossVolume = true});
    QVERIFY(!renameNoReplace(src + QStringLiteral("/a.jpg"), dst + QStringLiteral("/a.jpg")).ok);
    QCOMPARE(contentOf(src + QStringLiteral("/a.jpg")), photoBytes(6));
    QCOMPARE(contentOf(dst + QStringLiteral("/a.jpg")), photoBytes(7));
    QCOMPARE(filesIn(dst), QStringList {QStringLiteral("a.jpg")});
    // Into a folder that does not exist.
    QVERIFY(!renameNoReplace(src + QStringLiteral("/a.jpg"), dst + QStringLiteral("/none/a.jpg")).ok);
    QCOMPARE(contentOf(src + QStringLiteral("/a.jpg")), photoBytes(6));
}

void TestFileServices::failureDuringTheCopyLeavesTheSource_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("after the copy") << int(CrossVolumeFault::AfterCopy);
    QTest::newRow("before removing the source") << int(CrossVolumeFault::BeforeRemovingSource);
}

void TestFileServices::failureDuringTheCopyLeavesTheSource()
{
    QFETCH(int, fault);
    TestEnv env;
    const QString src = env.makeFolder(QStringLiteral("src"));
    const QString dst = env.makeFolder(QStringLiteral("dst"));
    writeFile(src + QStringLiteral("/a.jpg"), photoBytes(8));
    setFaultsForTesting({.forceCrossVolume = true, .crossVolume = CrossVolumeFault(fault)});
    QVERIFY(!renameNoReplace(src + QStringLiteral("/a.jpg"), dst + QStringLiteral("/b.jpg")).ok);
    QCOMPARE(contentOf(src + QStringLiteral("/a.jpg")), photoBytes(8));
    QVERIFY(filesIn(dst).isEmpty()); // nothing under the final name, no temporary file
}

void TestFileServices::sourceGoneAtRemovalKeepsTheCopy()
{
    // The removal of the source fails because the source has gone already: the copy is then the
    // only one, and it must stay.
    TestEnv env;
    const QString src = env.makeFolder(QStringLiteral("src"));
    const QString dst = env.makeFolder(QStringLiteral("dst"));
    writeFile(src + QStringLiteral("/a.jpg"), photoBytes(11));
    setFaultsForTesting({.forceCrossVolume = true, .crossVolume = CrossVolumeFault::SourceGoneAtRemoval});
    QVERIFY(renameNoReplace(src + QStringLiteral("/a.jpg"), dst + QStringLiteral("/a.jpg")).ok);
    QVERIFY(filesIn(src).isEmpty());
    QCOMPARE(filesIn(dst), QStringList {QStringLiteral("a.jpg")});
    QCOMPARE(contentOf(dst + QStringLiteral("/a.jpg")), photoBytes(11));
}

void TestFileServices::killedMoveIsClearedByTheNextMove_data()
{
    QTest::addColumn<QByteArray>("point");
    QTest::newRow("in the middle of the copy") << QByteArray("mid-copy");
    QTest::newRow("before the last-resort rename") << QByteArray("last-resort");
}

void TestFileServices::killedMoveIsClearedByTheNextMove()
{
    // A move killed part-way (power loss, a crash) leaves its unfinished copy and nothing under the
    // picture's name. The next move into the folder removes such a copy once its process has gone,
    // and no other file.
    QFETCH(QByteArray, point);
    TestEnv env;
    const QString other = otherVolumeFolder(env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-test-XXXXXX"));
    QVERIFY(there.isValid());
    const QString src = env.makeFolder(QStringLiteral("src"));
    const QByteArray big = photoBytes(16, 3 << 20);
    writeFile(src + QStringLiteral("/big.jpg"), big);
    writeFile(src + QStringLiteral("/a.jpg"), photoBytes(17));
    writeFile(src + QStringLiteral("/b.jpg"), photoBytes(18));
    QStringList kept {".orvella-notes.part", ".orvella-0123.part", "a.orvella-0123456789abcdef.part", "notes"};
    for (const QString &name : kept)
        writeFile(there.filePath(name), "not a copy");
    QVERIFY(QFile::link(there.filePath(QStringLiteral("notes")), there.filePath(".orvella-0123456789abcdef.part")));
    kept.append(".orvella-0123456789abcdef.part");

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        {QStringLiteral("--child-move"), src + QStringLiteral("/big.jpg"), there.filePath(QStringLiteral("big.jpg")),
            QString::fromLatin1(point)});
    QVERIFY(child.waitForStarted());
    while (!child.canReadLine())
        QVERIFY(child.waitForReadyRead(60000));
    QCOMPARE(child.readLine(), QByteArray("paused\n"));
    const QRegularExpression partName(QStringLiteral("^\\.orvella-[0-9a-f]{16}\\.part$"));
    QStringList parts = filesIn(there.path()).filter(partName);
    parts.removeAll(".orvella-0123456789abcdef.part");
    QCOMPARE(parts.size(), 1);
    // A move while the child lives leaves its copy alone.
    QVERIFY(renameNoReplace(src + QStringLiteral("/a.jpg"), there.filePath(QStringLiteral("a.jpg"))).ok);
    QVERIFY(QFileInfo::exists(there.filePath(parts[0])));

    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY(!QFileInfo::exists(there.filePath(QStringLiteral("big.jpg"))));
    QVERIFY(contentOf(src + QStringLiteral("/big.jpg")) == big);
    QVERIFY(QFileInfo::exists(there.filePath(parts[0])));

    QVERIFY(renameNoReplace(src + QStringLiteral("/b.jpg"), there.filePath(QStringLiteral("b.jpg"))).ok);
    kept << QStringLiteral("a.jpg") << QStringLiteral("b.jpg");
    kept.sort();
    QCOMPARE(filesIn(there.path()), kept);
    QVERIFY(renameNoReplace(src + QStringLiteral("/big.jpg"), there.filePath(QStringLiteral("big.jpg"))).ok);
    QVERIFY(contentOf(there.filePath(QStringLiteral("big.jpg"))) == big);
}

void TestFileServices::sourceChangedDuringTheCopy_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("saved as a new file") << false;
    QTest::newRow("rewritten in place") << true;
}

void TestFileServices::sourceChangedDuringTheCopy()
{
    // Another program saves a new version while the picture is copied to another volume: the new
    // version stays, and the copy is kept only when it is a whole copy of the old one.
    QFETCH(bool, inPlace);
    TestEnv env;
    const QString other = otherVolumeFolder(env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-test-XXXXXX"));
    QVERIFY(there.isValid());
    const QString src = env.makeFolder(QStringLiteral("src")) + QStringLiteral("/a.jpg");
    const QByteArray old = photoBytes(14, 3 << 20), fresh = photoBytes(15, 3 << 20);
    writeFile(src, old);
    setFaultsForTesting({.pause = [&](FaultPoint) {
        if (inPlace) {
            QFile f(src);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QCOMPARE(f.write(fresh), fresh.size());
            QVERIFY(f.setFileTime(QDateTime::fromSecsSinceEpoch(1600000000), QFileDevice::FileModificationTime));
        } else {
            writeFile(src + QStringLiteral(".new"), fresh);
            std::filesystem::rename(
                QFile::encodeName(src + QStringLiteral(".new")).toStdString(), QFile::encodeName(src).toStdString());
        }
    }});
    const OpResult r = renameNoReplace(src, there.filePath(QStringLiteral("a.jpg")));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("changed during the copy")), qPrintable(r.error));
    QVERIFY(contentOf(src) == fresh);
    QCOMPARE(filesIn(there.path()), inPlace ? QStringList() : QStringList {QStringLiteral("a.jpg")});
    if (!inPlace)
        QVERIFY(contentOf(there.filePath(QStringLiteral("a.jpg"))) == old);
}

void TestFileServices::withoutAtomicRenameNothingIsReplaced_data()
{
    // File systems without an atomic no-replace rename take the hard-link way; without hard links
    // too (FAT refuses them with EPERM, some FUSE file systems with ENOSYS), the last resort.
    QTest::addColumn<int>("linkError");
    QTest::newRow("hard links") << 0;
    QTest::newRow("no hard links: EPERM") << int(EPERM);
    QTest::newRow("no hard links: ENOSYS") << int(ENOSYS);
}

void TestFileServices::withoutAtomicRenameNothingIsReplaced()
{
    QFETCH(int, linkError);
    TestEnv env;
    setFaultsForTesting({.noAtomicRename = true, .linkError = linkError});
    const QString dir = env.makeFolder(QStringLiteral("r"));
    const QString other = env.makeFolder(QStringLiteral("o"));
    writeFile(dir + QStringLiteral("/a.jpg"), photoBytes(12));
    writeFile(dir + QStringLiteral("/b.jpg"), photoBytes(13));
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/b.jpg")).ok);
    QVERIFY(!renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/a.jpg")).ok);
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), photoBytes(12));
    QCOMPARE(contentOf(dir + QStringLiteral("/b.jpg")), photoBytes(13));
    QVERIFY(renameNoReplace(dir + QStringLiteral("/a.jpg"), dir + QStringLiteral("/Holiday 001.jpg")).ok);
    QVERIFY(renameNoReplace(dir + QStringLiteral("/b.jpg"), other + QStringLiteral("/b.jpg")).ok);
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("Holiday 001.jpg")});
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 001.jpg")), photoBytes(12));
    QCOMPARE(filesIn(other), QStringList {QStringLiteral("b.jpg")});
    QCOMPARE(contentOf(other + QStringLiteral("/b.jpg")), photoBytes(13));
}

void TestFileServices::symbolicLinksAreHandledAsLinks_data()
{
    // Where the link is sent, and where it must then be: in the test's root, on another volume
    // (@other), in the trash (@trash), or nowhere (deleted for good).
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("landed");
    QTest::newRow("rename") << "pics/renamed.jpg"
                            << "pics/renamed.jpg";
    QTest::newRow("into another folder") << "sorted/link.jpg"
                                         << "sorted/link.jpg";
    QTest::newRow("to another volume") << "@other/link.jpg"
                                       << "@other/link.jpg";
    QTest::newRow("to the trash") << "@trash"
                                  << "@trash/files/link.jpg";
    QTest::newRow("for good") << ""
                              << "";
}

void TestFileServices::symbolicLinksAreHandledAsLinks()
{
    // A link to a picture is renamed, moved and deleted as itself, as a file manager does; the
    // picture it points to is never touched.
    QFETCH(QString, to);
    QFETCH(QString, landed);
    TestEnv env;
    const QString other = otherVolumeFolder(env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-test-XXXXXX"));
    QVERIFY(there.isValid());
    const QString target = env.makeFolder(QStringLiteral("store")) + QStringLiteral("/real.jpg");
    writeFile(target, photoBytes(19));
    const QString link = env.makeFolder(QStringLiteral("pics")) + QStringLiteral("/link.jpg");
    env.makeFolder(QStringLiteral("sorted"));
    QVERIFY(QFile::link(target, link));
    auto place = [&](QString path) {
        path.replace(QStringLiteral("@other"), there.path()).replace(QStringLiteral("@trash"), trashFolder());
        return QDir::isAbsolutePath(path) ? path : env.root() + u'/' + path;
    };
    const OpResult r = to.isEmpty() ? deletePermanently(link)
        : to == u"@trash"           ? moveToTrash(link)
                                    : renameNoReplace(link, place(to));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(contentOf(target) == photoBytes(19));
    if (!landed.isEmpty()) {
        QVERIFY(QFileInfo(place(landed)).isSymLink());
        QCOMPARE(QFile::symLinkTarget(place(landed)), target);
    }
    QCOMPARE(filesIn(QFileInfo(target).path()), QStringList {QStringLiteral("real.jpg")});
}

void TestFileServices::trashEntryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QString>("entry");
    const QString a(251, u'a');
    QTest::newRow("fits") << "photo.jpg" << QByteArray() << "photo.jpg";
    QTest::newRow("taken") << "photo.jpg" << QByteArray("2") << "photo.2.jpg";
    QTest::newRow("245 bytes fit") << a.left(245) << QByteArray() << a.left(245);
    QTest::newRow("246 bytes") << a.left(242) + ".jpg" << QByteArray() << a.left(241) + ".jpg";
    QTest::newRow("255 bytes") << a + ".jpg" << QByteArray() << a.left(241) + ".jpg";
    QTest::newRow("255 bytes, taken") << a + ".jpg" << QByteArray("2") << a.left(239) + ".2.jpg";
    QTest::newRow("no extension") << a << QByteArray() << a.left(245);
    QTest::newRow("two-byte letters") << QString(123, u'é') + ".jpg" << QByteArray() << QString(120, u'é') + ".jpg";
    QTest::newRow("three-byte letters") << QString(83, u'日') + ".jpg" << QByteArray() << QString(80, u'日') + ".jpg";
    QTest::newRow("four-byte letters") << QStringLiteral("😀").repeated(62) + ".jpg" << QByteArray()
                                       << QStringLiteral("😀").repeated(60) + ".jpg";
}

void TestFileServices::trashEntryNames()
{
    // The trash keeps a file under a name that leaves room for ".trashinfo" in 255 bytes.
    QFETCH(QString, name);
    QFETCH(QByteArray, tag);
    QFETCH(QString, entry);
    QCOMPARE(QString::fromUtf8(trashEntryName(name.toUtf8(), tag)), entry);
    QVERIFY(trashEntryName(name.toUtf8(), tag).size() <= 245);
    QCOMPARE(trashInfoText("/p/a b%é.jpg", QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3))),
        QByteArray("[Trash Info]\nPath=/p/a%20b%25%C3%A9.jpg\nDeletionDate=2024-03-09T07:05:03\n"));
}

void TestFileServices::trashKeepsTheFileRestorable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("otherVolume");
    const QString a(251, u'a');
    QTest::newRow("plain") << "old photo.jpg" << false;
    QTest::newRow("246 bytes") << a.left(242) + ".jpg" << false;
    QTest::newRow("255 bytes") << a + ".jpg" << false;
    QTest::newRow("250 bytes of two-byte letters") << QString(123, u'é') + ".jpg" << false;
    QTest::newRow("253 bytes of three-byte letters") << QString(83, u'日') + ".jpg" << false;
    QTest::newRow("252 bytes of four-byte letters") << QStringLiteral("😀").repeated(62) + ".jpg" << false;
    QTest::newRow("another volume") << "old photo.jpg" << true;
    QTest::newRow("255 bytes on another volume") << a + ".jpg" << true;
}

void TestFileServices::trashKeepsTheFileRestorable()
{
    // Two files of one name from two folders go to the trash in turn, and a second implementation
    // of the trash (trash-cli) lists them and puts each back where it was.
    QFETCH(QString, name);
    QFETCH(bool, otherVolume);
    TestEnv env;
    const QString other = otherVolumeFolder(env.root());
    QVERIFY2(!other.isEmpty(), "no second file system found (tried /dev/shm, the build folder and home)");
    QTemporaryDir there(other + QStringLiteral("/orvella-test-XXXXXX"));
    QVERIFY(there.isValid());
    // The volume's own trash that the test may make at the top of the other volume.
    const QString volumeTrash
        = QStorageInfo(there.path()).rootPath() + QStringLiteral("/.Trash-%1").arg(QFileInfo(env.root()).ownerId());
    const bool volumeTrashWasThere = QFileInfo::exists(volumeTrash);
    const auto removeWhatTheTestMade = qScopeGuard([&] {
        // This test's entries (their paths hold the temporary folder's unique name), then the
        // trash's folders if the test made them and they are empty.
        const QByteArray mine = "Path=" + QFileInfo(there.path()).fileName().toUtf8() + '/';
        for (const QString &info : QDir(volumeTrash + QStringLiteral("/info")).entryList(QDir::Files | QDir::Hidden))
            if (contentOf(volumeTrash + QStringLiteral("/info/") + info).contains(mine)) {
                QFile::remove(volumeTrash + QStringLiteral("/files/") + info.chopped(10));
                QFile::remove(volumeTrash + QStringLiteral("/info/") + info);
            }
        if (!volumeTrashWasThere)
            for (const QString &folder : {QStringLiteral("/files"), QStringLiteral("/info"), QString()})
                QDir().rmdir(volumeTrash + folder);
    });
    const QString base = otherVolume ? there.path() : env.root();
    const QStringList paths {base + QStringLiteral("/a/") + name, base + QStringLiteral("/b/") + name};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(QDir().mkpath(QFileInfo(paths[i]).path()));
        writeFile(paths[i], photoBytes(20 + i));
    }
    QVERIFY(QDir::setCurrent(QFileInfo(paths[0]).path())); // nothing may be made in the picture folder
    for (const QString &path : paths) {
        const OpResult r = moveToTrash(path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(entriesIn(QFileInfo(path).path()), QStringList());
    }
    QProcessEnvironment utf8 = QProcessEnvironment::systemEnvironment();
    utf8.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    QProcess list;
    list.setProcessEnvironment(utf8);
    list.start(QStringLiteral("trash-list"), {});
    QVERIFY2(list.waitForFinished(60000), "trash-list is missing: install trash-cli (./scripts/test does)");
    const QString listed = QString::fromUtf8(list.readAllStandardOutput());
    for (int i = 0; i < 2; ++i) {
        QVERIFY2(listed.contains(u' ' + paths[i] + u'\n'), qPrintable(listed));
        QProcess restore;
        restore.setProcessEnvironment(utf8);
        restore.start(QStringLiteral("trash-restore"), {paths[i]});
        restore.write("0\n");
        restore.closeWriteChannel();
        QVERIFY(restore.waitForFinished(60000));
        QVERIFY2(restore.exitCode() == 0, restore.readAllStandardError().constData());
        QVERIFY(contentOf(paths[i]) == photoBytes(20 + i));
    }
    const QString trash = otherVolume ? volumeTrash : trashFolder();
    QCOMPARE(entriesIn(trash + QStringLiteral("/files")), QStringList());
    QCOMPARE(entriesIn(trash + QStringLiteral("/info")), QStringList());
    QVERIFY(!moveToTrash(base + QStringLiteral("/a/never.jpg")).ok);
}

void TestFileServices::refusedTrashKeepsTheFile()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("t"));
    writeFile(dir + QStringLiteral("/keep.jpg"), photoBytes(10));
    // A trash that cannot be set up: its folder's place is taken by a file.
    QDir().mkpath(QFileInfo(trashFolder()).path());
    writeFile(trashFolder(), "not a folder");
    QVERIFY(QDir::setCurrent(dir));
    const OpResult r = moveToTrash(dir + QStringLiteral("/keep.jpg"));
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(contentOf(dir + QStringLiteral("/keep.jpg")), photoBytes(10));
    // Nothing made in the picture folder, which is the working folder.
    QCOMPARE(entriesIn(dir), QStringList {QStringLiteral("keep.jpg")});
}

void TestFileServices::permanentDelete()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("d"));
    writeFile(dir + QStringLiteral("/a.jpg"));
    QVERIFY(deletePermanently(dir + QStringLiteral("/a.jpg")).ok);
    QVERIFY(filesIn(dir).isEmpty());
    QVERIFY(!QFileInfo::exists(trashFolder() + QStringLiteral("/files/a.jpg")));
    const OpResult again = deletePermanently(dir + QStringLiteral("/a.jpg"));
    QVERIFY(!again.ok);
    QVERIFY(again.error.contains(QStringLiteral("a.jpg")));
}

void TestFileServices::folderCreation()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("m"));
    QVERIFY(makeFolder(dir + QStringLiteral("/New")).ok);
    QVERIFY(QFileInfo(dir + QStringLiteral("/New")).isDir());
    QVERIFY(!makeFolder(dir + QStringLiteral("/New")).ok);
    QVERIFY(!makeFolder(QString()).ok);
    QVERIFY(!makeFolder(dir + QStringLiteral("/a/b")).ok);
    QVERIFY(QDir::setCurrent(dir));
    QVERIFY(makeFolder(QStringLiteral("Bare")).ok);
    QVERIFY(QFileInfo(dir + QStringLiteral("/Bare")).isDir());
}

int main(int argc, char *argv[])
{
    if (argc == 5 && std::strcmp(argv[1], "--child-move") == 0)
        return childMove(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]), argv[4]);
    QApplication app(argc, argv);
    TestFileServices test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileservices.moc"
