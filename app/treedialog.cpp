#include "app/treedialog.h"

#include "app/favorites.h"
#include "app/settings.h"
#include "ops/qtask.h"
#include "platform/drives.h"

namespace kestrel {

namespace {

TTreeWindowSettings ReadTreeSettings(const TIniFile &ini)
{
    TTreeWindowSettings settings;
    const TWindowPlacement placement = ReadSetting(ini, key::Tree);
    settings.maximized = placement.maximized;
    settings.geometry = QRect(placement.left, placement.top, placement.width, placement.height);
    const TFontSpec font = ReadSetting(ini, key::TFont);
    settings.fontName = font.name;
    settings.fontSize = font.size;
    settings.saveInRoot = ReadSetting(ini, key::TreeRoot);
    settings.treePath = ReadSetting(ini, key::TreePath);
    return settings;
}

} // namespace

QList<std::pair<QString, QString>> TFavoriteFile::Entries() const
{
    QList<std::pair<QString, QString>> entries;
    for (const TFavorite &entry : LoadFavorites(FavoritesFile()))
        entries.append({entry.name, entry.path});
    return entries;
}

bool TFavoriteFile::Add(const QString &name, const QString &path)
{
    return AppendFavorite(FavoritesFile(), {name, path});
}

QString SelectFolderDialog(QWidget *owner, TIniFile &ini, const QString &folder,
                           const QString &drive, const QStringList &lastDirs,
                           const QString &caption)
{
    TFavoriteFile favorites;
    TfTree tree(DialogParent(owner), ReadTreeSettings(ini), &favorites);
    if (!lastDirs.isEmpty())
        tree.FolderView->FolderList = lastDirs;
    if (folder.isEmpty()) {
        tree.FolderView->SetDrive(drive);
    } else {
        tree.FolderView->SetFolder(folder);
        // A start folder that is gone still opens its drive.
        if (tree.FolderView->Drive().isEmpty())
            tree.FolderView->SetDrive(sys::ExtractFileDrive(folder));
    }
    tree.setWindowTitle(caption);
    const bool chosen = tree.exec() == QDialog::Accepted;
    const QRect placed = tree.Placement();
    WriteSetting(ini, key::Tree,
                 {tree.Maximized(), placed.left(), placed.top(), placed.width(), placed.height()});
    ini.UpdateFile();
    if (owner && owner->window()->isVisible())
        owner->window()->activateWindow();
    return chosen ? tree.FolderView->GetFolder() : QString();
}

} // namespace kestrel
