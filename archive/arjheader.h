#pragma once
// The ARJ archive headers, read by the program itself: the search for the
// first header (behind a self-extractor's program stub), and each header in
// turn with its CRC checked.

#include "archive/zipsource.h"
#include "platform/wintypes.h"

#include <QByteArray>

#include <array>

namespace kestrel {

// ARJ flags.
inline constexpr int arjVolume = 0x04;    // the item goes on in the next volume
inline constexpr int arjContinued = 0x08; // the item began in the previous volume
inline constexpr int arjPathSlash = 0x10; // separators are stored as '/'
// File types.
inline constexpr int arjTypeFolder = 3;
// Host systems whose access mode is a Unix mode.
inline constexpr int arjHostUnix = 2;
inline constexpr int arjHostNext = 8;

// The largest basic header a reader accepts.
inline constexpr int arjHeaderLimit = 2600;
// The longest stored name taken from a header.
inline constexpr int arjNameLimit = 512;
// How far into a file the first header is searched for.
inline constexpr sys::INT64 arjSearchLimit = 500000;

struct TArjHeader {
    int firstHeaderSize = 0;
    int version = 0;
    int minVersion = 0;
    int hostOs = 0;
    int flags = 0;
    int method = 0;
    int fileType = 0;
    sys::DWORD dosTime = 0; // date in the high half
    sys::UINT64 packedSize = 0;
    sys::UINT64 size = 0;
    sys::DWORD crc = 0;
    int fileSpecPosition = 0;
    int accessMode = 0;
    int hostData = 0;
    QByteArray name; // stored bytes; '\' for separators when arjPathSlash was set

    bool IsFolder() const;
    // Windows attributes: a Unix mode becomes folder and read-only bits, an
    // MS-DOS attribute byte is taken as it is.
    sys::DWORD Attributes() const;
};

enum TArjReadResult : int {
    arjEnd = 0,     // end marker, a header over the limit, or the data ran out
    arjRead = 1,    // a header was read
    arjNoId = 8,    // the first header lacks the id bytes
    arjBadCrc = 10, // the header's CRC does not match
};

// Standard CRC-32 (reflected 0xEDB88320), started and ended by the caller.
sys::DWORD ArjCrcUpdate(sys::DWORD crc, const char *data, sys::INT64 length);

class TArjReader {
public:
    explicit TArjReader(TZipSource &source) : source(source) {}

    sys::INT64 Position() const { return position; }
    void Seek(sys::INT64 offset) { position = offset; }

    // From the current position, the offset of the first place that holds
    // the id bytes and a header whose CRC checks out, within the first
    // arjSearchLimit bytes; -1 when there is none. The position is left at
    // the header found.
    sys::INT64 FindHeader();
    // Reads the header at the current position and moves past it and its
    // extended headers, to the item's data.
    int ReadHeader(bool first, TArjHeader &header);

private:
    bool Read(void *buffer, sys::INT64 length);
    bool ReadWord(int &value);
    bool ReadDword(sys::DWORD &value);
    // Reads a basic header of the size given and checks its CRC.
    int ReadChecked(int size);

    TZipSource &source;
    sys::INT64 position = 0;
    std::array<char, arjHeaderLimit> buffer{};
};

} // namespace kestrel
