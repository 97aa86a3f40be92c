#include "platform/trashentry.h"

namespace orvella {

QByteArray trashEntryName(const QByteArray &name, const QByteArray &tag, int nameMax)
{
    const qsizetype room = nameMax - qsizetype(sizeof(".trashinfo") - 1);
    const QByteArray mark = tag.isEmpty() ? QByteArray() : '.' + tag;
    if (mark.isEmpty() && name.size() <= room)
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    QByteArray extension = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QByteArray();
    QByteArray stem = name.left(name.size() - extension.size());
    qsizetype keep = room - mark.size() - extension.size();
    if (keep < 1) {
        extension.clear();
        stem = name;
        keep = room - mark.size();
    }
    if (keep < stem.size()) {
        // Never cut a character's UTF-8 bytes apart: step back over continuation bytes.
        while (keep > 0 && (uchar(stem.at(keep)) & 0xc0) == 0x80)
            --keep;
        stem.truncate(keep);
    }
    return stem + mark + extension;
}

QByteArray trashInfoText(const QByteArray &path, const QDateTime &deleted)
{
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/")
        + "\nDeletionDate=" + deleted.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() + '\n';
}

} // namespace orvella
