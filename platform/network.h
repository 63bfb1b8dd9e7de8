#pragma once
// The network neighbourhood as a Linux desktop has it: servers announced
// through DNS-SD (Avahi), the disk shares of a server (libsmbclient), and
// mounting a share through GVFS. KESTREL_SMB_PORT names another port than
// the standard one (tests run their own server on one).

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel::sys {

struct SmbShare {
    QString name;
    QString comment;
};

struct SmbLogin {
    QString user; // empty: as a guest
    QString password;
    QString domain;
};

// The disk shares a server offers, hidden ones ("name$") and printers left
// out. Fails with ERROR_ACCESS_DENIED when the server wants another login,
// and with ERROR_BAD_NETPATH when it cannot be reached or does not answer
// within timeoutMs. Safe to call from any thread.
bool EnumerateShares(const QString &server, const SmbLogin &login, int timeoutMs,
                     QList<SmbShare> &shares);

// Host names of the servers that announce SMB file sharing through DNS-SD,
// waiting at most timeoutMs; empty when no Avahi daemon runs.
QStringList BrowseSmbServers(int timeoutMs);

// True when a desktop session offers GVFS mounts (a session bus and gio).
bool GvfsAvailable();
// Mounts \\server\share through GVFS, waiting at most timeoutMs. False with
// the last error set; the drive table is reloaded after a mount.
bool MountShare(const QString &unc, int timeoutMs);

} // namespace kestrel::sys
