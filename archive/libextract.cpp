// Extraction of the formats read through libarchive: the archive is read
// from front to back once; each selected item is written under a temporary
// name beside its target and put in place only when complete.

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/extractfolders.h"
#include "archive/libarchive.h"
#include "archive/staging.h"
#include "archive/unrarlibrary.h"
#include "archive/zipfolders.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/safereplace.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/shell.h"

#include <QCoreApplication>
#include <QHash>

#include <archive_entry.h>

namespace kestrel {

namespace {

constexpr unsigned modeOwnerWrite = 0200;
constexpr unsigned modeAnyExecute = 0111;
// Free space is checked again after this much is written, and the
// extraction stops before the disk is full to the last bytes.
constexpr sys::UINT64 spaceCheckStep = sys::UINT64(64) << 20;
constexpr sys::UINT64 spaceReserve = sys::UINT64(16) << 20;
constexpr sys::DWORD copyChunk = 1 << 20;

// "." or "./" (an ISO's root): the archive's top folder, which the
// destination is.
bool NamesTheTop(const QString &stored)
{
    for (const QString &part :
         QString(stored).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/')))
        if (!part.isEmpty() && part != QLatin1String("."))
            return false;
    return !stored.isEmpty();
}

} // namespace

class TLibArchive::TRun {
public:
    TRun(TLibArchive &archive, const QString &destination)
        : archive(archive), destination(destination), folders(destination)
    {
    }

    // The count of files written.
    int Execute();

private:
    bool Report(int kind, sys::INT64 amount, const QString &name);
    bool Stopped() const { return archive.Cancel || stopped; }
    void Totals(const TEntrySelection &selection);
    bool EnoughSpace(sys::UINT64 needed, const QString &shown);
    void ExtractItem(struct archive *reader, struct archive_entry *item, const QString &relative);
    bool MakeFolders(const QString &relative, int count, const QString &shown);
    // Asks about an existing target; false skips the item.
    bool AskTarget(const QString &target, struct archive_entry *item, const QString &shown,
                   bool &exists);
    bool WriteData(struct archive *reader, sys::HANDLE file, const QString &shown);
    bool CopyData(const QString &from, sys::HANDLE file, const QString &shown);
    bool PutInPlace(const QString &temp, const QString &target, bool exists, const QString &shown);
    void ExtractEncrypted(struct archive_entry *item, const QString &relative);

    TLibArchive &archive;
    QString destination;
    TExtractFolders folders;
    TArchiveMessages messages;
    // Files written, by their relative path case folded: hard links copy them.
    QHash<QString, QString> written;
    sys::UINT64 sinceSpaceCheck = 0;
    bool stopped = false;
    int processed = 0;
    int index = -1; // of the item read last, in the archive's order
    bool passwordRefused = false;
};

bool TLibArchive::TRun::Report(int kind, sys::INT64 amount, const QString &name)
{
    if (!archive.Cancel && archive.OnProgress)
        archive.OnProgress(archive, kind, amount, name);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    return !Stopped();
}

void TLibArchive::TRun::Totals(const TEntrySelection &selection)
{
    int count = 0;
    sys::UINT64 bytes = 0;
    for (int i = 0; i < archive.Files.Count(); ++i) {
        if (selection.Selects(archive.Files.Key(i))) {
            ++count;
            bytes += archive.Files.Entry(i)->Size;
        }
    }
    Report(apkItemCount, count, QString());
    Report(apkByteTotal, sys::INT64(bytes), QString());
}

bool TLibArchive::TRun::EnoughSpace(sys::UINT64 needed, const QString &shown)
{
    sys::UINT64 free = 0;
    if (!sys::GetDiskFreeSpaceEx(destination, &free, nullptr, nullptr) ||
        free >= needed + spaceReserve)
        return true;
    messages.Add(WithName(amNoSpace, shown));
    stopped = true;
    return false;
}

bool TLibArchive::TRun::MakeFolders(const QString &relative, int count, const QString &shown)
{
    const TExtractFolders::TResult made = folders.Make(relative, count);
    if (made != TExtractFolders::efMade)
        messages.Add(TExtractFolders::Failure(made, shown));
    return made == TExtractFolders::efMade;
}

bool TLibArchive::TRun::AskTarget(const QString &target, struct archive_entry *item,
                                  const QString &shown, bool &exists)
{
    const sys::DWORD attributes = sys::GetFileAttributes(target);
    exists = attributes != sys::INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        // A dangling link is there too, though nothing can be read through it.
        QString text;
        exists = sys::ReadSymbolicLink(target, text);
    }
    if (!exists)
        return true;
    if (attributes != sys::INVALID_FILE_ATTRIBUTES && IsRealFolder(attributes)) {
        messages.Add(ErrorLine(shown, sys::ERROR_ALREADY_EXISTS));
        return false;
    }
    if (!archive.OnFileExists)
        return false; // nobody to ask: an existing file is kept
    int &mode = archive.OverwriteMode;
    if (!((mode & feAll) && !(mode & feRename)))
        mode = 0;
    TFile entry;
    entry.SetFullName(sys::ExtractFileName(target));
    entry.Size = sys::UINT64(std::max<la_int64_t>(0, archive_entry_size(item)));
    entry.Time = sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item));
    QString asked = target;
    archive.OnFileExists(archive, entry, mode, asked);
    if (mode & feCancel)
        archive.Cancel = true;
    return (mode & feOverwrite) && !(mode & feCancel);
}

