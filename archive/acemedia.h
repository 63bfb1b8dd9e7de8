#pragma once
// The two coders of the blocked method that model their data instead of
// matching it: sound (8-, 16- and 32-bit samples as interleaved byte
// channels, each predicted from its past) and pictures (lines of pixels
// in planes, each predicted from its neighbours above and to the left).

#include "archive/acebits.h"
#include "archive/acelz77.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {

class TAceSound {
public:
    // A new run of one of the sound modes.
    void Start(int mode);
    // Up to want bytes (a multiple of 4 are made); stops at a mode change.
    std::size_t Read(TAceBits &bits, std::uint8_t *out, std::size_t want, bool &modeChanged,
                     TAceModeChange &change, bool &damaged);

private:
    struct Channel {
        std::array<int, 2> predDifCount{};
        std::array<int, 2> lastPredDifCount{};
        std::array<int, 4> difCount{};
        std::array<int, 4> coefficients{};
        std::array<int, 9> differences{};
        unsigned byteCount = 0;
        int lastByte = 0;
        int lastDelta = 0;
        int adaptCount = 0;
        int adaptUse = 0;
        int state = 0;
        int code = 0;

        int Predicted() const;
        int Predict() const;
        void Adjust(int value);
    };

    // Reads a sample difference for the channel; -1 at a mode change.
    int Next(TAceBits &bits, int channel, bool &modeChanged, TAceModeChange &change, bool &damaged);
    int Symbol(TAceBits &bits, int model, bool &damaged);

    std::array<Channel, 3> channels;
    std::vector<TAceHuffman> trees;
    std::uint32_t blockLeft = 0;
    int variant = 0;
};

class TAcePicture {
public:
    // A new run of the picture mode: reads the line width and planes.
    bool Start(TAceBits &bits);
    std::size_t Read(TAceBits &bits, std::uint8_t *out, std::size_t want, bool &modeChanged,
                     TAceModeChange &change, bool &damaged);

private:
    struct Context {
        int used = 0;
        int predictor = 0;
        int average = 4;
        std::array<int, 4> errors{};
    };

    bool Line(TAceBits &bits);
    void SetPixels(int predictor, int value, int previous);
    int PredictWith(int predictor) const;
    int PixelContext(int predictor, int value, int previous);
    int Pixel(TAceBits &bits, Context &context);

    std::size_t width = 0;
    std::size_t planes = 0;
    std::vector<std::uint8_t> last;
    std::vector<std::uint8_t> line;
    std::size_t lineAt = 0; // bytes of line handed out
    std::array<std::vector<Context>, 2> models;
    int a = 0, b = 0, c = 0, d = 0, x = 0;
};

} // namespace kestrel
