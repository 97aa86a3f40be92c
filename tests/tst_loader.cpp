// The thumbnail fill: the page shown comes first, the window answers the user while the rest
// comes, a thumbnail is never another file's, and memory keeps to its budget.
#include <condition_variable>
#include <memory>
#include <mutex>

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "browse/gridwidgets.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailplan.h"
#include "dialogs/picturebox.h"
#include "platform/filelisting.h"
#include "platform/paths.h"
#include "tests/testsupport.h"
#include "ui/busypointer.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::test;
using namespace Qt::StringLiterals;

namespace {

// Makes thumbnails as the program does, one at a time and only as many as the test lets through,
// recording the order in which the files were asked for. A hook may meddle with a file first.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    QStringList asked;
    int allowed = 0;
    std::function<void(const QString &)> before;
    QString failOnce; // a file whose next read fails, as with a passing error

    ThumbnailMaker maker(std::shared_ptr<Gate> self)
    {
        return [self](const QString &path, QSize cover) {
            {
                std::unique_lock lock(self->mutex);
                self->asked.append(fileNameOf(path));
                self->changed.wait(lock, [&] { return self->allowed > 0; });
                --self->allowed;
            }
            if (self->before)
                self->before(path);
            if (fileNameOf(path) == std::exchange(self->failOnce, {}))
                return Thumbnail {QImage(), ThumbnailSource::Decoded, pictureFileIdentity(path)};
            return makeThumbnail(path, cover);
        };
    }
    void let(int n)
    {
        std::lock_guard lock(mutex);
        allowed += n;
        changed.notify_all();
    }
    QStringList order()
    {
        std::lock_guard lock(mutex);
        return asked;
    }
};

std::shared_ptr<Gate> gateOn(MainWindow &w, int allowed = 0)
{
    auto gate = std::make_shared<Gate>();
    gate->allowed = allowed;
    w.loader().setMakerForTesting(gate->maker(gate), 1);
    return gate;
}

qsizetype made(const MainWindow &w)
{
    return std::count(w.pictures().States.begin(), w.pictures().States.end(), SlotState::Made);
}

QStringList names(const QString &prefix, int from, int to) // from to to, both included, either way
{
    QStringList out;
    for (int i = from; from <= to ? i <= to : i >= to; from <= to ? ++i : --i)
        out.append(prefix + u"%1.jpg"_s.arg(i, 3, 10, QLatin1Char('0')));
    return out;
}

// The picture number the cell of list entry i shows.
int shownNumber(MainWindow &w, qsizetype i)
{
    return pictureNumber(w.Image1[size_t(i - w.grid().firstShown())]->picture());
}

} // namespace

class TestLoader : public QObject {
    Q_OBJECT
private slots:
    void planOrder();
    void pageComesFirstAndPagingPlansAnew();
    void windowWorksDuringAFill();
    void neverTheWrongPicture();
    void budgetKeepsThePage();
};

void TestLoader::planOrder()
{
    auto slice = [](const std::vector<qsizetype> &v, int from, int n) {
        return std::vector<qsizetype>(v.begin() + from, v.begin() + from + n);
    };
    auto run = [](qsizetype from, qsizetype to) { // from to to, both included, either way
        std::vector<qsizetype> out;
        for (qsizetype i = from; from <= to ? i <= to : i >= to; from <= to ? ++i : --i)
            out.push_back(i);
        return out;
    };
    // Going on: the page, the next page, the one before (nearest first), then outward.
    const std::vector<qsizetype> on = fillOrder(200, 72, 1, 1000);
    QCOMPARE(on.size(), size_t(200));
    QCOMPARE(slice(on, 0, 36), run(72, 107));
    QCOMPARE(slice(on, 36, 36), run(108, 143));
    QCOMPARE(slice(on, 72, 36), run(71, 36));
    QCOMPARE(slice(on, 108, 36), run(144, 179));
    QCOMPARE(slice(on, 144, 36), run(35, 0));
    QCOMPARE(slice(on, 180, 20), run(180, 199));
    // Going back: the page before first; the budget cuts the far end.
    const std::vector<qsizetype> back = fillOrder(200, 72, -1, 80);
    QCOMPARE(back.size(), size_t(80));
    QCOMPARE(slice(back, 36, 36), run(71, 36));
    QCOMPARE(slice(back, 72, 8), run(108, 115));
    std::vector<qsizetype> last = run(36, 39), before = run(35, 0);
    last.insert(last.end(), before.begin(), before.end());
    QCOMPARE(fillOrder(40, 36, 1, 100), last);
    // Three pages at least, whatever the budget, and three pages stay with the page.
    QCOMPARE(thumbnailCapacity(0, 65, 57), qsizetype(108));
    QCOMPARE(thumbnailCapacity(65 * 57 * 4 * 1000LL, 65, 57), qsizetype(1000));
    for (const auto [page, from] : {std::pair {72, 36}, {0, 0}, {36, 0}, {264, 192}}) {
        QVERIFY(!keptWithPage(from - 1, page, 300) && keptWithPage(from, page, 300));
        QVERIFY(keptWithPage(from + 107, page, 300) && !keptWithPage(from + 108, page, 300));
    }
}

