#pragma once
// The LZ77 engine of ACE: blocks of Huffman-coded literals and matches over
// a dictionary of up to 4 MiB that lives on from member to member, and the
// mode changes the blocked method hides among its symbols.

#include "archive/acebits.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {

// The blocked method's modes.
enum TAceMode : int {
    amLz77 = 0,
    amDelta = 1,
    amExe = 2,
    amSound8 = 3,
    amSound16 = 4,
    amSound32a = 5,
    amSound32b = 6,
    amPicture = 7,
};

struct TAceModeChange {
    int mode = amLz77;
    int deltaDistance = 0; // amDelta: bytes between the interleaved planes
    int deltaLength = 0;   // amDelta: bytes the mode covers
    int exeMode = 0;       // amExe: 0 16-bit call targets, else 32-bit
};

// Reads a mode change's arguments after its symbol.
TAceModeChange ReadModeChange(TAceBits &bits);

class TAceLz77 {
public:
    static constexpr int maxDictionaryBits = 22;

    // A new member: its matches may still reach into the dictionary, which
    // grows (never shrinks) to the member's size.
    void StartMember(int dictionaryBits);
    // Puts bytes another coder produced into the dictionary.
    void Insert(const std::uint8_t *data, std::size_t length);

    // Up to want bytes into out. Stops early at a mode change, which is
    // then in change (when modes are allowed) and taken. A mode change
    // right after the last byte wanted, in the same block, is taken too.
    // damaged is set when the stream makes no sense.
    std::size_t Read(TAceBits &bits, std::uint8_t *out, std::size_t want, bool modesAllowed,
                     bool &modeChanged, TAceModeChange &change, bool &damaged);

private:
    void Reserve(int dictionaryBits);

    bool ReadBlockStart(TAceBits &bits);
    // One symbol: false when the stream is damaged.
    bool Step(TAceBits &bits, bool modesAllowed, bool &modeChanged, TAceModeChange &change);
    void Copy(std::uint32_t distance, std::uint32_t length);

    std::vector<std::uint8_t> window;
    std::uint32_t windowMask = 0;
    std::uint64_t written = 0;              // bytes put into the window
    std::uint64_t delivered = 0;            // of those, handed out
    std::array<std::uint32_t, 4> history{}; // last distances, the latest last
    TAceHuffman mainCodes;
    TAceHuffman lengthCodes;
    std::uint32_t blockLeft = 0;
};

} // namespace kestrel
