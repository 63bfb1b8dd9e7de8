// libFuzzer target for the first-bytes check and the size records of files
// compressed alone. A match of the first bytes stays a match whatever
// follows them; a size, when one is read, is never negative and does not
// depend on bytes the record does not cover.

#include "archive/formatcheck.h"
#include "archive/zipsource.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace kestrel;

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

constexpr TArchiveType types[] = {atSevenZip, atTar, atCab, atLha, atIso, atCpio, atCompressed};
constexpr TCompression compressions[] = {tcNone, tcGzip, tcBzip2, tcXz, tcZstd, tcLz4};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray longer = bytes + QByteArray(64, '\x5a');
    for (const TArchiveType type : types) {
        for (const TCompression compression : compressions) {
            if (HeadMatches(type, compression, bytes))
                Check(HeadMatches(type, compression, longer), "a match lost by more bytes");
        }
    }
    for (const TCompression compression : compressions) {
        TZipMemorySource source(bytes);
        const sys::INT64 found = CompressedSize(compression, source);
        Check(found >= -1, "a negative size");
        // zstd and lz4 record their size in the frame header: what follows
        // it cannot change it.
        if ((compression == tcZstd || compression == tcLz4) && found >= 0) {
            TZipMemorySource more(longer);
            Check(CompressedSize(compression, more) == found, "a header size that moved");
        }
    }
    return 0;
}
