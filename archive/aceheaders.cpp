#include "archive/aceheaders.h"

#include "archive/acebits.h"

#include <cstring>

namespace kestrel {

namespace {

constexpr char magic[] = "**ACE**";
constexpr int magicLength = 7;
constexpr int magicOffset = 7; // in the file: CRC, size, type and flags come first
constexpr std::int64_t searchLimit = 512 * 1024;
constexpr int typeMain = 0;
constexpr int typeFile32 = 1;
constexpr int typeFile64 = 3;

// Reads little-endian fields from a header's bytes, noting when one would
// reach past them.
class TFields {
public:
    explicit TFields(const QByteArray &bytes) : bytes(bytes) {}
    bool Fits(std::size_t count) const { return at + count <= std::size_t(bytes.size()); }
    std::uint64_t Value(int count)
    {
        if (!Fits(std::size_t(count))) {
            bad = true;
            at = std::size_t(bytes.size());
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= std::uint64_t(std::uint8_t(bytes[qsizetype(at) + i])) << (8 * i);
        at += std::size_t(count);
        return value;
    }
    QByteArray Bytes(std::size_t count)
    {
        if (!Fits(count)) {
            bad = true;
            at = std::size_t(bytes.size());
            return {};
        }
        const QByteArray part = bytes.mid(qsizetype(at), qsizetype(count));
        at += count;
        return part;
    }
    bool Bad() const { return bad; }

private:
    const QByteArray &bytes;
    std::size_t at = 0;
    bool bad = false;
};

// One header's bytes after its CRC and size fields, checked.
TAceHeadError ReadHeaderBytes(TZipSource &source, std::int64_t offset, QByteArray &bytes)
{
    std::uint8_t head[4];
    if (source.ReadAt(offset, head, 4) != 4)
        return aheTruncated;
    const std::uint16_t crc = std::uint16_t(head[0] | head[1] << 8);
    const std::uint16_t size = std::uint16_t(head[2] | head[3] << 8);
    bytes.resize(size);
    if (source.ReadAt(offset + 4, bytes.data(), size) != size)
        return aheTruncated;
    const std::uint32_t sum =
        AceCrc(aceCrcStart, reinterpret_cast<const std::uint8_t *>(bytes.constData()), size);
    return (sum & 0xFFFF) == crc ? aheNone : aheBadCrc;
}

bool ParseMain(const QByteArray &bytes, TAceMainHeader &main)
{
    TFields fields(bytes);
    if (fields.Value(1) != typeMain)
        return false;
    main.flags = std::uint16_t(fields.Value(2));
    if (fields.Bytes(magicLength) != QByteArray(magic))
        return false;
    main.extractVersion = std::uint8_t(fields.Value(1));
    main.createVersion = std::uint8_t(fields.Value(1));
    main.host = std::uint8_t(fields.Value(1));
    main.volume = std::uint8_t(fields.Value(1));
    main.time = std::uint32_t(fields.Value(4));
    fields.Bytes(8); // reserved
    if (main.flags & acfAdvert)
        main.advert = fields.Bytes(std::size_t(fields.Value(1)));
    return !fields.Bad();
}

bool ParseFile(const QByteArray &bytes, TAceFileHeader &file)
{
    TFields fields(bytes);
    const int type = int(fields.Value(1));
    file.flags = std::uint16_t(fields.Value(2));
    if (!(file.flags & acfAddSize))
        return false;
    const bool wide = file.flags & acf64Bit;
    if (type != (wide ? typeFile64 : typeFile32))
        return false;
    file.packedSize = fields.Value(wide ? 8 : 4);
    file.size = fields.Value(wide ? 8 : 4);
    file.time = std::uint32_t(fields.Value(4));
    file.attributes = std::uint32_t(fields.Value(4));
    file.crc = std::uint32_t(fields.Value(4));
    file.method = std::uint8_t(fields.Value(1));
    file.quality = std::uint8_t(fields.Value(1));
    file.params = std::uint16_t(fields.Value(2));
    fields.Value(2); // reserved
    file.name = fields.Bytes(std::size_t(fields.Value(2)));
    return !fields.Bad();
}

// Where the main header starts: 0, or after the code of a self-extractor.
bool FindMain(TZipSource &source, TAceVolume &volume, std::int64_t &next)
{
    const std::int64_t span = std::min(source.Size(), searchLimit + magicOffset + magicLength);
    QByteArray head(qsizetype(std::max<std::int64_t>(0, span)), Qt::Uninitialized);
    if (source.ReadAt(0, head.data(), head.size()) != head.size())
        return false;
    for (qsizetype found = head.indexOf(magic); found >= 0;
         found = head.indexOf(magic, found + 1)) {
        const std::int64_t start = found - magicOffset;
        if (start < 0)
            continue;
        QByteArray bytes;
        if (ReadHeaderBytes(source, start, bytes) == aheNone && ParseMain(bytes, volume.main)) {
            next = start + 4 + bytes.size();
            return true;
        }
    }
    return false;
}

} // namespace

TAceVolume ReadAceVolume(TZipSource &source)
{
    TAceVolume volume;
    std::int64_t offset = 0;
    if (!FindMain(source, volume, offset)) {
        volume.error = aheNotAce;
        return volume;
    }
    const std::int64_t end = source.Size();
    while (offset < end) {
        QByteArray bytes;
        const TAceHeadError read = ReadHeaderBytes(source, offset, bytes);
        if (read != aheNone) {
            volume.error = read;
            volume.errorOffset = offset;
            return volume;
        }
        const std::int64_t dataOffset = offset + 4 + bytes.size();
        const int type = bytes.isEmpty() ? -1 : int(std::uint8_t(bytes[0]));
        std::uint64_t skip = 0;
        if (type == typeFile32 || type == typeFile64) {
            TAceFileHeader file;
            if (!ParseFile(bytes, file)) {
                volume.error = aheMalformed;
                volume.errorOffset = offset;
                return volume;
            }
            file.dataOffset = dataOffset;
            skip = file.packedSize;
            if (skip > std::uint64_t(end - dataOffset)) {
                volume.error = aheTruncated;
                volume.errorOffset = offset;
                return volume;
            }
            volume.files.push_back(std::move(file));
        } else if (bytes.size() >= 3 && (std::uint8_t(bytes[1]) & acfAddSize)) {
            // Another kind of header (a recovery record) with data to pass over.
            TFields fields(bytes);
            fields.Value(1);
            const bool wide = fields.Value(2) & acf64Bit;
            skip = fields.Value(wide ? 8 : 4);
            if (fields.Bad() || skip > std::uint64_t(end - dataOffset)) {
                volume.error = fields.Bad() ? aheMalformed : aheTruncated;
                volume.errorOffset = offset;
                return volume;
            }
        }
        offset = dataOffset + std::int64_t(skip);
    }
    return volume;
}

} // namespace kestrel
