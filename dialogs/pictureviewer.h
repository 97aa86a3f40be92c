#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QObject;
class QWidget;

namespace orvella {

class BigPicture;
class ImageCell;
class PictureBox;
struct BrowserSettings;

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
// natural size in the window BigPicture ("Full Size"), by the PictureSize setting. While the view
// over the grid is shown, the grid's keys do nothing (they would act on pictures the user cannot
// see) and Escape or Return closes it.
class PictureViewer final {
public:
    // The main window, its grid cells and its two picture boxes.
    struct Widgets {
        QWidget &window;
        const std::vector<ImageCell *> &Image1;
        PictureBox &Picture2;
        PictureBox &picHidden;
    };

    // bigPicture gives the "Full Size" window, which outlives the main window.
    PictureViewer(Widgets widgets, const BrowserSettings &settings, std::function<BigPicture &()> bigPicture);
    ~PictureViewer();

    void Image1_DblClick(int index);
    void Picture2_Click();

    // The full path of the file whose picture grid cell index shows ("" for a cell without one).
    QString fileOfCell(int index) const;

private:
    Widgets m_ui;
    const BrowserSettings &m_settings;
    std::function<BigPicture &()> m_bigPicture;
    // Keeps the grid's keys from the cells while Picture2 covers them.
    std::unique_ptr<QObject> m_coveredKeys;
};

} // namespace orvella
