#include "platform/statefile.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fsutil.h"
#include "platform/native.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

bool Fail(DWORD code)
{
    SetLastError(code);
    return false;
}

// A new, empty file beside target with an unused name; -1 with errno set.
int CreateTemp(const QByteArray &target, QByteArray &temp)
{
    const QByteArray folder = DirName(target);
    for (;;) {
        temp =
            folder + "/.kestrel-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}

// Writes, carries over the old file's mode and DOS attributes and flushes;
// 0 or a Windows code.
DWORD FillTemp(int fd, const QByteArray &contents, const QByteArray &target, bool replacing,
               const FileStatus &old)
{
    DWORD fault = 0;
    if (FaultDue(FaultOp::Write, fault))
        return fault;
    std::size_t done = 0;
    if (!WriteFully(fd, contents.constData(), std::size_t(contents.size()), done))
        return ErrorFromErrno(errno);
    if (replacing) {
        DWORD stored = 0;
        if (ReadDosAttrib(target, stored) && !WriteDosAttribFd(fd, stored))
            return ErrorFromErrno(errno);
        if (fchmod(fd, old.mode & 07777) != 0)
            return ErrorFromErrno(errno);
    }
    return fsync(fd) == 0 ? ERROR_SUCCESS : ErrorFromErrno(errno);
}

void SyncFolder(const QByteArray &folder)
{
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

bool ReadWholeFile(const QString &path, QByteArray &contents)
{
    contents.clear();
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    const int fd = open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(PathError(errno, native));
    FileStatus st;
    DWORD code = ERROR_SUCCESS;
    if (!StatFd(fd, st))
        code = ErrorFromErrno(errno);
    else if (st.isDir())
        code = ERROR_ACCESS_DENIED;
    else
        FaultDue(FaultOp::Read, code);
    // Read to the end rather than to the size seen: the file may grow meanwhile.
    QByteArray data;
    std::size_t chunk = std::size_t(st.size) + 1;
    while (code == ERROR_SUCCESS) {
        const qsizetype at = data.size();
        data.resize(at + qsizetype(chunk));
        std::size_t got = 0;
        if (!ReadFully(fd, data.data() + at, chunk, got))
            code = ErrorFromErrno(errno);
        data.resize(at + qsizetype(got));
        if (got < chunk)
            break;
        chunk = 64 * 1024;
    }
    close(fd);
    if (code != ERROR_SUCCESS)
        return Fail(code);
    contents = data;
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool WriteWholeFile(const QString &path, const QByteArray &contents)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    // A state file kept as a link (a dotfile manager's, say) is rewritten
    // where it lives, and the link stays.
    QByteArray target;
    if (!WriteTarget(native, target))
        return Fail(ErrorFromErrno(errno));
    FileStatus old;
    const bool replacing = StatPath(target, old);
    // A read-only file is not written, as with any other write.
    if (replacing && (old.isDir() || !old.ownerCanWrite()))
        return Fail(ERROR_ACCESS_DENIED);
    QByteArray temp;
    const int fd = CreateTemp(target, temp);
    if (fd < 0)
        return Fail(PathError(errno, target));
    DWORD code = FillTemp(fd, contents, target, replacing, old);
    if (close(fd) != 0 && code == ERROR_SUCCESS)
        code = ErrorFromErrno(errno);
    if (code == ERROR_SUCCESS && rename(temp.constData(), target.constData()) != 0)
        code = ErrorFromErrno(errno);
    if (code != ERROR_SUCCESS) {
        unlink(temp.constData());
        return Fail(code);
    }
    SyncFolder(DirName(target));
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool KeepAsBackup(const QString &path, QByteArray &from, QByteArray &keptAs)
{
    // Far more than anyone keeps; a bound all the same.
    constexpr int maxBackups = 1000;
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    if (!WriteTarget(native, from))
        return Fail(ErrorFromErrno(errno));
    DWORD fault = 0;
    if (FaultDue(FaultOp::Rename, fault))
        return Fail(fault);
    for (int n = 1; n <= maxBackups; ++n) {
        keptAs = from + (n == 1 ? QByteArray() : '.' + QByteArray::number(n)) + ".bak";
        const int err = RenameNoReplace(from, keptAs, false);
        if (err == 0) {
            SyncFolder(DirName(from));
            SetLastError(ERROR_SUCCESS);
            return true;
        }
        if (err != EEXIST)
            return Fail(PathError(err, from));
    }
    return Fail(ERROR_ALREADY_EXISTS);
}

} // namespace kestrel::sys
