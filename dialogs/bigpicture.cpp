#include "dialogs/bigpicture.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "dialogs/picturebox.h"
#include "ui/artwork.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

namespace orvella {

BigPicture::BigPicture(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("BigPicture"));
    // A window without caption text; its frame lets the user move and resize it.
    setWindowTitle(QString());
    setWindowIcon(orvellaIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(tr("Picture"));
    Picture1->setAutoSize(true);
    Picture1->setBackColor(Qt::black);
    connect(Picture1, &PictureBox::clicked, this, &BigPicture::Picture1_Click);
    designState();
}

void BigPicture::designState()
{
    resize(twips(10470), twips(5580));
    Picture1->setPicture(QImage());
    Picture1->setGeometry(twipsRect(0, 0, 10455, 5535));
    centreOnScreen(*this);
}

void BigPicture::showPicture(const QImage &picture)
{
    if (!isVisible())
        designState();
    // An open window is not resized, so the new picture stays where the last one was put.
    Picture1->setPicture(picture);
    show();
    raise();
    activateWindow();
}

void BigPicture::Form_Resize()
{
    // Halves of a negative difference put a picture larger than the window off its edges
    // equally on opposite sides.
    Picture1->move((width() - Picture1->width()) / 2, (height() - Picture1->height()) / 2);
}

void BigPicture::Form_Click()
{
    close();
}

void BigPicture::Picture1_Click()
{
    close();
}

void BigPicture::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void BigPicture::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Form_Resize();
}

void BigPicture::mousePressEvent(QMouseEvent *event)
{
    m_click.press(*event);
}

void BigPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(*this, *event))
        Form_Click();
}

void BigPicture::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orvella
