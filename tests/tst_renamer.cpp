// The renamer window on real folders: its lists and their failures, selection and the picture
// preview, the new-name preview, one rename per outcome, and deletes while it replaces the main window.
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

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

BulkSorter &renamerOn(TestEnv &env, const QString &folder)
{
    BulkSorter &r = env.app().showFileRenamer();
    if (!r.Dir1->setPath(folder))
        qFatal("cannot open %s", qPrintable(folder));
    return r;
}

void select(BulkSorter &r, const QStringList &names)
{
    for (int i = 0; i < r.File1->ListCount(); ++i)
        r.File1->setSelected(i, names.contains(r.File1->List(i)));
}

} // namespace

class TestRenamer : public QObject {
    Q_OBJECT
private slots:
    void listsSelectsAndPreviewsPictures();
    void foldersAndDrivesThatFail();
    void previewAndRename_data();
    void previewAndRename();
    void deleteWhileTheMainWindowIsClosed_data();
    void deleteWhileTheMainWindowIsClosed();
};

void TestRenamer::listsSelectsAndPreviewsPictures()
{
    TestEnv env;
    const QString dir = folderOf(env, QStringLiteral("mixed"), {"notes", "letter.txt", ".hidden"});
    writePicture(dir + QStringLiteral("/a.jpg"), 5, QSize(200, 150));
    writePicture(dir + QStringLiteral("/B.jpg"), 11, QSize(80, 200));
    env.makeFolder(QStringLiteral("mixed/sub"));
    BulkSorter &r = renamerOn(env, dir);
    QCOMPARE(r.windowTitle(), QStringLiteral("File Renamer"));
    QCOMPARE(&env.app().showFileRenamer(), &r);
    // Every file whatever its kind, in name order regardless of case; no hidden files, no folders.
    QCOMPARE(texts(*r.File1), QStringList({"a.jpg", "B.jpg", "letter.txt", "notes"}));
    QCOMPARE(workingFolder(), nativeFolder(dir));
    r.Text3->setFocus();
    r.Form_Activate();
    QCOMPARE(r.focusWidget(), r.Text2);
    // A click previews a picture; a file that is no picture keeps the last one; each is counted.
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    const std::pair<int, int> clicks[] = {{0, 5}, {2, 5}, {1, 11}};
    for (const auto &[row, picture] : clicks) {
        r.Text3->setFocus();
        QTest::mouseClick(
            r.File1->viewport(), Qt::LeftButton, {}, r.File1->visualItemRect(r.File1->item(row)).center());
        QCOMPARE(pictureNumber(r.Image1->picture()), picture);
        QCOMPARE(r.focusWidget(), r.Text2);
    }
    QCOMPARE(r.state.FilesSelected, 3);
    // Select None, then Select All.
    for (const auto &[button, selected] : {std::pair {r.Command2, 0}, std::pair {r.Command1, 4}}) {
        r.Text3->setFocus();
        button->click();
        QCOMPARE(int(r.File1->selectedNames().size()), selected);
        QCOMPARE(r.state.FilesSelected, selected);
        QCOMPARE(r.focusWidget(), r.Text2);
    }
    // Another folder starts with nothing selected.
    QVERIFY(r.Dir1->setPath(dir + QStringLiteral("/sub")).ok);
    QCOMPARE(r.File1->ListCount(), 0);
    QCOMPARE(r.state.FilesSelected, 0);
    QVERIFY(env.boxes().shown().isEmpty());
}

