#include "text/remainingtime.h"

#include <cmath>
#include <limits>

namespace kestrel {

void TRemainingTime::Start(qint64 nowMs)
{
    lastTick = nowMs;
    lastProgress = 0;
    remainSeconds = -1;
    finished = false;
}

bool TRemainingTime::Tick(qint64 nowMs, quint64 progress, quint64 maxValue)
{
    if (finished)
        return false;
    const qint64 elapsed = nowMs - lastTick;
    // A bar that went back (a new file in count mode never does, but a reset
    // could) gives no rate rather than a huge unsigned difference.
    const quint64 done = progress > lastProgress ? progress - lastProgress : 0;
    lastTick = nowMs;
    lastProgress = progress;
    if (elapsed <= 0 || done == 0)
        return false;
    const quint64 left = maxValue > progress ? maxValue - progress : 0;
    const double seconds = double(left) * double(elapsed) / (double(done) * 1000.0);
    const double cap = double(std::numeric_limits<int>::max());
    remainSeconds = seconds >= cap ? std::numeric_limits<int>::max() : int(std::trunc(seconds));
    finished = remainSeconds < 3;
    return true;
}

QString RemainingText(int seconds)
{
    if (seconds < 3)
        return QString();
    if (seconds >= 60) {
        const int minutes = seconds / 60 + (seconds % 60 >= 31 ? 1 : 0);
        return (minutes == 1 ? QStringLiteral("%1 Minute Remaining")
                             : QStringLiteral("%1 Minutes Remaining"))
            .arg(minutes);
    }
    return QStringLiteral("%1 Seconds Remaining").arg(seconds);
}

} // namespace kestrel
