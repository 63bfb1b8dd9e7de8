#pragma once
// Scanning a folder's subtree from the disk into the text form of a tree
// (the lines of a tree information file, every flag "1", siblings in the
// order the file system lists them).

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

class TFolderScan {
public:
    std::function<void()> OnBeforeScan;
    std::function<void()> OnAfterScan;
    // Each folder found; returning false cancels the scan.
    std::function<bool(const QString &folder)> OnScan;

    // Fills list with the first line for path itself ("1" + its depth in two
    // characters + its last name, or + " 0" + the drive for a root) and one
    // line "1%2d%s" per folder below it, in pre-order. Links to folders are
    // listed without their contents; nothing deeper than the file format's
    // deepest level is listed. False, list untouched, when path cannot be
    // entered or is itself deeper than the format holds. A cancelled scan
    // returns false with the folders found so far in list.
    bool ScanDirectory(const QString &path, QStringList &list);
    bool Cancelled() const { return cancelled; }

    // Depth of a full path as the tree counts it: 0 for a root, 1 for its
    // folders, ...
    static int PathDepth(const QString &path);

private:
    bool cancelled = false;
};

} // namespace kestrel
