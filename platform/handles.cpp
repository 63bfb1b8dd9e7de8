#include "platform/handles.h"

#include <mutex>
#include <unordered_map>

namespace kestrel::sys {

namespace {

std::mutex tableMutex;
std::unordered_map<HANDLE, std::shared_ptr<HandleObject>> table;
// Values start high and are never reused, so a stale handle finds nothing.
HANDLE nextHandle = 0x1000;

} // namespace

HANDLE AddHandle(std::shared_ptr<HandleObject> object)
{
    std::lock_guard lock(tableMutex);
    const HANDLE handle = nextHandle++;
    table.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<HandleObject> TakeHandle(HANDLE handle)
{
    std::lock_guard lock(tableMutex);
    const auto it = table.find(handle);
    if (it == table.end())
        return nullptr;
    std::shared_ptr<HandleObject> object = std::move(it->second);
    table.erase(it);
    return object;
}

std::shared_ptr<HandleObject> LookupHandle(HANDLE handle)
{
    std::lock_guard lock(tableMutex);
    const auto it = table.find(handle);
    return it == table.end() ? nullptr : it->second;
}

} // namespace kestrel::sys
