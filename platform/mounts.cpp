// What the system offers as drives and shares, and the small INI reader for
// the [Drives] and [Network] sections.

#include "platform/names.h"
#include "platform/native.h"

#include <QDir>
#include <QFile>

#include <sys/statvfs.h>
#include <unistd.h>

namespace kestrel::sys {

namespace {

struct Mount {
    QByteArray device; // "major:minor"
    QByteArray point;
    QByteArray fsType;
    QByteArray source;
};

QByteArray ReadSmallFile(const QByteArray &native)
{
    QFile file(DecodeName(native));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Mount points escape space, tab, newline and backslash as \ooo.
QByteArray UnescapeOctal(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            bool ok = false;
            const int value = text.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && value < 256) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

// udev names in /dev/disk/by-* escape unsafe bytes as \xHH.
QByteArray UnescapeHex(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bool ok = false;
            const int value = text.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

QList<Mount> ParseMountInfo(const QByteArray &text)
{
    QList<Mount> mounts;
    for (const QByteArray &line : text.split('\n')) {
        // id parent major:minor root point options [optional...] - type source super
        const QList<QByteArray> f = line.split(' ');
        const qsizetype dash = f.indexOf("-");
        if (f.size() < 5 || dash < 5 || dash + 2 >= f.size())
            continue;
        mounts.append({f[2], UnescapeOctal(f[4]), f[dash + 1], UnescapeOctal(f[dash + 2])});
    }
    // A later mount on the same point hides the earlier one.
    QList<Mount> visible;
    for (qsizetype i = 0; i < mounts.size(); ++i) {
        bool hidden = false;
        for (qsizetype j = i + 1; j < mounts.size() && !hidden; ++j)
            hidden = mounts[j].point == mounts[i].point;
        if (!hidden)
            visible.append(mounts[i]);
    }
    return visible;
}

bool IsNetwork(const QByteArray &fsType)
{
    return fsType == "cifs" || fsType == "smb3" || fsType == "nfs" || fsType == "nfs4" ||
           fsType == "fuse.sshfs";
}

bool IsOptical(const QByteArray &fsType)
{
    return fsType == "iso9660" || fsType == "udf";
}

// File systems that keep folders on a disk or in memory, which a walk of a
// drive may enter; anything else (proc, sysfs, cgroup, network and FUSE file
// systems, automount points) may be endless, slow or hang on a server.
bool IsDiskFileSystem(const QByteArray &fsType)
{
    static const char *const disk[] = {
        "ext2",  "ext3",  "ext4",    "xfs",      "btrfs",  "f2fs",    "jfs",     "reiserfs",
        "vfat",  "msdos", "exfat",   "ntfs",     "ntfs3",  "fuseblk", "hfsplus", "zfs",
        "tmpfs", "ramfs", "overlay", "bcachefs", "nilfs2", "iso9660", "udf"};
    for (const char *name : disk) {
        if (fsType == name)
            return true;
    }
    return false;
}

bool IsUserVisible(const Mount &m)
{
    for (const char *prefix : {"/media/", "/run/media/", "/mnt/"}) {
        if (m.point.startsWith(prefix))
            return true;
    }
    return IsNetwork(m.fsType) || IsOptical(m.fsType);
}

bool IsRemovableDevice(const QByteArray &device)
{
    // A partition's folder sits inside its disk's folder, which has the flag.
    const QByteArray dir = ResolveNative("/sys/dev/block/" + device);
    for (const QByteArray &d : {dir, dir.left(dir.lastIndexOf('/'))}) {
        const QByteArray flag = ReadSmallFile(d + "/removable").trimmed();
        if (!flag.isEmpty())
            return flag == "1";
    }
    return false;
}

unsigned TypeOf(const Mount &m)
{
    if (IsOptical(m.fsType))
        return DRIVE_CDROM;
    if (IsNetwork(m.fsType))
        return DRIVE_REMOTE;
    if (m.fsType == "tmpfs" || m.fsType == "ramfs")
        return DRIVE_RAMDISK;
    return IsRemovableDevice(m.device) ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

// The name in /dev/disk/<folder> whose link points at the device, or "".
QByteArray DiskName(const char *folder, const QByteArray &source)
{
    if (!source.startsWith("/dev/"))
        return QByteArray();
    const QByteArray device = ResolveNative(source);
    const QByteArray base = QByteArray("/dev/disk/") + folder;
    const QStringList names = QDir(DecodeName(base)).entryList(QDir::System | QDir::Files);
    for (const QString &name : names) {
        const QByteArray link = base + '/' + EncodeName(name);
        if (ResolveNative(link) == device)
            return UnescapeHex(EncodeName(name));
    }
    return QByteArray();
}

DWORD SerialOf(const Mount &m)
{
    if (IsNetwork(m.fsType))
        return StableSerial(m.source); // no I/O on a server that may not answer
    QByteArray uuid = DiskName("by-uuid", m.source);
    uuid.replace('-', "");
    bool ok = false;
    const DWORD fromUuid = DWORD(uuid.left(8).toUInt(&ok, 16));
    if (ok && uuid.size() >= 8)
        return fromUuid;
    struct statvfs st;
    if (::statvfs(m.point.constData(), &st) == 0)
        return DWORD(st.f_fsid) ^ DWORD(UINT64(st.f_fsid) >> 32);
    return StableSerial(m.point);
}

DriveEntry DriveOf(QChar letter, const Mount &m, unsigned type)
{
    DriveEntry d;
    d.info.letter = letter;
    d.info.nativeRoot = m.point;
    d.info.type = type;
    d.info.label = DecodeName(DiskName("by-label", m.source));
    d.info.serial = SerialOf(m);
    d.resolvedRoot = m.point;
    return d;
}

QByteArray MountInfo()
{
    return ReadSmallFile("/proc/self/mountinfo");
}

// "//server/share" (cifs, smb3) to "\\server\share"; "" for other sources.
QString UncOf(const QByteArray &source)
{
    if (!source.startsWith("//"))
        return QString();
    const QList<QByteArray> bits = source.mid(2).split('/');
    if (bits.size() < 2 || bits[0].isEmpty() || bits[1].isEmpty())
        return QString();
    return QLatin1String("\\\\") + DecodeName(bits[0]) + QLatin1Char('\\') + DecodeName(bits[1]);
}

// GVFS mounts shares as folders named "smb-share:server=srv,share=pub".
QList<ShareEntry> GvfsShares()
{
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = "/run/user/" + QByteArray::number(::getuid());
    const QByteArray base = runtime + "/gvfs";
    QList<ShareEntry> shares;
    const QStringList names = QDir(DecodeName(base)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1String("smb-share:")))
            continue;
        QString server, share;
        for (const QString &pair : name.mid(10).split(QLatin1Char(','))) {
            if (pair.startsWith(QLatin1String("server=")))
                server = pair.mid(7);
            else if (pair.startsWith(QLatin1String("share=")))
                share = pair.mid(6);
        }
        if (server.isEmpty() || share.isEmpty())
            continue;
        ShareEntry s;
        s.info.unc = QLatin1String("\\\\") + server + QLatin1Char('\\') + share;
        s.info.nativeRoot = base + '/' + EncodeName(name);
        s.resolvedRoot = s.info.nativeRoot;
        shares.append(s);
    }
    return shares;
}

} // namespace

QList<DriveEntry> DrivesFromMountInfo(const QByteArray &mountinfo)
{
    const QList<Mount> mounts = ParseMountInfo(mountinfo);
    QList<DriveEntry> drives;
    Mount root{QByteArray(), "/", QByteArray(), QByteArray()};
    for (const Mount &m : mounts) {
        if (m.point == "/")
            root = m;
    }
    drives.append(DriveOf(QLatin1Char('C'), root, DRIVE_FIXED));
    char letter = 'D';
    for (const Mount &m : mounts) {
        if (letter > 'Z')
            break;
        if (m.point != "/" && IsUserVisible(m))
            drives.append(DriveOf(QLatin1Char(letter++), m, TypeOf(m)));
    }
    return drives;
}

QList<ShareEntry> SharesFromMountInfo(const QByteArray &mountinfo)
{
    QList<ShareEntry> shares;
    for (const Mount &m : ParseMountInfo(mountinfo)) {
        const QString unc = UncOf(m.source);
        if (unc.isEmpty() || !IsNetwork(m.fsType))
            continue;
        ShareEntry s;
        s.info.unc = unc;
        s.info.nativeRoot = m.point;
        s.resolvedRoot = m.point;
        shares.append(s);
    }
    return shares;
}

QList<QByteArray> MountsNotToWalk(const QByteArray &mountinfo, const QByteArray &folder,
                                  const QList<QByteArray> &driveRoots)
{
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    QList<QByteArray> stops;
    for (const Mount &m : ParseMountInfo(mountinfo)) {
        if (!m.point.startsWith(prefix) || m.point.size() == prefix.size())
            continue;
        if (!IsDiskFileSystem(m.fsType) || driveRoots.contains(m.point))
            stops.append(m.point);
    }
    return stops;
}

QList<QByteArray> MountsNotToWalk(const QByteArray &folder)
{
    QList<QByteArray> roots;
    const auto table = CurrentDriveTable();
    for (const DriveEntry &d : table->drives)
        roots.append(d.resolvedRoot);
    for (const ShareEntry &s : table->shares)
        roots.append(s.resolvedRoot);
    return MountsNotToWalk(MountInfo(), folder, roots);
}

QList<DriveEntry> DetectDrives()
{
    return DrivesFromMountInfo(MountInfo());
}

QList<ShareEntry> DetectShares()
{
    return SharesFromMountInfo(MountInfo()) + GvfsShares();
}

QList<std::pair<QByteArray, QByteArray>> ReadIniSection(const QByteArray &nativeFile,
                                                        const QByteArray &section)
{
    QList<std::pair<QByteArray, QByteArray>> entries;
    bool inSection = false;
    for (const QByteArray &raw : ReadSmallFile(nativeFile).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            inSection = end > 0 &&
                        line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq <= 0 || line.startsWith(';'))
            continue;
        entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return entries;
}

} // namespace kestrel::sys
