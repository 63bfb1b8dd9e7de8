#include "archive/install.h"

#include "archive/archiver.h"
#include "archive/archivestrings.h"
#include "archive/extraction.h"
#include "archive/privatetemp.h"
#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filedelete.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/shell.h"
#include "text/strings.h"

namespace kestrel {

namespace {

bool IsFile(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           !(attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

// How one found program is started.
TSetupCommand CommandFor(const QString &path, const QString &windowsLoader)
{
    const QString name = sys::ExtractFileName(path).toLower();
    if (name.endsWith(QLatin1String(".sh")))
        return {QStringLiteral("sh"), {NativeArgument(path)}, {}};
    if (!name.endsWith(QLatin1String(".exe")))
        return {path, {}, {}};
    if (windowsLoader.isEmpty())
        return {{},
                {},
                QStringLiteral("%1 is a Windows program, and no Windows program loader (such as "
                               "wine) is installed to start it.")
                    .arg(sys::ExtractFileName(path))};
    return {windowsLoader, {NativeArgument(path)}, {}};
}

} // namespace

TSetupCommand FindSetupProgram(const QString &folder, const QString &windowsLoader)
{
    for (const char *name : {"setup.sh", "install.sh", "install"}) {
        const QString path = sys::JoinPath(folder, QLatin1String(name));
        const bool script = path.endsWith(QLatin1String(".sh"));
        if (IsFile(path) && (script || sys::IsExecutable(path)))
            return CommandFor(path, windowsLoader);
    }
    for (const char *name : {"setup.exe", "install.exe"}) {
        const QString path = sys::JoinPath(folder, QLatin1String(name));
        if (IsFile(path))
            return CommandFor(path, windowsLoader);
    }
    return {{}, {}, ArchiveStr(544)};
}

TInstall::TInstall(QObject *owner)
    : Start([](const QString &program, const QStringList &args, const QString &folder) {
          return sys::StartProgram(program, args, folder);
      }),
      WindowsLoader(sys::FindProgram(QStringLiteral("wine"))), owner(owner)
{
}

void TInstall::Run(const QString &archivePath, const QString &focusedInside)
{
    // A new folder only this user may enter: nothing another run or user
    // left behind can be started from it.
    folder = TPrivateTempFolder::Instance().NewFolder();
    if (folder.isEmpty()) {
        ShowError(int(sys::GetLastError()), TPrivateTempFolder::Instance().Path(), LoadStr(512),
                  true, owner);
        return;
    }
    {
        TArchiveExtraction extraction(owner);
        extraction.SetKeptMode(int(feOverwrite | feAll));
        extraction.ExtractArchive(archivePath, folder, {});
    }
    TSetupCommand command;
    if (!focusedInside.isEmpty()) {
        const QString path = sys::JoinPath(folder, focusedInside);
        command =
            IsFile(path) ? CommandFor(path, WindowsLoader) : TSetupCommand{{}, {}, ArchiveStr(544)};
    } else {
        command = FindSetupProgram(folder, WindowsLoader);
    }
    {
        const TOperationGuard guard;
        if (command.program.isEmpty()) {
            Ask().MessageBox(owner, command.problem, ArchiveStr(543), MB_OK | MB_ICONERROR);
        } else if (!Start(command.program, command.args, folder)) {
            ShowError(int(sys::GetLastError()), command.program, ArchiveStr(543), true, owner);
        } else {
            Ask().MessageBox(owner, ArchiveStr(542), ArchiveStr(543), MB_OK | MB_ICONINFORMATION);
        }
    }
    TFileDelete remove(owner);
    remove.UseRecycleBin = false;
    remove.WarnAttributes = false;
    remove.Files = QStringList{folder};
    remove.Execute();
}

} // namespace kestrel
