#pragma once
// TfTree: the folder tree window, a modal folder picker around the tree
// control. The user moves through the tree of a drive, switches drives with
// the drive buttons or Shift+letter, creates, renames and deletes folders,
// and confirms a folder with Enter, a double click or Select.

#include "tree/kfolderview.h"

#include <QDialog>
#include <QKeySequence>
#include <QList>
#include <QRect>

#include <utility>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace kestrel {

// The favourites the window lists and adds to, as the program keeps them.
class TTreeFavorites {
public:
    virtual ~TTreeFavorites() = default;
    // Display name and path of each entry, in stored order.
    virtual QList<std::pair<QString, QString>> Entries() const = 0;
    // Appends an entry; false when it could not be stored.
    virtual bool Add(const QString &name, const QString &path) = 0;
};

// What the window is created with, read from the settings by the caller.
struct TTreeWindowSettings {
    bool maximized = false;
    QRect geometry{100, 100, 800, 600};
    QString fontName;
    int fontSize = 9;
    bool saveInRoot = false;
    QString treePath;
};

class TfTree : public QDialog {
    Q_OBJECT
public:
    // favorites may be null: the favourites menu then offers nothing.
    TfTree(QWidget *parent, const TTreeWindowSettings &settings,
           TTreeFavorites *favorites = nullptr);
    ~TfTree() override;

    TKFolderView *FolderView;
    QLineEdit *Address;
    QLabel *Volume;
    QLabel *lFind;
    QMenu *FavoritesMenu;
    QMenu *PopupMenu;
    // One per drive letter in letter order, then "/" for network shares.
    QList<QToolButton *> DriveButtons;
    QList<QToolButton *> StatusPanels;
    QAction *Action(const QString &name) const;

    // The placement to store on close: the normal geometry when maximised.
    bool Maximized() const;
    QRect Placement() const;

    // While a scan runs (it repaints the window as it goes), nothing may
    // switch drives, refresh or close the window under it: the user's input
    // waits in the queue until it ends, and whatever arrives anyway is ignored.
    void accept() override;
    void reject() override;

    // Commands, also reached through the menus, keys and status bar.
    void SelectFocused();
    void DeleteFolder();
    void RenameFolder();
    void CreateFolder();
    void Properties();
    void ShowSystemFolder(int tag); // 0 Desktop, 1 Start Menu, 2 My Documents
    void AddFavorite();
    // Drops the favourites menu down under its tool button.
    void DropFavorites();
    // Drive button: a letter switches the tree, "/" opens the network browser.
    void PressDrive(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenus();
    void BuildToolBar(QWidget *bar);
    void BuildStatusBar(QWidget *bar);
    void BuildFavorites();
    void ChangeDrive(const QString &drive);
    void ShowPopup(const QPoint &at);
    void ExpandCommand(bool expand, bool recursive);
    void WholeTree(bool expand);
    // The focused folder for a folder command; null for the root.
    TTreeItem *FocusedFolder() const;
    QAction *AddAction(QMenu *menu, const char *name, const QString &text,
                       const QList<QKeySequence> &keys, const std::function<void()> &run);

    TTreeFavorites *favorites;
    QToolButton *favoritesButton = nullptr;
    QAction *popupExpand = nullptr;
    int pressedDrive = -1;
    bool scanning = false;
    class TfScan *scanWindow = nullptr;
};

} // namespace kestrel
