#include "tests/support/machine.h"

#include "platform/drives.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace kestrel::test {

namespace {
const char *const letters[][2] = {{"C", "c"}, {"D", "d"}, {"A", "a"}, {"E", "e"}, {"N", "n"}};
}

void MachineTest::SetUp()
{
    ASSERT_TRUE(root.isValid());
    savedCwd = QDir::currentPath().toUtf8();
    const QString t = root.path();
    for (const auto &l : letters)
        QDir().mkpath(t + QLatin1Char('/') + QLatin1String(l[1]));
    QDir().mkpath(t + QStringLiteral("/share"));
    QDir().mkpath(t + QStringLiteral("/home"));
    const QString drives = QStringLiteral("C=%1/c,fixed,Local,1A2B3C4D;D=%1/d,fixed,Data,0D0D0D0D;"
                                          "A=%1/a,removable;E=%1/e,cdrom,DISC1;N=%1/n,remote")
                               .arg(t);
    qputenv("KESTREL_DRIVES", drives.toUtf8());
    qputenv("KESTREL_SHARES", (QStringLiteral("\\\\server\\share=") + t + QStringLiteral("/share")).toUtf8());
    qputenv("KESTREL_HOME", (t + QStringLiteral("/home")).toUtf8());
    sys::ReloadDriveTable();
    sys::ClearFaults();
    QDir::setCurrent(t + QStringLiteral("/c"));
}

void MachineTest::TearDown()
{
    sys::ClearFaults();
    QDir::setCurrent(QString::fromUtf8(savedCwd));
    qunsetenv("KESTREL_DRIVES");
    qunsetenv("KESTREL_SHARES");
    qunsetenv("KESTREL_HOME");
    sys::ReloadDriveTable();
}

QByteArray MachineTest::Native(const QString &winPath) const
{
    QString p = winPath;
    QString base;
    if (p.startsWith(QStringLiteral("\\\\server\\share"), Qt::CaseInsensitive)) {
        base = root.path() + QStringLiteral("/share");
        p = p.mid(14);
    } else {
        EXPECT_TRUE(p.size() >= 2 && p[1] == QLatin1Char(':')) << "not a drive path: " << p.toStdString();
        base = root.path() + QLatin1Char('/') + p.left(1).toLower();
        p = p.mid(2);
    }
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return sys::EncodeName(base + p);
}

void MachineTest::MakeFolder(const QString &winPath)
{
    ASSERT_TRUE(QDir().mkpath(sys::DecodeName(Native(winPath))));
}

void MachineTest::MakeFile(const QString &winPath, const QByteArray &contents)
{
    const QString path = sys::DecodeName(Native(winPath));
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(contents), contents.size());
}

QByteArray MachineTest::Pattern(qint64 size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u + quint32(seed);
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x & 0xFF);
    }
    return bytes;
}

void MachineTest::MakeFileOfSize(const QString &winPath, qint64 size)
{
    MakeFile(winPath, Pattern(size));
}

void MachineTest::MakeSparseFile(const QString &winPath, qint64 size)
{
    MakeFile(winPath, QByteArray());
    QFile f(sys::DecodeName(Native(winPath)));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(size));
}

void MachineTest::SetTime(const QString &winPath, qint64 unixSeconds)
{
    // A folder cannot be opened as a QFile.
    if (QFileInfo(sys::DecodeName(Native(winPath))).isDir()) {
        const timespec times[2] = {{time_t(unixSeconds), 0}, {time_t(unixSeconds), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, Native(winPath).constData(), times, 0), 0);
        return;
    }
    QFile f(sys::DecodeName(Native(winPath)));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) || f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC),
                              QFileDevice::FileModificationTime));
}

void MachineTest::SetAttributes(const QString &winPath, sys::DWORD attributes)
{
    ASSERT_TRUE(sys::SetFileAttributes(winPath, attributes)) << winPath.toStdString();
}

bool MachineTest::Exists(const QString &winPath) const
{
    return QFileInfo::exists(sys::DecodeName(Native(winPath)));
}

QByteArray MachineTest::Contents(const QString &winPath) const
{
    QFile f(sys::DecodeName(Native(winPath)));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace kestrel::test
