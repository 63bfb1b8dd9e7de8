// Extraction and adding of ACE archives: the library's calls in the order
// the handler makes them, the questions asked between them, and the
// external archiver for adding.

#include "archive/ace.h"

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/messagelist.h"
#include "archive/privatetemp.h"
#include "archive/unacelibrary.h"
#include "archive/zipfolders.h"
#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "ops/safereplace.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/shell.h"
#include "text/strings.h"

#include <QCoreApplication>
#include <QProcess>

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
    QByteArray archive;
    QByteArray list;
    args << (sys::ToNative(FileName, archive) ? sys::DecodeName(archive) : FileName);
    args << QStringLiteral("@") +
                (sys::ToNative(listFile, list) ? sys::DecodeName(list) : listFile);
    return args;
}

void TAce::Add()
{
    const QString named = ProgramPath.isEmpty() ? QStringLiteral("ace32.exe") : ProgramPath;
    const QString program = sys::FindProgram(named);
    if (program.isEmpty()) {
        const TOperationGuard guard;
        Ask().MessageBox(Owner, ArchiveStr(amNoArchiver).replace(QLatin1String("%s"), named),
                         AceCaption(), MB_OK | MB_ICONERROR);
        return;
    }
    // The list file is private to this run and removed afterwards.
    QString listFile;
    const QString folder = TPrivateTempFolder::Instance().NewFolder();
    const sys::HANDLE list = folder.isEmpty()
                                 ? sys::INVALID_HANDLE_VALUE
                                 : CreateTempBeside(sys::JoinPath(folder, QStringLiteral("list")),
                                                    sys::FILE_ATTRIBUTE_NORMAL, listFile);
    if (list == sys::INVALID_HANDLE_VALUE) {
        ShowCode(ucWriteFailed, acProcessing);
        return;
    }
    const QByteArray text = Names.join(QLatin1String("\r\n")).toUtf8() + "\r\n";
    sys::DWORD written = 0;
    const bool listWritten =
        sys::WriteFile(list, text.constData(), sys::DWORD(text.size()), written) &&
        written == sys::DWORD(text.size());
    sys::CloseHandle(list);
    int exitCode = -1;
    if (listWritten) {
        QProcess archiver;
        archiver.setProgram(program);
        archiver.setArguments(AddArguments(listFile));
        archiver.setProcessChannelMode(QProcess::ForwardedChannels);
        archiver.start();
        if (archiver.waitForStarted()) {
            while (!archiver.waitForFinished(50))
                if (QCoreApplication::instance())
                    QCoreApplication::processEvents();
            if (archiver.exitStatus() == QProcess::NormalExit)
                exitCode = archiver.exitCode();
        }
    }
    RemoveFile(listFile);
    sys::RemoveDirectory(folder);
    if (exitCode != 0) {
        const TOperationGuard guard;
        Ask().MessageBox(Owner,
                         ArchiveStr(amArchiverFailed)
                             .replace(QLatin1String("%s"), named)
                             .replace(QLatin1String("%d"), QString::number(exitCode)),
                         AceCaption(), MB_OK | MB_ICONERROR);
    }
}

} // namespace kestrel
