// Renaming, moving and deleting the selected pictures from the main window, the destination chooser
// and the rename run both windows use, on real folders.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "browse/gridwidgets.h"
#include "fileops/movefilewindow.h"
#include "fileops/renamerun.h"
#include "platform/paths.h"
#include "tests/testsupport.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

namespace {

const QString Taken = u"File already exists. Can not over-write!\r"_s;
const QStringList Four {"a.jpg", "b.JPG", "c.gif", "d.jpg"};

// A folder of pictures (picture n of the names shows n), open in the main window.
struct Folder {
    TestEnv env;
    QString dir = env.makeFolder(u"Pics"_s);
    Folder()
    {
        for (int n = 0; n < Four.size(); ++n)
            writePicture(path(Four[n]), n, QSize(64, 48), Four[n].endsWith(u".gif"_s) ? "BMP" : "JPG");
        if (!env.start())
            qFatal("no start");
        env.openFolder(dir);
    }
    MainWindow &w() { return env.w(); }
    QString path(const QString &name) const { return QDir(dir).filePath(name); }
    const ScriptedDialogService::Box &box(int i) { return env.boxes().shown()[i]; }
    // Clicks the captions showing these names.
    void select(const QStringList &names)
    {
        for (int k = 0; k < 36; ++k)
            if (names.contains(w().Text1[size_t(k)]->text()))
                w().selection().Text1_Click(k);
    }
    void run()
    {
        w().panel().Command3_Click();
        waitForThumbnails(w());
    }
    void rename(const QString &prefix, const QString &start)
    {
        w().Check1->setChecked(true);
        w().Text2->setText(prefix);
        w().Text3->setText(start);
        run();
    }
    // Ticks "Move Pictures" afresh, which opens the chooser.
    MoveFileWindow &reopen()
    {
        w().Check3->setChecked(false);
        w().Check3->setChecked(true);
        return w().panel().chooser();
    }
    QStringList texts()
    {
        QStringList out;
        for (const auto &b : env.boxes().shown())
            out.append(b.text);
        return out;
    }
};

// The row of a folder list showing path, or -1.
int rowOf(const FolderListBox &dirs, const QString &path)
{
    for (int i = 0; i < dirs.count(); ++i)
        if (dirs.entryPath(i) == nativeFolder(path))
            return i;
    return -1;
}

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void rename();
    void moveAndChooser();
    void deleteFiles();
};

