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

namespace {

const QString Taken = QStringLiteral("File already exists. Can not over-write!\r");
const QStringList Four {"a.jpg", "b.JPG", "c.gif", "d.jpg"};

// A folder of pictures (picture n of the names shows n), open in the main window.
struct Folder {
    TestEnv env;
    QString dir = env.makeFolder(QStringLiteral("Pics"));
    explicit Folder(const QStringList &names = Four)
    {
        for (int n = 0; n < names.size(); ++n)
            writePicture(path(names[n]), n, QSize(64, 48), names[n].endsWith(QStringLiteral(".gif")) ? "PNG" : "JPG");
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
    void rename(const QString &prefix, const QString &start)
    {
        w().Check1->setChecked(true);
        w().Text2->setText(prefix);
        w().Text3->setText(start);
        w().panel().Command3_Click();
    }
    // Ticks "Move Pictures" afresh and picks folder in the chooser.
    void chooseDestination(const QString &folder)
    {
        w().Check3->setChecked(false);
        w().Check3->setChecked(true);
        if (!w().panel().chooser().Dir2->setPath(folder))
            qFatal("cannot open %s", qPrintable(folder));
        w().panel().chooser().MoveFolderOK_Click();
    }
    QStringList texts()
    {
        QStringList out;
        for (const auto &b : env.boxes().shown())
            out.append(b.text);
        return out;
    }
};

int pictureIn(const QString &path)
{
    return pictureNumber(QImage(path));
}

bool lists(const FolderListBox &dirs, const QString &path)
{
    for (int i = 0; i < dirs.count(); ++i)
        if (dirs.entryPath(i) == nativeFolder(path))
            return true;
    return false;
}

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void rename();
    void renameAndMove();
    void move();
    void deleteFiles();
    void renameRun();
    void chooser();
};

void TestFileOps::rename()
{
    Folder f;
    MainWindow &w = f.w();
    f.rename(QStringLiteral("H"), QStringLiteral("1"));
    QCOMPARE(
        f.texts(), (QStringList {"Are you sure you want to RENAME these files ?", "First Select a File to Rename!\r"}));
    QCOMPARE(f.box(0).style, int(MsgOkCancelQuestion));
    QCOMPARE(f.box(0).title, QStringLiteral("Dunmere"));
    QCOMPARE(f.box(1).title, QStringLiteral("Orvella"));

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
        QVERIFY(QDir(f.env.root()).entryList(QDir::Files).isEmpty());
        QCOMPARE(w.marks().SelectedCount, 2);
        QCOMPARE(w.Text3->text(), QString::fromUtf8(r.start));
    }
    QCOMPARE(f.box(1).style, int(MsgOkOnly));

    // From another page: numbered from the start, then the count, the selection and the page begin again.
    w.grid().PageDown_Click();
    f.env.boxes().clear();
    f.rename(QStringLiteral("H"), QStringLiteral("7"));
    QCOMPARE(filesIn(f.dir), (QStringList {"H 007.jpg", "H 008.JPG", "H 009.gif", "d.jpg"}));
    QCOMPARE(pictureIn(f.path(QStringLiteral("H 008.JPG"))), 1);
    QCOMPARE(f.env.boxes().shown().size(), 1);
    QCOMPARE(w.Text3->text(), QStringLiteral("1"));
    QCOMPARE(w.marks().SelectedCount, 0);
    QVERIFY(w.File1->selectedNames().isEmpty());
    QCOMPARE(w.position().PageStart, 0);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("d.jpg"));
    QCOMPARE(w.Text1[1]->backColor(), CaptionGrey);
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 4"));

    // One picture counted in the grid: plain names, so the second finds its name taken. The run
    // stops there, keeps the first's new name and the typed count, and the grid shows the list as
    // it now is, so a click selects the file it shows.
    f.select({"d.jpg"});
    w.File1->setSelected(1, true); // H 007.jpg
    f.rename(QStringLiteral("H"), QStringLiteral("8"));
    QCOMPARE(f.texts().last(), Taken);
    QCOMPARE(filesIn(f.dir), (QStringList {"H 007.jpg", "H 008.JPG", "H 009.gif", "H.jpg"}));
    QCOMPARE(pictureIn(f.path(QStringLiteral("H.jpg"))), 3);
    QCOMPARE(w.Text3->text(), QStringLiteral("8"));
    QCOMPARE(w.marks().SelectedCount, 0);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(w.Text1[size_t(k)]->text(), w.File1->List(k));
        QCOMPARE(pictureNumber(w.Image1[size_t(k)]->picture()), pictureIn(f.path(w.File1->List(k))));
    }
    // Selections made only in the list count for nothing.
    w.File1->setSelected(0, true);
    f.rename(QStringLiteral("X"), QStringLiteral("1"));
    QCOMPARE(f.texts().last(), QStringLiteral("First Select a File to Rename!\r"));
}

