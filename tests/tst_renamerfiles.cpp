// The renamer's preview, rename and delete on real folders: new names, numbering, failures part-way,
// refused prefixes, and deletes with the main window closed.
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "renamer/namepreview.h"
#include "tests/renamersupport.h"
#include "ui/busypointer.h"

using namespace orvella;
using namespace orvella::test;

namespace {

using Box = ScriptedDialogService::Box;

bool sameBox(const Box &b, const QString &text, int style, const QString &title)
{
    if (b.text == text && b.style == style && b.title == title)
        return true;
    qWarning("box was \"%s\" %d \"%s\"", qPrintable(b.text), b.style, qPrintable(b.title));
    return false;
}

const QString Dunmere = QStringLiteral("Dunmere");
const QString RenameQuestion = QStringLiteral("Are you sure you want to rename these files ?");
const QString DeleteQuestion = QStringLiteral("Are you sure you want to DELETE selected files ?");

// The worked example's folder: a.jpg, b.JPG, c.gif and notes, each holding its own name.
QString exampleFolder(TestEnv &env, const QStringList &more = {})
{
    const QString dir = env.makeFolder(QStringLiteral("holiday"));
    writeNamedFiles(dir, QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}) + more);
    return dir;
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the renamer from the main window's toolbar, so the main window is closed meanwhile.
BulkSorter &renamerFromMainWindow(TestEnv &env, const QString &folder)
{
    env.w().toolbar().Toolbar1_ButtonClick(QStringLiteral("FileRenamer"));
    runDeferredDeletes();
    BulkSorter *r = env.app().fileRenamer();
    if (!r || env.app().mainWindow())
        qFatal("the renamer did not replace the main window");
    if (!r->Dir1->setPath(folder))
        qFatal("cannot open %s", qPrintable(folder));
    return *r;
}

} // namespace

class TestRenamerFiles : public QObject {
    Q_OBJECT
private slots:
    void previewOfTheWorkedExample();
    void previewOfOneFileHasNoNumber();
    void previewWithoutSelection();
    void previewSkipsUnselectedFiles();
    void previewCountStarts_data();
    void previewCountStarts();
    void previewRefusesACountItCannotHold();
    void extensionFromTheLastDot();
    void renameOfTheWorkedExampleAndTheNextRun();
    void renameOfOneFile();
    void renameWithEmptyPrefix();
    void renameFailingOnTheFirstTarget();
    void renameFailingOnTheSecondTarget();
    void renameWithACountItCannotHold();
    void renameCancelled();
    void renameWithoutSelection();
    void unusablePrefixIsRefusedBeforeAnything_data();
    void unusablePrefixIsRefusedBeforeAnything();
    void deleteToTheTrashWithTheMainWindowClosed();
    void deletePermanentlyWithTheMainWindowClosed();
    void deleteFailuresAreReportedOnceAtTheEnd_data();
    void deleteFailuresAreReportedOnceAtTheEnd();
    void refusedTrashKeepsTheFiles();
    void deleteCancelledOrWithoutSelection();
};

