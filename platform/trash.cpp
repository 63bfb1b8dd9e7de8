#include "platform/trash.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"
#include "platform/statefile.h"

#include <QDir>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace kestrel::sys {

namespace {

const QString kInfoSuffix = QStringLiteral(".trashinfo");

// A path whose components are all real names: nothing to climb out with.
bool SafeComponents(const QByteArray &path)
{
    if (path.contains('\0'))
        return false;
    const QList<QByteArray> parts = path.split('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray &part = parts[i];
        // A leading "/" gives one empty part; any other empty part is "//".
        if ((part.isEmpty() && i > 0) || part == "." || part == "..")
            return false;
    }
    return true;
}

bool IsRealFolderNative(const QByteArray &native, struct stat &st)
{
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString WinForm(const QByteArray &native)
{
    QString path;
    return FromNative(native, path) ? path : QString();
}

QByteArray HomeTrashNative()
{
    return CleanNative(
        EncodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
        "/Trash");
}

// The Trash folders a drive's root may hold for this user; a shared
// ".Trash" counts only as a real sticky folder, as the Trash rules demand.
QList<QByteArray> DriveTrashes(const QByteArray &root)
{
    QList<QByteArray> found;
    const QByteArray base = root == "/" ? QByteArray() : root;
    const QByteArray uid = QByteArray::number(::getuid());
    struct stat st;
    if (IsRealFolderNative(base + "/.Trash", st) && (st.st_mode & S_ISVTX) &&
        IsRealFolderNative(base + "/.Trash/" + uid, st))
        found.append(base + "/.Trash/" + uid);
    if (IsRealFolderNative(base + "/.Trash-" + uid, st))
        found.append(base + "/.Trash-" + uid);
    return found;
}

// The last change of an entry's contents: a folder's changes when entries
// come or go.
bool NewestWithin(const struct stat &st, INT64 cutoff)
{
    return INT64(st.st_mtime) > cutoff;
}

// The check of IsDisposable on an open folder, entry by entry.
bool DisposableContents(int folderFd, INT64 cutoff, uid_t uid, UINT64 &bytes, int depth)
{
    // Deeper than any real temporary tree: refuse rather than recurse on.
    if (depth > 256)
        return false;
    DIR *dir = ::fdopendir(folderFd);
    if (!dir) {
        ::close(folderFd);
        return false;
    }
    bool ok = true;
    while (ok) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            ok = errno == 0;
            break;
        }
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            st.st_uid != uid || NewestWithin(st, cutoff)) {
            ok = false;
        } else if (S_ISDIR(st.st_mode)) {
            const int sub =
                ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            ok = sub >= 0 && DisposableContents(sub, cutoff, uid, bytes, depth + 1);
        } else if (S_ISREG(st.st_mode)) {
            bytes += UINT64(st.st_size);
        } else {
            ok = S_ISLNK(st.st_mode);
        }
    }
    ::closedir(dir);
    return ok;
}

} // namespace

QString TrashItem::FilePath() const
{
    return JoinPath(JoinPath(trash, QStringLiteral("files")), name);
}

QString TrashItem::InfoPath() const
{
    return JoinPath(JoinPath(trash, QStringLiteral("info")), name + kInfoSuffix);
}

bool ParseTrashInfo(const QByteArray &contents, const QByteArray &topdir, QByteArray &nativePath,
                    QDateTime &deleted)
{
    nativePath.clear();
    deleted = QDateTime();
    bool inGroup = false;
    bool sawGroup = false;
    QByteArray path;
    for (QByteArray line : contents.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            inGroup = line == "[Trash Info]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if (key == "Path" && path.isEmpty())
            path = QByteArray::fromPercentEncoding(value);
        else if (key == "DeletionDate" && !deleted.isValid())
            deleted = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
    }
    if (!sawGroup || path.isEmpty() || !SafeComponents(path))
        return false;
    if (!path.startsWith('/')) {
        if (topdir.isEmpty())
            return false;
        path = (topdir == "/" ? QByteArray() : topdir) + '/' + path;
    } else if (!topdir.isEmpty() && topdir != "/" && !path.startsWith(topdir + '/')) {
        return false;
    }
    nativePath = path;
    return true;
}

