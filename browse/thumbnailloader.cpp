#include "browse/thumbnailloader.h"

#include <algorithm>

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include "browse/gridrecords.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailgrid.h"
#include "browse/thumbnailplan.h"
#include "platform/paths.h"
#include "settings/browsersettings.h"
#include "ui/filelistbox.h"

namespace orvella {

ThumbnailLoader::ThumbnailLoader(Widgets widgets, PictureSlots &pictures, GridPosition &position, ThumbnailCache &cache,
    const BrowserSettings &settings, ThumbnailGrid &grid, std::function<QSize()> coverSize)
    : m_ui(widgets)
    , m_pictures(pictures)
    , m_position(position)
    , m_cache(cache)
    , m_settings(settings)
    , m_grid(grid)
    , m_coverSize(std::move(coverSize))
    , m_maker(makeThumbnail)
    // One thread more than there are cores: a thread waits now and then (for the file, for the
    // image plug-in's lock).
    , m_threads(std::max(1, QThread::idealThreadCount()) + 1)
{
    m_grid.setPageShownListener([this](qsizetype pageStart) { pageShown(pageStart); });
}

ThumbnailLoader::~ThumbnailLoader()
{
    m_grid.setPageShownListener(nullptr);
}

void ThumbnailLoader::setMakerForTesting(ThumbnailMaker maker, int threads)
{
    m_workers.reset();
    m_maker = std::move(maker);
    m_threads = threads;
}

ThumbnailWorkers &ThumbnailLoader::workers()
{
    if (!m_workers)
        m_workers = std::make_unique<ThumbnailWorkers>(
            m_cache, *this, [this] { place(); }, m_maker, m_threads);
    return *m_workers;
}

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
    m_ui.ProgressBar1.setValue(value);
}

OpResult ThumbnailLoader::LoadThumbnails()
{
    if (OpResult r = m_ui.File1.setPattern(m_settings.ImageFormat); !r)
        return r;
    return loadListedThumbnails();
}

OpResult ThumbnailLoader::loadListedThumbnails()
{
    // A list read with another pattern is read again with the picture formats.
    FileListBox &list = m_ui.File1;
    if (list.Pattern() != m_settings.ImageFormat)
        return LoadThumbnails();
    // List: the names, the count and the paging buttons at once. A fill that runs gives way to
    // this one, which ends for both.
    m_loading = false;
    dropFill();
    PictureSlots &s = m_pictures;
    const qsizetype count = list.ListCount();
    const size_t wanted = size_t(std::max<qsizetype>(count, 1));
    // The slots follow the list, down as well as up, so memory goes with the folder shown.
    const auto fit = [wanted](auto &v, auto value) {
        v.assign(wanted, value);
        if (v.capacity() > 2 * wanted)
            v.shrink_to_fit();
    };
    fit(s.Image3, QImage());
    fit(s.States, count == 0 ? SlotState::Unreadable : SlotState::Coming);
    fit(s.SlotPaths, QString());
    fit(m_files, FileIdentity());
    const QString folder = list.Path();
    for (qsizetype i = 0; i < count; ++i)
        s.SlotPaths[size_t(i)] = joinPath(folder, list.List(i));
    m_cache.releaseAll();

    m_cover = m_coverSize();
    m_capacity = thumbnailCapacity(m_cache.budget() * 3 / 4, m_cover.width(), m_cover.height());
    m_planned = std::min(count, m_capacity);
    m_placed = 0;
    m_loading = true;
    m_listed = true;
    showProgress(0);
    m_ui.Text4.setText(QStringLiteral("Total Pictures %1").arg(count));
    m_ui.PageDown.setEnabled(count >= 37);
    m_ui.scrolldown.setEnabled(count >= 37);
    // Plan: the page shown comes first (showing it plans the fill).
    m_pageStart = -1;
    m_grid.ShowThumbnailPage();
    endIfDone();
    return OpResult::success();
}

