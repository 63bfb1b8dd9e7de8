#include "archive/extractfolders.h"

#include "archive/archivestrings.h"
#include "ops/filefunction.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

#include <QStringList>

namespace kestrel {

TExtractFolders::TResult TExtractFolders::Make(const QString &relative, int count)
{
    const QStringList parts = relative.split(QLatin1Char('\\'));
    QString path = destination;
    QString key;
    for (int i = 0; i < count && i < parts.size(); ++i) {
        path = sys::JoinPath(path, parts[i]);
        key += parts[i] + QLatin1Char('\\');
        if (made.contains(key))
            continue;
        const sys::DWORD attributes = sys::GetFileAttributes(path);
        if (attributes == sys::INVALID_FILE_ATTRIBUTES) {
            if (!sys::CreateDirectory(path))
                return efFailed;
        } else if (IsLink(attributes)) {
            return efThroughLink;
        } else if (!(attributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
            sys::SetLastError(sys::ERROR_ALREADY_EXISTS);
            return efFailed;
        }
        made.insert(key);
    }
    return efMade;
}

QString TExtractFolders::Failure(TResult result, const QString &shown)
{
    return result == efThroughLink ? WithName(amThroughLink, shown)
                                   : ErrorLine(shown, int(sys::GetLastError()));
}

} // namespace kestrel
