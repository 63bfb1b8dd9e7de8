#include "archive/privatetemp.h"

#include "ops/filefunction.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"

#include <QRandomGenerator>

namespace kestrel {

namespace {

constexpr int nameAttempts = 100;

// Removes a folder's contents and then the folder; links are removed as
// links, never followed.
void RemoveTree(const QString &folder)
{
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        const QString path = sys::JoinPath(folder, data.cFileName);
        if (IsRealFolder(data.dwFileAttributes))
            RemoveTree(path);
        else
            RemoveFile(path);
        return true;
    });
    sys::RemoveDirectory(folder);
}

} // namespace

TPrivateTempFolder &TPrivateTempFolder::Instance()
{
    static TPrivateTempFolder folder;
    return folder;
}

QString TPrivateTempFolder::Path()
{
    if (!path.isEmpty() && sys::GetFileAttributes(path) != sys::INVALID_FILE_ATTRIBUTES)
        return path;
    path.clear();
    for (int i = 0; i < nameAttempts; ++i) {
        const QString candidate =
            sys::GetTempPath() +
            QStringLiteral("kestrel-%1")
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (sys::CreatePrivateDirectory(candidate)) {
            path = candidate;
            break;
        }
        if (sys::GetLastError() != sys::ERROR_ALREADY_EXISTS)
            break;
    }
    return path;
}

QString TPrivateTempFolder::NewFolder()
{
    const QString base = Path();
    if (base.isEmpty())
        return QString();
    for (int i = 0; i < nameAttempts; ++i) {
        const QString candidate = sys::JoinPath(base, QString::number(++made));
        if (sys::CreateDirectory(candidate))
            return candidate;
        if (sys::GetLastError() != sys::ERROR_ALREADY_EXISTS)
            break;
    }
    return QString();
}

void TPrivateTempFolder::Remove()
{
    if (path.isEmpty())
        return;
    RemoveTree(path);
    path.clear();
}

} // namespace kestrel
