#include "tools/sparsewriter.h"

#include "platform/errors.h"
#include "platform/fileapi.h"

#include <cstring>

namespace kestrel {

namespace {

bool AllZero(const char *data, sys::DWORD size)
{
    // Every byte equal to the next, and the first one zero.
    return size > 0 && data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0;
}

} // namespace

bool TSparseWriter::Write(const char *data, sys::DWORD size)
{
    if (AllZero(data, size)) {
        endsInHole = true;
        return sys::SetFilePointer(file, sys::INT64(size), sys::FILE_CURRENT) >= 0;
    }
    endsInHole = false;
    sys::DWORD put = 0;
    if (!sys::WriteFile(file, data, size, put))
        return false;
    if (put != size) {
        sys::SetLastError(sys::ERROR_DISK_FULL);
        return false;
    }
    return true;
}

bool TSparseWriter::Finish()
{
    return !endsInHole || sys::SetEndOfFile(file);
}

} // namespace kestrel
