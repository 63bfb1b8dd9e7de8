#include "archive/handlers.h"

#include "archive/zip.h"

namespace kestrel {

std::unique_ptr<TArchive> CreateArchiveHandler(TArchiveType type)
{
    switch (type) {
    case atZip:
        return std::make_unique<TZip>();
    default:
        return nullptr;
    }
}

} // namespace kestrel
