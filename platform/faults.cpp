#include "platform/faults.h"

#include <atomic>
#include <mutex>

namespace kestrel::sys {

namespace {

struct Fault {
    int remaining = 0; // calls until the failing one; 0 = not armed
    DWORD code = 0;
};

constexpr int opCount = 6;

std::mutex faultMutex;
Fault faults[opCount];
// Lets the file calls skip the lock while nothing is armed (the normal case).
std::atomic<bool> anyArmed{false};

void UpdateArmed()
{
    bool armed = false;
    for (const Fault &f : faults)
        armed = armed || f.remaining > 0;
    anyArmed.store(armed, std::memory_order_release);
}

} // namespace

void InjectFault(FaultOp op, int nth, DWORD code)
{
    std::lock_guard lock(faultMutex);
    faults[int(op)] = Fault{nth > 0 ? nth : 0, code};
    UpdateArmed();
}

void ClearFaults()
{
    std::lock_guard lock(faultMutex);
    for (Fault &f : faults)
        f = Fault{};
    UpdateArmed();
}

bool FaultDue(FaultOp op, DWORD &code)
{
    if (!anyArmed.load(std::memory_order_acquire))
        return false;
    std::lock_guard lock(faultMutex);
    Fault &f = faults[int(op)];
    if (f.remaining == 0 || --f.remaining > 0)
        return false;
    code = f.code;
    UpdateArmed();
    return true;
}

bool FaultArmed(FaultOp op)
{
    if (!anyArmed.load(std::memory_order_acquire))
        return false;
    std::lock_guard lock(faultMutex);
    return faults[int(op)].remaining > 0;
}

} // namespace kestrel::sys
