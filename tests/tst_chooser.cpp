// The destination chooser "Move to new Folder".
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "fileops/movefilewindow.h"
#include "platform/paths.h"
#include "tests/testsupport.h"
#include "ui/drivelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;

namespace {

bool lists(const FolderListBox &dirs, const QString &path)
{
    for (int i = 0; i < dirs.count(); ++i)
        if (dirs.entryPath(i) == nativeFolder(path))
            return true;
    return false;
}

} // namespace

class TestChooser : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensOnTheMainWindowsFolder();
    void openingAnotherFolderShowsItsPath();
    void makingAFolder();
    void makingAFolderThatCannotBeMade();
    void okCopiesTheFolder();
    void cancelUnticksMovePictures();
    void closeBoxKeepsEverything();
    void keys();
    void driveListOpensTheDrivesRoot();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_pics;
    MainWindow &w() { return m_env->w(); }
    MoveFileWindow &chooser() { return w().panel().chooser(); }
};

void TestChooser::init()
{
    m_env = std::make_unique<TestEnv>();
    m_pics = m_env->makeFolder(QStringLiteral("Pics"));
    m_env->makeFolder(QStringLiteral("Pics/Old"));
    writePictures(m_pics, 2);
    QVERIFY(m_env->start());
    m_env->openFolder(m_pics);
    w().Text5->setText(QStringLiteral("earlier"));
    w().Check3->setChecked(true);
}

void TestChooser::cleanup()
{
    if (m_env->app().mainWindow())
        chooser().close();
    m_env.reset();
}

void TestChooser::opensOnTheMainWindowsFolder()
{
    QVERIFY(chooser().isVisible());
    QCOMPARE(chooser().windowTitle(), QStringLiteral("Move to new Folder"));
    QCOMPARE(chooser().Dir2->Path(), nativeFolder(m_pics));
    QCOMPARE(chooser().Text5->text(), nativeFolder(m_pics));
    QVERIFY(!chooser().Text5->isEnabled());
    QVERIFY(!w().isEnabled());
    QVERIFY(!w().Text5->isHidden());
}

void TestChooser::openingAnotherFolderShowsItsPath()
{
    const QString old = QDir(m_pics).filePath(QStringLiteral("Old"));
    int row = -1;
    for (int i = 0; i < chooser().Dir2->count(); ++i)
        if (chooser().Dir2->entryPath(i) == nativeFolder(old))
            row = i;
    QVERIFY(row >= 0);
    emit chooser().Dir2->itemDoubleClicked(chooser().Dir2->item(row));
    QCOMPARE(chooser().Text5->text(), nativeFolder(old));
}

void TestChooser::makingAFolder()
{
    chooser().Text4->setText(QStringLiteral("New"));
    chooser().MakeDir_Click();
    const QString made = QDir(m_pics).filePath(QStringLiteral("New"));
    QVERIFY(QFileInfo(made).isDir());
    QVERIFY(lists(*chooser().Dir2, made));
    QVERIFY(lists(*w().Dir1, made));
    // Listed, not opened.
    QCOMPARE(chooser().Text5->text(), nativeFolder(m_pics));
    QVERIFY(m_env->boxes().shown().isEmpty());

    // A full path is used as it is.
    const QString elsewhere = m_env->root() + QStringLiteral("/Elsewhere");
    chooser().Text4->setText(elsewhere);
    chooser().MakeDir_Click();
    QVERIFY(QFileInfo(elsewhere).isDir());
}

void TestChooser::makingAFolderThatCannotBeMade()
{
    for (const QString &name : {QStringLiteral("Old"), QString(), QStringLiteral("missing/child")}) {
        m_env->boxes().clear();
        chooser().Text4->setText(name);
        chooser().MakeDir_Click();
        QCOMPARE(m_env->boxes().shown().size(), 1);
        QCOMPARE(m_env->boxes().shown()[0].text, QStringLiteral("Folder may already Exist"));
        QCOMPARE(m_env->boxes().shown()[0].style, 16);
        QCOMPARE(m_env->boxes().shown()[0].title, QStringLiteral("Can not create folder"));
        QCOMPARE(chooser().Text4->text(), name);
        QVERIFY(chooser().isVisible());
    }
}

