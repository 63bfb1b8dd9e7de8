#include "archive/handlers.h"

#include "archive/ace.h"
#include "archive/libarchive.h"
#include "archive/zip.h"

namespace kestrel {

std::unique_ptr<TArchive> CreateArchiveHandler(TArchiveType type)
{
    switch (type) {
    case atZip:
        return std::make_unique<TZip>();
    case atAce:
        return std::make_unique<TAce>();
    case atSevenZip:
    case atTar:
    case atCab:
    case atLha:
    case atIso:
    case atCpio:
    case atCompressed:
        return std::make_unique<TLibArchive>(type);
    default:
        return nullptr;
    }
}

} // namespace kestrel
