// The file services every file operation goes through: rename and move that never replace,
// the safe move across volumes, trash and folder creation. (Permanent delete is tried through the
// windows that delete, and here for links.)
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
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
using namespace Qt::StringLiterals;
using namespace orvella::test;

namespace {

// A picture's bytes: size bytes that differ with n.
QByteArray photoBytes(int n, int size = 300000)
{
    return QByteArray::number(n + 10).repeated(size / 2);
}

// A temporary folder of the test's own on another file system than the test's root.
QTemporaryDir otherVolume(const TestEnv &env)
{
    const QString other = otherVolumeFolder(env.root());
    if (other.isEmpty())
        qFatal("no second file system found (tried /dev/shm, the build folder and home)");
    return QTemporaryDir(other + u"/orvella-test-XXXXXX"_s);
}

// What the child of killedMoveIsClearedByTheNextMove does: moves from to to and, at the fault
// point named, tells its parent and waits to be killed.
int childMove(const QString &from, const QString &to, const QByteArray &point)
{
    const bool lastResort = point == "last-resort";
    setFaultsForTesting({.noAtomicRename = lastResort,
        .linkError = lastResort ? ENOSYS : 0,
        .noUnnamedFile = true,
        .pause = [lastResort](FaultPoint p) {
            if (p == (lastResort ? FaultPoint::LastResortRename : FaultPoint::MidCopy)) {
                std::puts("paused");
                std::fflush(stdout);
                std::this_thread::sleep_for(std::chrono::hours(24));
            }
        }});
    std::puts(renameNoReplace(from, to).ok ? "moved" : "failed");
    return 1;
}

// What folder holds, as "name=content", sorted; mine stands for the bytes of the picture moved,
// "new" for other bytes of its size (a new version), and a temporary copy's name for its kind.
QStringList listing(const QString &folder, const QByteArray &mine)
{
    QStringList out;
    for (const QString &name : filesIn(folder)) {
        const QByteArray content = contentOf(folder + u'/' + name);
        out << QString(name).replace(QRegularExpression(u"^\\.orvella-[0-9a-f]{16}"_s), u""_s) + u'='
                + (content == mine                      ? u"mine"_s
                        : content.size() == mine.size() ? u"new"_s
                                                        : QString::fromUtf8(content.trimmed()));
    }
    return out;
}

} // namespace

class TestFileServices : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setFaultsForTesting({}); }
    void renameNeverReplaces();
    void killedMoveIsClearedByTheNextMove();
    void movesAmongOtherUsers();
    void symbolicLinksAreHandledAsLinks();
    void trashEntryNames();
    void trashKeepsTheFileRestorable();
    void sharedVolumeTrashIsChecked();
    void makeFolderAndRefusedTrash();
};

