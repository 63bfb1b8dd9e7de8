#include "ops/filecopy.h"

#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filedelete.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "ops/safereplace.h"
#include "text/strings.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

#include <QCoreApplication>

#include <memory>
#include <new>
#include <utility>

namespace kestrel {

namespace {

constexpr int errIntoItself = 12;
constexpr int errAlreadyExists = 183;

int LastError()
{
    return int(sys::GetLastError());
}

bool IsConflict(int result)
{
    return result == int(sys::ERROR_FILE_EXISTS) || result == int(sys::ERROR_ALREADY_EXISTS);
}

bool IsFolder(sys::DWORD attributes)
{
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TFileCopy::TFileCopy(QObject *owner) : TFileFunction(owner) {}

TFileCopy::~TFileCopy() = default;

int TFileCopy::Copy(const QString &destination)
{
    const TOperationGuard guard;
    ResetResults();
    CountTotals();
    if (!CheckFreeSpace(destination))
        return resSkipped;
    if (ShowProgress)
        OpenProgress(true, 579, destination);
    const int result = RunItems(destination, ItemWork::Copy);
    if (ShowProgress)
        CopyProgress().Close();
    return result;
}

int TFileCopy::Move(const QString &destination)
{
    const TOperationGuard guard;
    ResetResults();
    toldSourceKept = false;
    remover = std::make_unique<TFileDelete>(Owner);
    remover->WarnAttributes = false;
    remover->UseRecycleBin = false;
    remover->ShowProgress = false;
    const QString firstItem = Files.isEmpty() ? QString() : AbsolutePath(Files.first());
    const bool sameDrive = sys::SameText(sys::ExtractFileDrive(firstItem),
                                         sys::ExtractFileDrive(AbsolutePath(destination)));
    if (!sameDrive) {
        CountTotals();
        if (!CheckFreeSpace(destination)) {
            remover.reset();
            return resSkipped;
        }
    }
    if (ShowProgress)
        OpenProgress(!sameDrive, 578, destination);
    const int result =
        RunItems(destination, sameDrive ? ItemWork::MoveWithin : ItemWork::MoveAcross);
    remover.reset();
    if (ShowProgress)
        CopyProgress().Close();
    return result;
}

void TFileCopy::CountTotals()
{
    TotalSize = 0;
    FileCount = 0;
    for (const QString &item : std::as_const(Files)) {
        const TTreeTotals totals = ItemTotals(item);
        TotalSize += totals.bytes;
        FileCount += totals.files;
    }
}

bool TFileCopy::CheckFreeSpace(const QString &destination)
{
    const QString root = sys::ExtractFileDrive(AbsolutePath(destination)) + QLatin1Char('\\');
    sys::UINT64 freeToCaller = 0, total = 0, totalFree = 0;
    sys::UINT64 available;
    sys::DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    // The space this process may use: blocks reserved for the system do not count.
    if (sys::GetDiskFreeSpaceEx(root, &freeToCaller, &total, &totalFree))
        available = freeToCaller;
    else if (sys::GetDiskFreeSpace(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                   &totalClusters))
        available = sys::UINT64(freeClusters) * sectorsPerCluster * bytesPerSector;
    else
        return true; // unknown: the copy itself reports what fails
    if (TotalSize <= available)
        return true;
    Ask().MessageBox(Owner, AboutObject(root, LoadStr(261)), LoadStr(512), MB_OK | MB_ICONERROR);
    return false;
}

void TFileCopy::OpenProgress(bool bytes, int caption, const QString &destination)
{
    byteMode = bytes;
    TCopyProgress &progress = CopyProgress();
    const int count = FileCount > 0 ? FileCount : int(Files.size());
    progress.Open(bytes, LoadStr(caption), count, bytes ? TotalSize : 0, Owner);
    const QString from = Files.isEmpty() ? sys::GetCurrentDirectory()
                                         : sys::ExtractFilePath(AbsolutePath(Files.first()));
    progress.SetFrom(FolderDisplayName(from));
    progress.SetTo(FolderDisplayName(AbsolutePath(destination)));
}

void TFileCopy::Advance(sys::UINT64 bytes)
{
    if (ShowProgress && byteMode && bytes > 0)
        CopyProgress().SetProgress(CopyProgress().Progress() + bytes);
}

int TFileCopy::RunItems(const QString &destination, ItemWork work)
{
    int result = resDone;
    const int n = int(Files.size());
    for (int i = 0; i < n; ++i) {
        const QString &item = Files[i];
        // Built once per item: after a rename, a second question about the
        // new name must not send an Overwrite back to the first target.
        const QString name = TargetNames.value(i);
        QString target =
            sys::JoinPath(destination, name.isEmpty() ? sys::ExtractFileName(item) : name);
        for (;;) {
            const sys::DWORD answered = Flags;
            switch (work) {
            case ItemWork::Copy:
                result = CopyItem(item, target);
                break;
            case ItemWork::MoveAcross:
                result = MoveItemAcross(item, target);
                break;
            case ItemWork::MoveWithin:
                result = MoveItemWithin(item, target);
                break;
            }
            if ((Flags & feRename) || !(Flags & feAll))
                Flags = 0;
            SetResult(i, result);
            if (!IsConflict(result))
                break;
            // Asking again after Overwrite would never end (a file onto a
            // folder, or the reverse): that is an error of the item.
            if ((answered & feOverwrite) || !OnFileExists) {
                result = errAlreadyExists;
                break;
            }
            if (ShowProgress)
                CopyProgress().PauseTimer();
            OnFileExists(*this, item, target, Flags);
            if (ShowProgress)
                CopyProgress().RestartTimer();
            if (Flags & feCancel) {
                result = resCancelled;
                break;
            }
            // A handler that gave no answer would be asked forever.
            if (!(Flags & (feOverwrite | feSkip | feRename))) {
                result = errAlreadyExists;
                break;
            }
        }
        if (work == ItemWork::MoveWithin && ShowProgress)
            CopyProgress().SetProgress(sys::UINT64(i) + 1);
        if (result == resCancelled)
            break;
        // Originals that stay (a read-only drive) are reported once.
        const bool kept = std::exchange(sourceKept, false);
        if (kept && std::exchange(toldSourceKept, true))
            continue;
        // A conflict concerns the target; any other failure the item.
        if (result > 0 &&
            !ShowError(result, IsConflict(result) ? target : item, LoadStr(512), i == n - 1))
            break;
    }
    return result;
}

int TFileCopy::CopyItem(const QString &source, const QString &target)
{
    const sys::DWORD attributes = sys::GetFileAttributes(source);
    if (IsLink(attributes))
        return CopyLink(source, target, attributes);
    if (IsFolder(attributes))
        return CopyFolderTree(source, target);
    return CopyOneFile(source, target);
}

int TFileCopy::MoveItemAcross(const QString &source, const QString &target)
{
    const sys::DWORD attributes = sys::GetFileAttributes(source);
    const bool targetWasThere = sys::GetFileAttributes(target) != sys::INVALID_FILE_ATTRIBUTES;
    const int result = CopyItem(source, target);
    if (result != resDone) {
        // The original stays whole; a half copy of a folder this item made
        // would only stand beside it as a second, incomplete one.
        const sys::DWORD made = sys::GetFileAttributes(target);
        if (!targetWasThere && IsRealFolder(attributes) && IsRealFolder(made))
            remover->DeleteItem(target, made);
        return result;
    }
    // The source goes only after a complete copy. One that cannot go leaves
    // the item not moved: the copy and the original both stay.
    const int removed = remover->DeleteItem(source, attributes);
    if (removed > 0 && sys::GetFileAttributes(source) != sys::INVALID_FILE_ATTRIBUTES) {
        sourceKept = true;
        return removed;
    }
    return resDone;
}

int TFileCopy::MoveItemWithin(const QString &source, const QString &target)
{
    const sys::DWORD attributes = sys::GetFileAttributes(source);
    const bool folder = IsRealFolder(attributes);
    if (!(Flags & (feOverwrite | feRename | feSkip)) && ShowProgress) {
        TCopyProgress &progress = CopyProgress();
        progress.SetFileName(sys::ExtractFileName(source));
        progress.SetStartedCount(progress.StartedCount() + 1);
        QCoreApplication::processEvents();
    }
    if (Flags & feSkip)
        return resSkipped;
    if (ShowProgress && CopyProgress().Cancelled())
        return resCancelled;
    const QString absSource = AbsolutePath(source);
    const QString absTarget = AbsolutePath(target);
    if (folder && IsSameOrInside(absTarget, absSource))
        return errIntoItself;
    const sys::DWORD existing = sys::GetFileAttributes(target);
    if ((Flags & feOverwrite) && existing != sys::INVALID_FILE_ATTRIBUTES) {
        // A file never takes the place of a link to a folder (the link would
        // be cut); a moved link gives way to nothing but a real folder.
        const bool blocked = folder               ? !IsRealFolder(existing)
                             : IsLink(attributes) ? IsRealFolder(existing)
                                                  : IsFolder(existing);
        if (blocked)
            return errAlreadyExists;
        if (folder)
            return MoveItemAcross(source, target); // merge, then remove the source
        if (sys::SameText(absSource, absTarget))
            return errIntoItself;
        return ReplaceFile(source, target);
    }
    if (sys::MoveFile(source, target))
        return resDone;
    const int result = LastError();
    // One drive letter may span several file systems; there a move is a copy.
    if (result == int(sys::ERROR_NOT_SAME_DEVICE))
        return MoveItemAcross(source, target);
    return result;
}

int TFileCopy::CopyOneFile(const QString &source, const QString &target, sys::DWORD attributes)
{
    if (ShowProgress && CopyProgress().Cancelled())
        return resCancelled;
    const sys::HANDLE in =
        sys::CreateFile(source, sys::GENERIC_READ, sys::FILE_SHARE_READ | sys::FILE_SHARE_WRITE,
                        sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    const int openError = in == sys::INVALID_HANDLE_VALUE ? LastError() : 0;
    sys::UINT64 size = in == sys::INVALID_HANDLE_VALUE ? 0 : sys::GetFileSize64(in);
    if (size == sys::INVALID_FILE_SIZE64)
        size = 0;
    if (ShowProgress) {
        TCopyProgress &progress = CopyProgress();
        progress.SetFileName(QStringLiteral("%1 (%2 bytes) ")
                                 .arg(sys::ExtractFileName(source), ThousandsText(size)));
        if (Flags == 0)
            progress.SetStartedCount(progress.StartedCount() + 1);
    }
    struct TCloser {
        sys::HANDLE handle;
        ~TCloser()
        {
            if (handle != sys::INVALID_HANDLE_VALUE)
                sys::CloseHandle(handle);
        }
    } input{in};
    if (Flags & feSkip) {
        Advance(size);
        return resSkipped;
    }
    if (openError)
        return openError;
    if (attributes == sys::INVALID_FILE_ATTRIBUTES)
        attributes = sys::GetFileAttributes(source);
    if (attributes == sys::INVALID_FILE_ATTRIBUTES)
        attributes = sys::FILE_ATTRIBUTE_NORMAL;
    attributes &= ~sys::FILE_ATTRIBUTE_DIRECTORY;
    if (RemoveReadOnly)
        attributes &= ~sys::FILE_ATTRIBUTE_READONLY;
    if (attributes == 0)
        attributes = sys::FILE_ATTRIBUTE_NORMAL;

    // An existing target is replaced only once the new content is complete.
    bool replacing = false;
    if (Flags & feOverwrite) {
        // A link to a file in the target's place goes, its own target
        // untouched; a folder, or a link to one, stays.
        const sys::DWORD existing = sys::GetFileAttributes(target);
        if (IsFolder(existing))
            return errAlreadyExists;
        replacing = existing != sys::INVALID_FILE_ATTRIBUTES;
    }
    QString written = target;
    const sys::HANDLE out =
        replacing ? CreateTempBeside(target, attributes, written)
                  : sys::CreateFile(target, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, attributes);
    if (out == sys::INVALID_HANDLE_VALUE)
        return LastError();

    int result = resDone;
    for (;;) {
        // Cancel and progress are checked after every step.
        sys::DWORD put = 0;
        if (!sys::CopyFileData(in, out, CopyStep, put)) {
            // A read error is a failed copy, never a short file taken as done.
            result = LastError();
            break;
        }
        if (put == 0)
            break;
        if (ShowProgress) {
            if (CopyProgress().Cancelled()) {
                result = resCancelled;
                break;
            }
            Advance(put);
        }
    }
    if (result == resDone) {
        sys::FILETIME lastWrite;
        if (sys::GetFileTime(in, nullptr, nullptr, &lastWrite))
            sys::SetFileTime(out, nullptr, nullptr, &lastWrite);
    }
    // Closing can report a late write failure (network drives).
    if (!sys::CloseHandle(out) && result == resDone)
        result = LastError();
    if (replacing) {
        if (result == resDone)
            result = ReplaceFile(written, target);
        if (result != resDone)
            RemoveFile(written);
    } else if (result == resCancelled) {
        RemoveFile(written);
    }
    return result;
}

int TFileCopy::CopyLink(const QString &source, const QString &target, sys::DWORD attributes)
{
    if (ShowProgress) {
        TCopyProgress &progress = CopyProgress();
        if (progress.Cancelled())
            return resCancelled;
        progress.SetFileName(sys::ExtractFileName(source));
        if (Flags == 0)
            progress.SetStartedCount(progress.StartedCount() + 1);
    }
    if (Flags & feSkip)
        return resSkipped;
    QString text;
    if (!sys::ReadSymbolicLink(source, text))
        return LastError();
    const sys::DWORD linkFlags = IsFolder(attributes) ? sys::SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    const sys::DWORD existing =
        Flags & feOverwrite ? sys::GetFileAttributes(target) : sys::INVALID_FILE_ATTRIBUTES;
    if (existing == sys::INVALID_FILE_ATTRIBUTES)
        return sys::CreateSymbolicLink(target, text, linkFlags) ? resDone : LastError();
    // A file or a link gives way to the new link, a folder does not.
    if (IsRealFolder(existing))
        return errAlreadyExists;
    QString written;
    if (!CreateLinkBeside(target, text, linkFlags, written))
        return LastError();
    const int result = ReplaceFile(written, target);
    if (result != resDone)
        RemoveFile(written);
    return result;
}

int TFileCopy::CopyFolderTree(const QString &source, const QString &target)
{
    if (Flags & feSkip) {
        if (ShowProgress) {
            const TTreeTotals totals = FolderTotals(source);
            Advance(totals.bytes);
            CopyProgress().SetStartedCount(CopyProgress().StartedCount() + totals.files);
        }
        return resSkipped;
    }
    if (ShowProgress)
        CopyProgress().SetFileName(sys::ExtractFileName(source));
    if (IsSameOrInside(AbsolutePath(target), AbsolutePath(source)))
        return errIntoItself;
    if ((Flags & feOverwrite) && IsRealFolder(sys::GetFileAttributes(target))) {
        // Merge: inside the existing folder every file is replaced unasked.
        const sys::DWORD saved = Flags;
        Flags = feOverwrite | feAll;
        const int result = CopyContents(source, target);
        Flags = saved;
        return result;
    }
    if (!sys::CreateDirectory(target))
        return LastError();
    return CopyContents(source, target);
}

int TFileCopy::CopyContents(const QString &source, const QString &target)
{
    int outcome = resDone;
    const bool listed = sys::ForEachEntry(source, [&](const sys::WIN32_FIND_DATA &data) {
        const QString from = sys::JoinPath(source, data.cFileName);
        const QString to = sys::JoinPath(target, data.cFileName);
        if (IsLink(data.dwFileAttributes)) {
            outcome = CopyLink(from, to, data.dwFileAttributes);
        } else if (data.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
            // A link in the target's place is not merged into: it may lead
            // out of the destination.
            if ((Flags & feOverwrite) && IsRealFolder(sys::GetFileAttributes(to)))
                outcome = CopyContents(from, to);
            else if (!sys::CreateDirectory(to))
                outcome = LastError();
            else
                outcome = CopyContents(from, to);
        } else {
            outcome = CopyOneFile(from, to, data.dwFileAttributes);
        }
        return outcome <= 0;
    });
    if (!listed)
        return LastError();
    return outcome > 0 ? outcome : resDone;
}

} // namespace kestrel
