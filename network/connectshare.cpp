#include "network/connectshare.h"

#include "network/neighbourhood.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/network.h"

#include <QWidget>

namespace kestrel {

namespace {

bool Reachable(const QString &unc)
{
    return sys::GetVolumeInformation(unc + QLatin1Char('\\'), nullptr, nullptr);
}

} // namespace

QString HowToMountText(const QString &unc)
{
    const QString server = ServerOf(unc);
    const QString share = unc.mid(unc.lastIndexOf(QLatin1Char('\\')) + 1);
    return QStringLiteral("%1 is not mounted, and this session cannot mount it.\n\n"
                          "Mount it with the desktop's file manager, or with\n"
                          "    gio mount \"smb://%2/%3\"\n"
                          "or mount it yourself (mount -t cifs) and add the line\n"
                          "    %1=/the/mount/point\n"
                          "to the section [Network] of kestrel.ini.")
        .arg(unc, server, share);
}

bool ConnectShare(QWidget *owner, const QString &unc)
{
    if (Reachable(unc))
        return true;
    if (sys::GvfsAvailable()) {
        if (sys::MountShare(unc, 60000) && Reachable(unc))
            return true;
        ShowError(int(sys::ERROR_BAD_NETPATH), unc, LoadStr(512), true);
        return false;
    }
    Ask().MessageBox(owner, HowToMountText(unc), QStringLiteral("Network"),
                     MB_OK | MB_ICONINFORMATION);
    return false;
}

} // namespace kestrel
