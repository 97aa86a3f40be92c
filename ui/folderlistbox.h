#pragma once

#include <QListWidget>

#include "platform/result.h"

namespace orvella {

// A folder list in the classic form: the open folder's ancestors from the root down, the open
// folder itself, then its subfolders. A double-click (or Return) opens the entry.
class FolderListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget *parent = nullptr);

    QString Path() const { return m_path; }
    // Opens folder; emits Change when the path differs from the current one. On failure nothing
    // changes and the reason is returned.
    OpResult setPath(const QString &folder);
    // Re-reads the subfolders of the open folder.
    OpResult Refresh();
    // Full path of entry i ("" out of range).
    QString entryPath(int i) const;

signals:
    void Change();
    // The user asked for a folder that cannot be opened.
    void openFailed(const QString &folder, const QString &reason);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill(const QStringList &subfolders);
    void openEntry(QListWidgetItem *item);

    QString m_path;
};

} // namespace orvella
