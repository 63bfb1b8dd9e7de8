#pragma once
// UnrarLibrary: the RAR extraction calls the RAR handler is written
// against (open, read header, process file, callbacks, password, close),
// on libarchive's RAR and RAR 5 readers. Volumes are read one after another
// as one stream; a missing volume is asked for through the change-volume
// procedure. libarchive cannot decrypt RAR data: an encrypted item is
// extracted by the outside unar program, given the password.

#include "archive/archivestream.h"
#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace kestrel {

// Result codes of the calls.
enum TRarCode : int {
    rarSuccess = 0,
    rarEndArchive = 10,
    rarNoMemory = 11,
    rarBadData = 12,
    rarBadArchive = 13,
    rarUnknownFormat = 14,
    rarOpenFailed = 15,
    rarCreateFailed = 16,
    rarCloseFailed = 17,
    rarReadFailed = 18,
    rarWriteFailed = 19,
    rarSmallBuffer = 20,
    rarUnknown = 21,
    rarNoLibrary = 50,
    // Encryption that neither libarchive nor unar can read.
    rarEncryptionUnsupported = 60,
};

enum TRarOpenMode : int { rarOmList = 0, rarOmExtract = 1 };
enum TRarOperation : int { rarSkip = 0, rarExtract = 2 };
// Change-volume modes.
enum TRarVolumeMode : int { rarVolAsk = 0, rarVolNotify = 1 };

inline constexpr sys::DWORD rarFlagEncrypted = 0x04;

struct TRarHeader {
    QString ArcName;
    QString FileName; // path inside the archive, backslashes
    sys::DWORD Flags = 0;
    sys::UINT64 PackSize = 0;
    sys::UINT64 UnpSize = 0;
    sys::FILETIME FileTime;
    sys::DWORD FileAttr = 0; // 0x10 a folder
    QString LinkTarget;      // of a symbolic link, as stored
    QString HardLink;        // the item a hard link shares its data with, as stored
};

class UnrarLibrary {
public:
    // (volume name, mode): non-zero goes on, 0 stops.
    using TChangeVolumeProc = std::function<int(const QString &volume, int mode)>;
    // (bytes written): non-zero goes on, 0 stops.
    using TProcessDataProc = std::function<int(sys::INT64 count)>;

    UnrarLibrary();
    ~UnrarLibrary();
    UnrarLibrary(const UnrarLibrary &) = delete;
    UnrarLibrary &operator=(const UnrarLibrary &) = delete;

    // Opens the archive (Windows form); returns the open result.
    int Open(const QString &archiveName, int mode);
    int ReadHeader(TRarHeader &header);
    // Skips the item last read, or extracts it below the destination folder
    // (Windows form) keeping its stored path.
    int ProcessFile(int operation, const QString &destination);
    void SetChangeVolumeProc(TChangeVolumeProc proc) { changeVolume = std::move(proc); }
    void SetProcessDataProc(TProcessDataProc proc) { processData = std::move(proc); }
    void SetPassword(const QString &text) { password = text; }
    void Close();

    // The volume after path in a set: "x.part1.rar" "x.part2.rar", "x.rar"
    // "x.r00", "x.r00" "x.r01"; "" when the name is of no set.
    static QString NextVolume(const QString &path);
    // The program extracting encrypted items; a test may name another.
    static QString &DecryptProgram();

private:
    class TVolumes;

    int ExtractData(const QString &target);
    int ExtractEncrypted(const QString &destination, const QString &relative);

    std::unique_ptr<TVolumes> volumes;
    TArchiveReader reader;
    struct archive_entry *item = nullptr;
    TRarHeader current;
    int index = -1; // of the item last read, counted from 0
    bool processed = true;
    QString archiveName;
    QString password;
    TChangeVolumeProc changeVolume;
    TProcessDataProc processData;
};

} // namespace kestrel
