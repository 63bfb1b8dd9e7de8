#include "tree/foldertree.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "text/strings.h"
#include "tree/treeinfo.h"

namespace kestrel {

namespace {

bool DirectoryExists(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           !(attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

QString WithoutBackslash(const QString &path)
{
    return path.endsWith(QLatin1Char('\\')) && !sys::IsRoot(path) ? path.chopped(1) : path;
}

QString ParentFolder(const QString &path)
{
    return WithoutBackslash(sys::ExtractFilePath(WithoutBackslash(path)));
}

// Sets Loading for a rebuild and puts back what it was.
class TLoadingScope {
public:
    explicit TLoadingScope(bool &flag) : flag(flag), saved(flag) { flag = true; }
    ~TLoadingScope() { flag = saved; }
    TLoadingScope(const TLoadingScope &) = delete;
    TLoadingScope &operator=(const TLoadingScope &) = delete;

private:
    bool &flag;
    bool saved;
};

} // namespace

TFolderTree::TFolderTree()
{
    scan.OnBeforeScan = [this] {
        if (OnBeforeScan)
            OnBeforeScan();
    };
    scan.OnAfterScan = [this] {
        if (OnAfterScan)
            OnAfterScan();
    };
    scan.OnScan = [this](const QString &folder) {
        return !OnScan || OnScan(folder);
    };
}

QString TFolderTree::FolderOf(const QString &root) const
{
    // A folder on another drive would switch drives again from inside the
    // switch, and back, without end.
    const QString rootDrive = sys::ExtractFileDrive(root);
    for (const QString &pair : FolderList) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0 || !sys::SameText(pair.left(eq), root))
            continue;
        const QString folder = pair.mid(eq + 1);
        return sys::SameText(sys::ExtractFileDrive(folder), rootDrive) ? folder : QString();
    }
    return QString();
}

QString TFolderTree::OpenFolder() const
{
    return drive.isEmpty() ? QString() : FolderOf(DriveRoot(drive));
}

QString TFolderTree::GetFolder() const
{
    return Focused() ? Focused()->GetFullPath() : QString();
}

bool TFolderTree::ScanDirectory(const QString &path, QStringList &list)
{
    return scan.ScanDirectory(path, list);
}

void TFolderTree::ItemsChanged()
{
    TFolderViewModel::ItemsChanged();
    SaveTree();
}

void TFolderTree::SaveTree()
{
    // An empty model is never a tree: it would replace a good file by nothing.
    if (!Items.Root() || drive.isEmpty() || partial)
        return;
    const QString file = treeFile.isEmpty() ? TreeFileName(drive, SaveInRoot, TreePath) : treeFile;
    if (!file.isEmpty())
        Items.SaveToFile(file);
}

void TFolderTree::ShowLoadError(const QString &message)
{
    Ask().MessageBox(nullptr, AboutObject(treeFile, message), LoadStr(512), MB_OK | MB_ICONERROR);
}

void TFolderTree::SetDrive(const QString &driveText)
{
    if (driveText.isEmpty())
        return;
    const QString root = DriveRoot(driveText);
    const QString text = root.chopped(1);
    if (sys::SameText(text, drive))
        return;
    const unsigned type = sys::GetDriveType(root);
    if (sys::GetVolumeInformation(root, nullptr, nullptr)) {
        TLoadingScope loading(Loading);
        drive = text;
        treeFile = TreeFileName(drive, SaveInRoot, TreePath);
        TopRow = 0;
        LeftColumn = 0;
        // The last drive's tree must not stay behind when this one's file
        // cannot be read.
        Items.Clear();
        if (treeFile.isEmpty() || !FileExists(treeFile)) {
            Refresh();
        } else {
            QString error;
            partial = false;
            if (!Items.LoadFromFile(treeFile, &error) && !error.isEmpty())
                ShowLoadError(error);
            TTreeItem *loadedRoot = Items.Root();
            if (loadedRoot && !sys::SameText(loadedRoot->Name, drive)) {
                loadedRoot->SetName(drive);
                SaveTree();
            }
            const QString folder = FolderOf(root);
            if (!folder.isEmpty())
                SetFolder(folder);
            if (!Focused())
                SetFocused(Items.Root());
            if (!Items.Root())
                Refresh();
        }
    }
    DoFindChange(QString());
    if (OnChangeDrive)
        OnChangeDrive(driveText, Items.Count(), type);
}

void TFolderTree::ScanDrive()
{
    QStringList list;
    ScanDirectory(DriveRoot(drive), list);
    partial = scan.Cancelled();
    Items.LoadFromStrings(list);
}

void TFolderTree::Refresh()
{
    if (drive.isEmpty())
        return;
    TLoadingScope loading(Loading);
    ScanDrive();
    const QString folder = FolderOf(DriveRoot(drive));
    if (!folder.isEmpty())
        SetFolder(folder);
    if (!Focused())
        SetFocused(Items.Root());
}

void TFolderTree::PartRefresh()
{
    TTreeItem *item = Focused();
    if (!item || !DirectoryExists(item->GetFullPath()))
        return;
    const QString path = item->GetFullPath();
    if (item == Items.Root()) {
        // The first level only: vanished folders go, new ones come without
        // their subfolders.
        QStringList names;
        sys::ForEachEntry(path, [&](const sys::WIN32_FIND_DATA &data) {
            if (data.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)
                names.append(data.cFileName);
            return true;
        });
        Items.BeginUpdate();
        for (TTreeItem *child = item->FirstChild; child;) {
            TTreeItem *next = child->Next;
            if (!DirectoryExists(child->GetFullPath()))
                Items.DeleteItem(child);
            child = next;
        }
        for (const QString &name : std::as_const(names))
            Items.AddChildByName(item, name);
        Items.EndUpdate();
    } else {
        QStringList list;
        if (!ScanDirectory(path, list))
            return;
        TTreeItems scratch;
        scratch.LoadFromStrings(list);
        TLoadingScope loading(Loading);
        TTreeItem *parent = item->Parent;
        Items.BeginUpdate();
        Items.DeleteItem(item);
        TTreeItem *fresh = Items.AddSubtree(parent, scratch.Root());
        if (fresh)
            fresh->Expanded = true;
        Items.EndUpdate();
        SetFocused(fresh);
    }
    Redraw();
}

void TFolderTree::SetFolder(const QString &path)
{
    if (path.isEmpty() || !DirectoryExists(path))
        return;
    TLoadingScope loading(Loading);
    const QString folderDrive = sys::ExtractFileDrive(path);
    if (!sys::SameText(folderDrive, drive)) {
        SetDrive(folderDrive);
        // A drive that is not ready leaves the tree of another drive, where
        // the folder has no place.
        if (!sys::SameText(folderDrive, drive))
            return;
    }
    if (!Items.Root())
        ScanDrive();
    if (!Items.Root())
        return;
    if (TTreeItem *item = Items.FindItem(path)) {
        SetFocused(item);
        return;
    }
    // The user stopped the scan: no further one behind their back.
    if (partial)
        return;
    // A stale tree: rescan the nearest folder it knows, or the first-level
    // folder on the way when it knows none.
    QString known = WithoutBackslash(path);
    TTreeItem *found = nullptr;
    while (TFolderScan::PathDepth(known) >= 2 && !found) {
        known = ParentFolder(known);
        found = Items.FindItem(known);
    }
    QStringList list;
    if (!ScanDirectory(known, list) && scan.Cancelled())
        return;
    TTreeItems scratch;
    scratch.LoadFromStrings(list);
    Items.BeginUpdate();
    TTreeItem *parent = Items.Root();
    if (found) {
        parent = found->Parent;
        Items.DeleteItem(found);
    }
    Items.AddSubtree(parent, scratch.Root());
    Items.EndUpdate();
    TTreeItem *item = Items.FindItem(path);
    SetFocused(item ? item : Items.Root());
}

} // namespace kestrel
