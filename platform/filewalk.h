#pragma once
// Walking every entry below a folder, for searches. Like the folder walk it
// goes by descriptor, reports links to folders without entering them and
// stops at mounts of virtual, network and FUSE file systems. An entry's
// status is read only when asked for, so a search by name costs one
// directory read per folder and nothing per file.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>

namespace kestrel::sys {

enum class WalkKind { File, Folder, FolderLink, Special };

// One entry as the walk meets it; valid during the visit only.
class WalkEntry {
public:
    QString Name() const;
    const char *NativeName() const { return name; }
    WalkKind Kind() const;
    // Attributes, size and last-write time, read on the first call (links
    // followed). The stored hidden, system and archive bits cost a call of
    // their own: without storedBits only the ones the status gives are
    // set. False when the entry went away meanwhile.
    bool Stat(bool storedBits = true);
    DWORD Attributes() const { return attributes; }
    UINT64 Size() const { return size; }
    FILETIME LastWrite() const { return lastWrite; }
    // Reads a regular file from the start in blocks of blockSize bytes into
    // buffer, handing each to block until it returns false or the file ends.
    // Special files are never opened. False (last error set) when the file
    // could not be opened or read.
    bool Read(char *buffer, std::size_t blockSize,
              const std::function<bool(const char *data, std::size_t size)> &block);

private:
    friend class FileWalker;
    int dir = -1;
    const QByteArray *folder = nullptr; // native path of dir
    const char *name = nullptr;
    unsigned char type = 0; // a dirent type, DT_UNKNOWN resolved
    bool linkToFolder = false;
    bool statDone = false;
    bool statOk = false;
    DWORD attributes = 0;
    UINT64 size = 0;
    FILETIME lastWrite;
};

struct FileWalkVisitor {
    // Every entry below the start folder in pre-order; relative is its
    // folder's path below the start folder ("" for the start folder itself,
    // else "Sub\Deeper"), depth 1 for the start folder's own entries. A
    // folder returned true for is entered. Folders at maxDepth are not.
    std::function<bool(WalkEntry &entry, const QString &relative, int depth)> visit;
    // A folder that could not be entered or read: its path below the start
    // folder and the error.
    std::function<void(const QString &relative, DWORD error)> skipped;
    // Polled between entries; true ends the walk at once.
    std::function<bool()> stop;
};

// Walks the folder below path down to maxDepth (1: the folder's own entries
// only). False (last error set) when the folder itself cannot be entered.
bool WalkFiles(const QString &path, int maxDepth, const FileWalkVisitor &visitor);

} // namespace kestrel::sys
