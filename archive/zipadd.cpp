// Adding: the new items are written by libarchive into an archive of their
// own; when the target archive exists, a new file is made from the items it
// keeps and the new ones, their data copied as it stands, with a directory
// of both. The result replaces the target only when it is complete. A move
// reads the finished archive back and deletes originals only when every
// added file comes out of it whole.

#include "archive/archivestream.h"
#include "archive/archivestrings.h"
#include "archive/zipbytes.h"
#include "archive/zipengine.h"
#include "archive/zipfolders.h"
#include "archive/ziprun.h"
#include "archive/zipwriter.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/wildcard.h"

#include <QHash>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace kestrel {

namespace {

constexpr sys::DWORD readSize = 1 << 20;
constexpr std::uint16_t lengthAtEnd = 0x0008;
// "%s: the archive could not be read back whole; no original was deleted"
constexpr int amNotVerified = 30534;

struct TWriterFree {
    void operator()(struct archive *writer) const { archive_write_free(writer); }
};
using TWriter = std::unique_ptr<struct archive, TWriterFree>;
struct TEntryFree {
    void operator()(struct archive_entry *entry) const { archive_entry_free(entry); }
};
using TEntry = std::unique_ptr<struct archive_entry, TEntryFree>;

// A file, folder or link on disk and the name the archive keeps it under.
struct TNewItem {
    QString path;   // Windows form
    QString stored; // slashes; a folder's ends with one
    sys::DWORD attributes = 0;
    sys::UINT64 size = 0;
    sys::FILETIME time;
    std::uint32_t crc = 0; // of the data packed
    bool IsFolder() const { return stored.endsWith(QLatin1Char('/')); }
    bool IsLinkItem() const { return IsLink(attributes); }
};

// The comparable form of a path inside an archive.
QString PathKey(QString path)
{
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return sys::CaseKey(path);
}

// A source file handle closed on every way out.
class TOpenFile {
public:
    explicit TOpenFile(sys::HANDLE handle) : handle(handle) {}
    ~TOpenFile()
    {
        if (handle != sys::INVALID_HANDLE_VALUE)
            sys::CloseHandle(handle);
    }
    TOpenFile(const TOpenFile &) = delete;
    TOpenFile &operator=(const TOpenFile &) = delete;
    bool Valid() const { return handle != sys::INVALID_HANDLE_VALUE; }
    // Closes now; false when the close failed.
    bool Close()
    {
        const sys::HANDLE h = std::exchange(handle, sys::INVALID_HANDLE_VALUE);
        return sys::CloseHandle(h);
    }
    sys::HANDLE handle;
};

class TAddition : private TZipRun {
public:
    TAddition(const TZipAddRequest &request, const TZipCallback &callback)
        : TZipRun(callback, true), request(request)
    {
    }

    int Run();

private:
    void Collect(const QString &name);
    void CollectFolder(const QString &folder, const QString &mask, bool withSubfolders);
    void AddItem(const QString &path, const sys::WIN32_FIND_DATA &data);
    QString StoredName(const QString &path) const;
    bool WriteNew(sys::HANDLE file);
    bool WriteItem(struct archive *writer, TNewItem &item);
    bool Merge(const QString &newPath);
    bool CopyRange(sys::HANDLE from, sys::INT64 at, sys::INT64 length, sys::HANDLE to);
    bool CopyEntry(TZipSource &source, sys::HANDLE from, const TZipCentralEntry &entry,
                   sys::INT64 shift, sys::HANDLE to, sys::UINT64 &offset, QByteArray &directory);
    bool ReadBack();
    bool RemoveOriginals();

    // Where the writer's blocks go, and whether one of them failed.
    struct TTarget {
        sys::HANDLE file;
        bool failed;
        sys::DWORD error; // of the first failed write
    };
    static la_ssize_t Write(struct archive *writer, void *client, const void *buffer,
                            size_t length);

