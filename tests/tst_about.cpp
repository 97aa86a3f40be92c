// The about box: its content, the main window disabled while it is open and enabled again however
// it closes, and the home-page link with a browser that starts or fails.
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include "dialogs/about.h"
#include "tests/testsupport.h"
#include "ui/twips.h"

using namespace orvella;
using namespace orvella::test;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsNameVersionLogoAndLink();
    void okEnablesTheMainWindow();
    void closeBoxEnablesTheMainWindow();
    void keysClose_data();
    void keysClose();
    void linkOpensTheHomePageAndStaysOpen();
    void failingBrowserIsReported();

private:
    std::unique_ptr<TestEnv> m_env;
    MainWindow &w() { return m_env->w(); }
    About &openAbout()
    {
        pressToolbar(w(), QStringLiteral("About"));
        return m_env->app().about();
    }
};

void TestAbout::init()
{
    m_env = std::make_unique<TestEnv>();
    QVERIFY(m_env->start());
}

void TestAbout::cleanup()
{
    m_env->app().about().hide();
    m_env.reset();
}

void TestAbout::showsNameVersionLogoAndLink()
{
    About &a = openAbout();
    QVERIFY(a.isVisible());
    QVERIFY(!w().isEnabled());
    QCOMPARE(a.windowTitle(), QStringLiteral("About"));
    QCOMPARE(a.size(), QSize(twips(4020), twips(4320)));
    QCOMPARE(a.Label1->text(), QStringLiteral("Orvella"));
    QVERIFY(a.Label1->font().bold());
    QCOMPARE(a.Label1->font().pointSizeF(), 24.0);
    QCOMPARE(a.Label2->text(), QStringLiteral("Version 2.01"));
    QCOMPARE(a.Label2->font().pointSizeF(), 13.5);
    QCOMPARE(a.Image1->pixmap().size(), QSize(98, 91));
    QCOMPARE(a.Image1->geometry(), twipsRect(1200, 1320, 1470, 1365));
    // The link: the home address, blue, bold and underlined, with a hand pointer.
    QVERIFY(m_env->app().homeAddress.contains(a.Label3->text()));
    QVERIFY(!a.Label3->text().isEmpty());
    QCOMPARE(a.Label3->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0xFF));
    QVERIFY(a.Label3->font().underline());
    QVERIFY(a.Label3->font().bold());
    QCOMPARE(a.Label3->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(a.rect().contains(a.Label3->geometry()));
    QCOMPARE(a.Command1->text(), QStringLiteral("OK"));
    QCOMPARE(a.Command1->geometry(), twipsRect(1680, 3480, 615, 375));
    QVERIFY(!a.Label4->text().isEmpty());
}

void TestAbout::okEnablesTheMainWindow()
{
    About &a = openAbout();
    QTest::mouseClick(a.Command1, Qt::LeftButton);
    QVERIFY(!a.isVisible());
    QVERIFY(w().isEnabled());
    // The window is kept and shown again by the next press.
    QCOMPARE(&openAbout(), &a);
    QVERIFY(a.isVisible());
    QVERIFY(!w().isEnabled());
}

void TestAbout::closeBoxEnablesTheMainWindow()
{
    About &a = openAbout();
    QVERIFY(a.close());
    QVERIFY(!a.isVisible());
    QVERIFY(w().isEnabled());
    QVERIFY(m_env->boxes().shown().isEmpty());
}

void TestAbout::keysClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestAbout::keysClose()
{
    QFETCH(int, key);
    About &a = openAbout();
    pressKey(a, Qt::Key(key));
    QVERIFY(!a.isVisible());
    QVERIFY(w().isEnabled());
}

void TestAbout::linkOpensTheHomePageAndStaysOpen()
{
    About &a = openAbout();
    QTest::mouseClick(a.Label3, Qt::LeftButton);
    QCOMPARE(m_env->browserStarts(), QStringList {m_env->app().homeAddress});
    QVERIFY(a.isVisible());
    QVERIFY(!w().isEnabled());
    QVERIFY(m_env->boxes().shown().isEmpty());
    // A press that ends outside the link is no click.
    QTest::mousePress(a.Label3, Qt::LeftButton);
    QTest::mouseRelease(a.Label3, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(m_env->browserStarts().size(), 1);
    // A double-click is one click.
    mouseDoubleClick(a.Label3);
    QCOMPARE(m_env->browserStarts().size(), 2);
}

void TestAbout::failingBrowserIsReported()
{
    m_env->setBrowserWorks(false);
    About &a = openAbout();
    a.Label3_Click();
    QCOMPARE(m_env->boxes().shown().size(), 1);
    QVERIFY(m_env->boxes().shown()[0].text.contains(m_env->app().homeAddress));
    QCOMPARE(m_env->boxes().shown()[0].style, int(MsgExclamation));
    // The program goes on: the box is still open and closes as usual.
    QVERIFY(a.isVisible());
    a.Command1_Click();
    QVERIFY(w().isEnabled());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
