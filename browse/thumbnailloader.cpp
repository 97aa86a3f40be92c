#include "browse/thumbnailloader.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QThread>
#include <QThreadPool>

#include "browse/gridrecords.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailgrid.h"
#include "platform/fileidentity.h"
#include "platform/paths.h"
#include "platform/picturedecoder.h"
#include "settings/browsersettings.h"
#include "ui/busypointer.h"
#include "ui/filelistbox.h"

namespace orvella {

namespace {

// Lets the window system through (paint, the window manager's ping, accessibility queries) but no
// user input: Qt keeps key and mouse events, and a close request from the window system, queued
// until the event loop runs without this flag, that is until the load has ended.
void answerWindowSystem()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// One picture of a load: what it is, and once done, its thumbnail and where that came from.
struct Job {
    QString path;
    FileIdentity file;
    QImage image;
    ThumbnailSource source = ThumbnailSource::None;
    bool done = false;
};

// The pictures of one load, made on a thread pool in the order they were added and taken back in
// that order. Only a few run ahead of the one taken next, so memory holds the thumbnails and a
// handful of pictures being decoded, however long the list.
class DecodeQueue {
public:
    DecodeQueue(QThreadPool &pool, QSize cover)
        : m_pool(pool)
        , m_cover(cover)
        , m_ahead(2 * std::max(1, pool.maxThreadCount()))
        , m_sync(std::make_shared<Sync>())
    {
    }

    ~DecodeQueue()
    {
        // A load that ended early still lets its decoders finish before their queue goes.
        std::unique_lock lock(m_sync->mutex);
        m_sync->changed.wait(lock, [this] { return m_sync->running == 0; });
    }

    void add(QString path, const FileIdentity &file)
    {
        auto job = std::make_shared<Job>();
        job->path = std::move(path);
        job->file = file;
        m_waiting.push_back(std::move(job));
    }
    void start() { fill(); }

    // The next picture in order. While it is not ready the window system is answered every few
    // milliseconds, so a long decode does not make the window look hung.
    Job takeNext()
    {
        Q_ASSERT(!m_running.empty());
        std::shared_ptr<Job> job = std::move(m_running.front());
        m_running.pop_front();
        std::unique_lock lock(m_sync->mutex);
        while (!job->done) {
            lock.unlock();
            answerWindowSystem();
            lock.lock();
            if (!job->done)
                m_sync->changed.wait_for(lock, std::chrono::milliseconds(20));
        }
        lock.unlock();
        fill();
        return std::move(*job);
    }

private:
    struct Sync {
        std::mutex mutex;
        std::condition_variable changed;
        int running = 0;
    };

    void fill()
    {
        while (qsizetype(m_running.size()) < m_ahead && !m_waiting.empty()) {
            std::shared_ptr<Job> job = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_running.push_back(job);
            {
                std::lock_guard lock(m_sync->mutex);
                ++m_sync->running;
            }
            m_pool.start([job, sync = m_sync, cover = m_cover] {
                ThumbnailSource source = ThumbnailSource::None;
                QImage image = thumbnailOf(job->path, job->file, cover, &source);
                std::lock_guard lock(sync->mutex);
                job->image = std::move(image);
                job->source = source;
                job->done = true;
                --sync->running;
                sync->changed.notify_all();
            });
        }
    }

    QThreadPool &m_pool;
    const QSize m_cover;
    const qsizetype m_ahead;
    std::shared_ptr<Sync> m_sync;
    std::deque<std::shared_ptr<Job>> m_waiting;
    std::deque<std::shared_ptr<Job>> m_running;
};

} // namespace

ThumbnailLoader::ThumbnailLoader(Widgets widgets, PictureSlots &pictures, GridPosition &position, ThumbnailCache &cache,
    const BrowserSettings &settings, ThumbnailGrid &grid, std::function<QSize()> coverSize)
    : m_ui(widgets)
    , m_pictures(pictures)
    , m_position(position)
    , m_cache(cache)
    , m_settings(settings)
    , m_grid(grid)
    , m_coverSize(std::move(coverSize))
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
    m_pictures.PercentDone = value;
    if (m_ui.ProgressBar1.value() == value)
        return;
    m_ui.ProgressBar1.setValue(value);
    // Paint the bar now rather than at the next pause, so it moves with every step.
    if (m_ui.ProgressBar1.isVisible())
        m_ui.ProgressBar1.repaint();
}

