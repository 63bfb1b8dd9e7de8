#pragma once
// The pieces every ACE decoder shares: the format's CRC (the usual
// polynomial, started at all ones and never inverted at the end; headers
// keep its low 16 bits), the bit reader (little-endian 32-bit words read
// from their top bit down) and the Huffman tables as the format stores them.

#include <cstdint>
#include <vector>

namespace kestrel {

std::uint32_t AceCrc(std::uint32_t crc, const std::uint8_t *data, std::size_t length);
inline constexpr std::uint32_t aceCrcStart = 0xFFFFFFFFu;

// Where packed bytes come from.
class TAceByteSource {
public:
    virtual ~TAceByteSource() = default;
    // Up to length bytes; 0 at the end; -1 on a read failure.
    virtual long long Read(std::uint8_t *buffer, long long length) = 0;
};

class TAceBits {
public:
    explicit TAceBits(TAceByteSource &source);

    // n from 1 to 32.
    std::uint32_t Peek(int n)
    {
        if (count < n)
            Fill();
        return std::uint32_t(hold >> (64 - n));
    }
    void Skip(int n)
    {
        if (count < n)
            Fill();
        hold <<= n;
        count -= n;
    }
    std::uint32_t Read(int n)
    {
        const std::uint32_t value = Peek(n);
        Skip(n);
        return value;
    }
    // A value whose top bit is implied by its known width.
    std::uint32_t ReadWidth(int bits)
    {
        if (bits < 2)
            return std::uint32_t(bits);
        return Read(bits - 1) | (1u << (bits - 1));
    }
    // Golomb-Rice code: r low bits, then a unary count of 1 bits.
    std::uint32_t ReadRice(int r);
    // Read well past the end of the data, or a read failed: the stream is
    // damaged, and decoding must stop.
    bool Failed() const { return padWords > 2 || readFailed; }

private:
    void Fill();

    TAceByteSource &source;
    std::vector<std::uint8_t> buffer;
    std::size_t at = 0;
    std::size_t end = 0;
    std::uint64_t hold = 0; // the next bits, from the top
    int count = 0;
    int padWords = 0;
    bool ended = false;
    bool readFailed = false;
};

// A Huffman table: one symbol per possible value of its widest code.
class TAceHuffman {
public:
    // Reads the table; false when the stored widths cannot make a code.
    bool ReadFrom(TAceBits &bits, int maxWidth, int codeCount);
    // Symbols range up to codeCount, one past the last valid one.
    int Peek(TAceBits &bits) { return codes[bits.Peek(maxWidth)]; }
    int Decode(TAceBits &bits)
    {
        const int symbol = codes[bits.Peek(maxWidth)];
        bits.Skip(widths[std::size_t(symbol)]);
        return symbol;
    }

private:
    std::vector<std::uint16_t> codes;
    std::vector<std::uint8_t> widths;
    int maxWidth = 1;
};

} // namespace kestrel
