// The Copy, Move and Delete commands: thin drivers around the operation
// engine that choose the items and the destination, and afterwards bring the
// panel, the descriptions and the tree information files up to date from
// the per-item results.

#include "app/destination.h"
#include "app/inifile.h"
#include "app/mainwindow.h"
#include "app/panelupdate.h"
#include "app/settings.h"
#include "app/workfolderbuttons.h"
#include "ops/ask.h"
#include "ops/changenotify.h"
#include "ops/completesound.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filecopy.h"
#include "ops/filedelete.h"
#include "panel/descriptfile.h"
#include "panel/kfileview.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/trash.h"
#include "text/strings.h"

#include <QSet>

#include <algorithm>

namespace kestrel {

namespace {

QStringList FullPaths(const TKFileView &view, const QList<int> &indexes)
{
    QStringList paths;
    for (const int index : indexes)
        paths.append(sys::JoinPath(view.Folder(), view.Files[index]->GetFullName()));
    return paths;
}

// A found listing may hold a folder and entries inside it: a move or delete
// of the folder takes them along, so they are left out of the run instead of
// failing as gone.
QList<int> OutermostIndexes(const TKFileView &view, const QList<int> &indexes)
{
    if (!view.FoundMode())
        return indexes;
    QSet<QString> folders;
    for (const int index : indexes)
        if (view.Files[index]->Kind() == fkFolder)
            folders.insert(view.Files[index]->GetFullName());
    QList<int> outermost;
    for (const int index : indexes) {
        const QString name = view.Files[index]->GetFullName();
        bool inside = false;
        for (qsizetype cut = name.lastIndexOf(QLatin1Char('\\')); cut > 0 && !inside;
             cut = name.lastIndexOf(QLatin1Char('\\'), cut - 1))
            inside = folders.contains(name.left(cut));
        if (!inside)
            outermost.append(index);
    }
    return outermost;
}

// Reads a found listing again: what went along with a folder leaves it.
void DropVanished(TKFileView &view)
{
    const TFile *focused = view.GetItemFocused();
    view.Refresh(focused ? focused->GetFullName() : QString(), true);
    if (!view.GetItemFocused())
        view.SetFocused(0);
}

QList<bool> Results(const TFileFunction &run)
{
    QList<bool> done;
    for (qsizetype i = 0; i < run.Files.size(); ++i)
        done.append(run.Succeeded(int(i)));
    return done;
}

} // namespace

TTreeFileOptions TfMain::TreeFiles() const
{
    return {ReadSetting(*ini, key::TreeRoot), ReadSetting(*ini, key::TreePath)};
}

// A destination the run can write into: an existing folder that is no
// source and lies inside none. "" after the reason was shown.
QString TfMain::CheckedDestination(const QString &destination, const QStringList &sources)
{
    const QString folder = AbsolutePath(destination);
    const sys::DWORD attributes = sys::GetFileAttributes(folder);
    if (attributes == sys::INVALID_FILE_ATTRIBUTES) {
        ShowError(int(sys::GetLastError()), destination, LoadStr(512), true, this);
        return QString();
    }
    QString refusal;
    if (!(attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
        refusal = QStringLiteral("The destination is a file, not a folder.");
    for (const QString &source : sources) {
        if (refusal.isEmpty() && IsSameOrInside(folder, source))
            refusal = QStringLiteral("The destination folder is one of the items or lies "
                                     "inside one of them.");
    }
    if (refusal.isEmpty())
        return folder;
    Ask().MessageBox(this, AboutObject(destination, refusal), LoadStr(512), MB_OK | MB_ICONERROR);
    return QString();
}

void TfMain::TransferCommand(bool move)
{
    const QList<int> all = CommandIndexes(*fileView);
    const QList<int> indexes = move ? OutermostIndexes(*fileView, all) : all;
    if (indexes.isEmpty())
        return;
    if (InArchive()) {
        if (!move)
            ExtractCommand(false);
        return;
    }
    const QString answer = AskDestination(this, fileView->Folder(), workFolders->Folders(),
                                          ReadSetting(*ini, key::NoTreeA));
    if (answer.isEmpty())
        return;
    LastDestination = answer;
    const QStringList sources = FullPaths(*fileView, indexes);
    const QString destination = CheckedDestination(answer, sources);
    if (destination.isEmpty())
        return;
    const QString trash = sys::TrashOfFilesFolder(fileView->Folder());

    const bool watching = shChangeNotify->Active();
    if (move)
        shChangeNotify->SetActive(false);
    {
        TFileCopy run(this);
        run.OnFileExists = [](TFileCopy &sender, const QString &source, QString &target,
                              sys::DWORD &flags) {
            HandleFileExists(sender.Owner, source, target, flags);
        };
        run.RemoveReadOnly =
            sys::GetDriveType(fileView->Drive() + QLatin1Char('\\')) == sys::DRIVE_CDROM &&
            ReadSetting(*ini, key::RemRead);
        run.Files = sources;
        if (move)
            run.Move(destination);
        else
            run.Copy(destination);
        const TRunResult result{indexes, Results(run), {}};
        // What left the Trash leaves its record behind otherwise.
        if (move && !trash.isEmpty())
            ForgetTrashed(trash, result);
        // The Trash's "descriptions" are its records, never a descript.dat.
        const bool descriptions = fileView->HasDescript && trash.isEmpty();
        if (!UpdateAfterCopy(*fileView, result, destination, move, descriptions, TreeFiles()))
            ShowError(int(sys::GetLastError()), TDescriptFile(destination).Path(), LoadStr(512),
                      true, this);
    }
    // Entries that went along with a moved folder leave the found listing.
    if (move && indexes.size() < all.size())
        DropVanished(*fileView);
    fileView->update();
    PlayCompleteSound(ReadSetting(*ini, key::Sound));
    UpdateDiskInfo();
    if (move)
        shChangeNotify->SetActive(watching);
}

void TfMain::Delete1Click()
{
    if (InArchive())
        return;
    const QList<int> all = CommandIndexes(*fileView);
    const QList<int> indexes = OutermostIndexes(*fileView, all);
    if (indexes.isEmpty())
        return;
    QString text;
    if (fileView->SelCount > 0) {
        text = LoadStr(539);
    } else {
        const TFile &entry = *fileView->Files[indexes.first()];
        text = LoadStr(entry.Kind() == fkFolder ? 541 : 540)
                   .replace(QLatin1String("%s"), entry.GetFullName());
    }
    const int answer =
        AskDeleteWarning(this, text, std::clamp(ReadSetting(*ini, key::DelBtn), 0, 2), false);
    if (answer != mrYes && answer != mrAll)
        return;
    // What is in the Trash cannot go to the Trash again: it goes for good.
    const QString trash = sys::TrashOfFilesFolder(fileView->Folder());

    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    {
        TFileDelete run(this);
        run.UseRecycleBin = answer == mrYes && trash.isEmpty();
        run.Files = FullPaths(*fileView, indexes);
        run.Execute();
        const TRunResult result{indexes, Results(run), {}};
        if (!trash.isEmpty())
            ForgetTrashed(trash, result);
        const bool descriptions = fileView->HasDescript && trash.isEmpty();
        if (!UpdateAfterDelete(*fileView, result, descriptions, TreeFiles()))
            ShowError(int(sys::GetLastError()), TDescriptFile(fileView->Folder()).Path(),
                      LoadStr(512), true, this);
    }
    if (indexes.size() < all.size())
        DropVanished(*fileView);
    fileView->update();
    PlayCompleteSound(ReadSetting(*ini, key::Sound));
    UpdateDiskInfo();
    shChangeNotify->SetActive(watching);
}

} // namespace kestrel
