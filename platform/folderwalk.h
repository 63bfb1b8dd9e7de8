#pragma once
// Walking the folders below a folder, for the folder tree. The walk goes by
// descriptor, never through the current directory. Links to folders are
// reported but not entered, so a link back up cannot make it endless; mounts
// of virtual, network and FUSE file systems and the roots of other drives and
// shares below the folder are reported but not entered either.

#include <QByteArray>
#include <QString>

#include <functional>

namespace kestrel::sys {

// Called in pre-order with a folder's name and its depth (1 for the start
// folder's own subfolders); a folder's subfolders follow it in the order the
// file system lists them. Returning false ends the walk.
using FolderVisit = std::function<bool(const QString &name, int depth)>;

// A walk of the folders below one folder. Each folder entered, the first
// one too, counts as an Enter for the fault hook.
class FolderWalk {
public:
    FolderWalk() = default;
    ~FolderWalk();
    FolderWalk(const FolderWalk &) = delete;
    FolderWalk &operator=(const FolderWalk &) = delete;

    // False (last error set) when the folder cannot be entered.
    bool Open(const QString &folder);
    // Reports every folder below the open one that can be entered, down to
    // maxDepth: a folder at that depth is reported but not entered. A folder
    // that cannot be entered is left out with its subtree; one that can be
    // entered but not read is reported without subfolders. Once only. False
    // when a visit ended the walk.
    bool Walk(int maxDepth, const FolderVisit &visit);

private:
    int fd = -1;
    QByteArray native;
};

} // namespace kestrel::sys
