#include "platform/shelllink.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/statefile.h"

#include <QStringList>

namespace kestrel::sys {

namespace {

constexpr DWORD headerSize = 0x4C;
constexpr unsigned char linkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// LinkFlags
constexpr DWORD hasLinkTargetIdList = 0x01;
constexpr DWORD hasLinkInfo = 0x02;
constexpr DWORD hasName = 0x04;
constexpr DWORD hasRelativePath = 0x08;
constexpr DWORD hasWorkingDir = 0x10;
constexpr DWORD hasArguments = 0x20;
constexpr DWORD hasIconLocation = 0x40;
constexpr DWORD isUnicode = 0x80;
constexpr DWORD forceNoLinkInfo = 0x100;

// LinkInfoFlags
constexpr DWORD volumeIdAndLocalBasePath = 0x01;
constexpr DWORD commonNetworkRelativeLink = 0x02;

constexpr DWORD swShowNormal = 1;

class Writer {
public:
    void U16(std::uint16_t v)
    {
        bytes.append(char(v & 0xFF));
        bytes.append(char(v >> 8));
    }
    void U32(DWORD v)
    {
        U16(std::uint16_t(v & 0xFFFF));
        U16(std::uint16_t(v >> 16));
    }
    void Time(const FILETIME &ft)
    {
        U32(ft.dwLowDateTime);
        U32(ft.dwHighDateTime);
    }
    void Raw(const QByteArray &b) { bytes.append(b); }
    // Windows readers take these in the system's ANSI code page; characters
    // outside Latin-1 become '?', and the Unicode copies carry the real names.
    void Ansi(const QString &s)
    {
        bytes.append(s.toLatin1());
        bytes.append('\0');
    }
    void Unicode(const QString &s, bool terminate)
    {
        for (QChar c : s)
            U16(c.unicode());
        if (terminate)
            U16(0);
    }
    void Counted(const QString &s)
    {
        U16(std::uint16_t(s.size()));
        Unicode(s, false);
    }
    DWORD Size() const { return DWORD(bytes.size()); }
    void PatchU32(qsizetype at, DWORD v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    }

    QByteArray bytes;
};

// Bounds-checked little-endian reads; any read past the end sets failed.
class Reader {
public:
    Reader(const QByteArray &b, qsizetype begin, qsizetype end) : bytes(b), pos(begin), end(end) {}

    std::uint16_t U16()
    {
        if (!Need(2))
            return 0;
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData()) + pos;
        pos += 2;
        return std::uint16_t(p[0] | (p[1] << 8));
    }
    DWORD U32()
    {
        const DWORD lo = U16();
        return lo | (DWORD(U16()) << 16);
    }
    FILETIME Time()
    {
        FILETIME ft;
        ft.dwLowDateTime = U32();
        ft.dwHighDateTime = U32();
        return ft;
    }
    void Skip(qsizetype n)
    {
        if (Need(n))
            pos += n;
    }
    QString Counted(bool unicode)
    {
        const int count = U16();
        return unicode ? UnicodeChars(count) : AnsiChars(count);
    }
    // Zero-terminated strings at an offset from base, within [base, end).
    QString AnsiAt(qsizetype base, DWORD offset) const
    {
        QString s;
        for (qsizetype i = base + offset; i < end && i >= 0; ++i) {
            if (bytes[i] == '\0')
                return s;
            s.append(QChar::fromLatin1(bytes[i]));
        }
        return {}; // unterminated: not trusted
    }
    QString UnicodeAt(qsizetype base, DWORD offset) const
    {
        QString s;
        for (qsizetype i = base + offset; i + 1 < end && i >= 0; i += 2) {
            const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData()) + i;
            const char16_t c = char16_t(p[0] | (p[1] << 8));
            if (c == 0)
                return s;
            s.append(QChar(c));
        }
        return {};
    }
    qsizetype Pos() const { return pos; }
    bool Failed() const { return failed; }

private:
    bool Need(qsizetype n)
    {
        if (failed || n < 0 || end - pos < n) {
            failed = true;
            return false;
        }
        return true;
    }
    QString UnicodeChars(int count)
    {
        QString s;
        for (int i = 0; i < count && !failed; ++i)
            s.append(QChar(char16_t(U16())));
        return failed ? QString() : s;
    }
    QString AnsiChars(int count)
    {
        if (!Need(count))
            return {};
        const QString s = QString::fromLatin1(bytes.constData() + pos, count);
        pos += count;
        return s;
    }

