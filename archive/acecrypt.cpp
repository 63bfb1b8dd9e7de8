#include "archive/acecrypt.h"

#include "archive/blowfishpi.h"

#include <bit>
#include <cstring>

namespace kestrel {

namespace {

// Longer passwords are cut, as the archiver itself does.
constexpr qsizetype maxPassword = 50;

// The archiver's first box differs from the digits of pi in three words;
// its archives are encrypted under these.
struct TBoxChange {
    std::size_t index;
    std::uint32_t value;
};
constexpr TBoxChange firstBoxChanges[] = {
    {48, 0x2DA9C55Du},
    {51, 0x9B87901Eu},
    {139, 0x412C7279u},
};

std::uint32_t LoadLe(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void StoreLe(std::uint8_t *p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(value >> (8 * i));
}

} // namespace

std::array<std::uint32_t, 5> TAceCipher::Key(const QByteArray &password)
{
    const QByteArray text = password.left(maxPassword);
    std::uint8_t block[64] = {};
    std::memcpy(block, text.constData(), std::size_t(text.size()));
    block[text.size()] = 0x80;
    std::array<std::uint32_t, 80> w{};
    for (int i = 0; i < 15; ++i)
        w[std::size_t(i)] = LoadLe(block + 4 * i);
    w[15] = std::uint32_t(text.size()) << 3;
    // The expansion without the rotation of later SHA versions.
    for (std::size_t i = 16; i < 80; ++i)
        w[i] = w[i - 16] ^ w[i - 14] ^ w[i - 8] ^ w[i - 3];
    const std::array<std::uint32_t, 5> start = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u,
                                                0xc3d2e1f0u};
    std::uint32_t a = start[0], b = start[1], c = start[2], d = start[3], e = start[4];
    for (std::size_t i = 0; i < 80; ++i) {
        std::uint32_t f = 0;
        std::uint32_t k = 0;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5a827999u;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ed9eba1u;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8f1bbcdcu;
        } else {
            f = b ^ c ^ d;
            k = 0xca62c1d6u;
        }
        const std::uint32_t next = std::rotl(a, 5) + f + e + w[i] + k;
        e = d;
        d = c;
        c = std::rotl(b, 30);
        b = a;
        a = next;
    }
    return {a + start[0], b + start[1], c + start[2], d + start[3], e + start[4]};
}

TAceCipher::TAceCipher(const QByteArray &password)
{
    const std::array<std::uint32_t, 5> key = Key(password);
    for (std::size_t i = 0; i < subkeys.size(); ++i)
        subkeys[i] = blowfishPi[i] ^ key[i % key.size()];
    for (std::size_t box = 0; box < 4; ++box)
        for (std::size_t i = 0; i < 256; ++i)
            boxes[box][i] = blowfishPi[subkeys.size() + 256 * box + i];
    for (const TBoxChange &change : firstBoxChanges)
        boxes[0][change.index] = change.value;
    std::pair<std::uint32_t, std::uint32_t> block{0, 0};
    for (std::size_t i = 0; i < subkeys.size(); i += 2) {
        block = EncryptBlock(block.first, block.second);
        subkeys[i] = block.first;
        subkeys[i + 1] = block.second;
    }
    for (auto &box : boxes)
        for (std::size_t i = 0; i < 256; i += 2) {
            block = EncryptBlock(block.first, block.second);
            box[i] = block.first;
            box[i + 1] = block.second;
        }
}

std::uint32_t TAceCipher::Round(std::uint32_t x) const
{
    return ((boxes[0][x >> 24] + boxes[1][(x >> 16) & 0xFF]) ^ boxes[2][(x >> 8) & 0xFF]) +
           boxes[3][x & 0xFF];
}

std::pair<std::uint32_t, std::uint32_t> TAceCipher::EncryptBlock(std::uint32_t l,
                                                                 std::uint32_t r) const
{
    for (std::size_t i = 0; i < 16; i += 2) {
        l ^= subkeys[i];
        r ^= Round(l);
        r ^= subkeys[i + 1];
        l ^= Round(r);
    }
    l ^= subkeys[16];
    r ^= subkeys[17];
    return {r, l};
}

std::pair<std::uint32_t, std::uint32_t> TAceCipher::DecryptBlock(std::uint32_t l,
                                                                 std::uint32_t r) const
{
    for (std::size_t i = 16; i > 0; i -= 2) {
        l ^= subkeys[i + 1];
        r ^= Round(l);
        r ^= subkeys[i];
        l ^= Round(r);
    }
    l ^= subkeys[1];
    r ^= subkeys[0];
    return {r, l};
}

void TAceCipher::Decrypt(std::uint8_t *data, std::size_t length)
{
    for (std::size_t at = 0; at + 8 <= length; at += 8) {
        const std::uint32_t left = LoadLe(data + at);
        const std::uint32_t right = LoadLe(data + at + 4);
        const auto plain = DecryptBlock(left, right);
        StoreLe(data + at, plain.first ^ lastLeft);
        StoreLe(data + at + 4, plain.second ^ lastRight);
        lastLeft = left;
        lastRight = right;
    }
}

long long TAceDecryptingSource::Read(std::uint8_t *buffer, long long length)
{
    if (at == plain.size()) {
        // Whole blocks only; a short tail at the very end is not data.
        plain.resize(refill);
        std::size_t have = 0;
        while (have < plain.size()) {
            const long long got =
                packed.Read(plain.data() + have, (long long)(plain.size() - have));
            if (got < 0)
                return -1;
            if (got == 0)
                break;
            have += std::size_t(got);
        }
        plain.resize(have & ~std::size_t(7));
        cipher.Decrypt(plain.data(), plain.size());
        at = 0;
        if (plain.empty())
            return 0;
    }
    const std::size_t part = std::min(plain.size() - at, std::size_t(length));
    std::memcpy(buffer, plain.data() + at, part);
    at += part;
    return (long long)part;
}

} // namespace kestrel
