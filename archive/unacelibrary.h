#pragma once
// TUnaceLibrary: the ACE reading library behind TAce, with the calls an
// extraction library offers: open (listing or extracting), read the next
// item's header, process it (skip or extract below a folder), set the
// password, close. Everything in it is the program's own: the headers, the
// decoder, the volumes of a set (".ace", ".c00", ".c01", ...).

#include "archive/acedecoder.h"
#include "archive/aceheaders.h"
#include "archive/extractfolders.h"
#include "platform/wintypes.h"

#include <QString>

#include <functional>
#include <memory>

namespace kestrel {

// Result codes of the calls.
enum TUnaceCode : int {
    ucSuccess = 0,
    ucNoMemory = 1,
    ucNoNextVolume = 3,
    ucDiskFull = 4,
    ucOpenFailed = 5,
    ucReadFailed = 6,
    ucWriteFailed = 7,
    ucBadData = 9, // CRC error: damaged data, or a wrong password
    ucExists = 11,
    ucUnsafeName = 12, // the name would lead outside the destination
    ucStopped = 13,    // the process-data callback said stop
    ucNotAce = 128,
    ucWrongPassword = 131,
    ucUnknownFormat = 132,
};

inline constexpr int ucOperationSkip = 0;
inline constexpr int ucOperationExtract = 2;

struct TUnaceItem {
    QString name; // the stored path, backslashes
    std::uint16_t flags = 0;
    sys::UINT64 packedSize = 0;
    sys::UINT64 size = 0;
    std::uint32_t time = 0; // MS-DOS date (high word) and time
    std::uint32_t attributes = 0;
};

class TUnaceLibrary {
public:
    // mode 0: the volume does not exist (the caller may set it up and
    // return non-zero to try again); mode 1: it was opened. Return 0 to stop.
    using TChangeVolume = std::function<int(const QString &volumeName, int mode)>;
    // Bytes written since the last call; return 0 to stop.
    using TProcessData = std::function<int(sys::UINT64 count)>;

    TUnaceLibrary();
    ~TUnaceLibrary();
    TUnaceLibrary(const TUnaceLibrary &) = delete;
    TUnaceLibrary &operator=(const TUnaceLibrary &) = delete;

    // mode 0 lists the first volume's headers as stored; mode 1 extracts,
    // following the members across the volumes.
    int Open(const QString &archiveName, int mode, TChangeVolume changeVolume = {},
             TProcessData processData = {});
    // 0 with the next item, ucReadFailed/ucBadData when the headers are
    // damaged, -1 at the end.
    int ReadHeader(TUnaceItem &item);
    // destination: the folder, ending with a backslash.
    int ProcessFile(int operation, const QString &destination);
    void SetPassword(const QString &password);
    void Close();

    // Where reading stopped on damaged headers.
    TAceHeadError HeadError() const { return headError; }

private:
    class TVolume;
    class TPacked;
    friend class TPacked;

    bool OpenVolume(const QString &name, std::unique_ptr<TVolume> &volume);
    // The volume after the current one, asking through the callback while it
    // is missing; false when there is none.
    bool NextVolume(bool ask);
    QString VolumeName(int index) const;
    int Extract(const QString &destination, bool write);

    std::unique_ptr<TVolume> volume;
    std::unique_ptr<TAceDecoder> decoder;
    std::unique_ptr<TExtractFolders> folders;
    TChangeVolume changeVolume;
    TProcessData processData;
    QString archiveName;
    QByteArray password;
    TAceHeadError headError = aheNone;
    int mode = 0;
    int volumeIndex = 0;
    std::size_t nextHeader = 0;
    const TAceFileHeader *current = nullptr;
    bool currentDone = true; // the current item's data was read or passed
    bool solid = false;
};

} // namespace kestrel
