#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QSize>

#include "browse/thumbnailworkers.h"
#include "platform/result.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace orvella {

class FileListBox;
class ThumbnailCache;
class ThumbnailGrid;
struct BrowserSettings;
struct GridPosition;
struct PictureSlots;

// Fills the picture slots with the thumbnails of the listed files, the page the user looks at
// first. A load is a short pipeline: list the files (the count, the paging buttons and the page's
// captions show at once), plan the order (thumbnailplan), make the thumbnails on worker threads
// (thumbnailworkers) and place each in its slot and, when it is on the page, in its cell. The
// window answers the user throughout; paging plans the fill anew. A thumbnail belongs to its
// file's identity, not to a list index: one made before for the file as it is now is taken again.
class ThumbnailLoader final : public QObject {
    Q_OBJECT
public:
    // The main window's widgets the loader reads and sets.
    struct Widgets {
        FileListBox &File1;
        QProgressBar &ProgressBar1;
        QLineEdit &Text4;
        QPushButton &PageDown;
        QPushButton &scrolldown;
    };

    // coverSize gives the grid's cell size in device pixels: what a thumbnail must cover.
    ThumbnailLoader(Widgets widgets, PictureSlots &pictures, GridPosition &position, ThumbnailCache &cache,
        const BrowserSettings &settings, ThumbnailGrid &grid, std::function<QSize()> coverSize);
    ~ThumbnailLoader() override;

    // Re-reads the list and starts filling the slots from the page shown; returns at once. Fails
    // only when the folder cannot be re-read. A fill that runs is dropped: what it made stays in
    // the run's thumbnails for the new one.
    OpResult LoadThumbnails();
    // The same for the list as it was just read.
    OpResult loadListedThumbnails();
    void ButtonLoadThumbs_Click();
    // Drops the fill's queued work (the list changed under it, without a load).
    void stopFill();
    // Whether thumbnails are still being made.
    bool loading() const { return m_loading; }

    // The progress value shown after entry i of count: i / count * 100 rounded, halves to even.
    static int percentDone(qsizetype i, qsizetype count);

    // Tests make thumbnails their own way, on as many threads as they like.
    void setMakerForTesting(ThumbnailMaker maker, int threads);

signals:
    // Slot slot has just been filled.
    void slotFilled(qsizetype slot);
    // The fill has made every thumbnail it planned, or was dropped (not when a new load takes
    // its place: that one ends for both).
    void loadEnded();
    // The manual load is about to drop the selection (it re-reads the list).
    void selectionToBeCleared();

private:
    // The grid shows the page at pageStart: its thumbnails come first.
    void pageShown(qsizetype pageStart);
    void dropFill();
    void plan();
    void place();
    void keepWithinBudget();
    void endIfDone();
    void showProgress(int value);
    ThumbnailWorkers &workers();

    Widgets m_ui;
    PictureSlots &m_pictures;
    GridPosition &m_position;
    ThumbnailCache &m_cache;
    const BrowserSettings &m_settings;
    ThumbnailGrid &m_grid;
    std::function<QSize()> m_coverSize;
    ThumbnailMaker m_maker;
    int m_threads;
    std::unique_ptr<ThumbnailWorkers> m_workers;

    // The current load.
    quint64 m_load = 0;
    QSize m_cover;
    std::vector<FileIdentity> m_files; // of each made slot, to let the run's thumbnails go
    qsizetype m_pageStart = 0;
    int m_direction = 1;
    qsizetype m_capacity = 0; // thumbnails the budget holds
    qsizetype m_planned = 0; // thumbnails this fill makes
    qsizetype m_placed = 0;
    bool m_loading = false;
    bool m_listed = false; // the slots stand for the list as it is
};

} // namespace orvella
