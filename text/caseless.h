#pragma once
// The order of names without regard to case, shared by the file listing and
// the folder tree.

#include <QString>

namespace kestrel {

// Qt's caseless order (negative, zero, positive), with a quick path for the
// ASCII letters that make up most names: sorting a large folder or loading a
// big tree does millions of these.
int CompareCaseless(const QString &a, const QString &b);

} // namespace kestrel
