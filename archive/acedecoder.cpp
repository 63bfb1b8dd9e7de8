#include "archive/acedecoder.h"

#include "archive/acelz77.h"
#include "archive/acemedia.h"

#include <vector>

namespace kestrel {

namespace {

constexpr std::size_t chunkSize = 1 << 16;
constexpr int minDictionaryBits = 10;
constexpr std::uint8_t callOpcode = 0xE8;
constexpr std::uint8_t jumpOpcode = 0xE9;
// An instruction is rewritten only when this many bytes follow its opcode
// in the same run.
constexpr std::size_t exeLookahead = 4;

bool IsSound(int mode)
{
    return mode >= amSound8 && mode <= amSound32b;
}

// Calls and jumps were stored with absolute targets; make them relative
// again. position: the offset of data[0] in the member. Returns where the
// scan stopped: the bytes from there on are not done yet.
std::size_t RestoreBranches(std::uint8_t *data, std::size_t length, std::uint64_t position,
                            int exeMode)
{
    std::size_t i = 0;
    while (i + exeLookahead < length) {
        const std::uint8_t opcode = data[i];
        const std::uint32_t at = std::uint32_t(position + i);
        if (opcode == callOpcode && exeMode != 0) {
            std::uint32_t target = std::uint32_t(data[i + 1]) | std::uint32_t(data[i + 2]) << 8 |
                                   std::uint32_t(data[i + 3]) << 16 |
                                   std::uint32_t(data[i + 4]) << 24;
            target -= at;
            for (int k = 0; k < 4; ++k)
                data[i + 1 + std::size_t(k)] = std::uint8_t(target >> (8 * k));
            i += 5;
        } else if (opcode == callOpcode || opcode == jumpOpcode) {
            std::uint16_t target = std::uint16_t(data[i + 1] | data[i + 2] << 8);
            target = std::uint16_t(target - at);
            data[i + 1] = std::uint8_t(target);
            data[i + 2] = std::uint8_t(target >> 8);
            i += 3;
        } else {
            ++i;
        }
    }
    return i;
}

struct TOutput {
    const TAceDecoder::TSink &sink;
    std::uint32_t &crc;
    std::uint64_t produced = 0;

