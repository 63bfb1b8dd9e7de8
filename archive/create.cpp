#include "archive/create.h"

#include "archive/archivestrings.h"
#include "archive/handlers.h"
#include "archive/zipfolders.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "ops/progress.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "text/strings.h"

namespace kestrel {

namespace {

constexpr int amNotListed = 30535;
constexpr int amNameIsFolder = 30536;
constexpr int amPasswordNotAscii = 30537;
constexpr int amPasswordTooLong = 30538;
constexpr int maxPasswordLength = 30;

// The name's last extension with its dot; "" for none. A leading dot (a
// hidden file's) starts no extension.
QString FileExtension(const QString &name)
{
    const QString file = sys::ExtractFileName(name);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? file.mid(dot) : QString();
}

// The first volume a split RAR archive gets when the name alone is not there.
QString FirstVolume(const QString &path, TArchiveType type)
{
    if (type != atRar || sys::GetFileAttributes(path) != sys::INVALID_FILE_ATTRIBUTES)
        return path;
    const QString base = path.left(path.size() - 4);
    for (const char *part : {".part1.rar", ".part01.rar", ".part001.rar"}) {
        const QString volume = base + QLatin1String(part);
        if (sys::GetFileAttributes(volume) != sys::INVALID_FILE_ATTRIBUTES)
            return volume;
    }
    return path;
}

// The files below a folder, as paths relative to the current folder: the ARJ
// archiver neither takes a folder's name for its contents nor walks every
// level below it.
void AppendFilesBelow(const QString &base, const QString &relative, QStringList &names)
{
    sys::ForEachEntry(sys::JoinPath(base, relative), [&](const sys::WIN32_FIND_DATA &data) {
        const QString name = relative + QLatin1Char('\\') + data.cFileName;
        if (data.dwFileAttributes & sys::FILE_ATTRIBUTE_DIRECTORY)
            AppendFilesBelow(base, name, names);
        else
            names.append(name);
        return true;
    });
}

// The progress window "Compressing..." fed by a ZIP handler's reports.
class TCompressProgress {
public:
    TCompressProgress(TArchive &archive, QObject *owner, const QString &target)
        : archive(archive), owner(owner), target(target)
    {
        archive.OnProgress = [this](TArchive &, int kind, sys::INT64 amount, const QString &name) {
            Report(kind, amount, name);
        };
    }
    ~TCompressProgress()
    {
        archive.OnProgress = nullptr;
        if (open)
            CopyProgress().Close();
    }
    TCompressProgress(const TCompressProgress &) = delete;
    TCompressProgress &operator=(const TCompressProgress &) = delete;

private:
    void Report(int kind, sys::INT64 amount, const QString &name)
    {
        switch (kind) {
        case apkItemCount:
            count = int(amount);
            break;
        case apkByteTotal:
            if (!open) {
                CopyProgress().Open(true, ArchiveStr(527), count, sys::UINT64(amount), owner);
                open = true;
            }
            break;
        case apkItem:
            if (open) {
                CopyProgress().SetFileName(name + QStringLiteral(" -> ") + target);
                CopyProgress().SetStartedCount(CopyProgress().StartedCount() + 1);
            }
            break;
        case apkBytes:
            if (open)
                CopyProgress().SetProgress(CopyProgress().Progress() + sys::UINT64(amount));
            break;
        default:
            break;
        }
        if (open && CopyProgress().Cancelled())
            archive.Cancel = true;
    }

    TArchive &archive;
    QObject *owner;
    QString target;
    int count = 0;
    bool open = false;
};

} // namespace

QString ArchiveExtension(TArchiveType type)
{
    switch (type) {
    case atZip:
        return QStringLiteral(".zip");
    case atRar:
        return QStringLiteral(".rar");
    case atArj:
        return QStringLiteral(".arj");
    case atAce:
        return QStringLiteral(".ace");
    default:
        return QString();
    }
}

QString FinalArchiveName(const QString &name, TArchiveType type)
{
    const QString extension = ArchiveExtension(type);
    if (FileExtension(name).toLower() == extension)
        return name;
    return name + extension;
}

QString ProposedArchiveName(const QString &focusedName)
{
    const QString extension = FileExtension(focusedName);
    return focusedName.left(focusedName.size() - extension.size());
}

QString PasswordProblem(TArchiveType type, const QString &password)
{
    if (password.size() > maxPasswordLength)
        return ArchiveStr(amPasswordTooLong);
    if (type == atZip) {
        for (const QChar c : password) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                return ArchiveStr(amPasswordNotAscii);
        }
    }
    return QString();
}

