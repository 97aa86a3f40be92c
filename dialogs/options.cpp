#include "dialogs/options.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/artwork.h"
#include "ui/dialogservice.h"
#include "ui/layout.h"
#include "ui/twips.h"
#include "ui/windowplacement.h"

namespace orvella {

namespace {

// A caption wider than its place in the layout (the layout's font is narrower than most) gets the
// room its frame has to the right.
void widenToCaption(QWidget *w)
{
    const int room = w->parentWidget()->width() - w->x() - 4;
    const int wanted = std::min(w->sizeHint().width(), room);
    if (wanted > w->width())
        w->resize(wanted, w->height());
}

} // namespace

Options::Options(BrowserSettings &settings)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowIcon(orvellaIcon());
    setFont(layoutFont(QStringLiteral("Arial")));
    setFixedSize(twips(5100), twips(4830));

    // Option buttons in one frame form one group: each frame is their parent.
    Frame2 = place(new QGroupBox(QStringLiteral("Picture View on Double Click"), this), QStringLiteral("Frame2"),
        twipsRect(120, 240, 2295, 1215));
    SmallPicture = place(new QRadioButton(QStringLiteral("Small Picture"), Frame2), QStringLiteral("SmallPicture"),
        twipsRect(120, 360, 1455, 255));
    FullScreen = place(new QRadioButton(QStringLiteral("Full Size"), Frame2), QStringLiteral("FullScreen"),
        twipsRect(120, 720, 1695, 255));

    Frame1 = place(
        new QGroupBox(QStringLiteral("Delete"), this), QStringLiteral("Frame1"), twipsRect(120, 1560, 2295, 1215));
    ToRecycle = place(new QRadioButton(QStringLiteral("Recycle Bin"), Frame1), QStringLiteral("ToRecycle"),
        twipsRect(240, 360, 1215, 195));
    PermDel = place(new QRadioButton(QStringLiteral("Permenant Delete"), Frame1), QStringLiteral("PermDel"),
        twipsRect(240, 720, 1815, 195));

    Frame3 = place(
        new QGroupBox(QStringLiteral("Thumbnails"), this), QStringLiteral("Frame3"), twipsRect(120, 2880, 4815, 1335));
    AutoThumb
        = place(new QRadioButton(QStringLiteral("Automatically Load Thumbnails when navigating Folders."), Frame3),
            QStringLiteral("AutoThumb"), twipsRect(240, 360, 4335, 255));
    ManualThumb = place(new QRadioButton(QStringLiteral("Manually Load Thumbnails."), Frame3),
        QStringLiteral("ManualThumb"), twipsRect(240, 720, 2415, 255));

    Frame4 = place(new QGroupBox(QStringLiteral("Picture Format"), this), QStringLiteral("Frame4"),
        twipsRect(2640, 240, 2295, 1815));
    const char *formats[] = {"JPEG", "BMP", "GIF", "ICO"};
    for (int i = 0; i < 4; ++i)
        Check1[size_t(i)] = place(new QCheckBox(QString::fromLatin1(formats[i]), Frame4),
            QStringLiteral("Check1_%1").arg(i), twipsRect(120, 360 + 360 * i, 1815, 195));

    Command3 = place(
        new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command3"), twipsRect(4320, 4320, 615, 375));
    for (QWidget *w : std::initializer_list<QWidget *> {SmallPicture, FullScreen, ToRecycle, PermDel, AutoThumb,
             ManualThumb, Check1[0], Check1[1], Check1[2], Check1[3]})
        widenToCaption(w);
    connect(Command3, &QPushButton::clicked, this, &Options::Command3_Click);
    addDialogKeys(*this, Command3);

    designState();
}

void Options::setMainWindow(QWidget *window, QPushButton *loadButton)
{
    m_main = window;
    m_loadButton = loadButton;
}

void Options::designState()
{
    SmallPicture->setChecked(true);
    ToRecycle->setChecked(true);
    AutoThumb->setChecked(true);
    for (QCheckBox *box : Check1)
        box->setChecked(true);
}

void Options::open()
{
    if (!isVisible()) {
        // A closed dialog keeps its fields but not its widgets' values.
        designState();
        Form_Load();
    }
    showForOwner(*this, m_main);
}

// The dialog works on the run's settings record, which stays reachable while the main window is
// closed.
void Options::Form_Load()
{
    BrowserSettings &s = m_settings;
    m_atOpening = s;
    m_confirmed = false;
    (s.PictureSize ? SmallPicture : FullScreen)->setChecked(true);
    (s.DeleteRecycle ? ToRecycle : PermDel)->setChecked(true);
    (s.AutoThumbnails ? AutoThumb : ManualThumb)->setChecked(true);
    if (m_main)
        m_main->setEnabled(false);
    if (FormatsRemembered != 0)
        for (size_t i = 0; i < 4; ++i)
            Check1[i]->setChecked(FormatChecked[i] == 1);
    for (size_t i = 0; i < 4; ++i)
        m_boxesAtOpening[i] = Check1[i]->isChecked() ? 1 : 0;
    s.ImageFormat = QString();
    FormatPatterns[0] = QStringLiteral("*.jpeg;*.jpg");
    FormatPatterns[1] = QStringLiteral("*.bmp");
    FormatPatterns[2] = QStringLiteral("*.gif");
    FormatPatterns[3] = QStringLiteral("*.ico;*.icon");
}

void Options::Command3_Click()
{
    BrowserSettings &s = m_settings;
    s.ImageFormat = QString();
    s.DeleteRecycle = ToRecycle->isChecked();
    s.PictureSize = SmallPicture->isChecked();
    for (size_t i = 0; i < 4; ++i) {
        if (Check1[i]->isChecked()) {
            FormatChecked[i] = 1;
            if (!s.ImageFormat.isEmpty())
                s.ImageFormat += QLatin1Char(';');
            s.ImageFormat += FormatPatterns[i];
        } else {
            FormatChecked[i] = 0;
        }
    }
    if (m_loadButton)
        m_loadButton->setVisible(ManualThumb->isChecked());
    s.AutoThumbnails = AutoThumb->isChecked();
    if (s.ImageFormat.isEmpty()) {
        dialogs().messageBox(QStringLiteral("You must select a Picture Format"), MsgExclamation);
        return;
    }
    m_confirmed = true;
    close();
}

void Options::Form_Unload()
{
    // Only OK changes settings: closed any other way, the dialog leaves them as they were when it
    // opened, the list of formats included, and the boxes too, so that the next opening shows
    // what is still listed (a refused OK has stored its unticked boxes meanwhile).
    if (!m_confirmed) {
        m_settings = m_atOpening;
        for (size_t i = 0; i < 4; ++i)
            FormatChecked[i] = m_boxesAtOpening[i];
        if (m_loadButton)
            m_loadButton->setVisible(!m_settings.AutoThumbnails);
    }
    m_confirmed = false;
    FormatsRemembered = 1;
    if (m_main)
        m_main->setEnabled(true);
}

void Options::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

} // namespace orvella