void TestRenamerFiles::previewOfTheWorkedExample()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    r.Command1_Click();
    r.Text3->setFocus();
    r.Command3->click();
    const QStringList expected {"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif", "Holiday 004"};
    QCOMPARE(linesOf(*r.List1), expected);
    // No file touched, count start and selection as they were, prefix focused, arrow back.
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
    QCOMPARE(selectedOf(*r.File1).size(), 4);
    QCOMPARE(r.focusWidget(), r.Text2);
    QVERIFY(!isHourglass());
    // The counter is read afresh: a second preview gives the same list.
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), expected);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamerFiles::previewOfOneFileHasNoNumber()
{
    TestEnv env;
    BulkSorter &r = renamerOn(env, exampleFolder(env));
    r.Text2->setText(QStringLiteral("Holiday"));
    r.Text3->setText(QStringLiteral("7"));
    selectNames(r, {"b.JPG"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday.JPG"}));
    selectNames(r, {"notes"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday"}));
}

void TestRenamerFiles::previewWithoutSelection()
{
    TestEnv env;
    BulkSorter &r = renamerOn(env, exampleFolder(env));
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday.jpg"}));
    selectNames(r, {});
    r.Command3_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(sameBox(env.boxes().shown()[0], QStringLiteral("First select 1 or more files"), 48, Dunmere));
    QCOMPARE(r.state.Reply, int(AnswerOk));
    // The last preview stays.
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday.jpg"}));
    QVERIFY(!isHourglass());
}

void TestRenamerFiles::previewSkipsUnselectedFiles()
{
    TestEnv env;
    BulkSorter &r = renamerOn(env, exampleFolder(env, {"photo.2004.jpg"}));
    r.Text2->setText(QStringLiteral("Trip"));
    // a.jpg, b.JPG, c.gif, notes, photo.2004.jpg: the first, third and fifth.
    selectNames(r, {"a.jpg", "c.gif", "photo.2004.jpg"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), QStringList({"Trip 001.jpg", "Trip 002.gif", "Trip 003.jpg"}));
    // Without a prefix each name begins with the blank.
    r.Text2->clear();
    selectNames(r, {"a.jpg", "c.gif"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), QStringList({" 001.jpg", " 002.gif"}));
}

void TestRenamerFiles::previewCountStarts_data()
{
    QTest::addColumn<QString>("countStart");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("7") << "7" << QStringList({"H 007.jpg", "H 008"});
    QTest::newRow("1000") << "1000" << QStringList({"H 1000.jpg", "H 1001"});
    QTest::newRow("letters") << "abc" << QStringList({"H 000.jpg", "H 001"});
    QTest::newRow("empty") << "" << QStringList({"H 000.jpg", "H 001"});
    QTest::newRow("zero") << "0" << QStringList({"H 000.jpg", "H 001"});
    QTest::newRow("left by a run") << " 4" << QStringList({"H 004.jpg", "H 005"});
    QTest::newRow("half to even down") << "2.5" << QStringList({"H 002.jpg", "H 003"});
    QTest::newRow("half to even up") << "3.5" << QStringList({"H 004.jpg", "H 005"});
    QTest::newRow("leading number") << "12abc" << QStringList({"H 012.jpg", "H 013"});
    QTest::newRow("negative") << "-3" << QStringList({"H -003.jpg", "H -002"});
    QTest::newRow("just fits") << "2147483645" << QStringList({"H 2147483645.jpg", "H 2147483646"});
}

void TestRenamerFiles::previewCountStarts()
{
    QFETCH(QString, countStart);
    QFETCH(QStringList, names);
    TestEnv env;
    BulkSorter &r = renamerOn(env, exampleFolder(env));
    r.Text2->setText(QStringLiteral("H"));
    r.Text3->setText(countStart);
    selectNames(r, {"a.jpg", "notes"});
    r.Command3_Click();
    QCOMPARE(linesOf(*r.List1), names);
    QCOMPARE(r.Text3->text(), countStart);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamerFiles::previewRefusesACountItCannotHold()
{
    TestEnv env;
    BulkSorter &r = renamerOn(env, exampleFolder(env));
    r.Text2->setText(QStringLiteral("H"));
    selectNames(r, {"a.jpg", "b.JPG"});
    r.Command3_Click();
    const QStringList before = linesOf(*r.List1);
    QCOMPARE(before.size(), 2);
    // Beyond the 32-bit range, and a start whose run would pass its top.
    for (const QString &start : {QStringLiteral("99999999999"), QStringLiteral("2147483646")}) {
        env.boxes().clear();
        r.Text3->setText(start);
        r.Command3_Click();
        QCOMPARE(env.boxes().shown().size(), 1);
        QVERIFY(sameBox(env.boxes().shown()[0], countOutOfRangeText(), 48, Dunmere));
        QCOMPARE(linesOf(*r.List1), before);
        QVERIFY(!isHourglass());
    }
}

void TestRenamerFiles::extensionFromTheLastDot()
{
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("ext"));
    writeNamedFiles(dir, {"archive.tar.gz", "b.JPG", "notes", "photo.2004.jpg", "trailing."});
    BulkSorter &r = renamerOn(env, dir);
    const QStringList extensions {".gz", ".JPG", "", ".jpg", "."};
    for (int i = 0; i < r.File1->ListCount(); ++i) {
        r.state.FileIndex = i;
        r.ExtractExtension();
        QCOMPARE(r.state.Extension, extensions[i]);
    }
}

void TestRenamerFiles::renameOfTheWorkedExampleAndTheNextRun()
{
    TestEnv env;
    const QString dir = exampleFolder(env, {"x.jpg", "y.png"});
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg", "b.JPG", "c.gif"});
    r.Command3_Click();
    QCOMPARE(r.List1->count(), 3);
    r.Command4->click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(sameBox(env.boxes().shown()[0], RenameQuestion, 33, Dunmere));
    QCOMPARE(namesIn(dir),
        QStringList({"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif", "notes", "x.jpg", "y.png"}));
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 002.JPG")), QByteArray("b.JPG"));
    // The list shows the new names with nothing selected; the preview is gone; the count goes on.
    QCOMPARE(entriesOf(*r.File1),
        QStringList({"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif", "notes", "x.jpg", "y.png"}));
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QCOMPARE(r.state.FilesSelected, 0);
    QCOMPARE(r.List1->count(), 0);
    QCOMPARE(r.Text3->text(), QStringLiteral(" 4"));
    QCOMPARE(r.focusWidget(), r.Text2);
    QVERIFY(!isHourglass());

    // Two more files right after continue at 004.
    selectNames(r, {"x.jpg", "y.png"});
    r.Command4_Click();
    QCOMPARE(namesIn(dir),
        QStringList(
            {"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif", "Holiday 004.jpg", "Holiday 005.png", "notes"}));
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 005.png")), QByteArray("y.png"));
    QCOMPARE(r.Text3->text(), QStringLiteral(" 6"));
    QCOMPARE(env.boxes().shown().size(), 2);
}

void TestRenamerFiles::renameOfOneFile()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"b.JPG"});
    r.Command4_Click();
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "c.gif", "Holiday.JPG", "notes"}));
    QCOMPARE(r.Text3->text(), QStringLiteral(" 2"));
    // Onto its own name: the platform refuses, and the run reports it without harm.
    env.boxes().clear();
    selectNames(r, {"Holiday.JPG"});
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[1], QStringLiteral("File already exists\r"), 0, applicationTitle()));
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday.JPG")), QByteArray("b.JPG"));
    QCOMPARE(r.Text3->text(), QStringLiteral(" 2"));
}

