// MoveFile: a rename that never replaces the target, also across file systems.

#include "platform/caseless.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/fsutil.h"
#include "platform/names.h"
#include "platform/native.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

bool Fail(DWORD code)
{
    SetLastError(code);
    return false;
}

} // namespace

int RenameNoReplace(const QByteArray &from, const QByteArray &to, bool isDir)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (!isDir) {
        if (link(from.constData(), to.constData()) == 0) {
            if (unlink(from.constData()) == 0)
                return 0;
            const int err = errno;
            unlink(to.constData());
            return err;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK)
            return errno;
    }
    struct stat st;
    if (lstat(to.constData(), &st) == 0)
        return EEXIST;
    return rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    bool Close()
    {
        const int f = fd;
        fd = -1;
        return close(f) == 0;
    }
    int fd;
};

// Copies a regular file to a temporary name beside the target with its mode,
// times and DOS attributes, flushed to disk; 0 or an errno value.
int CopyToTemp(const QByteArray &from, const FileStatus &st, Descriptor &out)
{
    Descriptor in(open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0)
        return errno;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        std::size_t got = 0, put = 0;
        if (!ReadFully(in.fd, buffer.data(), std::size_t(buffer.size()), got))
            return errno;
        if (got == 0)
            break;
        if (!WriteFully(out.fd, buffer.constData(), got, put))
            return errno;
    }
    DWORD stored = 0;
    if (ReadDosAttribFd(in.fd, stored) && !WriteDosAttribFd(out.fd, stored))
        return errno;
    INT64 seconds[2];
    long ns[2];
    FileTimeToUnix(st.access, seconds[0], ns[0]);
    FileTimeToUnix(st.lastWrite, seconds[1], ns[1]);
    const struct timespec times[2] = {{time_t(seconds[0]), ns[0]}, {time_t(seconds[1]), ns[1]}};
    if (futimens(out.fd, times) != 0 || fchmod(out.fd, st.mode & 07777) != 0 ||
        fsync(out.fd) != 0 || !out.Close())
        return errno;
    return 0;
}

// A file moved to another file system is copied whole under a temporary
// name, put in place without replacing anything, and only then removed from
// its source. Any failure leaves the source as it was and no trace at the target.
bool MoveAcross(const QByteArray &from, const FileStatus &st, const QByteArray &to)
{
    struct stat existing;
    if (lstat(to.constData(), &existing) == 0)
        return Fail(ERROR_ALREADY_EXISTS);
    QByteArray temp = DirName(to) + "/.kestrel-move-XXXXXX";
    Descriptor out(mkostemp(temp.data(), O_CLOEXEC));
    if (out.fd < 0)
        return Fail(PathError(errno, to));
    int err = CopyToTemp(from, st, out);
    if (err == 0)
        err = RenameNoReplace(temp, to, false);
    if (err != 0) {
        unlink(temp.constData());
        return Fail(err == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(err));
    }
    if (unlink(from.constData()) != 0) {
        err = errno;
        unlink(to.constData());
        return Fail(ErrorFromErrno(err));
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace

bool MoveFile(const QString &from, const QString &to)
{
    DWORD fault = 0;
    if (FaultDue(FaultOp::Rename, fault))
        return Fail(fault);
    QByteArray source, target;
    if (!ToNative(from, source) || !ToNative(to, target))
        return false;
    FileStatus st, existing;
    if (!StatPath(source, st, false))
        return Fail(PathError(errno, source));
    // The target name was looked up without regard to case; when it found the
    // source itself, this is a change of case ("a.txt" -> "A.txt").
    if (StatPath(target, existing, false) && existing.sameFile(st) &&
        DirName(source) == DirName(target)) {
        const QString newName = ExtractFileName(to);
        if (!SameText(DecodeName(BaseName(source)), newName))
            return Fail(ERROR_ALREADY_EXISTS); // another link to the same file
        target = DirName(target) + '/' + EncodeName(newName);
        if (target == source) {
            SetLastError(ERROR_SUCCESS);
            return true;
        }
    }
    const int err = RenameNoReplace(source, target, S_ISDIR(st.mode));
    switch (err) {
    case 0:
        NoteCreated(target);
        SetLastError(ERROR_SUCCESS);
        return true;
    case EEXIST:
    case ENOTEMPTY:
        return Fail(ERROR_ALREADY_EXISTS);
    case ENOENT:
        return Fail(ERROR_PATH_NOT_FOUND); // the source exists: the target's folder does not
    case EINVAL:
        return Fail(ERROR_ACCESS_DENIED); // a folder into itself
    case EXDEV:
        if (st.isFile())
            return MoveAcross(source, st, target);
        return Fail(ERROR_NOT_SAME_DEVICE);
    default:
        return Fail(ErrorFromErrno(err));
    }
}

} // namespace kestrel::sys
