#pragma once
// The program's string table: message texts by numeric id, and the number
// formats used in texts shown to the user.

#include "platform/wintypes.h"

#include <QString>

namespace kestrel {

// The text of a string id; empty for an unknown id.
QString LoadStr(int id);

// A size written with thousands separators and no decimals ("1,234,567").
QString ThousandsText(sys::UINT64 value);

} // namespace kestrel