void TestRenamerFiles::renameWithEmptyPrefix()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    selectNames(r, {"a.jpg", "b.JPG"});
    r.Command4_Click();
    QCOMPARE(namesIn(dir), QStringList({" 001.jpg", " 002.JPG", "c.gif", "notes"}));
    QCOMPARE(r.Text3->text(), QStringLiteral(" 3"));
}

void TestRenamerFiles::renameFailingOnTheFirstTarget()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    writeFile(dir + QStringLiteral("/Holiday 001.jpg"), "already here");
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg", "b.JPG", "c.gif"});
    r.Command3_Click();
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[0], RenameQuestion, 33, Dunmere));
    QVERIFY(sameBox(env.boxes().shown()[1], QStringLiteral("File already exists\r"), 0, applicationTitle()));
    // Nothing renamed, nothing replaced.
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "Holiday 001.jpg", "notes"}));
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 001.jpg")), QByteArray("already here"));
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), QByteArray("a.jpg"));
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QCOMPARE(r.state.FilesSelected, 0);
    QCOMPARE(r.List1->count(), 0);
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
    QCOMPARE(r.focusWidget(), r.Text2);
    QVERIFY(!isHourglass());
}

void TestRenamerFiles::renameFailingOnTheSecondTarget()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    writeFile(dir + QStringLiteral("/Holiday 002.JPG"), "already here");
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg", "b.JPG", "c.gif"});
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[1], QStringLiteral("File already exists\r"), 0, applicationTitle()));
    // The first file keeps its new name; the others keep theirs; the list shows it so.
    const QStringList after {"b.JPG", "c.gif", "Holiday 001.jpg", "Holiday 002.JPG", "notes"};
    QCOMPARE(namesIn(dir), after);
    QCOMPARE(entriesOf(*r.File1), after);
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 001.jpg")), QByteArray("a.jpg"));
    QCOMPARE(contentOf(dir + QStringLiteral("/Holiday 002.JPG")), QByteArray("already here"));
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
}

