#include "archive/unrarlibrary.h"

#include "archive/entrypath.h"
#include "archive/libarchive.h"
#include "archive/rarscan.h"
#include "archive/zipfolders.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/shell.h"

#include <QRegularExpression>

#include <archive_entry.h>

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

constexpr sys::DWORD readBlock = 1 << 16;
constexpr unsigned modeOwnerWrite = 0200;
constexpr int rar4MainHeader = 0x73;
constexpr int rar4VolumeFlag = 0x01;
constexpr int rar5MainHeader = 1;
constexpr int rar5ExtraArea = 0x01;
constexpr int rar5VolumeFlag = 0x01;

// A RAR 5 variable-length number at p; false when it runs past the end.
bool ReadVint(const QByteArray &bytes, qsizetype &p, sys::UINT64 &value)
{
    value = 0;
    for (int shift = 0; shift < 64 && p < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[p++]);
        value |= sys::UINT64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// True when the archive's main header says it is one volume of a set.
bool IsVolume(const QByteArray &head)
{
    static const QByteArray rar4("Rar!\x1A\x07\x00", 7);
    static const QByteArray rar5("Rar!\x1A\x07\x01\x00", 8);
    if (head.startsWith(rar5)) {
        qsizetype p = rar5.size() + 4; // behind the header CRC
        sys::UINT64 size = 0;
        sys::UINT64 type = 0;
        sys::UINT64 flags = 0;
        sys::UINT64 value = 0;
        if (!ReadVint(head, p, size) || !ReadVint(head, p, type) || type != rar5MainHeader ||
            !ReadVint(head, p, flags))
            return false;
        if ((flags & rar5ExtraArea) && !ReadVint(head, p, value))
            return false;
        return ReadVint(head, p, value) && (value & rar5VolumeFlag);
    }
    if (head.startsWith(rar4) && head.size() >= rar4.size() + 5)
        return static_cast<unsigned char>(head[rar4.size() + 2]) == rar4MainHeader &&
               (static_cast<unsigned char>(head[rar4.size() + 3]) & rar4VolumeFlag);
    return false;
}

QString Text(struct archive *reader)
{
    const char *text = archive_error_string(reader);
    return text ? QString::fromUtf8(text) : QString();
}

bool ForEncryption(struct archive *reader)
{
    return Text(reader).contains(QLatin1String("ncrypt"));
}

} // namespace

// The volumes of a set seen as one stream by the reader.
class UnrarLibrary::TVolumes {
public:
    explicit TVolumes(UnrarLibrary &owner) : owner(owner), buffer(readBlock) {}
    ~TVolumes() { CloseFile(); }

    bool OpenFirst(const QString &path)
    {
        if (!OpenFile(path))
            return false;
        QByteArray head(64, Qt::Uninitialized);
        const sys::INT64 got = source->ReadAt(0, head.data(), head.size());
        head.resize(qsizetype(std::max<sys::INT64>(got, 0)));
        multiVolume = IsVolume(head);
        rar5 = head.startsWith(QByteArray("Rar!\x1A\x07\x01\x00", 8));
        bool ended = false;
        // RAR 5 always closes an archive with its end header: a walk that
        // reached the end of the file without it found a cut archive.
        cut = ScanRarEncryption(*source, encrypted, ended) && rar5 && !ended && !multiVolume;
        return true;
    }

    static la_ssize_t Read(struct archive *, void *client, const void **block)
    {
        auto *self = static_cast<TVolumes *>(client);
        *block = self->buffer.data();
        for (;;) {
            const sys::INT64 got =
                self->source->ReadAt(self->offset, self->buffer.data(), readBlock);
            if (got < 0)
                return ARCHIVE_FATAL;
            if (got > 0) {
                self->offset += got;
                return la_ssize_t(got);
            }
            if (!self->NextVolume())
                return 0;
        }
    }

    bool rar5 = false;
    std::vector<bool> encrypted; // per item of the first volume
    bool cut = false;            // a single RAR 5 volume ends before its end header
    bool inData = false;         // the reader is reading an item's data
    bool stopped = false;        // a volume was missing, or the change was refused

private:
    bool OpenFile(const QString &path)
    {
        CloseFile();
        file = sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ, sys::OPEN_EXISTING,
                               sys::FILE_ATTRIBUTE_NORMAL);
        if (file == sys::INVALID_HANDLE_VALUE)
            return false;
        source = std::make_unique<TZipFileSource>(file);
        name = path;
        offset = 0;
        return true;
    }

    void CloseFile()
    {
        source.reset();
        if (file != sys::INVALID_HANDLE_VALUE)
            sys::CloseHandle(file);
        file = sys::INVALID_HANDLE_VALUE;
    }

    // Moves on to the next volume; false at the end of the set.
    bool NextVolume()
    {
        if (!multiVolume || stopped)
            return false;
        const QString next = UnrarLibrary::NextVolume(name);
        if (next.isEmpty())
            return false;
        // Reading ahead for a header behind the last volume is the end of
        // the set; a missing volume is asked for only while an item's data
        // goes on.
        while (sys::GetFileAttributes(next) == sys::INVALID_FILE_ATTRIBUTES) {
            if (!inData)
                return false;
            if (!owner.changeVolume || owner.changeVolume(next, rarVolAsk) == 0) {
                stopped = true;
                return false;
            }
        }
        if (owner.changeVolume && owner.changeVolume(next, rarVolNotify) == 0) {
            stopped = true;
            return false;
        }
        if (!OpenFile(next)) {
            stopped = true;
            return false;
        }
        return true;
    }

    UnrarLibrary &owner;
    std::vector<char> buffer;
    sys::HANDLE file = sys::INVALID_HANDLE_VALUE;
    std::unique_ptr<TZipFileSource> source;
    QString name;
    sys::INT64 offset = 0;
    bool multiVolume = false;
};

