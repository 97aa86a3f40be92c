#pragma once

namespace orvella {

class BulkSorter;

// The renamer's "Rename" and "Delete": rename the selected files to the prefix and a running
// number in their own folder, never replacing a file, or delete them as the run's settings say.
class RenameExecution final {
public:
    explicit RenameExecution(BulkSorter &w)
        : m_w(w)
    {
    }

    void Command4_Click();
    void Command5_Click();
    // Ctrl+Z: takes back the run's last file operation, then shows the folder anew.
    void Undo();

private:
    // A run that stopped part-way: files renamed so far keep their new names.
    void renameFailed();
    // Shows the folder anew, with no entry selected.
    void rereadFolder();

    BulkSorter &m_w;
};

} // namespace orvella