void TestFileServices::renameNeverReplaces()
{
    // Every way a file gets its new name: the atomic rename; on file systems without it the
    // hard-link way, and without hard links too (FAT refuses them with EPERM, some FUSE file
    // systems with ENOSYS) the last resort; the copy across volumes, and its failures. When the
    // source has gone already as its removal fails, the copy is the only one left, and stays.
    using F = FileServiceFaults;
    const std::tuple<const char *, F, bool> rows[] = {{"atomic rename", F {}, true},
        {"hard links", F {.noAtomicRename = true}, true},
        {"no hard links: EPERM", F {.noAtomicRename = true, .linkError = EPERM}, true},
        {"no hard links: ENOSYS", F {.noAtomicRename = true, .linkError = ENOSYS}, true},
        {"copy", F {.forceCrossVolume = true}, true},
        {"copy fails after the copy", F {.forceCrossVolume = true, .crossVolume = CrossVolumeFault::AfterCopy}, false},
        {"copy fails removing the source",
            F {.forceCrossVolume = true, .crossVolume = CrossVolumeFault::BeforeRemovingSource}, false},
        {"source gone at its removal",
            F {.forceCrossVolume = true, .crossVolume = CrossVolumeFault::SourceGoneAtRemoval}, true}};
    for (const auto &[row, faults, moves] : rows) {
        qInfo("row: %s", row);
        TestEnv env;
        setFaultsForTesting(faults);
        const QTemporaryDir there = otherVolume(env);
        const QString dir = env.makeFolder(u"r"_s), a = dir + u"/a.jpg"_s, b = dir + u"/b.jpg"_s,
                      far = there.filePath(u"b.jpg"_s);
        writeFile(a, photoBytes(1));
        writeFile(b, photoBytes(2));
        QCOMPARE(runShell(u"touch -d @1500000000 "_s + b, 0), 0);
        for (const QString &to : {u"b.jpg"_s, u"a.jpg"_s, u"missing/a.jpg"_s, QString(300, u'x') + u".jpg"_s})
            QVERIFY2(!renameNoReplace(a, dir + u'/' + to).ok, qPrintable(to));
        QVERIFY(!renameNoReplace(dir + u"/gone.jpg"_s, dir + u"/c.jpg"_s).ok);
        QVERIFY(!renameNoReplace(dir, dir + u"-renamed"_s).ok); // folders are not files

        QCOMPARE(renameNoReplace(a, dir + u"/Holiday 001.jpg"_s).ok, moves);
        QCOMPARE(renameNoReplace(b, far).ok, moves);
        // Nothing is left half-way: each file is in one place only, whole, and no temporary copy stays.
        const QStringList here = moves ? QStringList {"Holiday 001.jpg"} : QStringList {"a.jpg", "b.jpg"};
        QCOMPARE(filesIn(dir), here);
        QCOMPARE(contentOf(dir + u'/' + here[0]), photoBytes(1));
        QCOMPARE(filesIn(there.path()), moves ? QStringList {"b.jpg"} : QStringList());
        QCOMPARE(contentOf(moves ? far : b), photoBytes(2));
        // The date is often all there is to sort by.
        QCOMPARE(QFileInfo(moves ? far : b).lastModified(), QDateTime::fromSecsSinceEpoch(1500000000));
    }
}

void TestFileServices::killedMoveIsClearedByTheNextMove()
{
    // A move killed part-way (power loss, a crash) leaves its unfinished copy and nothing under the
    // picture's name. The next move into the folder removes such a copy once its process has gone,
    // and no other file.
    // The child is stopped in the middle of its copy, or just before the last-resort rename.
    for (const char *point : {"mid-copy", "last-resort"}) {
        qInfo("row: %s", point);
        TestEnv env;
        const QTemporaryDir there = otherVolume(env);
        const QString src = env.makeFolder(u"src"_s);
        const QByteArray big = photoBytes(16, 3 << 20);
        writeFile(src + u"/big.jpg"_s, big);
        writeFile(src + u"/a.jpg"_s, photoBytes(17));
        writeFile(src + u"/b.jpg"_s, photoBytes(18));
        QStringList kept {".orvella-notes.part", ".orvella-0123.part", "a.orvella-0123456789abcdef.part", "notes",
            "xorvella-0123456789abcdef.part", ".orvella-0123456789abcdeg.part", ".orvella-0123456789abcdef.pars"};
        for (const QString &name : kept)
            writeFile(there.filePath(name), "not a copy");
        QVERIFY(QFile::link(there.filePath(u"notes"_s), there.filePath(".orvella-0123456789abcdef.part")));
        // A pipe by a copy's name never holds the search up.
        QVERIFY(makeFifo(there.filePath(".orvella-fedcba9876543210.part")));
        kept.append(".orvella-0123456789abcdef.part");

        setFaultsForTesting({.noUnnamedFile = true}); // copies get a name of their own, as on a card
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            {u"--child-move"_s, src + u"/big.jpg"_s, there.filePath(u"big.jpg"_s), QString::fromLatin1(point)});
        while (!child.canReadLine())
            QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readLine(), QByteArray("paused\n"));
        QCOMPARE(filesIn(there.path()).size(), kept.size() + 1); // the child's copy
        // A move while the child lives leaves its copy alone.
        QVERIFY(renameNoReplace(src + u"/a.jpg"_s, there.filePath(u"a.jpg"_s)).ok);
        QCOMPARE(filesIn(there.path()).size(), kept.size() + 2);

        child.kill();
        QVERIFY(child.waitForFinished());
        QVERIFY(renameNoReplace(src + u"/b.jpg"_s, there.filePath(u"b.jpg"_s)).ok);
        kept << u"a.jpg"_s << u"b.jpg"_s;
        kept.sort();
        QCOMPARE(filesIn(there.path()), kept);
        QVERIFY(renameNoReplace(src + u"/big.jpg"_s, there.filePath(u"big.jpg"_s)).ok);
        QVERIFY(contentOf(there.filePath(u"big.jpg"_s)) == big);
    }
}

