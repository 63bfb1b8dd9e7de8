// libFuzzer target for the ACE decoder alone. The first byte picks the
// method (LZ77 or blocked) and the dictionary, the next three the output
// size; the rest is packed data. Decoding must end within the size, say
// success only with the size reached, and give the same bytes when run
// again from a fresh decoder.

#include "archive/acedecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace kestrel;

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

class TBytes : public TAceByteSource {
public:
    TBytes(const std::uint8_t *data, std::size_t size) : data(data), left(size) {}
    long long Read(std::uint8_t *buffer, long long length) override
    {
        const std::size_t part = std::min(left, std::size_t(length));
        std::memcpy(buffer, data, part);
        data += part;
        left -= part;
        return (long long)part;
    }

private:
    const std::uint8_t *data;
    std::size_t left;
};

std::vector<std::uint8_t> Run(const std::uint8_t *data, std::size_t size, int method,
                              std::uint16_t params, std::uint64_t length, TAceDecodeResult &result)
{
    std::vector<std::uint8_t> out;
    TBytes packed(data, size);
    TAceDecoder decoder;
    std::uint32_t crc = 0;
    result = decoder.Decode(
        packed, method, params, length,
        [&](const std::uint8_t *bytes, std::size_t count) {
            out.insert(out.end(), bytes, bytes + count);
            return true;
        },
        crc);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    const int method = 1 + (data[0] & 1);
    const std::uint16_t params = std::uint16_t(data[0] >> 1);
    const std::uint64_t length =
        (std::uint64_t(data[1]) | std::uint64_t(data[2]) << 8 | std::uint64_t(data[3]) << 16) &
        0xFFFF;
    TAceDecodeResult first = adrOk;
    TAceDecodeResult second = adrOk;
    const std::vector<std::uint8_t> once = Run(data + 4, size - 4, method, params, length, first);
    Check(once.size() <= length, "more output than the size");
    Check(first != adrOk || once.size() == length, "success short of the size");
    const std::vector<std::uint8_t> again = Run(data + 4, size - 4, method, params, length, second);
    Check(first == second && once == again, "a second run differs");
    return 0;
}