void TestFileOps::rename()
{
    Folder f;
    MainWindow &w = f.w();
    // A selection made only in the list counts for nothing.
    w.File1->setSelected(0, true);
    f.rename(u"H"_s, u"1"_s);
    QCOMPARE(
        f.texts(), (QStringList {"Are you sure you want to RENAME these files ?", "First Select a File to Rename!\r"}));
    QVERIFY(f.box(0).title == u"Dunmere"_s && f.box(1).title == u"Orvella"_s);

    // Cancelled or refused before any file is touched: the selection and the count stay for another
    // try. The run renames what the list has selected (c.gif here), so three files must fit the count.
    f.select({"a.jpg", "b.JPG"});
    w.File1->setSelected(2, true);
    const struct {
        const char *prefix, *start, *refusal;
    } refused[] = {{"H", "5", nullptr},
        {"../H", "5",
            "The new name \"../H 000.jpg\" would hide the file: type a prefix that does "
            "not begin with a dot."},
        {"H", "2147483645",
            "The count must be a whole number that leaves room to number every selected file "
            "(from -2147483648 to 2147483647)."}};
    for (const auto &r : refused) {
        f.env.boxes().clear();
        f.env.boxes().script({r.refusal ? AnswerOk : AnswerCancel});
        f.rename(QString::fromUtf8(r.prefix), QString::fromUtf8(r.start));
        QVERIFY2(f.texts().mid(1) == (r.refusal ? QStringList {r.refusal} : QStringList {}), r.prefix);
        QCOMPARE(filesIn(f.dir), Four);
        QCOMPARE(w.marks().SelectedCount, 2);
        QCOMPARE(w.Text3->text(), QString::fromUtf8(r.start));
    }
    QVERIFY(f.box(1).style == MsgOkOnly && f.box(1).title == u"Orvella"_s); // the count's refusal

    // From another page: numbered from the start, then the count, the selection and the page begin again.
    w.grid().PageDown_Click();
    f.env.boxes().clear();
    f.rename(u"H"_s, u"7"_s);
    QCOMPARE(filesIn(f.dir), (QStringList {"H 007.jpg", "H 008.JPG", "H 009.gif", "d.jpg"}));
    QVERIFY(f.env.boxes().shown().size() == 1 && w.Text3->text() == u"1"_s);
    QVERIFY(w.marks().SelectedCount == 0 && w.position().PageStart == 0 && w.Text1[1]->backColor() == CaptionGrey);

    // One picture counted in the grid: plain names, so the second finds its name taken. The run
    // stops there, keeps the first's new name and the typed count, and the grid shows the list as
    // it now is, so a click selects the file it shows.
    f.select({"d.jpg"});
    w.File1->setSelected(1, true); // H 007.jpg
    f.rename(u"H"_s, u"8"_s);
    QCOMPARE(f.texts().last(), Taken);
    QCOMPARE(filesIn(f.dir), (QStringList {"H 007.jpg", "H 008.JPG", "H 009.gif", "H.jpg"}));
    QVERIFY(w.Text3->text() == u"8"_s && w.marks().SelectedCount == 0);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(w.Text1[size_t(k)]->text(), w.File1->List(k));
        QCOMPARE(pictureNumber(w.Image1[size_t(k)]->picture()), pictureNumber(QImage(f.path(w.File1->List(k)))));
    }

    // Renamed and moved: no mark of the moved pictures is left to show up when the folder they went
    // to is opened.
    const QString sorted = f.env.makeFolder(u"Sorted"_s);
    QVERIFY(f.reopen().Dir2->setPath(sorted));
    w.panel().chooser().MoveFolderOK_Click();
    f.select(filesIn(f.dir));
    f.env.boxes().clear();
    f.rename(u"H"_s, u"1"_s);
    QCOMPARE(f.texts(), QStringList {"Are you sure you want to RENAME & MOVE these files ?"});
    QVERIFY(filesIn(f.dir).isEmpty());
    QCOMPARE(filesIn(sorted), (QStringList {"H 001.jpg", "H 002.JPG", "H 003.gif", "H 004.jpg"}));
    f.env.openFolder(sorted);
    f.select({"H 001.jpg"});
    QCOMPARE(w.marks().SelectedCount, 1);

    // The run both windows use stops at the first name taken and says which file stayed; a lone
    // file is named without a number, so no prefix may hide it.
    const RenameOutcome done = RenameRun(sorted, {"H 003.gif", "H 004.jpg", "H 002.JPG"}, sorted, u"H"_s, true).run(0);
    QVERIFY2(done.renamed == 1 && done.nextNumber == 1 && done.result.error.startsWith(u"H 004.jpg: "_s),
        qPrintable(done.result.error));
    QCOMPARE(filesIn(sorted), (QStringList {"H 000.gif", "H 001.jpg", "H 002.JPG", "H 004.jpg"}));
    QVERIFY(!RenameRun(sorted, {"H 004.jpg"}, sorted, QString(), false).refusal().isEmpty());
}

