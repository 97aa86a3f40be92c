// The grid from the keyboard: focus and paging, Space and Shift selections against the mouse,
// Return and Escape with the enlarged views, no other key under the view, the cells' accessible
// names.
#include <algorithm>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "browse/gridwidgets.h"
#include "dialogs/bigpicture.h"
#include "dialogs/picturebox.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"

using namespace orvella;
using namespace orvella::test;

class TestKeyboard : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;
    // Presses keys on the focused widget: < > ^ v arrows, [ ] Page Up and Down, H E Home and End,
    // R Return, X Escape, T Tab, S Space, s Shift+Space.
    static void press(const QString &keys)
    {
        static const Qt::Key key[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
            Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Space};
        for (QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(),
                key[QStringLiteral("<>^v[]HERXTS").indexOf(c == u's' ? u'S' : c)],
                c == u's' ? Qt::ShiftModifier : Qt::NoModifier);
    }
    MainWindow &w() { return m_env->w(); }
    int focusedCell() { return int(std::ranges::find(w().Image1, QApplication::focusWidget()) - w().Image1.begin()); }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        const QString dir = m_env->makeFolder(QStringLiteral("eighty"));
        writePictures(dir, 80); // 13 full rows and 2 pictures
        QVERIFY(m_env->start());
        m_env->openFolder(dir);
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
    }
    void cleanup() { m_env.reset(); }

    void movement_data()
    {
        QTest::addColumn<int>("rows"); // rows scrolled down by the row button first
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("first"); // the page's first entry afterwards
        QTest::addColumn<int>("entry"); // the focused entry afterwards
        QTest::newRow("right, onto the next row") << 0 << 4 << ">>" << 0 << 6;
        QTest::newRow("left stops at the first picture, up on the first row") << 0 << 1 << "<<>^" << 0 << 1;
        QTest::newRow("up, then left from the top-left, scroll a row each") << 2 << 2 << "^<<<" << 0 << 5;
        QTest::newRow("down, then right from the last cell, scroll a row each") << 0 << 33 << "v>>>" << 12 << 42;
        QTest::newRow("down onto the shorter last row, nothing past it") << 8 << 27 << "v>v" << 48 << 79;
        QTest::newRow("from an empty cell past the end") << 12 << 20 << "<" << 72 << 78;
        QTest::newRow("page down and up keep the cell") << 0 << 7 << "][" << 0 << 7;
        QTest::newRow("home, then page up on the first page") << 6 << 9 << "H>[" << 0 << 0;
        QTest::newRow("end, then page down on the last page") << 0 << 3 << "E<]" << 48 << 79;
    }
    void movement()
    {
        QFETCH(int, rows);
        QFETCH(int, cell);
        QFETCH(int, first);
        for (int r = 0; r < rows; ++r)
            QTest::mouseClick(w().scrolldown, Qt::LeftButton);
        w().Image1[size_t(cell)]->setFocus();
        QFETCH(QString, keys);
        press(keys);
        QTEST(focusedCell() + first, "entry");
        QCOMPARE(w().Text6->text(), w().File1->List(focusedCell() + first)); // as when the pointer is over it
        // The cells' names follow the page, an empty one past the end: the page starts at first.
        QCOMPARE(w().Image1[35]->accessibleName(), w().File1->List(first + 35));
    }

    void selectionsAsTheMouseMakesThem_data()
    {
        // Clicks on cells ("t": on the caption, "+": with Shift), "]" the Page Down button, "N" Select None.
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<int>("from"); // the selected entries afterwards
        QTest::addColumn<int>("to");
        QTest::newRow("range forward") << "3 +8" << 3 << 8;
        QTest::newRow("range backward, captions") << "t8 +t3" << 3 << 8;
        QTest::newRow("range from a deselected picture") << "2 2 +6" << 2 << 6;
        QTest::newRow("range over selected pictures") << "3 +8 5 +10" << 3 << 10;
        QTest::newRow("toggle, no anchor after Select None") << "4 4 3 N +5" << 5 << 5;
        QTest::newRow("range across pages") << "3 ] +2" << 3 << 38;
    }
    void selectionsAsTheMouseMakesThem()
    {
        QFETCH(QString, clicks);
        QFETCH(int, from);
        QFETCH(int, to);
        for (bool mouse : {true, false}) {
            pressToolbar(w(), QStringLiteral("SelectNone"));
            QTest::mouseClick(w().PageUp, Qt::LeftButton);
            w().Image1[0]->setFocus();
            for (QString step : clicks.split(u' ')) {
                const bool shift = step.startsWith(u'+'), caption = step.contains(u't');
                const int k = step.remove(u'+').remove(u't').toInt(), c = focusedCell();
                if (step == u'N')
                    pressToolbar(w(), QStringLiteral("SelectNone"));
                else if (step == u']')
                    mouse ? QTest::mouseClick(w().PageDown, Qt::LeftButton) : press(step);
                else if (mouse)
                    QTest::mouseClick(caption ? static_cast<QWidget *>(w().Text1[size_t(k)]) : w().Image1[size_t(k)],
                        Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier);
                else
                    press(QString(std::abs(k - c), k > c ? u'>' : u'<') + (shift ? u's' : u'S'));
                if (caption) // a click on a caption too gives the focus
                    QCOMPARE(focusedCell(), k);
            }
            // The same files, count and names, by mouse and by keyboard.
            const int last = to - int(w().position().PageStart);
            QCOMPARE(w().Image1[size_t(last)]->accessibleName(), w().File1->List(to) + QStringLiteral(", selected"));
            QCOMPARE(w().marks().SelectedCount, to - from + 1);
            for (int i = 0; i < 80; ++i)
                QCOMPARE(w().File1->Selected(i), i >= from && i <= to);
        }
    }

    void tabReturnAndEscape()
    {
        // Tab reaches the cell last focused, which shows a frame.
        const QImage unfocused = w().Image1[2]->grab().toImage();
        w().Image1[2]->setFocus();
        QVERIFY(w().Image1[2]->grab().toImage() != unfocused);
        w().File1->setFocus();
        press(QStringLiteral("T"));
        QCOMPARE(focusedCell(), 2);
        // Return opens the picture as a double-click does, Escape closes it.
        BigPicture &big = m_env->app().bigPicture();
        for (bool small : {true, false}) {
            m_env->app().settings.PictureSize = small;
            press(QStringLiteral("R")); // on the cell Tab reached
            // Opened as a double-click opens it, without the toggle of its first click.
            QCOMPARE(w().marks().SelectedCount, 0);
            QCOMPARE(pictureNumber(small ? w().Picture2->drawnPicture() : big.Picture1->Picture()), 2);
            QCOMPARE(w().Picture2->isVisible() + 2 * big.isVisible(), small ? 1 : 2);
            small ? press(QStringLiteral("X")) : pressKey(big, Qt::Key_Escape);
            QVERIFY(!w().Picture2->isVisible() && !big.isVisible());
        }
    }

    void keysUnderTheEnlargedView()
    {
        // While the view covers the grid, no key moves the hidden page or selects a hidden picture;
        // Escape and Return close it (Return held down does not open it again).
        m_env->app().settings.PictureSize = true;
        QTest::mouseClick(w().scrolldown, Qt::LeftButton);
        w().Image1[7]->setFocus();
        for (const QString &close : {QStringLiteral("X"), QStringLiteral("R")}) {
            press(QStringLiteral("R<>^v[]HESs"));
            QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(w().Image1[7], &held);
            QVERIFY(w().Picture2->isVisible() && focusedCell() == 7);
            QVERIFY(int(w().position().PageStart) == 6 && w().marks().SelectedCount == 0);
            press(close);
            QVERIFY(!w().Picture2->isVisible());
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
