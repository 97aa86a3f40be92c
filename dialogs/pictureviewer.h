#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace orvella {

class MainWindow;
class PictureBox;

// Where a picture of size source goes, proportions kept, in a box of size target: as high as the
// box when the box is relatively wider, else as wide as the box (ties too); centred across, one
// unit below the top. Nothing for a picture or box without width or height.
std::optional<QRectF> fitPictureRect(QSizeF source, QSizeF target);

// Clears target and draws the picture of source into it, fitted by fitPictureRect on the boxes'
// scale sizes. A source without a picture leaves target empty.
void FitPictureInBox(const PictureBox &source, PictureBox &target);

// Decodes a picture file for an enlarged view, fitted inside box (an empty box: natural size).
// Very large pictures come smaller (see the .cpp); a file that cannot be decoded gives a null
// image.
QImage decodeForView(const QString &path, QSize box = {});

// The enlarged view of a double-clicked thumbnail: fitted over the grid ("Small Picture") or at
// natural size in the window BigPicture ("Full Size"), by the PictureSize setting.
class PictureViewer final {
public:
    explicit PictureViewer(MainWindow &w)
        : m_w(w)
    {
    }

    void Image1_DblClick(int index);
    void Picture2_Click();

    // The full path of the file whose picture grid cell index shows ("" for a cell without one).
    QString fileOfCell(int index) const;

private:
    MainWindow &m_w;
};

} // namespace orvella
