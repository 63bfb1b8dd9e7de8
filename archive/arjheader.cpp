#include "archive/arjheader.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr int idLow = 0x60;
constexpr int idHigh = 0xEA;
constexpr int id = 0xEA60;
constexpr int fixedPartSize = 30;
constexpr unsigned unixTypeMask = 0170000;
constexpr unsigned unixFolder = 0040000;
constexpr unsigned unixOwnerWrite = 0200;

struct TCrcTable {
    std::array<sys::DWORD, 256> entries{};
    TCrcTable()
    {
        for (sys::DWORD n = 0; n < 256; ++n) {
            sys::DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
    }
};

const TCrcTable crcTable;

int Byte(const char *p)
{
    return static_cast<unsigned char>(*p);
}

int Word(const char *p)
{
    return Byte(p) | Byte(p + 1) << 8;
}

sys::DWORD Dword(const char *p)
{
    return sys::DWORD(Word(p)) | sys::DWORD(Word(p + 2)) << 16;
}

} // namespace

sys::DWORD ArjCrcUpdate(sys::DWORD crc, const char *data, sys::INT64 length)
{
    for (sys::INT64 i = 0; i < length; ++i)
        crc = crcTable.entries[(crc ^ sys::DWORD(Byte(data + i))) & 0xFF] ^ (crc >> 8);
    return crc;
}

bool TArjHeader::IsFolder() const
{
    if (fileType == arjTypeFolder)
        return true;
    if (hostOs == arjHostUnix || hostOs == arjHostNext)
        return (unsigned(accessMode) & unixTypeMask) == unixFolder;
    return accessMode & sys::FILE_ATTRIBUTE_DIRECTORY;
}

sys::DWORD TArjHeader::Attributes() const
{
    if (hostOs != arjHostUnix && hostOs != arjHostNext)
        return sys::DWORD(accessMode & 0xFF) |
               (IsFolder() ? sys::FILE_ATTRIBUTE_DIRECTORY : sys::DWORD(0));
    sys::DWORD attributes = IsFolder() ? sys::FILE_ATTRIBUTE_DIRECTORY : 0;
    if (!(unsigned(accessMode) & unixOwnerWrite))
        attributes |= sys::FILE_ATTRIBUTE_READONLY;
    return attributes;
}

bool TArjReader::Read(void *target, sys::INT64 length)
{
    const sys::INT64 got = source.ReadAt(position, target, length);
    if (got != length)
        return false;
    position += length;
    return true;
}

bool TArjReader::ReadWord(int &value)
{
    char bytes[2];
    if (!Read(bytes, 2))
        return false;
    value = Word(bytes);
    return true;
}

bool TArjReader::ReadDword(sys::DWORD &value)
{
    char bytes[4];
    if (!Read(bytes, 4))
        return false;
    value = Dword(bytes);
    return true;
}

int TArjReader::ReadChecked(int size)
{
    if (!Read(buffer.data(), size))
        return arjEnd;
    sys::DWORD stored = 0;
    if (!ReadDword(stored))
        return arjEnd;
    return ~ArjCrcUpdate(0xFFFFFFFFu, buffer.data(), size) == stored ? arjRead : arjBadCrc;
}

sys::INT64 TArjReader::FindHeader()
{
    const sys::INT64 last = std::min(source.Size() - 2, arjSearchLimit);
    // Read ahead in blocks: the scan looks at every byte.
    constexpr sys::INT64 block = 64 * 1024;
    QByteArray window;
    sys::INT64 windowStart = 0;
    for (sys::INT64 p = position; p < last; ++p) {
        if (p + 1 >= windowStart + window.size()) {
            window.resize(qsizetype(block));
            const sys::INT64 got = source.ReadAt(p, window.data(), block);
            if (got < 2)
                return -1;
            window.resize(qsizetype(got));
            windowStart = p;
        }
        const char *at = window.constData() + (p - windowStart);
        if (Byte(at) != idLow || Byte(at + 1) != idHigh)
            continue;
        position = p + 2;
        int size = 0;
        if (ReadWord(size) && size > 0 && size <= arjHeaderLimit && ReadChecked(size) == arjRead) {
            position = p;
            return p;
        }
    }
    return -1;
}

int TArjReader::ReadHeader(bool first, TArjHeader &header)
{
    int mark = 0;
    if (!ReadWord(mark))
        return arjEnd;
    if (mark != id)
        return first ? arjNoId : arjEnd;
    int size = 0;
    if (!ReadWord(size) || size == 0 || size > arjHeaderLimit)
        return arjEnd;
    const int checked = ReadChecked(size);
    if (checked != arjRead)
        return checked;
    const char *b = buffer.data();
    header = TArjHeader();
    header.firstHeaderSize = Byte(b);
    if (size < fixedPartSize || header.firstHeaderSize > size)
        return arjEnd; // too short for its own fields
    header.version = Byte(b + 1);
    header.minVersion = Byte(b + 2);
    header.hostOs = Byte(b + 3);
    header.flags = Byte(b + 4);
    header.method = Byte(b + 5);
    header.fileType = Byte(b + 6);
    header.dosTime = Dword(b + 8);
    header.packedSize = Dword(b + 12);
    header.size = Dword(b + 16);
    header.crc = Dword(b + 20);
    header.fileSpecPosition = Word(b + 24);
    header.accessMode = Word(b + 26);
    header.hostData = Word(b + 28);
    // The name ends at its zero, at the end of the header or at the limit.
    const int room = std::min(size - header.firstHeaderSize, arjNameLimit);
    const char *name = b + header.firstHeaderSize;
    int length = 0;
    while (length < room && name[length] != 0)
        ++length;
    header.name = QByteArray(name, length);
    if (header.flags & arjPathSlash)
        header.name.replace('/', '\\');
    int extended = 0;
    for (;;) {
        if (!ReadWord(extended))
            return arjEnd;
        if (extended == 0)
            break;
        position += extended + 4;
        if (position > source.Size())
            return arjEnd;
    }
    return arjRead;
}

} // namespace kestrel
