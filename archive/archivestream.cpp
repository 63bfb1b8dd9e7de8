#include "archive/archivestream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace kestrel {

namespace {
constexpr sys::INT64 readSize = 1 << 20;
}

int TArchiveStream::Open(struct archive *reader)
{
    archive_read_set_read_callback(reader, Read);
    archive_read_set_seek_callback(reader, Seek);
    archive_read_set_skip_callback(reader, Skip);
    archive_read_set_callback_data(reader, this);
    return archive_read_open1(reader);
}

la_ssize_t TArchiveStream::Read(struct archive *reader, void *client, const void **data)
{
    auto *self = static_cast<TArchiveStream *>(client);
    const sys::INT64 want = std::min(readSize, self->source.Size() - self->position);
    if (want <= 0)
        return 0;
    self->buffer.resize(std::size_t(readSize));
    const sys::INT64 got = self->source.ReadAt(self->position, self->buffer.data(), want);
    if (got < 0) {
        archive_set_error(reader, EIO, "Read error");
        return -1;
    }
    *data = self->buffer.data();
    self->position += got;
    return la_ssize_t(got);
}

la_int64_t TArchiveStream::Seek(struct archive *, void *client, la_int64_t offset, int whence)
{
    auto *self = static_cast<TArchiveStream *>(client);
    sys::INT64 target = offset;
    if (whence == SEEK_CUR)
        target += self->position;
    else if (whence == SEEK_END)
        target += self->source.Size();
    if (target < 0 || target > self->source.Size())
        return ARCHIVE_FATAL;
    self->position = target;
    return self->position;
}

la_int64_t TArchiveStream::Skip(struct archive *, void *client, la_int64_t request)
{
    auto *self = static_cast<TArchiveStream *>(client);
    const sys::INT64 step =
        std::clamp<sys::INT64>(request, 0, self->source.Size() - self->position);
    self->position += step;
    return step;
}

} // namespace kestrel