void TestFileServices::movesAmongOtherUsers()
{
    // Another user who may write in the destination folder (mode 0777, another volume) renames a
    // file of theirs over the temporary copy or over the final name while a move runs: the picture
    // stays where it was, their file stays as they left it, and the move says why. An unnamed copy
    // leaves them no name to take. A source that is another file or a link once looked at is not
    // copied; a folder that cannot be flushed keeps the source, and the copy beside it. A new version
    // the user's program saves meanwhile, in place or as a new file, stays, and the copy only when it
    // is whole, of the old one.
    using V = TestVolume;
    using P = FaultPoint;
    const QString overPart = u"for f in .orvella-*.part; do [ -f $f ] && mv theirs.jpg $f; done; true"_s,
                  newVersion = u"tr 0-9 a-j <$1 >$1.new && touch -d @1600000000 $1.new && "_s;
    const std::tuple<const char *, V::Kind, bool, P, QString, QString, QStringList, QStringList> rows[]
        = {{"unnamed copy", V::SharedTmpfs, false, P::MidCopy, overPart, {}, {"a.jpg=mine", "theirs.jpg=theirs"}, {}},
            {"named copy replaced", V::SharedTmpfs, true, P::MidCopy, overPart, "replaced", {".part=theirs"},
                {"a.jpg=mine"}},
            {"card: named copy replaced", V::ExFatCard, false, P::MidCopy, overPart, "replaced", {".part=theirs"},
                {"a.jpg=mine"}},
            {"final name replaced", V::SharedTmpfs, false, P::CopyNamed, u"mv theirs.jpg a.jpg"_s, "replaced",
                {"a.jpg=theirs"}, {"a.jpg=mine"}},
            {"source became a link", V::SharedTmpfs, false, P::SourceChecked, u"mv $1 $1.aside; ln -s $1.aside $1"_s,
                "changed", {"theirs.jpg=theirs"}, {"a.jpg=mine", "a.jpg.aside=mine"}},
            {"source became another file", V::SharedTmpfs, false, P::SourceChecked, u"mv $1 $1.aside; echo other >$1"_s,
                "changed", {"theirs.jpg=theirs"}, {"a.jpg=other", "a.jpg.aside=mine"}},
            {"folder not flushed", V::SharedTmpfs, false, P::CopyNamed, u"true"_s, "could not be written to disk",
                {"a.jpg=mine", "theirs.jpg=theirs"}, {"a.jpg=mine"}},
            {"new version in place", V::SharedTmpfs, false, P::MidCopy, newVersion + u"cat $1.new >$1 && rm $1.new"_s,
                "changed during the copy", {"theirs.jpg=theirs"}, {"a.jpg=new"}},
            {"new version as a new file", V::SharedTmpfs, false, P::MidCopy, newVersion + u"mv $1.new $1"_s,
                "changed during the copy", {"a.jpg=mine", "theirs.jpg=theirs"}, {"a.jpg=new"}}};
    for (const auto &[row, kind, named, point, meddle, why, there, here] : rows) {
        qInfo("row: %s", row);
        TestEnv env;
        const TestVolume volume(kind);
        QVERIFY2(volume.error().isEmpty(), qPrintable(volume.error()));
        const QString shared = volume.path() + u"/shared"_s, src = env.makeFolder(u"src"_s) + u"/a.jpg"_s;
        const QByteArray mine = photoBytes(30, 3 << 20);
        writeFile(src, mine);
        QVERIFY(QDir().mkdir(shared) && QFile::setPermissions(shared, QFile::Permissions(0x7777)));
        QCOMPARE(runShell(u"echo theirs >"_s + shared + u"/theirs.jpg"_s), 0);
        const QString cmd = u"cd "_s + shared + u" && sh -c '"_s + meddle + u"' - "_s + src;
        const int uid = meddle.contains(u"$1"_s) ? 0 : 65534; // the user's own file: changed by root
        setFaultsForTesting({.noUnnamedFile = named,
            .folderSyncError = QByteArray(row).contains("flushed") ? EIO : 0,
            .pause = [&](P p) {
                if (p == point)
                    QCOMPARE(runShell(cmd, uid), 0);
            }});
        const OpResult r = renameNoReplace(src, shared + u"/a.jpg"_s);
        QVERIFY2(why.isEmpty() ? r.ok : !r.ok && r.error.contains(why), qPrintable(r.error));
        QCOMPARE(listing(shared, mine), there);
        QCOMPARE(listing(QFileInfo(src).path(), mine), here);
    }
}

