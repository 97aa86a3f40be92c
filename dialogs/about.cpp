#include "dialogs/about.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include "ui/artwork.h"
#include "ui/layout.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

namespace orvella {

namespace {

QFont sansSerif(qreal points, bool bold, bool underline = false)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

// The address as a reader would say it: without the scheme and the closing slash.
QString shownAddress(const QString &address)
{
    const QUrl url(address);
    QString shown = url.isValid() && !url.host().isEmpty() ? url.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash)
                                                           : address;
    while (shown.startsWith(QLatin1Char('/')))
        shown.remove(0, 1);
    return shown;
}

} // namespace

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(*event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(*this, *event))
        emit clicked();
}

About::About(const QString &homeAddress)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(orvellaIcon());
    setFixedSize(twips(4020), twips(4320));

    Label1
        = place(new QLabel(QStringLiteral("Orvella"), this), QStringLiteral("Label1"), twipsRect(480, 120, 2895, 495));
    Label1->setFont(sansSerif(24, true));
    Label1->setAlignment(Qt::AlignCenter);
    Label2 = place(
        new QLabel(QStringLiteral("Version 2.01"), this), QStringLiteral("Label2"), twipsRect(960, 720, 1935, 375));
    Label2->setFont(sansSerif(13.5, true));
    Label2->setAlignment(Qt::AlignCenter);

    Image1 = place(new QLabel(this), QStringLiteral("Image1"), twipsRect(1200, 1320, 1470, 1365));
    Image1->setAccessibleName(tr("Orvella logo"));
    Image1->setPixmap(orvellaLogo(QSize(98, 91)));
    Image1->setScaledContents(true);

    Label3 = place(
        new LinkLabel(shownAddress(homeAddress), this), QStringLiteral("Label3"), twipsRect(720, 2880, 2535, 375));
    Label3->setFont(sansSerif(13.5, true, true));
    Label3->setTextFormat(Qt::PlainText);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setToolTip(homeAddress);
    Label3->setAccessibleName(tr("Home page"));
    QPalette blue = Label3->palette();
    blue.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    Label3->setPalette(blue);
    Label3->setCursor(Qt::PointingHandCursor);
    // The address is wider than its place in the layout: the link keeps its line and its centre.
    if (const int wide = Label3->sizeHint().width(); wide > Label3->width()) {
        const int w = std::min(wide, width());
        Label3->setGeometry((width() - w) / 2, Label3->y(), w, Label3->height());
    }

    Command1 = place(
        new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command1"), twipsRect(1680, 3480, 615, 375));
    Label4 = place(new QLabel(QStringLiteral("Free to use and share"), this), QStringLiteral("Label4"),
        twipsRect(960, 3960, 2055, 255));
    Label4->setAlignment(Qt::AlignCenter);

    connect(Command1, &QPushButton::clicked, this, &About::Command1_Click);
    addDialogKeys(*this, Command1);
    connect(Label3, &LinkLabel::clicked, this, &About::Label3_Click);
}

void About::setMainWindow(QWidget *window)
{
    m_main = window;
}

void About::open()
{
    showForOwner(*this, m_main);
}

void About::Command1_Click()
{
    close();
}

void About::Label3_Click()
{
    // The box stays open; a browser that cannot be started is reported by whoever opens the page.
    emit homePageRequested();
}

void About::Form_Unload()
{
    if (m_main)
        m_main->setEnabled(true);
}

void About::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

} // namespace orvella
