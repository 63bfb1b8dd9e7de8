#pragma once
// Private to platform/: the drive table as the conversions see it, and small
// helpers shared by the path, drive and shell code.

#include "platform/drives.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace kestrel::sys {

struct DriveEntry {
    DriveInfo info;
    QByteArray resolvedRoot; // realpath of the root, for matching getcwd() results
    // Space given in the configuration (test machines with drives larger
    // than any test folder): total and free bytes, used instead of statvfs.
    bool spaceGiven = false;
    UINT64 spaceTotal = 0;
    UINT64 spaceFree = 0;
};

struct ShareEntry {
    ShareInfo info;
    QByteArray resolvedRoot;
    bool hidden = false; // stands in for an uncovered program or temp folder
};

struct DriveTable {
    QList<DriveEntry> drives; // letter order
    QList<ShareEntry> shares;
};

// The table in use, built on first use and replaced by ReloadDriveTable.
std::shared_ptr<const DriveTable> CurrentDriveTable();
// Builds a fresh table from the environment, the system and kestrel.ini.
DriveTable BuildDriveTable();
// The drives and network shares the system has mounted (C: is "/").
QList<DriveEntry> DetectDrives();
QList<ShareEntry> DetectShares();
// The same from the text of a /proc/self/mountinfo (without GVFS shares).
QList<DriveEntry> DrivesFromMountInfo(const QByteArray &mountinfo);
QList<ShareEntry> SharesFromMountInfo(const QByteArray &mountinfo);
// Mount points strictly below a resolved native folder that a walk of its
// folders must not enter: file systems other than local disk and memory ones,
// and the roots of the table's drives and shares (they have trees of their
// own). The first form reads the system's mount table and the drive table.
QList<QByteArray> MountsNotToWalk(const QByteArray &folder);
QList<QByteArray> MountsNotToWalk(const QByteArray &mountinfo, const QByteArray &folder,
                                  const QList<QByteArray> &driveRoots);
// A serial number that stays the same from run to run for the same text.
DWORD StableSerial(const QByteArray &text);

// The key=value lines of one section of an INI file, in file order; section
// names compare without regard to case. Empty when the file is missing.
QList<std::pair<QByteArray, QByteArray>> ReadIniSection(const QByteArray &nativeFile,
                                                        const QByteArray &section);

// A full Windows path split into its root ("C:" or "\\server\share") and its
// components, "." and ".." resolved. Fails with the last error set.
struct WinPath {
    QString root;
    QStringList parts;
};
bool ParseWinPath(const QString &path, WinPath &out);
QString FormatWinPath(const WinPath &path);
// The Windows form of a cleaned absolute native path through the longest
// root of the table that is a prefix of it (drives win ties).
bool MapNative(const DriveTable &table, const QByteArray &clean, QString &path);

// The native form of a root; fails with 3 (no drive), 53 (no share) or 21
// (the drive's folder is missing).
bool NativeRoot(const QString &root, QByteArray &native);

// errno of a failed call on a native path to a Windows code, telling a
// missing file (2) from a missing folder on the way (3).
DWORD PathError(int err, const QByteArray &native);

// True when the native path names a folder (links followed).
bool IsNativeFolder(const QByteArray &native);

// Lexically cleaned absolute native path: no "//", "." or "..", no trailing '/'.
QByteArray CleanNative(const QByteArray &path);
// realpath() of a folder, or the cleaned path itself when it cannot be resolved.
QByteArray ResolveNative(const QByteArray &path);

// The program's folder and the temporary folder, native, no trailing slash.
QByteArray NativeProgramDir();
QByteArray NativeTempDir();
// The folder of the read-only files (default colour set, help pages).
QByteArray NativeSharedDir();

// For a program whose executable is in exeDir: the read-only files are in
// <prefix>/share/kestrel when exeDir is the bin folder of an installation,
// else beside the program (a build or portable folder). The program's own
// files are beside a program that is not installed and can write there,
// else in ~/.config/kestrel.
QByteArray SharedDirFor(const QByteArray &exeDir);
QByteArray ProgramDirFor(const QByteArray &exeDir);
// Tests keep their read-only files in a folder of their own.
void OverrideSharedDir(const QByteArray &native);

} // namespace kestrel::sys
