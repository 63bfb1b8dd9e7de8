#pragma once
// Encrypted ACE members: Blowfish in CBC mode (zero start vector) under a
// 160-bit key made from the password by one round of the SHA compression
// function, with the format's own padding and message expansion. The boxes
// are the archiver's, which differ from pi's digits in three words. Each
// member's packed data is encrypted on its own from its first byte, in whole
// 8-byte blocks; the headers stay plain and the CRC is of the unpacked bytes.

#include "archive/acebits.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {

class TAceCipher {
public:
    explicit TAceCipher(const QByteArray &password);
    // Decrypts whole 8-byte blocks in place, chaining across calls.
    void Decrypt(std::uint8_t *data, std::size_t length);

    // The key the password makes; exposed for tests.
    static std::array<std::uint32_t, 5> Key(const QByteArray &password);
    std::pair<std::uint32_t, std::uint32_t> EncryptBlock(std::uint32_t left,
                                                         std::uint32_t right) const;
    std::pair<std::uint32_t, std::uint32_t> DecryptBlock(std::uint32_t left,
                                                         std::uint32_t right) const;

private:
    std::uint32_t Round(std::uint32_t x) const;

    std::array<std::uint32_t, 18> subkeys{};
    std::array<std::array<std::uint32_t, 256>, 4> boxes{};
    std::uint32_t lastLeft = 0;
    std::uint32_t lastRight = 0;
};

// Decrypts the bytes of another source.
class TAceDecryptingSource : public TAceByteSource {
public:
    TAceDecryptingSource(TAceByteSource &packed, const QByteArray &password)
        : packed(packed), cipher(password)
    {
    }
    long long Read(std::uint8_t *buffer, long long length) override;

private:
    TAceByteSource &packed;
    TAceCipher cipher;
    static constexpr std::size_t refill = 1 << 16;
    std::vector<std::uint8_t> plain; // decrypted, from at on not yet read
    std::size_t at = 0;
};

} // namespace kestrel
