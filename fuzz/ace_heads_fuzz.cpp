// libFuzzer target for the ACE header reader. Every header read must lie
// inside the input with its member's data; the members are then decoded,
// those of a bounded size, and must stay within it.

#include "archive/acedecoder.h"
#include "archive/aceheaders.h"
#include "archive/zipsource.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace kestrel;

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

class TSlice : public TAceByteSource {
public:
    TSlice(const QByteArray &data, std::int64_t offset, std::uint64_t size)
        : data(data), at(offset), left(size)
    {
    }
    long long Read(std::uint8_t *buffer, long long length) override
    {
        const long long part = (long long)std::min<std::uint64_t>(left, std::uint64_t(length));
        std::memcpy(buffer, data.constData() + at, std::size_t(part));
        at += part;
        left -= std::uint64_t(part);
        return part;
    }

private:
    const QByteArray &data;
    std::int64_t at;
    std::uint64_t left;
};

constexpr std::uint64_t outputLimit = 1 << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TZipMemorySource source(bytes);
    const TAceVolume volume = ReadAceVolume(source);
    Check(volume.error != aheNotAce || volume.files.empty(), "files without a main header");
    TAceDecoder decoder;
    for (const TAceFileHeader &file : volume.files) {
        Check(file.dataOffset >= 0 && file.dataOffset <= std::int64_t(size), "data offset");
        Check(file.packedSize <= std::uint64_t(std::int64_t(size) - file.dataOffset),
              "packed size past the end");
        if (file.size > outputLimit)
            continue;
        TSlice packed(bytes, file.dataOffset, file.packedSize);
        std::uint64_t produced = 0;
        std::uint32_t crc = 0;
        const TAceDecodeResult result = decoder.Decode(
            packed, file.method, file.params, file.size,
            [&](const std::uint8_t *, std::size_t length) {
                produced += length;
                return true;
            },
            crc);
        Check(produced <= file.size, "more output than the size");
        Check(result != adrOk || produced == file.size, "success short of the size");
    }
    return 0;
}