void TestFileServices::symbolicLinksAreHandledAsLinks()
{
    // Links to a picture are renamed, moved (to another volume too), trashed and deleted as
    // themselves, as a file manager does; the picture they point to is never touched.
    TestEnv env;
    const QTemporaryDir there = otherVolume(env);
    const QString target = env.makeFolder(u"store"_s) + u"/real.jpg"_s, pics = env.makeFolder(u"pics"_s);
    writeFile(target, photoBytes(19));
    const QString landed[] = {pics + u"/renamed.jpg"_s, env.makeFolder(u"sorted"_s) + u"/2.jpg"_s,
        there.filePath(u"3.jpg"_s), trashFolder() + u"/files/4.jpg"_s, QString()};
    for (int i = 0; i < 5; ++i) {
        const QString link = pics + u"/%1.jpg"_s.arg(i + 1);
        QVERIFY(QFile::link(target, link));
        const OpResult r = i == 4 ? deletePermanently(link)
            : i == 3              ? moveToTrash(link)
                                  : renameNoReplace(link, landed[i]);
        QVERIFY2(r.ok && !QFileInfo(link).isSymLink(), qPrintable(link + r.error));
        QVERIFY2(landed[i].isEmpty() || QFile::symLinkTarget(landed[i]) == target, qPrintable(landed[i]));
    }
    QCOMPARE(filesIn(QFileInfo(target).path()), QStringList {u"real.jpg"_s});
    QVERIFY(contentOf(target) == photoBytes(19));
}

void TestFileServices::trashEntryNames()
{
    // The trash keeps a file under a name that leaves room for ".trashinfo" in 255 bytes, cut
    // between characters, with its extension and the tag that makes it unique.
    const QString a(251, u'a'), e2(123, u'é'), e3(83, u'日'), e4 = u"😀"_s.repeated(62);
    const std::tuple<QString, QByteArray, QString> rows[]
        = {{"photo.jpg", "", "photo.jpg"}, {"photo.jpg", "2", "photo.2.jpg"}, {a.left(245), "", a.left(245)},
            {a.left(242) + ".jpg", "", a.left(241) + ".jpg"}, {a + ".jpg", "", a.left(241) + ".jpg"},
            {a + ".jpg", "2", a.left(239) + ".2.jpg"}, {a, "", a.left(245)}, {e2 + ".jpg", "", e2.left(120) + ".jpg"},
            {e3 + ".jpg", "", e3.left(80) + ".jpg"}, {e4 + ".jpg", "", e4.left(120) + ".jpg"}};
    for (const auto &[name, tag, entry] : rows)
        QCOMPARE(QString::fromUtf8(trashEntryName(name.toUtf8(), tag)), entry);
    QCOMPARE(trashInfoText("/p/a b%é.jpg", QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3))),
        QByteArray("[Trash Info]\nPath=/p/a%20b%25%C3%A9.jpg\nDeletionDate=2024-03-09T07:05:03\n"));
}