void TestLoader::pageComesFirstAndPagingPlansAnew()
{
    TestEnv env;
    const QString dir = env.makeFolder(u"many"_s);
    writePictures(dir, 150);
    QVERIFY(env.start());
    MainWindow &w = env.w();
    const qint64 decodes = w.pictures().Decodes;
    const auto gate = gateOn(w, 5);
    QVERIFY(w.Dir1->setPath(dir));
    // The names, the count and the paging buttons at once; the page's first pictures first.
    QTRY_COMPARE(made(w), 5);
    QCOMPARE(gate->order().mid(0, 5), names(u"pic"_s, 0, 4));
    QCOMPARE(w.Text4->text(), u"Total Pictures 150"_s);
    QVERIFY(w.PageDown->isEnabled() && w.scrolldown->isEnabled());
    QCOMPARE(w.Text1[35]->text(), u"pic035.jpg"_s);
    QVERIFY(w.Image1[4]->hasPicture() && !w.Image1[4]->isComing() && w.Image1[10]->isComing());
    QVERIFY(isHourglass() && w.loading());
    // A cell still to come acts as one with its picture: a click selects, Return shows it enlarged.
    QTest::mouseClick(w.Image1[10], Qt::LeftButton);
    QVERIFY(w.File1->Selected(10) && w.Text1[10]->showsSelected());
    QTest::keyClick(w.Image1[11], Qt::Key_Return);
    QVERIFY(w.Picture2->isVisible() && w.picHidden->hasPicture());
    QTest::keyClick(w.Image1[11], Qt::Key_Escape);
    // Paging plans anew: the new page first, in cell order, then the one after it, then back.
    QTest::mouseClick(w.PageDown, Qt::LeftButton);
    gate->let(1000);
    waitForThumbnails(w);
    const QStringList order = gate->order();
    const qsizetype paged = order.indexOf(u"pic036.jpg"_s);
    QVERIFY2(paged >= 5 && paged <= 6, qPrintable(order.join(u' ')));
    QCOMPARE(order.mid(paged, 72), names(u"pic"_s, 36, 107));
    QCOMPARE(order.mid(paged + 72, 36 - paged), names(u"pic"_s, 35, paged));
    QCOMPARE(order.mid(108), names(u"pic"_s, 108, 149));
    // Once done, all is as a whole load leaves it; the selection stays.
    QCOMPARE(made(w), 150);
    QCOMPARE(w.pictures().Decodes - decodes, 150);
    QCOMPARE(w.ProgressBar1->value(), 100);
    QVERIFY(!isHourglass() && w.File1->Selected(10) && w.marks().SelectedCount == 1);
    QCOMPARE(shownNumber(w, 40), 40);
}

void TestLoader::windowWorksDuringAFill()
{
    TestEnv env;
    const QString dir = env.makeFolder(u"fill"_s);
    writePictures(dir, 60);
    // Files that never answer a read: a pipe named as a picture, and a link to it.
    QVERIFY(makeFifo(dir + u"/pipe.jpg"_s));
    QVERIFY(QFile::link(dir + u"/pipe.jpg"_s, dir + u"/link.jpg"_s));
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    // The pipe itself is not listed; the link is, and its cell stays empty. Neither is a folder.
    QCOMPARE(listSubfolders(dir).names, QStringList());
    QCOMPARE(w.File1->List(0), u"link.jpg"_s);
    QCOMPARE(w.File1->ListCount(), 61);
    QCOMPARE(w.pictures().States[0], SlotState::Unreadable);
    // A rename while the thumbnails are held up: it runs at once and starts a new fill.
    const auto gate = gateOn(w);
    w.loader().ButtonLoadThumbs_Click();
    QVERIFY(w.loading());
    w.selection().Text1_Click(2);
    w.Check1->setChecked(true);
    w.Text2->setText(u"x"_s);
    w.panel().Command3_Click();
    QVERIFY(QFile::exists(dir + u"/x.jpg"_s) && !QFile::exists(dir + u"/pic001.jpg"_s));
    QVERIFY(w.loading() && w.File1->ListCount() == 61);
    // With manual loading a folder change makes nothing more for the old list: no busy pointer.
    QVERIFY(isHourglass() && w.Image1[5]->isComing());
    env.app().settings.AutoThumbnails = false;
    QVERIFY(w.Dir1->setPath(env.makeFolder(u"other"_s)));
    QVERIFY(!w.loading() && !isHourglass() && !w.Image1[5]->isComing());
    // A close does not wait for a picture that never comes.
    w.close();
    QVERIFY(!w.isVisible());
    gate->let(1000);
}

