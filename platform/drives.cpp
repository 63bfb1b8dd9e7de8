#include "platform/drives.h"

#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"

#include <mutex>

#include <sys/statvfs.h>

namespace kestrel::sys {

namespace {

std::mutex tableMutex;
std::shared_ptr<const DriveTable> table;

// The drive or share part of a path, the current directory's when the path
// has none.
QString DriveOf(const QString &path)
{
    const QString drive = ExtractFileDrive(path);
    return drive.isEmpty() ? ExtractFileDrive(GetCurrentDirectory()) : drive;
}

const DriveEntry *FindDrive(const DriveTable &t, const QString &drive)
{
    if (drive.size() != 2 || drive[1] != QLatin1Char(':'))
        return nullptr;
    const QChar letter = drive[0].toUpper();
    for (const DriveEntry &d : t.drives) {
        if (d.info.letter == letter)
            return &d;
    }
    return nullptr;
}

const ShareEntry *FindShare(const DriveTable &t, const QString &unc)
{
    for (const ShareEntry &s : t.shares) {
        if (SameText(s.info.unc, unc))
            return &s;
    }
    return nullptr;
}

// statvfs of the folder a Windows path names (the current one when empty),
// with the space its drive's configuration gives, if any, in bytes.
bool StatFolder(const QString &path, struct statvfs &st)
{
    const QString folder = path.isEmpty() ? GetCurrentDirectory() : path;
    QByteArray native;
    if (!ToNative(folder, native))
        return false;
    if (::statvfs(native.constData(), &st) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    const auto t = CurrentDriveTable();
    if (const DriveEntry *d = FindDrive(*t, DriveOf(folder)); d && d->spaceGiven) {
        st.f_frsize = 1;
        st.f_bsize = 1;
        st.f_blocks = d->spaceTotal;
        st.f_bfree = d->spaceFree;
        st.f_bavail = d->spaceFree;
    }
    return true;
}

DWORD Clamp32(UINT64 v)
{
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(v);
}

} // namespace

std::shared_ptr<const DriveTable> CurrentDriveTable()
{
    std::lock_guard lock(tableMutex);
    if (!table)
        table = std::make_shared<const DriveTable>(BuildDriveTable());
    return table;
}

void ReloadDriveTable()
{
    auto fresh = std::make_shared<const DriveTable>(BuildDriveTable());
    std::lock_guard lock(tableMutex);
    table = std::move(fresh);
}

QList<DriveInfo> Drives()
{
    QList<DriveInfo> result;
    for (const DriveEntry &d : CurrentDriveTable()->drives)
        result.append(d.info);
    return result;
}

QList<ShareInfo> Shares()
{
    QList<ShareInfo> result;
    for (const ShareEntry &s : CurrentDriveTable()->shares) {
        if (!s.hidden)
            result.append(s.info);
    }
    return result;
}

DWORD GetLogicalDrives()
{
    DWORD mask = 0;
    for (const DriveEntry &d : CurrentDriveTable()->drives)
        mask |= DWORD(1) << (d.info.letter.unicode() - 'A');
    return mask;
}

unsigned GetDriveType(const QString &root)
{
    const auto t = CurrentDriveTable();
    const QString drive = DriveOf(root);
    if (const DriveEntry *d = FindDrive(*t, drive))
        return d->info.type;
    if (FindShare(*t, drive))
        return DRIVE_REMOTE;
    return DRIVE_NO_ROOT_DIR;
}

bool GetVolumeInformation(const QString &root, QString *label, DWORD *serial)
{
    const auto t = CurrentDriveTable();
    const QString drive = DriveOf(root);
    QString name;
    DWORD number = 0;
    QByteArray native;
    if (const DriveEntry *d = FindDrive(*t, drive)) {
        native = d->info.nativeRoot;
        name = d->info.label;
        number = d->info.serial;
    } else if (const ShareEntry *s = FindShare(*t, drive)) {
        native = s->info.nativeRoot;
        number = StableSerial(EncodeName(s->info.unc.toLower()));
    } else {
        SetLastError(drive.startsWith(QLatin1String("\\\\")) ? ERROR_BAD_NETPATH
                                                             : ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!IsNativeFolder(native)) {
        SetLastError(ERROR_NOT_READY);
        return false;
    }
    if (label)
        *label = name;
    if (serial)
        *serial = number;
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool GetDiskFreeSpace(const QString &root, DWORD *sectorsPerCluster, DWORD *bytesPerSector,
                      DWORD *freeClusters, DWORD *totalClusters)
{
    struct statvfs st;
    if (!StatFolder(root, st))
        return false;
    // Clusters are file-system blocks; a block of 512 bytes or more is split
    // into 512-byte sectors as disks report them.
    const UINT64 block = st.f_frsize ? st.f_frsize : st.f_bsize;
    const bool sectors = block >= 512 && block % 512 == 0;
    if (sectorsPerCluster)
        *sectorsPerCluster = sectors ? DWORD(block / 512) : 1;
    if (bytesPerSector)
        *bytesPerSector = sectors ? 512 : DWORD(block);
    if (freeClusters)
        *freeClusters = Clamp32(st.f_bavail);
    if (totalClusters)
        *totalClusters = Clamp32(st.f_blocks);
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool GetDiskFreeSpaceEx(const QString &root, UINT64 *freeToCaller, UINT64 *total, UINT64 *totalFree)
{
    struct statvfs st;
    if (!StatFolder(root, st))
        return false;
    const UINT64 block = st.f_frsize ? st.f_frsize : st.f_bsize;
    if (freeToCaller)
        *freeToCaller = UINT64(st.f_bavail) * block;
    if (total)
        *total = UINT64(st.f_blocks) * block;
    if (totalFree)
        *totalFree = UINT64(st.f_bfree) * block;
    SetLastError(ERROR_SUCCESS);
    return true;
}

QString ExtractFileDrive(const QString &path)
{
    if (path.size() >= 2 && path[1] == QLatin1Char(':'))
        return path.left(2);
    if (!path.startsWith(QLatin1String("\\\\")))
        return QString();
    // "\\server\share": up to the backslash after the share name.
    const qsizetype server = path.indexOf(QLatin1Char('\\'), 2);
    if (server < 0)
        return path;
    const qsizetype share = path.indexOf(QLatin1Char('\\'), server + 1);
    return share < 0 ? path : path.left(share);
}

QString ExtractFileName(const QString &path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
    return path.mid(cut + 1);
}

QString ExtractFilePath(const QString &path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
    return path.left(cut + 1);
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('\\') + name;
}

bool IsRoot(const QString &path)
{
    return path.size() == 3 && path[1] == QLatin1Char(':') && path[2] == QLatin1Char('\\');
}

bool SameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace kestrel::sys
