#include "archive/archive.h"

#include "archive/archivestrings.h"
#include "ops/ask.h"
#include "ops/operationlock.h"
#include "panel/file.h"
#include "platform/fileapi.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

int CompareKeys(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

// The path up to its last backslash; "" when it has none.
QString ParentPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : path.left(slash);
}

} // namespace

int TArchiveEntries::Add(const QString &key, std::unique_ptr<TArchiveEntry> entry)
{
    if (!sorted) {
        items.push_back({key, std::move(entry)});
        return Count() - 1;
    }
    const auto at =
        std::upper_bound(items.begin(), items.end(), key, [](const QString &k, const Item &item) {
            return CompareKeys(k, item.key) < 0;
        });
    const auto placed = items.insert(at, {key, std::move(entry)});
    return int(placed - items.begin());
}

int TArchiveEntries::IndexOf(const QString &key) const
{
    for (int i = 0; i < Count(); ++i) {
        if (CompareKeys(items[std::size_t(i)].key, key) == 0)
            return i;
    }
    return -1;
}

void TArchiveEntries::SetSorted(bool value)
{
    if (value && !sorted) {
        std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
            return CompareKeys(a.key, b.key) < 0;
        });
    }
    sorted = value;
}

int TArchiveEntries::Find(const QString &key) const
{
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = CompareKeys(items[std::size_t(middle)].key, key);
        if (c == 0)
            return middle;
        if (c < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

void TArchive::SetFileName(const QString &path)
{
    FileName = path;
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    if (attributes != sys::INVALID_FILE_ATTRIBUTES && !(attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
        ReadList();
}

bool TArchive::ChangeDir(const QString &path)
{
    const QString old = CurrentDir;
    if (path.isEmpty() || path == QLatin1String("\\"))
        CurrentDir.clear();
    else if (path == QLatin1String(".."))
        CurrentDir = ParentPath(old);
    else if (path.startsWith(QLatin1Char('\\')))
        CurrentDir = path.mid(1);
    else if (!old.isEmpty())
        CurrentDir = old + QLatin1Char('\\') + path;
    else
        CurrentDir = path;
    if (CurrentDir.endsWith(QLatin1Char('\\')))
        CurrentDir.chop(1);
    if (!CurrentDir.isEmpty() && Folders.IndexOf(CurrentDir) < 0) {
        CurrentDir = old;
        return false;
    }
    return true;
}

void TArchive::FillList(TFiles &list) const
{
    int current = -1;
    if (!CurrentDir.isEmpty()) {
        current = Folders.IndexOf(CurrentDir);
        if (current < 0)
            return;
    }
    list.BeginUpdate();
    for (const TArchiveEntries *entries : {&Folders, &Files}) {
        for (int i = 0; i < entries->Count(); ++i) {
            const TArchiveEntry &e = *entries->Entry(i);
            if (e.Parent == current)
                list.AddFile(e.Name, e.Size, e.Attributes, e.Time);
        }
    }
    list.EndUpdate();
}

sys::UINT64 TArchive::TotalSize() const
{
    sys::UINT64 total = 0;
    for (int i = 0; i < Files.Count(); ++i)
        total += Files.Entry(i)->Size;
    return total;
}

sys::UINT64 TArchive::TotalPackedSize() const
{
    sys::UINT64 total = 0;
    for (int i = 0; i < Files.Count(); ++i)
        total += Files.Entry(i)->PackedSize;
    return total;
}

int TArchive::Ratio() const
{
    const sys::UINT64 total = TotalSize();
    if (total == 0)
        return 0;
    return int(std::ceil(double(TotalPackedSize()) * 100.0 / double(total)));
}

void TArchive::AddFolder(const QString &path, std::unique_ptr<TArchiveEntry> entry)
{
    Folders.Add(path, std::move(entry));
}

void TArchive::AddFile(const QString &path, std::unique_ptr<TArchiveEntry> entry)
{
    Files.Add(path, std::move(entry));
}

bool TArchive::AskPassword(QString &password) const
{
    const TOperationGuard guard;
    QString text;
    if (Ask().GetString(Owner, ArchiveStr(30401), ArchiveStr(30400), text, false, false, true) !=
        mrOk)
        return false;
    password = text;
    return true;
}

void TArchive::AppendFolderWildcards(QStringList &names) const
{
    for (QString &name : names) {
        if (Folders.IndexOf(name) >= 0)
            name += QLatin1String("\\*.*");
    }
}

void TArchive::BuildFolders()
{
    Folders.SetSorted(true);
    // The folder of each file, kept for its Parent below.
    QStringList fileFolders;
    fileFolders.reserve(Files.Count());
    QString previous;
    for (int i = 0; i < Files.Count(); ++i) {
        const QString d = ParentPath(Files.Key(i));
        fileFolders.append(d);
        if (d != previous)
            AddMissingFolders(d, Files.Entry(i)->Time);
        previous = d;
    }
    // A stored folder whose parents are neither stored nor implied by a
    // file would otherwise show at the root.
    QStringList parents;
    for (int j = 0; j < Folders.Count(); ++j) {
        const QString p = ParentPath(Folders.Key(j));
        if (!p.isEmpty() && FindFolder(p) < 0)
            parents.append(Folders.Key(j));
    }
    for (const QString &key : parents)
        AddMissingFolders(ParentPath(key), Folders.Entry(FindFolder(key))->Time);
    for (int j = 0; j < Folders.Count(); ++j) {
        const QString p = ParentPath(Folders.Key(j));
        Folders.Entry(j)->Parent = p.isEmpty() ? -1 : FindFolder(p);
    }
    for (int i = 0; i < Files.Count(); ++i) {
        const QString &d = fileFolders[i];
        Files.Entry(i)->Parent = d.isEmpty() ? -1 : FindFolder(d);
    }
    Folders.SetSorted(false);
}

void TArchive::AddMissingFolders(QString path, const sys::FILETIME &time)
{
    while (!path.isEmpty()) {
        if (FindFolder(path) < 0) {
            auto folder = std::make_unique<TArchiveEntry>();
            folder->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
            folder->Attributes = sys::FILE_ATTRIBUTE_DIRECTORY;
            folder->Time = time;
            Folders.Add(path, std::move(folder));
        }
        path = ParentPath(path);
    }
}

} // namespace kestrel