void TestRenamerFiles::renameWithACountItCannotHold()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    r.Text3->setText(QStringLiteral("2147483647"));
    selectNames(r, {"a.jpg", "b.JPG"});
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[1], QStringLiteral("File already exists\r"), 0, applicationTitle()));
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QCOMPARE(r.Text3->text(), QStringLiteral("2147483647"));
    QVERIFY(!isHourglass());
}

void TestRenamerFiles::renameCancelled()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg", "c.gif"});
    r.Command3_Click();
    r.Text3->setFocus();
    env.boxes().script({AnswerCancel});
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(sameBox(env.boxes().shown()[0], RenameQuestion, 33, Dunmere));
    QCOMPARE(r.state.Reply, int(AnswerCancel));
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday 001.jpg", "Holiday 002.gif"}));
    QCOMPARE(selectedOf(*r.File1), QStringList({"a.jpg", "c.gif"}));
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
    QCOMPARE(r.focusWidget(), r.Text2);
}

void TestRenamerFiles::renameWithoutSelection()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(QStringLiteral("Holiday"));
    selectNames(r, {"a.jpg"});
    r.Command3_Click();
    selectNames(r, {});
    r.Command4_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(sameBox(env.boxes().shown()[0], QStringLiteral("Select at lease one file."), 48, Dunmere));
    QCOMPARE(linesOf(*r.List1), QStringList({"Holiday.jpg"}));
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
}

void TestRenamerFiles::unusablePrefixIsRefusedBeforeAnything_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("into a subfolder") << "sub/Holiday" << QStringList({"a.jpg", "b.JPG"});
    QTest::newRow("up a folder") << "../Holiday" << QStringList({"a.jpg"});
    QTest::newRow("backslash") << "sub\\Holiday" << QStringList({"a.jpg", "notes"});
    QTest::newRow("dot for one file without extension") << "." << QStringList({"notes"});
    QTest::newRow("dot dot for one file without extension") << ".." << QStringList({"notes"});
    QTest::newRow("no name at all") << "" << QStringList({"notes"});
#ifndef Q_OS_WIN
    QTest::newRow("only the extension: hidden") << "" << QStringList({"a.jpg"});
    QTest::newRow("dot first: hidden") << ".Holiday" << QStringList({"a.jpg", "b.JPG"});
#endif
}

void TestRenamerFiles::unusablePrefixIsRefusedBeforeAnything()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, selected);
    TestEnv env;
    const QString dir = exampleFolder(env);
    env.makeFolder(QStringLiteral("holiday/sub"));
    BulkSorter &r = renamerOn(env, dir);
    r.Text2->setText(prefix);
    selectNames(r, selected);
    r.Command3_Click();
    const QStringList preview = linesOf(*r.List1);
    r.Command4_Click();
    // One warning, no question, nothing touched.
    QCOMPARE(env.boxes().shown().size(), 1);
    const Box &b = env.boxes().shown()[0];
    QCOMPARE(b.style, 48);
    QCOMPARE(b.title, Dunmere);
    QVERIFY(b.text != RenameQuestion);
    QVERIFY(!b.text.isEmpty());
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QVERIFY(namesIn(dir + QStringLiteral("/sub")).isEmpty());
    QVERIFY(namesIn(env.root()).isEmpty());
    QCOMPARE(linesOf(*r.List1), preview);
    QCOMPARE(selectedOf(*r.File1), selected);
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
}

void TestRenamerFiles::deleteToTheTrashWithTheMainWindowClosed()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    QVERIFY(env.start());
    QVERIFY(env.app().settings.DeleteRecycle);
    BulkSorter &r = renamerFromMainWindow(env, dir);
    selectNames(r, {"a.jpg", "notes"});
    r.Text2->setText(QStringLiteral("kept"));
    r.Command5->click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(sameBox(env.boxes().shown()[0], DeleteQuestion, 33, Dunmere));
    QCOMPARE(namesIn(dir), QStringList({"b.JPG", "c.gif"}));
    QCOMPARE(contentOf(trashFolder() + QStringLiteral("/files/a.jpg")), QByteArray("a.jpg"));
    QCOMPARE(contentOf(trashFolder() + QStringLiteral("/files/notes")), QByteArray("notes"));
    QCOMPARE(entriesOf(*r.File1), QStringList({"b.JPG", "c.gif"}));
    QVERIFY(selectedOf(*r.File1).isEmpty());
    QCOMPARE(r.state.FilesSelected, 0);
    QCOMPARE(r.Text3->text(), QStringLiteral("1"));
    // Deleting did not bring the main window back.
    QVERIFY(!env.app().mainWindow());
}

