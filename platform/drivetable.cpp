// Building the drive table: KESTREL_DRIVES for tests, otherwise the mounts of
// the system, and on top the [Drives] section of kestrel.ini; shares from
// network mounts, [Network] and KESTREL_SHARES.

#include "platform/names.h"
#include "platform/native.h"

#include <algorithm>
#include <cstdio>

namespace kestrel::sys {

namespace {

void Complain(const char *source, const QByteArray &entry, const char *why)
{
    std::fprintf(stderr, "kestrel: %s: skipping entry \"%s\": %s\n", source, entry.constData(),
                 why);
}

bool ParseType(const QByteArray &text, unsigned &type)
{
    static const struct {
        const char *name;
        unsigned type;
    } types[] = {{"fixed", DRIVE_FIXED},
                 {"removable", DRIVE_REMOVABLE},
                 {"cdrom", DRIVE_CDROM},
                 {"remote", DRIVE_REMOTE},
                 {"ramdisk", DRIVE_RAMDISK}};
    const QByteArray lower = text.trimmed().toLower();
    if (lower.isEmpty()) {
        type = DRIVE_FIXED;
        return true;
    }
    for (const auto &t : types) {
        if (lower == t.name) {
            type = t.type;
            return true;
        }
    }
    return false;
}

// Root without trailing slashes ("/" stays), or empty when not absolute.
QByteArray CleanRoot(const QByteArray &path)
{
    const QByteArray trimmed = path.trimmed();
    return trimmed.startsWith('/') ? CleanNative(trimmed) : QByteArray();
}

void Put(QList<DriveEntry> &drives, DriveEntry entry)
{
    entry.resolvedRoot = ResolveNative(entry.info.nativeRoot);
    const auto same = [&](const DriveEntry &d) { return d.info.letter == entry.info.letter; };
    drives.removeIf(same);
    drives.append(entry);
}

void PutShare(QList<ShareEntry> &shares, ShareEntry entry)
{
    entry.resolvedRoot = ResolveNative(entry.info.nativeRoot);
    const auto same = [&](const ShareEntry &s) { return SameText(s.info.unc, entry.info.unc); };
    shares.removeIf(same);
    shares.append(entry);
}

// "TOTAL" or "TOTAL/FREE" in bytes; free is the total when not given.
bool ParseSpace(const QByteArray &text, UINT64 &total, UINT64 &free)
{
    const QList<QByteArray> parts = text.trimmed().split('/');
    bool totalOk = false;
    bool freeOk = true;
    total = parts[0].trimmed().toULongLong(&totalOk);
    free = total;
    if (parts.size() == 2)
        free = parts[1].trimmed().toULongLong(&freeOk);
    return totalOk && freeOk && parts.size() <= 2 && free <= total;
}

// One drive entry "L=/path[,type[,label[,serial[,space]]]]"; the letter and
// the value come split at the first '='.
void ParseDrive(const char *source, const QByteArray &key, const QByteArray &value,
                QList<DriveEntry> &drives)
{
    const QByteArray whole = key + '=' + value;
    const QByteArray letter = key.trimmed().toUpper();
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z')
        return Complain(source, whole, "the drive must be a single letter A to Z");
    const QList<QByteArray> fields = value.split(',');
    if (fields.size() > 5)
        return Complain(source, whole, "too many fields");
    DriveEntry entry;
    entry.info.letter = QLatin1Char(letter[0]);
    entry.info.nativeRoot = CleanRoot(fields[0]);
    if (entry.info.nativeRoot.isEmpty())
        return Complain(source, whole, "the folder must be an absolute path");
    if (fields.size() > 1 && !ParseType(fields[1], entry.info.type))
        return Complain(source, whole,
                        "unknown drive type (fixed, removable, cdrom, remote, ramdisk)");
    if (fields.size() > 2)
        entry.info.label = DecodeName(fields[2].trimmed());
    if (fields.size() > 3) {
        const QByteArray hex = fields[3].trimmed();
        bool ok = false;
        entry.info.serial = DWORD(hex.toUInt(&ok, 16));
        if (!ok || hex.size() > 8)
            return Complain(source, whole, "the serial number must be up to 8 hex digits");
    } else {
        entry.info.serial = StableSerial(entry.info.nativeRoot);
    }
    if (fields.size() > 4) {
        entry.spaceGiven = true;
        if (!ParseSpace(fields[4], entry.spaceTotal, entry.spaceFree))
            return Complain(source, whole, "the space must be TOTAL or TOTAL/FREE in bytes");
    }
    Put(drives, entry);
}

// One share entry "\\server\share=/path".
void ParseShare(const char *source, const QByteArray &key, const QByteArray &value,
                QList<ShareEntry> &shares)
{
    const QByteArray whole = key + '=' + value;
    const QString unc = DecodeName(key.trimmed()).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList bits = unc.mid(2).split(QLatin1Char('\\'));
    if (!unc.startsWith(QLatin1String("\\\\")) || bits.size() != 2 || bits[0].isEmpty() ||
        bits[1].isEmpty())
        return Complain(source, whole, "the share must have the form \\\\server\\share");
    ShareEntry entry;
    entry.info.unc = unc;
    entry.info.nativeRoot = CleanRoot(value);
    if (entry.info.nativeRoot.isEmpty())
        return Complain(source, whole, "the folder must be an absolute path");
    PutShare(shares, entry);
}

// Entries "key=value" separated by ';', as the environment variables hold them.
template <typename List, typename Parse>
void ParseList(const char *variable, List &list, Parse parse)
{
    for (const QByteArray &item : qgetenv(variable).split(';')) {
        if (item.trimmed().isEmpty())
            continue;
        const qsizetype eq = item.indexOf('=');
        if (eq < 0) {
            Complain(variable, item, "missing '='");
            continue;
        }
        parse(variable, item.left(eq), item.mid(eq + 1), list);
    }
}

// The program's folders and the temporary folder must be reachable through
// Windows-form paths even when no drive covers them (a test machine, or a
// [Drives] section that replaced C:); a hidden share stands in for them.
void CoverPrivateFolders(DriveTable &table)
{
    const struct {
        const char *unc;
        QByteArray native;
    } folders[] = {{"\\\\kestrel\\home", NativeProgramDir()},
                   {"\\\\kestrel\\share", NativeSharedDir()},
                   {"\\\\kestrel\\temp", NativeTempDir()}};
    for (const auto &f : folders) {
        QString path;
        if (f.native.isEmpty() || MapNative(table, CleanNative(f.native), path) ||
            MapNative(table, ResolveNative(f.native), path))
            continue;
        ShareEntry entry;
        entry.info.unc = QLatin1String(f.unc);
        entry.info.nativeRoot = CleanNative(f.native);
        entry.hidden = true;
        PutShare(table.shares, entry);
    }
}

} // namespace

DWORD StableSerial(const QByteArray &text)
{
    // FNV-1a: the same folder gets the same serial in every run.
    DWORD hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

DriveTable BuildDriveTable()
{
    DriveTable table;
    if (qEnvironmentVariableIsSet("KESTREL_DRIVES")) {
        ParseList("KESTREL_DRIVES", table.drives, ParseDrive);
    } else {
        table.drives = DetectDrives();
        table.shares = DetectShares();
    }
    // The user's own letters and shares come on top of either, so that a
    // letter mapped in the program shows at once, on a test machine too.
    const QByteArray ini = NativeProgramDir() + "/kestrel.ini";
    for (const auto &[key, value] : ReadIniSection(ini, "Drives"))
        ParseDrive("kestrel.ini [Drives]", key, value, table.drives);
    for (const auto &[key, value] : ReadIniSection(ini, "Network"))
        ParseShare("kestrel.ini [Network]", key, value, table.shares);
    ParseList("KESTREL_SHARES", table.shares, ParseShare);
    std::sort(
        table.drives.begin(), table.drives.end(),
        [](const DriveEntry &a, const DriveEntry &b) { return a.info.letter < b.info.letter; });
    CoverPrivateFolders(table);
    return table;
}

} // namespace kestrel::sys
