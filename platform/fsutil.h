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
    bool isDir() const;
    bool isFile() const;
    bool sameFile(const FileStatus &other) const;
    bool ownerCanWrite() const;
};

bool StatPath(const QByteArray &native, FileStatus &st, bool followLinks = true);
bool StatFd(int fd, FileStatus &st);

// The last component of a native path.
QByteArray BaseName(const QByteArray &native);
// The folder part of a native path ("." when there is none).
QByteArray DirName(const QByteArray &native);

// Windows attributes of a file whose status is known. A leading dot in name
// means hidden; "." and ".." never count as dot names.
DWORD AttributesOf(const QByteArray &native, const FileStatus &st, const QByteArray &name);

// The DOS attributes kept in user.DOSATTRIB ("0x22"); false when there are none.
bool ReadDosAttrib(const QByteArray &native, DWORD &stored);
bool ReadDosAttribFd(int fd, DWORD &stored);
// Stores hidden/system/archive. A file system without extended attributes
// silently keeps nothing (true); other failures are false with errno set.
bool WriteDosAttrib(const QByteArray &native, DWORD stored);
bool WriteDosAttribFd(int fd, DWORD stored);

// Full transfers that resume after partial I/O and EINTR. The count done is
// returned through done also on failure. ReadFully stops early only at the end.
bool ReadFully(int fd, void *buffer, std::size_t size, std::size_t &done);
bool WriteFully(int fd, const void *buffer, std::size_t size, std::size_t &done);

} // namespace kestrel::sys
