#pragma once
// Folder helpers shared by the ZIP engine's extraction and add.

#include <QString>

namespace kestrel {

// Makes a folder and every missing folder above it; true when it exists as
// a folder afterwards, else false with the last error set.
bool ForceFolder(const QString &path);

} // namespace kestrel