void TestFileOps::renameAndMove()
{
    Folder f;
    MainWindow &w = f.w();
    const QString sorted = f.env.makeFolder(QStringLiteral("Sorted"));
    f.chooseDestination(sorted);
    f.select(Four);
    f.rename(QStringLiteral("H"), QStringLiteral("1"));
    QCOMPARE(f.texts(), QStringList {"Are you sure you want to RENAME & MOVE these files ?"});
    QVERIFY(filesIn(f.dir).isEmpty());
    QCOMPARE(filesIn(sorted), (QStringList {"H 001.jpg", "H 002.JPG", "H 003.gif", "H 004.jpg"}));
    QCOMPARE(w.Text4->text(), QStringLiteral("Total Pictures 0"));
    // No mark of the moved pictures is left to show up in the next folder.
    const QString next = f.env.makeFolder(QStringLiteral("Next"));
    writePictures(next, 3);
    f.env.openFolder(next);
    for (int k = 0; k < 36; ++k)
        QCOMPARE(w.Text1[size_t(k)]->backColor(), CaptionGrey);
    f.select({"pic000.jpg"});
    QCOMPARE(w.marks().SelectedCount, 1);

    // Into a folder that has gone since it was chosen.
    const QString gone = f.env.makeFolder(QStringLiteral("Gone"));
    f.chooseDestination(gone);
    QVERIFY(QDir(gone).removeRecursively());
    f.rename(QStringLiteral("H"), QStringLiteral("1"));
    QCOMPARE(f.texts().last(), Taken);
    QCOMPARE(filesIn(next).size(), 3);
}

void TestFileOps::move()
{
    Folder f;
    MainWindow &w = f.w();
    // Ticked, but the chooser closed without a choice: refused, for a rename and move too.
    w.Check3->setChecked(true);
    w.panel().chooser().close();
    f.select({"a.jpg"});
    w.panel().Command3_Click();
    f.rename(QStringLiteral("H"), QStringLiteral("1"));
    QCOMPARE(f.texts().size(), 4);
    QCOMPARE(f.texts()[1], noDestinationMessage());
    QCOMPARE(f.texts()[3], noDestinationMessage());
    w.Check1->setChecked(false);

    const QString dest = f.env.makeFolder(QStringLiteral("Dest"));
    writeFile(QDir(dest).filePath(QStringLiteral("b.JPG")), "the other b");
    f.chooseDestination(dest);
    f.env.boxes().clear();
    f.env.boxes().script({AnswerCancel});
    w.panel().Command3_Click();
    QCOMPARE(filesIn(f.dir), Four);

    // A name taken there: the others go, the box says which stayed and why.
    f.env.boxes().clear();
    f.select({"b.JPG"});
    w.File1->setSelected(2, true); // a selection made in the list counts too
    w.panel().Command3_Click();
    QCOMPARE(f.texts(),
        (QStringList {"Are you sure you want to MOVE these files ?",
            "File May Already Exist\n\nb.JPG: a file of that name is already there", "2 Files moved!"}));
    QCOMPARE(f.box(0).title, QStringLiteral("Dunmere"));
    QCOMPARE(filesIn(f.dir), (QStringList {"b.JPG", "d.jpg"}));
    QCOMPARE(filesIn(dest), (QStringList {"a.jpg", "b.JPG", "c.gif"}));
    QCOMPARE(contentOf(QDir(dest).filePath(QStringLiteral("b.JPG"))), QByteArray("the other b"));
    QCOMPARE(pictureIn(f.path(QStringLiteral("b.JPG"))), 1);
    QCOMPARE(w.marks().SelectedCount, 0);
    QCOMPARE(w.Text1[0]->text(), QStringLiteral("b.JPG"));
    QCOMPARE(w.Text5->text(), nativeFolder(dest));

    f.env.boxes().clear();
    w.panel().Command3_Click();
    QCOMPARE(f.texts().last(), QStringLiteral("0 Files moved!"));
    const QString gone = f.env.makeFolder(QStringLiteral("Gone"));
    f.chooseDestination(gone);
    QVERIFY(QDir(gone).removeRecursively());
    f.select({"b.JPG", "d.jpg"});
    f.env.boxes().clear();
    w.panel().Command3_Click();
    const QString why = QStringLiteral(": the destination folder cannot be opened: No such file or directory");
    QCOMPARE(
        f.texts().mid(1), (QStringList {"File May Already Exist\n\nb.JPG" + why + "\nd.jpg" + why, "0 Files moved!"}));
    QCOMPARE(filesIn(f.dir), (QStringList {"b.JPG", "d.jpg"}));
    QVERIFY(!QFileInfo::exists(gone));
}

