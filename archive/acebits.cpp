#include "archive/acebits.h"

#include <array>
#include <cstring>

namespace kestrel {

namespace {

constexpr std::size_t inputChunk = 1 << 16;

// Eight tables, so that the CRC takes eight bytes a step.
std::array<std::array<std::uint32_t, 256>, 8> MakeCrcTables()
{
    std::array<std::array<std::uint32_t, 256>, 8> tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        tables[0][i] = value;
    }
    for (std::size_t t = 1; t < 8; ++t)
        for (std::size_t i = 0; i < 256; ++i)
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    return tables;
}

const std::array<std::array<std::uint32_t, 256>, 8> crcTables = MakeCrcTables();

// Orders the first count symbols by width, widest first. Among equal widths
// the order is the one the format's own sorting leaves, which the code
// assignment depends on, so this is that partition scheme and no other.
void SortByWidth(std::vector<std::uint8_t> &keys, std::vector<std::uint16_t> &symbols, int left,
                 int right)
{
    for (;;) {
        int low = left;
        int high = right;
        const std::uint8_t pivot = keys[std::size_t(right)];
        for (;;) {
            while (keys[std::size_t(low)] > pivot)
                ++low;
            while (keys[std::size_t(high)] < pivot)
                --high;
            if (low <= high) {
                std::swap(keys[std::size_t(low)], keys[std::size_t(high)]);
                std::swap(symbols[std::size_t(low)], symbols[std::size_t(high)]);
                ++low;
                --high;
            }
            if (low >= high)
                break;
        }
        const auto orderPair = [&](int a, int b) {
            if (keys[std::size_t(a)] < keys[std::size_t(b)]) {
                std::swap(keys[std::size_t(a)], keys[std::size_t(b)]);
                std::swap(symbols[std::size_t(a)], symbols[std::size_t(b)]);
            }
        };
        if (left < high) {
            if (left < high - 1)
                SortByWidth(keys, symbols, left, high);
            else
                orderPair(left, high);
        }
        if (right > low) {
            if (low < right - 1) {
                left = low; // the second half in this loop, the first by recursion
                continue;
            }
            orderPair(low, right);
        }
        return;
    }
}

// Fills codes (2^maxWidth entries) from the widths of the first count
// symbols; a lone symbol (or none) gets width 1.
bool MakeCodes(int maxWidth, int count, std::vector<std::uint8_t> &widths,
               std::vector<std::uint16_t> &codes)
{
    std::vector<std::uint8_t> keys = widths;
    std::vector<std::uint16_t> symbols(widths.size());
    for (std::size_t i = 0; i < symbols.size(); ++i)
        symbols[i] = std::uint16_t(i);
    if (count > 1)
        SortByWidth(keys, symbols, 0, count - 1);
    std::size_t used = 0;
    while (used < keys.size() && keys[used] != 0)
        ++used;
    if (used < 2) {
        widths[symbols[0]] = 1;
        if (used == 0)
            used = 1;
    }
    const std::size_t limit = std::size_t(1) << maxWidth;
    std::size_t position = 0;
    for (std::size_t i = used; i-- > 0 && position < limit;) {
        if (keys[i] > maxWidth)
            return false;
        const std::size_t span = std::size_t(1) << (maxWidth - keys[i]);
        if (position + span > limit)
            return false;
        std::fill(codes.begin() + std::ptrdiff_t(position),
                  codes.begin() + std::ptrdiff_t(position + span), symbols[i]);
        position += span;
    }
    return true;
}

} // namespace

std::uint32_t AceCrc(std::uint32_t crc, const std::uint8_t *data, std::size_t length)
{
    const auto &t = crcTables;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        const std::uint32_t low =
            crc ^ (std::uint32_t(data[i]) | std::uint32_t(data[i + 1]) << 8 |
                   std::uint32_t(data[i + 2]) << 16 | std::uint32_t(data[i + 3]) << 24);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][data[i + 4]] ^ t[2][data[i + 5]] ^ t[1][data[i + 6]] ^
              t[0][data[i + 7]];
    }
    for (; i < length; ++i)
        crc = t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

TAceBits::TAceBits(TAceByteSource &source) : source(source), buffer(inputChunk) {}

void TAceBits::Fill()
{
    while (count <= 32) {
        if (end - at < 4 && !ended) {
            std::memmove(buffer.data(), buffer.data() + at, end - at);
            end -= at;
            at = 0;
            while (end < 4 && !ended) {
                const long long got =
                    source.Read(buffer.data() + end, (long long)(buffer.size() - end));
                if (got <= 0) {
                    ended = true;
                    readFailed = got < 0;
                } else {
                    end += std::size_t(got);
                }
            }
        }
        std::uint8_t word[4] = {0, 0, 0, 0};
        const std::size_t take = std::min<std::size_t>(4, end - at);
        std::memcpy(word, buffer.data() + at, take);
        at += take;
        if (take < 4)
            ++padWords; // past the end: zeros, as the format's own reader pads
        const std::uint32_t value = std::uint32_t(word[0]) | std::uint32_t(word[1]) << 8 |
                                    std::uint32_t(word[2]) << 16 | std::uint32_t(word[3]) << 24;
        hold |= std::uint64_t(value) << (32 - count);
        count += 32;
    }
}

std::uint32_t TAceBits::ReadRice(int r)
{
    std::uint32_t value = r > 0 ? Read(r) : 0;
    while (Read(1) == 1 && !Failed())
        value += 1u << r;
    return value;
}

bool TAceHuffman::ReadFrom(TAceBits &bits, int width, int codeCount)
{
    constexpr int savedWidthBits = 7;
    maxWidth = width;
    codes.assign(std::size_t(1) << maxWidth, 0);
    widths.assign(std::size_t(codeCount) + 1, 0);

    int widthCount = int(bits.Read(9)) + 1;
    if (widthCount > codeCount + 1)
        widthCount = codeCount + 1;
    const int lowerWidth = int(bits.Read(4));
    const int upperWidth = int(bits.Read(4));

    std::vector<std::uint8_t> savedWidths(16, 0);
    for (int i = 0; i <= upperWidth; ++i)
        savedWidths[std::size_t(i)] = std::uint8_t(bits.Read(3));
    if (!MakeCodes(savedWidthBits, upperWidth + 1, savedWidths, codes))
        return false;

    int at = 0;
    while (at < widthCount && !bits.Failed()) {
        const int code = codes[bits.Peek(savedWidthBits)];
        if (code > upperWidth)
            return false;
        bits.Skip(savedWidths[std::size_t(code)]);
        if (code < upperWidth) {
            widths[std::size_t(at++)] = std::uint8_t(code);
        } else {
            int zeros = int(bits.Read(4)) + 4;
            while (zeros-- > 0 && at < widthCount)
                widths[std::size_t(at++)] = 0;
        }
    }
    if (bits.Failed())
        return false;
    if (upperWidth > 0)
        for (int i = 1; i < widthCount; ++i)
            widths[std::size_t(i)] =
                std::uint8_t((widths[std::size_t(i)] + widths[std::size_t(i - 1)]) % upperWidth);
    for (int i = 0; i < widthCount; ++i)
        if (widths[std::size_t(i)] > 0)
            widths[std::size_t(i)] = std::uint8_t(widths[std::size_t(i)] + lowerWidth);
    return MakeCodes(maxWidth, widthCount, widths, codes);
}

} // namespace kestrel
