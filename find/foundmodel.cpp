#include "find/foundmodel.h"

#include "panel/filetexts.h"
#include "text/strings.h"

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

} // namespace kestrel
