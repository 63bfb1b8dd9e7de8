#include "platform/filewalk.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fsutil.h"
#include "platform/names.h"
#include "platform/native.h"

#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::sys {

QString WalkEntry::Name() const
{
    return DecodeName(QByteArray(name));
}

WalkKind WalkEntry::Kind() const
{
    if (type == DT_DIR)
        return WalkKind::Folder;
    if (linkToFolder)
        return WalkKind::FolderLink;
    // A link to a file is searched like the file; a dangling one is an empty file.
    return type == DT_REG || type == DT_LNK ? WalkKind::File : WalkKind::Special;
}

bool WalkEntry::Stat(bool storedBits)
{
    if (statDone)
        return statOk;
    statDone = true;
    FileStatus st;
    if (!StatEntry(dir, name, st))
        return false;
    if (st.isDir() || S_ISLNK(st.mode))
        st.size = 0;
    attributes = AttributesFrom(st, QByteArray(name), nullptr);
    if (storedBits && !S_ISLNK(st.mode) && (st.isDir() || st.isFile())) {
        // The stored hidden, system and archive bits, where the file system keeps them.
        QByteArray native = *folder;
        native += '/';
        native += name;
        DWORD stored = 0;
        if (ReadDosAttrib(native, stored))
            attributes = AttributesFrom(st, QByteArray(name), &stored);
    }
    size = st.size;
    lastWrite = st.lastWrite;
    statOk = true;
    return true;
}

bool WalkEntry::Read(char *buffer, std::size_t blockSize,
                     const std::function<bool(const char *, std::size_t)> &block)
{
    if (Kind() != WalkKind::File) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (DWORD fault = 0; FaultDue(FaultOp::Read, fault)) {
        SetLastError(fault);
        return false;
    }
    // O_NONBLOCK: a link to a pipe must not hang the search at open.
    const int fd = openat(dir, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    FileStatus st;
    if (!StatFd(fd, st) || !st.isFile()) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    bool ok = true;
    for (;;) {
        std::size_t done = 0;
        const bool read = ReadFully(fd, buffer, blockSize, done);
        if (!read) {
            SetLastError(ErrorFromErrno(errno));
            ok = false;
            break;
        }
        if (done == 0 || !block(buffer, done) || done < blockSize)
            break;
    }
    close(fd);
    return ok;
}

class FileWalker {
public:
    FileWalker(const FileWalkVisitor &visitor, int maxDepth, const QByteArray &resolved)
        : visitor(visitor), maxDepth(maxDepth)
    {
        for (const QByteArray &point : MountsNotToWalk(resolved))
            stops.insert(point);
        path = resolved == "/" ? QByteArray() : resolved;
    }

    // Lists the folder open on fd (taken over); false when the walk is to end.
    bool List(int fd, const QString &relative, int depth)
    {
        DIR *dir = fdopendir(fd);
        if (!dir) {
            close(fd);
            Skipped(relative, ErrorFromErrno(errno));
            return true;
        }
        const int at = dirfd(dir);
        bool going = true;
        errno = 0;
        while (const dirent *found = readdir(dir)) {
            const char *name = found->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if (visitor.stop && visitor.stop()) {
                going = false;
                break;
            }
            WalkEntry entry;
            entry.dir = at;
            entry.folder = &path;
            entry.name = name;
            entry.type = found->d_type;
            if (entry.type == DT_UNKNOWN) {
                struct stat st;
                if (fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                entry.type = S_ISDIR(st.st_mode)   ? DT_DIR
                             : S_ISLNK(st.st_mode) ? DT_LNK
                             : S_ISREG(st.st_mode) ? DT_REG
                                                   : DT_FIFO;
            }
            if (entry.type == DT_LNK) {
                struct stat st;
                if (fstatat(at, name, &st, 0) == 0) {
                    entry.linkToFolder = S_ISDIR(st.st_mode);
                    if (!entry.linkToFolder && !S_ISREG(st.st_mode))
                        entry.type = DT_FIFO;
                }
            }
            const bool enter = visitor.visit(entry, relative, depth);
            if (enter && entry.type == DT_DIR && depth < maxDepth &&
                !Enter(at, name, relative, depth)) {
                going = false;
                break;
            }
            errno = 0;
        }
        if (going && errno != 0)
            Skipped(relative, ErrorFromErrno(errno));
        closedir(dir);
        return going;
    }

private:
    bool Enter(int at, const char *name, const QString &relative, int depth)
    {
        const QString below = relative.isEmpty()
                                  ? DecodeName(QByteArray(name))
                                  : relative + QLatin1Char('\\') + DecodeName(QByteArray(name));
        if (DWORD fault = 0; FaultDue(FaultOp::Enter, fault)) {
            Skipped(below, fault);
            return true;
        }
        const int child = openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            Skipped(below, ErrorFromErrno(errno));
            return true;
        }
        const qsizetype length = path.size();
        path += '/';
        path += name;
        bool going = true;
        if (!stops.isEmpty() && stops.contains(path))
            close(child);
        else
            going = List(child, below, depth + 1);
        path.truncate(length);
        return going;
    }

    void Skipped(const QString &relative, DWORD error)
    {
        if (visitor.skipped)
            visitor.skipped(relative, error);
    }

    const FileWalkVisitor &visitor;
    const int maxDepth;
    QSet<QByteArray> stops;
    QByteArray path;
};

bool WalkFiles(const QString &folder, int maxDepth, const FileWalkVisitor &visitor)
{
    QByteArray native;
    if (!ToNative(folder, native))
        return false;
    if (DWORD fault = 0; FaultDue(FaultOp::Enter, fault)) {
        SetLastError(fault);
        return false;
    }
    const int fd = open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    if (maxDepth < 1) {
        close(fd);
        return true;
    }
    FileWalker walker(visitor, maxDepth, ResolveNative(native));
    walker.List(fd, QString(), 1);
    return true;
}

} // namespace kestrel::sys
