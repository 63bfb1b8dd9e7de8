#include "archive/zipfolders.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

namespace kestrel {

bool ForceFolder(const QString &path)
{
    QString folder = path;
    while (folder.endsWith(QLatin1Char('\\')) && !sys::IsRoot(folder))
        folder.chop(1);
    const sys::DWORD attributes = sys::GetFileAttributes(folder);
    if (attributes != sys::INVALID_FILE_ATTRIBUTES) {
        if (attributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            return true;
        sys::SetLastError(sys::ERROR_ALREADY_EXISTS);
        return false;
    }
    const QString parent = sys::ExtractFilePath(folder);
    if (sys::IsRoot(folder) || parent.isEmpty() || parent.size() >= folder.size())
        return false;
    return ForceFolder(parent) && sys::CreateDirectory(folder);
}

} // namespace kestrel
