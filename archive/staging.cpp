#include "archive/staging.h"

#include "archive/archivestrings.h"
#include "archive/arjheader.h"
#include "archive/entrypath.h"
#include "archive/zipfolders.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/safereplace.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"

#include <QRandomGenerator>

#include <vector>

namespace kestrel {

namespace {

constexpr int nameAttempts = 100;

void RemoveTree(const QString &path)
{
    sys::ForEachEntry(path, [&](const sys::WIN32_FIND_DATA &data) {
        const QString item = sys::JoinPath(path, data.cFileName);
        if (IsRealFolder(data.dwFileAttributes))
            RemoveTree(item);
        else
            RemoveFile(item);
        return true;
    });
    sys::RemoveDirectory(path);
}

} // namespace

std::optional<sys::DWORD> FileCrc(const QString &path)
{
    const sys::HANDLE file = sys::CreateFile(path, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                             sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<char> buffer(std::size_t(1) << 16);
    sys::DWORD crc = 0xFFFFFFFFu;
    bool ok = true;
    for (;;) {
        sys::DWORD read = 0;
        if (!sys::ReadFile(file, buffer.data(), sys::DWORD(buffer.size()), read)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        crc = ArjCrcUpdate(crc, buffer.data(), read);
    }
    sys::CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return ~crc;
}

TStaging::TStaging(TArchive &archive, const QString &destination, TArchiveMessages &messages)
    : archive(archive), destination(destination), messages(messages), folders(destination)
{
}

TStaging::~TStaging()
{
    if (!folder.isEmpty())
        RemoveTree(folder);
}

bool TStaging::Open()
{
    if (!ForceFolder(destination)) {
        messages.Add(ErrorLine(destination, int(sys::GetLastError())));
        return false;
    }
    for (int i = 0; i < nameAttempts; ++i) {
        const QString candidate = sys::JoinPath(
            destination, QStringLiteral(".kestrel-%1")
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (sys::CreatePrivateDirectory(candidate)) {
            folder = candidate;
            return true;
        }
        if (sys::GetLastError() != sys::ERROR_ALREADY_EXISTS)
            break;
    }
    messages.Add(ErrorLine(destination, int(sys::GetLastError())));
    return false;
}

bool TStaging::MakeParents(const QString &relative)
{
    const TExtractFolders::TResult made =
        folders.Make(relative, int(relative.count(QLatin1Char('\\'))));
    if (made != TExtractFolders::efMade)
        messages.Add(TExtractFolders::Failure(made, relative));
    return made == TExtractFolders::efMade;
}

void TStaging::PlaceFolder(const QString &relative)
{
    if (folders.Make(relative, int(relative.count(QLatin1Char('\\'))) + 1) !=
        TExtractFolders::efMade)
        messages.Add(ErrorLine(relative, int(sys::GetLastError())));
}

bool TStaging::AskTarget(const QString &target, const TArchiveEntry &entry, bool &exists)
{
    // A dangling link has attributes of its own, so it counts as there too.
    const sys::DWORD attributes = sys::GetFileAttributes(target);
    exists = attributes != sys::INVALID_FILE_ATTRIBUTES;
    if (!exists)
        return true;
    if (IsRealFolder(attributes)) {
        messages.Add(ErrorLine(sys::ExtractFileName(target), sys::ERROR_ALREADY_EXISTS));
        return false;
    }
    if (!archive.OnFileExists)
        return false;
    int &mode = archive.OverwriteMode;
    if (!((mode & feAll) && !(mode & feRename)))
        mode = 0;
    TFile item;
    item.SetFullName(entry.Name);
    item.Size = entry.Size;
    item.Time = entry.Time;
    QString asked = target;
    archive.OnFileExists(archive, item, mode, asked);
    if (mode & feCancel)
        archive.Cancel = true;
    return (mode & feOverwrite) && !(mode & feCancel);
}

bool TStaging::Place(const QString &relative, const TArchiveEntry &entry,
                     std::optional<sys::DWORD> crc)
{
    if (archive.Cancel)
        return false;
    const QString staged = sys::JoinPath(folder, relative);
    QString linkText;
    const bool link = sys::ReadSymbolicLink(staged, linkText);
    if (link) {
        if (!LinkStaysInside(relative, linkText)) {
            messages.Add(WithName(amLinkOutside, relative));
            return false;
        }
    } else {
        const sys::DWORD attributes = sys::GetFileAttributes(staged);
        if (attributes == sys::INVALID_FILE_ATTRIBUTES || IsRealFolder(attributes)) {
            messages.Add(WithName(amNotWritten, relative));
            return false;
        }
        if (crc) {
            const std::optional<sys::DWORD> actual = FileCrc(staged);
            if (!actual || *actual != *crc) {
                messages.Add(WithName(amCrcError, relative));
                return false;
            }
        }
    }
    if (!MakeParents(relative))
        return false;
    const QString target = sys::JoinPath(destination, relative);
    bool exists = false;
    if (!AskTarget(target, entry, exists))
        return false;
    const int error = exists ? ReplaceFile(staged, target)
                             : (sys::MoveFile(staged, target) ? 0 : int(sys::GetLastError()));
    if (error != 0) {
        messages.Add(ErrorLine(relative, error));
        return false;
    }
    ++placed;
    return true;
}

} // namespace kestrel
