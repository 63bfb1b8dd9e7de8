#include "archive/acemedia.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace kestrel {

namespace {

constexpr int runCodes = 32;
constexpr int soundModeSymbol = 256 + runCodes;
constexpr int soundSymbolCount = soundModeSymbol + 1;
constexpr int soundCodeWidth = 10;
constexpr int channelCounts[4] = {1, 2, 3, 3};
constexpr int channelOf[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 0, 2}, {1, 0, 2, 0}};

constexpr int pictureContexts = 365;
constexpr int contextHalving = 128;
// Limits on a picture's line, far above real images, so that a damaged
// header cannot ask for memory without bound.
constexpr std::size_t maxPictureWidth = std::size_t(1) << 18;
constexpr std::size_t maxPicturePlanes = 256;

int SignedByte(int value)
{
    return int(std::int8_t(std::uint8_t(value & 0xFF)));
}

int BitLength(unsigned value)
{
    return int(std::bit_width(value));
}

struct Tables {
    std::array<int, 256> soundQuantizer{};
    std::array<int, 256> difWidth{};
    std::array<int, 511> quantize{};

    Tables()
    {
        for (int i = 1; i <= 128; ++i)
            soundQuantizer[std::size_t(i)] = soundQuantizer[std::size_t(256 - i)] =
                BitLength(unsigned(i));
        for (int i = 0; i < 128; ++i)
            difWidth[std::size_t(i)] = BitLength(unsigned(2 * i));
        for (int i = -128; i < 0; ++i)
            difWidth[std::size_t(i & 0xFF)] = BitLength(unsigned(-2 * i - 1));
        for (int i = -255; i <= 255; ++i) {
            int q = 0;
            if (i <= -21)
                q = -4;
            else if (i <= -7)
                q = -3;
            else if (i <= -3)
                q = -2;
            else if (i <= -1)
                q = -1;
            else if (i == 0)
                q = 0;
            else if (i < 3)
                q = 1;
            else if (i < 7)
                q = 2;
            else if (i < 21)
                q = 3;
            else
                q = 4;
            quantize[std::size_t(255 + i)] = q;
        }
    }
};

const Tables tables;

} // namespace

// ---- sound

void TAceSound::Start(int mode)
{
    channels = {};
    variant = mode - amSound8;
    trees.assign(std::size_t(channelCounts[variant] * 3), TAceHuffman());
    blockLeft = 0;
}

int TAceSound::Symbol(TAceBits &bits, int model, bool &damaged)
{
    if (blockLeft == 0) {
        for (TAceHuffman &tree : trees)
            if (!tree.ReadFrom(bits, soundCodeWidth, soundSymbolCount)) {
                damaged = true;
                return 0;
            }
        blockLeft = bits.Read(15);
    }
    --blockLeft;
    if (std::size_t(model) >= trees.size()) {
        damaged = true;
        return 0;
    }
    return trees[std::size_t(model)].Decode(bits);
}

int TAceSound::Next(TAceBits &bits, int index, bool &modeChanged, TAceModeChange &change,
                    bool &damaged)
{
    Channel &ch = channels[std::size_t(index)];
    if (ch.state != 2) {
        int model = ch.state << 1;
        if (model == 0)
            model += ch.adaptUse;
        model += 3 * index;
        ch.code = Symbol(bits, model, damaged);
        if (damaged)
            return 0;
        if (ch.code == soundModeSymbol) {
            change = ReadModeChange(bits);
            modeChanged = true;
            return -1;
        }
        if (ch.code > soundModeSymbol) {
            damaged = true;
            return 0;
        }
    }
    int value = 0;
    if (ch.state == 0) {
        if (ch.code >= runCodes) {
            value = ch.code - runCodes;
            ch.adaptCount = (ch.adaptCount * 7 >> 3) + value;
            ch.adaptUse = ch.adaptCount > 40 ? 1 : 0;
        } else {
            ch.state = 2; // a run of unchanged predictions
        }
    } else if (ch.state == 1) {
        value = ch.code;
        ch.state = 0;
    }
    if (ch.state == 2) {
        if (ch.code == 0)
            ch.state = 1;
        else
            --ch.code;
        value = 0;
    }
    return (value & 1) ? 255 - (value >> 1) : value >> 1;
}

