#pragma once

#include <QDir>
#include <QListWidget>

#include "platform/filelisting.h"
#include "renamer/bulksorter.h"
#include "tests/testsupport.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

namespace orvella::test {

// Opens the renamer (without the main window) and shows folder in it, as the user would by
// opening the folder in its folder list.
inline BulkSorter &renamerOn(TestEnv &env, const QString &folder)
{
    BulkSorter &r = env.app().showFileRenamer();
    const OpResult opened = r.Dir1->setPath(folder);
    if (!opened)
        qFatal("cannot open %s: %s", qPrintable(folder), qPrintable(opened.error));
    return r;
}

// Selects exactly the entries of the renamer's file list that are named.
inline void selectNames(BulkSorter &r, const QStringList &names)
{
    for (int i = 0; i < r.File1->ListCount(); ++i)
        r.File1->setSelected(i, names.contains(r.File1->List(i)));
}

inline QStringList entriesOf(const FileListBox &list)
{
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.append(list.List(i));
    return out;
}

inline QStringList selectedOf(const FileListBox &list)
{
    QStringList out;
    for (int i = 0; i < list.ListCount(); ++i)
        if (list.Selected(i))
            out.append(list.List(i));
    return out;
}

inline QStringList linesOf(const QListWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.item(i)->text());
    return out;
}

// The files of folder (hidden ones too) in the order the file list shows them.
inline QStringList namesIn(const QString &folder)
{
    QStringList names = filesIn(folder);
    sortNames(names);
    return names;
}

// Writes one file per name, each holding its own name, so a renamed file can be traced.
inline void writeNamedFiles(const QString &folder, const QStringList &names)
{
    for (const QString &n : names)
        writeFile(QDir(folder).filePath(n), n.toUtf8());
}

} // namespace orvella::test