UnrarLibrary::UnrarLibrary() = default;

UnrarLibrary::~UnrarLibrary()
{
    Close();
}

QString &UnrarLibrary::DecryptProgram()
{
    static QString program = QStringLiteral("unar");
    return program;
}

QString UnrarLibrary::NextVolume(const QString &path)
{
    static const QRegularExpression part(QStringLiteral("^(.*\\.part)(\\d+)(\\.rar)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression old(QStringLiteral("^(.*\\.)(rar|[r-z]\\d\\d)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = part.match(path);
    if (m.hasMatch()) {
        const QString digits = m.captured(2);
        return m.captured(1) +
               QStringLiteral("%1").arg(digits.toInt() + 1, int(digits.size()), 10,
                                        QLatin1Char('0')) +
               m.captured(3);
    }
    const QRegularExpressionMatch o = old.match(path);
    if (!o.hasMatch())
        return QString();
    const QString extension = o.captured(2);
    const bool upper = extension[0].isUpper();
    if (extension.compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0)
        return o.captured(1) + (upper ? QLatin1String("R00") : QLatin1String("r00"));
    int n = extension.mid(1).toInt() + 1;
    QChar letter = extension[0];
    if (n > 99) {
        // .r99 is followed by .s00.
        n = 0;
        letter = QChar(letter.unicode() + 1);
    }
    return o.captured(1) + letter + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

int UnrarLibrary::Open(const QString &name, int mode)
{
    Close();
    archiveName = name;
    volumes = std::make_unique<TVolumes>(*this);
    if (!volumes->OpenFirst(name)) {
        volumes.reset();
        return rarOpenFailed;
    }
    Q_UNUSED(mode);
    reader.reset(archive_read_new());
    archive_read_support_format_rar(reader.get());
    archive_read_support_format_rar5(reader.get());
    if (archive_read_open(reader.get(), volumes.get(), nullptr, &TVolumes::Read, nullptr) !=
        ARCHIVE_OK) {
        Close();
        return rarUnknownFormat;
    }
    index = -1;
    processed = true;
    return rarSuccess;
}

void UnrarLibrary::Close()
{
    reader.reset();
    volumes.reset();
    item = nullptr;
}

int UnrarLibrary::ReadHeader(TRarHeader &header)
{
    if (!reader)
        return rarBadArchive;
    if (!processed) {
        const int skipped = ProcessFile(rarSkip, QString());
        if (skipped != rarSuccess)
            return skipped;
    }
    const int result = archive_read_next_header(reader.get(), &item);
    if (result == ARCHIVE_EOF)
        return volumes->cut ? rarBadArchive : rarEndArchive;
    if (result < ARCHIVE_WARN) {
        if (volumes->stopped)
            return rarOpenFailed;
        if (ForEncryption(reader.get()))
            return rarEncryptionUnsupported;
        return index < 0 ? rarBadArchive : rarBadData;
    }
    ++index;
    processed = false;
    current = TRarHeader();
    current.ArcName = archiveName;
    current.FileName =
        LibArchiveText(archive_entry_pathname_utf8(item), archive_entry_pathname(item))
            .replace(QLatin1Char('/'), QLatin1Char('\\'));
    const unsigned type = archive_entry_filetype(item);
    if (archive_entry_is_data_encrypted(item) ||
        (std::size_t(index) < volumes->encrypted.size() && volumes->encrypted[std::size_t(index)]))
        current.Flags |= rarFlagEncrypted;
    current.UnpSize = type == AE_IFDIR || !archive_entry_size_is_set(item)
                          ? 0
                          : sys::UINT64(std::max<la_int64_t>(0, archive_entry_size(item)));
    current.FileTime =
        sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item));
    if (type == AE_IFDIR)
        current.FileAttr |= sys::FILE_ATTRIBUTE_DIRECTORY;
    const unsigned perm = archive_entry_perm(item);
    if (perm != 0 && !(perm & modeOwnerWrite))
        current.FileAttr |= sys::FILE_ATTRIBUTE_READONLY;
    if (type == AE_IFLNK)
        current.LinkTarget =
            LibArchiveText(archive_entry_symlink_utf8(item), archive_entry_symlink(item));
    current.HardLink =
        LibArchiveText(archive_entry_hardlink_utf8(item), archive_entry_hardlink(item));
    header = current;
    return rarSuccess;
}

int UnrarLibrary::ProcessFile(int operation, const QString &destination)
{
    if (!reader || processed)
        return rarBadData;
    processed = true;
    volumes->inData = true;
    int result = rarSuccess;
    if (operation != rarExtract) {
        if (archive_read_data_skip(reader.get()) < ARCHIVE_WARN)
            result = volumes->stopped ? rarOpenFailed : rarBadData;
    } else {
        QString relative;
        if (!SafeEntryPath(current.FileName, relative)) {
            result = rarCreateFailed;
        } else if (current.FileAttr & sys::FILE_ATTRIBUTE_DIRECTORY) {
            result =
                ForceFolder(sys::JoinPath(destination, relative)) ? rarSuccess : rarCreateFailed;
        } else if (current.Flags & rarFlagEncrypted) {
            result = ExtractEncrypted(destination, relative);
            if (result == rarSuccess && archive_read_data_skip(reader.get()) < ARCHIVE_WARN)
                result = volumes->stopped ? rarOpenFailed : rarBadData;
        } else {
            const QString target = sys::JoinPath(destination, relative);
            const qsizetype slash = target.lastIndexOf(QLatin1Char('\\'));
            if (!ForceFolder(target.left(slash)))
                result = rarCreateFailed;
            else if (!current.LinkTarget.isEmpty())
                result = sys::CreateSymbolicLink(target, current.LinkTarget, 0) ? rarSuccess
                                                                                : rarCreateFailed;
            else
                result = ExtractData(target);
        }
    }
    volumes->inData = false;
    return result;
}

int UnrarLibrary::ExtractData(const QString &target)
{
    const sys::HANDLE file =
        sys::CreateFile(target, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return rarCreateFailed;
    int result = rarSuccess;
    sys::UINT64 end = 0;
    for (;;) {
        const void *block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int read = archive_read_data_block(reader.get(), &block, &size, &offset);
        if (read == ARCHIVE_EOF)
            break;
        if (read < ARCHIVE_WARN) {
            result = volumes->stopped ? rarOpenFailed : rarBadData;
            break;
        }
        sys::DWORD written = 0;
        if (sys::SetFilePointer(file, offset, sys::FILE_BEGIN) < 0 ||
            (size > 0 &&
             (!sys::WriteFile(file, block, sys::DWORD(size), written) || written != size))) {
            result = rarWriteFailed;
            break;
        }
        end = std::max(end, sys::UINT64(offset) + size);
        if (processData && processData(sys::INT64(size)) == 0) {
            result = rarUnknown;
            break;
        }
    }
    // The reader may take a missing volume for the end of the data.
    if (result == rarSuccess &&
        (volumes->stopped || (archive_entry_size_is_set(item) && end < current.UnpSize)))
        result = volumes->stopped ? rarOpenFailed : rarBadData;
    const sys::FILETIME time = current.FileTime;
    sys::SetFileTime(file, nullptr, nullptr, &time);
    if (!sys::CloseHandle(file) && result == rarSuccess)
        result = rarCloseFailed;
    if (result != rarSuccess)
        RemoveFile(target);
    return result;
}

int UnrarLibrary::ExtractEncrypted(const QString &destination, const QString &relative)
{
    if (password.isEmpty())
        return rarBadData;
    if (sys::FindProgram(DecryptProgram()).isEmpty())
        return rarEncryptionUnsupported;
    QByteArray folder;
    QByteArray archive;
    if (!sys::ToNative(destination, folder) || !sys::ToNative(archiveName, archive))
        return rarCreateFailed;
    // -D: no folder of the archive's name around the items; -i: the item by
    // its index in the archive.
    const QStringList args{QStringLiteral("-q"),
                           QStringLiteral("-D"),
                           QStringLiteral("-f"),
                           QStringLiteral("-o"),
                           sys::DecodeName(folder),
                           QStringLiteral("-p"),
                           password,
                           QStringLiteral("-i"),
                           sys::DecodeName(archive),
                           QString::number(index)};
    int exitCode = 0;
    if (!sys::RunProgram(DecryptProgram(), args, destination, exitCode))
        return rarEncryptionUnsupported;
    const QString target = sys::JoinPath(destination, relative);
    if (exitCode != 0 || sys::GetFileAttributes(target) == sys::INVALID_FILE_ATTRIBUTES) {
        // A file the program could not finish is not kept. It reads the
        // encryption of RAR 5 only: there a failure is a wrong password.
        RemoveFile(target);
        return volumes->rar5 ? rarBadData : rarEncryptionUnsupported;
    }
    if (processData)
        processData(sys::INT64(current.UnpSize));
    return rarSuccess;
}

} // namespace kestrel
