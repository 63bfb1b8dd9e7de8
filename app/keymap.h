#pragma once
// The file panel's own keys (those that are not menu shortcuts) and the key
// help shown in the button status bar while Alt or Ctrl is held.

#include <QKeyCombination>
#include <QString>
#include <QStringList>

#include <Qt>

namespace kestrel {

enum class TPanelKey {
    None,
    SelectGroup,     // keypad +
    UnselectGroup,   // keypad -
    InvertSelection, // keypad *
    ContextMenu,     // Apps
    Delete,
    Copy,        // Insert
    UpOneLevel,  // Backspace or ".", while no quick search is typed
    Root,        // "\"
    CommandLine, // "/"
    Escape,
    FunctionKey, // F2..F8 and Ctrl+F1..Ctrl+F11: index() names the slot
    Favorite,    // Shift+F1..Shift+F12: index() is the position, 0 first
    Network,     // Shift+"/"
    DriveRoot,   // Shift+A..Shift+Z: index() is the letter, 0 for A
};

struct TPanelKeyAction {
    TPanelKey key = TPanelKey::None;
    int index = 0;
};

// What a key pressed in the panel does. searching: the quick-search text is
// not empty (Backspace and "." then belong to the search).
TPanelKeyAction MapPanelKey(int key, Qt::KeyboardModifiers modifiers, bool searching);

// The function-key slot of F2..F8 (0..6) and Ctrl+F1..Ctrl+F11 (7..17), as
// the [Function] section names them: "F2".."F8", "^F1".."^F11".
QString FunctionKeyName(int slot);

// The keys of the edit items and of Extract; an empty combination is no key.
// The CtrlX option gives Ctrl+X to Extract and Ctrl+T to Cut; without it Cut
// has Ctrl+X and Extract Ctrl+E. While the command line is open, Ctrl+C,
// Ctrl+V and Ctrl+X belong to its text.
struct TEditKeys {
    QKeyCombination copy, cut, paste, extract;
};
TEditKeys EditKeys(bool extractOwnsCtrlX, bool commandLineOpen);

// Key-help modes of the button status bar.
enum TKeyHelpMode { khNormal = 0, khAlt = 1, khCtrl = 2 };
// The items of a help mode, one per button (strings 900 and 901); the Ctrl
// help names the key Extract has.
QStringList KeyHelpItems(TKeyHelpMode mode, bool extractOwnsCtrlX);

// The label of a function-key entry: the name inside leading square
// brackets; else an internal function's keyword after "#"; else the
// program's file name without folder and extension.
QString FunctionKeyLabel(const QString &entry);

} // namespace kestrel
