#pragma once
// The ZIP archive's directory, read by the program itself: the end record
// (with the ZIP64 end record and its locator) and the central headers, with
// names decoded and ZIP64 sizes and offsets applied.

#include "archive/codepage.h"
#include "archive/zipsource.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace kestrel {

// What the end records say, and where the directory really starts.
struct TZipEnd {
    sys::INT64 fileSize = 0;       // the file's size, corrected for a comment of another length
    sys::INT64 endOffset = 0;      // the end record
    sys::INT64 directoryStart = 0; // computed: the directory ends where the end records begin
    sys::INT64 recordedStart = 0;  // the directory offset the end record gives
    sys::UINT64 entryCount = 0;
    sys::UINT64 directorySize = 0;
    int commentLength = 0;
    bool zip64 = false;
    // Bytes in front of the archive (a self-extractor) that its offsets leave out.
    sys::INT64 Shift() const { return directoryStart - recordedStart; }
};

// One central header as read.
struct TZipCentralEntry {
    QByteArray rawName;
    QString path;     // decoded; '/' turned into '\', a trailing one kept
    QByteArray extra; // only when asked for
    sys::UINT64 packedSize = 0;
    sys::UINT64 size = 0;
    sys::UINT64 localOffset = 0;
    std::uint32_t crc = 0;
    std::uint32_t externalAttributes = 0;
    std::uint32_t diskStart = 0;
    std::uint16_t madeBy = 0;
    std::uint16_t needed = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint16_t internalAttributes = 0;

    bool IsUnixMade() const { return (madeBy >> 8) == 3; }
    // The Unix file mode of a Unix-made entry, else 0.
    unsigned UnixMode() const { return IsUnixMade() ? externalAttributes >> 16 : 0; }
    bool IsFolder() const;
    bool IsLink() const;
    bool IsEncrypted() const { return flags & 0x01; }
    // As listed: the DOS attribute byte, or for a Unix-made entry folder and
    // read-only from its mode; hidden for a name that starts with a dot.
    sys::DWORD Attributes() const;
    // The DOS date and time taken as local time, in UTC; a date or time that
    // cannot be gives the start of 1980.
    sys::FILETIME Time() const;
};

// How an item's name is decoded: UTF-8 when flagged or given in a Unicode
// path extra field that matches the name; UTF-8 too for a Unix-made name
// that is valid UTF-8; otherwise the OEM code page.
QString DecodeZipName(const QByteArray &raw, std::uint16_t flags, std::uint16_t madeBy,
                      const unsigned char *extra, int extraLength, int codePage);

class TZipDirectoryReader {
public:
    explicit TZipDirectoryReader(TZipSource &source, int codePage = ZipCodePage())
        : source(source), codePage(codePage)
    {
    }

    // Finds the end record: 0, or the message id 11008 (seek), 11011 (the
    // record cannot be read) or 11036 (no record: not a ZIP archive).
    int FindEnd(TZipEnd &end);
    // Reads the headers from the directory start, handing each to found: 0,
    // or the message id 10201 (seek or extra field), 11013 (header), 11015
    // (signature) or 11017 (name) of the failure that ended the reading.
    int ReadEntries(const TZipEnd &end, bool keepExtra,
                    const std::function<void(TZipCentralEntry &)> &found);
    // The archive comment, as far as the file holds it.
    QByteArray ReadComment(const TZipEnd &end);

private:
    bool FindEnd64(TZipEnd &end, sys::INT64 &directoryEnd);
    bool SignatureAt(sys::INT64 offset, std::uint32_t signature);

    TZipSource &source;
    int codePage;
};

} // namespace kestrel
