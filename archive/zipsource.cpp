#include "archive/zipsource.h"

#include "platform/fileapi.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

sys::INT64 TZipMemorySource::ReadAt(sys::INT64 offset, void *buffer, sys::INT64 length)
{
    if (offset < 0 || length < 0)
        return -1;
    if (offset >= data.size())
        return 0;
    const sys::INT64 n = std::min<sys::INT64>(length, data.size() - offset);
    std::memcpy(buffer, data.constData() + offset, std::size_t(n));
    return n;
}

TZipFileSource::TZipFileSource(sys::HANDLE file) : file(file)
{
    const sys::UINT64 fileSize = sys::GetFileSize64(file);
    size = fileSize == sys::INVALID_FILE_SIZE64 ? 0 : sys::INT64(fileSize);
}

sys::INT64 TZipFileSource::ReadAt(sys::INT64 offset, void *buffer, sys::INT64 length)
{
    if (offset < 0 || length < 0 || sys::SetFilePointer(file, offset, sys::FILE_BEGIN) != offset)
        return -1;
    sys::INT64 done = 0;
    auto *out = static_cast<char *>(buffer);
    while (done < length) {
        const auto step = sys::DWORD(std::min<sys::INT64>(length - done, 1 << 30));
        sys::DWORD got = 0;
        if (!sys::ReadFile(file, out + done, step, got))
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace kestrel
