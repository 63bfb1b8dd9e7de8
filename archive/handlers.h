#pragma once
// The handler object for an archive type.

#include "archive/archive.h"
#include "archive/archivetype.h"

#include <memory>

namespace kestrel {

// A new handler for the type; null for a type without a handler.
std::unique_ptr<TArchive> CreateArchiveHandler(TArchiveType type);

} // namespace kestrel
