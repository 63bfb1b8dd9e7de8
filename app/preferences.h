#pragma once
// The values the Preferences dialog edits: every [Option], [Program] and
// [Function] key it shows. Reading fills a key that is absent with the
// value the dialog starts from (not always the program's start-up default);
// writing stores every key, in a fixed order.

#include "app/settings.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kestrel {

inline constexpr int FunctionKeySlots = 18;

struct TPreferences {
    // View
    TFontSpec fileFont, treeFont;
    int charCase = 0; // 0 normal, 1 upper, 2 lower, 3 capital
    int views = 0;    // 0 list, 1 large icons
    bool icon = true;
    int focus = 1; // 0 dot, 1 line, 2 none
    bool autoCol = true;
    int col = 2;
    int sort = 0; // name, ext, size, time, none
    bool attachExt = false;
    bool folderInfo = true;
    bool longName = true;
    bool hidden = false;
    bool colLine = true;
    bool fileType = true;
    bool pathCaption = true;
    bool desc = false;
    // Option
    bool extArcPrg = false;
    bool autoRefresh = true;
    bool remRead = true;
    bool noTreeA = false;
    bool selDir = false;
    bool sound = false;
    bool startDir = false;
    QString start;
    bool saveLastDir = true;
    // Misc.
    bool explorerMenu = false;
    bool treeRoot = false;
    QString treePath;
    int ctrlX = 1;  // 1: Extract has Ctrl+X, Cut Ctrl+T
    int delBtn = 2; // Delete, Yes, No
    int esc = 2;    // command line, exit, minimize, deselect all
    // Program
    QString arj, rar, ace, view, edit;
    // Function: F2..F8, ^F1..^F11
    std::array<QString, FunctionKeySlots> functions;

    friend bool operator==(const TPreferences &, const TPreferences &) = default;
};

// The text editor of this desktop, by its program name; the first of the
// usual ones found on the PATH, else "xdg-open" (which opens text files in it).
QString DesktopTextEditor();

// Reads every key; an absent key gives the dialog's starting value, the
// fonts defaultFont (the desktop's interface font).
TPreferences ReadPreferences(const TIniFile &ini, const TFontSpec &defaultFont);

// Writes every key in the dialog's order: fonts, the view keys, the option
// and misc. keys, [Program], then the 18 [Function] slots (empty slots as
// empty values). False when a write failed; the remaining keys are still
// written.
bool WritePreferences(TIniFile &ini, const TPreferences &p);

} // namespace kestrel
