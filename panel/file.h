#pragma once
// TFile: one entry of a listing (file, folder, drive or the network entry).
// TFiles: the list that owns one folder's entries, with batch updates,
// look-up by display name and the two-group sort.

#include "platform/wintypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace kestrel {

enum TFileSortType { fstName = 0, fstExt = 1, fstSize = 2, fstTime = 3, fstNone = 4 };

// Drive entries (and the network entry) carry this attribute bit.
inline constexpr sys::DWORD FILE_ATTRIBUTE_DRIVE = 0x4000;

enum TFileKind { fkFile = 0, fkFolder = 1, fkDrive = 2 };

class TFile {
public:
    QString Name;
    QString Ext;
    // The 8.3 name shown when long names are off; empty when the name is
    // already a valid 8.3 name.
    QString ShortName;
    QString Description;
    QString FileType;
    bool Selected = false;
    sys::DWORD Attributes = 0;
    quint64 Size = 0; // the full 64-bit size
    sys::FILETIME Time;
    int Index = -1;
    int ImageIndex = -1;
    bool Cut = false;
    bool NameClipped = false;

    TFileKind Kind() const;
    bool IsParent() const { return Name == QLatin1String(".."); }
    // "C:\" for a drive, the name for a folder, "name.ext" for a file.
    QString GetFullName() const;
    // The display name in 8.3 form (the display name when it has no other).
    QString GetShortName() const;
    // Takes a new name after a rename; drive entries stay as they are.
    void SetFullName(const QString &name);
    void SetDescription(const QString &text) { Description = text; }
    void SetFileType(const QString &text) { FileType = text; }
    void SetSelected(bool selected) { Selected = selected; }
};

class TFiles {
public:
    TFiles() = default;
    TFiles(const TFiles &) = delete;
    TFiles &operator=(const TFiles &) = delete;

    int Count() const { return int(items.size()); }
    int Capacity() const { return int(items.capacity()); }
    TFile *Get(int index) const;
    TFile *operator[](int index) const { return items[std::size_t(index)].get(); }

    void Add(std::unique_ptr<TFile> file);
    TFile *AddFile(const QString &name, quint64 size, sys::DWORD attributes,
                   const sys::FILETIME &time);
    void Delete(int index);
    void Clear(); // does not fire OnChange
    int IndexOf(const QString &displayName) const;
    int CountKind(TFileKind kind) const;
    quint64 TotalSize() const;

    void BeginUpdate() { ++updateCount; }
    void EndUpdate();
    bool Updating() const { return updateCount > 0; }
    void Changed();
    void Sort(TFileSortType type, bool descending);

    // Indexes match positions; for the panel's selection totals see
    // TFileViewModel::IsConsistent.
    bool IsConsistent() const;

    std::function<void()> OnChange;

private:
    void Grow();
    void SortRange(int low, int high, TFileSortType type, bool descending);

    std::vector<std::unique_ptr<TFile>> items;
    int updateCount = 0;
};

// The sort order of two entries for one sort type, ascending: < 0, 0, > 0.
int CompareFiles(const TFile &a, const TFile &b, TFileSortType type);

} // namespace kestrel
