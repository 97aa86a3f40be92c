// The renamer window on real folders: its lists, selection and the picture preview, folders and
// drives that fail, the new-name preview, one rename per outcome, and deletes while it replaces the
// main window.
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "browse/gridwidgets.h"
#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "platform/paths.h"
#include "platform/workingfolder.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/busypointer.h"
#include "ui/drivelistbox.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

const QString Question = QStringLiteral("Are you sure you want to rename these files ?|33|Dunmere");
const QString DeleteQuestion = QStringLiteral("Are you sure you want to DELETE selected files ?|33|Dunmere");
const QStringList Example {"a.jpg", "b.JPG", "c.gif", "notes"};

// The boxes shown so far, one "text|style|title" line each.
QStringList boxes(TestEnv &env)
{
    QStringList out;
    for (const ScriptedDialogService::Box &b : env.boxes().shown())
        out << QStringLiteral("%1|%2|%3").arg(b.text).arg(b.style).arg(b.title);
    return out;
}

QStringList texts(const QListWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

// A folder of files each holding its own name, so a renamed file can be traced.
QString folderOf(TestEnv &env, const QString &name, const QStringList &files)
{
    const QString dir = env.makeFolder(name);
    for (const QString &f : files)
        writeFile(dir + u'/' + f, f.toUtf8());
    return dir;
}

// One rename: prefix, selection and count typed, the answer to the question; then the preview,
// the folder's files after, the boxes shown and the count after.
struct Row {
    QString prefix;
    QStringList selected;
    QString count;
    int answer;
    QStringList preview, after, shown;
    QString countAfter;
};

} // namespace

class TestRenamer : public QObject {
    Q_OBJECT
private slots:
    void listsSelectsPreviewsAndKeepsItsFolder();
    void previewAndRename_data();
    void previewAndRename();
    void deleteWhileTheMainWindowIsClosed();
};

void TestRenamer::listsSelectsPreviewsAndKeepsItsFolder()
{
    TestEnv env;
    const QString dir = folderOf(env, QStringLiteral("mixed"), {"notes", "letter.txt", ".hidden"});
    writePicture(dir + QStringLiteral("/a.jpg"), 5, QSize(200, 150));
    writePicture(dir + QStringLiteral("/B.jpg"), 11, QSize(80, 200));
    const QString child = env.makeFolder(QStringLiteral("mixed/vanishing"));
    const QString stick = folderOf(env, QStringLiteral("stick"), {"s.jpg"});
    const QString next = env.makeFolder(QStringLiteral("next"));
    BulkSorter &r = env.app().showFileRenamer();
    QVERIFY(r.Dir1->setPath(dir).ok);
    QCOMPARE(r.windowTitle(), QStringLiteral("File Renamer"));
    QCOMPARE(&env.app().showFileRenamer(), &r);
    // Every file whatever its kind, in name order regardless of case; no hidden files, no folders.
    QCOMPARE(texts(*r.File1), QStringList({"a.jpg", "B.jpg", "letter.txt", "notes"}));
    QCOMPARE(workingFolder(), nativeFolder(dir));
    r.Text3->setFocus();
    r.Form_Activate();
    QCOMPARE(r.focusWidget(), r.Text2);
    // A click previews a picture; a file that is no picture keeps the last one; each is counted.
    const std::pair<int, int> clicks[] = {{0, 5}, {2, 5}, {1, 11}};
    for (const auto &[row, picture] : clicks) {
        r.Text3->setFocus();
        QTest::mouseClick(
            r.File1->viewport(), Qt::LeftButton, {}, r.File1->visualItemRect(r.File1->item(row)).center());
        QCOMPARE(pictureNumber(r.Image1->picture()), picture);
        QCOMPARE(r.focusWidget(), r.Text2);
    }
    QCOMPARE(r.state.FilesSelected, 3);
    // Select None, then Select All, twice.
    for (const auto &[button, selected] :
        {std::pair {r.Command2, 0}, std::pair {r.Command1, 4}, std::pair {r.Command1, 4}}) {
        r.Text3->setFocus();
        button->click();
        QCOMPARE(int(r.File1->selectedNames().size()), selected);
        QCOMPARE(r.state.FilesSelected, selected);
        QCOMPARE(r.focusWidget(), r.Text2);
    }
    // A drive that is not there, a folder gone before its double-click, and one gone before its
    // files are read: each is told, and the folder, its files and their selection stay.
    QVERIFY(QDir(child).removeRecursively());
    r.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")},
        {nativeFolder(child), QStringLiteral("CARD")}});
    r.Drive1->setCurrentIndex(2);
    emit r.Drive1->activated(2);
    emit r.Dir1->itemDoubleClicked(r.Dir1->findItems(QStringLiteral("vanishing"), Qt::MatchEndsWith).value(0));
    {
        const QSignalBlocker block(r.Dir1);
        QVERIFY(r.Dir1->setPath(next).ok);
    }
    QVERIFY(QDir(next).removeRecursively());
    r.Dir1_Change();
    // A folder's box names it (with the reason, left out here).
    const QRegularExpression reason(QStringLiteral("^[^|]*(vanishing|next)[^|]*\\|"));
    QCOMPARE(boxes(env).replaceInStrings(reason, QStringLiteral("\\1|")),
        (QStringList {"Drive can not be found.|16|Dude-Dazivor", "vanishing|48|Dunmere", "next|48|Dunmere"}));
    QCOMPARE(r.Dir1->Path(), nativeFolder(dir));
    QCOMPARE(r.File1->selectedNames().size(), 4);
    QCOMPARE(r.state.FilesSelected, 4);
    // A drive that is there shows its root, with nothing selected.
    r.Drive1->setCurrentIndex(1);
    emit r.Drive1->activated(1);
    QCOMPARE(r.Dir1->Path(), nativeFolder(stick));
    QCOMPARE(r.state.FilesSelected, 0);
}

