#include "ops/safereplace.h"

#include "ops/filefunction.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"

#include <QRandomGenerator>

#include <functional>

namespace kestrel {

namespace {

constexpr int nameAttempts = 100;

QString TempNameBeside(const QString &target)
{
    const quint32 n = QRandomGenerator::global()->generate();
    return sys::ExtractFilePath(target) +
           QStringLiteral("~kst%1.tmp").arg(n, 8, 16, QLatin1Char('0'));
}

// Makes something under a fresh temporary name beside target, trying other
// names while the chosen one is taken; false with the last error set.
bool MakeBeside(const QString &target, QString &tempPath,
                const std::function<bool(const QString &)> &make)
{
    for (int i = 0; i < nameAttempts; ++i) {
        tempPath = TempNameBeside(target);
        if (make(tempPath))
            return true;
        const sys::DWORD error = sys::GetLastError();
        if (error != sys::ERROR_FILE_EXISTS && error != sys::ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

} // namespace

sys::HANDLE CreateTempBeside(const QString &target, sys::DWORD attributes, QString &tempPath)
{
    sys::HANDLE file = sys::INVALID_HANDLE_VALUE;
    MakeBeside(target, tempPath, [&](const QString &path) {
        file = sys::CreateFile(path, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, attributes);
        return file != sys::INVALID_HANDLE_VALUE;
    });
    return file;
}

bool CreateLinkBeside(const QString &target, const QString &text, sys::DWORD flags,
                      QString &tempPath)
{
    return MakeBeside(target, tempPath, [&](const QString &path) {
        return sys::CreateSymbolicLink(path, text, flags);
    });
}

bool MoveAside(const QString &path, QString &tempPath)
{
    return MakeBeside(path, tempPath,
                      [&](const QString &temp) { return sys::MoveFile(path, temp); });
}

int ReplaceFile(const QString &replacement, const QString &target)
{
    // The old file steps aside under a temporary name, so that it can come
    // back if the new one cannot take its place.
    QString backup;
    if (!MoveAside(target, backup))
        return int(sys::GetLastError());
    if (!sys::MoveFile(replacement, target)) {
        const int error = int(sys::GetLastError());
        sys::MoveFile(backup, target);
        return error;
    }
    RemoveFile(backup);
    return 0;
}

bool RemoveFile(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    // A link's attributes are its target's: the link goes as it is.
    if (attributes != sys::INVALID_FILE_ATTRIBUTES && (attributes & sys::FILE_ATTRIBUTE_READONLY) &&
        !IsLink(attributes))
        sys::SetFileAttributes(path, sys::FILE_ATTRIBUTE_NORMAL);
    return sys::DeleteFile(path);
}

} // namespace kestrel
