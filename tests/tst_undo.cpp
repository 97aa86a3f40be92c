// Ctrl+Z takes back the last rename, move or delete to the trash, in both windows, on real files.
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTest>
#include <QToolButton>

#include "fileops/movefilewindow.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

namespace {

enum Op { Rename, Move, MoveToOtherVolume, RenameAndMove, Trash, StoppedRename, RenamerRename, RenamerTrash };
// Each operation's name, and how the undo question names what it takes back.
const std::pair<const char *, const char *> operations[]
    = {{"rename", "rename of 3 pictures"}, {"move beside the same names", "move of 2 pictures"},
        {"move to another file system", "move of 3 pictures"}, {"rename and move", "rename and move of 3 pictures"},
        {"delete to the trash", "delete of 3 pictures"}, {"rename stopped at a clash", "rename of 1 picture"},
        {"renamer: rename", "rename of 3 pictures"}, {"renamer: delete to the trash", "delete of 3 pictures"}};
enum Meddle { None, Rewrite, RenameByHand, TakeName, RemoveFolder };

// Folder A holds a.jpg, b.jpg and c.jpg, folder B a file of its own named a.jpg: the same names
// in two folders.
struct World {
    TestEnv env;
    QString a = env.makeFolder(u"A"_s), b = env.makeFolder(u"B"_s);
    QTemporaryDir shm {u"/dev/shm/orvella-undo-XXXXXX"_s};
    World()
    {
        for (const QString &p : {a + u"/a.jpg"_s, a + u"/b.jpg"_s, a + u"/c.jpg"_s, b + u"/a.jpg"_s})
            writeFile(p, p.mid(env.root().size() + 1).toUtf8()); // "A/a.jpg" ...
    }
    // Every file of the test's folders and of the trash, with its content (or the contents alone,
    // without the trash's descriptions).
    QStringList files(bool withPaths = true) const
    {
        QStringList out;
        for (const QString &dir : {env.root(), shm.path()})
            for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
                if (const QString p = it.next();
                    !p.contains(u"/.cache/"_s) && (withPaths || !p.contains(u"/Trash/info/"_s)))
                    out.append((withPaths ? p.mid(dir.size()) + u'=' : QString()) + QString::fromUtf8(contentOf(p)));
        out.sort();
        return out;
    }
    // Runs op on every picture of A, as the user would.
    void run(Op op)
    {
        if (op == RenamerRename || op == RenamerTrash) {
            BulkSorter &r = env.app().showFileRenamer();
            QVERIFY(r.Dir1->setPath(a));
            r.File1->selectAll();
            r.Text2->setText(u"x"_s);
            op == RenamerRename ? r.Command4_Click() : r.Command5_Click();
            return;
        }
        QVERIFY(env.app().mainWindow() || env.start());
        MainWindow &w = env.w();
        env.openFolder(a);
        w.selection().SelectAllFiles();
        if (op == Trash)
            return pressToolbar(w, u"DeleteSelected"_s);
        w.Check1->setChecked(op == Rename || op == RenameAndMove || op == StoppedRename);
        if (op == Move || op == MoveToOtherVolume || op == RenameAndMove) {
            w.Check3->setChecked(true);
            QVERIFY(w.panel().chooser().Dir2->setPath(op == Move ? b : shm.path()));
            w.panel().chooser().MoveFolderOK_Click();
        }
        w.Text2->setText(u"x"_s);
        w.panel().Command3_Click();
    }
    BulkSorter *renamer() { return env.app().fileRenamer(); }
    // The tip of the rename button, which offers the undo.
    QString tip() { return renamer() ? renamer()->Command4->toolTip() : env.w().Command3->toolTip(); }
    // Ctrl+Z as the keyboard gives it, with the focus in the prefix box.
    void pressUndo()
    {
        QWidget &win = renamer() ? static_cast<QWidget &>(*renamer()) : env.w();
        (renamer() ? renamer()->Text2 : env.w().Text2)->setFocus();
        QTest::keyClick(win.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    }
    qsizetype boxes() { return env.boxes().shown().size(); }
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void takesBackWhatIsUnchanged_data();
    void takesBackWhatIsUnchanged();
    void keptClearedOrIgnored();
    void movedRelativeLinkComesBack();
};

void TestUndo::takesBackWhatIsUnchanged_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("meddle");
    QTest::addColumn<QStringList>("report"); // the lines of the report, past the file's folder
    const QString changed = u": has been changed since; it stays as it is"_s,
                  taken = u": a file of that name is already there"_s,
                  gone = u": the destination folder cannot be opened: No such file or directory"_s;
    for (int op = Rename; op <= RenamerTrash; ++op)
        QTest::newRow(operations[op].first) << op << int(None) << QStringList();
    QTest::newRow("renamed file changed") << int(Rename) << int(Rewrite) << QStringList {u"x 002.jpg"_s + changed};
    QTest::newRow("renamed again by hand")
        << int(Rename) << int(RenameByHand) << QStringList {u"x 002.jpg: is no longer there"_s};
    QTest::newRow("original name taken") << int(Rename) << int(TakeName) << QStringList {u"x 002.jpg"_s + taken};
    QTest::newRow("moved file changed") << int(MoveToOtherVolume) << int(Rewrite) << QStringList {u"b.jpg"_s + changed};
    QTest::newRow("original folder gone")
        << int(Move) << int(RemoveFolder) << QStringList {u"c.jpg"_s + gone, u"b.jpg"_s + gone};
    QTest::newRow("trashed, name taken") << int(RenamerTrash) << int(TakeName)
                                         << QStringList {u"b.jpg"_s + taken + u"; it stays in the trash"_s};
}

void TestUndo::takesBackWhatIsUnchanged()
{
    QFETCH(int, op);
    QFETCH(int, meddle);
    QFETCH(QStringList, report);
    World world;
    QVERIFY2(world.shm.isValid() && QStorageInfo(world.shm.path()) != QStorageInfo(world.a), "no second file system");
    if (op == StoppedRename)
        writeFile(QDir(world.a).filePath(u"x 002.jpg"_s), "A/x 002.jpg");
    const QStringList before = world.files();
    // Unfinished copies (named copies, as on a card) are searched for once per folder in a run that
    // copies to another volume, the operation's and the undo's, and never on one volume.
    int searches = 0;
    setFaultsForTesting(
        {.noUnnamedFile = true, .pause = [&](FaultPoint p) { searches += p == FaultPoint::FolderCleaned; }});
    const auto noFaults = qScopeGuard([] { setFaultsForTesting({}); });
    const auto searchedOnce
        = qScopeGuard([&] { QCOMPARE(searches, op == MoveToOtherVolume || op == RenameAndMove ? 2 : 0); });
    world.run(Op(op));
    const QString tip = world.tip(), last = QString::fromLatin1(operations[op].second);
    QVERIFY2(tip.contains(u"Ctrl+Z takes back the last "_s + last), qPrintable(tip));
    // Another program, or the user, works on the files meanwhile.
    const QString second = op == Rename ? QDir(world.a).filePath(u"x 002.jpg"_s) : world.shm.path() + u"/b.jpg"_s;
    if (meddle == Rewrite)
        writeFile(second, "rewritten");
    else if (meddle == RenameByHand)
        QVERIFY(QFile::rename(second, QDir(world.a).filePath(u"y.jpg"_s)));
    else if (meddle == TakeName)
        writeFile(QDir(world.a).filePath(u"b.jpg"_s), "new b.jpg");
    else if (meddle == RemoveFolder)
        QVERIFY(QDir().rename(world.a, world.a + u"-gone"_s));
    const QStringList meddled = world.files(false);
    const qsizetype shown = world.boxes();
    world.pressUndo();
    const ScriptedDialogService::Box asked = world.env.boxes().shown().value(shown);
    QCOMPARE(asked.text + u'|' + asked.title + u'|' + QString::number(asked.style),
        u"Undo the last "_s + last + u" ?|Dunmere|33"_s);
    if (meddle == None) {
        // No report: every file is back under its name, in its folder, the same file; nothing is
        // left in the trash, not even its description. The window shows the folder anew.
        QCOMPARE(world.boxes(), shown + 1);
        QCOMPARE(world.files(), before);
        QVERIFY(!world.tip().contains(u"Ctrl+Z"_s));
        QCOMPARE((world.renamer() ? world.renamer()->File1 : world.env.w().File1)->List(0), u"a.jpg"_s);
        return;
    }
    // One box names each file left as it is, with the reason (a window whose folder has gone says
    // so next); the others are back.
    const ScriptedDialogService::Box box = world.env.boxes().shown().value(shown + 1);
    QCOMPARE(box.style, int(MsgOkOnly));
    static const QRegularExpression folder(u"^.*/"_s, QRegularExpression::MultilineOption);
    QCOMPARE(QString(box.text).remove(folder).split(u'\n'),
        QStringList {u"These files could not be taken back:"_s} + report);
    // Nothing lost, nothing replaced: the same contents as before the undo, wherever they are; what
    // stays in the trash keeps its description.
    QCOMPARE(world.files(false), meddled);
    QCOMPARE(filesIn(trashFolder() + u"/info"_s).size(), filesIn(trashFolder() + u"/files"_s).size());
    for (const QString &n : {u"a.jpg"_s, u"c.jpg"_s})
        QCOMPARE(contentOf(QDir(world.a).filePath(n)), meddle == RemoveFolder ? QByteArray() : "A/" + n.toUtf8());
}

void TestUndo::keptClearedOrIgnored()
{
    World world;
    writePictures(world.a, 12);
    world.run(Rename);
    MainWindow &w = world.env.w();
    // Cancel keeps the files and the record (the run below finds "x 002.jpg" taken).
    world.env.boxes().script({AnswerCancel, AnswerCancel});
    world.pressUndo();
    // While the thumbnails are being made the key works as ever: it asks.
    const qsizetype shown = world.boxes();
    connect(
        &w.loader(), &ThumbnailLoader::slotFilled, &w, [&] { world.pressUndo(); }, Qt::SingleShotConnection);
    w.loader().ButtonLoadThumbs_Click();
    waitForThumbnails(w);
    QCOMPARE(world.boxes(), shown + 1);
    // A run that changed nothing leaves the record: "x 002.jpg" is taken.
    w.selection().Text1_Click(0);
    w.Text2->setText(u"x 002"_s);
    w.panel().Command3_Click();
    QVERIFY(world.tip().contains(u"rename of 15 pictures"_s));
    // A delete for good cannot be taken back, and no older operation is offered in its place.
    world.env.app().settings.DeleteRecycle = false;
    w.selection().Text1_Click(0);
    w.deleteFiles().DeleteSelectedFiles();
    QVERIFY(!world.tip().contains(u"Ctrl+Z"_s));
}

void TestUndo::movedRelativeLinkComesBack()
{
    // A link is moved as itself and taken back as itself, though what it points to cannot be
    // reached from the folder it was moved to.
    World world;
    QVERIFY(QDir(world.a).mkdir(u"store"_s) && QFile::link(u"store/x.jpg"_s, world.a + u"/link.jpg"_s));
    writeFile(world.a + u"/store/x.jpg"_s, "x");
    world.run(Move); // a link moved as the file it points to comes back a file: the last check
    world.pressUndo();
    QCOMPARE(world.env.boxes().shown().constLast().title, u"Dunmere"_s); // the question, and no report after it
    QCOMPARE(QFile::symLinkTarget(world.a + u"/link.jpg"_s), world.a + u"/store/x.jpg"_s);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