bool TLibArchive::TRun::WriteData(struct archive *reader, sys::HANDLE file, const QString &shown)
{
    for (;;) {
        const void *block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(reader, &block, &size, &offset);
        if (result == ARCHIVE_EOF)
            return true;
        if (result < ARCHIVE_WARN) {
            messages.Add(shown + QLatin1String(": ") +
                         QString::fromUtf8(archive_error_string(reader)));
            if (result == ARCHIVE_FATAL)
                stopped = true;
            return false;
        }
        // Sparse data: the holes are written as zeros, as the size says.
        if (sys::SetFilePointer(file, offset, sys::FILE_BEGIN) < 0) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            return false;
        }
        sys::DWORD written = 0;
        if (size > 0 &&
            (!sys::WriteFile(file, block, sys::DWORD(size), written) || written != size)) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            return false;
        }
        sinceSpaceCheck += size;
        if (sinceSpaceCheck >= spaceCheckStep) {
            sinceSpaceCheck = 0;
            if (!EnoughSpace(0, shown))
                return false;
        }
        if (!Report(apkBytes, sys::INT64(size), QString()))
            return false;
    }
}

bool TLibArchive::TRun::CopyData(const QString &from, sys::HANDLE file, const QString &shown)
{
    const sys::HANDLE source = sys::CreateFile(from, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                               sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (source == sys::INVALID_HANDLE_VALUE) {
        messages.Add(ErrorLine(shown, int(sys::GetLastError())));
        return false;
    }
    bool whole = true;
    for (;;) {
        sys::DWORD copied = 0;
        if (!sys::CopyFileData(source, file, copyChunk, copied)) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            whole = false;
            break;
        }
        if (copied == 0 || !Report(apkBytes, copied, QString())) {
            whole = copied == 0;
            break;
        }
    }
    sys::CloseHandle(source);
    return whole;
}

bool TLibArchive::TRun::PutInPlace(const QString &temp, const QString &target, bool exists,
                                   const QString &shown)
{
    const int error = exists ? ReplaceFile(temp, target)
                             : (sys::MoveFile(temp, target) ? 0 : int(sys::GetLastError()));
    if (error == 0)
        return true;
    RemoveFile(temp);
    messages.Add(ErrorLine(shown, error));
    return false;
}

