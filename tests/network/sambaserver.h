#pragma once
// A real Samba server for the tests: smbd on the loopback address, on a free
// port, with a private configuration and state, guest access and a few
// shares (names with blanks and accents among them). KESTREL_SMB_PORT points
// the program at it while it runs.

#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

namespace kestrel::test {

class SambaServer {
public:
    // Shares named by the list, each on an empty folder of its own.
    explicit SambaServer(const QStringList &shares);
    ~SambaServer();
    // Empty when the server runs, else why it does not.
    QString Failure() const { return failure; }
    quint16 Port() const { return port; }
    QString ShareFolder(const QString &share) const;

private:
    bool hadPort;
    QByteArray savedPort;
    QTemporaryDir dir;
    QProcess smbd;
    quint16 port = 0;
    QString failure;
};

// A server that takes connections and never answers: the system completes
// the connections it never accepts.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    quint16 Port() const { return server.serverPort(); }

private:
    bool hadPort;
    QByteArray savedPort;
    QTcpServer server;
};

} // namespace kestrel::test
