#include "app/orvellaapp.h"

#include <QFont>

#include "app/mainwindow.h"
#include "dialogs/about.h"
#include "dialogs/bigpicture.h"
#include "dialogs/options.h"
#include "platform/download.h"
#include "renamer/bulksorter.h"
#include "ui/dialogservice.h"
#include "ui/windowplacement.h"

namespace orvella {

OrvellaApp::OrvellaApp(QString instanceKey, QObject *parent)
    : QObject(parent)
    , guard(std::move(instanceKey))
    , startBrowser(openWebAddress)
{
    // The about box's face; the system's own stand-in for it is often much wider.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

OrvellaApp::~OrvellaApp()
{
    delete m_renamer.data();
    delete m_main.data();
    // A window closed by a handler that the event loop had no time to delete since.
    delete m_closedMain.data();
}

Options &OrvellaApp::options()
{
    if (!m_options) {
        m_options = std::make_unique<Options>(settings);
        mainWindowChanged();
    }
    return *m_options;
}

About &OrvellaApp::about()
{
    if (!m_about) {
        m_about = std::make_unique<About>(homeAddress);
        connect(m_about.get(), &About::homePageRequested, this, &OrvellaApp::openHomePage);
        mainWindowChanged();
    }
    return *m_about;
}

BigPicture &OrvellaApp::bigPicture()
{
    if (!m_bigPicture)
        m_bigPicture = std::make_unique<BigPicture>();
    return *m_bigPicture;
}

void OrvellaApp::openHomePage()
{
    if (!startBrowser || !startBrowser(homeAddress))
        dialogs().messageBox(
            QStringLiteral("No web browser could be started to show %1").arg(homeAddress), MsgExclamation);
}

MainWindow *OrvellaApp::mainWindow() const
{
    return m_main.data();
}

void OrvellaApp::mainWindowChanged()
{
    MainWindow *w = m_main.data();
    if (m_options)
        m_options->setMainWindow(w, w ? w->ButtonLoadThumbs : nullptr);
    if (m_about)
        m_about->setMainWindow(w);
}

bool OrvellaApp::openMainWindow()
{
    delete m_main.data();
    auto *w = new MainWindow(*this);
    m_main = w;
    mainWindowChanged();
    if (!w->Form_Load()) {
        delete w;
        mainWindowChanged();
        return false;
    }
    centreOnScreen(*w);
    w->show();
    return true;
}

void OrvellaApp::closeMainWindow()
{
    if (m_main) {
        m_main->hide();
        m_main->deleteLater();
        m_closedMain = m_main;
        m_main = nullptr;
        mainWindowChanged();
    }
}

BulkSorter *OrvellaApp::fileRenamer() const
{
    return m_renamer;
}

BulkSorter &OrvellaApp::showFileRenamer()
{
    if (!m_renamer) {
        m_renamer = new BulkSorter(settings, undo);
        connect(m_renamer.data(), &BulkSorter::closed, this, &OrvellaApp::fileRenamerClosed);
        m_renamer->Form_Load();
        centreOnScreen(*m_renamer);
    }
    m_renamer->show();
    m_renamer->activateWindow();
    return *m_renamer;
}

void OrvellaApp::fileRenamerClosed()
{
    // The window is closing from inside its own handler: it goes once that handler is done.
    if (m_renamer) {
        m_renamer->deleteLater();
        m_renamer = nullptr;
    }
    openMainWindow();
}

} // namespace orvella
