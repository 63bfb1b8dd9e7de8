#include "archive/zipdirectory.h"

#include "archive/zipbytes.h"
#include "platform/filetime.h"
#include "platform/names.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace kestrel {

using namespace zip;

namespace {

constexpr unsigned modeTypeMask = 0170000;
constexpr unsigned modeFolder = 0040000;
constexpr unsigned modeLink = 0120000;
constexpr unsigned modeOwnerWrite = 0200;

// The largest end record with its comment, searched from the end of the file.
constexpr sys::INT64 endSearchSize = 0xFFFF + endSize;

bool IsAscii(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p++;
        int follow;
        std::uint32_t code;
        if (c < 0x80)
            continue;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < follow)
            return false;
        for (int i = 0; i < follow; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        p += follow;
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((follow == 2 && code < 0x800) || (follow == 3 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
    }
    return true;
}

// The UTF-8 name of an Info-ZIP Unicode path field whose check value is the
// CRC of the header's name; empty when there is none or it does not match.
QByteArray UnicodePath(const QByteArray &raw, const unsigned char *extra, int length)
{
    int pos = 0;
    while (pos + 4 <= length) {
        const std::uint16_t id = Get16(extra + pos);
        const int size = Get16(extra + pos + 2);
        if (pos + 4 + size > length)
            break;
        const unsigned char *field = extra + pos + 4;
        if (id == extraUnicodePath && size > 5 && field[0] == 1) {
            const auto crc = std::uint32_t(
                crc32(0, reinterpret_cast<const Bytef *>(raw.constData()), uInt(raw.size())));
            if (crc == Get32(field + 1))
                return QByteArray(reinterpret_cast<const char *>(field + 5), size - 5);
        }
        pos += 4 + size;
    }
    return QByteArray();
}

// Replaces the header values that say "see the ZIP64 field" with its values.
void ApplyZip64(TZipCentralEntry &e, const unsigned char *extra, int length)
{
    int pos = 0;
    while (pos + 4 <= length) {
        const std::uint16_t id = Get16(extra + pos);
        const int size = Get16(extra + pos + 2);
        if (pos + 4 + size > length)
            return;
        if (id == extraZip64) {
            const unsigned char *p = extra + pos + 4;
            int left = size;
            const auto take = [&](sys::UINT64 &value) {
                if (value == 0xFFFFFFFF && left >= 8) {
                    value = Get64(p);
                    p += 8;
                    left -= 8;
                }
            };
            take(e.size);
            take(e.packedSize);
            take(e.localOffset);
            if (e.diskStart == 0xFFFF && left >= 4)
                e.diskStart = Get32(p);
            return;
        }
        pos += 4 + size;
    }
}

// Buffered sequential reading of the directory.
class TCursor {
public:
    TCursor(TZipSource &source, sys::INT64 position) : source(source), position(position) {}

    // Makes up to count bytes at the position available; returns how many
    // are (fewer only at the end of the data), or -1 when a read fails.
    sys::INT64 Need(sys::INT64 count)
    {
        if (position >= bufferStart && position + count <= bufferStart + bufferLength)
            return count;
        // A large directory is read in steps of 1 MiB, a small one at once.
        const sys::INT64 want =
            std::max<sys::INT64>(count, std::min<sys::INT64>(1 << 20, source.Size() - position));
        if (want > capacity) {
            buffer.reset(new unsigned char[std::size_t(want)]);
            capacity = want;
        }
        const sys::INT64 got = source.ReadAt(position, buffer.get(), want);
        if (got < 0)
            return -1;
        bufferStart = position;
        bufferLength = got;
        return std::min(count, got);
    }
    const unsigned char *Data() const { return buffer.get() + (position - bufferStart); }
    void Advance(sys::INT64 count) { position += count; }

private:
    TZipSource &source;
    sys::INT64 position;
    std::unique_ptr<unsigned char[]> buffer;
    sys::INT64 capacity = 0;
    sys::INT64 bufferStart = 0;
    sys::INT64 bufferLength = 0;
};

} // namespace

bool TZipCentralEntry::IsFolder() const
{
    if (path.endsWith(QLatin1Char('\\')))
        return true;
    const unsigned mode = UnixMode();
    if (mode != 0)
        return (mode & modeTypeMask) == modeFolder;
    return externalAttributes & sys::FILE_ATTRIBUTE_DIRECTORY;
}

bool TZipCentralEntry::IsLink() const
{
    return (UnixMode() & modeTypeMask) == modeLink;
}

sys::DWORD TZipCentralEntry::Attributes() const
{
    const unsigned mode = UnixMode();
    sys::DWORD attributes = externalAttributes & 0xFF;
    if (mode != 0) {
        attributes = 0;
        if (!(mode & modeOwnerWrite))
            attributes |= sys::FILE_ATTRIBUTE_READONLY;
    }
    if (IsFolder())
        attributes |= sys::FILE_ATTRIBUTE_DIRECTORY;
    QStringView name(path);
    if (name.endsWith(QLatin1Char('\\')))
        name.chop(1);
    if (name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1).startsWith(QLatin1Char('.')))
        attributes |= sys::FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

sys::FILETIME TZipCentralEntry::Time() const
{
    // Archives hold runs of equal times; the conversion to UTC is not cheap.
    thread_local std::uint32_t lastKey = 0;
    thread_local sys::FILETIME lastTime;
    thread_local bool known = false;
    const std::uint32_t key = (std::uint32_t(dosDate) << 16) | dosTime;
    if (known && key == lastKey)
        return lastTime;
    sys::FILETIME local;
    sys::FILETIME utc;
    if (!sys::DosDateTimeToFileTime(dosDate, dosTime, local) ||
        !sys::LocalFileTimeToFileTime(local, utc)) {
        sys::DosDateTimeToFileTime((0 << 9) | (1 << 5) | 1, 0, local);
        sys::LocalFileTimeToFileTime(local, utc);
    }
    lastKey = key;
    lastTime = utc;
    known = true;
    return utc;
}

QString DecodeZipName(const QByteArray &raw, std::uint16_t flags, std::uint16_t madeBy,
                      const unsigned char *extra, int extraLength, int codePage)
{
    if (IsAscii(raw))
        return QString::fromLatin1(raw);
    if (flags & 0x0800)
        return sys::DecodeName(raw);
    const QByteArray unicode = UnicodePath(raw, extra, extraLength);
    if (!unicode.isEmpty())
        return sys::DecodeName(unicode);
    if ((madeBy >> 8) == 3 && IsValidUtf8(raw))
        return sys::DecodeName(raw);
    return DecodeOem(raw, codePage);
}

bool TZipDirectoryReader::SignatureAt(sys::INT64 offset, std::uint32_t signature)
{
    unsigned char bytes[4];
    return offset >= 0 && source.ReadAt(offset, bytes, 4) == 4 && Get32(bytes) == signature;
}

int TZipDirectoryReader::FindEnd(TZipEnd &end)
{
    const sys::INT64 size = source.Size();
    end = TZipEnd();
    end.fileSize = size;
    unsigned char record[endSize];
    bool found = false;
    // The record of an archive without comment is the last 22 bytes.
    if (size >= endSize && source.ReadAt(size - endSize, record, endSize) == endSize &&
        Get32(record) == sigEnd && Get16(record + 20) == 0) {
        end.endOffset = size - endSize;
        found = true;
    }
    if (!found) {
        if (size < endSize)
            return 11011;
        const sys::INT64 n = std::min(size, endSearchSize);
        std::vector<unsigned char> tail(static_cast<std::size_t>(n));
        const sys::INT64 got = source.ReadAt(size - n, tail.data(), n);
        if (got < 0)
            return 11008;
        if (got < n)
            return 11011;
        // The last candidate whose comment reaches the end of the file
        // exactly; else the last candidate, the file size corrected by the
        // difference.
        sys::INT64 first = -1;
        sys::INT64 chosen = -1;
        for (sys::INT64 i = n - endSize; i >= 0 && chosen < 0; --i) {
            if (tail[std::size_t(i)] != 'P' || Get32(&tail[std::size_t(i)]) != sigEnd)
                continue;
            if (first < 0)
                first = i;
            if (i + endSize + Get16(&tail[std::size_t(i) + 20]) == n)
                chosen = i;
        }
        if (chosen < 0)
            chosen = first;
        if (chosen < 0)
            return 11036;
        std::copy_n(&tail[std::size_t(chosen)], endSize, record);
        end.endOffset = size - n + chosen;
        end.fileSize = size + (chosen + endSize + Get16(record + 20) - n);
    }
    end.entryCount = Get16(record + 10);
    end.directorySize = Get32(record + 12);
    end.recordedStart = Get32(record + 16);
    end.commentLength = Get16(record + 20);
    sys::INT64 directoryEnd = end.endOffset;
    end.zip64 = FindEnd64(end, directoryEnd);
    end.directoryStart = end.directorySize > sys::UINT64(directoryEnd)
                             ? -1
                             : directoryEnd - sys::INT64(end.directorySize);
    return 0;
}

bool TZipDirectoryReader::FindEnd64(TZipEnd &end, sys::INT64 &directoryEnd)
{
    const sys::INT64 locator = end.endOffset - locatorSize;
    unsigned char bytes[end64Size];
    if (locator < end64Size || source.ReadAt(locator, bytes, locatorSize) != locatorSize ||
        Get32(bytes) != sigLocator)
        return false;
    // The recorded place, or right before the locator when the offsets
    // leave out data in front of the archive.
    const sys::UINT64 recorded = Get64(bytes + 8);
    sys::INT64 record = -1;
    if (recorded < sys::UINT64(locator) && SignatureAt(sys::INT64(recorded), sigEnd64))
        record = sys::INT64(recorded);
    else if (SignatureAt(locator - end64Size, sigEnd64))
        record = locator - end64Size;
    if (record < 0 || source.ReadAt(record, bytes, end64Size) != end64Size)
        return false;
    end.entryCount = Get64(bytes + 32);
    end.directorySize = Get64(bytes + 40);
    const sys::UINT64 offset = Get64(bytes + 48);
    end.recordedStart = offset > sys::UINT64(INT64_MAX) ? -1 : sys::INT64(offset);
    directoryEnd = record;
    return true;
}

int TZipDirectoryReader::ReadEntries(const TZipEnd &end, bool keepExtra,
                                     const std::function<void(TZipCentralEntry &)> &found)
{
    sys::INT64 start = end.directoryStart;
    if (end.entryCount > 0 && !SignatureAt(start, sigCentral) && end.recordedStart >= 0 &&
        end.recordedStart < end.endOffset && SignatureAt(end.recordedStart, sigCentral))
        start = end.recordedStart;
    if (start < 0)
        return 10201;
    TCursor cursor(source, start);
    for (sys::UINT64 i = 0; i < end.entryCount; ++i) {
        const sys::INT64 header = cursor.Need(centralHeaderSize);
        if (header < 0)
            return 10201;
        if (header < centralHeaderSize)
            return 11013;
        const unsigned char *p = cursor.Data();
        if (Get32(p) != sigCentral)
            return 11015;
        const int nameLength = Get16(p + 28);
        const int extraLength = Get16(p + 30);
        const int commentLength = Get16(p + 32);
        const sys::INT64 whole = centralHeaderSize + nameLength + extraLength + commentLength;
        const sys::INT64 got = cursor.Need(whole);
        if (got < 0)
            return 10201;
        if (got < centralHeaderSize + nameLength)
            return 11017;
        if (got < centralHeaderSize + nameLength + extraLength)
            return 10201;
        p = cursor.Data();
        TZipCentralEntry e;
        e.madeBy = Get16(p + 4);
        e.needed = Get16(p + 6);
        e.flags = Get16(p + 8);
        e.method = Get16(p + 10);
        e.dosTime = Get16(p + 12);
        e.dosDate = Get16(p + 14);
        e.crc = Get32(p + 16);
        e.packedSize = Get32(p + 20);
        e.size = Get32(p + 24);
        e.diskStart = Get16(p + 34);
        e.internalAttributes = Get16(p + 36);
        e.externalAttributes = Get32(p + 38);
        e.localOffset = Get32(p + 42);
        e.rawName = QByteArray(reinterpret_cast<const char *>(p + centralHeaderSize), nameLength);
        const unsigned char *extra = p + centralHeaderSize + nameLength;
        ApplyZip64(e, extra, extraLength);
        if (keepExtra)
            e.extra = QByteArray(reinterpret_cast<const char *>(extra), extraLength);
        e.path = DecodeZipName(e.rawName, e.flags, e.madeBy, extra, extraLength, codePage);
        e.path.replace(QLatin1Char('/'), QLatin1Char('\\'));
        found(e);
        cursor.Advance(got);
    }
    return 0;
}

QByteArray TZipDirectoryReader::ReadComment(const TZipEnd &end)
{
    QByteArray comment(end.commentLength, Qt::Uninitialized);
    const sys::INT64 got = source.ReadAt(end.endOffset + endSize, comment.data(), comment.size());
    comment.resize(got < 0 ? 0 : qsizetype(got));
    return comment;
}

} // namespace kestrel
