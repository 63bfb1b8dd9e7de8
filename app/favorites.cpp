#include "app/favorites.h"

#include "app/settings.h"
#include "app/statefiles.h"
#include "platform/drives.h"

namespace kestrel {

namespace {

QList<TFavorite> ParseFavorites(const QStringList &lines)
{
    QList<TFavorite> entries;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            entries.append({line.left(eq), line.mid(eq + 1)});
    }
    return entries;
}

} // namespace

QString FavoritesFile()
{
    return ProgramFile(QStringLiteral("favorite.dat"));
}

bool ValidFavoriteName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('=')) && ValidFavoritePath(name);
}

bool ValidFavoritePath(const QString &path)
{
    return !path.contains(QLatin1Char('\r')) && !path.contains(QLatin1Char('\n'));
}

QString FavoriteNameFor(const QString &folder)
{
    const QString name = sys::ExtractFileName(folder);
    return name.isEmpty() ? folder : name;
}

QList<TFavorite> LoadFavorites(const QString &file)
{
    return ParseFavorites(ReadStateLines(file));
}

bool SaveFavorites(const QString &file, const QList<TFavorite> &entries)
{
    QStringList lines;
    for (const TFavorite &entry : entries)
        lines.append(entry.name + QLatin1Char('=') + entry.path);
    return WriteStateLines(file, lines);
}

bool AppendFavorite(const QString &file, const TFavorite &entry)
{
    QStringList lines = ReadStateLines(file);
    lines.append(entry.name + QLatin1Char('=') + entry.path);
    return WriteStateLines(file, lines);
}

bool TFavoriteList::Append(const TFavorite &entry)
{
    if (!ValidFavoriteName(entry.name) || !ValidFavoritePath(entry.path))
        return false;
    entries.append(entry);
    return true;
}

bool TFavoriteList::Remove(int index)
{
    if (!Valid(index))
        return false;
    entries.removeAt(index);
    return true;
}

bool TFavoriteList::Rename(int index, const QString &name)
{
    if (!Valid(index) || !ValidFavoriteName(name))
        return false;
    entries[index].name = name;
    return true;
}

bool TFavoriteList::SetPath(int index, const QString &path)
{
    if (!Valid(index) || !ValidFavoritePath(path))
        return false;
    entries[index].path = path;
    return true;
}

bool TFavoriteList::MoveUp(int index)
{
    if (!Valid(index) || index == 0)
        return false;
    entries.swapItemsAt(index, index - 1);
    return true;
}

bool TFavoriteList::MoveDown(int index)
{
    if (!Valid(index) || index == Count() - 1)
        return false;
    entries.swapItemsAt(index, index + 1);
    return true;
}

} // namespace kestrel
