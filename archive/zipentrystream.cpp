#include "archive/zipentrystream.h"

#include "archive/zipwriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace kestrel {

namespace {
constexpr sys::INT64 readSize = 1 << 20;
}

TZipEntryStream::TZipEntryStream(TZipSource &source, sys::INT64 offset, sys::INT64 headerLength,
                                 const TZipCentralEntry &entry)
    : source(source), base(offset), length(headerLength + sys::INT64(entry.packedSize))
{
    const QByteArray header = ZipCentralHeader(entry, 0);
    tail = header + ZipEndRecords(1, sys::UINT64(header.size()), sys::UINT64(length), QByteArray());
}

int TZipEntryStream::Open(struct archive *reader)
{
    archive_read_set_read_callback(reader, Read);
    archive_read_set_seek_callback(reader, Seek);
    archive_read_set_skip_callback(reader, Skip);
    archive_read_set_callback_data(reader, this);
    return archive_read_open1(reader);
}

la_ssize_t TZipEntryStream::Read(struct archive *reader, void *client, const void **data)
{
    auto *self = static_cast<TZipEntryStream *>(client);
    if (self->position >= self->length) {
        const sys::INT64 at = self->position - self->length;
        if (at >= self->tail.size())
            return 0;
        *data = self->tail.constData() + at;
        const sys::INT64 n = self->tail.size() - at;
        self->position += n;
        return la_ssize_t(n);
    }
    if (self->position < self->bufferAt || self->position >= self->bufferAt + self->buffered) {
        if (!self->buffer) {
            self->bufferSize = std::min(readSize, self->length);
            self->buffer = std::make_unique_for_overwrite<char[]>(std::size_t(self->bufferSize));
        }
        const sys::INT64 want = std::min(self->bufferSize, self->length - self->position);
        const sys::INT64 got =
            self->source.ReadAt(self->base + self->position, self->buffer.get(), want);
        if (got <= 0) {
            self->buffered = 0;
            if (got == 0)
                return 0;
            archive_set_error(reader, EIO, "Read error");
            return -1;
        }
        self->bufferAt = self->position;
        self->buffered = got;
    }
    const sys::INT64 skip = self->position - self->bufferAt;
    *data = self->buffer.get() + skip;
    const sys::INT64 n = self->buffered - skip;
    self->position += n;
    return la_ssize_t(n);
}

la_int64_t TZipEntryStream::Seek(struct archive *, void *client, la_int64_t offset, int whence)
{
    auto *self = static_cast<TZipEntryStream *>(client);
    sys::INT64 target = offset;
    if (whence == SEEK_CUR)
        target += self->position;
    else if (whence == SEEK_END)
        target += self->Total();
    if (target < 0 || target > self->Total())
        return ARCHIVE_FATAL;
    self->position = target;
    return self->position;
}

la_int64_t TZipEntryStream::Skip(struct archive *, void *client, la_int64_t request)
{
    auto *self = static_cast<TZipEntryStream *>(client);
    const sys::INT64 step = std::clamp<sys::INT64>(request, 0, self->Total() - self->position);
    self->position += step;
    return step;
}

} // namespace kestrel
