#pragma once

#include <QList>
#include <QString>

namespace orvella {

// A volume a person would recognise as a drive: a drive letter on Windows, a mount on Linux.
struct Volume {
    QString root; // its root folder, native spelling ("C:\", "/", "/media/me/USB")
    QString label; // its name, may be empty
    QString display() const { return label.isEmpty() ? root : QStringLiteral("%1 [%2]").arg(root, label); }
};

// The volumes of this machine, the system volume first.
QList<Volume> listVolumes();
// The root folder of the volume that holds path.
QString volumeRootOf(const QString &path);
// The root folder of the volume the system runs from ("C:\" on Windows, "/" elsewhere).
QString systemDriveRoot();

} // namespace orvella
