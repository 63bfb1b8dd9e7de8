// Extraction and adding of ACE archives: the library's calls in the order
// the handler makes them, the questions asked between them, and the
// external archiver for adding.

#include "archive/ace.h"

#include "archive/archiver.h"
#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/messagelist.h"
#include "archive/unacelibrary.h"
#include "archive/zipfolders.h"
#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "text/strings.h"

#include <QCoreApplication>

namespace kestrel {

namespace {

constexpr std::uint32_t attributeFolder = 0x10;

} // namespace

void TAce::Report(int kind, sys::INT64 amount, const QString &name)
{
    if (!Cancel && OnProgress)
        OnProgress(*this, kind, amount, name);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool TAce::MayWrite(const QString &target, const QString &relative, sys::UINT64 size,
                    std::uint32_t time)
{
    if (sys::GetFileAttributes(target) == sys::INVALID_FILE_ATTRIBUTES)
        return true;
    if (!OnFileExists)
        return false; // nobody to ask: an existing file is kept
    int &mode = OverwriteMode;
    if (!((mode & feAll) && !(mode & feRename)))
        mode = 0;
    TFile entry;
    entry.SetFullName(sys::ExtractFileName(relative));
    entry.Size = size;
    sys::DosDateTimeToFileTime(std::uint16_t(time >> 16), std::uint16_t(time), entry.Time);
    QString asked = target;
    OnFileExists(*this, entry, mode, asked);
    if (mode & feCancel)
        Cancel = true;
    return (mode & feOverwrite) && !(mode & feCancel);
}

void TAce::Extract(const QString &destination)
{
    ProcessedCount = 0;
    if (ExtractRunning || FileName.isEmpty() || WrongFormat)
        return;
    ExtractRunning = true;
    Cancel = false;
    TUnaceLibrary library;
    TUnaceLibrary::TChangeVolume changeVolume;
    if (OnChangeVolume)
        changeVolume = [this](const QString &volumeName, int mode) {
            int result = mode;
            OnChangeVolume(*this, volumeName, result);
            return result;
        };
    TUnaceLibrary::TProcessData processData;
    if (OnProgress)
        processData = [this](sys::UINT64 count) {
            Report(apkBytes, sys::INT64(count), QString());
            return Cancel ? 0 : 1;
        };
    const int opened = library.Open(FileName, 1, changeVolume, processData);
    if (opened != ucSuccess) {
        ShowCode(opened, acOpening);
        ExtractRunning = false;
        return;
    }
    if (!Password.isEmpty())
        library.SetPassword(Password);
    QString folder = destination.isEmpty() ? sys::GetCurrentDirectory() : destination;
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');

    QStringList names = Names;
    AppendFolderWildcards(names);
    const TEntrySelection selection(names);
    if (OnProgress) {
        int count = 0;
        sys::UINT64 total = 0;
        for (int i = 0; i < Files.Count(); ++i)
            if (selection.Selects(Files.Key(i))) {
                ++count;
                total += Files.Entry(i)->Size;
            }
        Report(apkItemCount, count, QString());
        Report(apkByteTotal, sys::INT64(total), QString());
    }

    TArchiveMessages messages;
    TUnaceItem item;
    int result = 0;
    const bool madeFolder = ForceFolder(folder.chopped(1));
    while (madeFolder && (result = library.ReadHeader(item)) == ucSuccess) {
        if ((item.flags & acfEncrypted) && Password.isEmpty()) {
            QString answer;
            if (AskPassword(answer)) {
                Password = answer;
                library.SetPassword(Password);
            }
        }
        if (Cancel)
            break;
        QString relative;
        const bool safe = SafeEntryPath(item.name, relative);
        int operation = safe && selection.Selects(relative) ? ucOperationExtract : ucOperationSkip;
        if (!safe && Names.isEmpty())
            messages.Add(ArchiveStr(amUnsafeName).replace(QLatin1String("%s"), item.name));
        const bool isFile = !(item.attributes & attributeFolder);
        if (operation == ucOperationExtract && isFile) {
            Report(apkItem, sys::INT64(item.size), relative);
            if (!MayWrite(sys::JoinPath(folder, relative), relative, item.size, item.time))
                operation = ucOperationSkip;
            if (Cancel)
                break;
        }
        const int processed = library.ProcessFile(operation, folder);
        if (processed == ucUnsafeName) {
            messages.Add(ArchiveStr(amUnsafeName).replace(QLatin1String("%s"), item.name));
            continue;
        }
        if (processed != ucSuccess && !Cancel) {
            ShowCode(processed, acProcessing);
            break;
        }
        if (processed == ucSuccess && operation == ucOperationExtract && isFile)
            ++ProcessedCount;
    }
    if (!madeFolder)
        messages.Add(AboutObject(folder, GetErrorMessage(int(sys::GetLastError()))));
    if (result == ucReadFailed || result == ucBadData)
        ShowCode(result, acReading);
    library.Close();
    if (OnProgress)
        Report(apkEnd, 0, QString());
    messages.Show(Owner, amNotExtracted);
    Names.clear();
    Cancel = false;
    ExtractRunning = false;
}

QStringList TAce::AddArguments(const QString &listFile) const
{
    QStringList args;
    args << ((AddOptions & aoMove) ? QStringLiteral("m") : QStringLiteral("a"))
         << QStringLiteral("-y");
    if (AddOptions & aoRecurse)
        args << QStringLiteral("-r");
    if (VolumeSize != 0)
        args << QStringLiteral("-v") + QString::number(VolumeSize);
    if (!Password.isEmpty())
        args << QStringLiteral("-p") + Password;
    const int method = Compression == 0 ? 5 : Compression == 1 ? 3 : 0;
    args << QStringLiteral("-m") + QString::number(method);
    // The archiver is a program of this system: it gets native paths.
    args << NativeArgument(FileName) << QStringLiteral("@") + listFile;
    return args;
}

void TAce::Add()
{
    Added = false;
    TListFile list;
    if (!list.Write(Names)) {
        ShowCode(ucWriteFailed, acProcessing);
        return;
    }
    Added = RunArchiver(*this, AddArguments(list.NativePath()), QString(), AceCaption());
}

} // namespace kestrel
