#include "archive/handlers.h"

#include "archive/ace.h"
#include "archive/arj.h"
#include "archive/libarchive.h"
#include "archive/rar.h"
#include "archive/zip.h"

namespace kestrel {

std::unique_ptr<TArchive> CreateArchiveHandler(TArchiveType type)
{
    switch (type) {
    case atZip:
        return std::make_unique<TZip>();
    case atRar:
        return std::make_unique<TRar>();
    case atArj:
        return std::make_unique<TArj>();
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
