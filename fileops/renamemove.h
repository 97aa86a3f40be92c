#pragma once

#include <QString>

namespace orvella {

class MainWindow;

// Renames the selected pictures to a prefix and a running number, and moves them in the same
// step when "Move Pictures" is ticked.
class RenameMove final {
public:
    explicit RenameMove(MainWindow &w)
        : m_w(w)
    {
    }

    void RenameSelectedFiles();
    void FindExtension();

    QString OperationWord;
    int Reply = 0;
    qint64 NameCounter = 0;
    QString TargetFolder;
    QString OldPath;
    QString Extension;
    qsizetype FileIndex = 0;

private:
    // Shows why the run cannot start, or returns false when it may.
    bool refusedBeforeStart();
    // Re-reads the list after a failed run and shows it from its first page.
    void showListAgain();
    void failurePath();

    MainWindow &m_w;
};

// The message shown when "Move Pictures" is ticked but no folder was chosen.
QString noDestinationMessage();

} // namespace orvella
