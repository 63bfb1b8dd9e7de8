#include "platform/network.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/shell.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QUrl>

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/simple-watch.h>
#include <libsmbclient.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

namespace kestrel::sys {

namespace {

// libsmbclient keeps process-wide state below its contexts.
std::mutex smbMutex;

void CopyField(const QString &value, char *buffer, int size)
{
    if (value.isEmpty() || size <= 0)
        return;
    const QByteArray bytes = value.toUtf8();
    std::strncpy(buffer, bytes.constData(), std::size_t(size - 1));
    buffer[size - 1] = '\0';
}

void Authenticate(SMBCCTX *context, const char *, const char *, char *workgroup, int workgroupSize,
                  char *user, int userSize, char *password, int passwordSize)
{
    const auto *login = static_cast<const SmbLogin *>(smbc_getOptionUserData(context));
    if (!login || login->user.isEmpty())
        return; // a guest
    CopyField(login->domain, workgroup, workgroupSize);
    CopyField(login->user, user, userSize);
    CopyField(login->password, password, passwordSize);
}

struct ContextDeleter {
    void operator()(SMBCCTX *context) const { smbc_free_context(context, 1); }
};

QString ServerUrl(const QString &server)
{
    QUrl url;
    url.setScheme(QStringLiteral("smb"));
    url.setHost(server);
    url.setPath(QStringLiteral("/"));
    return url.toString(QUrl::FullyEncoded);
}

} // namespace

bool EnumerateShares(const QString &server, const SmbLogin &login, int timeoutMs,
                     QList<SmbShare> &shares)
{
    shares.clear();
    if (server.isEmpty() || server.contains(QLatin1Char('\\')) ||
        server.contains(QLatin1Char('/'))) {
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    std::lock_guard lock(smbMutex);
    std::unique_ptr<SMBCCTX, ContextDeleter> context(smbc_new_context());
    if (!context) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    SMBCCTX *ctx = context.get();
    smbc_setOptionUserData(ctx, const_cast<SmbLogin *>(&login));
    smbc_setFunctionAuthDataWithContext(ctx, Authenticate);
    smbc_setTimeout(ctx, timeoutMs);
    bool portOk = false;
    const int port = qEnvironmentVariableIntValue("KESTREL_SMB_PORT", &portOk);
    if (portOk && port > 0 && port < 65536)
        smbc_setPort(ctx, std::uint16_t(port));
    if (!smbc_init_context(ctx)) {
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    const QByteArray url = ServerUrl(server).toUtf8();
    SMBCFILE *folder = smbc_getFunctionOpendir(ctx)(ctx, url.constData());
    if (!folder) {
        const int err = errno;
        SetLastError(err == EACCES || err == EPERM ? ERROR_ACCESS_DENIED : ERROR_BAD_NETPATH);
        return false;
    }
    while (const struct smbc_dirent *entry = smbc_getFunctionReaddir(ctx)(ctx, folder)) {
        // name is a trailing array of one declared element: taken as a
        // pointer, not by its declared size.
        const QString name = QString::fromUtf8(static_cast<const char *>(entry->name));
        if (entry->smbc_type != SMBC_FILE_SHARE || name.isEmpty() ||
            name.endsWith(QLatin1Char('$')))
            continue;
        shares.append({name, QString::fromUtf8(entry->comment)});
    }
    smbc_getFunctionClosedir(ctx)(ctx, folder);
    SetLastError(ERROR_SUCCESS);
    return true;
}

namespace {

struct Browse {
    AvahiSimplePoll *poll = nullptr;
    AvahiClient *client = nullptr;
    QStringList hosts;
    int resolving = 0;
    bool allForNow = false;
};

void Resolved(AvahiServiceResolver *resolver, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
              const char *, const char *, const char *, const char *hostName, const AvahiAddress *,
              uint16_t, AvahiStringList *, AvahiLookupResultFlags, void *data)
{
    auto *browse = static_cast<Browse *>(data);
    if (event == AVAHI_RESOLVER_FOUND && hostName) {
        QString host = QString::fromUtf8(hostName);
        if (!browse->hosts.contains(host, Qt::CaseInsensitive))
            browse->hosts.append(host);
    }
    --browse->resolving;
    avahi_service_resolver_free(resolver);
}

void Browsed(AvahiServiceBrowser *, AvahiIfIndex interface, AvahiProtocol protocol,
             AvahiBrowserEvent event, const char *name, const char *type, const char *domain,
             AvahiLookupResultFlags, void *data)
{
    auto *browse = static_cast<Browse *>(data);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        if (avahi_service_resolver_new(browse->client, interface, protocol, name, type, domain,
                                       AVAHI_PROTO_UNSPEC, AvahiLookupFlags(0), Resolved, browse))
            ++browse->resolving;
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW:
    case AVAHI_BROWSER_FAILURE:
        browse->allForNow = true;
        break;
    default:
        break;
    }
}

} // namespace

QStringList BrowseSmbServers(int timeoutMs)
{
    Browse browse;
    browse.poll = avahi_simple_poll_new();
    if (!browse.poll)
        return {};
    int error = 0;
    // Without a daemon this fails at once: no servers, no waiting.
    browse.client = avahi_client_new(avahi_simple_poll_get(browse.poll), AvahiClientFlags(0),
                                     nullptr, nullptr, &error);
    if (browse.client) {
        AvahiServiceBrowser *browser =
            avahi_service_browser_new(browse.client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                      "_smb._tcp", nullptr, AvahiLookupFlags(0), Browsed, &browse);
        const QDeadlineTimer deadline(timeoutMs);
        while (browser && !(browse.allForNow && browse.resolving == 0) && !deadline.hasExpired()) {
            if (avahi_simple_poll_iterate(
                    browse.poll, int(std::min<qint64>(deadline.remainingTime(), 100))) != 0)
                break;
        }
        if (browser)
            avahi_service_browser_free(browser);
        avahi_client_free(browse.client);
    }
    avahi_simple_poll_free(browse.poll);
    browse.hosts.sort(Qt::CaseInsensitive);
    return browse.hosts;
}

bool GvfsAvailable()
{
    return qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") &&
           !FindProgram(QStringLiteral("gio")).isEmpty();
}

bool MountShare(const QString &unc, int timeoutMs)
{
    const QStringList parts = unc.mid(2).split(QLatin1Char('\\'));
    if (!unc.startsWith(QLatin1String("\\\\")) || parts.size() != 2 || parts[0].isEmpty() ||
        parts[1].isEmpty()) {
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    if (!GvfsAvailable()) {
        SetLastError(ERROR_NOT_READY);
        return false;
    }
    QUrl url;
    url.setScheme(QStringLiteral("smb"));
    url.setHost(parts[0]);
    url.setPath(QLatin1Char('/') + parts[1]);
    QProcess gio;
    gio.setProgram(FindProgram(QStringLiteral("gio")));
    gio.setArguments({QStringLiteral("mount"), url.toString(QUrl::FullyEncoded)});
    // A password question on the terminal gets no answer: the mount fails.
    gio.setStandardInputFile(QProcess::nullDevice());
    gio.start();
    const bool done = gio.waitForFinished(timeoutMs);
    if (!done)
        gio.kill();
    if (!done || gio.exitStatus() != QProcess::NormalExit || gio.exitCode() != 0) {
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    ReloadDriveTable();
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace kestrel::sys
