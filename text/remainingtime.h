#pragma once
// The remaining-time estimate of a progress bar: what is left divided by the
// rate measured over the last tick period. Pure arithmetic, fed with the
// tick count and the progress, so it is tested without a clock.

#include <QString>
#include <QtGlobal>

namespace kestrel {

class TRemainingTime {
public:
    // A new run: progress 0 at the given tick count (milliseconds).
    void Start(qint64 nowMs);
    // One tick. Returns true when a new estimate was formed; then
    // RemainSeconds() holds it. No progress or no time since the previous
    // tick forms no estimate. Once the estimate falls below 3 seconds the
    // run is finished and later ticks are ignored.
    bool Tick(qint64 nowMs, quint64 progress, quint64 maxValue);
    int RemainSeconds() const { return remainSeconds; }
    bool Finished() const { return finished; }

private:
    qint64 lastTick = 0;
    quint64 lastProgress = 0;
    int remainSeconds = -1;
    bool finished = false;
};

// "%d Minutes Remaining" ("1 Minute Remaining"; rounded: 31 seconds and more count as a minute),
// "%d Seconds Remaining", or "" below 3 seconds and for no estimate (-1).
QString RemainingText(int seconds);

} // namespace kestrel