    const TZipAddRequest &request;
    std::vector<TNewItem> items;
    QSet<QString> storedNames;
    // Data read from a file. A writer stopped in the middle of an item still
    // reads its last block when it is freed.
    std::vector<char> buffer;
    int added = 0;
};

QString TAddition::StoredName(const QString &path) const
{
    QString stored;
    if (IsSameOrInside(path, request.baseFolder) && path.size() > request.baseFolder.size()) {
        stored = path.mid(request.baseFolder.size());
    } else {
        stored = path.mid(sys::ExtractFileDrive(path).size());
    }
    while (stored.startsWith(QLatin1Char('\\')))
        stored.remove(0, 1);
    return stored.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void TAddition::AddItem(const QString &path, const sys::WIN32_FIND_DATA &data)
{
    // An archive inside a folder being added is not added to itself.
    if (sys::SameText(path, request.archive))
        return;
    TNewItem item;
    item.path = path;
    item.attributes = data.dwFileAttributes;
    item.stored = StoredName(path);
    const bool folder = IsRealFolder(data.dwFileAttributes);
    if (folder)
        item.stored += QLatin1Char('/');
    else
        item.size = (sys::UINT64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    item.time = data.ftLastWriteTime;
    if (item.stored.isEmpty() || item.stored == QLatin1String("/") ||
        storedNames.contains(item.stored))
        return;
    storedNames.insert(item.stored);
    items.push_back(item);
}

void TAddition::CollectFolder(const QString &folder, const QString &mask, bool withSubfolders)
{
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        const QString path = sys::JoinPath(folder, data.cFileName);
        const bool realFolder = IsRealFolder(data.dwFileAttributes);
        if (realFolder && withSubfolders) {
            AddItem(path, data);
            CollectFolder(path, QStringLiteral("*.*"), true);
        } else if (!realFolder && sys::MatchesMask(data.cFileName, mask)) {
            AddItem(path, data);
        }
        return true;
    });
}

void TAddition::Collect(const QString &name)
{
    const QString path =
        sys::ExtractFileDrive(name).isEmpty() && !name.startsWith(QLatin1Char('\\'))
            ? sys::JoinPath(request.baseFolder, name)
            : name;
    const QString mask = sys::ExtractFileName(path);
    if (mask.contains(QLatin1Char('*')) || mask.contains(QLatin1Char('?'))) {
        QString folder = sys::ExtractFilePath(path);
        if (folder.endsWith(QLatin1Char('\\')) && !sys::IsRoot(folder))
            folder.chop(1);
        sys::WIN32_FIND_DATA data;
        const sys::HANDLE search = sys::FindFirstFile(folder, data);
        if (search == sys::INVALID_HANDLE_VALUE || !IsRealFolder(data.dwFileAttributes)) {
            if (search != sys::INVALID_HANDLE_VALUE)
                sys::FindClose(search);
            Message(zmNotFound, ArchiveStr(amNotFound).replace(QLatin1String("%s"), name));
            return;
        }
        sys::FindClose(search);
        // The folder itself is kept too, so that an empty one is not lost.
        if (!IsSameOrInside(request.baseFolder, folder))
            AddItem(folder, data);
        CollectFolder(folder, mask, request.recurse);
        return;
    }
    sys::WIN32_FIND_DATA data;
    const sys::HANDLE search = sys::FindFirstFile(path, data);
    if (search == sys::INVALID_HANDLE_VALUE) {
        Message(zmNotFound, ArchiveStr(amNotFound).replace(QLatin1String("%s"), name));
        return;
    }
    sys::FindClose(search);
    AddItem(path, data);
    if (IsRealFolder(data.dwFileAttributes) && request.recurse)
        CollectFolder(path, QStringLiteral("*.*"), true);
}

la_ssize_t TAddition::Write(struct archive *writer, void *client, const void *buffer, size_t length)
{
    auto &target = *static_cast<TTarget *>(client);
    sys::DWORD written = 0;
    if (!sys::WriteFile(target.file, buffer, sys::DWORD(length), written) || written != length) {
        if (!target.failed)
            target.error = written == length ? sys::GetLastError() : sys::ERROR_DISK_FULL;
        target.failed = true;
        archive_set_error(writer, EIO, "%s",
                          GetErrorMessage(int(sys::GetLastError())).toUtf8().constData());
        return -1;
    }
    return la_ssize_t(length);
}

bool TAddition::WriteItem(struct archive *writer, TNewItem &item)
{
    TZipCallbackRecord started;
    started.adding = true;
    started.action = zaNewFile;
    started.fileSize = sys::INT64(item.size);
    started.text = item.stored;
    started.time = item.time;
    if (!Report(started))
        return false;
    TEntry entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), item.stored.toUtf8().constData());
    sys::INT64 seconds = 0;
    long nanoseconds = 0;
    sys::FileTimeToUnix(item.time, seconds, nanoseconds);
    archive_entry_set_mtime(entry.get(), seconds, nanoseconds);
    const bool readOnly = item.attributes & sys::FILE_ATTRIBUTE_READONLY;
    TOpenFile source(sys::INVALID_HANDLE_VALUE);
    if (item.IsLinkItem()) {
        QString text;
        if (!sys::ReadSymbolicLink(item.path, text)) {
            Message(zmWrite,
                    item.stored + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
            return false;
        }
        archive_entry_set_filetype(entry.get(), AE_IFLNK);
        archive_entry_set_perm(entry.get(), 0777);
        archive_entry_set_symlink_utf8(entry.get(), text.toUtf8().constData());
    } else if (item.IsFolder()) {
        archive_entry_set_filetype(entry.get(), AE_IFDIR);
        archive_entry_set_perm(entry.get(), readOnly ? 0555 : 0755);
    } else {
        source.handle = sys::CreateFile(item.path, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                        sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
        if (!source.Valid()) {
            Message(zmWrite,
                    item.stored + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
            return false;
        }
        const unsigned execute = sys::IsExecutable(item.path) ? 0111 : 0;
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), (readOnly ? 0444 : 0644) | execute);
        archive_entry_set_size(entry.get(), la_int64_t(item.size));
    }
    if (archive_write_header(writer, entry.get()) != ARCHIVE_OK) {
        Message(zmWrite, item.stored + QLatin1String(": ") +
                             QString::fromUtf8(archive_error_string(writer)));
        return false;
    }
    if (source.Valid()) {
        // The entry's size is fixed in its header: the file must deliver it all.
        buffer.resize(readSize);
        sys::UINT64 done = 0;
        while (done < item.size) {
            sys::DWORD got = 0;
            const auto want = sys::DWORD(std::min<sys::UINT64>(readSize, item.size - done));
            if (!sys::ReadFile(source.handle, buffer.data(), want, got) || got == 0) {
                const int error = got == 0 ? int(sys::ERROR_READ_FAULT) : int(sys::GetLastError());
                Message(zmWrite, item.stored + QLatin1String(": ") + GetErrorMessage(error));
                return false;
            }
            if (archive_write_data(writer, buffer.data(), got) != la_ssize_t(got)) {
                Message(zmWrite, item.stored + QLatin1String(": ") +
                                     QString::fromUtf8(archive_error_string(writer)));
                return false;
            }
            done += got;
            item.crc =
                std::uint32_t(crc32(item.crc, reinterpret_cast<const Bytef *>(buffer.data()), got));
            TZipCallbackRecord step;
            step.adding = true;
            step.action = zaProgress;
            step.fileSize = got;
            if (!Report(step))
                return false;
        }
    }
    if (archive_write_finish_entry(writer) != ARCHIVE_OK) {
        Message(zmWrite, item.stored + QLatin1String(": ") +
                             QString::fromUtf8(archive_error_string(writer)));
        return false;
    }
    if (!item.IsFolder())
        ++added;
    return true;
}

