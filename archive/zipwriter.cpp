#include "archive/zipwriter.h"

#include "archive/zipbytes.h"

#include <algorithm>

namespace kestrel {

using namespace zip;

namespace {

constexpr sys::UINT64 max32 = 0xFFFFFFFF;
constexpr std::uint16_t zip64Version = 45;

// The extra fields without the ZIP64 one, whole fields only, as many as fit
// in room bytes; a field that overruns the data is dropped with the rest.
QByteArray OtherExtraFields(const QByteArray &extra, int room)
{
    QByteArray kept;
    const auto *p = reinterpret_cast<const unsigned char *>(extra.constData());
    int pos = 0;
    while (pos + 4 <= extra.size()) {
        const std::uint16_t id = Get16(p + pos);
        const int size = Get16(p + pos + 2);
        if (pos + 4 + size > extra.size())
            break;
        if (id != extraZip64 && kept.size() + 4 + size <= room)
            kept.append(extra.constData() + pos, 4 + size);
        pos += 4 + size;
    }
    return kept;
}

} // namespace

QByteArray ZipCentralHeader(const TZipCentralEntry &entry, sys::UINT64 localOffset)
{
    QByteArray zip64;
    for (const sys::UINT64 value : {entry.size, entry.packedSize, localOffset}) {
        if (value >= max32)
            Put64(zip64, value);
    }
    QByteArray extra;
    if (!zip64.isEmpty()) {
        Put16(extra, extraZip64);
        Put16(extra, std::uint32_t(zip64.size()));
        extra += zip64;
    }
    // The name and the fields must fit their 16-bit lengths.
    extra += OtherExtraFields(entry.extra, 0xFFFF - int(extra.size()));
    const QByteArray name = entry.rawName.left(0xFFFF);

    QByteArray out;
    out.reserve(centralHeaderSize + name.size() + extra.size());
    Put32(out, sigCentral);
    Put16(out, entry.madeBy);
    Put16(out, zip64.isEmpty() ? entry.needed : std::max(entry.needed, zip64Version));
    Put16(out, entry.flags);
    Put16(out, entry.method);
    Put16(out, entry.dosTime);
    Put16(out, entry.dosDate);
    Put32(out, entry.crc);
    Put32(out, std::uint32_t(std::min(entry.packedSize, max32)));
    Put32(out, std::uint32_t(std::min(entry.size, max32)));
    Put16(out, std::uint32_t(name.size()));
    Put16(out, std::uint32_t(extra.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, entry.internalAttributes);
    Put32(out, entry.externalAttributes);
    Put32(out, std::uint32_t(std::min(localOffset, max32)));
    out.append(name).append(extra);
    return out;
}

QByteArray ZipEndRecords(sys::UINT64 count, sys::UINT64 size, sys::UINT64 offset,
                         const QByteArray &comment)
{
    QByteArray out;
    const bool zip64 = count >= 0xFFFF || size >= max32 || offset >= max32;
    if (zip64) {
        const sys::UINT64 end64 = offset + size;
        Put32(out, sigEnd64);
        Put64(out, end64Size - 12);
        Put16(out, zip64Version);
        Put16(out, zip64Version);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, count);
        Put64(out, count);
        Put64(out, size);
        Put64(out, offset);
        Put32(out, sigLocator);
        Put32(out, 0);
        Put64(out, end64);
        Put32(out, 1);
    }
    const QByteArray text = comment.left(0xFFFF);
    Put32(out, sigEnd);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, std::uint32_t(std::min<sys::UINT64>(count, 0xFFFF)));
    Put16(out, std::uint32_t(std::min<sys::UINT64>(count, 0xFFFF)));
    Put32(out, std::uint32_t(std::min(size, max32)));
    Put32(out, std::uint32_t(std::min(offset, max32)));
    Put16(out, std::uint32_t(text.size()));
    out.append(text);
    return out;
}

} // namespace kestrel
