#include "renamer/namepreview.h"

#include <optional>

#include <QLineEdit>
#include <QListWidget>

#include "fileops/namerules.h"
#include "fileops/renamerun.h"
#include "renamer/bulksorter.h"
#include "ui/busypointer.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"

namespace orvella {

void NamePreview::Command3_Click()
{
    BulkSorter &w = m_w;
    BulkSorterState &s = w.state;
    w.CountSelectedFiles();
    if (s.FilesSelected == 0) {
        s.Reply = dialogs().messageBox(
            QStringLiteral("First select 1 or more files"), MsgExclamation, QStringLiteral("Dunmere"));
        return;
    }
    // A count that cannot number every selected file leaves the last preview as it was.
    const std::optional<qint32> start = runCountStart(w.Text3->text(), s.FilesSelected);
    if (!start) {
        s.Reply = dialogs().messageBox(countOutOfRangeText(), MsgExclamation, QStringLiteral("Dunmere"));
        w.Text3->setFocus();
        return;
    }
    setHourglass();
    w.List1->clear();
    s.NameCounter = *start;
    const QString prefix = w.Text2->text();
    const bool numbered = s.FilesSelected != 1;
    QStringList names;
    names.reserve(s.FilesSelected);
    for (const qsizetype i : w.File1->selectedIndices()) {
        s.FileIndex = int(i);
        ExtractExtension();
        names.append(newName(prefix, s.NameCounter, s.Extension, numbered));
        ++s.NameCounter;
    }
    // In one step: added one at a time, the list lays itself out again after each.
    w.List1->addItems(names);
    w.Text2->setFocus();
    setArrow();
}

void NamePreview::ExtractExtension()
{
    BulkSorterState &s = m_w.state;
    const QString name = m_w.File1->List(s.FileIndex);
    s.Extension = extensionOf(name);
    s.CharIndex = s.Extension.isEmpty() ? 0 : int(name.size() - s.Extension.size()) + 1;
}

} // namespace orvella
