#pragma once

#include <QString>

namespace orvella {

// The four settings of a run. They last for the run only and are set back to their defaults each
// time the main window is created.
struct BrowserSettings {
    static QString defaultImageFormat() { return QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.ico"); }

    QString ImageFormat = defaultImageFormat(); // pattern of the main window's file list
    bool AutoThumbnails = true; // a folder change loads the thumbnails by itself
    bool PictureSize = true; // true: enlarge inside the main window; false: full size
    bool DeleteRecycle = true; // true: delete to the trash; false: permanently

    void setDefaults();
};

} // namespace orvella
