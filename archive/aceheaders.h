#pragma once
// The headers of one ACE volume as stored: the main header (found at the
// start, or within the first 512 KiB after a self-extractor's code) and
// the file headers, each checked against its CRC. Sizes are 64-bit; a
// header or member that would reach past the end of the file ends the
// reading, keeping what came before.

#include "archive/zipsource.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace kestrel {

// Flags of the main header.
inline constexpr std::uint16_t acfComment = 0x0002;
inline constexpr std::uint16_t acfMultiVolume = 0x0800;
inline constexpr std::uint16_t acfAdvert = 0x1000;
inline constexpr std::uint16_t acfSolid = 0x8000;
// Flags of a file header.
inline constexpr std::uint16_t acfAddSize = 0x0001;
inline constexpr std::uint16_t acf64Bit = 0x0004;
inline constexpr std::uint16_t acfContinuedFromPrevious = 0x1000;
inline constexpr std::uint16_t acfContinuesInNext = 0x2000;
inline constexpr std::uint16_t acfEncrypted = 0x4000;

struct TAceMainHeader {
    std::uint16_t flags = 0;
    std::uint8_t extractVersion = 0;
    std::uint8_t createVersion = 0;
    std::uint8_t host = 0;
    std::uint8_t volume = 0; // 0 for the first volume of a set
    std::uint32_t time = 0;  // MS-DOS date and time
    QByteArray advert;
};

struct TAceFileHeader {
    std::uint16_t flags = 0;
    std::uint64_t packedSize = 0; // of this volume's part
    std::uint64_t size = 0;
    std::uint32_t time = 0;
    std::uint32_t attributes = 0;
    std::uint32_t crc = 0; // of the whole member (in its last part)
    std::uint8_t method = 0;
    std::uint8_t quality = 0;
    std::uint16_t params = 0; // low 4 bits: dictionary bits - 10
    QByteArray name;          // as stored: backslashes, the host's code page
    std::int64_t dataOffset = 0;
};

enum TAceHeadError : int {
    aheNone,
    aheNotAce,    // no main header
    aheBadCrc,    // a header's CRC does not match
    aheTruncated, // the file ends inside a header or a member's data
    aheMalformed, // a header's fields do not fit its size
};

struct TAceVolume {
    TAceMainHeader main;
    std::vector<TAceFileHeader> files;
    TAceHeadError error = aheNone;
    std::int64_t errorOffset = 0;
};

// Reads every header of the volume in source.
TAceVolume ReadAceVolume(TZipSource &source);

} // namespace kestrel
