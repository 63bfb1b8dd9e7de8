#pragma once
// TFileListing: the panel's listing operations. Enters folders and drives
// (the process's current directory follows the folder shown; the folder
// keeps the links it was reached through), lists the folder's sub-folders,
// files by filter masks and the machine's drives, sorts, and opens entries.
// Owner-data mode takes the listing from OnOwnerData (archives) instead of
// the file system. Found mode lists given entries of many folders: each
// name is a path relative to the folder shown, so the folder joined with a
// name is the entry's real path, as in any folder; ".." goes back to the
// folder shown before.

#include "panel/fileviewmodel.h"

#include <QStringList>

namespace kestrel {

class TFileListing : public TFileViewModel {
public:
    TFileListing() = default;

    QString Folder() const { return folder; } // no trailing '\' except at a root
    QString Drive() const { return drive; }   // "C:" or "\\server\share"
    QString Filter() const { return filter; }
    bool ViewHidden() const { return viewHidden; }
    TFileSortType SortType() const { return sortType; }
    bool Descend() const { return descend; }
    bool OwnerData() const { return ownerData; }
    bool FoundMode() const { return found; }

    // False (with the last error set) when the folder cannot be entered.
    bool SetFolder(const QString &path);
    void SetDrive(const QString &driveText);
    void Refresh(const QString &focusName, bool keepSelection);
    void ScanFiles();
    void ScanDrives();
    void SetFilter(const QString &text);
    void SetViewHidden(bool value);
    void SetSortType(TFileSortType type);
    void SetDescend(bool value);
    void SetOwnerData(bool value);
    // Enters found mode on root (a folder holding every entry) with the
    // entries at these relative paths (Windows form); those gone are left
    // out. False, with the last error set, when root cannot be entered.
    bool ShowFound(const QString &root, const QStringList &names);
    void Sort() { Files.Sort(sortType, descend); }
    void Open() override;
    QString GetFileName() const;
    QString GetFileType(TFile &file) const;
    QString GetFileType(TFile *file) const { return file ? GetFileType(*file) : QString(); }
    // Descriptions (descriptions.cpp). HasDescript: a listed entry had a
    // line at the last load, or has a description since the last save.
    bool HasDescript = false;
    // Fills the descriptions of a fresh file-system listing from the folder's
    // descript.dat.
    void LoadDescript();
    // Describes the entries of a folder whose descriptions come from
    // elsewhere (the Trash's records); true when it did, and descript.dat
    // is then not read.
    std::function<bool()> OnDescribe;
    // Writes the descriptions of the listed entries; lines of other names
    // (hidden or filtered entries) stay as they are, lines of the names in
    // gone go. False, with the last error set, when the file could not be
    // read or written; it is then left as it was.
    bool SaveDescript(const QStringList &gone = {});
    // Deletes the folder's descript.dat and clears every listed description.
    bool DeleteAllDescript();
    // Hooks for the commands that change entries. After a rename in place
    // (the entry may already be listed under its new name, or re-listed):
    // the description moves to the new name.
    bool DescriptRenamed(const QString &oldName, const QString &newName);
    // After entries were deleted, before they leave the listing.
    bool DescriptDeleted(const QStringList &names);
    // After a copy or move of listed entries into another folder: each pair
    // is the entry's name here and the name it got there. An existing line
    // of the target name is replaced; a destination file that cannot be read
    // is left alone and nothing changes.
    struct TDescriptCopy {
        QString source;
        QString target;
    };
    bool DescriptCopied(const QString &destFolder, const QList<TDescriptCopy> &done, bool move);

    // root=folder lines: the last folder shown on each drive.
    QStringList LastDirs;

    // Label shown for a drive root: "Floppy" for removable drives (never
    // read), else the volume label, else "Local"/"CDROM"/"".
    static QString DriveLabelText(const QString &root);

    std::function<void(bool &addDrives)> OnOwnerData;
    std::function<void(bool &handled)> OnOpen;
    std::function<void(QString &title)> OnGetTitle;
    std::function<void()> OnChangeDir;
    // Starts a file through the desktop; the widget installs the shell's.
    // False with the last error set when it cannot.
    std::function<bool(const QString &path)> OnShellOpen;

private:
    void GetOwnerData();
    // Lists the found entries that still exist, read afresh from the disk.
    void ScanFound(const QStringList &names);
    // One entry of the folder as the search delivered it.
    struct Found {
        QString name;
        QString shortName;
        quint64 size;
        sys::DWORD attributes;
        sys::FILETIME time;
    };
    QList<Found> ReadFolder(bool atRoot) const;
    // A path relative to the folder shown ("Sub", "..", "\\") made full
    // from it; full paths as they are.
    QString PathFromFolder(const QString &path) const;
    void RememberFolder();

    QString folder;
    QString drive;
    QString filter = QStringLiteral("*.*");
    bool viewHidden = false;
    TFileSortType sortType = fstName;
    bool descend = false;
    bool ownerData = false;
    bool found = false;
    QString folderBeforeFound;
};

} // namespace kestrel
