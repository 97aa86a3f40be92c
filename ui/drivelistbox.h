#pragma once

#include <QComboBox>
#include <QList>
#include <QString>

#include "platform/volumes.h"

namespace orvella {

// The drive list. Picking another entry than the one shown emits Change.
class DriveListBox final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // Replaces the listed volumes (the machine's own ones are listed on construction).
    void setVolumes(const QList<Volume> &volumes);
    const QList<Volume> &volumes() const { return m_volumes; }
    // The current entry's text (root and label).
    QString Drive() const { return currentText(); }
    // The root folder of the current entry.
    QString driveRoot() const;
    // Lists the volume that holds path if it is not listed yet (a volume of a kind the list leaves
    // out, such as a memory file system the program was started on).
    void includeVolumeOf(const QString &path);
    // Shows the volume that holds path, without raising Change.
    void showVolumeOf(const QString &path);

signals:
    void Change();

private:
    QList<Volume> m_volumes;
    // The entry shown before the user's pick: the list shows the picked entry by the time it
    // reports the pick, also when the user picked the entry it showed.
    int m_shown = -1;
};

// What a window with a drive list says when the drive picked cannot be opened: "Drive can not be
// found." with the critical icon. Returns the button pressed.
int showDriveNotFound();

} // namespace orvella
