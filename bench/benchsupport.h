#pragma once

#include <functional>

#include <QImage>
#include <QSize>
#include <QStringList>

namespace orvella::bench {

// A picture with photographic detail: gradients, shapes and grain, so it compresses and decodes
// like a photo rather than like a flat colour.
QImage photoLike(int n, QSize size);

// Seconds a loop of `djpeg -scale 1/8` takes over files on one core (taskset), or -1 when djpeg
// is missing or fails; cpu, when given, receives the loop's CPU time (user and system).
double djpegLoopSeconds(const QStringList &files, double *cpu = nullptr);

// Peak resident memory (VmHWM) of this process, in MB, or -1.
qint64 peakResidentMb();
// Current resident memory (VmRSS), in MB, or -1.
qint64 residentMb();
// Lets the next peakResidentMb() measure from now on (Linux: writing 5 to clear_refs resets the
// peak to the current resident size).
bool resetPeakResident();

// CPU time of the whole process (every thread), user and system, from getrusage.
double cpuSeconds();

// Runs the event loop until done() holds, checked whenever the loop has handled events and at
// least every 5 ms; false when timeoutSeconds passed first.
bool waitUntil(const std::function<bool()> &done, double timeoutSeconds);

// The machine's load averages, as /proc/loadavg gives them.
QString loadAverage();

} // namespace orvella::bench
