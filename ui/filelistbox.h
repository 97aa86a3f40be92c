#pragma once

#include <utility>
#include <vector>

#include <QListWidget>

#include "platform/result.h"

namespace orvella {

// The list of a folder's files by pattern: the one list every file operation addresses files by.
// A click on an entry toggles its selected flag.
class FileListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString Path() const { return m_path; }
    // Points the list at folder and re-reads it; on failure the list keeps its folder and entries.
    OpResult setPath(const QString &folder);
    QString Pattern() const { return m_pattern; }
    // Sets the ";"-separated wildcards and re-reads the folder.
    OpResult setPattern(const QString &pattern);
    // Re-reads the folder with the current pattern; no entry is selected afterwards.
    OpResult Refresh();

    int ListCount() const { return count(); }
    // Name of entry i without the folder; "" at or beyond the end.
    QString List(qsizetype i) const;
    bool Selected(qsizetype i) const;
    void setSelected(qsizetype i, bool selected);
    // Selects or deselects entries from..to (both included, either order, clipped to the list) in
    // one step: the cost does not grow with the entries, nor with the selection there is already.
    void setRangeSelected(qsizetype from, qsizetype to, bool selected);
    // The same for several ranges at once (first, last), each in list order.
    void setRangesSelected(const QList<std::pair<qsizetype, qsizetype>> &ranges, bool selected);
    void setAllSelected(bool selected);
    // The selected entries, in list order: their indices, or their names; and how many there are.
    QList<qsizetype> selectedIndices() const;
    QStringList selectedNames() const;
    qsizetype selectedCount() const;
    // Name of the entry that has the focus ("" when none).
    QString currentName() const;

signals:
    void mouseUp();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    OpResult reread(const QString &folder);
    // One flag per entry, 1 where it is selected, read from the selection's ranges.
    std::vector<char> selectedFlags() const;

    QString m_path;
    QString m_pattern = QStringLiteral("*");
};

} // namespace orvella
