#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QSize>

#include "platform/result.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QThreadPool;

namespace orvella {

class FileListBox;
class ThumbnailCache;
class ThumbnailGrid;
struct BrowserSettings;
struct GridPosition;
struct PictureSlots;

// Fills the picture slots with the thumbnails of the listed files. A thumbnail belongs to its
// file's identity (volume, file number, size, modification time), not to a list index: it comes
// from the run's thumbnail cache when the file was seen as it is now, else from the desktop's
// thumbnail cache, the file's EXIF thumbnail or a decode at the cell's size. Shows progress, the
// count and the first page.
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

    // Fails only when the folder cannot be re-read, or when a load is running already (a load
    // never runs inside another). A picture that cannot be decoded leaves its slot empty and the
    // load goes on. The pictures are decoded on all cores; the call returns only when every slot
    // is filled. Meanwhile the window system is answered (paint, the window manager's ping,
    // accessibility) but no user input is handled: it waits until the load has ended.
    OpResult LoadThumbnails();
    void ButtonLoadThumbs_Click();
    bool loading() const { return m_loading; }

    // The progress value shown after entry i of count: i / count * 100 rounded, halves to even.
    static int percentDone(qsizetype i, qsizetype count);

signals:
    // Slot slot has just been filled, while the load runs.
    void slotFilled(qsizetype slot);
    // A load has ended, however it went.
    void loadEnded();
    // The manual load is about to drop the selection (it re-reads the list).
    void selectionToBeCleared();

private:
    void showProgress(int value);
    QThreadPool &pool();

    Widgets m_ui;
    PictureSlots &m_pictures;
    GridPosition &m_position;
    ThumbnailCache &m_cache;
    const BrowserSettings &m_settings;
    ThumbnailGrid &m_grid;
    std::function<QSize()> m_coverSize;
    std::unique_ptr<QThreadPool> m_pool; // the load's decoders, kept between loads
    bool m_loading = false;
};

} // namespace orvella