void TestRenamer::previewAndRename_data()
{
    QTest::addColumn<Row>("t");
    const QString exists = QStringLiteral("File already exists\r|0|") + applicationTitle();
    const QString range = countOutOfRangeText() + QStringLiteral("|48|Dunmere");
    const QStringList abc {"a.jpg", "b.JPG", "c.gif"}, b {"b.JPG"}, ac {"a.jpg", "c.gif"};
    const QStringList numbered {"holiday 001.jpg", "holiday 002.JPG", "holiday 003.gif"};
    const QStringList all = numbered + QStringList {"holiday 004"};
    QTest::newRow("numbered, extensions kept") << Row {"holiday", Example, "1", AnswerOk, all, all, {Question}, " 5"};
    QTest::newRow("one without a number") << Row {
        "holiday", b, "7", AnswerOk, {"holiday.JPG"}, {"a.jpg", "c.gif", "holiday.JPG", "notes"}, {Question}, " 8"};
    QTest::newRow("only the selected, no prefix, the count's text") << Row {
        "", ac, " 4", AnswerOk, {" 004.jpg", " 005.gif"}, {" 004.jpg", " 005.gif", "b.JPG", "notes"}, {Question}, " 6"};
    // "holiday 002.JPG" is taken: the first file keeps its new name, the rest theirs.
    QTest::newRow("stops at a taken name") << Row {"holiday", abc, "1", AnswerOk, numbered,
        {"b.JPG", "c.gif", "holiday 001.jpg", "holiday 002.JPG", "notes"}, {Question, exists}, "1"};
    QTest::newRow("no room to number both")
        << Row {"holiday", ac, "2147483646", AnswerOk, {"earlier"}, Example, {range, Question, exists}, "2147483646"};
    QTest::newRow("cancelled") << Row {"holiday", abc, "1", AnswerCancel, numbered, Example, {Question}, "1"};
    QTest::newRow("nothing selected") << Row {"holiday", {}, "1", AnswerOk, {"earlier"}, Example,
        {"First select 1 or more files|48|Dunmere", "Select at lease one file.|48|Dunmere"}, "1"};
    QTest::newRow("prefix into a subfolder") << Row {"sub/holiday", {"a.jpg"}, "1", AnswerOk, {"sub/holiday.jpg"},
        Example, {newNameRefusal(QStringLiteral("sub/holiday.jpg")) + "|48|Dunmere"}, "1"};
}

