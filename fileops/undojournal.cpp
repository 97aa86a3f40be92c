#include "fileops/undojournal.h"

#include "ui/busypointer.h"
#include "ui/dialogservice.h"

namespace orvella {

UndoStep UndoStep::moved(QString before, QString after)
{
    UndoStep step {std::move(before), std::move(after), {}, {}};
    step.identity = fileIdentity(step.after);
    return step;
}

UndoStep UndoStep::trashed(QString before, TrashEntry entry)
{
    UndoStep step {std::move(before), entry.file, fileIdentity(entry.file), std::move(entry)};
    return step;
}

void UndoJournal::record(Kind kind, QList<UndoStep> steps)
{
    if (steps.isEmpty())
        return;
    m_kind = kind;
    m_steps = std::move(steps);
    emit changed();
}

void UndoJournal::clear()
{
    if (m_steps.isEmpty())
        return;
    m_steps.clear();
    emit changed();
}

QString UndoJournal::description() const
{
    const char *what = m_kind == Kind::Rename ? "rename"
        : m_kind == Kind::Move                ? "move"
        : m_kind == Kind::RenameAndMove       ? "rename and move"
                                              : "delete";
    const qsizetype n = m_steps.size();
    return QStringLiteral("%1 of %2 %3")
        .arg(QLatin1String(what), QString::number(n), n == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"));
}

bool UndoJournal::undoLast()
{
    if (!canUndo())
        return false;
    const int reply = dialogs().messageBox(
        QStringLiteral("Undo the last %1 ?").arg(description()), MsgOkCancelQuestion, QStringLiteral("Dunmere"));
    if (reply == AnswerCancel)
        return false;
    setHourglass();
    const QStringList notBack = takeBack();
    // What could not be taken back stays where it is; the user is told, and it is not offered
    // again.
    m_steps.clear();
    emit changed();
    setArrow();
    if (!notBack.isEmpty())
        dialogs().messageBox(QStringLiteral("These files could not be taken back:\n") + notBack.join(u'\n'), MsgOkOnly);
    return true;
}

QStringList UndoJournal::takeBack() const
{
    QStringList notBack;
    const FileRun run;
    // Last step first: a file may have taken a name that an earlier step freed.
    for (auto step = m_steps.crbegin(); step != m_steps.crend(); ++step) {
        const bool inTrash = !step->trash.file.isEmpty();
        // A trashed file is named where the user knew it; a renamed or moved one where it is now.
        const QString shown = inTrash ? step->before : step->after;
        const FileIdentity now = fileIdentity(step->after);
        QString why;
        if (!now.valid)
            why = inTrash ? QStringLiteral("is no longer in the trash") : QStringLiteral("is no longer there");
        else if (now != step->identity)
            why = QStringLiteral("has been changed since; it stays as it is");
        else if (const OpResult r
                 = inTrash ? restoreFromTrash(step->trash, step->before) : renameNoReplace(step->after, step->before);
                 !r)
            why = r.error;
        if (!why.isEmpty())
            notBack.append(shown + QStringLiteral(": ") + why);
    }
    return notBack;
}

} // namespace orvella
