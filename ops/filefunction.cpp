#include "ops/filefunction.h"

#include "platform/drives.h"
#include "platform/fileapi.h"

#include <algorithm>

namespace kestrel {

int TFileFunction::SuccessCount() const
{
    return int(std::count(Results.begin(), Results.end(), 1));
}

bool TFileFunction::Succeeded(int index) const
{
    return index >= 0 && size_t(index) < Results.size() && Results[size_t(index)] == 1;
}

void TFileFunction::ResetResults()
{
    Results.assign(size_t(Files.size()), 0);
}

namespace {

sys::UINT64 SizeOf(const sys::WIN32_FIND_DATA &data)
{
    return (sys::UINT64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

bool IsLink(sys::DWORD attributes)
{
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsRealFolder(sys::DWORD attributes)
{
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY) && !IsLink(attributes);
}

TTreeTotals FolderTotals(const QString &folder)
{
    TTreeTotals totals;
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        if (IsRealFolder(data.dwFileAttributes)) {
            const TTreeTotals sub = FolderTotals(sys::JoinPath(folder, data.cFileName));
            totals.files += sub.files;
            totals.bytes += sub.bytes;
        } else {
            ++totals.files;
            if (!IsLink(data.dwFileAttributes))
                totals.bytes += SizeOf(data);
        }
        return true;
    });
    return totals;
}

TTreeTotals ItemTotals(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    if (IsRealFolder(attributes))
        return FolderTotals(path);
    TTreeTotals totals;
    totals.files = 1;
    if (IsLink(attributes))
        return totals;
    const sys::HANDLE file =
        sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ | sys::FILE_SHARE_WRITE,
                        sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (file != sys::INVALID_HANDLE_VALUE) {
        const sys::UINT64 size = sys::GetFileSize64(file);
        if (size != sys::INVALID_FILE_SIZE64)
            totals.bytes = size;
        sys::CloseHandle(file);
    }
    return totals;
}

QString AbsolutePath(const QString &path)
{
    if (path.contains(QLatin1Char(':')) || path.startsWith(QLatin1String("\\\\")))
        return path;
    return sys::JoinPath(sys::GetCurrentDirectory(), path);
}

namespace {

bool IsSameOrInsideByName(const QString &path, const QString &folder)
{
    QString base = folder;
    while (base.endsWith(QLatin1Char('\\')) && !sys::IsRoot(base))
        base.chop(1);
    QString p = path;
    while (p.endsWith(QLatin1Char('\\')) && !sys::IsRoot(p))
        p.chop(1);
    if (sys::SameText(p, base))
        return true;
    if (!base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('\\');
    return p.startsWith(base, Qt::CaseInsensitive);
}

} // namespace

bool IsSameOrInside(const QString &path, const QString &folder)
{
    if (IsSameOrInsideByName(path, folder))
        return true;
    // Through a link one folder has other names (C:\Mixed\LINK\Sub for
    // C:\Data\Sub): the places the names lead to decide.
    const QString finalPath = sys::GetFinalPathName(path);
    const QString finalFolder = sys::GetFinalPathName(folder);
    return !finalPath.isEmpty() && !finalFolder.isEmpty() &&
           IsSameOrInsideByName(finalPath, finalFolder);
}

QString FolderDisplayName(const QString &folder)
{
    QString f = folder;
    while (f.endsWith(QLatin1Char('\\')) && !sys::IsRoot(f))
        f.chop(1);
    const QString name = sys::ExtractFileName(f);
    return name.isEmpty() ? sys::ExtractFileDrive(f) : name;
}

} // namespace kestrel
