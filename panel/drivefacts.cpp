#include "panel/drivefacts.h"

#include "panel/filelisting.h"
#include "text/strings.h"

#include "platform/drives.h"

#include <cmath>

namespace kestrel {

QString DriveRoot(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text[0].isLetter() && text[0].unicode() < 128)
        return QString(text[0].toUpper()) + QLatin1String(":\\");
    return text.endsWith(QLatin1Char('\\')) ? text : text + QLatin1Char('\\');
}

QString DriveTypeName(unsigned type)
{
    static const char *const names[] = {
        "Unknown", "", "Removable", "Local Drive", "Network", "Compact Disk", "Ram Disk"};
    return type < std::size(names) ? QString::fromLatin1(names[type]) : QString();
}

TDriveSpace ReadDriveSpace(const QString &root)
{
    TDriveSpace space;
    sys::UINT64 available = 0;
    sys::UINT64 total = 0;
    sys::UINT64 totalFree = 0;
    if (sys::GetDiskFreeSpaceEx(root, &available, &total, &totalFree)) {
        space.total = total;
        space.free = available;
        space.known = true;
    }
    return space;
}

QList<TDriveItem> DriveRows(const QStringList &workFolders, const QString &excluded)
{
    QList<TDriveItem> rows;
    const sys::DWORD mask = sys::GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        const QChar letter(u'A' + bit);
        if (!(mask & (sys::DWORD(1) << bit)) || excluded.contains(letter, Qt::CaseInsensitive))
            continue;
        TDriveItem row;
        row.name = QString(letter) + QLatin1Char(':');
        const QString root = row.name + QLatin1Char('\\');
        row.type = sys::GetDriveType(root);
        // A removable drive is never touched: no read, no spin-up, no wait.
        // A drive that is not ready shows an empty label and no size.
        const bool ready =
            row.type != sys::DRIVE_REMOVABLE && sys::GetVolumeInformation(root, nullptr, nullptr);
        if (row.type == sys::DRIVE_REMOVABLE || ready)
            row.label = TFileListing::DriveLabelText(root);
        if (row.type == sys::DRIVE_FIXED && ready)
            row.size = ReadDriveSpace(root).total;
        rows.append(row);
    }
    for (int slot = 0; slot < 3 && slot < workFolders.size(); ++slot) {
        if (workFolders[slot].isEmpty())
            continue;
        rows.append({QStringLiteral("%1:").arg(slot + 1), workFolders[slot], 0, DRIVE_WORKFOLDER});
    }
    if (!excluded.contains(QLatin1Char('/')))
        rows.append({QStringLiteral("/:"), QStringLiteral("Network"), 0, sys::DRIVE_REMOTE});
    return rows;
}

int CurrentDriveRow(const QList<TDriveItem> &rows, const QString &current)
{
    if (rows.isEmpty())
        return -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (current.startsWith(QLatin1Char('\\'))
                ? rows[i].IsNetwork()
                : !current.isEmpty() && rows[i].name[0] == current[0].toUpper())
            return i;
    }
    return 0;
}

int DriveRowForKey(const QList<TDriveItem> &rows, QChar key)
{
    const QChar upper = key.toUpper();
    const bool usable =
        (upper >= u'A' && upper <= u'Z') || (key >= u'1' && key <= u'5') || key == u'/';
    if (!usable)
        return -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].name[0] == upper)
            return i;
    }
    return -1;
}

QString DriveSizeText(sys::UINT64 bytes)
{
    if (bytes == 0)
        return QString();
    const bool mega = bytes < 1000000000u;
    const double value = double(bytes) / (mega ? 1048576.0 : 1073741824.0);
    const QString unit = mega ? QStringLiteral(" MB") : QStringLiteral(" GB");
    // Three significant digits read well up to 999; beyond, the exponent
    // form they would need does not.
    if (value >= 999.5)
        return ThousandsText(sys::UINT64(std::llround(value))) + unit;
    return QString::number(value, 'g', 3) + unit;
}

QString DiskInfoText(const TDriveSpace &space, int room,
                     const std::function<int(const QString &)> &width)
{
    if (!space.known)
        return QString();
    const bool kilo = space.total <= 10485760u;
    const int shift = kilo ? 10 : 20;
    const QString unit = kilo ? QStringLiteral("K") : QStringLiteral("M");
    const QString free = ThousandsText(space.free >> shift);
    const QString total = ThousandsText(space.total >> shift);
    const QString candidates[] = {
        QStringLiteral("%1 bytes Free (%2 Total bytes)")
            .arg(ThousandsText(space.free), ThousandsText(space.total)),
        QStringLiteral("%1 %2 Free (%3 %2 Total)").arg(free, unit, total),
        QStringLiteral("%1 %2 Free").arg(free, unit),
        QStringLiteral("%1 %2").arg(free, unit),
    };
    for (const QString &text : candidates) {
        if (width(text) < room)
            return text;
    }
    return QString();
}

int DiskUsagePercent(const TDriveSpace &space)
{
    if (!space.known || space.total == 0)
        return 0;
    const sys::UINT64 used = space.free >= space.total ? 0 : space.total - space.free;
    // Scaled in floating point: byte counts overflow an int, and their
    // product with 100 may overflow 64 bits.
    return int(std::lround(100.0 * double(used) / double(space.total)));
}

} // namespace kestrel
