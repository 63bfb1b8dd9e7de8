#pragma once
// Which items of a RAR archive are encrypted, read from the file headers
// themselves (the reader underneath does not say): one flag per item, in
// the order of the archive, items continued from a previous volume left
// out.

#include "archive/zipsource.h"

#include <vector>

namespace kestrel {

// Appends a flag per item of one volume; false when the headers cannot be
// walked (encrypted headers, damage): the flags read so far stay. ended:
// the walk met the end-of-archive header.
bool ScanRarEncryption(TZipSource &source, std::vector<bool> &encrypted, bool &ended);

} // namespace kestrel
