#pragma once

#include <QIcon>
#include <QPixmap>

namespace orvella {

// The program's own pictures: the placeholder logo is drawn, the icon is the installed one.
QPixmap orvellaLogo(QSize size = QSize(98, 91));
QIcon orvellaIcon();

} // namespace orvella
