#pragma once
// TNavigationBar: the main window's ways to other folders on its tool bar:
// Back and Forward with drop-down menus of the folder history, the address
// box cbAddress with its drive list, and the Favorites button with the
// favourites menu. It only offers choices; the window goes to the folders.

#include "app/favorites.h"

#include <QComboBox>
#include <QObject>

#include <functional>

class QMenu;
class QToolBar;
class QToolButton;

namespace kestrel {

class TStringHistory;

// The address box: Enter goes to the typed text, and the list is filled
// anew each time it drops down.
class TAddressBox : public QComboBox {
    Q_OBJECT
public:
    explicit TAddressBox(QWidget *parent = nullptr);
    void showPopup() override;

    std::function<void(const QString &text)> OnEnter;
    std::function<void()> OnDropDown;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class TNavigationBar : public QObject {
    Q_OBJECT
public:
    // The controls go after the bar's items.
    TNavigationBar(QToolBar &bar, TStringHistory &history);

    QToolButton *BackButton() const { return back; }
    QToolButton *ForwardButton() const { return forward; }
    QToolButton *FavoritesButton() const { return favorites; }
    QMenu *BackMenu() const { return backMenu; }
    QMenu *ForwardMenu() const { return forwardMenu; }
    QMenu *FavoritesMenu() const { return favoritesMenu; }
    TAddressBox *Address() const { return address; }

    // The panel's folder, shown in the address box.
    void ShowFolder(const QString &folder);
    // Opens the favourites menu under its button (or at the given point
    // when the tool bar is hidden).
    void DropFavorites(const QPoint &fallback);

    std::function<void()> OnBack;
    std::function<void()> OnForward;
    // A folder chosen from a history menu or a favourite, or typed.
    std::function<void(const QString &folder)> OnGo;
    std::function<void(const QString &folder)> OnTyped;
    std::function<void(QChar drive)> OnDrive;
    std::function<void()> OnNetwork;
    std::function<QList<TFavorite>()> Favorites;
    std::function<void()> OnAddFavorite;
    std::function<void()> OnOrganizeFavorites;

private:
    void HistoryChanged();
    void FillHistoryMenu(QMenu *menu, bool before);
    void FillDrives();
    void DriveChosen(int index);
    void BuildFavorites();

    TStringHistory &history;
    QToolButton *back;
    QToolButton *forward;
    QToolButton *favorites;
    QMenu *backMenu;
    QMenu *forwardMenu;
    QMenu *favoritesMenu;
    TAddressBox *address;
    QString shownFolder;
};

} // namespace kestrel
