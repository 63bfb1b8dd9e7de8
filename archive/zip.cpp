#include "archive/zip.h"

#include "archive/archivestrings.h"
#include "archive/entrypath.h"
#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/operationlock.h"
#include "panel/file.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "text/strings.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

#include <new>

namespace kestrel {

namespace {

QString ZipMessageText(int id)
{
    const QString text = ArchiveStr(id);
    return text.isEmpty() ? QStringLiteral("Error String ID is: %1").arg(id) : text;
}

} // namespace

EZipBuilder::EZipBuilder(int id, bool show)
    : Id(id), Message(ZipMessageText(id)), Show(show), text(Message.toUtf8())
{
}

TZip::~TZip()
{
    CloseZipHandle();
}

void TZip::CloseZipHandle()
{
    source.reset();
    if (ZipHandle != sys::INVALID_HANDLE_VALUE)
        sys::CloseHandle(ZipHandle);
    ZipHandle = sys::INVALID_HANDLE_VALUE;
}

void TZip::ShowZipError(int id, const QString &extra)
{
    LastErrorId = id;
    LastMessage = ZipMessageText(id) + extra;
    const TOperationGuard guard;
    Ask().MessageBox(Owner, LastMessage, LoadStr(512),
                     MB_OK | (id == 10203 ? MB_ICONWARNING : MB_ICONERROR));
}

bool TZip::OpenEOC(bool raiseOnError)
{
    CloseZipHandle();
    ZipHandle = sys::CreateFile(FileName, sys::GENERIC_READ, sys::FILE_SHARE_READ,
                                sys::OPEN_EXISTING, sys::FILE_ATTRIBUTE_NORMAL);
    if (ZipHandle == sys::INVALID_HANDLE_VALUE) {
        if (raiseOnError)
            throw EZipBuilder(11001);
        ShowZipError(11002);
        return false;
    }
    source = std::make_unique<TZipFileSource>(ZipHandle);
    const int id = TZipDirectoryReader(*source).FindEnd(end);
    if (id != 0) {
        if (raiseOnError || id != 11036)
            throw EZipBuilder(id);
        return false;
    }
    ZipFileSize = end.fileSize;
    return true;
}

void TZip::ReadDirectory()
{
    OpenEOC(true);
    // Data in front of the archive, such as a self-extractor, is tolerated.
    if (end.directoryStart != end.recordedStart)
        ShowZipError(10203);
    QSet<QString> folderKeys;
    const int id = TZipDirectoryReader(*source).ReadEntries(end, false, [&](TZipCentralEntry &e) {
        QString path;
        // Names that would lead outside a destination are not listed;
        // extraction reports them.
        if (!SafeEntryPath(e.path, path))
            return;
        auto entry = std::make_unique<TArchiveEntry>();
        entry->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
        entry->Size = e.size;
        entry->PackedSize = e.packedSize;
        entry->Attributes = e.Attributes();
        entry->Time = e.Time();
        if (!(entry->Attributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
            AddFile(path, std::move(entry));
            return;
        }
        entry->Size = 0;
        entry->PackedSize = 0;
        const QString key = sys::CaseKey(path);
        if (!folderKeys.contains(key)) {
            folderKeys.insert(key);
            AddFolder(path, std::move(entry));
        }
    });
    if (id != 0)
        throw EZipBuilder(id);
}

void TZip::ReadList()
{
    try {
        ReadDirectory();
    } catch (const EZipBuilder &e) {
        if (e.Show) {
            ShowZipError(e.Id);
        } else {
            LastErrorId = e.Id;
            LastMessage = e.Message;
        }
        FileName.clear();
    } catch (const std::bad_alloc &) {
        ShowZipError(10103);
        FileName.clear();
    } catch (const std::exception &e) {
        ShowZipError(10202, QString::fromLocal8Bit(e.what()));
        FileName.clear();
    }
    CloseZipHandle();
    BuildFolders();
}

void TZip::Add()
{
    LastErrorId = 0;
    ProcessedCount = 0;
    LastMessage.clear();
    Added = false;
    if (AddRunning)
        return;
    Cancel = false;
    AddRunning = true;
    TZipAddRequest request;
    request.archive = FileName;
    request.baseFolder = sys::GetCurrentDirectory();
    for (const QString &name : std::as_const(Names)) {
        const sys::DWORD attributes = sys::GetFileAttributes(name);
        const bool folder = attributes == sys::INVALID_FILE_ATTRIBUTES ||
                            (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
        request.names.append(folder ? name + QLatin1String("\\*.*") : name);
    }
    request.password = Password;
    request.encryption = Encryption;
    static const int levels[] = {9, 6, 0};
    request.level = levels[std::clamp(Compression, 0, 2)];
    request.recurse = AddOptions & aoRecurse;
    request.move = AddOptions & aoMove;
    engineMessages.Clear();
    try {
        const int count =
            ZipEngine::Add(request, [this](TZipCallbackRecord &r) { return Callback(r); });
        ProcessedCount = std::max(count, 0);
        Added = count >= 0;
    } catch (const std::exception &) {
        ShowZipError(10101);
    }
    engineMessages.Show(Owner, amNotAdded);
    Names.clear();
    Cancel = false;
    AddRunning = false;
}

void TZip::Extract(const QString &destination)
{
    LastErrorId = 0;
    ProcessedCount = 0;
    LastMessage.clear();
    // A listing that failed has shown its message already.
    if (ExtractRunning || FileName.isEmpty())
        return;
    Cancel = false;
    TZipExtractRequest request;
    request.archive = FileName;
    request.destination = destination;
    request.names = Names;
    AppendFolderWildcards(request.names);
    request.password = Password;
    request.passwordRequests = PasswordRetries + 1;
    ExtractRunning = true;
    engineMessages.Clear();
    try {
        ProcessedCount =
            ZipEngine::Extract(request, [this](TZipCallbackRecord &r) { return Callback(r); });
    } catch (const std::exception &) {
        ShowZipError(10501);
    }
    engineMessages.Show(Owner, amNotExtracted);
    Names.clear();
    Cancel = false;
    ExtractRunning = false;
}

void TZip::AnswerPassword(TZipCallbackRecord &record)
{
    QString answer;
    if (record.fileSize == 1) {
        // The engine's last request: giving up.
    } else if (record.fileSize == PasswordRetries + 1 && !Password.isEmpty()) {
        answer = Password;
    } else if (record.errorCode & 1) {
        QString again;
        if (AskPassword(answer) && AskPassword(again) && !answer.isEmpty() && !again.isEmpty() &&
            answer != again) {
            ShowZipError(10104);
            answer.clear();
        }
    } else {
        AskPassword(answer);
    }
    Password = answer;
    if (answer.isEmpty()) {
        record.errorCode = 0;
        Cancel = true;
    } else {
        record.text = answer;
        record.errorCode = 1;
    }
}

void TZip::AnswerFileExists(TZipCallbackRecord &record)
{
    if (!OnFileExists) {
        // Nobody to ask: an existing file is kept.
        record.fileSize = 0;
        return;
    }
    if (!((OverwriteMode & feAll) && !(OverwriteMode & feRename)))
        OverwriteMode = 0;
    TFile item;
    item.SetFullName(sys::ExtractFileName(record.text));
    item.Size = sys::UINT64(record.fileSize);
    item.Time = record.time;
    QString target = record.text;
    OnFileExists(*this, item, OverwriteMode, target);
    record.fileSize = OverwriteMode & feOverwrite;
    Cancel = OverwriteMode & feCancel;
}

bool TZip::Callback(TZipCallbackRecord &record)
{
    const QString text = QString(record.text).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const auto progress = [&](int kind, sys::INT64 amount, const QString &name) {
        if (!Cancel && OnProgress)
            OnProgress(*this, kind, amount, name);
    };
    switch (record.action) {
    case zaNewFile:
        progress(apkItem, record.fileSize, text);
        break;
    case zaProgress:
        progress(apkBytes, record.fileSize, QString());
        break;
    case zaEndOfBatch:
        progress(apkEnd, 0, QString());
        break;
    case zaMessage:
        if (record.errorCode != 0) {
            LastErrorId = int(qint8(record.errorCode & 0xFF));
            LastMessage = text;
            engineMessages.Add(text);
        }
        break;
    case zaTotalFiles:
        progress(apkItemCount, record.fileSize, QString());
        break;
    case zaTotalSize:
        progress(apkByteTotal, record.fileSize, QString());
        break;
    case zaNewName:
        record.errorCode = 0;
        break;
    case zaPassword:
        AnswerPassword(record);
        break;
    case zaCrcError:
        record.errorCode = 2;
        break;
    case zaFileExists:
        record.text = text;
        AnswerFileExists(record);
        break;
    default:
        break;
    }
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (Cancel && OnProgress)
        OnProgress(*this, apkEnd, 0, QString());
    return Cancel;
}

} // namespace kestrel
