#include "ops/refreshhold.h"

namespace kestrel {

TRefreshHolds &TRefreshHolds::Instance()
{
    static TRefreshHolds holds;
    return holds;
}

TRefreshHold::TRefreshHold()
{
    ++TRefreshHolds::Instance().count;
}

TRefreshHold::~TRefreshHold()
{
    TRefreshHolds &holds = TRefreshHolds::Instance();
    if (--holds.count == 0)
        Q_EMIT holds.Released();
}

} // namespace kestrel