void TestFileServices::trashKeepsTheFileRestorable()
{
    // Files of one name from two folders, on this volume and another, with names up to 255 bytes,
    // go to the trash in turn; a second implementation of the trash (trash-cli) lists them and puts
    // each back where it was.
    TestEnv env;
    const QTemporaryDir there = otherVolume(env);
    // The other volume's trash is at its top, as the standard has it, and may be shared: the test
    // removes only its own entries there (their paths hold its folder's unique name), and the
    // trash's folders if it made them.
    const QString volumeTrash
        = QStorageInfo(there.path()).rootPath() + u"/.Trash-%1"_s.arg(QFileInfo(env.root()).ownerId());
    const bool volumeTrashWasThere = QFileInfo::exists(volumeTrash);
    const auto removeWhatTheTestMade = qScopeGuard([&] {
        for (const QString &info : QDir(volumeTrash + u"/info"_s).entryList(QDir::Files | QDir::Hidden))
            if (contentOf(volumeTrash + u"/info/"_s + info).contains(QFileInfo(there.path()).fileName().toUtf8())) {
                QFile::remove(volumeTrash + u"/files/"_s + info.chopped(10));
                QFile::remove(volumeTrash + u"/info/"_s + info);
            }
        for (const QString &folder : {u"/files"_s, u"/info"_s, QString()})
            if (!volumeTrashWasThere)
                QDir().rmdir(volumeTrash + folder);
    });
    const QString a255 = QString(251, u'a') + u".jpg"_s;
    QStringList paths;
    for (const QString &name : {u"old photo.jpg"_s, a255, QString(83, u'日') + u".jpg"_s})
        paths << env.root() + u"/a/"_s + name << env.root() + u"/b/"_s + name;
    paths << there.filePath(u"a/"_s + a255) << there.filePath(u"b/"_s + a255);
    for (int i = 0; i < paths.size(); ++i) {
        QVERIFY(QDir().mkpath(QFileInfo(paths[i]).path()));
        writeFile(paths[i], photoBytes(20 + i));
    }
    QVERIFY(QDir::setCurrent(env.root() + u"/a"_s)); // nothing may be made in the picture folder
    for (const QString &path : paths)
        QVERIFY2(moveToTrash(path).ok, qPrintable(path));
    for (const QString &folder :
        {env.root() + u"/a"_s, env.root() + u"/b"_s, there.filePath(u"a"_s), there.filePath(u"b"_s)})
        QCOMPARE(entriesIn(folder), QStringList());
    qputenv("PYTHONIOENCODING", "utf-8");
    QProcess list;
    list.start(u"trash-list"_s, {});
    QVERIFY2(list.waitForFinished(60000) && list.exitCode() == 0,
        "trash-list fails: install trash-cli (./scripts/test does)");
    const QString listed = QString::fromUtf8(list.readAllStandardOutput());
    for (int i = 0; i < paths.size(); ++i) {
        QVERIFY2(listed.contains(u' ' + paths[i] + u'\n'), qPrintable(listed));
        QCOMPARE(QProcess::execute(u"sh"_s, {u"-c"_s, u"echo 0 | trash-restore \"$0\" >/dev/null"_s, paths[i]}), 0);
        QVERIFY(contentOf(paths[i]) == photoBytes(20 + i));
    }
    QCOMPARE(entriesIn(trashFolder() + u"/files"_s) + entriesIn(trashFolder() + u"/info"_s), QStringList());
}