void TestRenamer::previewAndRename()
{
    QFETCH(Row, t);
    TestEnv env;
    QStringList files = Example;
    if (QTest::currentDataTag() == QByteArray("stops at a taken name"))
        files << QStringLiteral("holiday 002.JPG");
    const QString dir = folderOf(env, QStringLiteral("holiday"), files);
    BulkSorter &r = env.app().showFileRenamer();
    QVERIFY(r.Dir1->setPath(dir).ok);
    r.List1->addItem(QStringLiteral("earlier"));
    r.Text2->setText(t.prefix);
    r.Text3->setText(t.count);
    for (int i = 0; i < r.File1->ListCount(); ++i)
        r.File1->setSelected(i, t.selected.contains(r.File1->List(i)));
    r.Text3->setFocus();
    r.Command3->click();
    // The preview touches nothing; a refused one leaves the last in place.
    QCOMPARE(texts(*r.List1), t.preview);
    QCOMPARE(r.focusWidget() == r.Text2, env.boxes().shown().isEmpty());
    QCOMPARE(r.Text3->text(), t.count);
    QVERIFY(!isHourglass());
    r.Text3->setFocus();
    env.boxes().script({t.answer});
    r.Command4->click();
    QCOMPARE(boxes(env), t.shown);
    QCOMPARE(filesIn(dir), t.after);
    // No file lost or replaced: each file holds its first name, and every first name is still held.
    QStringList contents;
    for (const QString &f : t.after)
        contents << QString::fromUtf8(contentOf(dir + u'/' + f));
    QCOMPARE(QSet(contents.cbegin(), contents.cend()), QSet(files.cbegin(), files.cend()));
    QCOMPARE(r.Text3->text(), t.countAfter);
    QCOMPARE(r.focusWidget() == r.Text2, !t.selected.isEmpty());
    QVERIFY(!isHourglass());
    // A run that started shows the folder afresh, with nothing selected and no preview.
    const bool ran = t.answer == AnswerOk && t.shown.contains(Question);
    QCOMPARE(texts(*r.File1), t.after);
    QCOMPARE(r.File1->selectedNames(), ran ? QStringList() : t.selected);
    QCOMPARE(r.state.FilesSelected, ran ? 0 : int(t.selected.size()));
    QCOMPARE(texts(*r.List1), ran ? QStringList() : t.preview);
}

void TestRenamer::deleteWhileTheMainWindowIsClosed()
{
    TestEnv env;
    const QString dir = folderOf(env, QStringLiteral("holiday"), Example);
    QVERIFY(env.start());
    BrowserSettings &settings = env.app().settings;
    settings.DeleteRecycle = settings.AutoThumbnails = settings.PictureSize = false;
    // The program must never be without a window: the renamer is there before the main window hides.
    QPointer<MainWindow> first = &env.w();
    bool renamerFirst = false;
    connect(first->windowHandle(), &QWindow::visibleChanged, [&] { renamerFirst = env.app().fileRenamer(); });
    pressToolbar(env.w(), QStringLiteral("FileRenamer"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first && !env.app().mainWindow() && renamerFirst);
    QPointer<BulkSorter> r = env.app().fileRenamer();
    QVERIFY(r && r->isVisible());
    QCOMPARE(r->Dir1->Path(), nativeFolder(systemDriveRoot()));
    QCOMPARE(r->Text3->text(), QStringLiteral("1"));
    QVERIFY(r->Dir1->setPath(dir).ok);
    // Asked even with nothing selected; a cancel keeps the files.
    env.boxes().script({AnswerOk, AnswerCancel});
    r->Command5->click();
    for (int i : {0, 1, 3}) // a.jpg, b.JPG, notes
        r->File1->setSelected(i, true);
    r->Command5->click();
    QCOMPARE(filesIn(dir), Example);
    // A file gone behind the window's back: the run goes on, and reports it once at the end. The
    // others are deleted for good, as set, not put in the trash.
    QVERIFY(QFile::remove(dir + QStringLiteral("/b.JPG")));
    r->Command5->click();
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("c.gif")});
    QCOMPARE(texts(*r->File1), QStringList {QStringLiteral("c.gif")});
    QVERIFY(filesIn(trashFolder() + QStringLiteral("/files")).isEmpty());
    const QStringList shown = boxes(env);
    QCOMPARE(shown.mid(0, 3), QStringList(3, DeleteQuestion));
    QCOMPARE(shown.size(), 4);
    QVERIFY2(shown[3].contains(QStringLiteral("b.JPG")) && !shown[3].contains(QStringLiteral("a.jpg")),
        qPrintable(shown[3]));
    // Closing brings a new main window with the default settings; the renamer goes.
    r->close();
    QVERIFY(env.app().mainWindow() && env.w().isVisible() && !env.app().fileRenamer());
    QVERIFY(settings.DeleteRecycle && settings.AutoThumbnails && settings.PictureSize);
}

QTEST_MAIN(TestRenamer)
#include "tst_renamer.moc"
