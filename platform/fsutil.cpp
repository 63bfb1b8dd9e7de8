#include "platform/fsutil.h"

#include "platform/filetime.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

const char dosAttribName[] = "user.DOSATTRIB";
constexpr DWORD storedBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

FILETIME FromStatx(const struct statx_timestamp &t)
{
    return UnixToFileTime(t.tv_sec, long(t.tv_nsec));
}

bool FromStatx(int rc, const struct statx &sx, FileStatus &st)
{
    if (rc != 0)
        return false;
    st.mode = sx.stx_mode;
    st.size = sx.stx_size;
    st.access = FromStatx(sx.stx_atime);
    st.lastWrite = FromStatx(sx.stx_mtime);
    st.device = (UINT64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    st.inode = sx.stx_ino;
    st.creation = FromStatx((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    return true;
}

constexpr unsigned statxMask = STATX_BASIC_STATS | STATX_BTIME;

// Samba writes "0x20" (sometimes with a trailing NUL); newer binary forms are
// not understood and count as absent.
bool ParseDosAttrib(const char *value, ssize_t length, DWORD &stored)
{
    if (length < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return false;
    const QByteArray digits = QByteArray(value + 2, length - 2).trimmed().replace('\0', "");
    bool ok = false;
    const uint bits = digits.toUInt(&ok, 16);
    if (!ok)
        return false;
    stored = DWORD(bits) & storedBits;
    return true;
}

QByteArray FormatDosAttrib(DWORD stored)
{
    return "0x" + QByteArray::number(stored & storedBits, 16);
}

} // namespace

bool FileStatus::isDir() const
{
    return S_ISDIR(mode);
}

bool FileStatus::isFile() const
{
    return S_ISREG(mode);
}

bool FileStatus::sameFile(const FileStatus &other) const
{
    return device == other.device && inode == other.inode;
}

bool FileStatus::ownerCanWrite() const
{
    return (mode & S_IWUSR) != 0;
}

bool StatPath(const QByteArray &native, FileStatus &st, bool followLinks)
{
    struct statx sx;
    const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    return FromStatx(statx(AT_FDCWD, native.constData(), flags, statxMask, &sx), sx, st);
}

bool StatEntry(int dirfd, const char *path, FileStatus &st)
{
    struct statx sx;
    if (!FromStatx(statx(dirfd, path, AT_SYMLINK_NOFOLLOW, statxMask, &sx), sx, st))
        return false;
    if (!S_ISLNK(st.mode))
        return true;
    FileStatus target;
    if (FromStatx(statx(dirfd, path, 0, statxMask, &sx), sx, target))
        st = target;
    st.link = true;
    return true;
}

bool StatFd(int fd, FileStatus &st)
{
    struct statx sx;
    return FromStatx(statx(fd, "", AT_EMPTY_PATH, statxMask, &sx), sx, st);
}

bool WriteTarget(const QByteArray &native, QByteArray &target)
{
    // As many links as the system itself follows in one path.
    constexpr int maxLinks = 40;
    target = native;
    for (int followed = 0;; ++followed) {
        struct stat st;
        if (lstat(target.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true; // missing or not a link: the write itself reports what fails
        if (followed == maxLinks) {
            errno = ELOOP;
            return false;
        }
        QByteArray text(qMax(qsizetype(st.st_size) + 1, qsizetype(256)), Qt::Uninitialized);
        ssize_t n;
        // A size that does not fit may have been cut short: read again with more room.
        while ((n = readlink(target.constData(), text.data(), std::size_t(text.size()))) >=
               text.size())
            text.resize(text.size() * 2);
        if (n < 0)
            return false;
        text.truncate(n);
        target = text.startsWith('/') ? text : DirName(target) + '/' + text;
    }
}

QByteArray BaseName(const QByteArray &native)
{
    QByteArray path = native;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QByteArray DirName(const QByteArray &native)
{
    QByteArray path = native;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

DWORD AttributesOf(const QByteArray &native, const FileStatus &st, const QByteArray &name)
{
    DWORD stored = 0;
    return AttributesFrom(st, name, ReadDosAttrib(native, stored) ? &stored : nullptr);
}

DWORD AttributesFrom(const FileStatus &st, const QByteArray &name, const DWORD *stored)
{
    DWORD attributes = st.link ? FILE_ATTRIBUTE_REPARSE_POINT : 0;
    if (st.isDir())
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!st.ownerCanWrite())
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.startsWith('.') && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (stored)
        attributes |= *stored;
    else if (!st.isDir())
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool ReadDosAttrib(const QByteArray &native, DWORD &stored)
{
    char value[64];
    const ssize_t n = getxattr(native.constData(), dosAttribName, value, sizeof value);
    return n > 0 && ParseDosAttrib(value, n, stored);
}

bool ReadDosAttribFd(int fd, DWORD &stored)
{
    char value[64];
    const ssize_t n = fgetxattr(fd, dosAttribName, value, sizeof value);
    return n > 0 && ParseDosAttrib(value, n, stored);
}

bool NoDosAttribSupport(int err)
{
    return err == ENOTSUP || err == EOPNOTSUPP;
}

bool WriteDosAttrib(const QByteArray &native, DWORD stored)
{
    const QByteArray value = FormatDosAttrib(stored);
    auto set = [&] {
        return setxattr(native.constData(), dosAttribName, value.constData(), size_t(value.size()),
                        0) == 0;
    };
    if (set() || NoDosAttribSupport(errno))
        return true;
    // User attributes need write permission: a read-only file of our own is
    // opened up for the moment of the change.
    const int failure = errno;
    struct stat st;
    if (failure != EACCES || stat(native.constData(), &st) != 0 || (st.st_mode & S_IWUSR) ||
        st.st_uid != geteuid()) {
        errno = failure;
        return false;
    }
    if (chmod(native.constData(), st.st_mode | S_IWUSR) != 0)
        return false;
    const bool ok = set();
    const int err = errno;
    chmod(native.constData(), st.st_mode & 07777);
    errno = err;
    return ok;
}

bool WriteDosAttribFd(int fd, DWORD stored)
{
    const QByteArray value = FormatDosAttrib(stored);
    if (fsetxattr(fd, dosAttribName, value.constData(), size_t(value.size()), 0) == 0)
        return true;
    return NoDosAttribSupport(errno);
}

bool ReadFully(int fd, void *buffer, std::size_t size, std::size_t &done)
{
    done = 0;
    auto *p = static_cast<char *>(buffer);
    while (done < size) {
        const ssize_t n = read(fd, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return true;
}

bool WriteFully(int fd, const void *buffer, std::size_t size, std::size_t &done)
{
    done = 0;
    const auto *p = static_cast<const char *>(buffer);
    while (done < size) {
        const ssize_t n = write(fd, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

} // namespace kestrel::sys
