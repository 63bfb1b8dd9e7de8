#pragma once
// TFileFunction: the work list of a copy, move or delete run, the window the
// run belongs to, and one result flag per item.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

#include <vector>

class QObject;

namespace kestrel {

class TFileFunction {
public:
    explicit TFileFunction(QObject *owner) : Owner(owner) {}
    virtual ~TFileFunction() = default;
    TFileFunction(const TFileFunction &) = delete;
    TFileFunction &operator=(const TFileFunction &) = delete;

    QObject *Owner;
    QStringList Files; // full paths of the top-level items
    bool ShowProgress = true;
    bool Cancelled = false; // the user cancelled the attribute warning of a delete

    // Of the last run; 0 and false before any run.
    int SuccessCount() const;
    bool Succeeded(int index) const;

protected:
    void ResetResults();
    void SetResult(int index, int result) { Results[size_t(index)] = result == 0; }

private:
    std::vector<unsigned char> Results;
};

// A symbolic link, to a folder, a file or nothing: copied, moved and deleted
// as the link itself and never entered, so a run stays inside its folders.
bool IsLink(sys::DWORD attributes);
// A folder that is not a link.
bool IsRealFolder(sys::DWORD attributes);

// Files and bytes below a top-level item: a file counts itself, a folder every
// file of its subtree, a link one file of no bytes; what cannot be read
// counts nothing.
struct TTreeTotals {
    int files = 0;
    sys::UINT64 bytes = 0;
};
TTreeTotals ItemTotals(const QString &path);
TTreeTotals FolderTotals(const QString &folder);

// A path without a drive or share taken relative to the current folder.
QString AbsolutePath(const QString &path);
// True when path is folder itself or lies below it (case ignored), by its
// names or, through links, by the places they lead to.
bool IsSameOrInside(const QString &path, const QString &folder);
// The last name of a folder path, or its drive when it is a root.
QString FolderDisplayName(const QString &folder);

} // namespace kestrel
