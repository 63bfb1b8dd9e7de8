#pragma once
// Private to platform/: the table that maps HANDLE values to open files and
// running searches. Objects stay alive while a call still uses them, even
// when another thread closes the handle meanwhile.

#include "platform/wintypes.h"

#include <memory>

namespace kestrel::sys {

class HandleObject {
public:
    virtual ~HandleObject() = default;
};

HANDLE AddHandle(std::shared_ptr<HandleObject> object);
std::shared_ptr<HandleObject> TakeHandle(HANDLE handle); // removes it from the table
std::shared_ptr<HandleObject> LookupHandle(HANDLE handle);

// The object behind a handle when it is of type T; null otherwise.
template <class T> std::shared_ptr<T> HandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

} // namespace kestrel::sys
