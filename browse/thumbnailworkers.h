#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QSize>
#include <QString>

#include "platform/fileidentity.h"
#include "platform/picturedecoder.h"

class QObject;

namespace orvella {

class ThumbnailCache;

// Makes one file's thumbnail: what makeThumbnail does in the program, something else in a test.
using ThumbnailMaker = std::function<Thumbnail(const QString &path, QSize cover)>;

// A thumbnail to make: for the picture slot slot, from the file at path.
struct ThumbnailJob {
    qsizetype slot = 0;
    QString path;
};

// What became of a job.
struct MadeThumbnail {
    qsizetype slot = 0;
    quint64 load = 0; // the load the job came from
    QImage image; // null when the file could not be read
    FileIdentity file; // the file the picture was read from
    bool decoded = false; // read from the file, not found in the run's thumbnails
    bool fromDesktop = false; // the desktop's own thumbnail
};

// The threads that make thumbnails off the user-interface thread: they take jobs in the order
// planned, look each file up in the run's thumbnails by the identity its name has now, and make
// the others from the file, which they open and check themselves. A thumbnail is handed back only
// when the file read is the file the name still stands for.
class ThumbnailWorkers final {
public:
    // made runs on receiver's thread whenever made thumbnails wait to be taken.
    ThumbnailWorkers(
        ThumbnailCache &cache, QObject &receiver, std::function<void()> made, ThumbnailMaker maker, int threads);
    // Drops the queued jobs and waits a moment for those being made; a file that does not answer
    // is left to its thread, which ends on its own.
    ~ThumbnailWorkers();

    // Replaces the queued jobs with jobs of load, in that order, for thumbnails of cover pixels.
    void plan(quint64 load, QSize cover, std::vector<ThumbnailJob> jobs);
    // Drops the queued jobs; what is being made is dropped once made.
    void stop();
    std::vector<MadeThumbnail> takeMade();
    // Whether jobs are queued or being made.
    bool busy() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// Whether a thumbnail thread is reading a file: the program does not wait for them at exit.
bool thumbnailReadsRunning();

} // namespace orvella