void TestFileOps::deleteFiles()
{
    // A file gone behind the program's back is reported; the others go, to the trash or for good.
    for (bool toTrash : {true, false}) {
        Folder f;
        f.env.app().settings.DeleteRecycle = toTrash;
        f.select({"a.jpg", "b.JPG"});
        f.w().File1->setSelected(3, true);
        QVERIFY(QFile::remove(f.path(QStringLiteral("b.JPG"))));
        f.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("DeleteSelected"));
        QCOMPARE(filesIn(f.dir), QStringList {"c.gif"});
        QCOMPARE(filesIn(trashFolder() + QStringLiteral("/files")),
            (toTrash ? QStringList {"a.jpg", "d.jpg"} : QStringList {}));
        QCOMPARE(f.texts().size(), 2);
        QVERIFY(f.texts()[1].startsWith(QStringLiteral("These files could not be deleted:\n")));
        QVERIFY2(f.texts()[1].contains(QStringLiteral("b.JPG")) && !f.texts()[1].contains(QStringLiteral("a.jpg")),
            qPrintable(f.texts()[1]));
        QCOMPARE(f.w().File1->ListCount(), 1);
        QCOMPARE(f.w().marks().SelectedCount, 0);
    }

    Folder f;
    f.select({"a.jpg"});
    f.env.boxes().script({AnswerCancel});
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(filesIn(f.dir), Four);
    QCOMPARE(f.w().marks().SelectedCount, 1);
    f.env.boxes().clear();
    f.select({"c.gif"});
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(f.texts(), QStringList {"Are you sure you want to DELETE selected files ?"});
    QCOMPARE(f.box(0).style, int(MsgOkCancelQuestion));
    QCOMPARE(f.box(0).title, QStringLiteral("Dunmere"));
    QCOMPARE(pictureIn(trashFolder() + QStringLiteral("/files/c.gif")), 2);
    QVERIFY(contentOf(trashFolder() + QStringLiteral("/info/a.jpg.trashinfo")).contains(f.path("a.jpg").toUtf8()));

    // With nothing selected it only reads the folder again, from the first page.
    writeFile(f.path(QStringLiteral("e.jpg")));
    f.w().grid().PageDown_Click();
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(f.w().position().PageStart, 0);
    QCOMPARE(f.w().Text4->text(), QStringLiteral("Total Pictures 3"));

    // A trash that cannot be made keeps the file, and nothing is made in the picture folder.
    QVERIFY(QDir(trashFolder()).removeRecursively());
    writeFile(trashFolder(), "not a folder");
    f.select({"b.JPG"});
    f.w().deleteFiles().DeleteSelectedFiles();
    QCOMPARE(entriesIn(f.dir), (QStringList {"b.JPG", "d.jpg", "e.jpg"}));
    QVERIFY(f.texts().last().contains(QStringLiteral("b.JPG")));
}

