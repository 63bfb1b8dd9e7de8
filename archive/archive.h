#pragma once
// TArchive: what every archive handler derives from. It keeps the archive's
// items in two lists keyed by their paths inside the archive (files, and
// folders stored or implied), builds the folder structure from those paths,
// walks it like a folder and fills the panel's list with one folder's
// entries. Handlers read the list, add and extract.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace kestrel {

class TFile;
class TFiles;

// One archived item.
struct TArchiveEntry {
    QString Name;         // last component of the item's path
    sys::UINT64 Size = 0; // unpacked
    sys::UINT64 PackedSize = 0;
    sys::DWORD Attributes = 0; // 0x10 marks a folder
    sys::FILETIME Time;        // last write, UTC
    int Parent = -1;           // index in Folders, -1 for the root
};

// A list of entries keyed by path, owning them. Keys compare without regard
// to case. While sorted, additions go to their sorted place and Find bisects.
class TArchiveEntries {
public:
    int Count() const { return int(items.size()); }
    const QString &Key(int index) const { return items[std::size_t(index)].key; }
    TArchiveEntry *Entry(int index) const { return items[std::size_t(index)].entry.get(); }

    // Returns the index the entry got.
    int Add(const QString &key, std::unique_ptr<TArchiveEntry> entry);
    void Clear() { items.clear(); }
    int IndexOf(const QString &key) const; // linear; -1 when absent

    bool Sorted() const { return sorted; }
    void SetSorted(bool value);         // sorting keeps equal keys in their order
    int Find(const QString &key) const; // bisection, only while sorted

private:
    struct Item {
        QString key;
        std::unique_ptr<TArchiveEntry> entry;
    };
    std::vector<Item> items;
    bool sorted = false;
};

// Kinds of OnProgress reports.
enum TArchiveProgressKind : int {
    apkItem = 0,      // a new item starts: its unpacked size, its path
    apkBytes = 1,     // bytes processed since the last report
    apkEnd = 2,       // end of the operation, also after a cancel
    apkItemCount = 3, // items that will be processed
    apkByteTotal = 4, // bytes that will be processed
};

// AddOptions bits.
inline constexpr int aoRecurse = 0x02;
inline constexpr int aoMove = 0x10;

class TArchive {
public:
    using TProgressEvent =
        std::function<void(TArchive &sender, int kind, sys::INT64 amount, const QString &name)>;
    // result: 0 the volume was not found (set 1 to try again), 1 a new volume opened.
    using TChangeVolumeEvent =
        std::function<void(TArchive &sender, const QString &volumeName, int &result)>;
    // mode: the conflict flags (feOverwrite, feSkip, feCancel, feAll); the
    // target path may be changed with feRename.
    using TFileExistsEvent =
        std::function<void(TArchive &sender, const TFile &entry, int &mode, QString &targetPath)>;

    TArchive() = default;
    virtual ~TArchive() = default;
    TArchive(const TArchive &) = delete;
    TArchive &operator=(const TArchive &) = delete;

    QString FileName;
    QString CurrentDir; // "" the root; backslashes, none leading or trailing
    TProgressEvent OnProgress;
    TChangeVolumeEvent OnChangeVolume;
    TFileExistsEvent OnFileExists;
    // Asked between the entries while the list is read (the formats whose
    // headers lie all through the file); true ends the reading, the list
    // then holding what was read.
    std::function<bool()> StopListing;
    bool ListingStopped() const { return StopListing && StopListing(); }
    TArchiveEntries Files;
    TArchiveEntries Folders;
    int AddOptions = 0;
    QStringList Names; // items (or folder wildcards) to add or extract; empty: all
    bool Cancel = false;
    QString Password;
    int Compression = 1; // 0 maximum, 1 normal, 2 store
    sys::INT64 VolumeSize = 0;
    QString ProgramPath;
    int OverwriteMode = 0;
    QObject *Owner = nullptr; // the window the questions belong to
    // Set by ReadList when the file is not of the handler's format at all:
    // nothing is listed, and it is not opened as an archive.
    bool WrongFormat = false;
    // Set by Add: true only when the archive was written whole.
    bool Added = false;

    // Reads the archive's directory into Files and Folders. Here: the
    // folder structure (BuildFolders), which every handler runs last.
    virtual void ReadList() { BuildFolders(); }
    virtual void Add() {}
    // Extracts the items selected by Names (all when empty) below the
    // destination, keeping the stored folder paths.
    virtual void Extract(const QString &destination) { Q_UNUSED(destination); }

    // Stores the path and reads the list when the file exists.
    void SetFileName(const QString &path);
    // Moves CurrentDir: "" or "\" the root, ".." one up, "\a\b" absolute,
    // else relative. False, keeping the folder, when the archive lacks it.
    bool ChangeDir(const QString &path);
    // Adds the folders, then the files, of CurrentDir to a panel list.
    void FillList(TFiles &list) const;
    int EntryCount() const { return Files.Count() + Folders.Count(); }
    sys::UINT64 TotalSize() const;
    sys::UINT64 TotalPackedSize() const;
    // Packed size in percent of the unpacked size, rounded up; 0 when empty.
    int Ratio() const;
    void AddFolder(const QString &path, std::unique_ptr<TArchiveEntry> entry);
    void AddFile(const QString &path, std::unique_ptr<TArchiveEntry> entry);
    // Bisection in the sorted Folders; -1 when absent.
    int FindFolder(const QString &path) const { return Folders.Find(path); }
    // The password prompt; false when cancelled.
    bool AskPassword(QString &password) const;
    // Each name that is a folder of the archive becomes name + "\*.*".
    void AppendFolderWildcards(QStringList &names) const;

protected:
    void BuildFolders();

private:
    // Adds path and each of its parents that Folders lacks, with the time given.
    void AddMissingFolders(QString path, const sys::FILETIME &time);
};

} // namespace kestrel
