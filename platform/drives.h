#pragma once
// The drive table: drive letters mapped to native folders, UNC shares to
// mounts, and conversion of paths between the Windows form and native paths.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrel::sys {

struct DriveInfo {
    QChar letter;          // 'A'..'Z'
    QByteArray nativeRoot; // native folder, no trailing slash except "/"
    unsigned type = DRIVE_FIXED;
    QString label;
    DWORD serial = 0;
};

struct ShareInfo {
    QString unc; // \\server\share
    QByteArray nativeRoot;
};

// Builds the table: KESTREL_DRIVES when set (replacing the detection),
// otherwise automatic detection; then the [Drives] section of kestrel.ini on
// top; shares from mounts, [Network] and KESTREL_SHARES. Malformed entries are skipped with a
// message on standard error. Called lazily on first use; tests call it again
// after changing the environment.
void ReloadDriveTable();
QList<DriveInfo> Drives();
QList<ShareInfo> Shares();

DWORD GetLogicalDrives(); // bit 0 = A:
unsigned GetDriveType(const QString &root);
bool GetVolumeInformation(const QString &root, QString *label, DWORD *serial);
bool GetDiskFreeSpace(const QString &root, DWORD *sectorsPerCluster, DWORD *bytesPerSector,
                      DWORD *freeClusters, DWORD *totalClusters);
bool GetDiskFreeSpaceEx(const QString &root, UINT64 *freeToCaller, UINT64 *total,
                        UINT64 *totalFree);

// Windows path (absolute or relative to the current directory) to a native
// path; components that do not exist with their exact case are matched
// without regard to case. Fails with 3 (no drive) or 53 (no share).
bool ToNative(const QString &path, QByteArray &native);
// Native path to the Windows form through the longest drive root that is a
// prefix; fails with 3 when no drive covers it, 123 when it holds a NUL byte
// or a backslash, which the Windows form cannot hold inside a name.
bool FromNative(const QByteArray &native, QString &path);
// A path as a person typed it, in Windows form: text that starts with "/" is
// a native path and is converted ("" with error 3 when no drive covers it);
// anything else is Windows form already and comes back as it stands.
QString FromTypedPath(const QString &text);

// Helpers on Windows-form paths, no file-system access.
QString ExtractFileDrive(const QString &path); // "C:" or "\\server\share"
QString ExtractFileName(const QString &path);  // after the last '\' or ':'
QString ExtractFilePath(const QString &path);  // up to and including the last '\' or ':'
QString JoinPath(const QString &folder, const QString &name);
bool IsRoot(const QString &path);                  // "C:\" (three characters, ':' second)
bool SameText(const QString &a, const QString &b); // case-insensitive equality

} // namespace kestrel::sys
