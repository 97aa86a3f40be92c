// The rename run and the delete run that both windows use, on real folders.
#include <QDir>
#include <QTest>

#include "fileops/deleterun.h"
#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "settings/browsersettings.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

class TestFileRuns : public QObject {
    Q_OBJECT
private slots:
    void renameRun_data();
    void renameRun();
    void refusals_data();
    void refusals();
    void deleteRunGoesOnPastAFailure_data();
    void deleteRunGoesOnPastAFailure();
};

void TestFileRuns::renameRun_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<bool>("elsewhere");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<int>("renamed");
    QTest::addColumn<qint64>("next");
    // The folder holds a.jpg, b.JPG, c.gif and the taken name; the count starts at 7.
    const QStringList all {"a.jpg", "b.JPG", "c.gif"};
    QTest::newRow("numbered, in the order given")
        << all << true << false << "" << QStringList {"H 007.jpg", "H 008.JPG", "H 009.gif"} << QStringList {} << 3
        << qint64(10);
    QTest::newRow("one without a number")
        << QStringList {"b.JPG"} << false << false << "" << QStringList {"H.JPG", "a.jpg", "c.gif"} << QStringList {}
        << 1 << qint64(8);
    QTest::newRow("into another folder") << QStringList {"a.jpg", "c.gif"} << true << true << ""
                                         << QStringList {"b.JPG"} << QStringList {"H 007.jpg", "H 008.gif"} << 2
                                         << qint64(9);
    QTest::newRow("stops at a taken name")
        << all << true << false << "H 008.JPG" << QStringList {"H 007.jpg", "H 008.JPG", "b.JPG", "c.gif"}
        << QStringList {} << 1 << qint64(8);
}

void TestFileRuns::renameRun()
{
    QFETCH(QStringList, selected);
    QFETCH(bool, numbered);
    QFETCH(bool, elsewhere);
    QFETCH(QString, taken);
    QFETCH(QStringList, source);
    QFETCH(QStringList, target);
    QFETCH(int, renamed);
    QFETCH(qint64, next);
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("pics"));
    const QString other = env.makeFolder(QStringLiteral("sorted"));
    for (const QString &name : {QStringLiteral("a.jpg"), QStringLiteral("b.JPG"), QStringLiteral("c.gif")})
        writeFile(QDir(dir).filePath(name), name.toUtf8());
    if (!taken.isEmpty())
        writeFile(QDir(dir).filePath(taken), "taken");

    const RenameRun run(dir, selected, elsewhere ? other : dir, QStringLiteral("H"), numbered);
    QCOMPARE(run.refusal(), QString());
    const std::optional<qint32> start = run.countStart(QStringLiteral("7"));
    QCOMPARE(start, std::optional<qint32>(7));
    const RenameOutcome done = run.run(*start);
    QCOMPARE(done.renamed, qsizetype(renamed));
    QCOMPARE(done.nextNumber, next);
    QCOMPARE(done.result.ok, taken.isEmpty());
    if (!taken.isEmpty()) {
        QVERIFY2(done.result.error.startsWith(QStringLiteral("b.JPG: ")), qPrintable(done.result.error));
        QCOMPARE(contentOf(QDir(dir).filePath(taken)), QByteArray("taken"));
    }
    QCOMPARE(filesIn(dir), source);
    QCOMPARE(filesIn(other), target);
    // The first file keeps its content under its new name.
    const QString first
        = QStringLiteral("H") + (numbered ? QStringLiteral(" 007") : QString()) + extensionOf(selected.first());
    QCOMPARE(contentOf(QDir(elsewhere ? other : dir).filePath(first)), selected.first().toUtf8());
}

void TestFileRuns::refusals_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("countStart");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("counted");
    QTest::newRow("fine") << "H" << QStringList {"a.jpg", "b.gif"} << "1" << false << true;
    QTest::newRow("a separator") << "x/y" << QStringList {"a.jpg"} << "1" << true << true;
    QTest::newRow("a hidden name") << "." << QStringList {"a.jpg", "b.gif"} << "1" << true << true;
    QTest::newRow("only an extension, one file") << "" << QStringList {"a.jpg"} << "1" << true << true;
    QTest::newRow("the top for one file") << "H" << QStringList {"a.jpg"} << "2147483646" << false << true;
    QTest::newRow("past the top for two") << "H" << QStringList {"a.jpg", "b.gif"} << "2147483646" << false << false;
    QTest::newRow("beyond 32 bits") << "H" << QStringList {"a.jpg"} << "99999999999" << false << false;
}

void TestFileRuns::refusals()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, names);
    QFETCH(QString, countStart);
    QFETCH(bool, refused);
    QFETCH(bool, counted);
    const RenameRun run(QStringLiteral("/nowhere"), names, QStringLiteral("/nowhere"), prefix, names.size() > 1);
    QCOMPARE(!run.refusal().isEmpty(), refused);
    QCOMPARE(run.countStart(countStart).has_value(), counted);
}

void TestFileRuns::deleteRunGoesOnPastAFailure_data()
{
    QTest::addColumn<bool>("toTrash");
    QTest::newRow("to the trash") << true;
    QTest::newRow("for good") << false;
}

void TestFileRuns::deleteRunGoesOnPastAFailure()
{
    QFETCH(bool, toTrash);
    TestEnv env;
    const QString dir = env.makeFolder(QStringLiteral("pics"));
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        writeFile(QDir(dir).filePath(QString::fromLatin1(name)), name);
    QVERIFY(env.start());
    env.openFolder(dir);
    FileListBox &list = *env.w().File1;
    for (int i : {0, 1, 3})
        list.setSelected(i, true);
    // The second selected file goes behind the program's back.
    QVERIFY(QFile::remove(QDir(dir).filePath(QStringLiteral("b.jpg"))));
    BrowserSettings settings;
    settings.DeleteRecycle = toTrash;
    DeleteRun run;
    run.deleteSelected(list, settings);
    QCOMPARE(filesIn(dir), QStringList {QStringLiteral("c.jpg")});
    QCOMPARE(run.failures().size(), 1);
    QVERIFY2(run.failures()[0].contains(QStringLiteral("b.jpg")), qPrintable(run.failures()[0]));
    QCOMPARE(
        filesIn(trashFolder() + QStringLiteral("/files")), toTrash ? (QStringList {"a.jpg", "d.jpg"}) : QStringList {});
    QVERIFY(env.boxes().shown().isEmpty());
    run.reportFailures();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.startsWith(QStringLiteral("These files could not be deleted:\n")));
}

QTEST_MAIN(TestFileRuns)
#include "tst_fileruns.moc"