void TestFileOps::moveAndChooser()
{
    Folder f;
    MainWindow &w = f.w();
    // Ticked, but the chooser closed without a choice: refused, for a rename and move too.
    w.Check3->setChecked(true);
    w.panel().chooser().close();
    f.select({"a.jpg"});
    f.run();
    f.rename(u"H"_s, u"1"_s);
    QVERIFY(f.texts().size() == 4 && f.texts().count(noDestinationMessage()) == 2);
    // The rename fields follow "Rename Pictures" and keep what was typed; with nothing ticked the
    // action button does nothing.
    QVERIFY(!w.Text2->isHidden() && !w.Label2->isHidden() && !w.Text3->isHidden());
    w.Check1->setChecked(false);
    w.Check3->setChecked(false);
    QVERIFY(w.Text2->isHidden() && w.Label2->isHidden() && w.Text3->isHidden() && w.Text2->text() == u"H"_s);
    f.env.boxes().clear();
    f.run();
    QVERIFY(f.env.boxes().shown().isEmpty());

    // "Move Pictures" opens the chooser on the working folder, over a disabled main window.
    const QString old = f.env.makeFolder(u"Pics/Old"_s);
    w.Check3->setChecked(true);
    MoveFileWindow &c = w.panel().chooser();
    QVERIFY(c.isVisible() && !w.isEnabled() && !w.Text5->isHidden() && !c.Text5->isEnabled());
    QVERIFY(c.windowTitle() == u"Move to new Folder"_s && c.Dir2->Path() == nativeFolder(f.dir));

    // A folder made is listed in both windows, not opened (the path shown stays the working
    // folder); a full path is used as it is.
    for (const QString &name : {u"New"_s, f.env.root() + u"/Elsewhere"_s}) {
        c.Text4->setText(name);
        c.MakeDir_Click();
    }
    QVERIFY(QFileInfo(f.env.root() + u"/Elsewhere"_s).isDir());
    QVERIFY(rowOf(*c.Dir2, f.path(u"New"_s)) >= 0 && rowOf(*w.Dir1, f.path(u"New"_s)) >= 0);
    QVERIFY(c.Text5->text() == nativeFolder(f.dir) && f.env.boxes().shown().isEmpty());
    for (const QString &name : {u"Old"_s, QString(), u"missing/child"_s}) {
        f.env.boxes().clear();
        c.Text4->setText(name);
        c.MakeDir_Click();
        QCOMPARE(f.texts(), QStringList {"Folder may already Exist"});
        QVERIFY(
            f.box(0).style == MsgCritical && f.box(0).title == u"Can not create folder"_s && c.Text4->text() == name);
    }

    // A drive opens its root; one that has gone is reported.
    const QString stick = f.env.makeFolder(u"stick"_s);
    c.Drive2->setVolumes(
        {{u"/"_s, QString()}, {nativeFolder(stick), u"USB"_s}, {nativeFolder(f.env.root() + u"/gone"_s), QString()}});
    f.env.boxes().clear();
    for (int drive : {1, 2}) {
        c.Drive2->setCurrentIndex(drive);
        c.Drive2_Change();
        QCOMPARE(c.Text5->text(), nativeFolder(stick));
    }
    QCOMPARE(f.texts(), QStringList {"Drive can not be found."});

    // Opening a folder shows its path; OK copies it to the main window.
    QVERIFY(c.Dir2->setPath(f.dir));
    emit c.Dir2->itemDoubleClicked(c.Dir2->item(rowOf(*c.Dir2, old)));
    QCOMPARE(c.Text5->text(), nativeFolder(old));
    c.MoveFolderOK_Click();
    QVERIFY(!c.isVisible() && w.isEnabled() && w.Check3->isChecked() && !w.Text5->isHidden()
        && w.Text5->text() == nativeFolder(old));

    // Keys, each time on the chooser opened afresh (on the working folder again): Return at once
    // takes the folder shown; in the name box it makes the folder; in the folder list it opens the
    // entry; elsewhere it is OK; on Cancel it cancels, which unticks "Move Pictures". Escape is the
    // close box, which keeps everything.
    f.reopen();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible() && w.Text5->text() == nativeFolder(f.dir));
    f.reopen();
    c.Text4->setFocus();
    c.Text4->setText(u"ByKey"_s);
    pressKey(c, Qt::Key_Return);
    QVERIFY(QFileInfo(f.path(u"ByKey"_s)).isDir() && c.isVisible());
    c.Dir2->setFocus();
    c.Dir2->setCurrentRow(rowOf(*c.Dir2, old));
    pressKey(c, Qt::Key_Return);
    QVERIFY(c.Dir2->Path() == nativeFolder(old) && c.isVisible());
    c.Drive2->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible() && w.isEnabled() && w.Text5->text() == nativeFolder(old));
    f.reopen();
    c.Command1->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(
        !c.isVisible() && w.isEnabled() && !w.Check3->isChecked() && w.Text5->isHidden() && c.Text5->text().isEmpty());
    w.Check3->setChecked(true);
    pressKey(c, Qt::Key_Escape);
    QVERIFY(!c.isVisible() && w.isEnabled() && w.Check3->isChecked() && w.Text5->text() == nativeFolder(old));

    // Moving: Cancel keeps the files.
    const QString dest = f.env.makeFolder(u"Dest"_s);
    writeFile(QDir(dest).filePath(u"b.JPG"_s), "the other b");
    writeFile(QDir(dest).filePath(u"c.gif"_s), "the other c");
    QVERIFY(f.reopen().Dir2->setPath(dest));
    w.panel().chooser().MoveFolderOK_Click();
    f.env.boxes().clear();
    f.env.boxes().script({AnswerCancel});
    f.run();
    QCOMPARE(filesIn(f.dir), Four);

    // Names taken there: the others go, the box says which stayed and why.
    f.env.boxes().clear();
    f.select({"b.JPG"});
    w.File1->setSelected(2, true); // a selection made in the list counts too
    f.run();
    const QString taken = u": a file of that name is already there"_s;
    QCOMPARE(f.texts(),
        (QStringList {"Are you sure you want to MOVE these files ?",
            "File May Already Exist\n\nb.JPG" + taken + "\nc.gif" + taken, "1 Files moved!"}));
    QVERIFY(f.box(0).title == u"Dunmere"_s && f.box(2).style == MsgOkOnly && f.box(2).title == u"Orvella"_s);
    QCOMPARE(filesIn(f.dir), (QStringList {"b.JPG", "c.gif", "d.jpg"}));
    QCOMPARE(filesIn(dest), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(contentOf(QDir(dest).filePath(u"b.JPG"_s)), QByteArray("the other b"));
    QCOMPARE(pictureNumber(QImage(f.path(u"b.JPG"_s))), 1);
    QVERIFY(w.marks().SelectedCount == 0 && w.Text1[0]->text() == u"b.JPG"_s);
    // With nothing selected nothing moves: the count starts again for every run.
    f.env.boxes().clear();
    f.run();
    QCOMPARE(f.texts().last(), u"0 Files moved!"_s);
}

