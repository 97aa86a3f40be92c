#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>

#include "browse/thumbnailcache.h"
#include "fileops/undojournal.h"
#include "platform/singleinstance.h"
#include "settings/browsersettings.h"

namespace orvella {

class About;
class BigPicture;
class BulkSorter;
class MainWindow;
class Options;

// The program itself: what outlives any one window (the run's settings, the single-instance
// guard, the web addresses) and the creation of the main window, afresh each time it opens.
class OrvellaApp final : public QObject {
    Q_OBJECT
public:
    static QString defaultAdvertAddress() { return QStringLiteral("https://www.orvella.example/banner.html"); }
    static QString defaultHomeAddress() { return QStringLiteral("https://www.orvella.example/"); }

    explicit OrvellaApp(QString instanceKey = QStringLiteral("orvella"), QObject *parent = nullptr);
    ~OrvellaApp() override;

    // Creates the main window and runs its start-up; shows it unless the program must end, in
    // which case it returns false and no window stays.
    bool openMainWindow();
    MainWindow *mainWindow() const;
    // Closes the main window (its records go with it; the settings stay).
    void closeMainWindow();

    // The batch renamer window while it is open, else null.
    BulkSorter *fileRenamer() const;
    // Opens the renamer (unless it is open already) and shows it.
    BulkSorter &showFileRenamer();
    // The renamer has closed: it is discarded and the main window comes back, created afresh.
    void fileRenamerClosed();

    // The smaller windows: each exists once, is created on first use and kept for the run, so
    // it outlives any one main window.
    Options &options();
    About &about();
    BigPicture &bigPicture();

    // Opens the home page in the desktop's browser; a browser that cannot be started is reported
    // and the program goes on.
    void openHomePage();

    BrowserSettings settings;
    SingleInstanceGuard guard;
    // The run's thumbnails: a folder seen before, or a reload after a file operation, decodes only
    // the files it has not seen as they are now. It outlives the main window, which is re-created.
    ThumbnailCache thumbnails;
    // The run's last file operation, which either window can take back.
    UndoJournal undo;
    QString advertAddress = defaultAdvertAddress();
    QString homeAddress = defaultHomeAddress();
    // Starts the browser on an address; false when none could be started.
    std::function<bool(const QString &)> startBrowser;

private:
    // Tells the smaller windows which main window they work for (null: none).
    void mainWindowChanged();

    QPointer<MainWindow> m_main;
    QPointer<MainWindow> m_closedMain;
    QPointer<BulkSorter> m_renamer;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<About> m_about;
    std::unique_ptr<BigPicture> m_bigPicture;
};

} // namespace orvella
