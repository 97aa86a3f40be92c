#pragma once

#include <QString>

#include <optional>

namespace orvella {

class BulkSorter;

// The first number of a run over files files, read from the count-start text: empty when the
// text's value lies outside the signed 32-bit range or the run would number past its top.
std::optional<qint32> runCountStart(const QString &text, int files);
// What the preview says to a count it cannot number the files with.
QString countOutOfRangeText();

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