void TestFileOps::deleteFiles()
{
    // Cancel keeps everything. Then a file gone behind the program's back is reported, the others
    // go, to the trash or for good, and the folder is read again.
    for (bool toTrash : {true, false}) {
        Folder f;
        f.env.app().settings.DeleteRecycle = toTrash;
        f.select({"a.jpg", "b.JPG"});
        f.w().File1->setSelected(3, true);
        f.env.boxes().script({AnswerCancel});
        f.w().deleteFiles().DeleteSelectedFiles();
        QVERIFY(filesIn(f.dir) == Four && f.w().marks().SelectedCount == 2);
        QVERIFY(QFile::remove(f.path(u"b.JPG"_s)));
        f.w().toolbar().Toolbar1_ButtonClick(u"DeleteSelected"_s);
        QCOMPARE(filesIn(f.dir), QStringList {"c.gif"});
        QCOMPARE(filesIn(trashFolder() + u"/files"_s), (toTrash ? QStringList {"a.jpg", "d.jpg"} : QStringList {}));
        // The question is the one the Cancel above answered, so it can be cancelled.
        QCOMPARE(f.texts().mid(0, 2), QStringList(2, u"Are you sure you want to DELETE selected files ?"_s));
        const QString report = f.texts().value(2);
        QVERIFY2(f.texts().size() == 3 && f.box(1).title == u"Dunmere"_s
                && report.startsWith(u"These files could not be deleted:\n"_s) && report.contains(u"b.JPG"_s)
                && !report.contains(u"a.jpg"_s),
            qPrintable(report));
        QVERIFY(f.w().File1->ListCount() == 1 && f.w().marks().SelectedCount == 0);
    }
}

QTEST_MAIN(TestFileOps)
#include "tst_fileops.moc"
