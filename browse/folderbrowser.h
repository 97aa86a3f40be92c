#pragma once

#include <QString>

namespace orvella {

class MainWindow;

// Drive and folder navigation of the main window: keeps the file list, the working folder and the
// grid on the folder the folder list shows.
class FolderBrowser final {
public:
    explicit FolderBrowser(MainWindow &w)
        : m_w(w)
    {
    }

    void Dir1_Change();
    void Drive1_Change();
    // The user tried to open a folder that cannot be read.
    void folderOpenFailed(const QString &folder, const QString &reason);

private:
    MainWindow &m_w;
};

} // namespace orvella
