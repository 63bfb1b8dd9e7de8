#include "panel/file.h"

#include "platform/filetime.h"
#include "text/caseless.h"

#include <algorithm>

namespace kestrel {

TFileKind TFile::Kind() const
{
    if (Attributes & sys::FILE_ATTRIBUTE_DIRECTORY)
        return fkFolder;
    if (Attributes & FILE_ATTRIBUTE_DRIVE)
        return fkDrive;
    return fkFile;
}

QString TFile::GetFullName() const
{
    switch (Kind()) {
    case fkDrive:
        return Name + QLatin1String(":\\");
    case fkFolder:
        return Name;
    case fkFile:
        break;
    }
    return Ext.isEmpty() ? Name : Name + QLatin1Char('.') + Ext;
}

QString TFile::GetShortName() const
{
    return ShortName.isEmpty() || Kind() == fkDrive ? GetFullName() : ShortName;
}

static void SplitFileName(const QString &name, QString &base, QString &ext)
{
    // A found entry's name carries its folders: a dot in those is no extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < name.lastIndexOf(QLatin1Char('\\'))) {
        base = name;
        ext.clear();
    } else {
        base = name.left(dot);
        ext = name.mid(dot + 1);
    }
}

void TFile::SetFullName(const QString &name)
{
    switch (Kind()) {
    case fkDrive:
        return;
    case fkFolder:
        Name = name;
        ShortName.clear(); // unknown until the folder is listed again
        return;
    case fkFile:
        ShortName.clear();
        SplitFileName(name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1), Name, Ext);
        return;
    }
}

TFile *TFiles::Get(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items[std::size_t(index)].get();
}

void TFiles::Grow()
{
    const std::size_t capacity = items.capacity();
    std::size_t delta = capacity / 4;
    if (capacity <= 8)
        delta = 4;
    else if (capacity <= 64)
        delta = 16;
    items.reserve(capacity + delta);
}

void TFiles::Add(std::unique_ptr<TFile> file)
{
    if (items.size() == items.capacity())
        Grow();
    items.push_back(std::move(file));
    Changed();
}

TFile *TFiles::AddFile(const QString &name, quint64 size, sys::DWORD attributes,
                       const sys::FILETIME &time)
{
    auto file = std::make_unique<TFile>();
    file->Attributes = attributes;
    file->Time = time;
    if (attributes & (sys::FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DRIVE)) {
        file->Name = name;
    } else {
        SplitFileName(name, file->Name, file->Ext);
        file->Size = size;
    }
    TFile *added = file.get();
    Add(std::move(file));
    return added;
}

void TFiles::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    items.erase(items.begin() + index);
    Changed();
}

void TFiles::Clear()
{
    items.clear();
    items.shrink_to_fit();
}

int TFiles::IndexOf(const QString &displayName) const
{
    for (int i = 0; i < Count(); ++i) {
        if (items[std::size_t(i)]->GetFullName().compare(displayName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TFiles::CountKind(TFileKind kind) const
{
    int n = 0;
    for (const auto &file : items)
        n += file->Kind() == kind;
    return n;
}

quint64 TFiles::TotalSize() const
{
    quint64 total = 0;
    for (const auto &file : items) {
        if (file->Kind() == fkFile)
            total += file->Size;
    }
    return total;
}

void TFiles::EndUpdate()
{
    if (updateCount > 0)
        --updateCount;
    Changed();
}

void TFiles::Changed()
{
    if (updateCount != 0)
        return;
    for (int i = 0; i < Count(); ++i)
        items[std::size_t(i)]->Index = i;
    if (OnChange)
        OnChange();
}

bool TFiles::IsConsistent() const
{
    for (int i = 0; i < Count(); ++i) {
        if (!items[std::size_t(i)] || items[std::size_t(i)]->Index != i)
            return false;
    }
    return true;
}

static int CompareNames(const TFile &a, const TFile &b)
{
    const int byName = CompareCaseless(a.Name, b.Name);
    return byName != 0 ? byName : CompareCaseless(a.Ext, b.Ext);
}

int CompareFiles(const TFile &a, const TFile &b, TFileSortType type)
{
    switch (type) {
    case fstExt: {
        const int byExt = CompareCaseless(a.Ext, b.Ext);
        return byExt != 0 ? byExt : CompareCaseless(a.Name, b.Name);
    }
    case fstSize:
        if (a.Size != b.Size)
            return a.Size < b.Size ? -1 : 1;
        return CompareNames(a, b);
    case fstTime: {
        const int byTime = sys::CompareFileTime(a.Time, b.Time);
        return byTime != 0 ? byTime : CompareNames(a, b);
    }
    case fstName:
    case fstNone:
        break;
    }
    return CompareNames(a, b);
}

// Quicksort on the middle element; the smaller part is sorted by recursion and
// the larger one by the loop, so the stack stays shallow on any input.
void TFiles::SortRange(int low, int high, TFileSortType type, bool descending)
{
    auto before = [&](const TFile &entry, const TFile &pivot) {
        return descending ? CompareFiles(pivot, entry, type) < 0
                          : CompareFiles(entry, pivot, type) < 0;
    };
    while (low < high) {
        int i = low;
        int j = high;
        const TFile *pivot = items[std::size_t((low + high) / 2)].get();
        do {
            while (before(*items[std::size_t(i)], *pivot))
                ++i;
            while (before(*pivot, *items[std::size_t(j)]))
                --j;
            if (i <= j) {
                std::swap(items[std::size_t(i)], items[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - low < high - i) {
            SortRange(low, j, type, descending);
            low = i;
        } else {
            SortRange(i, high, type, descending);
            high = j;
        }
    }
}

void TFiles::Sort(TFileSortType type, bool descending)
{
    if (type == fstNone)
        return;
    const int folders = CountKind(fkFolder);
    const int files = CountKind(fkFile);
    if (folders > 1) {
        const int first = items[0]->Name == QLatin1String("..") ? 1 : 0;
        const TFileSortType folderType = (type == fstExt || type == fstSize) ? fstName : type;
        SortRange(first, folders - 1, folderType, descending);
    }
    if (files > 1)
        SortRange(folders, folders + files - 1, type, descending);
    Changed();
}

} // namespace kestrel