QByteArray TrashInfoText(const QByteArray &nativePath, const QDateTime &deleted)
{
    return "[Trash Info]\nPath=" + nativePath.toPercentEncoding("/") +
           "\nDeletionDate=" + deleted.toString(Qt::ISODate).left(19).toLatin1() + '\n';
}

QString HomeTrash()
{
    return WinForm(HomeTrashNative());
}

QStringList TrashFolders()
{
    QStringList folders;
    QSet<QByteArray> seen;
    struct stat st;
    const QByteArray home = HomeTrashNative();
    if (IsRealFolderNative(home, st)) {
        seen.insert(ResolveNative(home));
        const QString win = WinForm(home);
        if (!win.isEmpty())
            folders.append(win);
    }
    for (const DriveInfo &drive : Drives()) {
        for (const QByteArray &trash : DriveTrashes(drive.nativeRoot)) {
            const QByteArray resolved = ResolveNative(trash);
            const QString win = WinForm(trash);
            if (seen.contains(resolved) || win.isEmpty())
                continue;
            seen.insert(resolved);
            folders.append(win);
        }
    }
    return folders;
}

QString TrashOfFilesFolder(const QString &folder)
{
    if (ExtractFileName(folder).compare(QStringLiteral("files"), Qt::CaseInsensitive) != 0)
        return QString();
    QString trash = ExtractFilePath(folder);
    if (trash.size() > 3 && trash.endsWith(QLatin1Char('\\')))
        trash.chop(1);
    for (const QString &known : TrashFolders()) {
        if (SameText(known, trash))
            return known;
    }
    return QString();
}

QByteArray TrashTopDir(const QString &trash)
{
    QByteArray native;
    if (!ToNative(trash, native))
        return QByteArray();
    native = CleanNative(native);
    if (ResolveNative(native) == ResolveNative(HomeTrashNative()))
        return QByteArray();
    // <root>/.Trash-UID or <root>/.Trash/UID
    QByteArray root = native.left(native.lastIndexOf('/'));
    if (root.endsWith("/.Trash"))
        root.chop(7);
    return root.isEmpty() ? QByteArray("/") : root;
}

QList<TrashItem> ListTrash(const QString &trash)
{
    QList<TrashItem> items;
    const QByteArray topdir = TrashTopDir(trash);
    QSet<QString> withFile;
    ForEachEntry(JoinPath(trash, QStringLiteral("files")), [&](const WIN32_FIND_DATA &data) {
        TrashItem item;
        item.trash = trash;
        item.name = data.cFileName;
        item.hasFile = true;
        withFile.insert(item.name);
        QByteArray contents, native;
        if (ReadWholeFile(item.InfoPath(), contents)) {
            item.hasInfo = true;
            if (ParseTrashInfo(contents, topdir, native, item.deleted))
                item.original = WinForm(native);
        }
        items.append(item);
        return true;
    });
    ForEachEntry(JoinPath(trash, QStringLiteral("info")), [&](const WIN32_FIND_DATA &data) {
        const QString name = data.cFileName;
        if (!name.endsWith(kInfoSuffix) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        TrashItem item;
        item.trash = trash;
        item.name = name.chopped(kInfoSuffix.size());
        if (withFile.contains(item.name))
            return true;
        item.hasInfo = true;
        items.append(item);
        return true;
    });
    return items;
}

bool IsDisposable(const QString &path, INT64 minAgeSeconds, UINT64 &bytes)
{
    bytes = 0;
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    const INT64 cutoff = INT64(std::time(nullptr)) - minAgeSeconds;
    const uid_t uid = ::getuid();
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        SetLastError(PathError(errno, native));
        return false;
    }
    if (st.st_uid != uid || NewestWithin(st, cutoff))
        return false;
    if (S_ISREG(st.st_mode)) {
        bytes = UINT64(st.st_size);
        return true;
    }
    if (S_ISLNK(st.st_mode))
        return true;
    if (!S_ISDIR(st.st_mode))
        return false;
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    return fd >= 0 && DisposableContents(fd, cutoff, uid, bytes, 0);
}

QString HomeFolder()
{
    return WinForm(CleanNative(EncodeName(QDir::homePath())));
}

} // namespace kestrel::sys
