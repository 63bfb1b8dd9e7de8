#include "network/neighbourhood.h"

#include "platform/drives.h"
#include "platform/errors.h"

#include <algorithm>

namespace kestrel {

namespace {

void SortByName(QList<TNetworkItem> &items)
{
    std::sort(items.begin(), items.end(), [](const TNetworkItem &a, const TNetworkItem &b) {
        return a.displayName.compare(b.displayName, Qt::CaseInsensitive) < 0;
    });
}

bool Known(const QList<TNetworkItem> &items, const QString &parsingName)
{
    return std::any_of(items.begin(), items.end(), [&](const TNetworkItem &i) {
        return sys::SameText(i.parsingName, parsingName);
    });
}

} // namespace

bool TNetworkItem::IsShare() const
{
    return parsingName.startsWith(QLatin1Char('\\')) && parsingName.count(QLatin1Char('\\')) == 3;
}

TNetworkItem ServerItem(const QString &server)
{
    return {server, QStringLiteral("\\\\") + server, QStringLiteral("Server")};
}

TNetworkItem ShareItem(const QString &server, const QString &share)
{
    return {share, QStringLiteral("\\\\%1\\%2").arg(server, share),
            QStringLiteral("Shared Folder")};
}

QString ServerOf(const QString &path)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!text.startsWith(QLatin1String("\\\\")))
        return QString();
    return text.mid(2).section(QLatin1Char('\\'), 0, 0);
}

QString ShareOf(const QString &path)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QString server = ServerOf(text);
    const QString share = text.mid(2).section(QLatin1Char('\\'), 1, 1);
    if (server.isEmpty() || share.isEmpty())
        return QString();
    return QStringLiteral("\\\\%1\\%2").arg(server, share);
}

QList<TNetworkItem> TSystemNeighbourhood::Servers()
{
    QList<TNetworkItem> servers;
    const auto add = [&](const QString &server) {
        if (!server.isEmpty() && !Known(servers, QStringLiteral("\\\\") + server))
            servers.append(ServerItem(server));
    };
    for (const QString &host : sys::BrowseSmbServers(2000))
        add(host);
    for (const sys::ShareInfo &share : sys::Shares())
        add(ServerOf(share.unc));
    SortByName(servers);
    return servers;
}

bool TSystemNeighbourhood::Shares(const QString &server, const sys::SmbLogin &login,
                                  QList<TNetworkItem> &shares)
{
    shares.clear();
    QList<sys::SmbShare> found;
    const bool listed = sys::EnumerateShares(server, login, timeoutMs, found);
    const sys::DWORD error = sys::GetLastError();
    for (const sys::SmbShare &share : found)
        shares.append(ShareItem(server, share.name));
    // Shares mapped in the settings or mounted are there even when the
    // server does not list them (or cannot be asked).
    for (const sys::ShareInfo &share : sys::Shares()) {
        if (sys::SameText(ServerOf(share.unc), server) && !Known(shares, share.unc))
            shares.append(
                ShareItem(server, share.unc.mid(share.unc.lastIndexOf(QLatin1Char('\\')) + 1)));
    }
    SortByName(shares);
    if (!listed && (shares.isEmpty() || error == sys::ERROR_ACCESS_DENIED)) {
        sys::SetLastError(error);
        return false;
    }
    sys::SetLastError(sys::ERROR_SUCCESS);
    return true;
}

} // namespace kestrel
