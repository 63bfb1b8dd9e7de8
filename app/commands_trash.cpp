// The Trash commands of the System menu: the Recycle Bin shown in the panel
// with each item's original place and deletion time, Restore, Empty Recycle
// Bin, and Empty Temp Folder.

#include "app/inifile.h"
#include "app/mainwindow.h"
#include "app/panelupdate.h"
#include "app/settings.h"
#include "app/tempfolder.h"
#include "ops/ask.h"
#include "ops/changenotify.h"
#include "ops/completesound.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filecopy.h"
#include "ops/filedelete.h"
#include "panel/kfileview.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/trash.h"
#include "text/strings.h"

#include <algorithm>

#include <QHash>
#include <QMap>

namespace kestrel {

namespace {

const QString kRecycleBin = QStringLiteral("Recycle Bin");

QString WithoutTrailingBackslash(QString folder)
{
    if (folder.size() > 3 && folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder;
}

// Makes a folder and the folders above it that are missing.
bool ForceFolder(const QString &folder)
{
    if (sys::GetFileAttributes(folder) != sys::INVALID_FILE_ATTRIBUTES)
        return true;
    const QString parent = WithoutTrailingBackslash(sys::ExtractFilePath(folder));
    if (parent.isEmpty() || parent == folder || !ForceFolder(parent))
        return false;
    return sys::CreateDirectory(folder);
}

QString TrashDescription(const sys::TrashItem &item)
{
    if (item.original.isEmpty())
        return QStringLiteral("(no record of its original place)");
    const QString when = item.deleted.isValid()
                             ? item.deleted.toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                             : QStringLiteral("unknown time");
    return QStringLiteral("%1  (deleted %2)").arg(item.original, when);
}

} // namespace

bool TfMain::DescribeTrash()
{
    const QString trash = sys::TrashOfFilesFolder(fileView->Folder());
    if (trash.isEmpty())
        return false;
    QHash<QString, QString> texts;
    for (const sys::TrashItem &item : sys::ListTrash(trash))
        if (item.hasFile)
            texts.insert(item.name, TrashDescription(item));
    for (int i = 0; i < fileView->Files.Count(); ++i) {
        TFile &entry = *fileView->Files[i];
        if (!entry.IsParent() && entry.Kind() != fkDrive)
            entry.SetDescription(texts.value(entry.GetFullName()));
    }
    fileView->HasDescript = !texts.isEmpty();
    return true;
}

void TfMain::ForgetTrashed(const QString &trash, const TRunResult &result)
{
    for (qsizetype n = 0; n < result.indexes.size(); ++n) {
        if (!result.done.value(n))
            continue;
        sys::TrashItem item;
        item.trash = trash;
        item.name = fileView->Files[result.indexes[n]]->GetFullName();
        sys::DeleteFile(item.InfoPath());
    }
}

void TfMain::RecycleBin1Click()
{
    const QStringList trashes = sys::TrashFolders();
    // A Trash never used has no folder yet: it is empty.
    if (trashes.isEmpty()) {
        Ask().MessageBox(this, QStringLiteral("The Recycle Bin is empty."), kRecycleBin,
                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString files = sys::JoinPath(trashes.first(), QStringLiteral("files"));
    if (!ForceFolder(files) || !SetFolder(files))
        ShowError(int(sys::GetLastError()), files, LoadStr(512), true, this);
}

void TfMain::Restore1Click()
{
    const QString trash = InArchive() ? QString() : sys::TrashOfFilesFolder(fileView->Folder());
    if (trash.isEmpty()) {
        Ask().MessageBox(this,
                         QStringLiteral("Restore works on the items of the Recycle Bin: open it "
                                        "with System > Recycle Bin first."),
                         kRecycleBin, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QList<int> indexes = CommandIndexes(*fileView);
    if (indexes.isEmpty())
        return;
    QHash<QString, sys::TrashItem> records;
    for (const sys::TrashItem &item : sys::ListTrash(trash))
        records.insert(item.name, item);

    // Items go back folder by folder; those without a usable record stay.
    QMap<QString, QList<int>> byFolder;
    QStringList unknown;
    for (const int index : indexes) {
        const QString name = fileView->Files[index]->GetFullName();
        const sys::TrashItem item = records.value(name);
        if (item.original.isEmpty())
            unknown.append(name);
        else
            byFolder[WithoutTrailingBackslash(sys::ExtractFilePath(item.original))].append(index);
    }
    if (!unknown.isEmpty())
        Ask().MessageBox(this,
                         AboutObject(unknown.join(QLatin1Char('\n')),
                                     QStringLiteral("The Recycle Bin holds no valid record of "
                                                    "where this was deleted from; it stays "
                                                    "there.")),
                         kRecycleBin, MB_OK | MB_ICONWARNING);

    const bool watching = shChangeNotify->Active();
    shChangeNotify->SetActive(false);
    TRunResult restored;
    bool cancelled = false;
    for (auto group = byFolder.cbegin(); group != byFolder.cend() && !cancelled; ++group) {
        if (!ForceFolder(group.key())) {
            ShowError(int(sys::GetLastError()), group.key(), LoadStr(512), true, this);
            continue;
        }
        TFileCopy run(this);
        run.OnFileExists = [](TFileCopy &sender, const QString &source, QString &target,
                              sys::DWORD &flags) {
            HandleFileExists(sender.Owner, source, target, flags);
        };
        for (const int index : group.value()) {
            const sys::TrashItem &item = records[fileView->Files[index]->GetFullName()];
            run.Files.append(item.FilePath());
            run.TargetNames.append(sys::ExtractFileName(item.original));
        }
        cancelled = run.Move(group.key()) == resCancelled;
        for (qsizetype n = 0; n < group.value().size(); ++n) {
            restored.indexes.append(group.value()[n]);
            restored.done.append(run.Succeeded(int(n)));
        }
    }
    ForgetTrashed(trash, restored);
    fileView->Files.BeginUpdate();
    QList<int> gone;
    for (qsizetype n = 0; n < restored.indexes.size(); ++n)
        if (restored.done[n])
            gone.append(restored.indexes[n]);
    RemoveEntries(*fileView, gone);
    fileView->Files.EndUpdate();
    fileView->update();
    PlayCompleteSound(ReadSetting(*ini, key::Sound));
    UpdateDiskInfo();
    shChangeNotify->SetActive(watching);
}

void TfMain::EmptyRecycleBin1Click()
{
    const QString caption = QStringLiteral("Empty Recycle Bin");
    QList<sys::TrashItem> items;
    for (const QString &trash : sys::TrashFolders())
        items += sys::ListTrash(trash);
    int count = 0;
    for (const sys::TrashItem &item : items)
        count += item.hasFile ? 1 : 0;
    if (items.isEmpty()) {
        Ask().MessageBox(this, QStringLiteral("The Recycle Bin is empty."), caption,
                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString question =
        count == 1 ? QStringLiteral("Are you sure you want to permanently delete the item in the "
                                    "Recycle Bin?")
                   : QStringLiteral("Are you sure you want to permanently delete all %1 items in "
                                    "the Recycle Bin?")
                         .arg(count);
    if (Ask().MessageBox(this, question, caption, MB_YESNO | MB_ICONWARNING) != mrYes)
        return;
    TFileDelete run(this);
    run.UseRecycleBin = false;
    run.WarnAttributes = false;
    QList<const sys::TrashItem *> withFile;
    for (const sys::TrashItem &item : items) {
        if (item.hasFile) {
            run.Files.append(item.FilePath());
            withFile.append(&item);
        }
    }
    run.Execute();
    // A record goes after its file, so an item that stays keeps its record.
    QStringList records;
    for (qsizetype i = 0; i < withFile.size(); ++i)
        if (run.Succeeded(int(i)) && withFile[i]->hasInfo)
            records.append(withFile[i]->InfoPath());
    QStringList trashes;
    for (const sys::TrashItem &item : items) {
        if (!item.hasFile)
            records.append(item.InfoPath());
        if (!trashes.contains(item.trash))
            trashes.append(item.trash);
    }
    for (const QString &trash : trashes) {
        const QString sizes = sys::JoinPath(trash, QStringLiteral("directorysizes"));
        if (sys::GetFileAttributes(sizes) != sys::INVALID_FILE_ATTRIBUTES)
            records.append(sizes);
    }
    for (const QString &record : records) {
        if (!sys::DeleteFile(record)) {
            ShowError(int(sys::GetLastError()), record, LoadStr(512), true, this);
            break;
        }
    }
    if (!sys::TrashOfFilesFolder(fileView->Folder()).isEmpty())
        fileView->Refresh(QString(), false);
    UpdateDiskInfo();
}

void TfMain::EmptyTemp1Click()
{
    const QString folder = WithoutTrailingBackslash(sys::GetTempPath());
    if (!IsEmptiableTempFolder(folder)) {
        Ask().MessageBox(this,
                         AboutObject(folder, QStringLiteral("This is not a temporary folder that "
                                                            "can be emptied.")),
                         LoadStr(512), MB_OK | MB_ICONERROR);
        return;
    }
    const TTempEntries entries = DisposableTempEntries(folder);
    if (entries.paths.isEmpty()) {
        Ask().MessageBox(this,
                         AboutObject(folder, QStringLiteral("Nothing of yours in the temporary "
                                                            "folder is older than an hour.")),
                         QStringLiteral("Empty Temp Folder"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString text =
        LoadStr(599) +
        QStringLiteral("?\n\n%1 entries (%2 bytes) of yours, unchanged for an hour, will be "
                       "deleted. Entries of other users and programs stay.")
            .arg(entries.paths.size())
            .arg(ThousandsText(entries.bytes));
    const int answer =
        AskDeleteWarning(this, text, std::clamp(ReadSetting(*ini, key::DelBtn), 0, 2), false);
    if (answer != mrYes && answer != mrAll)
        return;
    TFileDelete run(this);
    run.UseRecycleBin = answer == mrYes;
    run.Files = entries.paths;
    run.Execute();
    if (sys::SameText(fileView->Folder(), folder))
        fileView->Refresh(QString(), false);
    UpdateDiskInfo();
}

} // namespace kestrel
