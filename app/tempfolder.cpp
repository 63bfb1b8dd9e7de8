#include "app/tempfolder.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/trash.h"

namespace kestrel {

bool IsDesktopTempName(const QString &name)
{
    static const char *const prefixes[] = {
        ".X",
        ".ICE",
        ".font-unix",
        ".XIM",
        ".Test-unix",
        "systemd-private-",
        "snap-private-",
        "ssh-",
        "pulse-",
        "tmux-",
        "dbus-",
        "gdm",
        "sddm",
        "lightdm",
        "krb5cc",
        "runtime-",
        "xauth",
        "orbit-",
        "keyring-",
        "gpg-",
        "kde",
        "mozilla",
        "tracker",
    };
    for (const char *prefix : prefixes) {
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

bool IsEmptiableTempFolder(const QString &folder)
{
    if (folder.isEmpty() || sys::IsRoot(folder) || sys::IsRoot(folder + QLatin1Char('\\')))
        return false;
    const QString home = sys::HomeFolder();
    if (!home.isEmpty() && sys::SameText(sys::GetFullPathName(folder), home))
        return false;
    const sys::DWORD attributes = sys::GetFileAttributes(folder);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

TTempEntries DisposableTempEntries(const QString &folder)
{
    TTempEntries entries;
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &data) {
        const QString name = data.cFileName;
        const QString path = sys::JoinPath(folder, name);
        sys::UINT64 bytes = 0;
        if (!IsDesktopTempName(name) && sys::IsDisposable(path, kTempMinAgeSeconds, bytes)) {
            entries.paths.append(path);
            entries.bytes += bytes;
        }
        return true;
    });
    return entries;
}

} // namespace kestrel