void TestRenamer::foldersAndDrivesThatFail()
{
    TestEnv env;
    const QString here = folderOf(env, QStringLiteral("here"), {"a.jpg", "b.jpg"});
    const QString stick = folderOf(env, QStringLiteral("stick"), {"s.jpg"});
    const QString child = env.makeFolder(QStringLiteral("here/vanishing"));
    const QString next = env.makeFolder(QStringLiteral("next"));
    BulkSorter &r = renamerOn(env, here);
    r.File1->setSelected(1, true);
    QVERIFY(QDir(child).removeRecursively());
    r.Drive1->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")},
        {nativeFolder(child), QStringLiteral("CARD")}});
    r.Drive1->setCurrentIndex(2);
    emit r.Drive1->activated(2);
    QCOMPARE(boxes(env), QStringList {QStringLiteral("Drive can not be found.|16|Dude-Dazivor")});
    // A folder gone before its double-click, and one gone before its files are read.
    emit r.Dir1->itemDoubleClicked(r.Dir1->findItems(QStringLiteral("vanishing"), Qt::MatchEndsWith).value(0));
    {
        const QSignalBlocker block(r.Dir1);
        QVERIFY(r.Dir1->setPath(next).ok);
    }
    QVERIFY(QDir(next).removeRecursively());
    r.Dir1_Change();
    const QStringList shown = boxes(env);
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[1].contains(QStringLiteral("vanishing")) && shown[1].endsWith(QStringLiteral("|48|Dunmere")),
        qPrintable(shown[1]));
    QVERIFY2(shown[2].contains(QStringLiteral("next")) && shown[2].endsWith(QStringLiteral("|48|Dunmere")),
        qPrintable(shown[2]));
    // Folder, files and selection stay as they were.
    QCOMPARE(r.Dir1->Path(), nativeFolder(here));
    QCOMPARE(r.File1->Path(), nativeFolder(here));
    QCOMPARE(workingFolder(), nativeFolder(here));
    QCOMPARE(r.File1->selectedNames(), QStringList {QStringLiteral("b.jpg")});
    QCOMPARE(r.state.FilesSelected, 1);
    // A drive that is there shows its root.
    r.Drive1->setCurrentIndex(1);
    emit r.Drive1->activated(1);
    QCOMPARE(r.Dir1->Path(), nativeFolder(stick));
    QCOMPARE(texts(*r.File1), QStringList {QStringLiteral("s.jpg")});
    QCOMPARE(boxes(env).size(), 3);
}

void TestRenamer::previewAndRename_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("preview");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("countAfter");
    const QString exists = QStringLiteral("File already exists\r|0|") + applicationTitle();
    const QString range = countOutOfRangeText() + QStringLiteral("|48|Dunmere");
    const QStringList abc {"a.jpg", "b.JPG", "c.gif"}, b {"b.JPG"}, ac {"a.jpg", "c.gif"};
    const QStringList numbered {"Holiday 001.jpg", "Holiday 002.JPG", "Holiday 003.gif"};
    const QStringList all = numbered + QStringList {"Holiday 004"};
    const int ok = AnswerOk;
    QTest::newRow("numbered, extensions kept")
        << "Holiday" << Example << "1" << ok << all << all << QStringList {Question} << " 5";
    QTest::newRow("one without a number")
        << "Holiday" << b << "7" << ok << QStringList {"Holiday.JPG"}
        << QStringList {"Holiday.JPG", "a.jpg", "c.gif", "notes"} << QStringList {Question} << " 8";
    QTest::newRow("only the selected, no prefix, the count's text")
        << "" << ac << " 4" << ok << QStringList {" 004.jpg", " 005.gif"}
        << QStringList {" 004.jpg", " 005.gif", "b.JPG", "notes"} << QStringList {Question} << " 6";
    // "Holiday 002.JPG" is taken: the first file keeps its new name, the rest theirs.
    QTest::newRow("stops at a taken name")
        << "Holiday" << abc << "1" << ok << numbered
        << QStringList {"Holiday 001.jpg", "Holiday 002.JPG", "b.JPG", "c.gif", "notes"}
        << QStringList {Question, exists} << "1";
    QTest::newRow("no room to number both") << "Holiday" << ac << "2147483646" << ok << QStringList {"earlier"}
                                            << Example << QStringList {range, Question, exists} << "2147483646";
    QTest::newRow("cancelled") << "Holiday" << abc << "1" << int(AnswerCancel) << numbered << Example
                               << QStringList {Question} << "1";
    QTest::newRow("nothing selected") << "Holiday" << QStringList() << "1" << ok << QStringList {"earlier"} << Example
                                      << QStringList {"First select 1 or more files|48|Dunmere",
                                             "Select at lease one file.|48|Dunmere"}
                                      << "1";
    QTest::newRow("prefix into a subfolder")
        << "sub/Holiday" << QStringList {"a.jpg"} << "1" << ok << QStringList {"sub/Holiday.jpg"} << Example
        << QStringList {newNameRefusal(QStringLiteral("sub/Holiday.jpg")) + "|48|Dunmere"} << "1";
}

