#pragma once

#include <list>
#include <optional>

#include <QHash>
#include <QImage>
#include <QSize>

#include "platform/fileidentity.h"

namespace orvella {

// The thumbnails made this run, each kept under the identity of its file and the cell size it was
// made for, so a file keeps its thumbnail whatever its name or place in a list, and a changed file
// (another size or time) is never shown with its old picture. The thumbnails of the current load
// are always kept; the others fill a budget of bytes, least recently used first out.
class ThumbnailCache final {
public:
    static constexpr qint64 DefaultBudget = 200LL * 1024 * 1024;

    explicit ThumbnailCache(qint64 budgetBytes = DefaultBudget);

    qint64 budget() const { return m_budget; }
    void setBudget(qint64 bytes);

    // A load starts: what the last one kept becomes one of the others.
    void beginLoad();
    // The thumbnail kept for the file at cover size (a null image for a file that could not be
    // decoded), or nothing. What is found belongs to the current load.
    std::optional<QImage> find(const FileIdentity &file, QSize cover);
    // Keeps a thumbnail of the current load; an invalid identity is not kept.
    void insert(const FileIdentity &file, QSize cover, const QImage &image);
    void clear();

    qsizetype count() const { return qsizetype(m_entries.size()); }
    // Bytes held for thumbnails outside the current load: never more than the budget once an
    // insert or setBudget has returned.
    qint64 otherBytes() const { return m_otherBytes; }

private:
    struct Key {
        FileIdentity file;
        QSize cover;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &k, size_t seed = 0)
        {
            return qHashMulti(seed, k.file, k.cover.width(), k.cover.height());
        }
    };
    struct Entry {
        Key key;
        QImage image;
        qint64 bytes = 0;
        bool current = false;
    };
    using Lru = std::list<Entry>; // most recently used first

    void evict();

    qint64 m_budget;
    qint64 m_otherBytes = 0;
    Lru m_entries;
    QHash<Key, Lru::iterator> m_index;
};

} // namespace orvella