    const QByteArray &bytes;
    qsizetype pos;
    qsizetype end;
    bool failed = false;
};

// "\\server\share..." with both names; anything else ("\\\x") is kept
// whole as a local base path, which reads back as it was.
bool IsUnc(const QString &path)
{
    if (!path.startsWith(QLatin1String("\\\\")))
        return false;
    const QStringList bits = path.mid(2).split(QLatin1Char('\\'));
    return bits.size() >= 2 && !bits[0].isEmpty() && !bits[1].isEmpty();
}

QByteArray EncodeVolumeId(const TShellLink &link)
{
    Writer w;
    w.U32(0); // size, patched below
    w.U32(link.driveType);
    w.U32(link.driveSerial);
    w.U32(0x10); // label follows directly
    w.Ansi(link.volumeLabel);
    w.PatchU32(0, w.Size());
    return w.bytes;
}

QByteArray EncodeNetworkLink(const QString &netName)
{
    Writer w;
    w.U32(0);    // size
    w.U32(0);    // no device name, no provider type
    w.U32(0x1C); // NetNameOffset: past the Unicode offsets
    w.U32(0);    // DeviceNameOffset
    w.U32(0);    // NetworkProviderType
    w.U32(0);    // NetNameOffsetUnicode, patched
    w.U32(0);    // DeviceNameOffsetUnicode
    w.Ansi(netName);
    w.PatchU32(0x14, w.Size());
    w.Unicode(netName, true);
    w.PatchU32(0, w.Size());
    return w.bytes;
}

QByteArray EncodeLinkInfo(const TShellLink &link)
{
    // A UNC target is stored as share plus the path below it; anything else
    // as a local base path on its volume.
    const bool network = IsUnc(link.target);
    QString basePath = link.target;
    QString suffix;
    QByteArray volumeOrShare;
    if (network) {
        basePath = ExtractFileDrive(link.target);
        suffix = link.target.mid(basePath.size());
        if (suffix.startsWith(QLatin1Char('\\')))
            suffix.remove(0, 1);
        volumeOrShare = EncodeNetworkLink(basePath);
    } else {
        volumeOrShare = EncodeVolumeId(link);
    }

    constexpr DWORD infoHeaderSize = 0x24; // with the Unicode offsets
    Writer w;
    w.U32(0);
    w.U32(infoHeaderSize);
    w.U32(network ? commonNetworkRelativeLink : volumeIdAndLocalBasePath);
    for (int i = 0; i < 6; ++i)
        w.U32(0); // offsets, patched below
    const DWORD blockAt = w.Size();
    w.Raw(volumeOrShare);
    DWORD localBaseAt = 0;
    if (!network) {
        localBaseAt = w.Size();
        w.Ansi(basePath);
    }
    const DWORD suffixAt = w.Size();
    w.Ansi(suffix);
    DWORD localBaseUnicodeAt = 0;
    if (!network) {
        localBaseUnicodeAt = w.Size();
        w.Unicode(basePath, true);
    }
    const DWORD suffixUnicodeAt = w.Size();
    w.Unicode(suffix, true);

    w.PatchU32(0x0C, network ? 0 : blockAt); // VolumeIDOffset
    w.PatchU32(0x10, localBaseAt);           // LocalBasePathOffset
    w.PatchU32(0x14, network ? blockAt : 0); // CommonNetworkRelativeLinkOffset
    w.PatchU32(0x18, suffixAt);              // CommonPathSuffixOffset
    w.PatchU32(0x1C, localBaseUnicodeAt);    // LocalBasePathOffsetUnicode
    w.PatchU32(0x20, suffixUnicodeAt);       // CommonPathSuffixOffsetUnicode
    w.PatchU32(0, w.Size());
    return w.bytes;
}

QString JoinSuffix(const QString &base, const QString &suffix)
{
    if (suffix.isEmpty())
        return base;
    return base.endsWith(QLatin1Char('\\')) ? base + suffix : base + QLatin1Char('\\') + suffix;
}

