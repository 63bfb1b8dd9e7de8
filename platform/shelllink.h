#pragma once
// Shell links (.lnk files) in the documented Shell Link binary format, so
// links made here open on Windows and links made there open here.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QString>

namespace kestrel::sys {

// What a link holds that the program writes or follows.
struct TShellLink {
    QString target;       // full Windows path: C:\Dir\File or \\server\share\Dir\File
    QString relativePath; // from the link's folder (".\File", "..\Dir\File"), or empty
    QString workingDir;
    QString arguments;
    // The target as it was when the link was made.
    DWORD attributes = 0;
    FILETIME creationTime;
    FILETIME accessTime;
    FILETIME writeTime;
    DWORD fileSize = 0;
    // The volume of a drive-letter target.
    unsigned driveType = DRIVE_FIXED;
    DWORD driveSerial = 0;
    QString volumeLabel;
    int iconIndex = 0;
};

// The bytes of a link: header, link information for the target (local base
// path with its volume, or the network share and the path below it), the
// relative path, working folder and arguments as Unicode strings.
QByteArray EncodeShellLink(const TShellLink &link);
// Parses a link; an ID list and extra data blocks are skipped. target stays
// empty when the link names no path (an ID-list-only link). False on bytes
// that are not a well-formed link.
bool DecodeShellLink(const QByteArray &bytes, TShellLink &link);

// Writes the link of path; false with the last error set.
bool WriteShellLink(const QString &path, const TShellLink &link);
// Reads the link of path and resolves its target, falling back to the
// relative path taken from the link's folder. False with the last error set
// (13 for a file that is not a usable link).
bool ReadShellLink(const QString &path, TShellLink &link);

// Makes folder\<target's name>.lnk pointing to target, with the target's
// folder as working folder. False with the last error set.
bool CreateShortcut(const QString &target, const QString &folder);

} // namespace kestrel::sys
