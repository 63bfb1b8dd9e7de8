#pragma once
// Windows wildcard matching as FindFirstFile applies it.

#include <QString>

namespace kestrel::sys {

// '*' matches any run, '?' one character, case ignored; "*.*" and a trailing
// ".*" also match names without a dot, and "*." matches names without one.
bool MatchesMask(const QString &name, const QString &mask);

} // namespace kestrel::sys
