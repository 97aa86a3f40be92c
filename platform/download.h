#pragma once

#include <QString>

namespace orvella {

// How long a download may keep the program waiting.
constexpr int DownloadBoundMs = 3000;
// How much a download may bring: the home page and the advertisement are small pages.
constexpr qint64 DownloadMaxBytes = 1 << 20;

// Fetches url into localFile (an empty name keeps nothing) and returns 0 on success, another
// value on failure. Waits at most boundMs; no user input is handled meanwhile. A reply longer
// than maxBytes fails as soon as it says or proves so: nothing past the bound is read into memory.
int downloadToFile(
    const QString &url, const QString &localFile, int boundMs = DownloadBoundMs, qint64 maxBytes = DownloadMaxBytes);

// Opens a web address in the desktop's browser; false when no browser could be started.
bool openWebAddress(const QString &url);

} // namespace orvella