void TestRenamer::previewAndRename()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, selected);
    QFETCH(QString, count);
    QFETCH(int, answer);
    QFETCH(QStringList, preview);
    QFETCH(QStringList, after);
    QFETCH(QStringList, shown);
    QFETCH(QString, countAfter);
    TestEnv env;
    QStringList files = Example;
    if (QTest::currentDataTag() == QByteArray("stops at a taken name"))
        files << QStringLiteral("Holiday 002.JPG");
    const QString dir = folderOf(env, QStringLiteral("holiday"), files);
    BulkSorter &r = renamerOn(env, dir);
    r.List1->addItem(QStringLiteral("earlier"));
    r.Text2->setText(prefix);
    r.Text3->setText(count);
    select(r, selected);
    r.Text3->setFocus();
    r.Command3->click();
    // The preview touches nothing; a refused one leaves the last in place.
    QCOMPARE(texts(*r.List1), preview);
    QCOMPARE(r.focusWidget() == r.Text2, env.boxes().shown().isEmpty());
    QCOMPARE(r.Text3->text(), count);
    QVERIFY(!isHourglass());
    r.Text3->setFocus();
    env.boxes().script({answer});
    r.Command4->click();
    QCOMPARE(boxes(env), shown);
    QCOMPARE(filesIn(dir), after);
    // No file lost or replaced: each file holds its first name, and every first name is still held.
    QStringList contents;
    for (const QString &f : after)
        contents << QString::fromUtf8(contentOf(dir + u'/' + f));
    contents.sort();
    files.sort();
    QCOMPARE(contents, files);
    QCOMPARE(r.Text3->text(), countAfter);
    QCOMPARE(r.focusWidget() == r.Text2, !selected.isEmpty());
    QVERIFY(!isHourglass());
    // A run that started shows the folder afresh, with nothing selected and no preview.
    const bool ran = answer == AnswerOk && shown.contains(Question);
    QStringList listed = texts(*r.File1);
    listed.sort();
    QCOMPARE(listed, after);
    QCOMPARE(r.File1->selectedNames(), ran ? QStringList() : selected);
    QCOMPARE(r.state.FilesSelected, ran ? 0 : int(selected.size()));
    QCOMPARE(texts(*r.List1), ran ? QStringList() : preview);
}

void TestRenamer::deleteWhileTheMainWindowIsClosed_data()
{
    QTest::addColumn<bool>("toTrash");
    QTest::newRow("to the trash") << true;
    QTest::newRow("for good") << false;
}

void TestRenamer::deleteWhileTheMainWindowIsClosed()
{
    QFETCH(bool, toTrash);
    TestEnv env;
    const QString dir = folderOf(env, QStringLiteral("holiday"), Example);
    QVERIFY(env.start());
    env.app().settings.DeleteRecycle = toTrash;
    env.app().settings.ImageFormat = QStringLiteral("*.gif");
    env.app().settings.AutoThumbnails = env.app().settings.PictureSize = false;
    // The program must never find itself without a window on the way.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QPointer<MainWindow> first = &env.w();
    pressToolbar(env.w(), QStringLiteral("FileRenamer"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QVERIFY(!env.app().mainWindow());
    QPointer<BulkSorter> r = env.app().fileRenamer();
    QVERIFY(r && r->isVisible());
    QCOMPARE(r->Dir1->Path(), nativeFolder(systemDriveRoot()));
    QCOMPARE(r->Text3->text(), QStringLiteral("1"));
    QVERIFY(r->Dir1->setPath(dir).ok);
    // Asked even with nothing selected; a cancel keeps the files.
    env.boxes().script({AnswerOk, AnswerCancel});
    r->Command5->click();
    select(*r, {"a.jpg", "b.JPG", "notes"});
    r->Command5->click();
    QCOMPARE(filesIn(dir), Example);
    // A file gone behind the window's back: the run goes on, and reports it once at the end.
    QVERIFY(QFile::remove(dir + QStringLiteral("/b.JPG")));
    r->Command5->click();
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("c.gif")});
    QCOMPARE(texts(*r->File1), QStringList {QStringLiteral("c.gif")});
    QCOMPARE(
        filesIn(trashFolder() + QStringLiteral("/files")), toTrash ? QStringList({"a.jpg", "notes"}) : QStringList());
    const QStringList shown = boxes(env);
    QCOMPARE(shown.mid(0, 3), QStringList({DeleteQuestion, DeleteQuestion, DeleteQuestion}));
    QCOMPARE(shown.size(), 4);
    QVERIFY2(shown[3].contains(QStringLiteral("b.JPG")) && !shown[3].contains(QStringLiteral("a.jpg")),
        qPrintable(shown[3]));
    // Closing brings a new main window with the default settings; the renamer goes.
    QVERIFY(!env.app().mainWindow());
    r->close();
    QVERIFY(env.app().mainWindow() && env.w().isVisible());
    QVERIFY(!env.app().fileRenamer());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!r);
    QCoreApplication::processEvents();
    QCOMPARE(lastClosed.count(), 0);
    QVERIFY(env.app().settings.DeleteRecycle && env.app().settings.AutoThumbnails && env.app().settings.PictureSize);
    QCOMPARE(env.app().settings.ImageFormat, BrowserSettings::defaultImageFormat());
}

QTEST_MAIN(TestRenamer)
#include "tst_renamer.moc"