int TAceSound::Channel::Predicted() const
{
    int sum = 8 * lastByte;
    for (std::size_t i = 0; i < 4; ++i)
        sum += coefficients[i] * difCount[i];
    return (sum >> 3) & 0xFF;
}

int TAceSound::Channel::Predict() const
{
    return predDifCount[0] > predDifCount[1] ? lastByte : Predicted();
}

void TAceSound::Channel::Adjust(int value)
{
    ++byteCount;
    const int predDif = SignedByte(Predicted() - value) * 8;
    differences[0] += std::abs(predDif - difCount[0]);
    differences[1] += std::abs(predDif + difCount[0]);
    differences[2] += std::abs(predDif - difCount[1]);
    differences[3] += std::abs(predDif + difCount[1]);
    differences[4] += std::abs(predDif - difCount[2]);
    differences[5] += std::abs(predDif + difCount[2]);
    differences[6] += std::abs(predDif - difCount[3]);
    differences[7] += std::abs(predDif + difCount[3]);
    differences[8] += std::abs(predDif);
    predDifCount[0] += tables.soundQuantizer[std::size_t((predDif >> 3) & 0xFF)];
    predDifCount[1] += tables.soundQuantizer[std::size_t((lastByte - value) & 0xFF)];
    lastDelta = SignedByte(value - lastByte);
    lastByte = value;
    if ((byteCount & 0x1F) == 0) {
        int least = 0xFFFF;
        int leastAt = 8;
        for (int i = 8; i >= 0; --i) {
            if (differences[std::size_t(i)] <= least) {
                least = differences[std::size_t(i)];
                leastAt = i;
            }
            differences[std::size_t(i)] = 0;
        }
        if (leastAt != 8) {
            int &k = coefficients[std::size_t(leastAt >> 1)];
            if ((leastAt & 1) == 0) {
                if (k >= -16)
                    --k;
            } else if (k <= 16) {
                ++k;
            }
        }
        if ((byteCount & 0xFF) == 0)
            for (std::size_t i = 0; i < 2; ++i) {
                predDifCount[i] -= lastPredDifCount[i];
                lastPredDifCount[i] = predDifCount[i];
            }
    }
    difCount[3] = difCount[2];
    difCount[2] = difCount[1];
    difCount[1] = lastDelta - difCount[0];
    difCount[0] = lastDelta;
}

std::size_t TAceSound::Read(TAceBits &bits, std::uint8_t *out, std::size_t want, bool &modeChanged,
                            TAceModeChange &change, bool &damaged)
{
    modeChanged = false;
    damaged = false;
    const std::size_t count = want & ~std::size_t(3);
    for (std::size_t i = 0; i < count; ++i) {
        const int index = channelOf[variant][i % 4];
        const int value = Next(bits, index, modeChanged, change, damaged);
        if (modeChanged || damaged || bits.Failed()) {
            damaged = damaged || (!modeChanged && bits.Failed());
            return i;
        }
        Channel &ch = channels[std::size_t(index)];
        const int sample = (value + ch.Predict()) & 0xFF;
        out[i] = std::uint8_t(sample);
        ch.Adjust(sample);
    }
    return count;
}

// ---- pictures

bool TAcePicture::Start(TAceBits &bits)
{
    width = bits.ReadRice(12);
    planes = bits.ReadRice(2);
    if (bits.Failed() || width > maxPictureWidth || planes > maxPicturePlanes)
        return false;
    last.assign(width + planes, 0);
    line.clear();
    lineAt = 0;
    for (auto &model : models)
        model.assign(pictureContexts, Context());
    a = b = c = d = x = 0;
    return true;
}

void TAcePicture::SetPixels(int predictor, int value, int previous)
{
    d = value;
    if (predictor == 1 || predictor == 2) {
        a = b = c = x = 128;
        d -= (predictor == 1 ? previous : (previous * 11 >> 4)) - 128;
        d &= 0xFF;
    } else {
        a = b = c = x = 0;
    }
}