void TestRenamerFiles::deletePermanentlyWithTheMainWindowClosed()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    QVERIFY(env.start());
    env.app().settings.DeleteRecycle = false;
    BulkSorter &r = renamerFromMainWindow(env, dir);
    selectNames(r, {"b.JPG", "c.gif"});
    r.Command5_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "notes"}));
    QVERIFY(namesIn(trashFolder() + QStringLiteral("/files")).isEmpty());
    QCOMPARE(entriesOf(*r.File1), QStringList({"a.jpg", "notes"}));
    QVERIFY(!env.app().mainWindow());
}

void TestRenamerFiles::deleteFailuresAreReportedOnceAtTheEnd_data()
{
    QTest::addColumn<bool>("toTrash");
    QTest::newRow("trash") << true;
    QTest::newRow("permanently") << false;
}

void TestRenamerFiles::deleteFailuresAreReportedOnceAtTheEnd()
{
    QFETCH(bool, toTrash);
    TestEnv env;
    const QString dir = exampleFolder(env);
    QVERIFY(env.start());
    env.app().settings.DeleteRecycle = toTrash;
    BulkSorter &r = renamerFromMainWindow(env, dir);
    r.Command1_Click();
    // Two files go away behind the window's back; the run goes on past them.
    QVERIFY(QFile::remove(dir + QStringLiteral("/b.JPG")));
    QVERIFY(QFile::remove(dir + QStringLiteral("/c.gif")));
    r.Command5_Click();
    QVERIFY(namesIn(dir).isEmpty());
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[0], DeleteQuestion, 33, Dunmere));
    const QString report = env.boxes().shown()[1].text;
    QVERIFY(report.contains(QStringLiteral("b.JPG")));
    QVERIFY(report.contains(QStringLiteral("c.gif")));
    QVERIFY(!report.contains(QStringLiteral("a.jpg")));
    QVERIFY(!report.contains(QStringLiteral("notes")));
    QCOMPARE(QFileInfo::exists(trashFolder() + QStringLiteral("/files/a.jpg")), toTrash);
    QCOMPARE(r.File1->ListCount(), 0);
}

void TestRenamerFiles::refusedTrashKeepsTheFiles()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    QVERIFY(env.start());
    BulkSorter &r = renamerFromMainWindow(env, dir);
    // A trash that cannot be set up: its folder's place is taken by a file.
    QDir().mkpath(QFileInfo(trashFolder()).path());
    writeFile(trashFolder(), "not a folder");
    selectNames(r, {"a.jpg", "c.gif"});
    r.Command5_Click();
    // Kept, not deleted for good instead, and reported once; nothing made in the folder.
    QCOMPARE(entriesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QCOMPARE(contentOf(dir + QStringLiteral("/a.jpg")), QByteArray("a.jpg"));
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(env.boxes().shown()[1].text.contains(QStringLiteral("a.jpg")));
    QVERIFY(env.boxes().shown()[1].text.contains(QStringLiteral("c.gif")));
    QVERIFY(selectedOf(*r.File1).isEmpty());
}

void TestRenamerFiles::deleteCancelledOrWithoutSelection()
{
    TestEnv env;
    const QString dir = exampleFolder(env);
    BulkSorter &r = renamerOn(env, dir);
    selectNames(r, {"a.jpg"});
    env.boxes().script({AnswerCancel});
    r.Command5_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QCOMPARE(r.state.DeleteReply, int(AnswerCancel));
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QCOMPARE(selectedOf(*r.File1), QStringList({"a.jpg"}));
    // With nothing selected the question still comes, and nothing goes.
    selectNames(r, {});
    r.Command5_Click();
    QCOMPARE(env.boxes().shown().size(), 2);
    QVERIFY(sameBox(env.boxes().shown()[1], DeleteQuestion, 33, Dunmere));
    QCOMPARE(namesIn(dir), QStringList({"a.jpg", "b.JPG", "c.gif", "notes"}));
    QVERIFY(namesIn(trashFolder() + QStringLiteral("/files")).isEmpty());
}

QTEST_MAIN(TestRenamerFiles)
#include "tst_renamerfiles.moc"
