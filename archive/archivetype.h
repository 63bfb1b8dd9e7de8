#pragma once
// The archive type of a file, decided from its extension alone.

#include <QString>

namespace kestrel {

enum TArchiveType { atZip = 0, atRar = 1, atArj = 2, atAce = 3, atNone = 4 };

// ".ZIP" ZIP; ".RAR" or ".R" + two digits RAR; ".ARJ" or ".A" + two digits
// ARJ; ".ACE" or ".C" + two digits ACE (case ignored). Anything else, and
// every extension that is not exactly four characters long, dot included,
// is not an archive.
TArchiveType ArchiveTypeOf(const QString &fileName);

} // namespace kestrel
