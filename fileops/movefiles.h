#pragma once

#include "platform/result.h"

#include <QString>

namespace orvella {

class MainWindow;

// Moves the selected pictures, under their own names, into the destination folder; and the
// refresh every file operation ends with.
class MoveFiles final {
public:
    explicit MoveFiles(MainWindow &w)
        : m_w(w)
    {
    }

    void MoveSelectedFiles();
    // Brings the list, the selection marks and the grid back in line with the folder. Fails only
    // when the folder can no longer be read.
    OpResult RefreshAfterFileOperation();

    int Reply = 0;
    qsizetype MovedCount = 0;
    qsizetype FileIndex = 0;
    QString SourcePath;
    QString DestinationPath;

private:
    MainWindow &m_w;
};

} // namespace orvella