void TLibArchive::TRun::ExtractItem(struct archive *reader, struct archive_entry *item,
                                    const QString &relative)
{
    const QString &shown = relative;
    const int depth = int(relative.count(QLatin1Char('\\')));
    const unsigned kind = archive_entry_filetype(item);
    if (kind == AE_IFDIR) {
        MakeFolders(relative, depth + 1, shown);
        return;
    }
    const QString hardLink =
        LibArchiveText(archive_entry_hardlink_utf8(item), archive_entry_hardlink(item));
    const bool link = kind == AE_IFLNK;
    if (hardLink.isEmpty() && !link && kind != AE_IFREG) {
        messages.Add(WithName(amSpecialFile, shown));
        return;
    }
    const sys::INT64 size = std::max<la_int64_t>(0, archive_entry_size(item));
    if (!Report(apkItem, size, shown))
        return;
    if (archive_entry_is_data_encrypted(item)) {
        ExtractEncrypted(item, relative);
        return;
    }
    // A hard link copies a file this extraction wrote; one that leads
    // elsewhere is refused.
    QString linkedFile;
    if (!hardLink.isEmpty() && size == 0) {
        QString linked;
        if (!SafeEntryPath(hardLink, linked) ||
            (linkedFile = written.value(sys::CaseKey(linked))).isEmpty()) {
            messages.Add(WithName(amLinkOutside, shown));
            return;
        }
    }
    const QString linkText =
        link ? LibArchiveText(archive_entry_symlink_utf8(item), archive_entry_symlink(item))
             : QString();
    if (link && !LinkStaysInside(relative, linkText)) {
        messages.Add(WithName(amLinkOutside, shown));
        return;
    }
    if (!MakeFolders(relative, depth, shown) || !EnoughSpace(sys::UINT64(size), shown))
        return;
    const QString target = sys::JoinPath(destination, relative);
    bool exists = false;
    if (!AskTarget(target, item, shown, exists))
        return;
    QString temp;
    if (link) {
        if (!CreateLinkBeside(target, linkText, 0, temp)) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            return;
        }
    } else {
        const sys::HANDLE file = CreateTempBeside(target, sys::FILE_ATTRIBUTE_NORMAL, temp);
        if (file == sys::INVALID_HANDLE_VALUE) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            return;
        }
        bool whole = linkedFile.isEmpty() ? WriteData(reader, file, shown)
                                          : CopyData(linkedFile, file, shown);
        // Sparse data ending in a hole: the file takes its whole size.
        if (whole && linkedFile.isEmpty() && archive_entry_size_is_set(item) &&
            sys::SetFilePointer(file, size, sys::FILE_BEGIN) >= 0)
            sys::SetEndOfFile(file);
        const sys::FILETIME time =
            sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item));
        sys::SetFileTime(file, nullptr, nullptr, &time);
        if (!sys::CloseHandle(file) && whole) {
            messages.Add(ErrorLine(shown, int(sys::GetLastError())));
            whole = false;
        }
        if (!whole || Stopped()) {
            RemoveFile(temp);
            return;
        }
    }
    if (!PutInPlace(temp, target, exists, shown))
        return;
    if (!link) {
        const unsigned perm = archive_entry_perm(item);
        if (perm & modeAnyExecute)
            sys::MakeExecutable(target);
        if (perm != 0 && !(perm & modeOwnerWrite))
            sys::SetFileAttributes(target,
                                   sys::GetFileAttributes(target) | sys::FILE_ATTRIBUTE_READONLY);
        written.insert(sys::CaseKey(relative), target);
    }
    ++processed;
}

