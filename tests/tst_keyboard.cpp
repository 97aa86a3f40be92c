// The grid from the keyboard: focus and paging, Space and Shift selections against the mouse,
// Return and Escape with the enlarged views, the cells' accessible names.
#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

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
    static inline QList<QObject *> nameChanges;
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
    // What a selection leaves: count, marks, list flags, caption colours and accessible names.
    QStringList selectionState()
    {
        QStringList state {QString::number(w().marks().SelectedCount)};
        for (int i = 0; i < w().File1->ListCount(); ++i)
            state << QStringLiteral("%1 %2").arg(w().marks().selectFlag(i)).arg(w().File1->Selected(i));
        for (int k = 0; k < 36; ++k)
            state << w().Text1[size_t(k)]->backColor().name() + w().Image1[size_t(k)]->accessibleName()
                    + w().Text1[size_t(k)]->accessibleName();
        return state;
    }

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
        // Assistive tools hear of every name change (the offscreen platform has no screen reader).
        QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
            if (event->type() == QAccessible::NameChanged)
                nameChanges << event->object();
        });
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    void cleanup()
    {
        QAccessible::installUpdateHandler(nullptr);
        m_env.reset();
    }

    void movement_data()
    {
        QTest::addColumn<int>("rows"); // rows scrolled down by the row button first
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("first"); // the page's first entry afterwards
        QTest::addColumn<int>("entry"); // the focused entry afterwards
        QTest::newRow("right, onto the next row") << 0 << 4 << ">>" << 0 << 6;
        QTest::newRow("left stops at the first picture, up on the first row") << 0 << 1 << "<<>^" << 0 << 1;
        QTest::newRow("up from the top row scrolls a row") << 1 << 2 << "^" << 0 << 2;
        QTest::newRow("left from the top-left scrolls a row") << 1 << 0 << "<" << 0 << 5;
        QTest::newRow("down from the bottom row scrolls a row") << 0 << 33 << "v" << 6 << 39;
        QTest::newRow("right from the last cell scrolls a row") << 0 << 35 << ">" << 6 << 36;
        QTest::newRow("down onto the shorter last row") << 8 << 27 << "v" << 48 << 79;
        QTest::newRow("nothing past the last picture") << 8 << 31 << ">v" << 48 << 79;
        QTest::newRow("from an empty cell past the end") << 12 << 20 << "<" << 72 << 78;
        QTest::newRow("page down keeps the cell") << 0 << 7 << "]" << 36 << 43;
        QTest::newRow("page down on the last page") << 8 << 2 << "]" << 48 << 79;
        QTest::newRow("page up keeps the cell") << 6 << 7 << "[" << 0 << 7;
        QTest::newRow("page up on the first page") << 0 << 9 << "[" << 0 << 0;
        QTest::newRow("home") << 6 << 9 << "H" << 0 << 0;
        QTest::newRow("end") << 0 << 3 << "E" << 48 << 79;
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
        QCOMPARE(w().position().PageStart, first);
        QCOMPARE(w().position().NextToShow, first + 36);
        QTEST(focusedCell() + first, "entry");
        QCOMPARE(w().Text6->text(), w().File1->List(focusedCell() + first)); // as when the pointer is over it
        // The cells' names follow the page, an empty one past the end.
        QCOMPARE(w().Image1[35]->accessibleName(), w().File1->List(first + 35));
    }

    void tabReachesTheCellLastFocusedWhichShowsAFrame()
    {
        const QImage unfocused = w().Image1[2]->grab().toImage();
        w().File1->setFocus();
        press(QStringLiteral("T"));
        QCOMPARE(focusedCell(), 0);
        press(QStringLiteral(">>"));
        QVERIFY(w().Image1[2]->grab().toImage() != unfocused);
        w().File1->setFocus();
        press(QStringLiteral("T"));
        QCOMPARE(focusedCell(), 2);
        QTest::mouseClick(w().Text1[5], Qt::LeftButton); // a click on a caption too gives the focus
        QCOMPARE(focusedCell(), 5);
    }

    void selectionsAsTheMouseMakesThem_data()
    {
        // Clicks on cells ("t": on the caption, "+": with Shift), "]" the Page Down button, "N" Select None.
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<int>("from"); // the selected entries afterwards
        QTest::addColumn<int>("to");
        QTest::newRow("toggle") << "4 4 5" << 5 << 5;
        QTest::newRow("range forward") << "3 +8" << 3 << 8;
        QTest::newRow("range backward, captions") << "t8 +t3" << 3 << 8;
        QTest::newRow("range from a deselected picture") << "2 2 +6" << 2 << 6;
        QTest::newRow("range over selected pictures") << "3 +8 5 +10" << 3 << 10;
        QTest::newRow("no anchor after Select None") << "3 N +5" << 5 << 5;
        QTest::newRow("range across pages") << "3 ] +2" << 3 << 38;
    }
    void selectionsAsTheMouseMakesThem()
    {
        QFETCH(QString, clicks);
        QFETCH(int, from);
        QFETCH(int, to);
        QStringList states;
        for (bool mouse : {true, false}) {
            pressToolbar(w(), QStringLiteral("SelectNone"));
            QTest::mouseClick(w().PageUp, Qt::LeftButton);
            w().File1->setFocus();
            press(QStringLiteral("TH"));
            nameChanges.clear();
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
            }
            states << selectionState().join(u'\n');
        }
        QCOMPARE(states[1], states[0]);
        const int last = to - int(w().position().PageStart);
        QCOMPARE(w().Image1[size_t(last)]->accessibleName(), w().File1->List(to) + QStringLiteral(", selected"));
        QCOMPARE(w().Text1[size_t(last) + 1]->accessibleName(), w().File1->List(to + 1));
        QVERIFY(nameChanges.contains(w().Image1[size_t(last)]) && nameChanges.contains(w().Text1[size_t(last)]));
        QCOMPARE(w().marks().SelectedCount, to - from + 1);
        for (int i = 0; i < 80; ++i)
            QCOMPARE(w().File1->Selected(i), i >= from && i <= to);
    }

    void returnAndEscape()
    {
        BigPicture &big = m_env->app().bigPicture();
        for (bool small : {true, false}) {
            m_env->app().settings.PictureSize = small;
            w().activateWindow();
            w().Image1[8]->setFocus();
            press(QStringLiteral("R"));
            // Opened as a double-click opens it, without the toggle of its first click.
            QCOMPARE(w().marks().SelectedCount, 0);
            QCOMPARE(pictureNumber(small ? w().Picture2->drawnPicture() : big.Picture1->Picture()), 8);
            QCOMPARE(w().Picture2->isVisible() + 2 * big.isVisible(), small ? 1 : 2);
            small ? press(QStringLiteral("X")) : pressKey(big, Qt::Key_Escape);
            QVERIFY(!w().Picture2->isVisible() && !big.isVisible());
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
