#include "browse/thumbnailworkers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <QMetaObject>
#include <QObject>

#include "browse/thumbnailcache.h"

namespace orvella {

namespace {
std::atomic<int> readsRunning {0};

// A thumbnail of a file that changes while it is read is tried again, a few times.
constexpr int Attempts = 3;
} // namespace

bool thumbnailReadsRunning()
{
    return readsRunning.load() > 0;
}

struct ThumbnailWorkers::State {
    std::mutex mutex;
    std::condition_variable changed;
    ThumbnailCache *cache = nullptr; // null once the owner has gone
    QObject *receiver = nullptr;
    std::function<void()> made;
    ThumbnailMaker maker;
    quint64 load = 0;
    QSize cover;
    std::deque<ThumbnailJob> queue;
    std::vector<MadeThumbnail> done;
    int running = 0;
    bool wakePosted = false;
    bool stopping = false;
};

namespace {

// The picture the name stands for, made once it has held still while read.
MadeThumbnail make(ThumbnailCache &cache, const ThumbnailMaker &maker, const ThumbnailJob &job, QSize cover)
{
    MadeThumbnail out;
    out.slot = job.slot;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const FileIdentity named = pictureFileIdentity(job.path);
        if (!named.valid)
            return out;
        if (std::optional<QImage> known = cache.find(named, cover)) {
            out.image = std::move(*known);
            out.file = named;
            return out;
        }
        Thumbnail made = maker(job.path, cover);
        // The file read must be the one the name stands for, before and after the read.
        if (made.file.valid && made.file == named && pictureFileIdentity(job.path) == named) {
            out.decoded = made.source != ThumbnailSource::Desktop;
            out.fromDesktop = made.source == ThumbnailSource::Desktop;
            out.file = named;
            out.image = std::move(made.image);
            cache.insert(named, cover, out.image);
            return out;
        }
        if (!made.file.valid)
            return out;
    }
    return out;
}

void work(std::shared_ptr<ThumbnailWorkers::State> s)
{
    std::unique_lock lock(s->mutex);
    for (;;) {
        s->changed.wait(lock, [&] { return s->stopping || !s->queue.empty(); });
        if (s->stopping)
            return;
        const ThumbnailJob job = std::move(s->queue.front());
        s->queue.pop_front();
        const quint64 load = s->load;
        const QSize cover = s->cover;
        ThumbnailCache &cache = *s->cache;
        const ThumbnailMaker maker = s->maker;
        ++s->running;
        lock.unlock();
        ++readsRunning;
        MadeThumbnail made = make(cache, maker, job, cover);
        --readsRunning;
        made.load = load;
        lock.lock();
        --s->running;
        s->changed.notify_all();
        if (s->stopping)
            return;
        s->done.push_back(std::move(made));
        if (!s->wakePosted && s->receiver) {
            s->wakePosted = true;
            QMetaObject::invokeMethod(s->receiver, s->made, Qt::QueuedConnection);
        }
    }
}

} // namespace

ThumbnailWorkers::ThumbnailWorkers(
    ThumbnailCache &cache, QObject &receiver, std::function<void()> made, ThumbnailMaker maker, int threads)
    : m_state(std::make_shared<State>())
{
    m_state->cache = &cache;
    m_state->receiver = &receiver;
    m_state->made = std::move(made);
    m_state->maker = std::move(maker);
    // Detached: a thread held by a file that never answers must not hold up a close.
    for (int i = 0; i < std::max(1, threads); ++i)
        std::thread(work, m_state).detach();
}

ThumbnailWorkers::~ThumbnailWorkers()
{
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    m_state->receiver = nullptr;
    m_state->queue.clear();
    m_state->changed.notify_all();
    m_state->changed.wait_for(lock, std::chrono::seconds(1), [this] { return m_state->running == 0; });
}

void ThumbnailWorkers::plan(quint64 load, QSize cover, std::vector<ThumbnailJob> jobs)
{
    std::lock_guard lock(m_state->mutex);
    m_state->load = load;
    m_state->cover = cover;
    m_state->queue.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    m_state->changed.notify_all();
}

void ThumbnailWorkers::stop()
{
    std::lock_guard lock(m_state->mutex);
    m_state->queue.clear();
}

std::vector<MadeThumbnail> ThumbnailWorkers::takeMade()
{
    std::lock_guard lock(m_state->mutex);
    m_state->wakePosted = false;
    return std::exchange(m_state->done, {});
}

bool ThumbnailWorkers::busy() const
{
    std::lock_guard lock(m_state->mutex);
    return !m_state->queue.empty() || m_state->running > 0 || !m_state->done.empty();
}

} // namespace orvella
