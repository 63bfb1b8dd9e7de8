#include "archive/libarchive.h"

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "text/strings.h"

#include <archive_entry.h>

namespace kestrel {

namespace {

constexpr unsigned modeOwnerWrite = 0200;

sys::FILETIME FileTimeOf(const QString &path)
{
    sys::FILETIME time;
    sys::WIN32_FIND_DATA data;
    const sys::HANDLE found = sys::FindFirstFile(path, data);
    if (found != sys::INVALID_HANDLE_VALUE) {
        time = data.ftLastWriteTime;
        sys::FindClose(found);
    }
    return time;
}

void SupportCompression(struct archive *reader, TCompression compression)
{
    // Only the compression the name promises: no other filter, and none that
    // would start an outside program.
    switch (compression) {
    case tcGzip:
        archive_read_support_filter_gzip(reader);
        break;
    case tcBzip2:
        archive_read_support_filter_bzip2(reader);
        break;
    case tcXz:
        archive_read_support_filter_xz(reader);
        break;
    case tcZstd:
        archive_read_support_filter_zstd(reader);
        break;
    case tcLz4:
        archive_read_support_filter_lz4(reader);
        break;
    case tcNone:
        break;
    }
}

} // namespace

QString LibArchiveText(const char *utf8, const char *raw)
{
    if (utf8)
        return QString::fromUtf8(utf8);
    return raw ? sys::DecodeName(QByteArray(raw)) : QString();
}

TLibArchive::TLibArchive(TArchiveType type) : type(type), compression(tcNone) {}

TLibArchive::~TLibArchive()
{
    CloseFile();
}

void TLibArchive::ShowMessage(const QString &text) const
{
    const TOperationGuard guard;
    Ask().MessageBox(Owner, AboutObject(FileName, text), LoadStr(512), MB_OK | MB_ICONERROR);
}

bool TLibArchive::OpenFile(TArchiveMessages &messages)
{
    CloseFile();
    file = sys::CreateFile(FileName, sys::GENERIC_READ, sys::FILE_SHARE_READ, sys::OPEN_EXISTING,
                           sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE) {
        messages.Add(AboutObject(FileName, GetErrorMessage(int(sys::GetLastError()))));
        return false;
    }
    source = std::make_unique<TZipFileSource>(file);
    return true;
}

void TLibArchive::CloseFile()
{
    source.reset();
    if (file != sys::INVALID_HANDLE_VALUE)
        sys::CloseHandle(file);
    file = sys::INVALID_HANDLE_VALUE;
}

TArchiveReader TLibArchive::OpenReader(TArchiveStream &stream, QString &error) const
{
    TArchiveReader reader(archive_read_new());
    switch (type) {
    case atSevenZip:
        archive_read_support_format_7zip(reader.get());
        break;
    case atTar:
        archive_read_support_format_tar(reader.get());
        break;
    case atCab:
        archive_read_support_format_cab(reader.get());
        break;
    case atLha:
        archive_read_support_format_lha(reader.get());
        break;
    case atIso:
        archive_read_support_format_iso9660(reader.get());
        break;
    case atCpio:
        archive_read_support_format_cpio(reader.get());
        break;
    default:
        archive_read_support_format_raw(reader.get());
        break;
    }
    SupportCompression(reader.get(), compression);
    if (stream.Open(reader.get()) < ARCHIVE_WARN) {
        error = QString::fromUtf8(archive_error_string(reader.get()));
        return nullptr;
    }
    return reader;
}

void TLibArchive::ReadList()
{
    WrongFormat = false;
    Damaged = false;
    folderKeys.clear();
    compression = (type == atTar || type == atCompressed) ? CompressionOf(FileName) : tcNone;
    TArchiveMessages failed;
    if (!OpenFile(failed)) {
        failed.Show(Owner, 30201);
    } else {
        QByteArray head(qsizetype(std::min<sys::INT64>(formatHeadSize, source->Size())),
                        Qt::Uninitialized);
        if (source->ReadAt(0, head.data(), head.size()) != head.size() ||
            !HeadMatches(type, compression, head)) {
            WrongFormat = true;
            ShowMessage(ArchiveStr(30104).replace(QLatin1String("%s"), ArchiveTypeName(type)));
        } else if (type == atCompressed) {
            ListCompressed();
        } else {
            ListEntries();
        }
    }
    CloseFile();
    BuildFolders();
}

void TLibArchive::ListCompressed()
{
    auto entry = std::make_unique<TArchiveEntry>();
    entry->Name = CompressedName(sys::ExtractFileName(FileName));
    // Unknown sizes stay 0: never decompressed whole just to be counted.
    entry->Size = sys::UINT64(std::max<sys::INT64>(0, CompressedSize(compression, *source)));
    entry->PackedSize = sys::UINT64(source->Size());
    entry->Time = FileTimeOf(FileName);
    const QString name = entry->Name;
    AddFile(name, std::move(entry));
}

void TLibArchive::ListEntries()
{
    TArchiveStream stream(*source);
    QString error;
    const TArchiveReader reader = OpenReader(stream, error);
    if (!reader) {
        Damaged = true;
        ShowMessage(ArchiveStr(amDamagedArchive).replace(QLatin1String("%s"), error));
        return;
    }
    const sys::FILETIME archiveTime = FileTimeOf(FileName);
    struct archive_entry *item = nullptr;
    while (!ListingStopped()) {
        const int result = archive_read_next_header(reader.get(), &item);
        if (result == ARCHIVE_EOF)
            break;
        if (result < ARCHIVE_WARN) {
            Damaged = true;
            ShowMessage(ArchiveStr(amDamagedArchive)
                            .replace(QLatin1String("%s"),
                                     QString::fromUtf8(archive_error_string(reader.get()))));
            break;
        }
        QString path;
        // Names that would lead outside a destination are not listed;
        // extraction reports them.
        if (SafeEntryPath(
                LibArchiveText(archive_entry_pathname_utf8(item), archive_entry_pathname(item)),
                path)) {
            auto entry = std::make_unique<TArchiveEntry>();
            entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
            const bool folder = archive_entry_filetype(item) == AE_IFDIR;
            entry->Size = folder || !archive_entry_size_is_set(item)
                              ? 0
                              : sys::UINT64(std::max<la_int64_t>(0, archive_entry_size(item)));
            entry->Time =
                archive_entry_mtime_is_set(item)
                    ? sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item))
                    : archiveTime;
            const unsigned perm = archive_entry_perm(item);
            if (folder)
                entry->Attributes |= sys::FILE_ATTRIBUTE_DIRECTORY;
            if (perm != 0 && !(perm & modeOwnerWrite))
                entry->Attributes |= sys::FILE_ATTRIBUTE_READONLY;
            if (entry->Name.startsWith(QLatin1Char('.')))
                entry->Attributes |= sys::FILE_ATTRIBUTE_HIDDEN;
            AddEntry(path, std::move(entry));
        }
        archive_read_data_skip(reader.get());
    }
}

void TLibArchive::AddEntry(const QString &path, std::unique_ptr<TArchiveEntry> entry)
{
    if (!(entry->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
        AddFile(path, std::move(entry));
        return;
    }
    const QString key = sys::CaseKey(path);
    if (!folderKeys.contains(key)) {
        folderKeys.insert(key);
        AddFolder(path, std::move(entry));
    }
}

} // namespace kestrel