bool TAddition::WriteNew(sys::HANDLE file)
{
    TWriter writer(archive_write_new());
    struct archive *w = writer.get();
    archive_write_set_format_zip(w);
    archive_write_set_bytes_per_block(w, 1 << 16);
    archive_write_set_bytes_in_last_block(w, 1);
    archive_write_set_option(w, "zip", "hdrcharset", "UTF-8");
    if (request.level == 0) {
        archive_write_set_option(w, "zip", "compression", "store");
    } else {
        archive_write_set_option(w, "zip", "compression", "deflate");
        archive_write_set_option(w, "zip", "compression-level",
                                 QByteArray::number(request.level).constData());
    }
    if (!request.password.isEmpty()) {
        const char *method = request.encryption == zeAes256 ? "aes256" : "zipcrypt";
        if (archive_write_set_option(w, "zip", "encryption", method) != ARCHIVE_OK ||
            archive_write_set_passphrase(w, request.password.toUtf8().constData()) != ARCHIVE_OK) {
            Message(zmWrite, QString::fromUtf8(archive_error_string(w)));
            return false;
        }
    }
    TTarget target{file, false, 0};
    if (archive_write_open(w, &target, nullptr, Write, nullptr) != ARCHIVE_OK) {
        Message(zmWrite, QString::fromUtf8(archive_error_string(w)));
        return false;
    }
    for (TNewItem &item : items) {
        if (!WriteItem(w, item))
            return false;
    }
    // The writer does not pass on every failed write: the archive's own
    // record of them decides as well.
    if (archive_write_close(w) != ARCHIVE_OK || target.failed) {
        const char *error = archive_error_string(w);
        Message(zmWrite, request.archive + QLatin1String(": ") +
                             (target.failed ? GetErrorMessage(int(target.error))
                                            : QString::fromUtf8(error ? error : "")));
        return false;
    }
    return true;
}

