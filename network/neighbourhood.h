#pragma once
// The network neighbourhood behind the network window: the servers a Linux
// desktop knows (DNS-SD announcements, the servers of mapped and mounted
// shares) and the shares of one server. TNeighbourhood is the seam; tests
// give their own.

#include "platform/network.h"

#include <QList>
#include <QString>

namespace kestrel {

// One row of the network window.
struct TNetworkItem {
    QString displayName; // as shown: the server or share name
    QString parsingName; // "\\server" or "\\server\share"
    QString typeName;    // "Server", "Shared Folder"

    // A share: the parsing name starts with "\" and holds exactly three.
    bool IsShare() const;
};

class TNeighbourhood {
public:
    virtual ~TNeighbourhood() = default;
    // The servers, sorted by name.
    virtual QList<TNetworkItem> Servers() = 0;
    // The shares of a server, sorted by name. False with the last error set:
    // ERROR_ACCESS_DENIED when the server wants another login.
    virtual bool Shares(const QString &server, const sys::SmbLogin &login,
                        QList<TNetworkItem> &shares) = 0;
};

// The machine's neighbourhood: DNS-SD, the drive table's shares, libsmbclient.
class TSystemNeighbourhood : public TNeighbourhood {
public:
    // How long a server may take to answer.
    static constexpr int timeoutMs = 5000;
    QList<TNetworkItem> Servers() override;
    bool Shares(const QString &server, const sys::SmbLogin &login,
                QList<TNetworkItem> &shares) override;
};

TNetworkItem ServerItem(const QString &server);
TNetworkItem ShareItem(const QString &server, const QString &share);
// "server" of a path "\\server..." or "//server..."; "" for anything else
// (a drive path such as "C:\" names no server).
QString ServerOf(const QString &path);
// "\\server\share" of a path with at least three backslashes; "" otherwise.
QString ShareOf(const QString &path);

} // namespace kestrel
