#pragma once

#include "platform/result.h"

namespace orvella {

class MainWindow;

// Fills the picture slots with the thumbnails of the listed files, decoding only those whose
// slot holds another file, and shows progress, the count and the first page.
class ThumbnailLoader final {
public:
    explicit ThumbnailLoader(MainWindow &w)
        : m_w(w)
    {
    }

    // Fails only when the folder cannot be re-read; a picture that cannot be decoded leaves its
    // slot empty and the load goes on.
    OpResult LoadThumbnails();
    void ButtonLoadThumbs_Click();

    // The progress value shown after entry i of count: i / count * 100 rounded, halves to even.
    static int percentDone(qsizetype i, qsizetype count);

private:
    void showProgress(int value);

    MainWindow &m_w;
};

} // namespace orvella
