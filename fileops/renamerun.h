#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "fileops/undojournal.h"
#include "platform/result.h"

namespace orvella {

class FileListBox;

// The first number of a run over files files, read from the count-start text: empty when the
// text's value lies outside the signed 32-bit range or the run would number past its top.
std::optional<qint32> runCountStart(const QString &text, qsizetype files);
// What the windows say to a count they cannot number the files with.
QString countOutOfRangeText();

// What a rename run did.
struct RenameOutcome {
    qsizetype renamed = 0; // files that got their new names: the first ones of the run
    OpResult result; // the failure that stopped the run, after the failing file's name
    qint64 nextNumber = 0; // the number the next file would have got
    QList<UndoStep> steps; // the renames done, in order, to take back
};

// One rename run, the same for the main window's rename and the renamer's: every file, in list
// order, gets the prefix, its number when the run is numbered, and its own extension, in the
// target folder; the counter steps once a file. A rename never replaces a file, and the run
// stops at the first failure: the files before it keep their new names, the others their old
// ones. The windows ask their own questions and show their own messages.
class RenameRun final {
public:
    // The files names of folder, in this order, into targetFolder (folder itself for a rename in
    // place).
    RenameRun(QString folder, QStringList names, QString targetFolder, QString prefix, bool numbered);
    // The selected entries of list, in list order, as the list holds them now.
    static RenameRun ofSelection(const FileListBox &list, QString targetFolder, QString prefix, bool numbered);

    qsizetype files() const { return m_names.size(); }
    // Why the new names must not be used (the first refusal in list order), or "" when they may.
    // The number never makes a name unusable; the prefix and an extension can.
    QString refusal() const;
    // The first number, read from the count-start text; empty when it cannot number every file.
    std::optional<qint32> countStart(const QString &text) const { return runCountStart(text, files()); }
    // Renames the files from number start on.
    RenameOutcome run(qint32 start) const;

private:
    QString m_folder;
    QStringList m_names;
    QString m_target;
    QString m_prefix;
    bool m_numbered;
};

} // namespace orvella
