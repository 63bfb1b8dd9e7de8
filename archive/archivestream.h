#pragma once
// A whole archive file seen by a libarchive reader, read through the
// platform layer (a TZipSource over an open file), with seeking for the
// formats whose directory lies elsewhere than in front (7z, ISO, CAB).

#include "archive/zipsource.h"

#include <archive.h>

#include <memory>
#include <vector>

namespace kestrel {

struct TReaderFree {
    void operator()(struct archive *reader) const { archive_read_free(reader); }
};
using TArchiveReader = std::unique_ptr<struct archive, TReaderFree>;

class TArchiveStream {
public:
    explicit TArchiveStream(TZipSource &source) : source(source) {}
    TArchiveStream(const TArchiveStream &) = delete;
    TArchiveStream &operator=(const TArchiveStream &) = delete;

    // Opens the stream as the data of a reader set up for its formats.
    int Open(struct archive *reader);
    // Bytes handed to the reader so far: the packed bytes behind the
    // entries read.
    sys::INT64 Position() const { return position; }

private:
    static la_ssize_t Read(struct archive *, void *client, const void **buffer);
    static la_int64_t Seek(struct archive *, void *client, la_int64_t offset, int whence);
    static la_int64_t Skip(struct archive *, void *client, la_int64_t request);

    TZipSource &source;
    sys::INT64 position = 0;
    std::vector<char> buffer;
};

} // namespace kestrel
