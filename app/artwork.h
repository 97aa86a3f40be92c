#pragma once

#include <QIcon>
#include <QPixmap>

namespace orvella {

// The program's own pictures, drawn rather than shipped as files.
QPixmap orvellaLogo(QSize size = QSize(98, 91));
QIcon orvellaIcon();

} // namespace orvella
