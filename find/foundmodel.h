#pragma once
// TFoundModel: the rows of a search's results: name, folder, size and time
// of each item found, and the places that could not be searched with the
// reason, which the search reports as rows instead of one message each.

#include "find/filesearch.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace kestrel {

struct TFoundRow {
    TFoundItem item;
    QString skipped; // the reason; empty for an item found
};

class TFoundModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { cName, cFolder, cSize, cTime, cCount };

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    void Append(std::vector<TFoundRow> rows);
    const TFoundRow &Row(int row) const { return rows[std::size_t(row)]; }
    int FoundCount() const { return found; }
    int SkippedCount() const { return int(rows.size()) - found; }
    // The paths of the items found on disk (not inside archives), each once.
    QStringList DiskPaths() const;

private:
    std::vector<TFoundRow> rows;
    int found = 0;
};

// Found items as one listing: the deepest folder holding them all and each
// item's path relative to it. Empty when they share no drive.
struct TFeed {
    QString root;
    QStringList names;
};
TFeed FeedOf(const QStringList &paths);

// The last component of a found item's path and the folder before it.
QString FoundName(const QString &path);
QString FoundFolder(const QString &path);

} // namespace kestrel
