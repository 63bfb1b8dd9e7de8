#pragma once
// The user's freedesktop.org Trash folders (the home Trash and the
// ".Trash/UID" and ".Trash-UID" folders at the roots of other drives), their
// items with the place and time their info files record, and the test that
// tells an entry of the shared temporary folder the user may delete.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel::sys {

// One item of a Trash folder. A file without an info file, or an info file
// without its file, is an item too, so that emptying leaves neither behind.
struct TrashItem {
    QString trash;     // the Trash folder (holding files\ and info\), Windows form
    QString name;      // the name in files\; info\<name>.trashinfo describes it
    QString original;  // full original path, Windows form; "" when unknown
    QDateTime deleted; // local time; invalid when unknown
    bool hasFile = false;
    bool hasInfo = false;
    QString FilePath() const;
    QString InfoPath() const;
};

// Parses the contents of a ".trashinfo" file. topdir: the native root of the
// drive a drive's Trash belongs to (relative paths are taken from there and
// absolute ones must lie below it); empty for the home Trash, whose paths
// must be absolute. False when the path is missing or unsafe (".." or empty
// components); an unreadable date only leaves deleted invalid.
bool ParseTrashInfo(const QByteArray &contents, const QByteArray &topdir, QByteArray &nativePath,
                    QDateTime &deleted);
// The contents of an info file for a native path and time.
QByteArray TrashInfoText(const QByteArray &nativePath, const QDateTime &deleted);

// The home Trash, Windows form without a trailing '\'; "" when no drive
// covers it. It need not exist yet.
QString HomeTrash();
// Every Trash folder of the user that exists: the home Trash first, then
// those at the drives' roots.
QStringList TrashFolders();
// The Trash folder whose files\ folder is folder, or "".
QString TrashOfFilesFolder(const QString &folder);
// The items of one Trash folder, in the order of files\, then info files
// without a file.
QList<TrashItem> ListTrash(const QString &trash);
// The native root of the drive a Trash folder belongs to; empty for the home Trash.
QByteArray TrashTopDir(const QString &trash);

// True when the entry (a whole folder tree, links not followed) belongs to
// the user, holds no socket, pipe or device, and nothing in it changed within
// minAgeSeconds before now; bytes: the size of its files.
bool IsDisposable(const QString &path, INT64 minAgeSeconds, UINT64 &bytes);
// The user's home folder, Windows form; "" when no drive covers it.
QString HomeFolder();

} // namespace kestrel::sys
