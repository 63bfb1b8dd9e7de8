#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"

#include "tests/support/machine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace kestrel::sys {
namespace {

class DriveTableTest : public test::MachineTest {
protected:
    QByteArray Under(const char *relative) const
    {
        return EncodeName(Root()) + '/' + QByteArray(relative);
    }
    // Replaces the test machine's drive table for one test.
    void UseDrives(const QString &entries)
    {
        qputenv("KESTREL_DRIVES", entries.arg(Root()).toUtf8());
        ReloadDriveTable();
    }
};

TEST_F(DriveTableTest, TableComesFromTheEnvironment)
{
    const QList<DriveInfo> drives = sys::Drives();
    ASSERT_EQ(drives.size(), 5);
    EXPECT_EQ(GetLogicalDrives(), DWORD(1 << 0 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 13));
    const struct {
        const char *root;
        unsigned type;
    } types[] = {{"A:\\", DRIVE_REMOVABLE},
                 {"C:\\", DRIVE_FIXED},
                 {"d:", DRIVE_FIXED},
                 {"E:\\", DRIVE_CDROM},
                 {"N:\\", DRIVE_REMOTE},
                 {"Q:\\", DRIVE_NO_ROOT_DIR},
                 {"\\\\server\\share\\", DRIVE_REMOTE}};
    for (const auto &t : types)
        EXPECT_EQ(GetDriveType(QLatin1String(t.root)), t.type) << t.root;

    QString label;
    DWORD serial = 0;
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("C:\\"), &label, &serial));
    EXPECT_EQ(label, QStringLiteral("Local"));
    EXPECT_EQ(serial, 0x1A2B3C4Du);
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("D:\\"), &label, &serial));
    EXPECT_EQ(label, QStringLiteral("Data"));
    EXPECT_EQ(serial, 0x0D0D0D0Du);
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("E:\\"), &label, nullptr));
    EXPECT_EQ(label, QStringLiteral("DISC1"));
}

TEST_F(DriveTableTest, SerialWithoutConfigurationIsStableAndDiffersByFolder)
{
    DWORD a1 = 0, a2 = 0, n = 0;
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("A:\\"), nullptr, &a1));
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("N:\\"), nullptr, &n));
    ReloadDriveTable();
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("A:\\"), nullptr, &a2));
    EXPECT_EQ(a1, a2);
    EXPECT_NE(a1, n);
}

TEST_F(DriveTableTest, MalformedEntriesAreSkippedWithAMessage)
{
    testing::internal::CaptureStderr();
    UseDrives(QStringLiteral("C=%1/c;1=%1/d;DD=%1/d;F=relative/path;G=%1/d,floppy;H;"
                             "I=%1/d,fixed,L,XYZ;J=%1/d,fixed,L,123456789;K=%1/d,a,b,c,d;;"
                             "L=%1/d,,Spare"));
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetLogicalDrives(), DWORD(1 << 2 | 1 << 11)); // C: and L:
    EXPECT_EQ(GetDriveType(QStringLiteral("L:\\")), DRIVE_FIXED);
    for (const char *bad : {"1=", "DD=", "F=", "G=", "\"H\"", "I=", "J=", "K="})
        EXPECT_NE(messages.find(bad), std::string::npos) << bad << " not reported";
}

