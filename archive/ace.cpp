#include "archive/ace.h"

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/unacelibrary.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "text/strings.h"

namespace kestrel {

namespace {

constexpr std::uint32_t attributeFolder = 0x10;

sys::FILETIME TimeOf(std::uint32_t dos)
{
    sys::FILETIME time;
    sys::DosDateTimeToFileTime(std::uint16_t(dos >> 16), std::uint16_t(dos), time);
    return time;
}

} // namespace

QString AceCaption()
{
    return QStringLiteral("UnACE");
}

QString AceMessage(int code, TAceContext context, bool passwordSet)
{
    switch (code) {
    case ucSuccess:
        return {};
    case ucNoMemory:
        return ArchiveStr(30101);
    case ucNoNextVolume:
        return context == acOpening ? QString()
                                    : ArchiveStr(30304).replace(QLatin1String("%s"), QString());
    case ucDiskFull:
        return ArchiveStr(30305);
    case ucOpenFailed:
        return ArchiveStr(30201);
    case ucReadFailed:
        return ArchiveStr(30204);
    case ucWriteFailed:
        return ArchiveStr(30205);
    case ucBadData:
        return ArchiveStr(passwordSet ? 30303 : 30102);
    case ucExists:
        return ArchiveStr(30306);
    case ucNotAce:
        return context == acOpening
                   ? ArchiveStr(30104).replace(QLatin1String("%s"), QStringLiteral("ACE"))
                   : QString();
    case ucWrongPassword:
        return ArchiveStr(30303);
    case ucUnknownFormat:
        return ArchiveStr(30103);
    default:
        return ArchiveStr(30301);
    }
}

void TAce::ShowCode(int code, TAceContext context) const
{
    const QString text = AceMessage(code, context, !Password.isEmpty());
    if (text.isEmpty())
        return;
    const TOperationGuard guard;
    Ask().MessageBox(Owner, AboutObject(FileName, text), AceCaption(), MB_OK | MB_ICONERROR);
}

void TAce::ReadList()
{
    WrongFormat = false;
    folderKeys.clear();
    TUnaceLibrary library;
    const int opened = library.Open(FileName, 0);
    if (opened != ucSuccess) {
        WrongFormat = opened == ucNotAce;
        ShowCode(opened, acOpening);
        BuildFolders();
        return;
    }
    TUnaceItem item;
    int result = 0;
    while ((result = library.ReadHeader(item)) == ucSuccess) {
        if (ListingStopped())
            break;
        QString path;
        // Names that would lead outside a destination are not listed;
        // extraction reports them.
        if (SafeEntryPath(item.name, path)) {
            auto entry = std::make_unique<TArchiveEntry>();
            entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
            entry->Size = item.size;
            entry->PackedSize = item.packedSize;
            entry->Attributes = item.attributes & 0xFF;
            entry->Time = TimeOf(item.time);
            if (entry->Attributes & attributeFolder) {
                if (!folderKeys.contains(sys::CaseKey(path))) {
                    folderKeys.insert(sys::CaseKey(path));
                    AddFolder(path, std::move(entry));
                }
            } else {
                AddFile(path, std::move(entry));
            }
        }
        const int processed = library.ProcessFile(ucOperationSkip, QString());
        if (processed != ucSuccess) {
            Ask().MessageBox(Owner, QString::number(processed), AceCaption(), MB_OK | MB_ICONERROR);
            break;
        }
    }
    if (result == ucReadFailed || result == ucBadData)
        ShowCode(result, acReading);
    library.Close();
    BuildFolders();
}

} // namespace kestrel
