#pragma once
// Drive facts, computed on demand from a drive text (a letter, "C:", a root,
// or a UNC share): root, type, readiness, volume name and space; the rows of
// the "Select Drive" dialog; and the texts the drive dialog and the disk
// panel show.

#include "platform/wintypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

// Row type of a work folder in the drive dialog.
inline constexpr unsigned DRIVE_WORKFOLDER = 7;

// "C:\" for a text starting with a letter; otherwise the text with a
// trailing backslash.
QString DriveRoot(const QString &text);
// "Unknown", "", "Removable", "Local Drive", "Network", "Compact Disk",
// "Ram Disk" by drive type; "" for any other.
QString DriveTypeName(unsigned type);

struct TDriveSpace {
    sys::UINT64 total = 0;
    sys::UINT64 free = 0; // available to the user
    bool known = false;
};
// Total and free bytes of the drive; not known when the drive cannot be read.
TDriveSpace ReadDriveSpace(const QString &root);

// One row of the drive dialog.
struct TDriveItem {
    QString name;         // "C:", "1:" for a work folder, "/:" for the network row
    QString label;        // volume name, the work folder's path, or "Network"
    sys::UINT64 size = 0; // total bytes of a fixed drive that is ready
    unsigned type = sys::DRIVE_UNKNOWN;

    bool IsNetwork() const { return name == QLatin1String("/:"); }
    bool IsWorkFolder() const { return type == DRIVE_WORKFOLDER; }
};

// The rows: every drive whose letter is not excluded (removable drives are
// not touched), the work folders that are set, and the network row unless
// "/" is excluded. Letters compare without regard to case.
QList<TDriveItem> DriveRows(const QStringList &workFolders, const QString &excluded);
// The row of the current drive text: the network row for a UNC path, else
// the first row starting with its first character, else 0; -1 when empty.
int CurrentDriveRow(const QList<TDriveItem> &rows, const QString &current);
// The row a typed letter, digit or "/" chooses; -1 when it matches none.
int DriveRowForKey(const QList<TDriveItem> &rows, QChar key);
// Total size of a row: below 1,000,000,000 bytes in MB, else in GB, three
// significant digits ("512 MB", "40 GB", "1.5 GB"); whole thousands of GB
// are written out ("4,096 GB"). Empty for 0.
QString DriveSizeText(sys::UINT64 bytes);

// The disk panel's text: the longest candidate narrower than the room, as
// measured by width(); "" when none fits.
QString DiskInfoText(const TDriveSpace &space, int room,
                     const std::function<int(const QString &)> &width);
// The gauge's position, 0 to 100, of the used part (0 for an unknown or
// empty drive).
int DiskUsagePercent(const TDriveSpace &space);

} // namespace kestrel
