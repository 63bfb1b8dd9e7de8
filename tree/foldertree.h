#pragma once
// TFolderTree: the folder tree control's drive side, still without a window.
// It switches drives (loading the drive's tree information file, or scanning
// the drive when there is none), focuses folders by path (rescanning the
// nearest known folder when the tree is stale), refreshes the whole drive or
// one branch, and writes the tree file after every completed model change.

#include "tree/folderscan.h"
#include "tree/folderviewmodel.h"

#include <QStringList>

namespace kestrel {

class TFolderTree : public TFolderViewModel {
public:
    TFolderTree();

    // "C:" or "\\server\share"; empty before the first drive.
    QString Drive() const { return drive; }
    QString TreeFile() const { return treeFile; }
    // "C:\=C:\Data" pairs: the folder last shown on each drive, focused when
    // the tree switches to the drive, and drawn in the open-folder colour.
    QStringList FolderList;
    QString TreePath;        // folder of the tree files, "" for the program's
    bool SaveInRoot = false; // tree files in each drive's root instead

    void SetDrive(const QString &driveText);
    void SetFolder(const QString &path);
    QString GetFolder() const;
    void Refresh();     // full rescan of the drive
    void PartRefresh(); // rescan of the focused folder's subtree
    void SaveTree();
    bool ScanDirectory(const QString &path, QStringList &list);
    // The FolderList folder of the current drive, "" when there is none.
    QString OpenFolder() const;

    std::function<void()> OnBeforeScan;
    std::function<void()> OnAfterScan;
    std::function<bool(const QString &folder)> OnScan; // false cancels the scan
    // At the end of SetDrive, ready or not: the drive asked for, the model's
    // node count, the drive's type (DRIVE_FIXED, ...).
    std::function<void(const QString &drive, int folderCount, unsigned driveType)> OnChangeDrive;

protected:
    void ItemsChanged() override;
    // Tells that the drive's tree file could not be read; the drive is then
    // scanned. The default shows an error box.
    virtual void ShowLoadError(const QString &message);

private:
    // Scans the whole drive into the model.
    void ScanDrive();
    QString FolderOf(const QString &root) const;

    QString drive;
    QString treeFile;
    TFolderScan scan;
    // A cancelled drive scan is shown but never saved as the drive's tree.
    bool partial = false;
};

} // namespace kestrel
