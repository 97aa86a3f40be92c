#pragma once

#include <QString>

namespace orvella {

// How long a download may keep the program waiting.
constexpr int DownloadBoundMs = 3000;

// Fetches url into localFile (an empty name keeps nothing) and returns 0 on success, another
// value on failure. Waits at most boundMs; no user input is handled meanwhile.
int downloadToFile(const QString &url, const QString &localFile, int boundMs = DownloadBoundMs);

// Opens a web address in the desktop's browser; false when no browser could be started.
bool openWebAddress(const QString &url);

} // namespace orvella
