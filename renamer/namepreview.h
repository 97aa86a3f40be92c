#pragma once

#include <QString>

namespace orvella {

class BulkSorter;

// The renamer's "Preview": lists the name each selected file would get, touching no file; and
// the extension rule the rename shares with it.
class NamePreview final {
public:
    explicit NamePreview(BulkSorter &w)
        : m_w(w)
    {
    }

    void Command3_Click();
    // The extension of the entry at FileIndex, into Extension.
    void ExtractExtension();

private:
    BulkSorter &m_w;
};

} // namespace orvella
