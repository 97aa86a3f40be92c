#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include "ui/clicktracker.h"

namespace orvella {

// One thumbnail cell: draws its picture stretched to the cell, knows whose picture it is, and
// takes the grid's keys while it has the focus.
class ImageCell final : public QWidget {
    Q_OBJECT
public:
    explicit ImageCell(QWidget *parent = nullptr);

    // Shows picture, the thumbnail of the file at path (a picture that failed to decode is null).
    // A picture still coming shows a placeholder, and the cell acts as one with its picture.
    void setPicture(const QImage &picture, const QString &path = {}, bool coming = false);
    void clearPicture() { setPicture({}, {}); }
    const QImage &picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull() || m_coming; }
    bool isComing() const { return m_coming; }
    // Full path of the file the cell was filled with ("" for a cell that shows no file).
    const QString &filePath() const { return m_path; }

signals:
    // A click, or Space.
    void clicked();
    // A click with Shift held, or Shift+Space.
    void shiftClicked();
    // A double-click, or Return.
    void doubleClicked();
    void mouseMoved();
    // An arrow, Page Up, Page Down, Home or End (the Qt::Key).
    void movementKey(int key);
    void escapePressed();
    void focused();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QImage m_picture;
    QString m_path;
    bool m_coming = false;
    ClickTracker m_click;
};

// The caption box under a cell: the file name, in the colours of its selection state.
class CaptionBox final : public QLabel {
    Q_OBJECT
public:
    explicit CaptionBox(QWidget *parent = nullptr);

    void setColors(const QColor &fore, const QColor &back);
    QColor foreColor() const;
    QColor backColor() const;

    // Whether the caption shows the selected colours.
    bool showsSelected() const;

signals:
    void clicked();
    void shiftClicked();
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
};

// Names the cell and its caption for assistive tools: the caption's file name, and ", selected"
// while the caption shows the selected colours (nothing for a cell without a file).
void describeCell(ImageCell &cell, CaptionBox &caption);

// A tool tip that shows text as it is: the tool tip formats whatever looks like markup (a file
// may well be named <b>x.jpg), so such text goes escaped, blanks kept.
QString plainToolTip(const QString &text);

// Caption colours.
inline const QColor CaptionGrey {0xE0, 0xE0, 0xE0};
inline const QColor CaptionBlack {0x00, 0x00, 0x00};

} // namespace orvella