// The reader cannot decrypt (7z's AES): the decrypting program writes the
// item into a private folder, from where it goes in place like any other.
void TLibArchive::TRun::ExtractEncrypted(struct archive_entry *item, const QString &relative)
{
    const QString &shown = relative;
    const QString program = UnrarLibrary::DecryptProgram();
    if (archive.Password.isEmpty() && !passwordRefused) {
        QString answer;
        if (archive.AskPassword(answer) && !answer.isEmpty())
            archive.Password = answer;
        else
            passwordRefused = true;
    }
    QByteArray native;
    if (archive.Password.isEmpty() || sys::FindProgram(program).isEmpty() ||
        !sys::ToNative(archive.FileName, native)) {
        messages.Add(WithName(amEncrypted, shown));
        return;
    }
    TStaging staging(archive, destination, messages);
    if (!staging.Open())
        return;
    QByteArray folder;
    sys::ToNative(staging.Folder(), folder);
    // -D: no folder of the archive's name around the item; -i: the item by
    // its place in the archive.
    const QStringList args{QStringLiteral("-q"),   QStringLiteral("-D"),
                           QStringLiteral("-f"),   QStringLiteral("-o"),
                           sys::DecodeName(folder), QStringLiteral("-p"),
                           archive.Password,       QStringLiteral("-i"),
                           sys::DecodeName(native), QString::number(index)};
    int exitCode = 0;
    if (!sys::RunProgram(program, args, staging.Folder(), exitCode)) {
        messages.Add(WithName(amEncrypted, shown));
        return;
    }
    if (exitCode != 0) {
        // A wrong password: the next encrypted item asks again.
        messages.Add(shown + QLatin1String(": ") + ArchiveStr(30303));
        archive.Password.clear();
        return;
    }
    TArchiveEntry entry;
    entry.Name = sys::ExtractFileName(relative);
    entry.Size = sys::UINT64(std::max<la_int64_t>(0, archive_entry_size(item)));
    entry.Time = sys::UnixToFileTime(archive_entry_mtime(item), archive_entry_mtime_nsec(item));
    if (!staging.Place(relative, entry))
        return;
    Report(apkBytes, sys::INT64(entry.Size), QString());
    written.insert(sys::CaseKey(relative), sys::JoinPath(destination, relative));
    ++processed;
}

int TLibArchive::TRun::Execute()
{
    QStringList names = archive.Names;
    archive.AppendFolderWildcards(names);
    const TEntrySelection selection(names);
    Totals(selection);
    if (!ForceFolder(destination)) {
        messages.Add(ErrorLine(destination, int(sys::GetLastError())));
    } else if (archive.OpenFile(messages)) {
        TArchiveStream stream(*archive.source);
        QString error;
        const TArchiveReader reader = archive.OpenReader(stream, error);
        struct archive_entry *item = nullptr;
        while (reader && !Stopped()) {
            const int result = archive_read_next_header(reader.get(), &item);
            if (result == ARCHIVE_EOF)
                break;
            ++index;
            if (result < ARCHIVE_WARN) {
                // The listing has said so already.
                if (!archive.Damaged)
                    messages.Add(WithName(amDamagedArchive, archive.FileName) +
                                 QLatin1String(": ") +
                                 QString::fromUtf8(archive_error_string(reader.get())));
                break;
            }
            QString relative;
            const QString stored = archive.type == atCompressed
                                       ? CompressedName(sys::ExtractFileName(archive.FileName))
                                       : LibArchiveText(archive_entry_pathname_utf8(item),
                                                        archive_entry_pathname(item));
            if (!SafeEntryPath(stored, relative)) {
                if (names.isEmpty() && !NamesTheTop(stored))
                    messages.Add(WithName(amUnsafeName, stored));
            } else if (selection.Selects(relative)) {
                ExtractItem(reader.get(), item, relative);
            }
        }
        if (!reader && !archive.Damaged)
            messages.Add(WithName(amDamagedArchive, archive.FileName) + QLatin1String(": ") +
                         error);
        archive.CloseFile();
    }
    Report(apkEnd, 0, QString());
    messages.Show(archive.Owner, amNotExtracted);
    return processed;
}

void TLibArchive::Extract(const QString &destination)
{
    ProcessedCount = 0;
    // A listing that failed has shown its message already.
    if (ExtractRunning || FileName.isEmpty() || WrongFormat)
        return;
    Cancel = false;
    ExtractRunning = true;
    ProcessedCount = TRun(*this, destination).Execute();
    Names.clear();
    Cancel = false;
    ExtractRunning = false;
}

} // namespace kestrel
