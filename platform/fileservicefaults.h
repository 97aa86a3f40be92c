#pragma once

#include <functional>

namespace orvella {

// Failures and pauses a test injects into the file services, to reach the ways that real file
// systems and crashes take rarely. Everything is off by default.
// SourceGoneAtRemoval: another program removes the source just as the move would, and the removal
// reports a failure.
enum class CrossVolumeFault { None, AfterCopy, BeforeRemovingSource, SourceGoneAtRemoval };
// Where the file services call FileServiceFaults::pause:
// MidCopy: after the first part of a copy is written;
// LastResortRename: just before the last-resort rename gives a file its final name;
// SourceChecked: a move has looked at its source by name and is about to open it;
// CopyNamed: a copy across volumes has its final name and the source is about to go;
// TrashChecked: the trash's folders are open and checked, and nothing is in them yet;
// FolderCleaned: a folder is searched for unfinished copies.
enum class FaultPoint { MidCopy, LastResortRename, SourceChecked, CopyNamed, TrashChecked, FolderCleaned };
struct FileServiceFaults {
    // Copy across volumes even on one volume, so tests reach that way without a second volume.
    bool forceCrossVolume = false;
    // Behave as on a file system without an atomic no-replace rename.
    bool noAtomicRename = false;
    // Hard links fail with this error number (0: they work as the file system says).
    int linkError = 0;
    // Behave as on a file system without unnamed files (FAT, exFAT): copies are written under a
    // name of their own.
    bool noUnnamedFile = false;
    // Flushing a folder fails with this error number (0: it works).
    int folderSyncError = 0;
    CrossVolumeFault crossVolume = CrossVolumeFault::None;
    std::function<void(FaultPoint)> pause = nullptr;
};

// The faults the file services act on: none in the program, where this stays null; a test points
// it at a record of its own.
inline const FileServiceFaults *injectedFaults = nullptr;

} // namespace orvella