bool AcceptArchiveForm(QObject *owner, TArchiveForm &form)
{
    // ARJ packs without a password: one typed for it is not kept.
    if (form.format == atArj)
        form.password.clear();
    if (form.password.isEmpty())
        return true;
    const QString problem = PasswordProblem(TArchiveType(form.format), form.password);
    if (!problem.isEmpty()) {
        Ask().MessageBox(owner, problem, form.caption, MB_OK | MB_ICONERROR);
        return false;
    }
    QString again;
    return Ask().GetString(owner, QStringLiteral("Confirm Password"),
                           QStringLiteral("Please retype password to confirm"), again, false, false,
                           true) == mrOk &&
           again == form.password;
}

QString TArchiveCreation::Create(const TCreateRequest &request)
{
    succeeded = false;
    const QString typed =
        sys::ExtractFileDrive(request.name).isEmpty() && !request.name.startsWith(QLatin1Char('\\'))
            ? sys::JoinPath(request.folder, request.name)
            : request.name;
    const QString path = FinalArchiveName(typed, request.type);
    const TOperationGuard guard;
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    if (attributes != sys::INVALID_FILE_ATTRIBUTES &&
        (attributes & sys::FILE_ATTRIBUTE_DIRECTORY)) {
        Ask().MessageBox(owner, ArchiveStr(amNameIsFolder).replace(QLatin1String("%s"), path),
                         LoadStr(512), MB_OK | MB_ICONERROR);
        return path;
    }
    const std::unique_ptr<TArchive> archive = CreateArchiveHandler(request.type);
    if (!archive || request.names.isEmpty())
        return path;
    archive->Owner = owner;
    archive->ProgramPath = request.programPath;
    // The handlers and the archivers take the names from the current folder.
    if (!sys::SetCurrentDirectory(request.folder)) {
        ShowError(int(sys::GetLastError()), request.folder, LoadStr(512), true, owner);
        return path;
    }
    // The outside archivers make no missing folders for the archive.
    if (!ForceFolder(sys::ExtractFilePath(path))) {
        ShowError(int(sys::GetLastError()), sys::ExtractFilePath(path), LoadStr(512), true, owner);
        return path;
    }
    archive->SetFileName(path);
    // An existing file that does not list as this type has said why; adding
    // to it could only destroy it.
    if (archive->FileName.isEmpty() || archive->WrongFormat)
        return path;
    archive->AddOptions = (request.move ? aoMove : 0) | (request.recurse ? aoRecurse : 0);
    if (request.type != atArj)
        archive->Password = request.password;
    archive->VolumeSize = request.volumeSize;
    archive->Compression = request.compression;
    archive->Names = request.names;
    if (request.type == atArj) {
        archive->Names.clear();
        for (const QString &name : request.names) {
            const sys::DWORD kind = sys::GetFileAttributes(sys::JoinPath(request.folder, name));
            if (kind != sys::INVALID_FILE_ATTRIBUTES && (kind & sys::FILE_ATTRIBUTE_DIRECTORY)) {
                if (request.recurse)
                    AppendFilesBelow(request.folder, name, archive->Names);
            } else {
                archive->Names.append(name);
            }
        }
    }
    {
        std::unique_ptr<TCompressProgress> progress;
        if (request.type == atZip)
            progress = std::make_unique<TCompressProgress>(*archive, owner, path);
        archive->Add();
    }
    succeeded = archive->Added;
    if (succeeded && request.type != atZip) {
        // The archivers' word alone is not taken: the archive must list every name.
        succeeded = Listed(request, FirstVolume(path, request.type));
        if (!succeeded)
            Ask().MessageBox(owner, ArchiveStr(amNotListed).replace(QLatin1String("%s"), path),
                             ArchiveTypeName(request.type), MB_OK | MB_ICONERROR);
    }
    return path;
}

bool TArchiveCreation::Listed(const TCreateRequest &request, const QString &path) const
{
    const std::unique_ptr<TArchive> listed = CreateArchiveHandler(request.type);
    listed->Owner = owner;
    listed->Password = request.password;
    listed->SetFileName(path);
    if (listed->WrongFormat)
        return false;
    for (QString name : request.names) {
        name.replace(QLatin1Char('/'), QLatin1Char('\\'));
        if (listed->Files.IndexOf(name) < 0 && listed->Folders.IndexOf(name) < 0)
            return false;
    }
    return true;
}

} // namespace kestrel
