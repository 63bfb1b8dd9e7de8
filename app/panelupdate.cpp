#include "app/panelupdate.h"

#include "panel/filelisting.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "tree/treeinfo.h"

#include <algorithm>
#include <functional>

namespace kestrel {

namespace {

QString TreeFileOf(const QString &drive, const TTreeFileOptions &trees)
{
    return TreeFileName(drive, trees.saveInRoot, trees.treePath);
}

// Full paths of the done entries that are folders.
QStringList DoneFolders(const TFileListing &view, const TRunResult &run)
{
    QStringList folders;
    for (qsizetype n = 0; n < run.indexes.size(); ++n) {
        const TFile *file = view.Files.Get(run.indexes[n]);
        if (run.done.value(n) && file && file->Kind() == fkFolder)
            folders.append(sys::JoinPath(view.Folder(), file->GetFullName()));
    }
    return folders;
}

QList<int> DoneIndexes(const TRunResult &run)
{
    QList<int> done;
    for (qsizetype n = 0; n < run.indexes.size(); ++n)
        if (run.done.value(n))
            done.append(run.indexes[n]);
    return done;
}

// Entries the run failed on because their item had gone from the disk
// (removed meanwhile by another program): the panel must not show them.
QList<int> VanishedIndexes(const TFileListing &view, const TRunResult &run)
{
    QList<int> gone;
    for (qsizetype n = 0; n < run.indexes.size(); ++n) {
        const TFile *file = view.Files.Get(run.indexes[n]);
        if (!run.done.value(n) && file &&
            sys::GetFileAttributes(sys::JoinPath(view.Folder(), file->GetFullName())) ==
                sys::INVALID_FILE_ATTRIBUTES)
            gone.append(run.indexes[n]);
    }
    return gone;
}

} // namespace

QList<int> CommandIndexes(const TFileViewModel &view)
{
    QList<int> indexes;
    for (int i = 0; i < view.Files.Count(); ++i)
        if (view.Files[i]->Selected)
            indexes.append(i);
    const TFile *focused = view.GetItemFocused();
    if (indexes.isEmpty() && focused && !focused->IsParent() && focused->Kind() != fkDrive)
        indexes.append(view.FocusedIndex);
    return indexes;
}

bool UpdateAfterCopy(TFileListing &view, const TRunResult &run, const QString &destination,
                     bool move, bool descriptions, const TTreeFileOptions &trees)
{
    const QList<int> vanished = VanishedIndexes(view, run);
    if (!run.AnyDone()) {
        RemoveEntries(view, vanished);
        return true;
    }
    view.Files.BeginUpdate();
    const QStringList folders = DoneFolders(view, run);
    if (!folders.isEmpty()) {
        const QString sourceFile = TreeFileOf(view.Drive(), trees);
        const QString destFile = TreeFileOf(sys::ExtractFileDrive(destination), trees);
        TreeInfoCopyFolders(sourceFile, destFile, folders, destination, move);
        // Moved folders leave the source's tree also when the destination
        // has no tree (or its tree lacks the destination folder); the ones
        // moved above are no longer found there.
        if (move)
            TreeInfoDeleteFolders(sourceFile, folders);
    }
    bool written = true;
    if (descriptions) {
        QList<TFileListing::TDescriptCopy> carried;
        for (qsizetype n = 0; n < run.indexes.size(); ++n) {
            const TFile *file = view.Files.Get(run.indexes[n]);
            if (!run.done.value(n) || !file)
                continue;
            const QString target = run.targetNames.value(n);
            carried.append({file->GetFullName(), target.isEmpty() ? file->GetFullName() : target});
        }
        written = view.DescriptCopied(destination, carried, move);
    }
    const QList<int> done = DoneIndexes(run);
    if (move) {
        RemoveEntries(view, done + vanished);
    } else {
        for (const int index : done)
            if (TFile *file = view.Files.Get(index))
                file->Selected = false;
        RemoveEntries(view, vanished);
    }
    view.Files.EndUpdate();
    return written;
}

bool UpdateAfterDelete(TFileListing &view, const TRunResult &run, bool descriptions,
                       const TTreeFileOptions &trees)
{
    const QList<int> vanished = VanishedIndexes(view, run);
    if (!run.AnyDone()) {
        RemoveEntries(view, vanished);
        return true;
    }
    view.Files.BeginUpdate();
    const QStringList folders = DoneFolders(view, run);
    if (!folders.isEmpty())
        TreeInfoDeleteFolders(TreeFileOf(view.Drive(), trees), folders);
    bool written = true;
    if (descriptions) {
        QStringList names;
        for (const int index : DoneIndexes(run))
            if (const TFile *file = view.Files.Get(index))
                names.append(file->GetFullName());
        written = view.DescriptDeleted(names);
    }
    RemoveEntries(view, DoneIndexes(run) + vanished);
    view.Files.EndUpdate();
    return written;
}

void RemoveEntries(TFileViewModel &view, QList<int> indexes)
{
    if (indexes.isEmpty())
        return;
    std::sort(indexes.begin(), indexes.end(), std::greater<int>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    view.Files.BeginUpdate();
    bool focusGone = false;
    for (const int index : indexes) {
        if (index < 0 || index >= view.Files.Count())
            continue;
        focusGone = focusGone || index == view.FocusedIndex;
        if (index < view.FocusedIndex)
            --view.FocusedIndex;
        view.Files.Delete(index);
    }
    // The last entry gone: the focus goes to the one that is now last, and
    // from the drives that follow the entries back to the last entry.
    view.FocusedIndex = std::clamp(view.FocusedIndex, 0, std::max(view.Files.Count() - 1, 0));
    const TFile *focused = view.Files.Get(view.FocusedIndex);
    const TFile *before = view.Files.Get(view.FocusedIndex - 1);
    if (focusGone && focused && before && focused->Kind() == fkDrive && before->Kind() != fkDrive)
        --view.FocusedIndex;
    view.Files.EndUpdate();
}

} // namespace kestrel