    bool Put(const std::uint8_t *data, std::size_t length)
    {
        if (length == 0)
            return true;
        crc = AceCrc(crc, data, length);
        produced += length;
        return sink(data, length);
    }
};

} // namespace

TAceDecoder::TAceDecoder()
    : lz77(std::make_unique<TAceLz77>()), sound(std::make_unique<TAceSound>()),
      picture(std::make_unique<TAcePicture>())
{
}

TAceDecoder::~TAceDecoder() = default;

TAceDecodeResult TAceDecoder::Decode(TAceByteSource &packed, int method, std::uint16_t params,
                                     std::uint64_t size, const TSink &sink, std::uint32_t &crc)
{
    crc = aceCrcStart;
    if (method != amcStored && method != amcLz77 && method != amcBlocked)
        return adrUnknownMethod;
    if (method != amcStored && (params & 15) + minDictionaryBits > TAceLz77::maxDictionaryBits)
        return adrDictionaryLimit;
    TOutput output{sink, crc};
    std::vector<std::uint8_t> buffer(chunkSize);
    lz77->StartMember(std::min((params & 15) + minDictionaryBits, TAceLz77::maxDictionaryBits));
    if (method == amcStored) {
        while (output.produced < size) {
            const long long got =
                packed.Read(buffer.data(),
                            (long long)std::min<std::uint64_t>(chunkSize, size - output.produced));
            if (got < 0)
                return adrReadFailed;
            if (got == 0)
                return adrDamaged;
            lz77->Insert(buffer.data(), std::size_t(got));
            if (!output.Put(buffer.data(), std::size_t(got)))
                return adrStopped;
        }
        return adrOk;
    }
    TAceBits bits(packed);
    if (method == amcBlocked)
        return Blocked(bits, size, sink, crc);
    while (output.produced < size) {
        bool changed = false;
        bool damaged = false;
        TAceModeChange change;
        const std::size_t got =
            lz77->Read(bits, buffer.data(),
                       std::size_t(std::min<std::uint64_t>(chunkSize, size - output.produced)),
                       false, changed, change, damaged);
        if (!output.Put(buffer.data(), got))
            return adrStopped;
        if (damaged || got == 0)
            return adrDamaged;
    }
    return adrOk;
}

TAceDecodeResult TAceDecoder::Blocked(TAceBits &bits, std::uint64_t size, const TSink &sink,
                                      std::uint32_t &crc)
{
    TOutput output{sink, crc};
    std::vector<std::uint8_t> buffer(chunkSize + exeLookahead + 1);
    std::vector<std::uint8_t> delta;
    std::vector<std::uint8_t> planes;
    std::vector<std::uint8_t> carry; // branch bytes held for the next run
    int lastDelta = 0;
    TAceModeChange mode;
    TAceModeChange next;
    bool pending = false;
    while (output.produced < size) {
        if (pending) {
            if (next.mode != mode.mode) {
                if (IsSound(next.mode))
                    sound->Start(next.mode);
                else if (next.mode == amPicture && !picture->Start(bits))
                    return adrDamaged;
                else if (next.mode > amPicture)
                    return adrUnknownMethod;
            }
            mode = next;
            pending = false;
        }
        const std::uint64_t left = size - output.produced;
        bool damaged = false;
        bool changed = false;
        TAceModeChange change;
        if (mode.mode == amDelta) {
            const std::size_t length = std::size_t(mode.deltaLength);
            // Each run covers at least one byte of every plane; anything
            // else would make no progress.
            if (mode.deltaDistance == 0 || length < std::size_t(mode.deltaDistance))
                return adrDamaged;
            delta.resize(length);
            std::size_t got = 0;
            while (got < length) {
                const std::size_t part = lz77->Read(bits, delta.data() + got, length - got, true,
                                                    changed, change, damaged);
                got += part;
                if (damaged)
                    return adrDamaged;
                if (changed) {
                    if (pending)
                        return adrDamaged;
                    next = change;
                    pending = true;
                } else if (part == 0) {
                    return adrDamaged;
                }
            }
            for (std::uint8_t &byte : delta) {
                byte = std::uint8_t(byte + lastDelta);
                lastDelta = byte;
            }
            // The bytes were stored plane by plane: every deltaDistance-th
            // byte together. Interleave them again.
            const std::size_t planeSize = length / std::size_t(mode.deltaDistance);
            planes.clear();
            for (std::size_t at = 0; at < planeSize; ++at)
                for (std::size_t plane = 0; plane + at < length; plane += planeSize)
                    planes.push_back(delta[plane + at]);
            if (planes.size() > left)
                return adrDamaged;
            if (!output.Put(planes.data(), planes.size()))
                return adrStopped;
            continue;
        }
        if (mode.mode == amLz77 || mode.mode == amExe) {
            std::copy(carry.begin(), carry.end(), buffer.begin());
            const std::size_t held = carry.size();
            carry.clear();
            const std::size_t want = std::size_t(
                std::min<std::uint64_t>(chunkSize, left - std::min<std::uint64_t>(left, held)));
            const std::size_t got = want == 0 ? 0
                                              : lz77->Read(bits, buffer.data() + held, want, true,
                                                           changed, change, damaged);
            if (damaged)
                return adrDamaged;
            std::size_t length = held + got;
            std::size_t ready = length;
            if (mode.mode == amExe) {
                const bool runEnds = changed || output.produced + length >= size;
                std::size_t stop =
                    RestoreBranches(buffer.data(), length, output.produced, mode.exeMode);
                if (!runEnds) {
                    ready = stop; // the rest is scanned with what follows
                } else if (changed && (change.mode == amLz77 || change.mode == amExe)) {
                    // An opcode at the run's end takes its operand from the
                    // next run, as the format's own decoder does.
                    for (std::size_t i = stop + 1; i < length; ++i)
                        if (buffer[i] == callOpcode || buffer[i] == jumpOpcode) {
                            ready = i;
                            break;
                        }
                }
            }
            carry.assign(buffer.begin() + std::ptrdiff_t(ready),
                         buffer.begin() + std::ptrdiff_t(length));
            if (!output.Put(buffer.data(), ready))
                return adrStopped;
            if (changed) {
                next = change;
                pending = true;
            } else if (got == 0 && ready == 0) {
                return adrDamaged;
            }
            continue;
        }
        std::size_t got = 0;
        const std::size_t want = std::size_t(std::min<std::uint64_t>(chunkSize, left));
        if (IsSound(mode.mode)) {
            got = sound->Read(bits, buffer.data(), want, changed, change, damaged);
        } else if (mode.mode == amPicture) {
            got = picture->Read(bits, buffer.data(), want, changed, change, damaged);
        } else {
            return adrUnknownMethod;
        }
        if (damaged)
            return adrDamaged;
        lz77->Insert(buffer.data(), got);
        if (!output.Put(buffer.data(), got))
            return adrStopped;
        if (changed) {
            next = change;
            pending = true;
        } else if (got == 0) {
            return adrDamaged;
        }
    }
    return adrOk;
}

} // namespace kestrel
