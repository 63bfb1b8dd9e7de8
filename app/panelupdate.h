#pragma once
// Brings the panel, the descriptions and the drives' tree information files
// up to date after a copy, move or delete run, from its per-item results,
// so that the panel shows what is on disk without reading the folder again.

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

class TFileListing;
class TFileViewModel;

// Where the tree information files live (TreeRoot, TreePath).
struct TTreeFileOptions {
    bool saveInRoot = false;
    QString treePath;
};

// What a run did to the entries it was handed: their panel indexes in panel
// order, whether each was done, and the name each got in the destination.
struct TRunResult {
    QList<int> indexes;
    QList<bool> done;
    QStringList targetNames; // empty, or one per index ("" keeps the name)
    bool AnyDone() const { return done.contains(true); }
};

// The indexes a command works on: the selected entries in panel order, else
// the focused one; never ".." or a drive.
QList<int> CommandIndexes(const TFileViewModel &view);

// After a copy or move into destination. descriptions: carry the entries'
// descriptions along. False when the descriptions could not be written (the
// last error is set); the panel and the tree files are updated regardless.
bool UpdateAfterCopy(TFileListing &view, const TRunResult &run, const QString &destination,
                     bool move, bool descriptions, const TTreeFileOptions &trees);
// After a delete: the tree file forgets the deleted folders, their
// descriptions go, and the entries leave the panel.
bool UpdateAfterDelete(TFileListing &view, const TRunResult &run, bool descriptions,
                       const TTreeFileOptions &trees);

// Removes the entries at the indexes from the list, the focus staying on
// the entry it was on, or on the one that took the place of a removed one.
void RemoveEntries(TFileViewModel &view, QList<int> indexes);

} // namespace kestrel