void TestFileServices::sharedVolumeTrashIsChecked()
{
    // A volume's trash is taken only where no other user can reach into it: .Trash only as root's
    // sticky folder, the user's folders only when theirs, writable by no one else and no links.
    // Else .Trash-$uid serves, or the file stays and the reason is told. A folder swapped after the
    // checks does not receive the file. A card's exFAT has no owners, and its trash works.
    using V = TestVolume;
    const std::tuple<const char *, V::Kind, QString, QString, QString> rows[] = {
        {"root's sticky .Trash", V::SharedTmpfs, u"mkdir -m 1777 .Trash"_s, {}, u".Trash/0"_s},
        {".Trash of another user", V::SharedTmpfs, u"mkdir -m 1777 .Trash && chown 65534 .Trash"_s, {}, u".Trash-0"_s},
        {".Trash not sticky", V::SharedTmpfs, u"mkdir -m 777 .Trash"_s, {}, u".Trash-0"_s},
        {".Trash a link", V::SharedTmpfs, u"mkdir -m 1777 t && ln -s t .Trash"_s, {}, u".Trash-0"_s},
        {"$uid swapped after the checks", V::SharedTmpfs, u"mkdir -m 1777 .Trash"_s,
            u"mv .Trash/0 .Trash/mine && mkdir -p -m 700 .Trash/0/files .Trash/0/info && chown -R 65534 .Trash/0"_s,
            u".Trash/mine"_s},
        {".Trash-$uid of another user", V::SharedTmpfs, u"mkdir -m 700 .Trash-0 && chown 65534 .Trash-0"_s, {}, {}},
        {".Trash-$uid writable by others", V::SharedTmpfs, u"mkdir -m 777 .Trash-0"_s, {}, {}},
        {"files/ group-writable", V::SharedTmpfs, u"mkdir -m 700 .Trash-0 && mkdir -m 770 .Trash-0/files"_s, {}, {}},
        {"info/ a link", V::SharedTmpfs, u"mkdir -m 700 .Trash-0 i && ln -s ../i .Trash-0/info"_s, {}, {}},
        {"card", V::ExFatCard, u"true"_s, {}, u".Trash-0"_s}};
    for (const auto &[row, kind, setUp, swap, trash] : rows) {
        qInfo("row: %s", row);
        TestEnv env;
        const TestVolume volume(kind);
        QVERIFY2(volume.error().isEmpty(), qPrintable(volume.error()));
        const QString top = volume.path(), picture = top + u"/pics/a.jpg"_s;
        QVERIFY(QDir().mkpath(top + u"/pics"_s));
        writeFile(picture, photoBytes(40));
        QCOMPARE(runShell(u"cd "_s + top + u" && "_s + setUp, 0), 0);
        setFaultsForTesting({.pause = [&](FaultPoint p) {
            if (p == FaultPoint::TrashChecked && !swap.isEmpty())
                QCOMPARE(runShell(u"cd "_s + top + u" && "_s + swap, 0), 0);
        }});
        TrashEntry entry;
        const OpResult r = moveToTrash(picture, &entry);
        QVERIFY2(trash.isEmpty() ? !r.ok && r.error.contains(u"There is no trash"_s) : r.ok, qPrintable(r.error));
        if (!trash.isEmpty()) {
            QCOMPARE(entry.file, top + u'/' + trash + u"/files/a.jpg"_s);
            QVERIFY(restoreFromTrash(entry, picture).ok && !QFileInfo::exists(entry.info));
        }
        QCOMPARE(contentOf(picture), photoBytes(40));
    }
}

void TestFileServices::makeFolderAndRefusedTrash()
{
    TestEnv env;
    const QString dir = env.makeFolder(u"d"_s);
    QVERIFY(makeFolder(dir + u"/New"_s).ok);
    QVERIFY(!makeFolder(dir + u"/New"_s).ok);
    QVERIFY(!makeFolder(dir + u"/a/b"_s).ok);
    QCOMPARE(entriesIn(dir), QStringList {u"New"_s});

    // A trash that cannot be set up (its folder's place is taken by a file) keeps the file, and
    // makes nothing in the picture folder, which is the working folder.
    writeFile(dir + u"/keep.jpg"_s, photoBytes(10));
    writeFile(trashFolder(), "not a folder");
    QVERIFY(QDir::setCurrent(dir));
    QVERIFY(!moveToTrash(dir + u"/keep.jpg"_s).ok);
    QCOMPARE(contentOf(dir + u"/keep.jpg"_s), photoBytes(10));
    QCOMPARE(entriesIn(dir), (QStringList {u"New"_s, u"keep.jpg"_s}));
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