bool TAddition::CopyRange(sys::HANDLE from, sys::INT64 at, sys::INT64 length, sys::HANDLE to)
{
    int error = 0;
    if (sys::SetFilePointer(from, at, sys::FILE_BEGIN) != at)
        error = int(sys::GetLastError());
    for (sys::INT64 left = length; left > 0 && error == 0;) {
        sys::DWORD copied = 0;
        if (!sys::CopyFileData(from, to, sys::DWORD(std::min<sys::INT64>(left, 1 << 30)), copied))
            error = int(sys::GetLastError());
        else if (copied == 0)
            error = int(sys::ERROR_READ_FAULT);
        left -= copied;
    }
    if (error != 0)
        Message(zmWrite, request.archive + QLatin1String(": ") + GetErrorMessage(error));
    return error == 0;
}

// Copies an entry's local header, data and data descriptor, and appends its
// central header for the place it now has.
bool TAddition::CopyEntry(TZipSource &source, sys::HANDLE from, const TZipCentralEntry &entry,
                          sys::INT64 shift, sys::HANDLE to, sys::UINT64 &offset,
                          QByteArray &directory)
{
    unsigned char header[zip::localHeaderSize];
    sys::INT64 at = -1;
    for (const sys::INT64 s : {shift, sys::INT64(0)}) {
        const sys::INT64 candidate = sys::INT64(entry.localOffset) + s;
        if (candidate >= 0 &&
            source.ReadAt(candidate, header, zip::localHeaderSize) == zip::localHeaderSize &&
            zip::Get32(header) == zip::sigLocal) {
            at = candidate;
            break;
        }
    }
    if (at < 0) {
        Message(zmArchive, ArchiveStr(amDamagedEntry).replace(QLatin1String("%s"), entry.path));
        return false;
    }
    sys::INT64 length = zip::localHeaderSize + zip::Get16(header + 26) + zip::Get16(header + 28) +
                        sys::INT64(entry.packedSize);
    if (entry.flags & lengthAtEnd) {
        unsigned char mark[4];
        if (source.ReadAt(at + length, mark, 4) == 4 && zip::Get32(mark) == zip::sigDescriptor)
            length += 4;
        const bool zip64 =
            zip::Get32(header + 18) == 0xFFFFFFFF || zip::Get32(header + 22) == 0xFFFFFFFF;
        length += zip64 ? 20 : 12;
    }
    if (!CopyRange(from, at, length, to))
        return false;
    directory += ZipCentralHeader(entry, offset);
    offset += sys::UINT64(length);
    return true;
}

