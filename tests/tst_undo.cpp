// Ctrl+Z takes back the last rename, move or delete to the trash, in both windows, on real files.
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QToolButton>

#include "fileops/movefilewindow.h"
#include "fileops/undojournal.h"
#include "platform/filelisting.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

namespace {

QStringList entriesOf(const FileListBox &list)
{
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.append(list.List(i));
    return out;
}

// The files of folder in the order the file list shows them.
QStringList namesIn(const QString &folder)
{
    QStringList names = filesIn(folder);
    sortNames(names);
    return names;
}

enum Op { Rename, Move, MoveToOtherVolume, RenameAndMove, Trash, StoppedRename, RenamerRename, RenamerTrash };
enum Meddle { Rewrite, RenameByHand, TakeName, RemoveFolder };

// Folder A holds a.jpg, b.jpg and c.jpg, folder B a file of its own named a.jpg: the same names
// in two folders.
struct World {
    TestEnv env;
    QString a = env.makeFolder(u"A"_s), b = env.makeFolder(u"B"_s);
    QTemporaryDir shm {u"/dev/shm/orvella-undo-XXXXXX"_s};
    World()
    {
        for (const QString &n : {u"a.jpg"_s, u"b.jpg"_s, u"c.jpg"_s})
            writeFile(QDir(a).filePath(n), "A/" + n.toUtf8());
        writeFile(QDir(b).filePath(u"a.jpg"_s), "B/a.jpg");
    }
    bool twoVolumes() const { return shm.isValid() && QStorageInfo(shm.path()) != QStorageInfo(a); }
    // Every file of the test's folders and of the trash, with its content (or the contents alone).
    QStringList files(bool withPaths = true) const
    {
        QStringList out;
        for (const QString &dir : {env.root(), shm.path()})
            for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
                if (const QString p = it.next(); !p.contains(u"/.cache/"_s) && !p.contains(u"/Trash/info/"_s))
                    out.append((withPaths ? p.mid(dir.size()) + u'=' : QString()) + QString::fromUtf8(contentOf(p)));
        out.sort();
        return out;
    }
    // Runs op on every picture of A, as the user would.
    void run(Op op)
    {
        if (op == RenamerRename || op == RenamerTrash) {
            BulkSorter &r = env.app().showFileRenamer();
            if (!r.Dir1->setPath(a))
                qFatal("cannot open %s", qPrintable(a));
            for (int i = 0; i < r.File1->ListCount(); ++i)
                r.File1->setSelected(i, true);
            r.Text2->setText(u"x"_s);
            op == RenamerRename ? r.Command4_Click() : r.Command5_Click();
            return;
        }
        if (!env.app().mainWindow() && !env.start())
            qFatal("no start");
        MainWindow &w = env.w();
        env.openFolder(a);
        for (int k = 0; k < 3; ++k)
            w.selection().Text1_Click(k);
        if (op == Trash)
            return pressToolbar(w, u"DeleteSelected"_s);
        w.Check1->setChecked(op == Rename || op == RenameAndMove || op == StoppedRename);
        if (op == Move || op == MoveToOtherVolume || op == RenameAndMove) {
            w.Check3->setChecked(true);
            MoveFileWindow &chooser = w.panel().chooser();
            if (!chooser.Dir2->setPath(op == MoveToOtherVolume ? shm.path() : b))
                qFatal("no destination");
            chooser.MoveFolderOK_Click();
        }
        w.Text2->setText(u"x"_s);
        w.Text3->setText(u"1"_s);
        w.panel().Command3_Click();
    }
    BulkSorter *renamer() { return env.app().fileRenamer(); }
    QAbstractButton &button()
    {
        return renamer() ? static_cast<QAbstractButton &>(*renamer()->Command4) : *env.w().Command3;
    }
    // Ctrl+Z as the keyboard gives it, with the focus in the prefix box.
    void pressUndo()
    {
        QWidget &win = renamer() ? static_cast<QWidget &>(*renamer()) : env.w();
        win.activateWindow();
        if (!QTest::qWaitForWindowActive(&win))
            qFatal("the window does not take the keyboard");
        (renamer() ? renamer()->Text2 : env.w().Text2)->setFocus();
        QTest::keyClick(win.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    }
    qsizetype boxes() { return env.boxes().shown().size(); }
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void takesBackEachOperation_data();
    void takesBackEachOperation();
    void skipsWhatChanged_data();
    void skipsWhatChanged();
    void keptClearedOrIgnored();
};

void TestUndo::takesBackEachOperation_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("question");
    QTest::newRow("rename") << int(Rename) << u"Undo the last rename of 3 pictures ?"_s;
    QTest::newRow("move beside the same names") << int(Move) << u"Undo the last move of 2 pictures ?"_s;
    QTest::newRow("move to another file system") << int(MoveToOtherVolume) << u"Undo the last move of 3 pictures ?"_s;
    QTest::newRow("rename and move") << int(RenameAndMove) << u"Undo the last rename and move of 3 pictures ?"_s;
    QTest::newRow("delete to the trash") << int(Trash) << u"Undo the last delete of 3 pictures ?"_s;
    QTest::newRow("rename stopped at a clash") << int(StoppedRename) << u"Undo the last rename of 1 picture ?"_s;
    QTest::newRow("renamer: rename") << int(RenamerRename) << u"Undo the last rename of 3 pictures ?"_s;
    QTest::newRow("renamer: delete to the trash") << int(RenamerTrash) << u"Undo the last delete of 3 pictures ?"_s;
}

void TestUndo::takesBackEachOperation()
{
    QFETCH(int, op);
    QFETCH(QString, question);
    World world;
    QVERIFY2(world.twoVolumes(), "no second file system");
    if (op == StoppedRename)
        writeFile(QDir(world.a).filePath(u"x 002.jpg"_s), "A/x 002.jpg");
    const QStringList before = world.files();
    world.run(Op(op));
    QVERIFY(world.files() != before);
    const QString tip = world.button().toolTip();
    QVERIFY2(tip.contains(u"Ctrl+Z takes back the last "_s + question.mid(14).chopped(2)), qPrintable(tip));
    const qsizetype shown = world.boxes();
    world.pressUndo();
    // One question, then no report: every file is back under its name, in its folder, the same
    // file; nothing is left in the trash, not even its description.
    QCOMPARE(world.boxes(), shown + 1);
    const ScriptedDialogService::Box asked = world.env.boxes().shown().last();
    QCOMPARE(asked.text + u'|' + asked.title + u'|' + QString::number(asked.style), question + u"|Dunmere|33"_s);
    QCOMPARE(world.files(), before);
    QVERIFY(!world.button().toolTip().contains(u"Ctrl+Z"_s));
    // The window shows the folder anew.
    const FileListBox &list = *(world.renamer() ? world.renamer()->File1 : world.env.w().File1);
    QCOMPARE(entriesOf(list), namesIn(world.a));
}

void TestUndo::skipsWhatChanged_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("meddle");
    QTest::addColumn<QStringList>("report"); // the lines of the report, past the file's folder
    const QString changed = u": has been changed since; it stays as it is"_s,
                  taken = u": a file of that name is already there"_s,
                  gone = u": the destination folder cannot be opened: No such file or directory"_s;
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

void TestUndo::skipsWhatChanged()
{
    QFETCH(int, op);
    QFETCH(int, meddle);
    QFETCH(QStringList, report);
    World world;
    QVERIFY2(world.twoVolumes(), "no second file system");
    world.run(Op(op));
    // Another program, or the user, works on the files meanwhile.
    const QString moved = QDir(op == MoveToOtherVolume ? world.shm.path() : world.a).filePath(u"x 002.jpg"_s);
    const QString second = op == Rename ? moved : QDir(world.shm.path()).filePath(u"b.jpg"_s);
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
    // After the question, one box names each file left as it is, with the reason (a window whose
    // folder has gone says so next); the others are back.
    QVERIFY(world.boxes() >= shown + 2);
    const ScriptedDialogService::Box box = world.env.boxes().shown()[shown + 1];
    QCOMPARE(box.style, int(MsgOkOnly));
    QStringList lines = box.text.split(u'\n');
    QCOMPARE(lines.takeFirst(), u"These files could not be taken back:"_s);
    QCOMPARE(lines.size(), report.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QVERIFY2(lines[i].endsWith(u'/' + report[i]), qPrintable(lines[i]));
    // Nothing lost, nothing replaced: the same contents as before the undo, wherever they are.
    QCOMPARE(world.files(false), meddled);
    for (const QString &n : {u"a.jpg"_s, u"c.jpg"_s})
        QCOMPARE(contentOf(QDir(world.a).filePath(n)), meddle == RemoveFolder ? QByteArray() : "A/" + n.toUtf8());
    if (op == RenamerTrash) { // the entry stays whole in the trash
        QCOMPARE(filesIn(trashFolder() + u"/files"_s), QStringList {u"b.jpg"_s});
        QCOMPARE(filesIn(trashFolder() + u"/info"_s), QStringList {u"b.jpg.trashinfo"_s});
    }
}

void TestUndo::keptClearedOrIgnored()
{
    World world;
    const QString many = world.env.makeFolder(u"many"_s);
    writePictures(many, 12);
    world.run(Rename);
    MainWindow &w = world.env.w();
    const QStringList renamed = world.files();
    // Cancel keeps the files and the record.
    world.env.boxes().script({AnswerCancel});
    world.pressUndo();
    QCOMPARE(world.env.boxes().shown().last().text, u"Undo the last rename of 3 pictures ?"_s);
    QCOMPARE(world.files(), renamed);
    // During a thumbnail load the key starts nothing.
    const qsizetype shown = world.boxes();
    const QMetaObject::Connection hook = connect(&w.loader(), &ThumbnailLoader::slotFilled, [&](qsizetype slot) {
        if (slot == 5)
            world.pressUndo();
    });
    world.env.openFolder(many);
    disconnect(hook);
    QCoreApplication::processEvents();
    QCOMPARE(world.boxes(), shown);
    // A run that changed nothing leaves the record: "x 002.jpg" is taken.
    world.env.openFolder(world.a);
    w.selection().Text1_Click(0);
    w.Text2->setText(u"x 002"_s);
    w.panel().Command3_Click();
    QCOMPARE(world.files(), renamed);
    QVERIFY(w.Command3->toolTip().contains(u"rename of 3 pictures"_s));
    // A delete for good cannot be taken back, and no older operation is offered in its place.
    world.env.app().settings.DeleteRecycle = false;
    w.selection().Text1_Click(0);
    w.deleteFiles().DeleteSelectedFiles();
    QVERIFY(!QFileInfo::exists(QDir(world.a).filePath(u"x 001.jpg"_s)));
    QVERIFY(!w.Command3->toolTip().contains(u"Ctrl+Z"_s));
    const qsizetype before = world.boxes();
    world.pressUndo();
    QCOMPARE(world.boxes(), before);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
