#include "app/startfolder.h"

#include "app/settings.h"
#include "app/statefiles.h"
#include "panel/filelisting.h"
#include "platform/drives.h"
#include "platform/fileapi.h"

namespace kestrel {

namespace {

bool IsFolder(const QString &path)
{
    const sys::DWORD attr = sys::GetFileAttributes(path);
    return attr != sys::INVALID_FILE_ATTRIBUTES && (attr & sys::FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

QString FolderArgument(const QStringList &arguments)
{
    QStringList words;
    for (const QString &a : arguments)
        if (!a.startsWith(QLatin1String("--")))
            words.append(a);
    // A folder handed over by the desktop ("kestrel %f") is one native
    // argument, named exactly: blanks at its ends are part of the name.
    if (words.size() == 1 && words.first().startsWith(QLatin1Char('/')))
        return sys::FromTypedPath(words.first());
    return sys::FromTypedPath(words.join(QLatin1Char(' ')).trimmed());
}

void OpenStartFolder(TFileListing &panel, const TIniFile &ini, const QString &argument,
                     const QString &lastDirFile)
{
    if (!argument.isEmpty() && IsFolder(argument)) {
        panel.SetFolder(argument);
    } else {
        const bool startDir = ReadSetting(ini, key::StartDir);
        if (startDir)
            panel.SetFolder(sys::FromTypedPath(ReadSetting(ini, key::Start)));
        if (ReadSetting(ini, key::SaveLastDir) && !lastDirFile.isEmpty() &&
            sys::GetFileAttributes(lastDirFile) != sys::INVALID_FILE_ATTRIBUTES) {
            const TLastDir last = LoadLastDir(lastDirFile);
            panel.LastDirs = last.dirs;
            if (!startDir)
                panel.SetDrive(last.currentDrive);
        }
    }
    if (panel.Folder().isEmpty() || panel.Drive().isEmpty())
        panel.SetFolder(QStringLiteral("C:\\"));
}

} // namespace kestrel
