#include "browse/thumbnailcache.h"

#include <algorithm>

namespace orvella {

ThumbnailCache::ThumbnailCache(qint64 budgetBytes)
    : m_budget(std::max<qint64>(0, budgetBytes))
{
}

void ThumbnailCache::setBudget(qint64 bytes)
{
    std::lock_guard lock(m_mutex);
    m_budget = std::max<qint64>(0, bytes);
    evict();
}

std::optional<QImage> ThumbnailCache::find(const FileIdentity &file, QSize cover)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_index.constFind(Key {file, cover});
    if (it == m_index.cend())
        return std::nullopt;
    Entry &e = *it.value();
    m_entries.splice(m_entries.begin(), m_entries, it.value());
    if (e.holds++ == 0)
        m_heldBytes += e.bytes;
    return e.image;
}

void ThumbnailCache::insert(const FileIdentity &file, QSize cover, const QImage &image)
{
    if (!file.valid || image.isNull())
        return;
    std::lock_guard lock(m_mutex);
    const Key key {file, cover};
    int holds = 0;
    if (const auto it = m_index.constFind(key); it != m_index.cend()) {
        holds = it.value()->holds;
        m_bytes -= it.value()->bytes;
        if (holds > 0)
            m_heldBytes -= it.value()->bytes;
        m_entries.erase(it.value());
    }
    const qint64 bytes = image.sizeInBytes();
    m_entries.push_front(Entry {key, image, bytes, holds + 1});
    m_index.insert(key, m_entries.begin());
    m_bytes += bytes;
    m_heldBytes += bytes;
    evict();
}

void ThumbnailCache::release(const FileIdentity &file, QSize cover)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_index.constFind(Key {file, cover});
    if (it == m_index.cend() || it.value()->holds == 0)
        return;
    if (--it.value()->holds == 0) {
        m_heldBytes -= it.value()->bytes;
        evict();
    }
}

void ThumbnailCache::releaseAll()
{
    std::lock_guard lock(m_mutex);
    for (Entry &e : m_entries)
        e.holds = 0;
    m_heldBytes = 0;
    evict();
}

void ThumbnailCache::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_index.clear();
    m_bytes = 0;
    m_heldBytes = 0;
}

qsizetype ThumbnailCache::count() const
{
    std::lock_guard lock(m_mutex);
    return qsizetype(m_entries.size());
}

qint64 ThumbnailCache::bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

qint64 ThumbnailCache::heldBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_heldBytes;
}

void ThumbnailCache::evict()
{
    for (auto it = m_entries.end(); m_bytes > m_budget && it != m_entries.begin();) {
        --it;
        if (it->holds > 0)
            continue;
        m_bytes -= it->bytes;
        m_index.remove(it->key);
        it = m_entries.erase(it);
    }
}

} // namespace orvella
