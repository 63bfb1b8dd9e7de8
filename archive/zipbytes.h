#pragma once
// Little-endian fields and record signatures of the ZIP format.

#include <QByteArray>

#include <cstdint>

namespace kestrel::zip {

inline constexpr std::uint32_t sigLocal = 0x04034B50;
inline constexpr std::uint32_t sigCentral = 0x02014B50;
inline constexpr std::uint32_t sigEnd = 0x06054B50;
inline constexpr std::uint32_t sigEnd64 = 0x06064B50;
inline constexpr std::uint32_t sigLocator = 0x07064B50;
inline constexpr std::uint32_t sigDescriptor = 0x08074B50;

inline constexpr int centralHeaderSize = 46;
inline constexpr int localHeaderSize = 30;
inline constexpr int endSize = 22;
inline constexpr int end64Size = 56;
inline constexpr int locatorSize = 20;

inline constexpr std::uint16_t extraZip64 = 0x0001;
inline constexpr std::uint16_t extraUnicodePath = 0x7075;

inline std::uint16_t Get16(const unsigned char *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t Get32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::uint64_t Get64(const unsigned char *p)
{
    return std::uint64_t(Get32(p)) | (std::uint64_t(Get32(p + 4)) << 32);
}

inline void Put16(QByteArray &out, std::uint32_t v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

inline void Put32(QByteArray &out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void Put64(QByteArray &out, std::uint64_t v)
{
    Put32(out, std::uint32_t(v));
    Put32(out, std::uint32_t(v >> 32));
}

} // namespace kestrel::zip
