#pragma once
// The settings table: every key of kestrel.ini with its start-up default, and
// the value forms (boolean, integer, string, window placement, font). A value
// that is missing or cannot be read yields the key's default.

#include "app/inifile.h"

#include <QString>

namespace kestrel {

// The program's own files live in sys::ProgramDir(); name is e.g. "last.dir".
// "" when the program folder cannot be named; readers and writers then skip.
QString ProgramFile(const QString &name);
// A file the user may keep a copy of in the program folder ("kestrel.col"):
// that copy when there is one, else the one that came with the program in
// sys::SharedDir(); "" when neither exists.
QString UserOrSharedFile(const QString &name);

// "%d,%d,%d,%d,%d": maximized flag, left, top, width, height.
struct TWindowPlacement {
    bool maximized = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TWindowPlacement &, const TWindowPlacement &) = default;
};
// Five integers with a positive size, else def.
TWindowPlacement ParsePlacement(const QString &text, const TWindowPlacement &def);
QString FormatPlacement(const TWindowPlacement &p);

// Comma text: name (quoted when it holds blanks), point size, bold flag.
struct TFontSpec {
    QString name;
    int size = 0;
    bool bold = false;
    friend bool operator==(const TFontSpec &, const TFontSpec &) = default;
};
TFontSpec DefaultFont(); // "MS Sans Serif", 9, not bold
// A missing name or size takes the default's; bold only when the third item
// is a non-zero integer.
TFontSpec ParseFont(const QString &text);
QString FormatFont(const TFontSpec &f); // "\"%s\",%d,%d"

struct TBoolKey {
    const char *section;
    const char *key;
    bool def;
};
struct TIntKey {
    const char *section;
    const char *key;
    int def;
};
struct TStringKey {
    const char *section;
    const char *key;
    const char *def;
};
struct TPlacementKey {
    const char *section;
    const char *key;
    TWindowPlacement def;
};
struct TFontKey {
    const char *section;
    const char *key;
};

bool ReadSetting(const TIniFile &ini, const TBoolKey &k);
int ReadSetting(const TIniFile &ini, const TIntKey &k);
QString ReadSetting(const TIniFile &ini, const TStringKey &k);
TWindowPlacement ReadSetting(const TIniFile &ini, const TPlacementKey &k);
TFontSpec ReadSetting(const TIniFile &ini, const TFontKey &k);
bool WriteSetting(TIniFile &ini, const TBoolKey &k, bool value);
bool WriteSetting(TIniFile &ini, const TIntKey &k, int value);
bool WriteSetting(TIniFile &ini, const TStringKey &k, const QString &value);
bool WriteSetting(TIniFile &ini, const TPlacementKey &k, const TWindowPlacement &value);
bool WriteSetting(TIniFile &ini, const TFontKey &k, const TFontSpec &value);

namespace key {
// [Window]
inline constexpr TPlacementKey File{"Window", "File", {false, 100, 100, 550, 500}};
inline constexpr TBoolKey Toolbar{"Window", "Toolbar", true};
inline constexpr TBoolKey Status{"Window", "Status", true};
inline constexpr TPlacementKey Tree{"Window", "Tree", {false, 100, 100, 800, 600}};
// [Option]
inline constexpr TStringKey Lang{"Option", "Lang", "KO"};
inline constexpr TFontKey FFont{"Option", "FFont"};
inline constexpr TFontKey TFont{"Option", "TFont"};
inline constexpr TBoolKey LongName{"Option", "LongName", true};
inline constexpr TIntKey CharCase{"Option", "CharCase", 1};
inline constexpr TBoolKey AttachExt{"Option", "AttachExt", false};
inline constexpr TIntKey Focus{"Option", "Focus", 0};
inline constexpr TBoolKey Hidden{"Option", "Hidden", false};
inline constexpr TIntKey Sort{"Option", "Sort", 1};
inline constexpr TBoolKey Desc{"Option", "Desc", false};
inline constexpr TBoolKey AutoCol{"Option", "AutoCol", true};
inline constexpr TIntKey Col{"Option", "Col", 2};
inline constexpr TBoolKey Views{"Option", "Views", false};
inline constexpr TBoolKey Icon{"Option", "Icon", false};
inline constexpr TBoolKey FolderInfo{"Option", "FolderInfo", true};
inline constexpr TBoolKey ColLine{"Option", "ColLine", true};
inline constexpr TBoolKey FileType{"Option", "FileType", true};
inline constexpr TBoolKey PathCaption{"Option", "PathCaption", false};
inline constexpr TBoolKey CtrlX{"Option", "CtrlX", false};
inline constexpr TBoolKey AutoRefresh{"Option", "AutoRefresh", true};
inline constexpr TBoolKey StartDir{"Option", "StartDir", false};
inline constexpr TStringKey Start{"Option", "Start", "C:\\"};
inline constexpr TBoolKey SaveLastDir{"Option", "SaveLastDir", true};
inline constexpr TBoolKey ExtArcPrg{"Option", "ExtArcPrg", false};
inline constexpr TBoolKey RemRead{"Option", "RemRead", false};
inline constexpr TBoolKey NoTreeA{"Option", "NoTreeA", false};
inline constexpr TBoolKey SelDir{"Option", "SelDir", false};
inline constexpr TBoolKey Sound{"Option", "Sound", false};
inline constexpr TBoolKey ExplorerMenu{"Option", "ExplorerMenu", false};
inline constexpr TIntKey DelBtn{"Option", "DelBtn", 2};
inline constexpr TIntKey Esc{"Option", "Esc", 2};
inline constexpr TBoolKey TreeRoot{"Option", "TreeRoot", false};
inline constexpr TStringKey TreePath{"Option", "TreePath", ""};
// [Program]
inline constexpr TStringKey ARJ{"Program", "ARJ", "arj.exe"};
inline constexpr TStringKey RAR{"Program", "RAR", "rar.exe"};
inline constexpr TStringKey ACE{"Program", "ACE", "ace32.exe"};
inline constexpr TStringKey View{"Program", "View", "notepad.exe"};
inline constexpr TStringKey Edit{"Program", "Edit", "notepad.exe"};
// [Archive]
inline constexpr TIntKey ArchiveType{"Archive", "Type", 0};
inline constexpr TIntKey Compression{"Archive", "Compression", 1};
// [Function]: F2 ... F8 and ^F1 ... ^F11, strings, empty by default.
inline constexpr const char *FunctionSection = "Function";
} // namespace key

} // namespace kestrel
