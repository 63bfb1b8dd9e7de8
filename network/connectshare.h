#pragma once
// Making a chosen share reachable as a folder.

#include <QString>

class QWidget;

namespace kestrel {

// A share that is mapped or mounted is reachable as it is; another one is
// mounted through GVFS when the desktop session offers it; otherwise the
// user is told how to mount it. True when the share can be opened now.
bool ConnectShare(QWidget *owner, const QString &unc);
// The message for a share that cannot be mounted here.
QString HowToMountText(const QString &unc);

} // namespace kestrel
