#include "archive/archiver.h"

#include "archive/archive.h"
#include "archive/archivestrings.h"
#include "archive/privatetemp.h"
#include "ops/ask.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/shell.h"

namespace kestrel {

TListFile::~TListFile()
{
    if (!path.isEmpty())
        sys::DeleteFile(path);
    if (!folder.isEmpty())
        sys::RemoveDirectory(folder);
}

bool TListFile::Write(const QStringList &names)
{
    folder = TPrivateTempFolder::Instance().NewFolder();
    if (folder.isEmpty())
        return false;
    path = sys::JoinPath(folder, QStringLiteral("names.lst"));
    QByteArray text;
    for (const QString &name : names)
        text += sys::EncodeName(QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'))) + '\n';
    const sys::HANDLE file =
        sys::CreateFile(path, sys::GENERIC_WRITE, 0, sys::CREATE_NEW, sys::FILE_ATTRIBUTE_NORMAL);
    if (file == sys::INVALID_HANDLE_VALUE)
        return false;
    sys::DWORD written = 0;
    const bool whole = sys::WriteFile(file, text.constData(), sys::DWORD(text.size()), written) &&
                       written == sys::DWORD(text.size());
    const bool closed = sys::CloseHandle(file);
    native = NativeArgument(path);
    return whole && closed && !native.isEmpty();
}

QString NativeArgument(const QString &path)
{
    QByteArray native;
    if (!sys::ToNative(sys::GetFullPathName(path), native))
        return QString();
    return sys::DecodeName(native);
}

bool RunArchiver(const TArchive &archive, const QStringList &args, const QString &workDir,
                 const QString &caption)
{
    int exitCode = 0;
    const bool ran = sys::RunProgram(archive.ProgramPath, args, workDir, exitCode);
    if (ran && exitCode == 0)
        return true;
    const TOperationGuard guard;
    const QString text =
        ran ? ArchiveStr(amArchiverFailed)
                  .replace(QLatin1String("%s"), archive.ProgramPath)
                  .replace(QLatin1String("%d"), QString::number(exitCode))
            : ArchiveStr(amNoArchiver).replace(QLatin1String("%s"), archive.ProgramPath);
    Ask().MessageBox(archive.Owner, text, caption, MB_OK | MB_ICONERROR);
    return false;
}

} // namespace kestrel
