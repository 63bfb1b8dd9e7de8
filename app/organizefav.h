#pragma once
// TfOrganizeFav: the Organize Favorites dialog. It edits a copy of the
// favourites; OK writes them to the file, Cancel forgets every change.

#include "app/favorites.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace kestrel {

// True for an entry that reads back as written (ValidFavoriteName, and a
// path without line breaks); otherwise says why not in a message box with
// the caption.
bool AcceptFavorite(QObject *owner, const TFavorite &entry, const QString &caption);

class TfOrganizeFav : public QDialog {
    Q_OBJECT
public:
    // file: the favourites file, read now and written by OK. panelFolder:
    // where Add starts while no entry is selected.
    TfOrganizeFav(QWidget *parent, const QString &file, const QString &panelFolder);

    QListWidget *Entries;
    QPushButton *Item;     // the display name; a click renames
    QPushButton *ItemPath; // the path; a click picks another folder
    QLabel *Shortcut;
    QPushButton *AddBtn;
    QPushButton *DeleteBtn;
    QPushButton *UpBtn;
    QPushButton *DownBtn;
    QPushButton *OkBtn;
    QPushButton *CancelBtn;

private:
    void Fill(int selected);
    void ShowSelected();
    int Selected() const;
    void RenameClick();
    void PathClick();
    void AddClick();
    void DeleteClick();
    void Move(bool up);
    void OkClick();

    QString file;
    QString panelFolder;
    TFavoriteList list;
};

} // namespace kestrel
