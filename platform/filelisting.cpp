#include "platform/filelisting.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/fileservices.h"

namespace orvella {

namespace {

QList<QRegularExpression> compile(const QString &pattern)
{
    QList<QRegularExpression> out;
    for (const QString &part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString glob = part.trimmed();
        if (glob.isEmpty())
            continue;
        out.append(QRegularExpression(
            QRegularExpression::wildcardToRegularExpression(glob, QRegularExpression::UnanchoredWildcardConversion),
            QRegularExpression::CaseInsensitiveOption));
    }
    return out;
}

bool matchesAny(const QList<QRegularExpression> &globs, const QString &name)
{
    return std::any_of(globs.begin(), globs.end(), [&](const QRegularExpression &re) {
        const auto m = re.match(name);
        return m.hasMatch() && m.capturedStart() == 0 && m.capturedLength() == name.size();
    });
}

Listing list(const QString &folder, QDir::Filters filters)
{
    Listing out;
    out.result = checkFolderReadable(folder);
    if (!out.result)
        return out;
    QDir dir(QDir::fromNativeSeparators(folder));
    // Hidden and system entries stay out: neither QDir::Hidden nor QDir::System is asked for.
    out.names = dir.entryList(filters | QDir::NoDotAndDotDot, QDir::NoSort);
    sortNames(out.names);
    return out;
}

} // namespace

bool matchesPattern(const QString &name, const QString &pattern)
{
    return matchesAny(compile(pattern), name);
}

void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
}

Listing listFiles(const QString &folder, const QString &pattern)
{
    Listing all = list(folder, QDir::Files);
    if (!all.result)
        return all;
    const auto globs = compile(pattern);
    QStringList kept;
    kept.reserve(all.names.size());
    for (const QString &n : std::as_const(all.names))
        if (matchesAny(globs, n))
            kept.append(n);
    all.names = std::move(kept);
    return all;
}

Listing listSubfolders(const QString &folder)
{
    Listing all = list(folder, QDir::Dirs);
    // The toolkit also puts a link to a pipe or a device among the folders.
    const QDir dir(QDir::fromNativeSeparators(folder));
    all.names.removeIf([&dir](const QString &name) { return !QFileInfo(dir, name).isDir(); });
    return all;
}

} // namespace orvella
