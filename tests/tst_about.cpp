// The about box: its texts, the main window disabled while it is open and enabled again however it
// closes, and the home-page link with a browser that starts or fails.
#include <QPushButton>
#include <QTest>

#include "dialogs/about.h"
#include "tests/testsupport.h"

using namespace orvella;
using namespace orvella::test;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void aboutBox();
};

void TestAbout::aboutBox()
{
    TestEnv env;
    QVERIFY(env.start());
    MainWindow &w = env.w();
    // Closed by OK, by the close box and by each key; the box is kept for the next press.
    const int OkButton = 0, CloseBox = 1;
    for (int how : {OkButton, CloseBox, int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        pressToolbar(w, QStringLiteral("About"));
        About &a = env.app().about();
        QVERIFY(a.isVisible() && !w.isEnabled());
        if (how == OkButton)
            QTest::mouseClick(a.Command1, Qt::LeftButton);
        else if (how == CloseBox)
            QVERIFY(a.close());
        else
            pressKey(a, Qt::Key(how));
        QVERIFY2(!a.isVisible() && w.isEnabled(), qPrintable(QString::number(how)));
    }
    pressToolbar(w, QStringLiteral("About"));
    About &a = env.app().about();
    QCOMPARE(a.Label1->text(), QStringLiteral("Orvella"));
    QCOMPARE(a.Label2->text(), QStringLiteral("Version 2.01"));
    QCOMPARE(a.Command1->text(), QStringLiteral("OK"));
    QVERIFY(!a.Label3->text().isEmpty() && env.app().homeAddress.contains(a.Label3->text()));
    // The link opens the home page and the box stays; a press dragged off the link is no click, a
    // double-click is one.
    QTest::mouseClick(a.Label3, Qt::LeftButton);
    QTest::mousePress(a.Label3, Qt::LeftButton);
    QTest::mouseRelease(a.Label3, Qt::LeftButton, {}, QPoint(-5, -5));
    mouseDoubleClick(a.Label3);
    QCOMPARE(env.browserStarts(), QStringList(2, env.app().homeAddress));
    QVERIFY(a.isVisible() && !w.isEnabled());
    QVERIFY(env.boxes().shown().isEmpty());
    env.setBrowserWorks(false);
    a.Label3_Click();
    QCOMPARE(env.boxes().shown().size(), 1);
    QVERIFY(env.boxes().shown()[0].text.contains(env.app().homeAddress));
    QCOMPARE(env.boxes().shown()[0].style, int(MsgExclamation));
    QVERIFY(a.isVisible());
    a.hide();
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
