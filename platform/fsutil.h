#pragma once
// Private to platform/: file status, DOS attributes and whole-buffer I/O on
// native paths and descriptors, shared by the file, search and state-file calls.
// Failures leave errno set for the caller to map.

#include "platform/wintypes.h"

#include <QByteArray>

#include <cstddef>

namespace kestrel::sys {

struct FileStatus {
    unsigned mode = 0; // st_mode
    UINT64 size = 0;
    FILETIME creation; // birth time where the file system keeps it, else ctime
    FILETIME access;
    FILETIME lastWrite;
    UINT64 device = 0;
    UINT64 inode = 0;
    bool link = false; // the path itself is a symbolic link (see StatEntry)
    bool isDir() const;
    bool isFile() const;
    bool sameFile(const FileStatus &other) const;
    bool ownerCanWrite() const;
};

bool StatPath(const QByteArray &native, FileStatus &st, bool followLinks = true);
bool StatFd(int fd, FileStatus &st);
// The status of a path relative to dirfd (or AT_FDCWD) with a link followed,
// and link set when the path itself is one. A dangling link succeeds with the
// status of the link itself (a mode of S_IFLNK).
bool StatEntry(int dirfd, const char *path, FileStatus &st);

// The file a whole-file rewrite of native replaces: symbolic links followed,
// chains included, each relative link text taken from its link's folder, to a
// file that need not exist yet (a dotfile link made before the first run).
// False with errno set (ELOOP) when the links go round.
bool WriteTarget(const QByteArray &native, QByteArray &target);

// Renames without replacing; 0 or an errno value. File systems without
// RENAME_NOREPLACE get a hard link and unlink for files, which fails just as
// safely, and a checked rename as the last resort.
int RenameNoReplace(const QByteArray &from, const QByteArray &to, bool isDir);

// The last component of a native path.
QByteArray BaseName(const QByteArray &native);
// The folder part of a native path ("." when there is none).
QByteArray DirName(const QByteArray &native);

// Windows attributes of a file whose status is known. A leading dot in name
// means hidden; "." and ".." never count as dot names.
DWORD AttributesOf(const QByteArray &native, const FileStatus &st, const QByteArray &name);
// The same with the stored DOS attributes already read (null when there are none).
DWORD AttributesFrom(const FileStatus &st, const QByteArray &name, const DWORD *stored);

// The DOS attributes kept in user.DOSATTRIB ("0x22"); false when there are none.
bool ReadDosAttrib(const QByteArray &native, DWORD &stored);
bool ReadDosAttribFd(int fd, DWORD &stored);
// True when a failed read of the DOS attributes says the file system keeps none.
bool NoDosAttribSupport(int err);
// Stores hidden/system/archive. A file system without extended attributes
// silently keeps nothing (true); other failures are false with errno set.
bool WriteDosAttrib(const QByteArray &native, DWORD stored);
bool WriteDosAttribFd(int fd, DWORD stored);

// Full transfers that resume after partial I/O and EINTR. The count done is
// returned through done also on failure. ReadFully stops early only at the end.
bool ReadFully(int fd, void *buffer, std::size_t size, std::size_t &done);
bool WriteFully(int fd, const void *buffer, std::size_t size, std::size_t &done);

} // namespace kestrel::sys
