// The about box: its texts, the home-page link with a browser that starts or fails, and the main
// window disabled while it is open and enabled again however it closes.
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
    pressToolbar(env.w(), QStringLiteral("About"));
    About &a = env.app().about();
    QCOMPARE((QStringList {a.Label1->text(), a.Label2->text(), a.Command1->text()}),
        (QStringList {"Orvella", "Version 2.01", "OK"}));
    QVERIFY(!a.Label3->text().isEmpty() && env.app().homeAddress.contains(a.Label3->text()));
    // The link opens the home page and the box stays; a press dragged off the link is no click, a
    // double-click is one; a browser that fails is reported.
    QTest::mouseClick(a.Label3, Qt::LeftButton);
    QTest::mousePress(a.Label3, Qt::LeftButton);
    QTest::mouseRelease(a.Label3, Qt::LeftButton, {}, QPoint(-5, -5));
    mouseDoubleClick(a.Label3);
    QCOMPARE(env.browserStarts(), QStringList(2, env.app().homeAddress));
    env.setBrowserWorks(false);
    a.Label3_Click();
    const QList<ScriptedDialogService::Box> &shown = env.boxes().shown();
    QVERIFY(shown.size() == 1 && shown[0].text.contains(env.app().homeAddress) && shown[0].style == MsgExclamation);
    // Closed by the close box, by OK and by each key; each press of the button opens it again.
    const std::function<void()> closes[] {[&] { a.close(); }, [&] { pressKey(a, Qt::Key_Escape); },
        [&] { a.Command1->click(); }, [&] { pressKey(a, Qt::Key_Return); }, [&] { pressKey(a, Qt::Key_Enter); }};
    for (int i = 0; i < 5; ++i) {
        QVERIFY(a.isVisible() && !env.w().isEnabled());
        closes[i]();
        QVERIFY2(!a.isVisible() && env.w().isEnabled(), qPrintable(QStringLiteral("closer %1").arg(i)));
        pressToolbar(env.w(), QStringLiteral("About"));
    }
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
