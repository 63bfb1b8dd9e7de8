#include "archive/formatcheck.h"

#include "archive/zipsource.h"

#include <cstring>

namespace kestrel {

namespace {

struct TExtension {
    const char *suffix;
    TCompression compression;
};

constexpr TExtension extensions[] = {
    {".gz", tcGzip}, {".tgz", tcGzip}, {".bz2", tcBzip2}, {".tbz2", tcBzip2}, {".tbz", tcBzip2},
    {".xz", tcXz},   {".txz", tcXz},   {".zst", tcZstd},  {".lz4", tcLz4},
};

bool StartsWith(const QByteArray &bytes, qsizetype at, const char *magic, qsizetype length)
{
    return bytes.size() >= at + length && std::memcmp(bytes.constData() + at, magic, length) == 0;
}

unsigned Byte(const QByteArray &bytes, qsizetype at)
{
    return static_cast<unsigned char>(bytes[at]);
}

// A tar header block: "ustar" at 257, or an old header whose checksum (the
// bytes summed with the checksum field as blanks) is right; an empty
// archive is a block of zeros.
bool TarHead(const QByteArray &head)
{
    if (StartsWith(head, 257, "ustar", 5))
        return true;
    if (head.size() < 512)
        return false;
    unsigned sum = 0;
    bool zeros = true;
    for (int i = 0; i < 512; ++i) {
        sum += (i >= 148 && i < 156) ? 0x20 : Byte(head, i);
        zeros = zeros && head[i] == 0;
    }
    if (zeros)
        return true;
    unsigned stored = 0;
    int digits = 0;
    for (int i = 148; i < 156; ++i) {
        const char c = head[i];
        if (c >= '0' && c <= '7') {
            stored = stored * 8 + unsigned(c - '0');
            ++digits;
        } else if (c != ' ' && c != 0) {
            return false;
        }
    }
    return digits > 0 && stored == sum;
}

bool CompressedHead(TCompression compression, const QByteArray &head)
{
    switch (compression) {
    case tcGzip:
        return StartsWith(head, 0, "\x1f\x8b\x08", 3);
    case tcBzip2:
        return StartsWith(head, 0, "BZh", 3) && head.size() > 3 && head[3] >= '1' && head[3] <= '9';
    case tcXz:
        return StartsWith(head, 0,
                          "\xfd"
                          "7zXZ\0",
                          6);
    case tcZstd:
        // A frame, or a skippable frame (magic 0x184D2A50 to 0x184D2A5F).
        return StartsWith(head, 0, "\x28\xb5\x2f\xfd", 4) ||
               (StartsWith(head, 1, "\x2a\x4d\x18", 3) && (Byte(head, 0) & 0xF0) == 0x50);
    case tcLz4:
        return StartsWith(head, 0, "\x04\x22\x4d\x18", 4) ||
               StartsWith(head, 0, "\x02\x21\x4c\x18", 4);
    case tcNone:
        break;
    }
    return false;
}

sys::UINT64 Little(const unsigned char *p, int bytes)
{
    sys::UINT64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

QByteArray ReadBytes(TZipSource &source, sys::INT64 offset, sys::INT64 length)
{
    if (offset < 0 || length < 0 || offset + length > source.Size())
        return QByteArray();
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    if (source.ReadAt(offset, bytes.data(), length) != length)
        return QByteArray();
    return bytes;
}

// A multibyte integer of the xz index; false past the end or when too long.
bool XzNumber(const QByteArray &bytes, qsizetype &at, sys::UINT64 &value)
{
    value = 0;
    for (int shift = 0; shift < 63 && at < bytes.size(); shift += 7) {
        const unsigned b = Byte(bytes, at++);
        value |= sys::UINT64(b & 0x7F) << shift;
        if (!(b & 0x80))
            return true;
    }
    return false;
}

sys::INT64 XzSize(TZipSource &source)
{
    const sys::INT64 size = source.Size();
    const QByteArray footer = ReadBytes(source, size - 12, 12);
    if (footer.size() != 12 || !footer.endsWith("YZ"))
        return -1;
    const sys::INT64 indexSize =
        (sys::INT64(Little(reinterpret_cast<const unsigned char *>(footer.constData()) + 4, 4)) +
         1) *
        4;
    // The index of one stream, which holds every block's unpacked size.
    if (indexSize > (sys::INT64(1) << 26))
        return -1;
    const QByteArray index = ReadBytes(source, size - 12 - indexSize, indexSize);
    if (index.isEmpty() || index[0] != 0)
        return -1;
    qsizetype at = 1;
    sys::UINT64 records = 0;
    if (!XzNumber(index, at, records))
        return -1;
    sys::UINT64 total = 0;
    for (sys::UINT64 i = 0; i < records; ++i) {
        sys::UINT64 unpadded = 0;
        sys::UINT64 unpacked = 0;
        if (!XzNumber(index, at, unpadded) || !XzNumber(index, at, unpacked) ||
            unpacked > sys::UINT64(INT64_MAX) - total)
            return -1;
        total += unpacked;
    }
    return sys::INT64(total);
}

sys::INT64 ZstdSize(const QByteArray &head)
{
    if (!StartsWith(head, 0, "\x28\xb5\x2f\xfd", 4) || head.size() < 5)
        return -1;
    const unsigned descriptor = Byte(head, 4);
    const unsigned sizeFlag = descriptor >> 6;
    const bool singleSegment = descriptor & 0x20;
    static const int dictionaryBytes[] = {0, 1, 2, 4};
    static const int sizeBytes[] = {0, 2, 4, 8};
    const int fieldBytes = sizeFlag == 0 ? (singleSegment ? 1 : 0) : sizeBytes[sizeFlag];
    if (fieldBytes == 0)
        return -1;
    const qsizetype at = 5 + (singleSegment ? 0 : 1) + dictionaryBytes[descriptor & 3];
    if (head.size() < at + fieldBytes)
        return -1;
    sys::UINT64 value =
        Little(reinterpret_cast<const unsigned char *>(head.constData()) + at, fieldBytes);
    if (fieldBytes == 2)
        value += 256;
    return value > sys::UINT64(INT64_MAX) ? -1 : sys::INT64(value);
}

sys::INT64 Lz4Size(const QByteArray &head)
{
    // Frame flags: the content size follows the block descriptor when bit 3 is set.
    if (!StartsWith(head, 0, "\x04\x22\x4d\x18", 4) || head.size() < 14 || !(Byte(head, 4) & 0x08))
        return -1;
    const sys::UINT64 value =
        Little(reinterpret_cast<const unsigned char *>(head.constData()) + 6, 8);
    return value > sys::UINT64(INT64_MAX) ? -1 : sys::INT64(value);
}

} // namespace

TCompression CompressionOf(const QString &fileName)
{
    for (const TExtension &e : extensions)
        if (fileName.endsWith(QLatin1String(e.suffix), Qt::CaseInsensitive))
            return e.compression;
    return tcNone;
}

bool HeadMatches(TArchiveType type, TCompression compression, const QByteArray &head)
{
    switch (type) {
    case atSevenZip:
        return StartsWith(head, 0, "7z\xbc\xaf\x27\x1c", 6);
    case atTar:
        return compression == tcNone ? TarHead(head) : CompressedHead(compression, head);
    case atCab:
        return StartsWith(head, 0, "MSCF", 4);
    case atLha:
        // The method id "-lh5-" (or "-lz4-"...) right after the header's size and checksum.
        return head.size() >= 7 && head[2] == '-' && head[3] == 'l' &&
               (head[4] == 'h' || head[4] == 'z') && head[6] == '-';
    case atIso:
        return StartsWith(head, 32769, "CD001", 5);
    case atCpio:
        return StartsWith(head, 0, "070707", 6) || StartsWith(head, 0, "070701", 6) ||
               StartsWith(head, 0, "070702", 6) || StartsWith(head, 0, "\xc7\x71", 2) ||
               StartsWith(head, 0, "\x71\xc7", 2);
    case atCompressed:
        return CompressedHead(compression, head);
    default:
        return false;
    }
}

sys::INT64 CompressedSize(TCompression compression, TZipSource &source)
{
    switch (compression) {
    case tcGzip: {
        // The trailer gives the size modulo 4 GiB: believed only where the
        // compressed data could not have held more.
        const QByteArray trailer = ReadBytes(source, source.Size() - 4, 4);
        if (trailer.size() != 4)
            return -1;
        const sys::INT64 size =
            sys::INT64(Little(reinterpret_cast<const unsigned char *>(trailer.constData()), 4));
        return source.Size() * 1032 < (sys::INT64(1) << 32) ? size : -1;
    }
    case tcXz:
        return XzSize(source);
    case tcZstd:
        return ZstdSize(ReadBytes(source, 0, std::min<sys::INT64>(18, source.Size())));
    case tcLz4:
        return Lz4Size(ReadBytes(source, 0, std::min<sys::INT64>(14, source.Size())));
    case tcBzip2:
    case tcNone:
        break;
    }
    return -1;
}

QString CompressedName(const QString &archiveName)
{
    const qsizetype dot = archiveName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? archiveName.left(dot) : archiveName;
}

} // namespace kestrel
