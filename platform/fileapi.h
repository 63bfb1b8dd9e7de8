#pragma once
// The Windows file-system calls the program uses, implemented on POSIX.
// Paths are Windows-form (C:\Dir\File, \\server\share\x, or relative to the
// current directory); every call sets the thread's last error (errors.h).

#include "platform/wintypes.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace kestrel::sys {

// Searches. "." and ".." are delivered as entries; the mask follows the
// Windows wildcard rules (wildcard.h). Links are followed; a dangling link is
// a file of size 0.
HANDLE FindFirstFile(const QString &pattern, WIN32_FIND_DATA &data);
bool FindNextFile(HANDLE search, WIN32_FIND_DATA &data);
bool FindClose(HANDLE search);
// Calls visit with every entry of a folder but "." and ".." until it returns
// false. False, with the error set, when the folder cannot be listed.
bool ForEachEntry(const QString &folder, const std::function<bool(const WIN32_FIND_DATA &)> &visit);

// Files. Sharing flags are accepted and ignored (POSIX has no mandatory
// locks); dispositions and attributes behave as on Windows: CREATE_NEW fails
// with 80 when the file exists, attributes apply when a file is created.
HANDLE CreateFile(const QString &path, DWORD access, DWORD share, DWORD disposition,
                  DWORD attributes);
bool ReadFile(HANDLE file, void *buffer, DWORD toRead, DWORD &read);
bool WriteFile(HANDLE file, const void *buffer, DWORD toWrite, DWORD &written);
// Copies the next part of the data from one file's position to the other's:
// up to toCopy bytes inside the kernel where it can, else at most one buffer
// of 65,535 bytes through memory. copied is 0 only at the end of the source.
// Counts as one read, and as one write when data moved, for the fault hook.
bool CopyFileData(HANDLE from, HANDLE to, DWORD toCopy, DWORD &copied);
bool CloseHandle(HANDLE handle);
// Low 32 bits returned, high 32 bits in *high when given.
DWORD GetFileSize(HANDLE file, DWORD *high);
UINT64 GetFileSize64(HANDLE file); // INVALID_FILE_SIZE64 on failure
inline constexpr UINT64 INVALID_FILE_SIZE64 = ~UINT64(0);
// Moves the file pointer; returns the new position or -1 on failure.
INT64 SetFilePointer(HANDLE file, INT64 distance, DWORD origin);
bool SetEndOfFile(HANDLE file);
bool GetFileTime(HANDLE file, FILETIME *creation, FILETIME *access, FILETIME *lastWrite);
bool SetFileTime(HANDLE file, const FILETIME *creation, const FILETIME *access,
                 const FILETIME *lastWrite);

DWORD GetFileAttributes(const QString &path); // INVALID_FILE_ATTRIBUTES on failure
bool SetFileAttributes(const QString &path, DWORD attributes);

// Never replaces an existing target (fails with 183), across drives too.
bool MoveFile(const QString &from, const QString &to);
bool DeleteFile(const QString &path);
bool CreateDirectory(const QString &path);
bool RemoveDirectory(const QString &path);

// Symbolic links. The target is the text a link holds (a native path, taken
// from the link's folder unless absolute), stored and read as it stands and
// never looked up, so a link to nothing is made and read like any other.
// flags: SYMBOLIC_LINK_FLAG_DIRECTORY for a link to a folder (needed by some
// systems only). An existing name fails with 183; counts as a create for the
// fault hook.
bool CreateSymbolicLink(const QString &link, const QString &target, DWORD flags);
// Fails with ERROR_NOT_A_REPARSE_POINT when the name is not a link.
bool ReadSymbolicLink(const QString &link, QString &target);

bool SetCurrentDirectory(const QString &path);
QString GetCurrentDirectory();

QString GetTempPath(); // ends with a backslash
// The native path of an existing file or folder, for handing to other programs.
QString GetShortPathName(const QString &path);
// Full Windows path of a name taken relative to the current directory.
QString GetFullPathName(const QString &path);
// The full path of an existing file or folder as the disk spells its names,
// links on the way kept as they are (C:\Mixed\LINK\Sub stays so, whatever
// LINK points to). "" with the last error set when it does not exist.
QString GetLongPathName(const QString &path);
// The full path with every link on the way and at its end resolved; a last
// name that does not exist is kept below its resolved folder. "" with the
// last error set when the folder is missing or no drive covers the result.
QString GetFinalPathName(const QString &path);

} // namespace kestrel::sys
