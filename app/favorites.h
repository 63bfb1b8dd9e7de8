#pragma once
// The favourites: named folders kept in "favorite.dat" in the program
// folder, one "name=path" line each (CR LF), in menu order; line n is
// Shift+Fn. The first "=" ends the name, so a name never holds one.

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

struct TFavorite {
    QString name;
    QString path;
    bool operator==(const TFavorite &) const = default;
};

// The program's favourites file.
QString FavoritesFile();

// A display name that reads back as written: not empty, no "=", no CR or LF.
bool ValidFavoriteName(const QString &name);
// A path that keeps to its line: no CR or LF.
bool ValidFavoritePath(const QString &path);

// The name first proposed for a folder: its last component, or the whole
// path for a root.
QString FavoriteNameFor(const QString &folder);

// The entries of the file, none when it is missing: a line without "=" or
// with an empty name is no entry and is skipped.
QList<TFavorite> LoadFavorites(const QString &file);
// Replaces the file whole, atomically.
bool SaveFavorites(const QString &file, const QList<TFavorite> &entries);
// Appends one line to the file as it stands (lines that are no entry stay).
bool AppendFavorite(const QString &file, const TFavorite &entry);

// The list the Organize Favorites dialog edits; indexes out of range change
// nothing.
class TFavoriteList {
public:
    explicit TFavoriteList(QList<TFavorite> entries = {}) : entries(std::move(entries)) {}

    const QList<TFavorite> &Entries() const { return entries; }
    int Count() const { return int(entries.size()); }
    const TFavorite &At(int index) const { return entries.at(index); }

    // Append, Rename and SetPath refuse what ValidFavoriteName and
    // ValidFavoritePath refuse.
    bool Append(const TFavorite &entry);
    bool Remove(int index);
    bool Rename(int index, const QString &name);
    bool SetPath(int index, const QString &path);
    // Swaps with the neighbour above or below; false at the ends.
    bool MoveUp(int index);
    bool MoveDown(int index);

private:
    bool Valid(int index) const { return index >= 0 && index < Count(); }

    QList<TFavorite> entries;
};

} // namespace kestrel
