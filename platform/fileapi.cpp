// Files, attributes and folders: the kernel32 calls over POSIX descriptors.

#include "platform/fileapi.h"

#include "platform/caseless.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/filetime.h"
#include "platform/fsutil.h"
#include "platform/handles.h"
#include "platform/names.h"
#include "platform/native.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

constexpr DWORD ERROR_DIRECTORY = 267; // the name is not a folder
constexpr UINT64 bigFile = 1 << 20;
// Data that the kernel cannot copy moves through a buffer of this size, one
// buffer a call, so that a slow copy still returns to its caller often.
constexpr std::size_t copyBufferSize = 0xFFFF;

class OpenFile : public HandleObject {
public:
    explicit OpenFile(int fd) : fd(fd) {}
    ~OpenFile() override
    {
        if (fd >= 0)
            ::close(fd);
    }
    // Closes now so that a failure can be reported.
    bool Close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0 || errno == EINTR;
    }
    int fd;
    // The kernel cannot copy into this file from the source in hand: data
    // comes through a buffer instead.
    bool buffered = false;
};

bool Fail(DWORD code)
{
    SetLastError(code);
    return false;
}

bool FailErrno()
{
    return Fail(ErrorFromErrno(errno));
}

bool FailPath(const QByteArray &native)
{
    return Fail(PathError(errno, native));
}

bool Succeed()
{
    SetLastError(ERROR_SUCCESS);
    return true;
}

std::shared_ptr<OpenFile> FileOf(HANDLE handle)
{
    auto file = HandleAs<OpenFile>(handle);
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

// A FILETIME of zero or all ones means "leave this time alone".
struct timespec ToTimespec(const FILETIME *ft)
{
    struct timespec ts {
        0, UTIME_OMIT
    };
    if (!ft || (ft->dwLowDateTime == 0 && ft->dwHighDateTime == 0) ||
        (ft->dwLowDateTime == 0xFFFFFFFF && ft->dwHighDateTime == 0xFFFFFFFF))
        return ts;
    INT64 seconds;
    long ns;
    FileTimeToUnix(*ft, seconds, ns);
    ts.tv_sec = time_t(seconds);
    ts.tv_nsec = ns;
    return ts;
}

// Gives a file just created the attributes asked for: hidden and system go to
// the stored DOS attributes (with archive, as for every new file), read-only
// takes the write bits away. The open descriptor keeps its write access.
bool ApplyNewFileAttributes(int fd, DWORD attributes)
{
    const DWORD stored = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (stored && !WriteDosAttribFd(fd, stored | FILE_ATTRIBUTE_ARCHIVE))
        return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        struct stat st;
        if (fstat(fd, &st) != 0 || fchmod(fd, st.st_mode & 07777 & ~mode_t(0222)) != 0)
            return false;
    }
    return true;
}

// Opens per the disposition; created tells whether the file is new.
int OpenNative(const QByteArray &native, int flags, DWORD disposition, bool &created)
{
    created = false;
    const char *path = native.constData();
    switch (disposition) {
    case CREATE_NEW:
        created = true;
        return open(path, flags | O_CREAT | O_EXCL, 0666);
    case OPEN_EXISTING:
        return open(path, flags);
    case TRUNCATE_EXISTING:
        return open(path, flags | O_TRUNC);
    default: // OPEN_ALWAYS, CREATE_ALWAYS: tell "opened" from "created" without a race
        for (;;) {
            const int fd = open(path, flags | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
            if (fd >= 0 || errno != ENOENT)
                return fd;
            const int made = open(path, flags | O_CREAT | O_EXCL, 0666);
            if (made >= 0 || errno != EEXIST) {
                created = made >= 0;
                return made;
            }
        }
    }
}

// Copies up to size bytes inside the kernel; less when the source ends (or
// the kernel stops short), 0 only at the end. On failure errno is set.
bool KernelCopy(int in, int out, std::size_t size, std::size_t &done)
{
    done = 0;
    for (;;) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size, 0);
        if (n >= 0) {
            done = std::size_t(n);
            return true;
        }
        if (errno != EINTR)
            return false;
    }
}

