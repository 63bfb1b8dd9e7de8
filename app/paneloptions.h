#pragma once
// The [Option] keys that shape the file panel: font, name display, hidden
// entries, sort order, columns, view style and the colour set. The caller
// wraps this in one BeginUpdate/EndUpdate of the panel's list.

#include <QString>

namespace kestrel {

class TIniFile;
class TKFileView;

void LoadPanelOptions(TKFileView &view, const TIniFile &ini, const QString &colorFile);

} // namespace kestrel
