#include "ops/filedelete.h"

#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "text/strings.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shell.h"

#include <QCoreApplication>

namespace kestrel {

namespace {

constexpr sys::DWORD importantAttributes =
    sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_HIDDEN | sys::FILE_ATTRIBUTE_SYSTEM;

int LastError()
{
    return int(sys::GetLastError());
}

} // namespace

int TFileDelete::Execute()
{
    const TOperationGuard guard;
    if (ShowProgress) {
        int count = 0;
        for (const QString &item : std::as_const(Files))
            count += ItemTotals(item).files;
        DeleteProgress().Open(count, Owner);
    }
    Cancelled = false;
    ResetResults();
    int result = 0;
    const int n = int(Files.size());
    for (int i = 0; i < n; ++i) {
        const QString &item = Files[i];
        const sys::DWORD attributes = sys::GetFileAttributes(item);
        result =
            attributes == sys::INVALID_FILE_ATTRIBUTES ? LastError() : DeleteItem(item, attributes);
        SetResult(i, result);
        if (result == resCancelled)
            break;
        if (result > 0 && !ShowError(result, item, LoadStr(512), i == n - 1))
            break;
    }
    if (ShowProgress)
        DeleteProgress().Close();
    return result;
}

int TFileDelete::DeleteItem(const QString &path, sys::DWORD attributes)
{
    // A link to a folder is removed itself, never entered, so a delete never
    // reaches files outside the folder the user chose.
    if (IsRealFolder(attributes))
        return DeleteFolderTree(path, attributes);
    return DeleteOneFile(path, attributes);
}

int TFileDelete::WarnAttributesOf(const QString &path, sys::DWORD attributes)
{
    if (!WarnAttributes || !(attributes & importantAttributes))
        return resDone;
    switch (AskDeleteWarning(Owner, sys::ExtractFileName(path) + LoadStr(580), 2, true)) {
    case mrAll:
        WarnAttributes = false;
        return resDone;
    case mrYes:
        return resDone;
    case mrNo:
        return resSkipped;
    default:
        Cancelled = true;
        return resCancelled;
    }
}

int TFileDelete::DeleteOneFile(const QString &path, sys::DWORD attributes)
{
    return RemoveOne(path, attributes, 1);
}

int TFileDelete::RemoveOne(const QString &path, sys::DWORD attributes, int files)
{
    if (ShowProgress) {
        if (DeleteProgress().Cancelled())
            return resCancelled;
        DeleteProgress().SetItem(sys::ExtractFileName(path));
        QCoreApplication::processEvents();
    }
    const int warned = WarnAttributesOf(path, attributes);
    if (warned != resDone)
        return warned;
    int result = resDone;
    if (UseRecycleBin) {
        if (!sys::MoveToTrash(path))
            result = LastError();
    } else {
        // A link's attributes are its target's: clearing them would change
        // the target, and removing the link needs no change.
        if ((attributes & importantAttributes) && !IsLink(attributes))
            sys::SetFileAttributes(path, sys::FILE_ATTRIBUTE_NORMAL);
        // A link to a folder goes as a file or as a folder, by the system.
        const bool removed =
            sys::DeleteFile(path) ||
            ((attributes & sys::FILE_ATTRIBUTE_DIRECTORY) && sys::RemoveDirectory(path));
        if (!removed)
            result = LastError();
    }
    if (ShowProgress) {
        DeleteProgress().SetProgress(DeleteProgress().Progress() + files);
        QCoreApplication::processEvents();
    }
    return result;
}

int TFileDelete::DeleteFolderTree(const QString &path, sys::DWORD attributes)
{
    // The Trash takes a folder whole, so a restore brings back its empty
    // subfolders and the folders' times as well as the files.
    if (UseRecycleBin)
        return RemoveOne(path, attributes, ShowProgress ? ItemTotals(path).files : 0);
    const int warned = WarnAttributesOf(path, attributes);
    if (warned != resDone)
        return warned;
    const int result = DeleteContents(path);
    if (result != resDone)
        return result;
    return RemoveEmptiedFolder(path);
}

// Deletes everything inside folder. A skipped entry keeps its folder: the
// result is then -1, so the folder is left rather than reported as not empty.
int TFileDelete::DeleteContents(const QString &folder)
{
    int outcome = resDone;
    const bool listed = sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        const int result = DeleteItem(sys::JoinPath(folder, data.cFileName), data.dwFileAttributes);
        if (result > 0) {
            outcome = result;
            return false;
        }
        if (result == resSkipped)
            outcome = resSkipped;
        return true;
    });
    return listed ? outcome : LastError();
}

int TFileDelete::RemoveEmptiedFolder(const QString &folder)
{
    sys::SetFileAttributes(folder, sys::FILE_ATTRIBUTE_DIRECTORY);
    if (!sys::RemoveDirectory(folder))
        return LastError();
    return resDone;
}

} // namespace kestrel
