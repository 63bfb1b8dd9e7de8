// Extraction: each selected item is read through libarchive from a stream
// of its own, written under a temporary name beside its target and put in
// place only when complete.

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/extractfolders.h"
#include "archive/zipbytes.h"
#include "archive/zipengine.h"
#include "archive/zipentrystream.h"
#include "archive/zipfolders.h"
#include "archive/ziprun.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/filetime.h"
#include "platform/names.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <vector>

namespace kestrel {

namespace {

constexpr unsigned modeAnyExecute = 0111;

struct TReaderFree {
    void operator()(struct archive *reader) const { archive_read_free(reader); }
};
using TReader = std::unique_ptr<struct archive, TReaderFree>;

class TExtraction;

// The password requests of one item.
struct TItemPasswords {
    TExtraction *extraction = nullptr;
    int counter = 0;
    QByteArray answer;
    bool gaveUp = false;
    bool exhausted = false; // the last request was made: no password fitted
    bool answered = false;
};

class TExtraction : private TZipRun {
public:
    TExtraction(const TZipExtractRequest &request, const TZipCallback &callback)
        : TZipRun(callback, false), request(request)
    {
        if (!request.password.isEmpty())
            passwords.append(request.password.toUtf8());
    }

    int Run();

private:
    friend const char *PasswordRequest(struct archive *, void *client);

    bool OpenArchive();
    bool MakeDestination();
    bool MakeFolders(const QString &relative, int count, const QString &shown);
    void ExtractItem(const TZipCentralEntry &entry, const QString &relative);
    bool LocalHeader(const TZipCentralEntry &entry, sys::INT64 &offset, sys::INT64 &length);
    TReader OpenItem(TZipEntryStream &stream, TItemPasswords &asked, struct archive_entry *&item,
                     const QString &shown);
    bool AskTarget(const QString &target, const TZipCentralEntry &entry, bool &exists);
    bool WriteData(struct archive *reader, sys::HANDLE file, TItemPasswords &asked,
                   const QString &shown);
    bool PutInPlace(const QString &temp, const QString &target, bool exists, const QString &shown);
    void FinishFile(const QString &target, const TZipCentralEntry &entry);

