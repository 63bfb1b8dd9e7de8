#pragma once
// The one check every archive handler applies to a stored item path before
// anything is written, so that extraction stays inside the destination.

#include <QString>

namespace kestrel {

// The stored path as a path below the destination, with backslashes:
// slashes become backslashes, empty and "." components are dropped.
// Refused (false): an absolute path (a drive such as "C:", or a leading
// separator), a ".." component, a control character or ':' in a component,
// or nothing left.
bool SafeEntryPath(const QString &stored, QString &relative);

// True when a link kept at the relative path linkPath (backslashes), holding
// the target text as stored (slashes, taken from the link's folder), points
// at a place inside the destination: "..", only at its start, climbs no
// higher than the destination. Absolute targets never stay inside.
bool LinkStaysInside(const QString &linkPath, const QString &target);

} // namespace kestrel
