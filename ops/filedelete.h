#pragma once
// TFileDelete: deletes files and folder trees, to the Recycle Bin or for
// good, asking before items with important attributes.

#include "ops/filefunction.h"

namespace kestrel {

class TFileDelete : public TFileFunction {
public:
    explicit TFileDelete(QObject *owner) : TFileFunction(owner) {}

    bool UseRecycleBin = true;  // items go to the Trash whole; else they are removed for good
    bool WarnAttributes = true; // ask before read-only, hidden or system items

    // Deletes every item of Files; returns the result of the last item handled.
    int Execute();

    // The per-item workers, also used by a move to remove its sources. A link
    // to a folder is removed itself: its folder is never entered.
    int DeleteItem(const QString &path, sys::DWORD attributes);
    int DeleteOneFile(const QString &path, sys::DWORD attributes);
    int DeleteFolderTree(const QString &path, sys::DWORD attributes);

private:
    // Removes a file, or sends a file or folder to the Trash; files: what it
    // counts for in the progress window.
    int RemoveOne(const QString &path, sys::DWORD attributes, int files);
    int WarnAttributesOf(const QString &path, sys::DWORD attributes);
    int DeleteContents(const QString &folder);
    int RemoveEmptiedFolder(const QString &folder);
};

} // namespace kestrel
