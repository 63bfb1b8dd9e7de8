#pragma once
// The folder picker of the main window: the tree window, set up from the
// settings file and the panel's last folders, its placement stored on close.

#include "tree/ftree.h"

#include <QString>
#include <QStringList>

namespace kestrel {

class TIniFile;

// The favourites file "favorite.dat" in the program folder, name=path lines.
class TFavoriteFile : public TTreeFavorites {
public:
    QList<std::pair<QString, QString>> Entries() const override;
    bool Add(const QString &name, const QString &path) override;
};

// Opens the tree window at folder (or, when that is empty, on drive) and
// returns the folder chosen, "" when none was. lastDirs: the panel's
// root=folder list.
QString SelectFolderDialog(QWidget *owner, TIniFile &ini, const QString &folder,
                           const QString &drive, const QStringList &lastDirs,
                           const QString &caption);

} // namespace kestrel
