#pragma once
// The six colours of the folder tree, read from a colour set file.

#include "panel/colorlist.h"

#include <QString>

namespace kestrel {

struct TTreeColor {
    TColorRef Back = 0xFFFFFF;   // background
    TColorRef Line = 0xC0C0C0;   // connecting lines
    TColorRef Normal = 0x000000; // folder names
    TColorRef Focus = 0x000000;  // the focus bar
    TColorRef Open = 0x0000FF;   // the folder the file panel shows
    TColorRef Hint = 0x808080;   // the focused folder's path on its row
};

// The keys TBACK, TLINE, TNORMAL, TFOCUS, TOPEN and THINT of the [Basic]
// part. A missing file, key or number gives the colour above.
TTreeColor LoadTreeColors(const QString &colorFile);

} // namespace kestrel
