#pragma once

#include <list>
#include <mutex>
#include <optional>

#include <QHash>
#include <QImage>
#include <QSize>

#include "platform/fileidentity.h"

namespace orvella {

// The thumbnails made this run, each kept under the identity of the file it was made from and the
// cell size it was made for, so a file keeps its thumbnail whatever its name or place in a list,
// and a changed file (another size or time) is never shown with its old picture. One budget of
// bytes covers them all: those held for the grid's slots stay, the others go least recently used
// first. Safe to use from several threads.
class ThumbnailCache final {
public:
    static constexpr qint64 DefaultBudget = 96LL * 1024 * 1024;

    explicit ThumbnailCache(qint64 budgetBytes = DefaultBudget);

    qint64 budget() const { return m_budget; }
    void setBudget(qint64 bytes);

    // The thumbnail kept for the file at cover size, or nothing. What is found is held for the
    // slot about to take it, until release.
    std::optional<QImage> find(const FileIdentity &file, QSize cover);
    // Keeps a thumbnail, held as one found; a null image or an invalid identity is not kept.
    void insert(const FileIdentity &file, QSize cover, const QImage &image);
    // A slot no longer holds the entry (held entries are never evicted).
    void release(const FileIdentity &file, QSize cover);
    // No slot holds anything any more (a new list).
    void releaseAll();
    void clear();

    qsizetype count() const;
    qint64 bytes() const;
    qint64 heldBytes() const;

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
        int holds = 0; // slots holding it, or about to
    };
    using Lru = std::list<Entry>; // most recently used first

    void evict();

    mutable std::mutex m_mutex;
    qint64 m_budget;
    qint64 m_bytes = 0;
    qint64 m_heldBytes = 0;
    Lru m_entries;
    QHash<Key, Lru::iterator> m_index;
};

} // namespace orvella