OpResult ThumbnailLoader::LoadThumbnails()
{
    // The window system is answered during a load; whatever it reaches must not start another.
    if (m_loading)
        return OpResult::failure(QStringLiteral("The thumbnails are being loaded."));
    m_loading = true;
    const auto loaded = qScopeGuard([this] {
        m_loading = false;
        emit loadEnded();
    });

    PictureSlots &s = m_pictures;
    FileListBox &list = m_ui.File1;
    if (OpResult r = list.setPattern(m_settings.ImageFormat); !r)
        return r;

    const qsizetype count = list.ListCount();
    const QSize cover = m_coverSize();
    if (qsizetype(s.Image3.size()) < std::max<qsizetype>(count, 1))
        s.Image3.resize(size_t(std::max<qsizetype>(count, 1)));
    if (qsizetype(s.SlotPaths.size()) < std::max<qsizetype>(count, 1))
        s.SlotPaths.resize(size_t(std::max<qsizetype>(count, 1)));

    // Every file is looked up by its identity before the first decode starts; what the cache does
    // not hold is decoded on all cores, running ahead while the slots below are filled in order.
    ThumbnailCache &cache = m_cache;
    cache.beginLoad();
    const QString folder = list.Path();
    std::vector<QString> paths(static_cast<size_t>(count));
    std::vector<std::optional<QImage>> known(static_cast<size_t>(count));
    DecodeQueue queue(pool(), cover);
    for (qsizetype i = 0; i < count; ++i) {
        QString &path = paths[size_t(i)];
        path = joinPath(folder, list.List(i));
        const FileIdentity file = pictureFileIdentity(path);
        known[size_t(i)] = cache.find(file, cover);
        if (!known[size_t(i)])
            queue.add(path, file);
    }
    queue.start();

    auto fillSlot = [&](qsizetype i) {
        std::optional<QImage> &image = known[size_t(i)];
        if (image) {
            s.Image3[size_t(i)] = std::move(*image);
        } else {
            Job job = queue.takeNext();
            // Pictures from the desktop's cache were not decoded here.
            if (job.source != ThumbnailSource::Desktop)
                ++s.Decodes;
            cache.insert(job.file, cover, job.image);
            s.Image3[size_t(i)] = std::move(job.image);
        }
        s.SlotPaths[size_t(i)] = std::move(paths[size_t(i)]);
        emit slotFilled(i);
        answerWindowSystem();
    };

    // An empty list gives slot 0 an empty picture.
    if (count == 0) {
        s.Image3[0] = QImage();
        s.SlotPaths[0].clear();
    } else {
        fillSlot(0);
    }

    setHourglass();
    for (qsizetype i = 1; i < count; ++i) {
        fillSlot(i);
        showProgress(percentDone(i, count));
    }
    showProgress(100);
    m_ui.Text4.setText(QStringLiteral("Total Pictures %1").arg(count));
    m_ui.PageDown.setEnabled(true);
    m_ui.scrolldown.setEnabled(true);
    if (count < 37) {
        m_ui.PageDown.setEnabled(false);
        m_ui.scrolldown.setEnabled(false);
    }
    m_grid.ShowThumbnailPage();
    return OpResult::success();
}

QThreadPool &ThumbnailLoader::pool()
{
    if (!m_pool) {
        m_pool = std::make_unique<QThreadPool>();
        // One decoder more than there are cores: a decoder waits now and then (for the file, for
        // the image plug-in's lock), and the user-interface thread no longer decodes itself.
        m_pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()) + 1);
    }
    return *m_pool;
}

void ThumbnailLoader::ButtonLoadThumbs_Click()
{
    // The load re-reads the list, which drops the selection the file operations act on; the marks
    // in the grid go with it, so what is shown selected is what is selected.
    emit selectionToBeCleared();
    m_position.PageStart = 0;
    m_position.NextToShow = 0;
    LoadThumbnails();
}

} // namespace orvella
