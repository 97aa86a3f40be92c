#include "dialogs/pictureviewer.h"

#include <algorithm>

#include <QKeyEvent>
#include <QWindow>

#include "browse/gridwidgets.h"
#include "browse/thumbnailgrid.h"
#include "dialogs/bigpicture.h"
#include "dialogs/picturebox.h"
#include "platform/picturedecoder.h"
#include "settings/browsersettings.h"

namespace orvella {

namespace {

// Pictures above this many pixels are shown scaled down to it: at four bytes a pixel a larger
// one would take more memory than an enlarged view is worth.
constexpr qint64 ViewPixelCap = 100'000'000;

// Installed on the grid's cells: while the view covers them, the keys a cell answers (arrows,
// paging, Space, Shift+Space, Return) would move a page or select pictures the user cannot see.
// Escape and Return close the view instead; held down, they do nothing more.
class CoveredGridKeys final : public QObject {
public:
    explicit CoveredGridKeys(PictureBox &view)
        : m_view(view)
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !m_view.isVisible())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            if (!key->isAutoRepeat())
                m_view.setVisible(false);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Space:
            return true;
        default:
            return false; // Tab still leaves the grid
        }
    }

private:
    PictureBox &m_view;
};

} // namespace

std::optional<QRectF> fitPictureRect(QSizeF source, QSizeF target)
{
    // The arithmetic is single precision, as the box scales are.
    const float sw = float(source.width()), sh = float(source.height());
    const float tw = float(target.width()), th = float(target.height());
    // Without width or height a picture has no proportions to keep, and a box no room.
    if (!(sw > 0 && sh > 0 && tw > 0 && th > 0))
        return std::nullopt;
    const float r = sw / sh;
    const float t = tw / th;
    float w = 0, h = 0;
    if (t > r) {
        h = th;
        w = r * th;
    } else {
        w = tw;
        h = tw / r;
    }
    return QRectF((tw - w) / 2, 1, w, h);
}

void FitPictureInBox(const PictureBox &source, PictureBox &target)
{
    const std::optional<QRectF> where = fitPictureRect(
        QSizeF(source.ScaleWidth(), source.ScaleHeight()), QSizeF(target.ScaleWidth(), target.ScaleHeight()));
    target.Cls();
    if (where && source.hasPicture())
        target.PaintPicture(source.Picture(), *where);
}

QImage decodeForView(const QString &path, QSize box)
{
    if (path.isEmpty())
        return {};
    QImage picture = decodePictureToFit(path, box, ViewPixelCap);
    if (!picture.isNull())
        return picture;
    // The image reader also refuses any picture whose full decoded size passes its own memory
    // bound (128 MB in Qt 6.4, some 33 megapixels). A JPEG still decodes at a half, a quarter or
    // an eighth of its size, which stays inside that bound.
    const QSize natural = pictureSize(path);
    if (!natural.isValid() || natural.isEmpty())
        return {};
    const QSize wanted = box.isEmpty() || (natural.width() <= box.width() && natural.height() <= box.height())
        ? natural
        : natural.scaled(box, Qt::KeepAspectRatio);
    for (int divisor : {2, 4, 8}) {
        const QSize smaller(std::max(1, wanted.width() / divisor), std::max(1, wanted.height() / divisor));
        picture = decodePictureToFit(path, smaller, ViewPixelCap);
        if (!picture.isNull())
            return picture;
    }
    return {};
}

PictureViewer::PictureViewer(Widgets widgets, const BrowserSettings &settings, std::function<BigPicture &()> bigPicture)
    : m_ui(widgets)
    , m_settings(settings)
    , m_bigPicture(std::move(bigPicture))
    , m_coveredKeys(std::make_unique<CoveredGridKeys>(widgets.Picture2))
{
}

PictureViewer::~PictureViewer() = default;

QString PictureViewer::fileOfCell(int index) const
{
    if (index < 0 || index >= ThumbnailGrid::Cells)
        return {};
    // The file whose thumbnail the cell shows, whatever the list holds now (after a folder change
    // without loading, the grid still shows the previous folder).
    return m_ui.Image1[size_t(index)]->filePath();
}

void PictureViewer::Image1_DblClick(int index)
{
    if (index < 0 || index >= ThumbnailGrid::Cells)
        return;
    // The grid holds thumbnails only: the enlarged views decode the file itself.
    if (!m_settings.PictureSize) {
        // An empty cell, or a file that can no longer be decoded, shows the black window alone.
        m_bigPicture().showPicture(decodeForView(fileOfCell(index)));
        return;
    }
    if (!m_ui.Image1[size_t(index)]->hasPicture())
        return;
    for (ImageCell *cell : m_ui.Image1)
        cell->installEventFilter(m_coveredKeys.get());
    m_ui.Picture2.setVisible(true);
    const QString path = fileOfCell(index);
    const QWidget &w = m_ui.window;
    const qreal dpr = w.windowHandle() ? w.windowHandle()->devicePixelRatio() : w.devicePixelRatioF();
    const QSize box = (QSizeF(m_ui.Picture2.size()) * dpr).toSize();
    // picHidden stands for the picture at its natural size, which gives the proportions; it holds
    // the picture decoded no larger than the box it is drawn into.
    m_ui.picHidden.setPicture(decodeForView(path, box), pictureSize(path));
    FitPictureInBox(m_ui.picHidden, m_ui.Picture2);
}

void PictureViewer::Picture2_Click()
{
    m_ui.Picture2.setVisible(false);
}

} // namespace orvella
