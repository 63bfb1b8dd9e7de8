#pragma once
// Split: cuts one file into numbered pieces, piece 1 starting with a header
// that names the file, and writes the checksum file that lists every piece
// with its size and CRC-32.

#include "platform/wintypes.h"
#include "tools/toolresult.h"

namespace kestrel {

// The most pieces one split makes.
inline constexpr sys::UINT64 MaxPieces = 999999;

// Cuts source into pieces of pieceSize data bytes in folder, showing the
// progress window "Split File" over owner. A file not larger than one piece
// gives one piece. A name that is taken stops the run before anything is
// written; a run that does not complete removes the pieces it made and
// writes no checksum file.
TToolResult SplitFile(QObject *owner, const QString &source, const QString &folder,
                      sys::UINT64 pieceSize);

} // namespace kestrel