// The kernel cannot copy between these two files (other file systems, or
// files it does not copy), though read and write may.
bool KernelCannotCopy(int err)
{
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

bool ValidDisposition(DWORD disposition, DWORD access)
{
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING)
        return false;
    return disposition != TRUNCATE_EXISTING || (access & GENERIC_WRITE);
}

} // namespace

HANDLE CreateFile(const QString &path, DWORD access, DWORD /*share*/, DWORD disposition,
                  DWORD attributes)
{
    if (!ValidDisposition(disposition, access)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const bool writes = (access & GENERIC_WRITE) || disposition != OPEN_EXISTING;
    DWORD fault = 0;
    if (writes && FaultDue(FaultOp::Create, fault)) {
        SetLastError(fault);
        return INVALID_HANDLE_VALUE;
    }
    QByteArray native;
    if (!ToNative(path, native))
        return INVALID_HANDLE_VALUE;
    // A read-only file is not written, whoever we are. (A folder fails the
    // open or the check after it; CREATE_NEW fails on any existing name.)
    const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    FileStatus existing;
    if (disposition != CREATE_NEW && ((access & GENERIC_WRITE) || truncates) &&
        StatPath(native, existing) && (existing.isDir() || !existing.ownerCanWrite())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access & GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    bool created = false;
    const int fd = OpenNative(native, flags, disposition, created);
    if (fd < 0) {
        const int err = errno;
        if (err == EEXIST)
            SetLastError(ERROR_FILE_EXISTS);
        else if (err == EISDIR)
            SetLastError(ERROR_ACCESS_DENIED);
        else
            SetLastError(PathError(err, native));
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_shared<OpenFile>(fd);
    FileStatus opened;
    // A file just made is a file; an opened name may be a folder.
    if (!created && (!StatFd(fd, opened) || opened.isDir())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // A big file opened only to be read is read from start to end: a larger
    // read-ahead serves it faster.
    if (!writes && opened.size >= bigFile)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (created) {
        if (!ApplyNewFileAttributes(fd, attributes)) {
            const DWORD code = ErrorFromErrno(errno);
            file.reset();
            unlink(native.constData());
            SetLastError(code);
            return INVALID_HANDLE_VALUE;
        }
        NoteCreated(native);
    }
    // As on Windows, opening over an existing file says so in the last error.
    const bool alwaysKind = disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS;
    SetLastError(alwaysKind && !created ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddHandle(std::move(file));
}

bool ReadFile(HANDLE file, void *buffer, DWORD toRead, DWORD &read)
{
    read = 0;
    const auto f = FileOf(file);
    if (!f)
        return false;
    DWORD fault = 0;
    if (FaultDue(FaultOp::Read, fault))
        return Fail(fault);
    std::size_t done = 0;
    const bool ok = ReadFully(f->fd, buffer, toRead, done);
    read = DWORD(done);
    return ok ? Succeed() : Fail(errno == EISDIR ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
}

bool WriteFile(HANDLE file, const void *buffer, DWORD toWrite, DWORD &written)
{
    written = 0;
    const auto f = FileOf(file);
    if (!f)
        return false;
    DWORD fault = 0;
    if (FaultDue(FaultOp::Write, fault))
        return Fail(fault);
    std::size_t done = 0;
    const bool ok = WriteFully(f->fd, buffer, toWrite, done);
    written = DWORD(done);
    if (ok)
        return Succeed();
    // EBADF: the handle was opened for reading only.
    return Fail(errno == EBADF ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
}

bool CopyFileData(HANDLE from, HANDLE to, DWORD toCopy, DWORD &copied)
{
    copied = 0;
    const auto in = FileOf(from);
    const auto out = FileOf(to);
    if (!in || !out)
        return false;
    DWORD fault = 0;
    if (FaultDue(FaultOp::Read, fault))
        return Fail(fault);
    // The write side counts once for every call that has data to move, as a
    // WriteFile after a ReadFile would; the end of the source does not count.
    if (FaultArmed(FaultOp::Write)) {
        struct stat st;
        const off_t at = lseek(in->fd, 0, SEEK_CUR);
        if (fstat(in->fd, &st) == 0 && at >= 0 && at < st.st_size &&
            FaultDue(FaultOp::Write, fault))
            return Fail(fault);
    }
    if (!out->buffered) {
        std::size_t done = 0;
        if (KernelCopy(in->fd, out->fd, toCopy, done)) {
            copied = DWORD(done);
            return Succeed();
        }
        if (!KernelCannotCopy(errno))
            return Fail(errno == EBADF ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
        // Not between these two files: the rest of them goes through a buffer.
        out->buffered = true;
    }
    char buffer[copyBufferSize];
    const std::size_t want = std::min(sizeof buffer, std::size_t(toCopy));
    std::size_t got = 0;
    if (!ReadFully(in->fd, buffer, want, got))
        return Fail(errno == EISDIR ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
    std::size_t put = 0;
    const bool ok = WriteFully(out->fd, buffer, got, put);
    copied = DWORD(put);
    if (!ok)
        return Fail(errno == EBADF ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
    return Succeed();
}

bool CloseHandle(HANDLE handle)
{
    if (!HandleAs<OpenFile>(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const auto object = std::static_pointer_cast<OpenFile>(TakeHandle(handle));
    if (!object)
        return Fail(ERROR_INVALID_HANDLE);
    return object->Close() ? Succeed() : FailErrno();
}

UINT64 GetFileSize64(HANDLE file)
{
    const auto f = FileOf(file);
    FileStatus st;
    if (!f)
        return INVALID_FILE_SIZE64;
    if (!StatFd(f->fd, st)) {
        FailErrno();
        return INVALID_FILE_SIZE64;
    }
    Succeed();
    return st.size;
}

DWORD GetFileSize(HANDLE file, DWORD *high)
{
    const UINT64 size = GetFileSize64(file);
    if (size == INVALID_FILE_SIZE64)
        return INVALID_FILE_SIZE;
    if (high)
        *high = DWORD(size >> 32);
    return DWORD(size & 0xFFFFFFFFu);
}

INT64 SetFilePointer(HANDLE file, INT64 distance, DWORD origin)
{
    const auto f = FileOf(file);
    if (!f)
        return -1;
    const int whence = origin == FILE_BEGIN     ? SEEK_SET
                       : origin == FILE_CURRENT ? SEEK_CUR
                       : origin == FILE_END     ? SEEK_END
                                                : -1;
    const off_t position = whence < 0 ? -1 : lseek(f->fd, off_t(distance), whence);
    if (position < 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return -1;
    }
    Succeed();
    return INT64(position);
}

bool SetEndOfFile(HANDLE file)
{
    const auto f = FileOf(file);
    if (!f)
        return false;
    const off_t position = lseek(f->fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(f->fd, position) != 0)
        return Fail(errno == EBADF || errno == EINVAL ? ERROR_ACCESS_DENIED
                                                      : ErrorFromErrno(errno));
    return Succeed();
}

bool GetFileTime(HANDLE file, FILETIME *creation, FILETIME *access, FILETIME *lastWrite)
{
    const auto f = FileOf(file);
    FileStatus st;
    if (!f)
        return false;
    if (!StatFd(f->fd, st))
        return FailErrno();
    if (creation)
        *creation = st.creation;
    if (access)
        *access = st.access;
    if (lastWrite)
        *lastWrite = st.lastWrite;
    return Succeed();
}

// The creation time cannot be set on Linux; it is accepted and left alone.
bool SetFileTime(HANDLE file, const FILETIME * /*creation*/, const FILETIME *access,
                 const FILETIME *lastWrite)
{
    const auto f = FileOf(file);
    if (!f)
        return false;
    const struct timespec times[2] = {ToTimespec(access), ToTimespec(lastWrite)};
    return futimens(f->fd, times) == 0 ? Succeed() : FailErrno();
}

DWORD GetFileAttributes(const QString &path)
{
    QByteArray native;
    FileStatus st;
    if (!ToNative(path, native))
        return INVALID_FILE_ATTRIBUTES;
    if (!StatEntry(AT_FDCWD, native.constData(), st)) {
        FailPath(native);
        return INVALID_FILE_ATTRIBUTES;
    }
    Succeed();
    return AttributesOf(native, st, BaseName(native));
}

bool SetFileAttributes(const QString &path, DWORD attributes)
{
    QByteArray native;
    FileStatus st;
    if (!ToNative(path, native))
        return false;
    if (!StatPath(native, st))
        return FailPath(native);
    const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    const mode_t mode = st.mode & 07777;
    const mode_t wanted =
        readOnly ? mode & ~mode_t(0222) : (st.ownerCanWrite() ? mode : mode | S_IWUSR);
    // Clear read-only before storing the DOS attributes and set it after, so a
    // file of our own stays writable for the moment of the change.
    if (!readOnly && wanted != mode && chmod(native.constData(), wanted) != 0)
        return FailPath(native);
    const DWORD stored =
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    DWORD old = 0;
    const bool hasStored = ReadDosAttrib(native, old);
    // A file without stored attributes already reads as archive (a folder as
    // nothing); keep it that way instead of adding an attribute for nothing.
    const DWORD implied = st.isDir() ? 0 : FILE_ATTRIBUTE_ARCHIVE;
    const bool hiddenByName = BaseName(native).startsWith('.');
    const DWORD compare = hiddenByName ? stored & ~FILE_ATTRIBUTE_HIDDEN : stored;
    if ((hasStored ? old != stored : compare != implied) && !WriteDosAttrib(native, stored))
        return FailPath(native);
    if (readOnly && wanted != mode && chmod(native.constData(), wanted) != 0)
        return FailPath(native);
    return Succeed();
}

bool DeleteFile(const QString &path)
{
    DWORD fault = 0;
    if (FaultDue(FaultOp::Delete, fault))
        return Fail(fault);
    QByteArray native;
    FileStatus st;
    if (!ToNative(path, native))
        return false;
    if (!StatPath(native, st, false))
        return FailPath(native);
    // As on Windows: folders are not deleted here, nor read-only files.
    if (S_ISDIR(st.mode) || (!S_ISLNK(st.mode) && !st.ownerCanWrite()))
        return Fail(ERROR_ACCESS_DENIED);
    return unlink(native.constData()) == 0 ? Succeed() : FailPath(native);
}

bool CreateDirectory(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    if (mkdir(native.constData(), 0777) == 0) {
        NoteCreated(native);
        return Succeed();
    }
    if (errno == ENOENT)
        return Fail(ERROR_PATH_NOT_FOUND);
    return FailPath(native);
}

bool RemoveDirectory(const QString &path)
{
    DWORD fault = 0;
    if (FaultDue(FaultOp::Delete, fault))
        return Fail(fault);
    QByteArray native;
    FileStatus st;
    if (!ToNative(path, native))
        return false;
    if (!StatEntry(AT_FDCWD, native.constData(), st))
        return FailPath(native);
    if (!st.isDir())
        return Fail(ERROR_DIRECTORY);
    // A link to a folder goes itself; the folder it points to is not touched.
    if (st.link)
        return unlink(native.constData()) == 0 ? Succeed() : FailPath(native);
    if (!st.ownerCanWrite())
        return Fail(ERROR_ACCESS_DENIED);
    return rmdir(native.constData()) == 0 ? Succeed() : FailPath(native);
}

bool CreateSymbolicLink(const QString &link, const QString &target, DWORD /*flags*/)
{
    DWORD fault = 0;
    if (FaultDue(FaultOp::Create, fault))
        return Fail(fault);
    QByteArray native;
    if (!ToNative(link, native))
        return false;
    if (symlink(EncodeName(target).constData(), native.constData()) != 0)
        return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailPath(native);
    NoteCreated(native);
    return Succeed();
}

bool ReadSymbolicLink(const QString &link, QString &target)
{
    QByteArray native;
    if (!ToNative(link, native))
        return false;
    QByteArray text(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = readlink(native.constData(), text.data(), std::size_t(text.size()));
        if (n < 0)
            return errno == EINVAL ? Fail(ERROR_NOT_A_REPARSE_POINT) : FailPath(native);
        if (n < text.size()) {
            text.truncate(n);
            target = DecodeName(text);
            return Succeed();
        }
        text.resize(text.size() * 2); // possibly cut short: read again with more room
    }
}

} // namespace kestrel::sys
