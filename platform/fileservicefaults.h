#pragma once

#include <functional>

namespace orvella {

// Failures and pauses a test injects into the file services, to reach the ways that real file
// systems and crashes take rarely. Everything is off by default.
// SourceGoneAtRemoval: another program removes the source just as the move would, and the removal
// reports a failure.
enum class CrossVolumeFault { None, AfterCopy, BeforeRemovingSource, SourceGoneAtRemoval };
// Where a move calls FileServiceFaults::pause: after the first part of a copy is written, and just
// before the last-resort rename gives a file its final name.
enum class FaultPoint { MidCopy, LastResortRename };
struct FileServiceFaults {
    // Copy across volumes even on one volume, so tests reach that way without a second volume.
    bool forceCrossVolume = false;
    // Behave as on a file system without an atomic no-replace rename.
    bool noAtomicRename = false;
    // Hard links fail with this error number (0: they work as the file system says).
    int linkError = 0;
    CrossVolumeFault crossVolume = CrossVolumeFault::None;
    std::function<void(FaultPoint)> pause = nullptr;
};

// The faults the file services act on: none in the program, where this stays null; a test points
// it at a record of its own.
inline const FileServiceFaults *injectedFaults = nullptr;

} // namespace orvella
