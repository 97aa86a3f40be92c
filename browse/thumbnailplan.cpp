#include "browse/thumbnailplan.h"

#include <algorithm>

#include "browse/thumbnailgrid.h"

namespace orvella {

namespace {
constexpr qsizetype Page = ThumbnailGrid::Cells;
}

bool keptWithPage(qsizetype i, qsizetype pageStart, qsizetype count)
{
    const qsizetype from = std::max<qsizetype>(0, std::min(pageStart - Page, count - 3 * Page));
    return i >= from && i < from + 3 * Page;
}

qsizetype distanceFromPage(qsizetype i, qsizetype pageStart)
{
    if (i < pageStart)
        return pageStart - i;
    if (i >= pageStart + Page)
        return i - (pageStart + Page - 1);
    return 0;
}

std::vector<qsizetype> fillOrder(qsizetype count, qsizetype pageStart, int direction, qsizetype capacity)
{
    std::vector<qsizetype> order;
    const qsizetype wanted = std::clamp<qsizetype>(capacity, 0, count);
    order.reserve(size_t(wanted));
    pageStart = std::clamp<qsizetype>(pageStart, 0, std::max<qsizetype>(0, count - 1));
    auto take = [&](qsizetype from, qsizetype to) { // [from, to) in list order, clipped
        for (qsizetype i = std::max<qsizetype>(from, 0); i < std::min(to, count) && qsizetype(order.size()) < wanted;
             ++i)
            order.push_back(i);
    };
    auto takeBack = [&](qsizetype from, qsizetype to) { // [from, to) nearest the page first
        for (qsizetype i = std::min(to, count) - 1;
             i >= std::max<qsizetype>(from, 0) && qsizetype(order.size()) < wanted; --i)
            order.push_back(i);
    };
    take(pageStart, pageStart + Page);
    // Outward a page at a time, the way the user is going first.
    const qsizetype pages = count / Page + 2;
    for (qsizetype d = 1; d <= pages && qsizetype(order.size()) < wanted; ++d) {
        const qsizetype after = pageStart + d * Page;
        const qsizetype before = pageStart - d * Page;
        if (direction < 0) {
            takeBack(before, before + Page);
            take(after, after + Page);
        } else {
            take(after, after + Page);
            takeBack(before, before + Page);
        }
    }
    return order;
}

qsizetype thumbnailCapacity(qint64 budgetBytes, int coverWidth, int coverHeight)
{
    const qint64 each = std::max<qint64>(1, qint64(std::max(coverWidth, 1)) * std::max(coverHeight, 1) * 4);
    return std::max<qsizetype>(3 * Page, qsizetype(budgetBytes / each));
}

} // namespace orvella