void ThumbnailLoader::stopFill()
{
    // The slots stand for the list as it was: nothing more is made for them, and what did not
    // come shows as an empty cell.
    m_listed = false;
    dropFill();
    std::replace(m_pictures.States.begin(), m_pictures.States.end(), SlotState::Coming, SlotState::Unreadable);
    for (qsizetype i = m_grid.firstShown(); i < m_grid.firstShown() + ThumbnailGrid::Cells; ++i)
        m_grid.showSlot(i);
}

void ThumbnailLoader::dropFill()
{
    ++m_load;
    if (m_workers)
        m_workers->stop();
    if (std::exchange(m_loading, false))
        emit loadEnded();
}

void ThumbnailLoader::pageShown(qsizetype pageStart)
{
    if (!m_listed || pageStart == m_pageStart)
        return;
    m_direction = pageStart < m_pageStart ? -1 : 1;
    m_pageStart = pageStart;
    plan();
}

void ThumbnailLoader::plan()
{
    const PictureSlots &s = m_pictures;
    const qsizetype count = qsizetype(s.States.size());
    std::vector<ThumbnailJob> jobs;
    for (qsizetype i : fillOrder(count, m_pageStart, m_direction, m_capacity))
        if (s.States[size_t(i)] == SlotState::Coming)
            jobs.push_back(ThumbnailJob {i, s.SlotPaths[size_t(i)]});
    if (jobs.empty())
        return;
    // A page far from the last fill's makes its own fill, as long as the last one was.
    if (!m_loading) {
        m_loading = true;
        m_placed = 0;
        m_planned = qsizetype(jobs.size());
    }
    workers().plan(m_load, m_cover, std::move(jobs));
}

void ThumbnailLoader::place()
{
    if (!m_workers)
        return;
    PictureSlots &s = m_pictures;
    for (MadeThumbnail &made : m_workers->takeMade()) {
        const size_t i = size_t(made.slot);
        if (made.load != m_load || i >= s.States.size() || s.States[i] != SlotState::Coming) {
            m_cache.release(made.file, m_cover);
            continue;
        }
        // A failed read is remembered for this load only: the next one tries again.
        s.States[i] = made.image.isNull() ? SlotState::Unreadable : SlotState::Made;
        if (made.decoded)
            ++s.Decodes;
        s.Image3[i] = std::move(made.image);
        m_files[i] = made.file;
        ++m_placed;
        emit slotFilled(made.slot);
        m_grid.showSlot(made.slot);
        showProgress(std::min(100, percentDone(m_placed, std::max<qsizetype>(m_planned, 1))));
    }
    keepWithinBudget();
    endIfDone();
}

void ThumbnailLoader::keepWithinBudget()
{
    PictureSlots &s = m_pictures;
    const qint64 budget = m_cache.budget() * 3 / 4;
    if (m_cache.heldBytes() <= budget)
        return;
    // The thumbnails farthest from the page go first, down to a little below the budget so that
    // the next few do not search again; the page and its neighbours stay.
    const qint64 target = budget - budget / 10;
    const qsizetype count = qsizetype(s.States.size());
    std::vector<qsizetype> made;
    for (qsizetype i = 0; i < count; ++i)
        if (s.States[size_t(i)] == SlotState::Made && !keptWithPage(i, m_pageStart, count))
            made.push_back(i);
    std::sort(made.begin(), made.end(), [this](qsizetype a, qsizetype b) {
        return distanceFromPage(a, m_pageStart) > distanceFromPage(b, m_pageStart);
    });
    for (qsizetype i : made) {
        if (m_cache.heldBytes() <= target)
            break;
        s.States[size_t(i)] = SlotState::Coming;
        s.Image3[size_t(i)] = QImage();
        m_cache.release(m_files[size_t(i)], m_cover);
    }
}

void ThumbnailLoader::endIfDone()
{
    if (!m_loading || (m_workers && m_workers->busy()))
        return;
    m_loading = false;
    showProgress(100);
    emit loadEnded();
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
