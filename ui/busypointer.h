#pragma once

namespace orvella {

// The program-wide mouse pointer: the hourglass while a long step runs, the arrow after it.
void setHourglass();
// Restores the normal pointer, however many times the hourglass was set.
void setArrow();
bool isHourglass();

} // namespace orvella
