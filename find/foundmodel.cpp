#include "find/foundmodel.h"

#include "panel/filetexts.h"
#include "platform/drives.h"
#include "text/strings.h"

#include <QSet>

namespace kestrel {

QString FoundName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString FoundFolder(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0)
        return QString();
    // "C:\" keeps its backslash; "C:\Data" does not get one.
    return slash == 2 && path.at(1) == QLatin1Char(':') ? path.left(3) : path.left(slash);
}

int TFoundModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int TFoundModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cCount;
}

QVariant TFoundModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows.size()))
        return QVariant();
    const TFoundRow &row = rows[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == cSize && row.skipped.isEmpty())
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const TFoundItem &item = row.item;
    switch (index.column()) {
    case cName:
        return PrintableText(FoundName(item.path));
    case cFolder:
        return PrintableText(FoundFolder(item.path));
    case cSize:
        if (!row.skipped.isEmpty())
            return QStringLiteral("not searched");
        return item.IsFolder() ? QStringLiteral("[DIR]") : ThousandsText(item.size);
    case cTime:
        if (!row.skipped.isEmpty())
            return row.skipped;
        return DateText(item.time) + QLatin1Char(' ') + TimeText(item.time);
    default:
        return QVariant();
    }
}

QVariant TFoundModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case cName:
        return QStringLiteral("Name");
    case cFolder:
        return QStringLiteral("Folder");
    case cSize:
        return QStringLiteral("Size");
    case cTime:
        return QStringLiteral("Modified");
    default:
        return QVariant();
    }
}

void TFoundModel::Clear()
{
    beginResetModel();
    rows.clear();
    found = 0;
    endResetModel();
}

void TFoundModel::Append(std::vector<TFoundRow> more)
{
    if (more.empty())
        return;
    beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size() + more.size()) - 1);
    for (TFoundRow &row : more) {
        if (row.skipped.isEmpty())
            ++found;
        rows.push_back(std::move(row));
    }
    endInsertRows();
}

QStringList TFoundModel::DiskPaths() const
{
    QStringList paths;
    QSet<QString> seen;
    for (const TFoundRow &row : rows)
        if (row.skipped.isEmpty() && !row.item.inArchive && !seen.contains(row.item.path)) {
            seen.insert(row.item.path);
            paths.append(row.item.path);
        }
    return paths;
}

TFeed FeedOf(const QStringList &paths)
{
    if (paths.isEmpty())
        return {};
    const QString drive = sys::ExtractFileDrive(paths.first());
    // The folders below the drive that every item's folder starts with.
    QStringList common;
    bool first = true;
    for (const QString &path : paths) {
        if (drive.isEmpty() || sys::ExtractFileDrive(path) != drive)
            return {};
        const QStringList parts =
            FoundFolder(path).mid(drive.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        if (first) {
            common = parts;
            first = false;
            continue;
        }
        qsizetype same = 0;
        while (same < common.size() && same < parts.size() && common[same] == parts[same])
            ++same;
        common.resize(same);
    }
    TFeed feed;
    feed.root = drive + QLatin1Char('\\') + common.join(QLatin1Char('\\'));
    const qsizetype cut = feed.root.size() + (feed.root.endsWith(QLatin1Char('\\')) ? 0 : 1);
    // "C:\" keeps its backslash, a share's root does not get one.
    if (feed.root.endsWith(QLatin1Char('\\')) && !sys::IsRoot(feed.root))
        feed.root.chop(1);
    for (const QString &path : paths)
        feed.names.append(path.mid(cut));
    return feed;
}

} // namespace kestrel
