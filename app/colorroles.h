#pragma once
// The colour set as the Preferences dialog shows it: sixteen named roles
// over the [Basic] lines (ten of the file panel, six of the tree window),
// and the extension lines "colour=ext;ext;..." with their checks.

#include "panel/colorlist.h"

#include <QString>
#include <QStringList>

namespace kestrel {

inline constexpr int ColorRoleCount = 16;

struct TColorRole {
    const char *key;     // "BACK", ..., "THINT"
    const char *caption; // "Background", ...
    TColorRef initial;   // shown when the set has no line for the role
};
const TColorRole &ColorRole(int role);

// The role's colour in KEY=colour lines; its initial colour when the lines
// have none or it is not a number.
TColorRef RoleColor(const QStringList &basic, int role);
// Replaces the role's line, or adds one; other lines stay as they are.
void SetRoleColor(QStringList &basic, int role, TColorRef color);

// An extension line's colour; false when it does not start with a number
// and "=".
bool ExtLineColor(const QString &line, TColorRef &color);
// The text after "=".
QString ExtLineExtensions(const QString &line);
QString MakeExtLine(TColorRef color, const QString &extensions);
// The index of the line of that colour, skipping the line except; -1 when none.
int FindExtColor(const QStringList &ext, TColorRef color, int except = -1);
// Extensions as typed: ";"-separated names; "=" would break the file's
// EXT=colour lines and is refused, as is a text without any name.
bool ValidExtensions(const QString &text);

} // namespace kestrel
