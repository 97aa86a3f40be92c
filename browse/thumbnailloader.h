#pragma once

#include "platform/result.h"

#include <functional>
#include <memory>

class QThreadPool;

namespace orvella {

class MainWindow;

// Fills the picture slots with the thumbnails of the listed files. A thumbnail belongs to its
// file's identity (volume, file number, size, modification time), not to a list index: it comes
// from the run's thumbnail cache when the file was seen as it is now, else from the desktop's
// thumbnail cache, the file's EXIF thumbnail or a decode at the cell's size. Shows progress, the
// count and the first page.
class ThumbnailLoader final {
public:
    explicit ThumbnailLoader(MainWindow &w);
    ~ThumbnailLoader();

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

    // Tests: called with the slot's index after each slot is filled, while the load runs.
    static void setSlotFilledHookForTesting(std::function<void(qsizetype)> hook);

private:
    void showProgress(int value);
    QThreadPool &pool();

    MainWindow &m_w;
    std::unique_ptr<QThreadPool> m_pool; // the load's decoders, kept between loads
    bool m_loading = false;
};

} // namespace orvella
