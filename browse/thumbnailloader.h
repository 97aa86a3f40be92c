#pragma once

#include "platform/result.h"

#include <memory>

class QThreadPool;

namespace orvella {

class MainWindow;

// Fills the picture slots with the thumbnails of the listed files, decoding only those whose
// slot holds another file, and shows progress, the count and the first page.
class ThumbnailLoader final {
public:
    explicit ThumbnailLoader(MainWindow &w);
    ~ThumbnailLoader();

    // Fails only when the folder cannot be re-read; a picture that cannot be decoded leaves its
    // slot empty and the load goes on. The pictures are decoded on all cores, but the call returns
    // only when every slot is filled, and handles no user input meanwhile.
    OpResult LoadThumbnails();
    void ButtonLoadThumbs_Click();

    // The progress value shown after entry i of count: i / count * 100 rounded, halves to even.
    static int percentDone(qsizetype i, qsizetype count);

private:
    void showProgress(int value);
    QThreadPool &pool();

    MainWindow &m_w;
    std::unique_ptr<QThreadPool> m_pool; // the load's decoders, kept between loads
};

} // namespace orvella
