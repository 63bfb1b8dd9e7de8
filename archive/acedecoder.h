#pragma once
// TAceDecoder: turns the packed data of ACE members back into their bytes:
// stored, the LZ77 method of version 1.0, and the blocked method of 2.0
// (LZ77 with its delta and executable filters, and the sound and picture
// coders). One decoder serves a whole archive in order, so that a solid
// archive's members share one dictionary.

#include "archive/acebits.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kestrel {

enum TAceMethodCode : int { amcStored = 0, amcLz77 = 1, amcBlocked = 2 };

enum TAceDecodeResult : int {
    adrOk,
    adrDamaged,         // the packed data makes no sense or ends early
    adrUnknownMethod,   // a method or mode this decoder does not know
    adrDictionaryLimit, // the member asks for a dictionary above the format's 4 MiB
    adrReadFailed,      // the packed data could not be read
    adrStopped,         // the sink said stop
};

class TAceLz77;
class TAceSound;
class TAcePicture;

class TAceDecoder {
public:
    // Takes each run of output bytes; false stops the decoding.
    using TSink = std::function<bool(const std::uint8_t *data, std::size_t length)>;

    TAceDecoder();
    ~TAceDecoder();
    TAceDecoder(const TAceDecoder &) = delete;
    TAceDecoder &operator=(const TAceDecoder &) = delete;

    // Decodes one member of size bytes; crc receives the format's CRC of
    // what was produced.
    TAceDecodeResult Decode(TAceByteSource &packed, int method, std::uint16_t params,
                            std::uint64_t size, const TSink &sink, std::uint32_t &crc);

private:
    TAceDecodeResult Blocked(TAceBits &bits, std::uint64_t size, const TSink &sink,
                             std::uint32_t &crc);

    std::unique_ptr<TAceLz77> lz77;
    std::unique_ptr<TAceSound> sound;
    std::unique_ptr<TAcePicture> picture;
};

} // namespace kestrel
