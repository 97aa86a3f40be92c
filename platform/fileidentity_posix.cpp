#include "platform/fileidentity.h"

#include <sys/stat.h>

#include <QFile>

#include "platform/posixfiles.h"

namespace orvella {

FileIdentity identityOf(const struct stat &st)
{
    FileIdentity id;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + qint64(st.st_mtim.tv_nsec);
    id.valid = true;
    return id;
}

FileIdentity fileIdentity(const QString &path)
{
    struct stat st { };
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0
        || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        return {};
    return identityOf(st);
}

FileIdentity pictureFileIdentity(const QString &path)
{
    struct stat st { };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return identityOf(st);
}

} // namespace orvella