// Reads the LinkInfo structure that begins at the reader's position.
bool DecodeLinkInfo(const QByteArray &bytes, qsizetype at, qsizetype fileEnd, TShellLink &link,
                    qsizetype &next)
{
    Reader head(bytes, at, fileEnd);
    const DWORD size = head.U32();
    if (head.Failed() || size < 0x1C || qsizetype(size) > fileEnd - at)
        return false;
    next = at + size;
    Reader r(bytes, at + 4, at + size);
    const DWORD infoHeaderSize = r.U32();
    const DWORD flags = r.U32();
    const DWORD volumeIdOffset = r.U32();
    const DWORD localBaseOffset = r.U32();
    const DWORD networkOffset = r.U32();
    const DWORD suffixOffset = r.U32();
    DWORD localBaseUnicodeOffset = 0;
    DWORD suffixUnicodeOffset = 0;
    if (infoHeaderSize >= 0x24) {
        localBaseUnicodeOffset = r.U32();
        suffixUnicodeOffset = r.U32();
    }
    if (r.Failed())
        return false;

    const QString suffix =
        suffixUnicodeOffset ? r.UnicodeAt(at, suffixUnicodeOffset) : r.AnsiAt(at, suffixOffset);
    if (flags & volumeIdAndLocalBasePath) {
        const QString base = localBaseUnicodeOffset ? r.UnicodeAt(at, localBaseUnicodeOffset)
                                                    : r.AnsiAt(at, localBaseOffset);
        if (!base.isEmpty())
            link.target = JoinSuffix(base, suffix);
        const qsizetype volumeAt = at + volumeIdOffset;
        Reader v(bytes, volumeAt, at + size);
        const DWORD volumeSize = v.U32();
        link.driveType = v.U32();
        link.driveSerial = v.U32();
        const DWORD labelOffset = v.U32();
        const qsizetype volumeEnd = qMin(volumeAt + qsizetype(volumeSize), at + qsizetype(size));
        const Reader label(bytes, volumeAt, volumeEnd);
        if (labelOffset == 0x14)
            link.volumeLabel = label.UnicodeAt(volumeAt, v.U32());
        else
            link.volumeLabel = label.AnsiAt(volumeAt, labelOffset);
    } else if (flags & commonNetworkRelativeLink) {
        const qsizetype netAt = at + networkOffset;
        Reader n(bytes, netAt, at + size);
        const DWORD netSize = n.U32();
        n.U32(); // flags
        const DWORD netNameOffset = n.U32();
        n.U32(); // device name offset
        n.U32(); // provider type
        const DWORD netNameUnicodeOffset = netNameOffset > 0x14 ? n.U32() : 0;
        if (n.Failed() || qsizetype(netSize) > at + size - netAt)
            return false;
        Reader names(bytes, netAt, netAt + netSize);
        const QString netName = netNameUnicodeOffset ? names.UnicodeAt(netAt, netNameUnicodeOffset)
                                                     : names.AnsiAt(netAt, netNameOffset);
        if (!netName.isEmpty())
            link.target = JoinSuffix(netName, suffix);
    }
    return true;
}

