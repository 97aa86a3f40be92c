#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/fileidentity.h"
#include "platform/fileservices.h"

namespace orvella {

// One file an operation changed: where it was, where the operation left it, and what it was
// there right after (a file changed or replaced since is not the one to take back).
struct UndoStep {
    QString before;
    QString after; // for a trashed file, where the trash keeps it
    FileIdentity identity;
    TrashEntry trash; // set for a trashed file only

    // A file renamed or moved from before to after; its identity is read now.
    static UndoStep moved(QString before, QString after);
    // A file sent from before to the trash entry; its identity is read now.
    static UndoStep trashed(QString before, TrashEntry entry);
};

// The last completed operation of the run, which both windows can take back (one level). A new
// operation that changed files replaces it; one that changed nothing leaves it; a delete for
// good clears it, since it cannot be taken back and an older one must not be offered instead.
class UndoJournal final : public QObject {
    Q_OBJECT
public:
    enum class Kind { Rename, Move, RenameAndMove, Delete };

    // Keeps steps, in the order they were done, as the last operation; none: nothing changes.
    void record(Kind kind, QList<UndoStep> steps);
    void clear();
    bool canUndo() const { return !m_steps.isEmpty(); }
    // "rename of 3 pictures", "delete of 1 picture": what undo would take back.
    QString description() const;

    // Asks first; on OK takes the files back in reverse order, each only if it is still what the
    // operation left, never replacing a file, then names in one box those it could not take back
    // and forgets the operation. False when nothing was done (nothing to undo, or Cancel): the
    // window then has nothing to refresh.
    bool undoLast();

signals:
    // The record was replaced, cleared or taken back.
    void changed();

private:
    // Takes the steps back; returns a line per file that could not be, with its reason.
    QStringList takeBack() const;

    Kind m_kind = Kind::Rename;
    QList<UndoStep> m_steps;
};

} // namespace orvella
