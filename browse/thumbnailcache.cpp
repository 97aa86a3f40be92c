#include "browse/thumbnailcache.h"

#include <algorithm>

namespace orvella {

namespace {

// What an entry costs: its pixels, and a little for an entry without any.
qint64 costOf(const QImage &image)
{
    return std::max<qint64>(64, image.sizeInBytes());
}

} // namespace

ThumbnailCache::ThumbnailCache(qint64 budgetBytes)
    : m_budget(std::max<qint64>(0, budgetBytes))
{
}

void ThumbnailCache::setBudget(qint64 bytes)
{
    m_budget = std::max<qint64>(0, bytes);
    evict();
}

void ThumbnailCache::beginLoad()
{
    for (Entry &e : m_entries) {
        if (e.current) {
            e.current = false;
            m_otherBytes += e.bytes;
        }
    }
    // No eviction here: the new load finds its thumbnails first, and only what it does not find
    // is evicted for.
}

std::optional<QImage> ThumbnailCache::find(const FileIdentity &file, QSize cover)
{
    if (!file.valid)
        return std::nullopt;
    const auto it = m_index.constFind(Key {file, cover});
    if (it == m_index.cend())
        return std::nullopt;
    Lru::iterator e = it.value();
    m_entries.splice(m_entries.begin(), m_entries, e);
    if (!e->current) {
        e->current = true;
        m_otherBytes -= e->bytes;
    }
    return e->image;
}

void ThumbnailCache::insert(const FileIdentity &file, QSize cover, const QImage &image)
{
    if (!file.valid)
        return;
    const Key key {file, cover};
    if (const auto it = m_index.constFind(key); it != m_index.cend()) {
        Lru::iterator old = it.value();
        if (!old->current)
            m_otherBytes -= old->bytes;
        m_entries.erase(old);
    }
    m_entries.push_front(Entry {key, image, costOf(image), true});
    m_index.insert(key, m_entries.begin());
    evict();
}

void ThumbnailCache::clear()
{
    m_entries.clear();
    m_index.clear();
    m_otherBytes = 0;
}

void ThumbnailCache::evict()
{
    for (auto it = m_entries.end(); m_otherBytes > m_budget && it != m_entries.begin();) {
        --it;
        if (it->current)
            continue;
        m_otherBytes -= it->bytes;
        m_index.remove(it->key);
        it = m_entries.erase(it);
    }
}

} // namespace orvella
