#include "browse/thumbnailloader.h"

#include "app/mainwindow.h"
#include "platform/busypointer.h"
#include "platform/filelistbox.h"
#include "platform/paths.h"
#include "platform/picturedecoder.h"
#include "selection/browsersettings.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cmath>

namespace orvella {

int ThumbnailLoader::percentDone(qsizetype i, qsizetype count)
{
    if (count <= 0)
        return 0;
    // The default rounding mode sends halves to the even neighbour (12.5 gives 12, 37.5 gives 38).
    return int(std::nearbyint(double(i) / double(count) * 100.0));
}

void ThumbnailLoader::showProgress(int value)
{
    MainState &s = m_w.state;
    s.PercentDone = value;
    if (m_w.ProgressBar1->value() == value)
        return;
    m_w.ProgressBar1->setValue(value);
    // The load holds the event loop; paint the bar now so the user sees it move.
    if (m_w.ProgressBar1->isVisible())
        m_w.ProgressBar1->repaint();
}

OpResult ThumbnailLoader::LoadThumbnails()
{
    MainState &s = m_w.state;
    FileListBox &list = *m_w.File1;
    if (OpResult r = list.setPattern(m_w.settings().ImageFormat); !r)
        return r;

    const qsizetype count = list.ListCount();
    const QSize cover = m_w.thumbnailCoverSize();
    if (qsizetype(s.Image3.size()) < std::max<qsizetype>(count, 1))
        s.Image3.resize(size_t(std::max<qsizetype>(count, 1)));
    if (qsizetype(s.SlotPaths.size()) < count)
        s.SlotPaths.resize(size_t(count));

    // Slot 0 is decoded on every load; an empty list gives it an empty picture.
    const QString first = list.List(0);
    s.Image3[0] = first.isEmpty() ? QImage() : decodePicture(joinPath(list.Path(), first), cover);
    if (!first.isEmpty())
        ++s.Decodes;

    setHourglass();
    for (qsizetype i = 1; i < count; ++i) {
        const QString path = joinPath(list.Path(), list.List(i));
        if (path != s.SlotPaths[size_t(i)]) {
            s.Image3[size_t(i)] = decodePicture(path, cover);
            ++s.Decodes;
        }
        s.SlotPaths[size_t(i)] = path;
        showProgress(percentDone(i, count));
    }
    showProgress(100);
    m_w.Text4->setText(QStringLiteral("Total Pictures %1").arg(count));
    m_w.PageDown->setEnabled(true);
    m_w.scrolldown->setEnabled(true);
    if (count < 37) {
        m_w.PageDown->setEnabled(false);
        m_w.scrolldown->setEnabled(false);
    }
    m_w.ShowThumbnailPage();
    return OpResult::success();
}

void ThumbnailLoader::ButtonLoadThumbs_Click()
{
    m_w.state.PageStart = 0;
    m_w.state.NextToShow = 0;
    m_w.LoadThumbnails();
}

} // namespace orvella