void TestChooser::okCopiesTheFolder()
{
    const QString old = QDir(m_pics).filePath(QStringLiteral("Old"));
    QVERIFY(chooser().Dir2->setPath(old));
    chooser().MoveFolderOK_Click();
    QVERIFY(!chooser().isVisible());
    QVERIFY(w().isEnabled());
    QVERIFY(w().Check3->isChecked());
    QVERIFY(!w().Text5->isHidden());
    QCOMPARE(w().Text5->text(), nativeFolder(old));
    // Opened again, it starts afresh on the working folder.
    w().Check3->setChecked(false);
    w().Check3->setChecked(true);
    QCOMPARE(chooser().Dir2->Path(), nativeFolder(m_pics));
}

void TestChooser::cancelUnticksMovePictures()
{
    chooser().Command1_Click();
    QVERIFY(!chooser().isVisible());
    QVERIFY(w().isEnabled());
    QVERIFY(!w().Check3->isChecked());
    QVERIFY(w().Text5->isHidden());
    QCOMPARE(w().Text5->text(), QStringLiteral("earlier"));
    QCOMPARE(chooser().Text5->text(), QString());
}

void TestChooser::closeBoxKeepsEverything()
{
    chooser().close();
    QVERIFY(w().isEnabled());
    QVERIFY(w().Check3->isChecked());
    QCOMPARE(w().Text5->text(), QStringLiteral("earlier"));
}

void TestChooser::keys()
{
    // Return at once takes the folder shown.
    MoveFileWindow &c = chooser();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible());
    QCOMPARE(w().Text5->text(), nativeFolder(m_pics));
    w().Check3->setChecked(false);
    w().Check3->setChecked(true);
    // Return in the name box makes the folder, and nothing more.
    c.Text4->setFocus();
    c.Text4->setText(QStringLiteral("ByKey"));
    pressKey(c, Qt::Key_Return);
    QVERIFY(QFileInfo(QDir(m_pics).filePath(QStringLiteral("ByKey"))).isDir());
    QVERIFY(c.isVisible());
    // Return in the folder list opens its entry.
    const QString old = QDir(m_pics).filePath(QStringLiteral("Old"));
    c.Dir2->setFocus();
    for (int i = 0; i < c.Dir2->count(); ++i)
        if (c.Dir2->entryPath(i) == nativeFolder(old))
            c.Dir2->setCurrentRow(i);
    pressKey(c, Qt::Key_Return);
    QCOMPARE(c.Dir2->Path(), nativeFolder(old));
    QVERIFY(c.isVisible());
    // Return anywhere else is OK; on the focused Cancel button it is Cancel.
    c.Drive2->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible());
    QVERIFY(w().isEnabled());
    QCOMPARE(w().Text5->text(), nativeFolder(old));
    w().Check3->setChecked(false);
    w().Check3->setChecked(true);
    c.Command1->setFocus();
    pressKey(c, Qt::Key_Return);
    QVERIFY(!c.isVisible());
    QVERIFY(!w().Check3->isChecked());
    // Escape is the close box: nothing copied, nothing unticked.
    w().Text5->setText(QStringLiteral("earlier"));
    w().Check3->setChecked(true);
    pressKey(c, Qt::Key_Escape);
    QVERIFY(!c.isVisible());
    QVERIFY(w().isEnabled());
    QVERIFY(w().Check3->isChecked());
    QCOMPARE(w().Text5->text(), QStringLiteral("earlier"));
}

void TestChooser::driveListOpensTheDrivesRoot()
{
    const QString stick = m_env->makeFolder(QStringLiteral("stick"));
    const QString gone = m_env->makeFolder(QStringLiteral("gone"));
    QVERIFY(QDir(gone).removeRecursively());
    chooser().Drive2->setVolumes({{QStringLiteral("/"), QString()}, {nativeFolder(stick), QStringLiteral("USB")},
        {nativeFolder(gone), QString()}});
    chooser().Drive2->setCurrentIndex(1);
    chooser().Drive2_Change();
    QCOMPARE(chooser().Dir2->Path(), nativeFolder(stick));
    QCOMPARE(chooser().Text5->text(), nativeFolder(stick));
    chooser().Drive2->setCurrentIndex(2);
    chooser().Drive2_Change();
    QCOMPARE(m_env->boxes().shown().size(), 1);
    QCOMPARE(m_env->boxes().shown()[0].text, QStringLiteral("Drive can not be found."));
    QCOMPARE(m_env->boxes().shown()[0].title, QStringLiteral("Dude-Dazivor"));
    QCOMPARE(chooser().Dir2->Path(), nativeFolder(stick));
}

QTEST_MAIN(TestChooser)
#include "tst_chooser.moc"