// Reads the directory of an archive file into entries; 0 or a message id.
int ReadArchive(TZipSource &source, TZipEnd &end, std::vector<TZipCentralEntry> &entries)
{
    TZipDirectoryReader reader(source);
    int id = reader.FindEnd(end);
    if (id == 0)
        id = reader.ReadEntries(end, true,
                                [&](TZipCentralEntry &e) { entries.push_back(std::move(e)); });
    return id;
}

bool TAddition::Merge(const QString &newPath)
{
    TOpenFile oldFile(sys::CreateFile(request.archive, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                      sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL));
    TOpenFile newFile(sys::CreateFile(newPath, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                      sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL));
    if (!oldFile.Valid() || !newFile.Valid()) {
        Message(zmArchive,
                request.archive + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
        return false;
    }
    TZipFileSource oldSource(oldFile.handle);
    TZipFileSource newSource(newFile.handle);
    TZipEnd oldEnd;
    TZipEnd newEnd;
    std::vector<TZipCentralEntry> oldEntries;
    std::vector<TZipCentralEntry> newEntries;
    int id = ReadArchive(oldSource, oldEnd, oldEntries);
    if (id == 0)
        id = ReadArchive(newSource, newEnd, newEntries);
    if (id != 0) {
        Message(zmArchive, ArchiveStr(id) + QLatin1String(": ") + request.archive);
        return false;
    }
    QSet<QString> replaced;
    for (const TZipCentralEntry &e : newEntries)
        replaced.insert(PathKey(e.path));
    QString outPath;
    TOpenFile out(CreateTempBeside(request.archive, sys::FILE_ATTRIBUTE_NORMAL, outPath));
    if (!out.Valid()) {
        Message(zmWrite,
                request.archive + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
        return false;
    }
    // Data in front of the archive (a self-extractor) stays in front; the
    // offsets written count it.
    sys::INT64 front = oldEnd.directoryStart;
    for (const TZipCentralEntry &e : oldEntries)
        front = std::min(front, sys::INT64(e.localOffset) + oldEnd.Shift());
    front = std::clamp<sys::INT64>(front, 0, oldSource.Size());
    bool ok = CopyRange(oldFile.handle, 0, front, out.handle);
    sys::UINT64 offset = sys::UINT64(front);
    QByteArray directory;
    sys::UINT64 count = 0;
    for (const TZipCentralEntry &e : oldEntries) {
        if (!ok || replaced.contains(PathKey(e.path)))
            continue;
        ok = CopyEntry(oldSource, oldFile.handle, e, oldEnd.Shift(), out.handle, offset, directory);
        ++count;
    }
    for (const TZipCentralEntry &e : newEntries) {
        if (!ok)
            break;
        ok = CopyEntry(newSource, newFile.handle, e, newEnd.Shift(), out.handle, offset, directory);
        ++count;
    }
    if (ok) {
        const QByteArray tail =
            directory + ZipEndRecords(count, sys::UINT64(directory.size()), offset,
                                      TZipDirectoryReader(oldSource).ReadComment(oldEnd));
        sys::DWORD written = 0;
        ok = sys::WriteFile(out.handle, tail.constData(), sys::DWORD(tail.size()), written) &&
             written == sys::DWORD(tail.size());
        if (!ok)
            Message(zmWrite, request.archive + QLatin1String(": ") +
                                 GetErrorMessage(int(sys::GetLastError())));
    }
    if (!out.Close() && ok) {
        Message(zmWrite,
                request.archive + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
        ok = false;
    }
    oldFile.Close();
    if (ok) {
        const int error = ReplaceFile(outPath, request.archive);
        if (error != 0) {
            Message(zmWrite, request.archive + QLatin1String(": ") + GetErrorMessage(error));
            ok = false;
        }
    }
    if (!ok)
        RemoveFile(outPath);
    return ok;
}

// True when every item added is in the finished archive, each file with
// the size and CRC of the data packed, its data decompressed and checked.
bool TAddition::ReadBack()
{
    TOpenFile file(sys::CreateFile(request.archive, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                   sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL));
    if (!file.Valid())
        return false;
    TZipFileSource source(file.handle);
    TArchiveStream stream(source);
    TArchiveReader reader(archive_read_new());
    archive_read_support_format_zip_seekable(reader.get());
    if (!request.password.isEmpty())
        archive_read_add_passphrase(reader.get(), request.password.toUtf8().constData());
    if (stream.Open(reader.get()) != ARCHIVE_OK)
        return false;
    QHash<QString, const TNewItem *> wanted;
    for (const TNewItem &item : items)
        wanted.insert(PathKey(item.stored), &item);
    struct archive_entry *entry = nullptr;
    int result = ARCHIVE_OK;
    while ((result = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        const auto found =
            wanted.constFind(PathKey(QString::fromUtf8(archive_entry_pathname_utf8(entry))));
        if (found == wanted.constEnd())
            continue;
        const TNewItem &item = **found;
        if (!item.IsFolder() && !item.IsLinkItem()) {
            uLong crc = crc32(0, nullptr, 0);
            sys::UINT64 size = 0;
            buffer.resize(readSize);
            la_ssize_t got = 0;
            while ((got = archive_read_data(reader.get(), buffer.data(), buffer.size())) > 0) {
                crc = crc32(crc, reinterpret_cast<const Bytef *>(buffer.data()), uInt(got));
                size += sys::UINT64(got);
            }
            if (got < 0 || size != item.size || std::uint32_t(crc) != item.crc)
                return false;
        }
        wanted.erase(found);
    }
    return result == ARCHIVE_EOF && wanted.isEmpty();
}

bool TAddition::RemoveOriginals()
{
    if (!ReadBack()) {
        Message(zmArchive, ArchiveStr(amNotVerified).replace(QLatin1String("%s"), request.archive));
        return false;
    }
    for (const TNewItem &item : items) {
        if (!item.IsFolder())
            RemoveFile(item.path);
    }
    // Folders from the deepest up, each only when nothing is left in it.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->IsFolder())
            sys::RemoveDirectory(it->path);
    }
    return true;
}

int TAddition::Run()
{
    for (const QString &name : request.names)
        Collect(name);
    TZipCallbackRecord total;
    total.adding = true;
    total.action = zaTotalFiles;
    total.fileSize = sys::INT64(
        std::count_if(items.begin(), items.end(), [](const TNewItem &i) { return !i.IsFolder(); }));
    Report(total);
    total.action = zaTotalSize;
    total.fileSize = 0;
    for (const TNewItem &item : items)
        total.fileSize += sys::INT64(item.size);
    Report(total);

    bool ok = !items.empty() && !stopped;
    const bool existing = sys::GetFileAttributes(request.archive) != sys::INVALID_FILE_ATTRIBUTES;
    QString newPath;
    if (ok) {
        ok = ForceFolder(sys::ExtractFilePath(request.archive));
        TOpenFile file(ok ? CreateTempBeside(request.archive, sys::FILE_ATTRIBUTE_NORMAL, newPath)
                          : sys::INVALID_HANDLE_VALUE);
        if (!file.Valid()) {
            Message(zmWrite, request.archive + QLatin1String(": ") +
                                 GetErrorMessage(int(sys::GetLastError())));
            ok = false;
        } else {
            ok = WriteNew(file.handle) && !stopped;
            if (!file.Close() && ok) {
                Message(zmWrite, request.archive + QLatin1String(": ") +
                                     GetErrorMessage(int(sys::GetLastError())));
                ok = false;
            }
        }
    }
    if (ok && existing) {
        ok = Merge(newPath);
        RemoveFile(newPath);
    } else if (ok && !sys::MoveFile(newPath, request.archive)) {
        Message(zmWrite,
                request.archive + QLatin1String(": ") + GetErrorMessage(int(sys::GetLastError())));
        ok = false;
    }
    if (!ok && !newPath.isEmpty())
        RemoveFile(newPath);
    if (ok && request.move)
        ok = RemoveOriginals();
    TZipCallbackRecord done;
    done.adding = true;
    done.action = zaEndOfBatch;
    Report(done);
    return ok ? added : -1;
}

} // namespace

int ZipEngine::Add(const TZipAddRequest &request, const TZipCallback &callback)
{
    TAddition addition(request, callback);
    return addition.Run();
}

} // namespace kestrel