    const TZipExtractRequest &request;
    sys::HANDLE archiveFile = sys::INVALID_HANDLE_VALUE;
    std::unique_ptr<TZipFileSource> source;
    TZipEnd end;
    std::vector<TZipCentralEntry> entries;
    QList<QByteArray> passwords; // known to work, tried first
    TExtractFolders folders{request.destination};
    int processed = 0;
};

const char *PasswordRequest(struct archive *, void *client)
{
    auto *asked = static_cast<TItemPasswords *>(client);
    TExtraction &x = *asked->extraction;
    if (x.stopped || asked->counter < 1) {
        asked->gaveUp = true;
        return nullptr;
    }
    TZipCallbackRecord record;
    record.action = zaPassword;
    record.fileSize = asked->counter--;
    asked->exhausted = record.fileSize == 1;
    x.Report(record);
    if (record.errorCode != 1 || record.text.isEmpty()) {
        asked->gaveUp = true;
        return nullptr;
    }
    asked->answer = record.text.toUtf8();
    asked->answered = true;
    return asked->answer.constData();
}

bool TExtraction::OpenArchive()
{
    archiveFile = sys::CreateFile(request.archive, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                  sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (archiveFile == sys::INVALID_HANDLE_VALUE) {
        Message(zmArchive, ArchiveStr(11001) + QLatin1String(": ") + request.archive);
        return false;
    }
    source = std::make_unique<TZipFileSource>(archiveFile);
    TZipDirectoryReader reader(*source);
    int id = reader.FindEnd(end);
    if (id == 0)
        id = reader.ReadEntries(end, true,
                                [&](TZipCentralEntry &e) { entries.push_back(std::move(e)); });
    // What was read before a damaged header is still extracted.
    if (id != 0)
        Message(zmArchive, ArchiveStr(id) + QLatin1String(": ") + request.archive);
    return !entries.empty();
}

bool TExtraction::MakeDestination()
{
    if (ForceFolder(request.destination))
        return true;
    Message(zmWrite, ErrorLine(request.destination, int(sys::GetLastError())));
    return false;
}

// Makes the first count components of relative below the destination as
// real folders; a component that is a link or a file refuses the item.
bool TExtraction::MakeFolders(const QString &relative, int count, const QString &shown)
{
    const TExtractFolders::TResult made = folders.Make(relative, count);
    if (made != TExtractFolders::efMade)
        Message(made == TExtractFolders::efThroughLink ? zmUnsafe : zmWrite,
                TExtractFolders::Failure(made, shown));
    return made == TExtractFolders::efMade;
}

bool TExtraction::LocalHeader(const TZipCentralEntry &entry, sys::INT64 &offset, sys::INT64 &length)
{
    // Offsets that leave out data in front of the archive are moved by it;
    // offsets that already count it are taken as they are.
    for (const sys::INT64 shift : {end.Shift(), sys::INT64(0)}) {
        unsigned char header[zip::localHeaderSize];
        offset = sys::INT64(entry.localOffset) + shift;
        if (entry.localOffset > sys::UINT64(source->Size()) || offset < 0 ||
            source->ReadAt(offset, header, zip::localHeaderSize) != zip::localHeaderSize ||
            zip::Get32(header) != zip::sigLocal)
            continue;
        length = zip::localHeaderSize + zip::Get16(header + 26) + zip::Get16(header + 28);
        return true;
    }
    return false;
}

TReader TExtraction::OpenItem(TZipEntryStream &stream, TItemPasswords &asked,
                              struct archive_entry *&item, const QString &shown)
{
    TReader reader(archive_read_new());
    archive_read_support_format_zip_seekable(reader.get());
    for (const QByteArray &password : passwords)
        archive_read_add_passphrase(reader.get(), password.constData());
    archive_read_set_passphrase_callback(reader.get(), &asked, PasswordRequest);
    if (stream.Open(reader.get()) < ARCHIVE_WARN ||
        archive_read_next_header(reader.get(), &item) < ARCHIVE_WARN) {
        Message(zmDamaged, shown + QLatin1String(": ") +
                               QString::fromUtf8(archive_error_string(reader.get())));
        return nullptr;
    }
    return reader;
}

// Asks about an existing target; false skips the item.
bool TExtraction::AskTarget(const QString &target, const TZipCentralEntry &entry, bool &exists)
{
    // A dangling link has attributes of its own, so it counts as there too.
    const sys::DWORD attributes = sys::GetFileAttributes(target);
    exists = attributes != sys::INVALID_FILE_ATTRIBUTES;
    if (!exists)
        return true;
    if (IsRealFolder(attributes)) {
        Message(zmWrite, ErrorLine(entry.path, sys::ERROR_ALREADY_EXISTS));
        return false;
    }
    TZipCallbackRecord record;
    record.action = zaFileExists;
    record.text = target;
    record.fileSize = sys::INT64(entry.size);
    record.time = entry.Time();
    return Report(record) && record.fileSize != 0;
}

bool TExtraction::WriteData(struct archive *reader, sys::HANDLE file, TItemPasswords &asked,
                            const QString &shown)
{
    for (;;) {
        const void *block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            return true;
        if (r != ARCHIVE_OK) {
            const QString why = QString::fromUtf8(archive_error_string(reader));
            if (asked.gaveUp) {
                // A password prompt the user cancelled needs no message.
                if (asked.exhausted)
                    Message(zmPassword, shown + QLatin1String(": ") + ArchiveStr(10104));
            } else if (why.contains(QLatin1String("CRC")) ||
                       why.contains(QLatin1String("authentication"), Qt::CaseInsensitive)) {
                TZipCallbackRecord record;
                record.action = zaCrcError;
                record.text = shown;
                if (callback(record))
                    stopped = true;
                Message(zmDamaged, WithName(amCrcError, shown));
            } else {
                Message(zmDamaged, shown + QLatin1String(": ") + why);
            }
            return false;
        }
        sys::DWORD written = 0;
        if (!sys::WriteFile(file, block, sys::DWORD(size), written) || written != size) {
            Message(zmWrite, ErrorLine(shown, int(sys::GetLastError())));
            return false;
        }
        TZipCallbackRecord record;
        record.action = zaProgress;
        record.fileSize = sys::INT64(size);
        if (!Report(record))
            return false;
    }
}

bool TExtraction::PutInPlace(const QString &temp, const QString &target, bool exists,
                             const QString &shown)
{
    const int error = exists ? ReplaceFile(temp, target)
                             : (sys::MoveFile(temp, target) ? 0 : int(sys::GetLastError()));
    if (error == 0)
        return true;
    RemoveFile(temp);
    Message(zmWrite, ErrorLine(shown, error));
    return false;
}

void TExtraction::FinishFile(const QString &target, const TZipCentralEntry &entry)
{
    if (entry.UnixMode() & modeAnyExecute)
        sys::MakeExecutable(target);
    // Hidden for a dot name is the name itself; the rest is stored.
    const sys::DWORD stored =
        entry.Attributes() &
        (sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN | sys::FILE_ATTRIBUTE_SYSTEM);
    const bool dotName = sys::ExtractFileName(target).startsWith(QLatin1Char('.'));
    if (stored & ~(dotName ? sys::FILE_ATTRIBUTE_HIDDEN : 0))
        sys::SetFileAttributes(target, sys::GetFileAttributes(target) | stored);
}

void TExtraction::ExtractItem(const TZipCentralEntry &entry, const QString &relative)
{
    const int depth = int(relative.count(QLatin1Char('\\')));
    const QString &shown = entry.path;
    if (entry.IsFolder()) {
        MakeFolders(relative, depth + 1, shown);
        return;
    }
    TZipCallbackRecord started;
    started.action = zaNewFile;
    started.fileSize = sys::INT64(entry.size);
    started.text = shown;
    started.time = entry.Time();
    if (!Report(started))
        return;
    sys::INT64 offset = 0;
    sys::INT64 headerLength = 0;
    if (!LocalHeader(entry, offset, headerLength)) {
        Message(zmDamaged, WithName(amDamagedEntry, shown));
        return;
    }
    if (!MakeFolders(relative, depth, shown))
        return;
    const QString target = sys::JoinPath(request.destination, relative);
    TZipEntryStream stream(*source, offset, headerLength, entry);
    TItemPasswords asked;
    asked.extraction = this;
    asked.counter = request.passwordRequests;
    struct archive_entry *item = nullptr;
    const TReader reader = OpenItem(stream, asked, item, shown);
    if (!reader)
        return;
    const bool link = archive_entry_filetype(item) == AE_IFLNK;
    const QString linkText = link ? sys::DecodeName(archive_entry_symlink(item)) : QString();
    if (link && !LinkStaysInside(relative, linkText)) {
        Message(zmUnsafe, WithName(amLinkOutside, shown));
        return;
    }
    bool exists = false;
    if (!AskTarget(target, entry, exists))
        return;
    QString temp;
    if (link) {
        if (!CreateLinkBeside(target, linkText, 0, temp)) {
            Message(zmWrite, ErrorLine(shown, int(sys::GetLastError())));
            return;
        }
    } else {
        const sys::HANDLE file = CreateTempBeside(target, sys::FILE_ATTRIBUTE_NORMAL, temp);
        if (file == sys::INVALID_HANDLE_VALUE) {
            Message(zmWrite, ErrorLine(shown, int(sys::GetLastError())));
            return;
        }
        bool whole = WriteData(reader.get(), file, asked, shown);
        const sys::FILETIME time =
            sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item));
        sys::SetFileTime(file, nullptr, nullptr, &time);
        if (!sys::CloseHandle(file) && whole) {
            Message(zmWrite, ErrorLine(shown, int(sys::GetLastError())));
            whole = false;
        }
        if (!whole) {
            RemoveFile(temp);
            return;
        }
    }
    if (!PutInPlace(temp, target, exists, shown))
        return;
    if (!link)
        FinishFile(target, entry);
    if (asked.answered && !passwords.contains(asked.answer))
        passwords.prepend(asked.answer);
    ++processed;
}

int TExtraction::Run()
{
    if (OpenArchive() && MakeDestination()) {
        const TEntrySelection selection(request.names);
        std::vector<std::pair<const TZipCentralEntry *, QString>> chosen;
        int files = 0;
        sys::UINT64 bytes = 0;
        for (const TZipCentralEntry &entry : entries) {
            QString relative;
            const bool safe = SafeEntryPath(entry.path, relative);
            if (!safe) {
                if (request.names.isEmpty())
                    chosen.emplace_back(&entry, QString());
                continue;
            }
            if (!selection.Selects(relative))
                continue;
            chosen.emplace_back(&entry, relative);
            if (!entry.IsFolder()) {
                ++files;
                bytes += entry.size;
            }
        }
        TZipCallbackRecord total;
        total.action = zaTotalFiles;
        total.fileSize = files;
        Report(total);
        total.action = zaTotalSize;
        total.fileSize = sys::INT64(bytes);
        Report(total);
        for (const auto &[entry, relative] : chosen) {
            if (stopped)
                break;
            if (relative.isEmpty())
                Message(zmUnsafe, WithName(amUnsafeName, entry->path));
            else
                ExtractItem(*entry, relative);
        }
    }
    if (archiveFile != sys::INVALID_HANDLE_VALUE)
        sys::CloseHandle(archiveFile);
    TZipCallbackRecord done;
    done.action = zaEndOfBatch;
    Report(done);
    return processed;
}

} // namespace

int ZipEngine::Extract(const TZipExtractRequest &request, const TZipCallback &callback)
{
    TExtraction extraction(request, callback);
    return extraction.Run();
}

} // namespace kestrel
