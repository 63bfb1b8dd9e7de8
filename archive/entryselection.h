#pragma once
// The items an extraction's names select: a path exactly (a folder with what
// lies below it), a folder's items by "folder\*.*", or a wildcard mask.

#include <QString>
#include <QStringList>

namespace kestrel {

class TEntrySelection {
public:
    // No names select everything.
    explicit TEntrySelection(const QStringList &names);
    // path: an item's path below the destination, backslashes.
    bool Selects(const QString &path) const;

private:
    QStringList below; // folders with their trailing backslash
    QStringList exact;
    QStringList masks;
    bool all = false;
};

} // namespace kestrel
