#include "platform/folderwalk.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/names.h"
#include "platform/native.h"

#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kestrel::sys {

namespace {

bool EnterFaultDue()
{
    DWORD fault = 0;
    return FaultDue(FaultOp::Enter, fault);
}

class Walker {
public:
    Walker(const FolderVisit &visit, int maxDepth, const QByteArray &resolved)
        : visit(visit), maxDepth(maxDepth)
    {
        for (const QByteArray &point : MountsNotToWalk(resolved))
            stops.insert(point);
        // Native paths are kept only to recognise those mount points.
        if (!stops.isEmpty())
            path = resolved == "/" ? QByteArray() : resolved;
    }

    // Lists the folder open on fd (taken over) at the given depth of its entries.
    void List(int fd, int depth)
    {
        DIR *dir = fdopendir(fd);
        if (!dir) {
            close(fd);
            return;
        }
        const int at = dirfd(dir);
        while (!stopped) {
            const dirent *entry = readdir(dir);
            if (!entry)
                break;
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat st;
                if (fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
            }
            if (type == DT_LNK)
                VisitLink(at, name, depth);
            else if (type == DT_DIR)
                Enter(at, name, depth);
        }
        closedir(dir);
    }

    bool stopped = false; // a visit ended the walk

private:
    void VisitLink(int at, const char *name, int depth)
    {
        struct stat st;
        if (fstatat(at, name, &st, 0) != 0 || !S_ISDIR(st.st_mode) || EnterFaultDue() ||
            faccessat(at, name, X_OK, 0) != 0)
            return;
        Visit(name, depth);
    }

    void Visit(const char *name, int depth)
    {
        if (!visit(DecodeName(QByteArray(name)), depth))
            stopped = true;
    }

    void Enter(int at, const char *name, int depth)
    {
        if (EnterFaultDue())
            return;
        const int child = openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            if (errno == EACCES && faccessat(at, name, X_OK, 0) == 0)
                Visit(name, depth);
            return;
        }
        Visit(name, depth);
        if (stopped || depth >= maxDepth) {
            close(child);
            return;
        }
        if (stops.isEmpty()) {
            List(child, depth + 1);
            return;
        }
        const qsizetype length = path.size();
        path += '/';
        path += name;
        if (stops.contains(path))
            close(child);
        else
            List(child, depth + 1);
        path.truncate(length);
    }

    const FolderVisit &visit;
    const int maxDepth;
    QSet<QByteArray> stops;
    QByteArray path;
};

} // namespace

FolderWalk::~FolderWalk()
{
    if (fd >= 0)
        close(fd);
}

bool FolderWalk::Open(const QString &folder)
{
    if (!ToNative(folder, native))
        return false;
    if (DWORD fault = 0; FaultDue(FaultOp::Enter, fault)) {
        SetLastError(fault);
        return false;
    }
    fd = open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool FolderWalk::Walk(int maxDepth, const FolderVisit &visit)
{
    const int open = std::exchange(fd, -1);
    if (open < 0)
        return true;
    if (maxDepth < 1) {
        close(open);
        return true;
    }
    Walker walker(visit, maxDepth, ResolveNative(native));
    walker.List(open, 1);
    return !walker.stopped;
}

} // namespace kestrel::sys
