#include "ui/drivelistbox.h"

#include <utility>

#include <QDir>
#include <QSignalBlocker>

#include "platform/paths.h"
#include "ui/dialogservice.h"

namespace orvella {

DriveListBox::DriveListBox(QWidget *parent)
    : QComboBox(parent)
{
    setVolumes(listVolumes());
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == std::exchange(m_shown, index))
            return;
        emit Change();
    });
}

void DriveListBox::setVolumes(const QList<Volume> &volumes)
{
    const QSignalBlocker block(this);
    m_volumes = volumes;
    clear();
    for (const Volume &v : volumes)
        addItem(v.display());
    m_shown = currentIndex();
}

QString DriveListBox::driveRoot() const
{
    const int i = currentIndex();
    return i >= 0 && i < m_volumes.size() ? m_volumes[i].root : QString();
}

void DriveListBox::includeVolumeOf(const QString &path)
{
    const QString root = volumeRootOf(path);
    for (const Volume &v : std::as_const(m_volumes))
        if (QDir::cleanPath(QDir::fromNativeSeparators(v.root)) == QDir::cleanPath(QDir::fromNativeSeparators(root)))
            return;
    QList<Volume> more = m_volumes;
    more.append({root, QString()});
    setVolumes(more);
}

void DriveListBox::showVolumeOf(const QString &path)
{
    const QString root = volumeRootOf(path);
    // The deepest listed mount that holds path wins (a separate /home over /).
    int best = -1;
    qsizetype bestLength = -1;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    for (int i = 0; i < m_volumes.size(); ++i) {
        const QString r = QDir::cleanPath(QDir::fromNativeSeparators(m_volumes[i].root));
        const bool holds = r == root || clean == r || clean.startsWith(r.endsWith(u'/') ? r : r + u'/');
        if (holds && r.size() > bestLength) {
            best = i;
            bestLength = r.size();
        }
    }
    if (best >= 0 && best != currentIndex()) {
        const QSignalBlocker block(this);
        setCurrentIndex(best);
    }
    m_shown = currentIndex();
}

int showDriveNotFound()
{
    return dialogs().messageBox(QStringLiteral("Drive can not be found."), MsgCritical, QStringLiteral("Dude-Dazivor"));
}

} // namespace orvella
