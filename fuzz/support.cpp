#include "fuzz/support.h"

#include "platform/drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace kestrel::fuzz {

namespace {

std::unique_ptr<QTemporaryDir> machine;

QString MachineBase()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        return shm.filePath();
    return QDir::tempPath();
}

QByteArray Folder(const char *name)
{
    return QFile::encodeName(machine->filePath(QString::fromLatin1(name)));
}

} // namespace

void SetUpMachine()
{
    if (machine)
        return;
    machine =
        std::make_unique<QTemporaryDir>(MachineBase() + QStringLiteral("/kestrel-fuzz-XXXXXX"));
    if (!machine->isValid()) {
        std::fprintf(stderr, "fuzz: cannot make a private folder\n");
        std::abort();
    }
    for (const char *name : {"c", "share", "home", "tmp"})
        QDir().mkpath(machine->filePath(QString::fromLatin1(name)));
    qputenv("KESTREL_DRIVES", "C=" + Folder("c"));
    qputenv("KESTREL_SHARES", "\\\\srv\\pub=" + Folder("share"));
    qputenv("KESTREL_HOME", Folder("home"));
    qputenv("TMPDIR", Folder("tmp"));
    sys::ReloadDriveTable();
    // Relative paths are taken from an empty folder on C:.
    QDir::setCurrent(machine->filePath(QStringLiteral("c")));
}

QByteArray DriveRoot()
{
    return Folder("c");
}

QByteArray ShareRoot()
{
    return Folder("share");
}

QList<QByteArray> Fields(const std::uint8_t *data, std::size_t size, int count)
{
    QList<QByteArray> fields =
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\x1F');
    while (fields.size() < count)
        fields.append(QByteArray());
    return fields;
}

QString Shown(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out + QLatin1Char('"');
}

QString Shown(const QStringList &list)
{
    QStringList shown;
    for (const QString &s : list)
        shown.append(Shown(s));
    return QLatin1Char('[') + shown.join(QStringLiteral(", ")) + QLatin1Char(']');
}

void Check(bool ok, const char *what, const QString &detail)
{
    if (ok)
        return;
    std::fprintf(stderr, "\nfuzz check failed: %s\n%s\n", what, qPrintable(detail));
    std::fflush(stderr);
    __builtin_trap();
}

} // namespace kestrel::fuzz