TEST_F(DriveTableTest, MissingDriveFolderIsNotReady)
{
    ASSERT_TRUE(QDir(Root() + QStringLiteral("/a")).removeRecursively());
    EXPECT_EQ(GetDriveType(QStringLiteral("A:\\")), DRIVE_REMOVABLE);
    EXPECT_TRUE(GetLogicalDrives() & 1);
    SetLastError(0);
    EXPECT_FALSE(GetVolumeInformation(QStringLiteral("A:\\"), nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
    EXPECT_FALSE(GetDiskFreeSpaceEx(QStringLiteral("A:\\"), nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
    EXPECT_FALSE(SetCurrentDirectory(QStringLiteral("A:\\")));
    EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
    EXPECT_FALSE(GetVolumeInformation(QStringLiteral("Q:\\"), nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(DriveTableTest, FreeSpaceIsConsistent)
{
    UINT64 toCaller = 0, total = 0, totalFree = 0;
    ASSERT_TRUE(GetDiskFreeSpaceEx(QStringLiteral("C:\\"), &toCaller, &total, &totalFree));
    EXPECT_GT(total, 0u);
    EXPECT_LE(totalFree, total);
    EXPECT_LE(toCaller, totalFree);
    DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpace(QStringLiteral("C:\\"), &spc, &bps, &freeClusters, &clusters));
    const UINT64 cluster = UINT64(spc) * bps;
    ASSERT_GT(cluster, 0u);
    if (clusters < 0xFFFFFFFFu) {
        EXPECT_EQ(UINT64(clusters) * cluster, total);
    }
    EXPECT_LE(freeClusters, clusters);
}

TEST_F(DriveTableTest, WindowsPathsConvertToNative)
{
    MakeFolder(QStringLiteral("D:\\Data"));
    ASSERT_TRUE(SetCurrentDirectory(QStringLiteral("D:\\Data")));
    const struct {
        const char *path;
        const char *native;
    } cases[] = {
        {"C:\\", "c"},
        {"c:", "c"},
        {"C:\\a\\b", "c/a/b"},
        {"C:/a//b/", "c/a/b"},
        {"C:\\a\\.\\..\\b", "c/b"},
        {"C:\\..\\..", "c"},
        {"\\\\server\\share\\x\\y", "share/x/y"},
        {"\\\\SERVER\\Share", "share"},
        {"name.txt", "d/Data/name.txt"},
        {"..\\up", "d/up"},
        {"\\top", "d/top"},
        {"D:rel", "d/Data/rel"},
        {"C:rel", "c/rel"},
    };
    for (const auto &c : cases) {
        QByteArray native;
        ASSERT_TRUE(ToNative(QLatin1String(c.path), native)) << c.path;
        EXPECT_EQ(native, Under(c.native)) << c.path;
    }
}

TEST_F(DriveTableTest, UnknownDrivesAndSharesFail)
{
    const struct {
        const char *path;
        DWORD error;
    } cases[] = {{"Q:\\x", ERROR_PATH_NOT_FOUND},
                 {"\\\\other\\share\\x", ERROR_BAD_NETPATH},
                 {"\\\\server", ERROR_BAD_NETPATH},
                 {"", ERROR_PATH_NOT_FOUND}};
    for (const auto &c : cases) {
        QByteArray native;
        SetLastError(0);
        EXPECT_FALSE(ToNative(QLatin1String(c.path), native)) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
}

TEST_F(DriveTableTest, MissingComponentsMatchWithoutRegardToCase)
{
    MakeFile(QStringLiteral("C:\\Dir\\Sub\\File.TXT"), "x");
    MakeFolder(QStringLiteral("C:\\Ab"));
    MakeFolder(QStringLiteral("C:\\aB"));
    const struct {
        const char *path;
        const char *native;
    } cases[] = {
        {"C:\\dir\\SUB\\file.txt", "c/Dir/Sub/File.TXT"},
        {"C:\\DIR\\sub\\new.txt", "c/Dir/Sub/new.txt"},           // a new name keeps its case
        {"C:\\dir\\missing\\file.txt", "c/Dir/missing/file.txt"}, // the rest stays as given
        {"C:\\aB", "c/aB"},                                       // the exact name wins
        {"C:\\Ab", "c/Ab"},
    };
    for (const auto &c : cases) {
        QByteArray native;
        ASSERT_TRUE(ToNative(QLatin1String(c.path), native)) << c.path;
        EXPECT_EQ(native, Under(c.native)) << c.path;
    }
}

// The names of folders already looked at are kept; every change to a folder,
// ours or another program's, must show in the next look-up.
TEST_F(DriveTableTest, CaselessMatchesFollowChangesToTheFolder)
{
    const auto native = [](const char *path) {
        QByteArray n;
        EXPECT_TRUE(ToNative(QLatin1String(path), n)) << path;
        return n;
    };
    const auto make = [&](const char *name) {
        QFile f(Root() + QStringLiteral("/c/big/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
    };
    for (int i = 0; i < 12; ++i)
        MakeFile(QStringLiteral("C:\\big\\sub%1\\File.txt").arg(i), "x");
    EXPECT_EQ(native("C:\\big\\NEW.TXT"), Under("c/big/NEW.TXT"));
    make("New.Txt");
    EXPECT_EQ(native("C:\\big\\NEW.TXT"), Under("c/big/New.Txt"));
    ASSERT_TRUE(QFile::rename(Root() + QStringLiteral("/c/big/New.Txt"),
                              Root() + QStringLiteral("/c/big/nEW.txt")));
    EXPECT_EQ(native("C:\\big\\NEW.TXT"), Under("c/big/nEW.txt"));

    const HANDLE made = CreateFile(QStringLiteral("C:\\big\\made.txt"), GENERIC_WRITE, 0,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    EXPECT_EQ(native("C:\\big\\MADE.TXT"), Under("c/big/made.txt"));
    make("Other.txt");
    EXPECT_EQ(native("C:\\big\\OTHER.TXT"), Under("c/big/Other.txt"));
    ASSERT_TRUE(CreateDirectory(QStringLiteral("C:\\big\\Folder")));
    EXPECT_EQ(native("C:\\big\\folder\\x"), Under("c/big/Folder/x"));
    ASSERT_TRUE(MoveFile(QStringLiteral("C:\\big\\made.txt"), QStringLiteral("C:\\big\\Made.TXT")));
    EXPECT_EQ(native("C:\\big\\MADE.txt"), Under("c/big/Made.TXT"));

    // More folders than are kept, then the first again.
    for (int i = 0; i < 12; ++i) {
        const QByteArray path = QStringLiteral("C:\\big\\sub%1\\FILE.TXT").arg(i).toLatin1();
        EXPECT_EQ(native(path.constData()),
                  Under(QStringLiteral("c/big/sub%1/File.txt").arg(i).toLatin1().constData()));
    }
    make("LATE.txt");
    EXPECT_EQ(native("C:\\big\\late.TXT"), Under("c/big/LATE.txt"));
}

TEST_F(DriveTableTest, NativePathsConvertThroughTheLongestRoot)
{
    QDir().mkpath(Root() + QStringLiteral("/c/nested"));
    UseDrives(QStringLiteral("C=%1/c;F=%1/c/nested;G=%1/d/"));
    qputenv("KESTREL_SHARES",
            (QStringLiteral("\\\\srv\\pub=") + Root() + "/c/nested/pub").toUtf8());
    ReloadDriveTable();
    const struct {
        const char *native;
        const char *path;
    } cases[] = {
        {"c", "C:\\"},
        {"c/", "C:\\"},
        {"c/x/y", "C:\\x\\y"},
        {"c/nestedx", "C:\\nestedx"},
        {"c/nested", "F:\\"},
        {"c/nested/x", "F:\\x"},
        {"c/nested/pub/x", "\\\\srv\\pub\\x"},
        {"d/./e/../f", "G:\\f"},
    };
    for (const auto &c : cases) {
        QString path;
        ASSERT_TRUE(FromNative(Under(c.native), path)) << c.native;
        EXPECT_EQ(path, QLatin1String(c.path)) << c.native;
    }
    QString path;
    for (const QByteArray &uncovered : {QByteArray("/usr"), QByteArray("/"), QByteArray("rel")}) {
        SetLastError(0);
        EXPECT_FALSE(FromNative(uncovered, path)) << uncovered.constData();
        EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    }

    // Typed text: native when it starts with "/", else Windows form as typed.
    EXPECT_EQ(FromTypedPath(QString::fromUtf8(Under("c/nested/x"))), QStringLiteral("F:\\x"));
    EXPECT_EQ(FromTypedPath(QStringLiteral("/usr")), QString());
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    for (const char *typed : {"d:\\x", "Sub/Deeper", "\\\\srv\\pub", ""})
        EXPECT_EQ(FromTypedPath(QString::fromUtf8(typed)), QString::fromUtf8(typed));
}

TEST_F(DriveTableTest, NamesWithInvalidBytesRoundTrip)
{
    const QByteArray native = Under("c/caf\xE9.txt");
    // Qt cannot make such a name; the standard library takes the bytes as they are.
    ASSERT_TRUE(std::ofstream(native.constData()).good());
    QString path;
    ASSERT_TRUE(FromNative(native, path));
    EXPECT_EQ(path, QStringLiteral("C:\\caf") + QChar(0xDCE9) + QStringLiteral(".txt"));
    QByteArray back;
    const QString upper = QStringLiteral("C:\\CAF") + QChar(0xDCE9) + QStringLiteral(".TXT");
    ASSERT_TRUE(ToNative(upper, back));
    EXPECT_EQ(back, native);
    std::remove(native.constData()); // QTemporaryDir cannot name it to clean up
}

TEST_F(DriveTableTest, CurrentDirectoryReadsBackInCanonicalForm)
{
    MakeFolder(QStringLiteral("D:\\Data\\Sub"));
    const struct {
        const char *set;
        const char *read;
    } cases[] = {
        {"c:\\", "C:\\"},
        {"d:\\data", "D:\\Data"},
        {"sub", "D:\\Data\\Sub"},
        {"..\\..", "D:\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(SetCurrentDirectory(QLatin1String(c.set))) << c.set;
        EXPECT_EQ(GetCurrentDirectory(), QLatin1String(c.read)) << c.set;
    }
    EXPECT_FALSE(SetCurrentDirectory(QStringLiteral("C:\\nothing")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetCurrentDirectory(QStringLiteral("C:\\nothing\\deeper")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(GetCurrentDirectory(), QStringLiteral("\\\\server\\share\\"));
}

TEST_F(DriveTableTest, DriveRootReachedThroughALinkReadsBackAsThatDrive)
{
    const QString link = Root() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/d"), link));
    UseDrives(QStringLiteral("X=%1/link"));
    ASSERT_TRUE(SetCurrentDirectory(QStringLiteral("X:\\")));
    EXPECT_EQ(GetCurrentDirectory(), QStringLiteral("X:\\"));
}

TEST_F(DriveTableTest, FullAndNativeNames)
{
    MakeFile(QStringLiteral("C:\\Dir\\f.txt"), "x");
    EXPECT_EQ(GetFullPathName(QStringLiteral("dir\\..\\b")), QStringLiteral("C:\\b"));
    EXPECT_EQ(GetFullPathName(QStringLiteral("\\\\server\\share\\a\\..\\..\\x")),
              QStringLiteral("\\\\server\\share\\x"));
    EXPECT_EQ(GetShortPathName(QStringLiteral("c:\\DIR\\F.TXT")),
              QString::fromUtf8(Under("c/Dir/f.txt")));
    EXPECT_EQ(GetShortPathName(QStringLiteral("C:\\Dir\\none")), QString());
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(DriveTableTest, TempPathIsReachable)
{
    QDir().mkpath(Root() + QStringLiteral("/c/tmp"));
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", Under("c/tmp"));
    ReloadDriveTable();
    EXPECT_EQ(GetTempPath(), QStringLiteral("C:\\tmp\\"));
    // A temporary folder outside every drive still has a usable path.
    qputenv("TMPDIR", Under("e/../elsewhere"));
    QDir().mkpath(Root() + QStringLiteral("/elsewhere"));
    ReloadDriveTable();
    const QString temp = GetTempPath();
    QByteArray native;
    ASSERT_TRUE(ToNative(temp + QStringLiteral("x.$$$"), native)) << temp.toStdString();
    EXPECT_EQ(native, Under("elsewhere/x.$$$"));
    if (saved.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved);
}

TEST(MountDetection, UserVisibleMountsBecomeDrivesInMountOrder)
{
    const QByteArray mountinfo =
        "26 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "27 26 0:24 / /mnt/ram ro - tmpfs none ro\n"
        "28 26 0:98 / /proc rw - proc proc rw\n"
        "30 26 0:97 / /media/me/USB\\040Stick rw,nosuid shared:5 - vfat /dev/nosuch1 rw\n"
        "31 26 0:96 / /srv/cd ro - iso9660 /dev/nosuch2 ro\n"
        "32 26 0:50 / /home/me/net rw - cifs //srv/pub rw\n"
        "33 26 0:51 / /data rw - nfs4 host:/export rw\n"
        "34 26 0:95 / /home rw - ext4 /dev/nosuch3 rw\n"
        "35 26 0:94 / /mnt/old rw - ext4 /dev/nosuch4 rw\n"
        "36 26 0:93 / /mnt/old rw - xfs /dev/nosuch5 rw\n"
        "not a mount line\n";
    const struct {
        char letter;
        const char *root;
        unsigned type;
    } expected[] = {{'C', "/", DRIVE_FIXED},
                    {'D', "/mnt/ram", DRIVE_RAMDISK},
                    {'E', "/media/me/USB Stick", DRIVE_FIXED},
                    {'F', "/srv/cd", DRIVE_CDROM},
                    {'G', "/home/me/net", DRIVE_REMOTE},
                    {'H', "/data", DRIVE_REMOTE},
                    {'I', "/mnt/old", DRIVE_FIXED}};
    const QList<DriveEntry> drives = DrivesFromMountInfo(mountinfo);
    ASSERT_EQ(drives.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < drives.size(); ++i) {
        EXPECT_EQ(drives[i].info.letter, QLatin1Char(expected[i].letter));
        EXPECT_EQ(drives[i].info.nativeRoot, QByteArray(expected[i].root));
        EXPECT_EQ(drives[i].info.type, expected[i].type) << expected[i].root;
    }
    const QList<ShareEntry> shares = SharesFromMountInfo(mountinfo);
    ASSERT_EQ(shares.size(), 1);
    EXPECT_EQ(shares[0].info.unc, QStringLiteral("\\\\srv\\pub"));
    EXPECT_EQ(shares[0].info.nativeRoot, QByteArray("/home/me/net"));
}

TEST(MountDetection, ThisMachineHasADriveC)
{
    qunsetenv("KESTREL_DRIVES");
    ReloadDriveTable();
    QByteArray native;
    ASSERT_TRUE(ToNative(QStringLiteral("C:\\"), native));
    EXPECT_EQ(native, QByteArray("/"));
    QString path;
    ASSERT_TRUE(FromNative("/usr/bin", path));
    EXPECT_EQ(path, QStringLiteral("C:\\usr\\bin"));
}

TEST(PathHelpers, SplitAndJoin)
{
    const struct {
        const char *path, *drive, *name, *folder;
    } cases[] = {
        {"C:\\Dir\\File.txt", "C:", "File.txt", "C:\\Dir\\"},
        {"C:\\", "C:", "", "C:\\"},
        {"C:file", "C:", "file", "C:"},
        {"\\\\srv\\share\\a\\b", "\\\\srv\\share", "b", "\\\\srv\\share\\a\\"},
        {"\\\\srv\\share", "\\\\srv\\share", "share", "\\\\srv\\"},
        {"plain", "", "plain", ""},
    };
    for (const auto &c : cases) {
        const QString path = QLatin1String(c.path);
        EXPECT_EQ(ExtractFileDrive(path), QLatin1String(c.drive)) << c.path;
        EXPECT_EQ(ExtractFileName(path), QLatin1String(c.name)) << c.path;
        EXPECT_EQ(ExtractFilePath(path), QLatin1String(c.folder)) << c.path;
    }
    EXPECT_EQ(JoinPath(QStringLiteral("C:\\"), QStringLiteral("a")), QStringLiteral("C:\\a"));
    EXPECT_EQ(JoinPath(QStringLiteral("C:\\x"), QStringLiteral("a")), QStringLiteral("C:\\x\\a"));
    EXPECT_TRUE(IsRoot(QStringLiteral("D:\\")));
    EXPECT_FALSE(IsRoot(QStringLiteral("D:\\x")));
    EXPECT_FALSE(IsRoot(QStringLiteral("D:")));
    EXPECT_TRUE(SameText(QStringLiteral("Caf\u00C9"), QStringLiteral("cAF\u00E9")));
    EXPECT_FALSE(SameText(QStringLiteral("a"), QStringLiteral("ab")));
}

} // namespace
} // namespace kestrel::sys
