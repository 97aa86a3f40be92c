#pragma once

#include <vector>

#include <QtGlobal>

namespace orvella {

// Which thumbnails a fill makes, and in which order: the rules in one place.

// Three pages' entries of a list of count are kept whatever the budget: the page that starts at
// pageStart and those next to it (the next two at the start of the list, the last three at its
// end), which a user looks at now or a key press away.
bool keptWithPage(qsizetype i, qsizetype pageStart, qsizetype count);

// How far entry i lies from the page that starts at pageStart, in entries (0 on the page).
qsizetype distanceFromPage(qsizetype i, qsizetype pageStart);

// The order in which a fill makes the thumbnails of a list of count entries while the page at
// pageStart is shown: that page in cell order, then the pages next to it (the one in direction,
// +1 forward or -1 back, first), then the rest of the list, nearest first. At most capacity
// entries: the ones after them would not fit the memory budget.
std::vector<qsizetype> fillOrder(qsizetype count, qsizetype pageStart, int direction, qsizetype capacity);

// How many thumbnails of cover device pixels fit budget bytes, never fewer than three pages.
qsizetype thumbnailCapacity(qint64 budgetBytes, int coverWidth, int coverHeight);

} // namespace orvella
