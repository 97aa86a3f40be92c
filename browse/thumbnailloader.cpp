#include "browse/thumbnailloader.h"

#include "app/mainwindow.h"
#include "platform/busypointer.h"
#include "platform/filelistbox.h"
#include "platform/paths.h"
#include "platform/picturedecoder.h"
#include "selection/browsersettings.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <cmath>
#include <deque>
#include <utility>
#include <vector>

namespace orvella {

namespace {

// The pictures of one load, decoded on a thread pool in the order they were added and taken back
// in that order. Only a few run ahead of the one taken next, so memory holds the thumbnails and a
// handful of pictures being decoded, however long the list.
class DecodeQueue {
public:
    DecodeQueue(QThreadPool &pool, QSize cover)
        : m_pool(pool)
        , m_cover(cover)
        , m_ahead(2 * std::max(1, pool.maxThreadCount()))
    {
    }

    void add(const QString &path) { m_paths.push_back(path); }
    void start() { fill(); }

    // The next picture in order, waiting for it if need be. Waiting does not run the event loop:
    // nothing the user does is handled while a load runs.
    QImage takeNext()
    {
        Q_ASSERT(!m_running.empty());
        QImage image = m_running.front().result();
        m_running.pop_front();
        fill();
        return image;
    }

private:
    void fill()
    {
        while (qsizetype(m_running.size()) < m_ahead && m_next < m_paths.size()) {
            const QSize cover = m_cover;
            QString path = std::exchange(m_paths[size_t(m_next++)], QString());
            m_running.push_back(
                QtConcurrent::run(&m_pool, [path = std::move(path), cover] { return decodeThumbnail(path, cover); }));
        }
    }

    QThreadPool &m_pool;
    const QSize m_cover;
    const qsizetype m_ahead;
    std::vector<QString> m_paths;
    size_t m_next = 0;
    std::deque<QFuture<QImage>> m_running;
};

} // namespace

ThumbnailLoader::ThumbnailLoader(MainWindow &w)
    : m_w(w)
{
}

ThumbnailLoader::~ThumbnailLoader() = default;

int ThumbnailLoader::percentDone(qsizetype i, qsizetype count)
{
    if (count <= 0)
        return 0;
    // Whole numbers only: in floating point i / count x 100 can land just beside a half (23 of 40
    // gives 57.49999...). Halves go to the even neighbour (12.5 gives 12, 37.5 gives 38).
    const qint64 scaled = qint64(i) * 100;
    const qint64 whole = scaled / count;
    const qint64 twiceRest = 2 * (scaled % count);
    const bool up = twiceRest > count || (twiceRest == count && whole % 2 != 0);
    return int(whole + (up ? 1 : 0));
}

void ThumbnailLoader::showProgress(int value)
{
    MainState &s = m_w.state;
    s.PercentDone = value;
    if (m_w.ProgressBar1->value() == value)
        return;
    m_w.ProgressBar1->setValue(value);
    // The load holds the event loop; paint the bar now so the user sees it move.
    if (m_w.ProgressBar1->isVisible())
        m_w.ProgressBar1->repaint();
}

OpResult ThumbnailLoader::LoadThumbnails()
{
    MainState &s = m_w.state;
    FileListBox &list = *m_w.File1;
    if (OpResult r = list.setPattern(m_w.settings().ImageFormat); !r)
        return r;

    const qsizetype count = list.ListCount();
    const QSize cover = m_w.thumbnailCoverSize();
    if (qsizetype(s.Image3.size()) < std::max<qsizetype>(count, 1))
        s.Image3.resize(size_t(std::max<qsizetype>(count, 1)));
    if (qsizetype(s.SlotPaths.size()) < count)
        s.SlotPaths.resize(size_t(count));

    // Which slots need a decode is known before the first one starts, so the decodes run ahead on
    // all cores while the slots below are filled and the bar moves in list order.
    const QString folder = list.Path();
    std::vector<QString> paths(static_cast<size_t>(count));
    std::vector<bool> decode(static_cast<size_t>(count));
    DecodeQueue queue(pool(), cover);
    for (qsizetype i = 0; i < count; ++i) {
        paths[size_t(i)] = joinPath(folder, list.List(i));
        // Slot 0 is decoded on every load; another slot only when it holds another file.
        decode[size_t(i)] = i == 0 || paths[size_t(i)] != s.SlotPaths[size_t(i)];
        if (decode[size_t(i)])
            queue.add(paths[size_t(i)]);
    }
    queue.start();

    // An empty list gives slot 0 an empty picture.
    if (count == 0) {
        s.Image3[0] = QImage();
        if (!s.SlotPaths.empty())
            s.SlotPaths[0].clear();
    } else {
        s.Image3[0] = queue.takeNext();
        s.SlotPaths[0] = paths[0];
        ++s.Decodes;
    }

    setHourglass();
    for (qsizetype i = 1; i < count; ++i) {
        if (decode[size_t(i)]) {
            s.Image3[size_t(i)] = queue.takeNext();
            ++s.Decodes;
        }
        s.SlotPaths[size_t(i)] = std::move(paths[size_t(i)]);
        showProgress(percentDone(i, count));
    }
    showProgress(100);
    m_w.Text4->setText(QStringLiteral("Total Pictures %1").arg(count));
    m_w.PageDown->setEnabled(true);
    m_w.scrolldown->setEnabled(true);
    if (count < 37) {
        m_w.PageDown->setEnabled(false);
        m_w.scrolldown->setEnabled(false);
    }
    m_w.ShowThumbnailPage();
    return OpResult::success();
}

QThreadPool &ThumbnailLoader::pool()
{
    if (!m_pool) {
        m_pool = std::make_unique<QThreadPool>();
        m_pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    }
    return *m_pool;
}

void ThumbnailLoader::ButtonLoadThumbs_Click()
{
    // The load re-reads the list, which drops the selection the file operations act on; the marks
    // in the grid go with it, so what is shown selected is what is selected.
    m_w.ClearSelection();
    m_w.state.PageStart = 0;
    m_w.state.NextToShow = 0;
    m_w.LoadThumbnails();
}

} // namespace orvella
