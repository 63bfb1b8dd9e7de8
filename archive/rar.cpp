#include "archive/rar.h"

#include "archive/archiver.h"
#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "archive/entryselection.h"
#include "archive/messagelist.h"
#include "archive/staging.h"
#include "archive/zipfolders.h"
#include "ops/ask.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/fileapi.h"

#include <QCoreApplication>

namespace kestrel {

namespace {

constexpr sys::DWORD copyChunk = 1 << 20;

const QString &Caption()
{
    static const QString caption = QStringLiteral("UnRAR");
    return caption;
}

} // namespace

TRar *TRar::Current = nullptr;

TRar::TRar()
{
    ProgramPath = QStringLiteral("rar.exe");
}

TRar::~TRar()
{
    if (Current == this)
        Current = nullptr;
}

QString TRar::RarErrorText(int code) const
{
    switch (code) {
    case rarNoMemory:
        return ArchiveStr(30101);
    case rarBadData:
        return ArchiveStr(Password.isEmpty() ? 30102 : 30303);
    case rarBadArchive:
        return ArchiveStr(30104).replace(QLatin1String("%s"), QLatin1String("RAR"));
    case rarUnknownFormat:
        return ArchiveStr(30103);
    case rarOpenFailed:
        return ArchiveStr(30201);
    case rarCreateFailed:
        return ArchiveStr(30202);
    case rarCloseFailed:
        return ArchiveStr(30203);
    case rarReadFailed:
        return ArchiveStr(30204);
    case rarWriteFailed:
        return ArchiveStr(30205);
    case rarSmallBuffer:
        return ArchiveStr(30300);
    case rarNoLibrary:
        return ArchiveStr(30302).replace(QLatin1String("%s"), QLatin1String("UNRAR.DLL"));
    case rarEncryptionUnsupported:
        return ArchiveStr(amEncrypted).replace(QLatin1String("%s"), FileName);
    default:
        return ArchiveStr(30301);
    }
}

QString TRar::ShowRarError(int code) const
{
    const QString text = RarErrorText(code);
    const TOperationGuard guard;
    Ask().MessageBox(Owner, text, Caption(), MB_OK | MB_ICONERROR);
    return text;
}

bool TRar::IsSelected(const QString &path) const
{
    return TEntrySelection(Names).Selects(path);
}

void TRar::ReadList()
{
    Files.Clear();
    Folders.Clear();
    UnrarLibrary library;
    const int opened = library.Open(FileName, rarOmList);
    if (opened != rarSuccess) {
        library.Close();
        ShowRarError(opened);
        BuildFolders();
        return;
    }
    // The listing never moves on to a further volume.
    library.SetChangeVolumeProc([](const QString &, int) { return 0; });
    TRarHeader header;
    int result = rarSuccess;
    while ((result = library.ReadHeader(header)) == rarSuccess) {
        if (ListingStopped()) {
            result = rarEndArchive;
            break;
        }
        QString path;
        // Names that would lead outside a destination are not listed;
        // extraction reports them.
        if (SafeEntryPath(header.FileName, path)) {
            auto entry = std::make_unique<TArchiveEntry>();
            entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
            entry->Size = header.UnpSize;
            entry->PackedSize = header.PackSize;
            entry->Attributes = header.FileAttr & 0xFF;
            entry->Time = header.FileTime;
            if (entry->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY) {
                if (Folders.IndexOf(path) < 0)
                    AddFolder(path, std::move(entry));
            } else {
                AddFile(path, std::move(entry));
            }
        }
        const int processed = library.ProcessFile(rarSkip, QString());
        if (processed == rarOpenFailed) {
            result = rarEndArchive; // the end of this volume: quietly
            break;
        }
        if (processed != rarSuccess && processed != rarCreateFailed && processed != rarBadData &&
            !Cancel) {
            Ask().MessageBox(Owner, QString::number(processed), Caption(), MB_OK | MB_ICONERROR);
            break;
        }
    }
    library.Close();
    // A damaged archive says so; what came before stays listed.
    if (result != rarEndArchive && result != rarOpenFailed)
        ShowRarError(result);
    BuildFolders();
}

bool TRar::StageHardLink(const QString &destination, const QString &staged,
                         const QString &linked) const
{
    QString relative;
    if (!SafeEntryPath(linked, relative))
        return false;
    const sys::HANDLE from =
        sys::CreateFile(sys::JoinPath(destination, relative), sys::GENERIC_READ,
                        sys::FILE_SHARE_READ, sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (from == sys::INVALID_HANDLE_VALUE)
        return false;
    ForceFolder(staged.left(staged.lastIndexOf(QLatin1Char('\\'))));
    const sys::HANDLE to =
        sys::CreateFile(staged, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_NORMAL);
    bool whole = to != sys::INVALID_HANDLE_VALUE;
    while (whole) {
        sys::DWORD copied = 0;
        whole = sys::CopyFileData(from, to, copyChunk, copied);
        if (copied == 0)
            break;
    }
    sys::CloseHandle(from);
    if (to != sys::INVALID_HANDLE_VALUE)
        whole = sys::CloseHandle(to) && whole;
    return whole;
}

void TRar::Extract(const QString &destination)
{
    if (FileName.isEmpty())
        return;
    UnrarLibrary library;
    const int opened = library.Open(FileName, rarOmExtract);
    if (opened != rarSuccess) {
        library.Close();
        ShowRarError(opened);
        return;
    }
    Current = this;
    Cancel = false;
    if (!Password.isEmpty())
        library.SetPassword(Password);
    const QString target = destination.isEmpty() ? sys::GetCurrentDirectory() : destination;
    if (OnChangeVolume) {
        library.SetChangeVolumeProc([](const QString &volume, int mode) {
            if (!Current || !Current->OnChangeVolume)
                return 0;
            int result = mode;
            Current->OnChangeVolume(*Current, volume, result);
            return result;
        });
    }
    if (OnProgress) {
        library.SetProcessDataProc([](sys::INT64 count) {
            if (!Current)
                return 0;
            if (Current->OnProgress && !Current->Cancel)
                Current->OnProgress(*Current, apkBytes, count, QString());
            if (QCoreApplication::instance())
                QCoreApplication::processEvents();
            return Current->Cancel ? 0 : 1;
        });
        int count = 0;
        sys::UINT64 total = 0;
        for (int i = 0; i < Files.Count(); ++i) {
            if (Names.isEmpty() || IsSelected(Files.Key(i))) {
                ++count;
                total += Files.Entry(i)->Size;
            }
        }
        OnProgress(*this, apkItemCount, count, QString());
        OnProgress(*this, apkByteTotal, sys::INT64(total), QString());
    }
    // Once the last selected item is out, the rest of the set is not read,
    // so a later volume that is missing is not asked for.
    int wanted = 0;
    for (int i = 0; i < Files.Count() && !Names.isEmpty(); ++i)
        wanted += IsSelected(Files.Key(i)) ? 1 : 0;
    TArchiveMessages messages;
    TStaging staging(*this, target, messages);
    int result = rarSuccess;
    int failure = rarSuccess; // shown once the archive is closed
    if (staging.Open()) {
        TRarHeader header;
        while ((result = library.ReadHeader(header)) == rarSuccess) {
            QString relative;
            const bool safe = SafeEntryPath(header.FileName, relative);
            const bool selected = Names.isEmpty() || IsSelected(relative);
            // Only an item that is to be extracted needs the password.
            if (selected && (header.Flags & rarFlagEncrypted) && Password.isEmpty()) {
                QString answer;
                if (AskPassword(answer)) {
                    Password = answer;
                    library.SetPassword(answer);
                }
            }
            if (Cancel)
                break;
            if (!safe && selected) {
                messages.Add(
                    ArchiveStr(amUnsafeName).replace(QLatin1String("%s"), header.FileName));
                failure = library.ProcessFile(rarSkip, QString());
                if (failure != rarSuccess)
                    break;
                continue;
            }
            const bool folder = header.FileAttr & sys::FILE_ATTRIBUTE_DIRECTORY;
            if (selected && !folder && OnProgress)
                OnProgress(*this, apkItem, sys::INT64(header.UnpSize), relative);
            int processed = rarSuccess;
            if (selected && !header.HardLink.isEmpty() && header.UnpSize == 0) {
                processed = library.ProcessFile(rarSkip, QString());
                if (!StageHardLink(target, sys::JoinPath(staging.Folder(), relative),
                                   header.HardLink))
                    messages.Add(ArchiveStr(amLinkOutside).replace(QLatin1String("%s"), relative));
            } else {
                processed = library.ProcessFile(selected ? rarExtract : rarSkip, staging.Folder());
            }
            if (processed != rarSuccess) {
                if (!Cancel)
                    failure = processed;
                break;
            }
            if (!selected)
                continue;
            TArchiveEntry entry;
            entry.Name = relative.mid(relative.lastIndexOf(QLatin1Char('\\')) + 1);
            entry.Size = header.UnpSize;
            entry.Time = header.FileTime;
            if (folder)
                staging.PlaceFolder(relative);
            else if (sys::GetFileAttributes(sys::JoinPath(staging.Folder(), relative)) !=
                         sys::INVALID_FILE_ATTRIBUTES ||
                     !header.LinkTarget.isEmpty())
                staging.Place(relative, entry);
            if (!folder && wanted > 0 && --wanted == 0) {
                result = rarEndArchive;
                break;
            }
        }
        if (failure == rarSuccess && result != rarSuccess && result != rarEndArchive)
            failure = result;
    }
    library.Close();
    if (failure != rarSuccess)
        ShowRarError(failure);
    if (OnProgress)
        OnProgress(*this, apkEnd, 0, QString());
    if (!messages.IsEmpty()) {
        const TOperationGuard guard;
        messages.Show(Owner, amNotExtracted);
    }
    Names.clear();
}

QStringList TRar::AddArguments(const QString &archive, const QString &listFile) const
{
    QStringList args{(AddOptions & aoMove) ? QStringLiteral("m") : QStringLiteral("a")};
    if (AddOptions & aoRecurse)
        args.append(QStringLiteral("-r"));
    if (VolumeSize != 0)
        args.append(QStringLiteral("-v") + QString::number(VolumeSize));
    if (!Password.isEmpty())
        args.append(QStringLiteral("-p") + Password);
    static const char *const methods[] = {"-m5", "-m3", "-m0"};
    args.append(QLatin1String(methods[std::clamp(Compression, 0, 2)]));
    args.append(archive);
    args.append(QLatin1Char('@') + listFile);
    return args;
}

void TRar::Add()
{
    Added = false;
    TListFile list;
    if (!list.Write(Names)) {
        const TOperationGuard guard;
        Ask().MessageBox(Owner, ArchiveStr(30205), QStringLiteral("RAR"), MB_OK | MB_ICONERROR);
        return;
    }
    Added = RunArchiver(*this, AddArguments(NativeArgument(FileName), list.NativePath()),
                        QString(), QStringLiteral("RAR"));
}

} // namespace kestrel