void TestFileOps::renameRun()
{
    // Refusals of the new names and of count starts that cannot number every file, before any
    // file is touched.
    const struct {
        const char *prefix;
        int files;
        const char *start;
        bool refused, counted;
    } rows[] = {{"H", 2, "1", false, true}, {"x/y", 1, "1", true, true}, {".", 2, "1", true, true},
        {"", 1, "1", true, true}, {"H", 1, "2147483646", false, true}, {"H", 2, "2147483646", false, false}};
    for (const auto &r : rows) {
        const QStringList names = QStringList {"a.jpg", "b.gif"}.mid(0, r.files);
        const RenameRun run(
            QStringLiteral("/nowhere"), names, QStringLiteral("/nowhere"), QString::fromUtf8(r.prefix), r.files > 1);
        QVERIFY2(run.refusal().isEmpty() != r.refused, r.prefix);
        QVERIFY2(run.countStart(QString::fromUtf8(r.start)).has_value() == r.counted, r.start);
    }

    // Into another folder, stopping at the first name taken there.
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("pics"));
    const QString other = env.makeFolder(QStringLiteral("sorted"));
    for (const QString &name : {QStringLiteral("a.jpg"), QStringLiteral("b.JPG"), QStringLiteral("c.gif")})
        writeFile(QDir(dir).filePath(name), name.toUtf8());
    writeFile(QDir(other).filePath(QStringLiteral("H 008.JPG")), "taken");
    const RenameOutcome done = RenameRun(dir, {"a.jpg", "b.JPG", "c.gif"}, other, QStringLiteral("H"), true).run(7);
    QCOMPARE(done.renamed, qsizetype(1));
    QCOMPARE(done.nextNumber, qint64(8));
    QVERIFY2(done.result.error.startsWith(QStringLiteral("b.JPG: ")), qPrintable(done.result.error));
    QCOMPARE(filesIn(dir), (QStringList {"b.JPG", "c.gif"}));
    QCOMPARE(contentOf(QDir(other).filePath(QStringLiteral("H 007.jpg"))), QByteArray("a.jpg"));
    QCOMPARE(contentOf(QDir(other).filePath(QStringLiteral("H 008.JPG"))), QByteArray("taken"));
}

