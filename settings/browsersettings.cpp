#include "settings/browsersettings.h"

namespace orvella {

void BrowserSettings::setDefaults()
{
    PictureSize = true;
    AutoThumbnails = true;
    DeleteRecycle = true;
    ImageFormat = defaultImageFormat();
}

} // namespace orvella