void TestLoader::neverTheWrongPicture()
{
    TestEnv env;
    const QString dir = env.makeFolder(u"swap"_s);
    writePictures(dir, 4); // pic000 to pic003 show 0 to 3
    QVERIFY(env.start());
    MainWindow &w = env.w();
    // Another program swaps two files just as the first is read: each shows its own picture.
    const auto gate = gateOn(w, 1000);
    bool swapped = false;
    gate->before = [&](const QString &path) {
        if (std::exchange(swapped, true))
            return;
        QFile::rename(path, dir + u"/tmp"_s);
        QFile::rename(dir + u"/pic001.jpg"_s, path);
        QFile::rename(dir + u"/tmp"_s, dir + u"/pic001.jpg"_s);
    };
    env.openFolder(dir);
    QCOMPARE(shownNumber(w, 0), 1);
    QCOMPARE(shownNumber(w, 1), 0);
    // A picture rewritten in place within the same second, at the same size, shows anew.
    const QString bmp = dir + u"/pic002.jpg"_s;
    auto rewrite = [&](int n, int ms) {
        writePicture(bmp, n, QSize(64, 48), "BMP");
        QFile file(bmp);
        QVERIFY(file.open(QIODevice::ReadWrite)
            && file.setFileTime(QDateTime::fromMSecsSinceEpoch(1'700'000'000'000LL + ms), QFile::FileModificationTime));
    };
    rewrite(7, 100);
    w.loader().ButtonLoadThumbs_Click();
    waitForThumbnails(w);
    QCOMPARE(shownNumber(w, 2), 7);
    // Rewritten once more, and read once with a passing error: it is tried again at the next load.
    rewrite(8, 200);
    gate->failOnce = u"pic002.jpg"_s;
    w.loader().ButtonLoadThumbs_Click();
    waitForThumbnails(w);
    QVERIFY(!w.Image1[2]->hasPicture());
    w.loader().ButtonLoadThumbs_Click();
    waitForThumbnails(w);
    QCOMPARE(shownNumber(w, 2), 8);
}

void TestLoader::budgetKeepsThePage()
{
    TestEnv env;
    const QString dir = env.makeFolder(u"big"_s), small = env.makeFolder(u"small"_s);
    writePictures(dir, 300);
    writePictures(small, 3);
    env.app().thumbnails.setBudget(1 << 20); // fewer than three pages' worth
    QVERIFY(env.start());
    MainWindow &w = env.w();
    env.openFolder(dir);
    // Three pages are made whatever the budget: the page and the two after it.
    QCOMPARE(made(w), 108);
    QVERIFY(w.pictures().States[107] == SlotState::Made && w.pictures().States[108] == SlotState::Coming);
    const qint64 threePages = env.app().thumbnails.heldBytes();
    // At the end of the list, the first pages' thumbnails go, farthest first; the page stays.
    w.Image1[0]->setFocus();
    QCOMPARE(w.grid().moveFocus(0, Qt::Key_End), 35);
    waitForThumbnails(w);
    QCOMPARE(w.position().PageStart, 264);
    for (qsizetype i = 228; i < 300; ++i)
        QVERIFY2(w.pictures().States[size_t(i)] == SlotState::Made, qPrintable(QString::number(i)));
    QVERIFY(w.pictures().States[0] == SlotState::Coming && w.pictures().Image3[0].isNull());
    QCOMPARE(shownNumber(w, 299), 299 % 216); // the numbers go round at 216
    QCOMPARE(made(w), 108);
    QCOMPARE(env.app().thumbnails.heldBytes(), threePages);
    // The records follow a smaller list down.
    env.openFolder(small);
    QCOMPARE(w.pictures().Image3.size(), size_t(3));
    QCOMPARE(w.pictures().SlotPaths.size(), size_t(3));
}

QTEST_MAIN(TestLoader)
#include "tst_loader.moc"