// "C:\a\.\b\..\c" -> "C:\a\c"; the drive or share part is never climbed out of.
QString Collapse(const QString &path)
{
    const QString drive = ExtractFileDrive(path);
    const QStringList parts = path.mid(drive.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString &p : parts) {
        if (p == QLatin1String("..")) {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (p != QLatin1String(".")) {
            kept.append(p);
        }
    }
    return drive + QLatin1Char('\\') + kept.join(QLatin1Char('\\'));
}

// The relative path from folder to target on the same drive, or empty.
QString RelativePath(const QString &folder, const QString &target)
{
    const QString drive = ExtractFileDrive(target);
    if (drive.isEmpty() || !SameText(drive, ExtractFileDrive(folder)))
        return {};
    const QStringList from = folder.mid(drive.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const QStringList to = target.mid(drive.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    qsizetype common = 0;
    while (common < from.size() && common + 1 < to.size() && SameText(from[common], to[common]))
        ++common;
    QString rel = common == from.size() ? QStringLiteral(".\\") : QString();
    for (qsizetype i = common; i < from.size(); ++i)
        rel += QLatin1String("..\\");
    return rel + to.mid(common).join(QLatin1Char('\\'));
}

QString WithoutTrailingBackslash(const QString &path)
{
    if (path.endsWith(QLatin1Char('\\')) && !IsRoot(path) && path.size() > 1)
        return path.left(path.size() - 1);
    return path;
}

} // namespace

QByteArray EncodeShellLink(const TShellLink &link)
{
    DWORD flags = hasLinkInfo | isUnicode;
    if (!link.relativePath.isEmpty())
        flags |= hasRelativePath;
    if (!link.workingDir.isEmpty())
        flags |= hasWorkingDir;
    if (!link.arguments.isEmpty())
        flags |= hasArguments;

    Writer w;
    w.U32(headerSize);
    w.Raw(QByteArray(reinterpret_cast<const char *>(linkClsid), sizeof linkClsid));
    w.U32(flags);
    w.U32(link.attributes);
    w.Time(link.creationTime);
    w.Time(link.accessTime);
    w.Time(link.writeTime);
    w.U32(link.fileSize);
    w.U32(DWORD(link.iconIndex));
    w.U32(swShowNormal);
    w.U16(0); // hot key
    w.U16(0); // reserved
    w.U32(0);
    w.U32(0);

    w.Raw(EncodeLinkInfo(link));
    if (flags & hasRelativePath)
        w.Counted(link.relativePath);
    if (flags & hasWorkingDir)
        w.Counted(link.workingDir);
    if (flags & hasArguments)
        w.Counted(link.arguments);
    w.U32(0); // terminal extra data block
    return w.bytes;
}

bool DecodeShellLink(const QByteArray &bytes, TShellLink &link)
{
    link = TShellLink();
    const qsizetype end = bytes.size();
    Reader r(bytes, 0, end);
    if (r.U32() != headerSize || end < qsizetype(headerSize) ||
        bytes.mid(4, 16) != QByteArray(reinterpret_cast<const char *>(linkClsid), 16))
        return false;
    r.Skip(16);
    const DWORD flags = r.U32();
    link.attributes = r.U32();
    link.creationTime = r.Time();
    link.accessTime = r.Time();
    link.writeTime = r.Time();
    link.fileSize = r.U32();
    link.iconIndex = int(r.U32());
    r.Skip(headerSize - r.Pos());

    if (flags & hasLinkTargetIdList)
        r.Skip(r.U16());
    qsizetype next = r.Pos();
    if ((flags & hasLinkInfo) && !r.Failed()) {
        TShellLink info;
        if (!DecodeLinkInfo(bytes, r.Pos(), end, info, next))
            return false;
        if (!(flags & forceNoLinkInfo)) {
            link.target = info.target;
            link.driveType = info.driveType;
            link.driveSerial = info.driveSerial;
            link.volumeLabel = info.volumeLabel;
        }
    }
    if (r.Failed())
        return false;
    Reader s(bytes, next, end);
    const bool unicode = flags & isUnicode;
    if (flags & hasName)
        s.Counted(unicode);
    if (flags & hasRelativePath)
        link.relativePath = s.Counted(unicode);
    if (flags & hasWorkingDir)
        link.workingDir = s.Counted(unicode);
    if (flags & hasArguments)
        link.arguments = s.Counted(unicode);
    if (flags & hasIconLocation)
        s.Counted(unicode);
    return !s.Failed();
}

bool WriteShellLink(const QString &path, const TShellLink &link)
{
    return WriteWholeFile(path, EncodeShellLink(link));
}

bool ReadShellLink(const QString &path, TShellLink &link)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    if (!DecodeShellLink(bytes, link)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    if (link.target.isEmpty() && !link.relativePath.isEmpty())
        link.target = Collapse(JoinPath(ExtractFilePath(GetFullPathName(path)), link.relativePath));
    if (link.target.isEmpty()) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

bool CreateShortcut(const QString &target, const QString &folder)
{
    const QString full = WithoutTrailingBackslash(GetFullPathName(target));
    WIN32_FIND_DATA data;
    const HANDLE search = FindFirstFile(full, data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);

    TShellLink link;
    link.target = full;
    link.workingDir = ExtractFilePath(full);
    link.attributes = data.dwFileAttributes;
    link.creationTime = data.ftCreationTime;
    link.accessTime = data.ftLastAccessTime;
    link.writeTime = data.ftLastWriteTime;
    link.fileSize = data.nFileSizeLow;
    // No icon location of its own: the target's icon is shown.
    link.iconIndex = 1;
    const QString drive = ExtractFileDrive(full);
    if (!IsUnc(full)) {
        const QString root = drive + QLatin1Char('\\');
        link.driveType = GetDriveType(root);
        GetVolumeInformation(root, &link.volumeLabel, &link.driveSerial);
    }
    const QString linkFolder = GetFullPathName(folder);
    link.relativePath = RelativePath(linkFolder, full);

    // A drive root has no name of its own: its link is named after the letter.
    QString name = ExtractFileName(full);
    if (name.isEmpty())
        name = drive.left(1);
    return WriteShellLink(JoinPath(linkFolder, name + QLatin1String(".lnk")), link);
}

} // namespace kestrel::sys
