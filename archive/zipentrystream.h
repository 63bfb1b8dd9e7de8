#pragma once
// One archived item seen by libarchive as an archive of its own: the item's
// local header and data as they lie in the archive, followed by a directory
// of that one item built from its central header. libarchive then reads the
// item by the sizes, method and flags our own reader took from the central
// directory, and nothing else of the archive can be mistaken for it.

#include "archive/zipdirectory.h"

#include <QByteArray>

#include <archive.h>

#include <memory>

namespace kestrel {

class TZipEntryStream {
public:
    // The item's local header lies at offset in source; its data is
    // packedSize bytes after the header's name and extra fields.
    TZipEntryStream(TZipSource &source, sys::INT64 offset, sys::INT64 headerLength,
                    const TZipCentralEntry &entry);

    // Opens the stream as the data of a libarchive reader.
    int Open(struct archive *reader);

private:
    static la_ssize_t Read(struct archive *, void *client, const void **buffer);
    static la_int64_t Seek(struct archive *, void *client, la_int64_t offset, int whence);
    static la_int64_t Skip(struct archive *, void *client, la_int64_t request);

    sys::INT64 Total() const { return length + tail.size(); }

    TZipSource &source;
    sys::INT64 base;
    sys::INT64 length; // local header and data
    QByteArray tail;   // the directory of the one item and the end records
    sys::INT64 position = 0;
    // The last stretch read from the source: libarchive seeks back over the
    // item's start more than once while it opens it, and those reads are
    // served from here.
    std::unique_ptr<char[]> buffer;
    sys::INT64 bufferSize = 0;
    sys::INT64 bufferAt = 0; // stream position of buffer[0]
    sys::INT64 buffered = 0; // bytes in buffer
};

} // namespace kestrel
