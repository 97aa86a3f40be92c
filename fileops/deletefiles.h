#pragma once

#include <QString>

namespace orvella {

class MainWindow;

// Deletes the selected pictures, to the trash or for good as the delete setting says.
class DeleteFiles final {
public:
    explicit DeleteFiles(MainWindow &w)
        : m_w(w)
    {
    }

    void DeleteSelectedFiles();

    int Reply = 0;
    qsizetype FileIndex = 0;
    QString SourcePath;

private:
    MainWindow &m_w;
};

} // namespace orvella
