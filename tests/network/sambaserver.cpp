#include "tests/network/sambaserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>

namespace kestrel::test {

namespace {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool Answers(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

} // namespace

SambaServer::SambaServer(const QStringList &shares)
    : hadPort(qEnvironmentVariableIsSet("KESTREL_SMB_PORT")), savedPort(qgetenv("KESTREL_SMB_PORT"))
{
    const QString smbdPath = QStandardPaths::findExecutable(
        QStringLiteral("smbd"),
        {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"), QStringLiteral("/sbin")});
    if (smbdPath.isEmpty()) {
        failure = QStringLiteral("smbd is not installed (Debian package samba)");
        return;
    }
    const QString base = dir.path();
    for (const char *sub : {"state", "lock", "cache", "pid", "private", "run", "log"})
        QDir().mkpath(base + QLatin1Char('/') + QLatin1String(sub));
    port = FreePort();
    QString conf = QStringLiteral("[global]\n"
                                  "interfaces = lo\n"
                                  "bind interfaces only = yes\n"
                                  "smb ports = %1\n"
                                  "state directory = %2/state\n"
                                  "lock directory = %2/lock\n"
                                  "cache directory = %2/cache\n"
                                  "pid directory = %2/pid\n"
                                  "private dir = %2/private\n"
                                  "ncalrpc dir = %2/run\n"
                                  "log file = %2/log/smbd.log\n"
                                  "server role = standalone server\n"
                                  "map to guest = Bad User\n"
                                  "guest account = %3\n"
                                  "load printers = no\n"
                                  "printing = bsd\n"
                                  "printcap name = /dev/null\n"
                                  "disable spoolss = yes\n")
                       .arg(port)
                       .arg(base, qEnvironmentVariable("USER", QStringLiteral("root")));
    for (const QString &share : shares) {
        QDir().mkpath(ShareFolder(share));
        conf += QStringLiteral("[%1]\npath = %2\nguest ok = yes\nread only = yes\n")
                    .arg(share, ShareFolder(share));
    }
    QFile file(base + QStringLiteral("/smb.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(conf.toUtf8()) < 0) {
        failure = QStringLiteral("cannot write the configuration");
        return;
    }
    file.close();
    smbd.setProgram(smbdPath);
    // A process group of its own: smbd stops its whole group when it ends.
    smbd.setArguments(
        {QStringLiteral("--foreground"), QStringLiteral("--configfile=") + file.fileName()});
    // Not a pipe: the RPC helpers smbd starts would hold it open after smbd
    // has gone, and reading it would never end.
    smbd.setStandardOutputFile(base + QStringLiteral("/log/output.log"));
    smbd.setStandardErrorFile(base + QStringLiteral("/log/output.log"), QIODevice::Append);
    smbd.start();
    if (!smbd.waitForStarted(10000)) {
        failure = QStringLiteral("smbd does not start: ") + smbd.errorString();
        return;
    }
    const QDeadlineTimer deadline(30000);
    while (!Answers(port)) {
        if (smbd.state() != QProcess::Running || deadline.hasExpired()) {
            failure = QStringLiteral("smbd does not answer; see ") + base + QStringLiteral("/log");
            return;
        }
        smbd.waitForFinished(100); // returns at once while it runs on
    }
    qputenv("KESTREL_SMB_PORT", QByteArray::number(port));
}

SambaServer::~SambaServer()
{
    if (hadPort)
        qputenv("KESTREL_SMB_PORT", savedPort);
    else
        qunsetenv("KESTREL_SMB_PORT");
    if (smbd.state() != QProcess::NotRunning) {
        smbd.terminate();
        if (!smbd.waitForFinished(10000)) {
            smbd.kill();
            smbd.waitForFinished(5000);
        }
    }
    // smbd starts its RPC helpers on their own: they are found by the
    // configuration file they were given.
    QStringList helpers;
    const QByteArray conf = QFile::encodeName(dir.path() + QStringLiteral("/smb.conf"));
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid.toInt() > 0 && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(conf))
            helpers << pid;
    }
    if (!helpers.isEmpty())
        QProcess::execute(QStringLiteral("kill"), helpers);
}

QString SambaServer::ShareFolder(const QString &share) const
{
    return dir.path() + QStringLiteral("/shares/") + share;
}

SilentServer::SilentServer()
    : hadPort(qEnvironmentVariableIsSet("KESTREL_SMB_PORT")), savedPort(qgetenv("KESTREL_SMB_PORT"))
{
    server.listen(QHostAddress::LocalHost, 0);
    qputenv("KESTREL_SMB_PORT", QByteArray::number(server.serverPort()));
}

SilentServer::~SilentServer()
{
    if (hadPort)
        qputenv("KESTREL_SMB_PORT", savedPort);
    else
        qunsetenv("KESTREL_SMB_PORT");
}

} // namespace kestrel::test
