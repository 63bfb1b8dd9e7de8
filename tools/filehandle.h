#pragma once
// An open file of the platform layer, closed when it goes out of scope.

#include "platform/fileapi.h"

namespace kestrel {

class TFileHandle {
public:
    explicit TFileHandle(sys::HANDLE handle = sys::INVALID_HANDLE_VALUE) : handle(handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;

    bool Valid() const { return handle != sys::INVALID_HANDLE_VALUE; }
    sys::HANDLE Get() const { return handle; }
    void Reset(sys::HANDLE other)
    {
        Close();
        handle = other;
    }
    // Closing can report a late write failure; closing nothing succeeds.
    bool Close()
    {
        if (!Valid())
            return true;
        const sys::HANDLE h = handle;
        handle = sys::INVALID_HANDLE_VALUE;
        return sys::CloseHandle(h);
    }

private:
    sys::HANDLE handle;
};

} // namespace kestrel
