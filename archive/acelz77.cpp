#include "archive/acelz77.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

constexpr int codeWidth = 11;
constexpr int firstHistorySymbol = 256;
constexpr int firstDistanceSymbol = 260;
constexpr int modeSymbol = firstDistanceSymbol + TAceLz77::maxDictionaryBits + 1;
constexpr int mainSymbolCount = modeSymbol + 1;
constexpr int lengthSymbolCount = 255;
constexpr std::uint32_t maxDistanceForLength2 = 255;
constexpr std::uint32_t maxDistanceForLength3 = 8191;

} // namespace

TAceModeChange ReadModeChange(TAceBits &bits)
{
    TAceModeChange change;
    change.mode = int(bits.Read(8));
    if (change.mode == amDelta) {
        change.deltaDistance = int(bits.Read(8));
        change.deltaLength = int(bits.Read(17));
    } else if (change.mode == amExe) {
        change.exeMode = int(bits.Read(8));
    }
    return change;
}

void TAceLz77::Reserve(int dictionaryBits)
{
    // A small window to start with: most archives use far less than the
    // largest dictionary, and its memory is cleared before use.
    constexpr int smallestBits = 15;
    const std::size_t wanted = std::size_t(1) << std::max(dictionaryBits, smallestBits);
    if (window.size() >= wanted)
        return;
    std::vector<std::uint8_t> grown(wanted, 0);
    const std::uint64_t kept = std::min<std::uint64_t>(written, window.size());
    for (std::uint64_t i = written - kept; i < written; ++i)
        grown[std::size_t(i & (wanted - 1))] = window[std::size_t(i & windowMask)];
    window.swap(grown);
    windowMask = std::uint32_t(wanted - 1);
}

void TAceLz77::StartMember(int dictionaryBits)
{
    Reserve(dictionaryBits);
    history = {};
    blockLeft = 0;
    delivered = written;
}

void TAceLz77::Insert(const std::uint8_t *data, std::size_t length)
{
    while (length > 0) {
        const std::uint32_t at = std::uint32_t(written & windowMask);
        const std::size_t part = std::min<std::size_t>(length, window.size() - at);
        std::memcpy(window.data() + at, data, part);
        data += part;
        length -= part;
        written += part;
    }
    delivered = written;
}

bool TAceLz77::ReadBlockStart(TAceBits &bits)
{
    if (!mainCodes.ReadFrom(bits, codeWidth, mainSymbolCount) ||
        !lengthCodes.ReadFrom(bits, codeWidth, lengthSymbolCount))
        return false;
    blockLeft = bits.Read(15);
    return !bits.Failed();
}

void TAceLz77::Copy(std::uint32_t distance, std::uint32_t length)
{
    std::uint8_t *const base = window.data();
    std::uint32_t to = std::uint32_t(written & windowMask);
    std::uint32_t from = (to - distance) & windowMask;
    written += length;
    // A distance beyond the window (damaged data) wraps, so the ranges
    // themselves must not meet for a plain copy.
    if (to + length <= window.size() && from + length <= window.size() &&
        (from + length <= to || to + length <= from)) {
        std::memcpy(base + to, base + from, length);
        return;
    }
    while (length-- > 0) {
        base[to] = base[from];
        to = (to + 1) & windowMask;
        from = (from + 1) & windowMask;
    }
}

bool TAceLz77::Step(TAceBits &bits, bool modesAllowed, bool &modeChanged, TAceModeChange &change)
{
    while (blockLeft == 0) {
        if (!ReadBlockStart(bits))
            return false;
    }
    const int symbol = mainCodes.Decode(bits);
    --blockLeft;
    if (symbol < firstHistorySymbol) {
        window[written & windowMask] = std::uint8_t(symbol);
        ++written;
        return true;
    }
    if (symbol == modeSymbol) {
        if (!modesAllowed)
            return false;
        change = ReadModeChange(bits);
        modeChanged = true;
        return !bits.Failed();
    }
    if (symbol > modeSymbol)
        return false;
    std::uint32_t distance = 0;
    std::uint32_t length = 0;
    if (symbol >= firstDistanceSymbol) {
        distance = bits.ReadWidth(symbol - firstDistanceSymbol);
        std::rotate(history.begin(), history.begin() + 1, history.end());
        history.back() = distance;
        length = std::uint32_t(lengthCodes.Decode(bits));
        length += distance <= maxDistanceForLength2 ? 2 : distance <= maxDistanceForLength3 ? 3 : 4;
    } else {
        // A distance used lately, 0 the latest; it becomes the latest again.
        const int back = symbol - firstHistorySymbol;
        const std::size_t at = history.size() - 1 - std::size_t(back);
        distance = history[at];
        std::rotate(history.begin() + std::ptrdiff_t(at), history.begin() + std::ptrdiff_t(at) + 1,
                    history.end());
        length = std::uint32_t(lengthCodes.Decode(bits)) + (back > 1 ? 3 : 2);
    }
    if (length > 259 + 4)
        return false;
    Copy(distance + 1, length);
    return !bits.Failed();
}

std::size_t TAceLz77::Read(TAceBits &bits, std::uint8_t *out, std::size_t want, bool modesAllowed,
                           bool &modeChanged, TAceModeChange &change, bool &damaged)
{
    std::size_t produced = 0;
    modeChanged = false;
    damaged = false;
    for (;;) {
        const std::size_t ready =
            std::size_t(std::min<std::uint64_t>(written - delivered, want - produced));
        for (std::size_t left = ready; left > 0;) {
            const std::uint32_t at = std::uint32_t(delivered & windowMask);
            const std::size_t part = std::min<std::size_t>(left, window.size() - at);
            std::memcpy(out + produced, window.data() + at, part);
            produced += part;
            delivered += part;
            left -= part;
        }
        if (modeChanged)
            return produced;
        if (produced == want) {
            if (modesAllowed && blockLeft > 0 && !bits.Failed() &&
                mainCodes.Peek(bits) == modeSymbol) {
                // A mode change that follows at once belongs to this run.
                mainCodes.Decode(bits);
                --blockLeft;
                change = ReadModeChange(bits);
                modeChanged = true;
            }
            return produced;
        }
        if (!Step(bits, modesAllowed, modeChanged, change)) {
            damaged = true;
            return produced;
        }
    }
}

} // namespace kestrel