int TAcePicture::PredictWith(int predictor) const
{
    switch (predictor) {
    case 0:
        return a;
    case 1:
        return b;
    case 2:
        return (a + b) >> 1;
    default:
        return (a + b - c) & 0xFF;
    }
}

int TAcePicture::PixelContext(int predictor, int value, int previous)
{
    d = value;
    if (predictor == 1)
        d -= previous - 128;
    else if (predictor == 2)
        d -= (previous * 11 >> 4) - 128;
    d &= 0xFF;
    const int context = 81 * tables.quantize[std::size_t(255 + d - a)] +
                        9 * tables.quantize[std::size_t(255 + a - c)] +
                        tables.quantize[std::size_t(255 + c - b)];
    return std::abs(context);
}

int TAcePicture::Pixel(TAceBits &bits, Context &context)
{
    ++context.used;
    const int r = context.average / context.used;
    const std::uint32_t coded = bits.ReadRice(BitLength(unsigned(r)));
    const int epsilon = (coded & 1) ? -int(coded >> 1) - 1 : int(coded >> 1);
    const int pixel = (PredictWith(context.predictor) + epsilon) & 0xFF;
    int best = 0;
    bool halve = false;
    for (int i = 0; i < 4; ++i) {
        int &errors = context.errors[std::size_t(i)];
        errors += tables.difWidth[std::size_t((pixel - PredictWith(i)) & 0xFF)];
        if (i == 0 || errors < context.errors[std::size_t(best)])
            best = i;
        halve = halve || (errors & 0x80);
    }
    if (halve)
        for (int &errors : context.errors)
            errors >>= 1;
    context.predictor = best;
    context.average += std::abs(epsilon);
    if (context.used == contextHalving) {
        context.used >>= 1;
        context.average >>= 1;
    }
    return pixel;
}

bool TAcePicture::Line(TAceBits &bits)
{
    std::vector<std::uint8_t> data(width + planes, 0);
    const auto before = [&](std::size_t col) {
        return col == 0 ? int(data.back()) : int(data[col - 1]);
    };
    for (std::size_t plane = 0; plane < planes; ++plane) {
        const int model = plane == 0 ? 0 : 1;
        const int predictor = plane == 0 ? 0 : int(bits.Read(2));
        if (predictor == 3)
            return false;
        SetPixels(predictor, last[plane], plane == 0 ? int(last.back()) : int(last[plane - 1]));
        for (std::size_t col = plane; col < width; col += planes) {
            c = a;
            a = d;
            b = x;
            const int context = PixelContext(predictor, last[planes + col], last[planes + col - 1]);
            x = Pixel(bits, models[std::size_t(model)][std::size_t(context)]);
            if (bits.Failed())
                return false;
            const int previous = before(col);
            int value = x;
            if (predictor == 1)
                value = (x + previous - 128) & 0xFF;
            else if (predictor == 2)
                value = (x + (previous * 11 >> 4) - 128) & 0xFF;
            data[col] = std::uint8_t(value);
        }
        if (bits.Failed())
            return false;
    }
    last = data;
    line.assign(data.begin(), data.begin() + std::ptrdiff_t(width));
    lineAt = 0;
    return true;
}

std::size_t TAcePicture::Read(TAceBits &bits, std::uint8_t *out, std::size_t want,
                              bool &modeChanged, TAceModeChange &change, bool &damaged)
{
    modeChanged = false;
    damaged = false;
    std::size_t produced = 0;
    while (produced < want) {
        if (lineAt < line.size()) {
            const std::size_t part = std::min(want - produced, line.size() - lineAt);
            std::copy_n(line.data() + lineAt, part, out + produced);
            produced += part;
            lineAt += part;
            continue;
        }
        if (bits.Read(1) == 0) {
            change = ReadModeChange(bits);
            modeChanged = true;
            break;
        }
        if (width == 0 || !Line(bits)) {
            damaged = true;
            break;
        }
    }
    if (bits.Failed() && !modeChanged)
        damaged = true;
    return produced;
}

} // namespace kestrel
