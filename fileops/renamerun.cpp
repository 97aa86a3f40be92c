#include "fileops/renamerun.h"

#include <limits>

#include "fileops/namerules.h"
#include "platform/fileservices.h"
#include "platform/paths.h"
#include "ui/filelistbox.h"

namespace orvella {

std::optional<qint32> runCountStart(const QString &text, qsizetype files)
{
    const std::optional<qint32> start = countStart(text);
    // The counter goes one past the last number used, and must still hold that.
    if (!start || qint64(*start) + files > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return start;
}

QString countOutOfRangeText()
{
    return QStringLiteral("The count must be a whole number that leaves room to number every selected file "
                          "(from -2147483648 to 2147483647).");
}

RenameRun::RenameRun(QString folder, QStringList names, QString targetFolder, QString prefix, bool numbered)
    : m_folder(std::move(folder))
    , m_names(std::move(names))
    , m_target(std::move(targetFolder))
    , m_prefix(std::move(prefix))
    , m_numbered(numbered)
{
}

RenameRun RenameRun::ofSelection(const FileListBox &list, QString targetFolder, QString prefix, bool numbered)
{
    return RenameRun(list.Path(), list.selectedNames(), std::move(targetFolder), std::move(prefix), numbered);
}

QString RenameRun::refusal() const
{
    for (const QString &name : m_names) {
        const QString why = newNameRefusal(newName(m_prefix, 0, extensionOf(name), m_numbered));
        if (!why.isEmpty())
            return why;
    }
    return {};
}

RenameOutcome RenameRun::run(qint32 start) const
{
    RenameOutcome out;
    out.nextNumber = start;
    const FileRun run;
    for (const QString &name : m_names) {
        const QString from = joinPath(m_folder, name);
        const QString to = joinPath(m_target, newName(m_prefix, out.nextNumber, extensionOf(name), m_numbered));
        if (const OpResult r = renameNoReplace(from, to); !r) {
            out.result = OpResult::failure(name + QStringLiteral(": ") + r.error);
            return out;
        }
        out.steps.append(UndoStep::moved(from, to));
        ++out.renamed;
        ++out.nextNumber;
    }
    return out;
}

} // namespace orvella