void TestFileOps::chooser()
{
    Folder f;
    MainWindow &w = f.w();
    const QString old = f.env.makeFolder(QStringLiteral("Pics/Old"));
    // The rename fields follow "Rename Pictures" and keep what was typed; with nothing ticked the
    // action button does nothing.
    w.Text2->setText(QStringLiteral("keep"));
    w.Check1->setChecked(true);
    QVERIFY(!w.Text2->isHidden() && !w.Label2->isHidden() && !w.Text3->isHidden());
    w.Check1->setChecked(false);
    QVERIFY(w.Text2->isHidden() && w.Label2->isHidden() && w.Text3->isHidden());
    QCOMPARE(w.Text2->text(), QStringLiteral("keep"));
    f.select({"a.jpg"});
    w.panel().Command3_Click();
    QVERIFY(f.env.boxes().shown().isEmpty());

    // "Move Pictures" opens the chooser on the working folder, over a disabled main window.
    w.Text5->setText(QStringLiteral("earlier"));
    w.Check3->setChecked(true);
    MoveFileWindow &c = w.panel().chooser();
    QVERIFY(c.isVisible() && !w.isEnabled() && !w.Text5->isHidden() && !c.Text5->isEnabled());
    QCOMPARE(c.windowTitle(), QStringLiteral("Move to new Folder"));
    QCOMPARE(c.Dir2->Path(), nativeFolder(f.dir));
    QCOMPARE(c.Text5->text(), nativeFolder(f.dir));

    // A folder made is listed in both windows, not opened; a full path is used as it is.
    for (const QString &name : {QStringLiteral("New"), f.env.root() + QStringLiteral("/Elsewhere")}) {
        c.Text4->setText(name);
        c.MakeDir_Click();
    }
    QVERIFY(QFileInfo(f.env.root() + QStringLiteral("/Elsewhere")).isDir());
    QVERIFY(lists(*c.Dir2, f.path(QStringLiteral("New"))) && lists(*w.Dir1, f.path(QStringLiteral("New"))));
    QCOMPARE(c.Text5->text(), nativeFolder(f.dir));
    QVERIFY(f.env.boxes().shown().isEmpty());
    for (const QString &name : {QStringLiteral("Old"), QString(), QStringLiteral("missing/child")}) {
        f.env.boxes().clear();
        c.Text4->setText(name);
        c.MakeDir_Click();
        QCOMPARE(f.texts(), QStringList {"Folder may already Exist"});
        QCOMPARE(f.box(0).style, int(MsgCritical));
        QCOMPARE(f.box(0).title, QStringLiteral("Can not create folder"));
        QCOMPARE(c.Text4->text(), name);
    }

    // A drive opens its root; one that has gone is reported.
    const QString stick = f.env.makeFolder(QStringLiteral("stick"));
    c.Drive2->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")},
        {nativeFolder(f.env.root() + QStringLiteral("/gone")), QString()}});
    f.env.boxes().clear();
    for (int drive : {1, 2}) {
        c.Drive2->setCurrentIndex(drive);
        c.Drive2_Change();
        QCOMPARE(c.Text5->text(), nativeFolder(stick));
    }
    QCOMPARE(f.texts(), QStringList {"Drive can not be found."});
    QCOMPARE(f.box(0).title, QStringLiteral("Dude-Dazivor"));

    // Opening a folder shows its path; OK copies it to the main window.
    QVERIFY(c.Dir2->setPath(f.dir));
    for (int i = 0; i < c.Dir2->count(); ++i)
        if (c.Dir2->entryPath(i) == nativeFolder(old))
            emit c.Dir2->itemDoubleClicked(c.Dir2->item(i));
    QCOMPARE(c.Text5->text(), nativeFolder(old));
    c.MoveFolderOK_Click();
    QVERIFY(!c.isVisible() && w.isEnabled() && w.Check3->isChecked() && !w.Text5->isHidden());
    QCOMPARE(w.Text5->text(), nativeFolder(old));
    w.Check3->setChecked(false);
    QVERIFY(w.Text5->isHidden());
    // Opened again it starts afresh; Cancel unticks "Move Pictures", the close box keeps everything.
    w.Check3->setChecked(true);
    QCOMPARE(c.Dir2->Path(), nativeFolder(f.dir));
    c.Command1_Click();
    QVERIFY(!c.isVisible() && w.isEnabled() && !w.Check3->isChecked() && w.Text5->isHidden());
    QCOMPARE(c.Text5->text(), QString());
    w.Check3->setChecked(true);
    c.close();
    QVERIFY(w.isEnabled() && w.Check3->isChecked());
    QCOMPARE(w.Text5->text(), nativeFolder(old));

    // Keys: Return at once takes the folder shown; in the name box it makes the folder; in the
    // folder list it opens the entry; on Cancel it cancels. Escape is the close box.
    w.Check3->setChecked(false);
    w.Check3->setChecked(true);
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible());
    QCOMPARE(w.Text5->text(), nativeFolder(f.dir));
    w.Check3->setChecked(false);
    w.Check3->setChecked(true);
    c.Text4->setFocus();
    c.Text4->setText(QStringLiteral("ByKey"));
    pressKey(c, Qt::Key_Return);
    QVERIFY(QFileInfo(f.path(QStringLiteral("ByKey"))).isDir() && c.isVisible());
    c.Dir2->setFocus();
    for (int i = 0; i < c.Dir2->count(); ++i)
        if (c.Dir2->entryPath(i) == nativeFolder(old))
            c.Dir2->setCurrentRow(i);
    pressKey(c, Qt::Key_Return);
    QVERIFY(c.Dir2->Path() == nativeFolder(old) && c.isVisible());
    c.Drive2->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible() && w.isEnabled());
    QCOMPARE(w.Text5->text(), nativeFolder(old));
    w.Check3->setChecked(false);
    w.Check3->setChecked(true);
    c.Command1->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible() && !w.Check3->isChecked());
    w.Check3->setChecked(true);
    pressKey(c, Qt::Key_Escape);
    QVERIFY(!c.isVisible() && w.isEnabled() && w.Check3->isChecked());
    QCOMPARE(w.Text5->text(), nativeFolder(old));
}

QTEST_MAIN(TestFileOps)
#include "tst_fileops.moc"
