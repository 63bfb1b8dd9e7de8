#include "tree/treeinfo.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/shell.h"
#include "tree/treeitems.h"

namespace kestrel {

namespace {

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           !(attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

bool Load(TTreeItems &items, const QString &treeFile)
{
    return FileExists(treeFile) && items.LoadFromFile(treeFile);
}

// Within one tree a folder cannot be copied into itself or below itself.
bool CopyableInto(const TTreeItem *source, const TTreeItem *dest)
{
    return source != dest && !dest->IsChildOf(source);
}

} // namespace

QString TreeFileName(const QString &drive, bool saveInRoot, const QString &treePath)
{
    if (drive.isEmpty())
        return QString();
    const QString root = DriveRoot(drive);
    if (saveInRoot)
        return sys::JoinPath(root, QStringLiteral("treeinfo.kcd"));
    sys::DWORD serial = 0;
    if (!sys::GetVolumeInformation(root, nullptr, &serial) || serial == 0)
        return QString();
    const QString folder = treePath.isEmpty() ? sys::ProgramDir() : treePath;
    const QString name = QString::number(serial, 16).rightJustified(8, QLatin1Char('0')).toUpper();
    return sys::JoinPath(folder, name + QStringLiteral(".kcd"));
}

void TreeInfoDeleteFolders(const QString &treeFile, const QStringList &folders)
{
    TTreeItems items;
    if (!Load(items, treeFile))
        return;
    for (const QString &folder : folders) {
        TTreeItem *node = items.FindItem(folder);
        // The root stands for the drive itself, never for a deleted folder.
        if (node && node != items.Root())
            items.DeleteItem(node);
    }
    items.SaveToFile(treeFile);
}

void TreeInfoCopyFolders(const QString &sourceFile, const QString &destFile,
                         const QStringList &folders, const QString &destFolder, bool move)
{
    if (!FileExists(sourceFile) || !FileExists(destFile))
        return;
    const bool oneFile = sys::SameText(sourceFile, destFile);
    TTreeItems destItems;
    TTreeItems sourceStore;
    TTreeItems &sourceItems = oneFile ? destItems : sourceStore;
    if (!Load(destItems, destFile) || (!oneFile && !Load(sourceItems, sourceFile)))
        return;
    TTreeItem *dest = destItems.FindItem(destFolder);
    if (!dest)
        return;
    for (const QString &folder : folders) {
        TTreeItem *source = sourceItems.FindItem(folder);
        if (!source || source == sourceItems.Root() || (oneFile && !CopyableInto(source, dest)))
            continue;
        TTreeItem *copy = destItems.AddSubtree(dest, source);
        // A move onto itself (into its own parent) leaves the one node there is.
        if (move && copy != source)
            sourceItems.DeleteItem(source);
    }
    if (move && !oneFile)
        sourceItems.SaveToFile(sourceFile);
    destItems.SaveToFile(destFile);
}

void TreeInfoRenameFolders(const QString &treeFile, const QStringList &renames)
{
    TTreeItems items;
    if (!Load(items, treeFile))
        return;
    for (const QString &pair : renames) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        TTreeItem *node = items.FindItem(pair.left(eq));
        const QString name = pair.mid(eq + 1);
        if (node && node != items.Root() && !name.isEmpty())
            node->SetName(name);
    }
    items.SaveToFile(treeFile);
}

void TreeInfoNewFolder(const QString &treeFile, const QString &folder, const QString &name)
{
    TTreeItems items;
    if (!Load(items, treeFile))
        return;
    if (TTreeItem *node = items.FindItem(folder))
        items.AddChildByName(node, name);
    items.SaveToFile(treeFile);
}

} // namespace kestrel
