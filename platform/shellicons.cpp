#include "platform/shellicons.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/names.h"
#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace kestrel::sys {

namespace {

struct IconCache {
    QList<QIcon> icons;
    QHash<QString, int> byKey;
    QFileIconProvider provider;
    QMimeDatabase mime;

    int Index(const QString &key, const QIcon &icon)
    {
        const auto it = byKey.constFind(key);
        if (it != byKey.constEnd())
            return it.value();
        icons.append(icon);
        byKey.insert(key, int(icons.size() - 1));
        return int(icons.size() - 1);
    }
};

IconCache &Cache()
{
    static IconCache cache;
    return cache;
}

} // namespace

int GetIconIndex(const QString &name, IconKind kind)
{
    IconCache &cache = Cache();
    switch (kind) {
    case IconKind::Folder:
    case IconKind::Parent:
        return cache.Index(QStringLiteral(":folder"),
                           QIcon::fromTheme(QStringLiteral("folder"),
                                            cache.provider.icon(QFileIconProvider::Folder)));
    case IconKind::Drive:
        return cache.Index(QStringLiteral(":drive"),
                           QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                            cache.provider.icon(QFileIconProvider::Drive)));
    case IconKind::Network:
        return cache.Index(QStringLiteral(":network"),
                           QIcon::fromTheme(QStringLiteral("network-workgroup"),
                                            cache.provider.icon(QFileIconProvider::Network)));
    case IconKind::File:
        break;
    }
    const QMimeType type = cache.mime.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    const QString iconName = type.iconName();
    const auto it = cache.byKey.constFind(iconName);
    if (it != cache.byKey.constEnd())
        return it.value();
    QIcon icon = QIcon::fromTheme(iconName, QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = cache.provider.icon(QFileIconProvider::File);
    return cache.Index(iconName, icon);
}

QIcon GetIcon(int index)
{
    const IconCache &cache = Cache();
    return index >= 0 && index < cache.icons.size() ? cache.icons[index] : QIcon();
}

bool ShellOpen(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    const QFileInfo info(DecodeName(native));
    if (!info.exists()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    if (info.isFile() && info.isExecutable()) {
        if (!QProcess::startDetached(info.filePath(), {}, info.path())) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return true;
    }
    // Without a program for the type the desktop's opener would fail later,
    // out of sight.
    if (!HasAssociatedProgram(path) ||
        !QDesktopServices::openUrl(QUrl::fromLocalFile(info.filePath()))) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return false;
    }
    return true;
}

} // namespace kestrel::sys
