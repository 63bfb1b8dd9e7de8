#pragma once
// A function-key entry of the [Function] section: an optional display name
// in square brackets, then either "#" and the keyword of a built-in command
// or a program between double quotes with its parameters after a blank.

#include <QString>
#include <QStringList>

namespace kestrel {

// The built-in commands a key can run, in the order of the editor's list.
inline constexpr int FunctionKeywordCount = 16;
// "copy" ... "refresh"; "" outside 0..15.
QString FunctionKeyword(int index);
// The editor's caption of a keyword ("Copy", "New Folder", ...).
QString FunctionKeywordCaption(int index);
// The index of a keyword, compared without regard to case; -1 when unknown.
int FunctionKeywordIndex(const QString &word);

struct TFunctionEntry {
    QString name; // display name, "" for none
    bool internal = false;
    QString keyword; // internal: the text after "#"
    QString program; // link: without its quotes
    QString parameters;
    friend bool operator==(const TFunctionEntry &, const TFunctionEntry &) = default;
};

// An entry without a "]" has no prefix: a hand-edited "[" is then part of
// the program. Blanks around the parts are dropped.
TFunctionEntry ParseFunctionEntry(const QString &text);
// The entry text the editor stores; an entry without keyword or program is
// empty (the slot is unassigned).
QString FormatFunctionEntry(const TFunctionEntry &entry);
// A display name may not hold "]": the prefix would end inside it.
bool ValidDisplayName(const QString &name);

// The label of an entry: its display name; else an internal function's
// keyword; else the program's file name without folder and extension.
QString FunctionEntryLabel(const TFunctionEntry &entry);

} // namespace kestrel
