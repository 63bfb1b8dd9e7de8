#pragma once
// TMainMenu: the main window's menu tree and the panel's context menu, built
// from one table. Every item runs its command through OnCommand; items whose
// command is not available yet are disabled.

#include "app/commandid.h"

#include <QHash>
#include <QKeyCombination>
#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;

namespace kestrel {

// One row of the menu table. An empty submenu puts the item straight into
// its menu; a row whose menu is "Context" belongs to the panel's context
// menu, one whose menu is "ArchiveContext" to the pop-up of an open archive.
struct TMenuRow {
    const char *menu;
    const char *submenu;
    const char *caption;
    QKeyCombination shortcut;
    TCmd cmd;
    unsigned flags;
};

enum TMenuRowFlag : unsigned {
    mrfSeparator = 1, // a separator line before the item
    mrfCheck = 2,     // a check-mark item
    mrfHidden = 4,    // present for its key only
    mrfLater = 8,     // its work is not built yet: shown disabled
    mrfRadio = 16,    // one of a group within its submenu
};

class TMainMenu : public QObject {
    Q_OBJECT
public:
    explicit TMainMenu(QMainWindow &window);

    static const QList<TMenuRow> &Rows();

    // The menu-bar item of a command.
    QAction *Item(TCmd cmd) const { return items.value(cmd); }
    QMenu *ContextMenu() const { return contextMenu; }
    // The context menu's item of a command.
    QAction *ContextItem(TCmd cmd) const { return contextItems.value(cmd); }
    // The panel's context menu while an archive is open in it.
    QMenu *ArchiveMenu() const { return archiveMenu; }

    // Ctrl+X belongs to Extract (true) or Cut (false); Cut then has Ctrl+T.
    void SetCtrlX(bool extractOwnsCtrlX);
    // While the command line is open, Ctrl+C, Ctrl+V and Ctrl+X edit its text.
    void SetEditKeys(bool menuOwnsThem);

    std::function<void(TCmd)> OnCommand;

private:
    void ApplyEditKeys();

    QHash<TCmd, QAction *> items;
    QHash<TCmd, QAction *> contextItems;
    QMenu *contextMenu;
    QMenu *archiveMenu;
    bool ctrlX = false;
    bool editKeys = true;
};

} // namespace kestrel
