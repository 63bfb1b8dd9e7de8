#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"
#include "platform/shell.h"

#include "tests/support/machine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

class Shell : public test::MachineTest {
protected:
    void WriteIni(const QByteArray &text)
    {
        QFile ini(Root() + QStringLiteral("/home/kestrel.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }
};

TEST_F(Shell, ProgramDirFollowsKestrelHome)
{
    qputenv("KESTREL_HOME", (Root() + QStringLiteral("/d/Prog")).toUtf8());
    EXPECT_EQ(ProgramDir(), QStringLiteral("D:\\Prog\\"));
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("/d/Prog")).isDir()); // made when missing
}

TEST_F(Shell, ProgramDirOutsideEveryDriveIsStillReachable)
{
    // The test machine's home is beside the drive folders, not on one.
    const QString dir = ProgramDir();
    ASSERT_TRUE(dir.endsWith(QLatin1Char('\\'))) << dir.toStdString();
    QByteArray native;
    ASSERT_TRUE(ToNative(dir + QStringLiteral("kestrel.ini"), native));
    EXPECT_EQ(DecodeName(native), Root() + QStringLiteral("/home/kestrel.ini"));
    EXPECT_TRUE(Shares().isEmpty() || Shares().size() == 1); // only \\server\share is listed
    for (const ShareInfo &s : Shares())
        EXPECT_EQ(s.unc, QStringLiteral("\\\\server\\share"));
}

// An installed program (bin/ beside share/kestrel/) reads its colour set and
// help from share/kestrel and keeps the user's files in ~/.config/kestrel,
// even where it could write beside itself: settings written into bin/ used
// to be overwritten by the next install and left behind by an uninstall.
// A build folder keeps both beside the program.
TEST_F(Shell, InstalledAndBuildFolders)
{
    const QByteArray root = EncodeName(Root());
    for (const char *folder :
         {"/usr/bin", "/usr/share/kestrel", "/build", "/odd/bin", "/odd/share"})
        ASSERT_TRUE(QDir().mkpath(Root() + QString::fromLatin1(folder)));
    QFile notAFolder(Root() + QStringLiteral("/odd/share/kestrel"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", root + "/config");

    EXPECT_EQ(SharedDirFor(root + "/usr/bin"), root + "/usr/share/kestrel");
    EXPECT_EQ(ProgramDirFor(root + "/usr/bin"), root + "/config/kestrel");
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("/config/kestrel")).isDir());
    EXPECT_EQ(SharedDirFor(root + "/build"), root + "/build");
    EXPECT_EQ(ProgramDirFor(root + "/build"), root + "/build");
    // A file where the shared folder would be does not make an installation.
    EXPECT_EQ(SharedDirFor(root + "/odd/bin"), root + "/odd/bin");

    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

// The read-only files are reachable in Windows form even when no drive
// covers their folder, as the program's own folder is.
TEST_F(Shell, SharedDirOutsideEveryDrive)
{
    const QByteArray saved = NativeSharedDir();
    ASSERT_TRUE(QDir().mkpath(Root() + QStringLiteral("/shared")));
    OverrideSharedDir(EncodeName(Root() + QStringLiteral("/shared")));
    ReloadDriveTable();
    const QString dir = SharedDir();
    QByteArray native;
    const bool converted = ToNative(dir + QStringLiteral("kestrel.col"), native);
    const QString home = ProgramDir();
    OverrideSharedDir(saved);
    ReloadDriveTable();
    ASSERT_TRUE(dir.endsWith(QLatin1Char('\\'))) << dir.toStdString();
    ASSERT_TRUE(converted);
    EXPECT_EQ(DecodeName(native), Root() + QStringLiteral("/shared/kestrel.col"));
    EXPECT_NE(home, dir); // each folder has a share of its own
}

TEST_F(Shell, IniSectionsAddDrivesAndShares)
{
    WriteIni(QStringLiteral("[Option]\r\nQ=ignored\r\n[drives]\r\nQ=%1/a,removable,Stick\r\n"
                            "R=nonsense\r\nC=%1/c\r\n[Network]\r\n\\\\srv\\pub=%1/share\r\n")
                 .arg(Root())
                 .toUtf8());
    qunsetenv("KESTREL_DRIVES");
    qunsetenv("KESTREL_SHARES");
    testing::internal::CaptureStderr();
    ReloadDriveTable();
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("R=nonsense"), std::string::npos);
    EXPECT_FALSE(GetLogicalDrives() & (1 << ('R' - 'A')));
    EXPECT_EQ(GetDriveType(QStringLiteral("Q:\\")), DRIVE_REMOVABLE);
    QString label;
    ASSERT_TRUE(GetVolumeInformation(QStringLiteral("Q:\\"), &label, nullptr));
    EXPECT_EQ(label, QStringLiteral("Stick"));
    // C: replaced by the configured folder
    QByteArray native;
    ASSERT_TRUE(ToNative(QStringLiteral("C:\\x"), native));
    EXPECT_EQ(DecodeName(native), Root() + QStringLiteral("/c/x"));
    ASSERT_TRUE(ToNative(QStringLiteral("\\\\SRV\\pub\\y"), native));
    EXPECT_EQ(DecodeName(native), Root() + QStringLiteral("/share/y"));
}

TEST_F(Shell, TypeNames)
{
    EXPECT_EQ(GetTypeName(QStringLiteral("C:\\"), true, false), QStringLiteral("Local Disk"));
    EXPECT_EQ(GetTypeName(QStringLiteral("A:\\"), true, false), QStringLiteral("Removable Disk"));
    EXPECT_FALSE(GetTypeName(QStringLiteral("C:\\Dir"), true, false).isEmpty());
    EXPECT_EQ(GetTypeName(QStringLiteral("x.zzqq"), false, true), QStringLiteral("ZZQQ File"));
    EXPECT_EQ(GetTypeName(QStringLiteral("noext"), false, true), QStringLiteral("File"));
    const QString text = GetTypeName(QStringLiteral("a.txt"), false, true);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, QStringLiteral("TXT File"));
    // Without useAttributes the contents are looked at too.
    MakeFile(QStringLiteral("C:\\picture"), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(GetTypeName(QStringLiteral("C:\\picture"), false, true), QStringLiteral("File"));
    EXPECT_NE(GetTypeName(QStringLiteral("C:\\picture"), false, false), QStringLiteral("File"));
}

TEST_F(Shell, MoveToTrash)
{
    qputenv("XDG_DATA_HOME", (Root() + QStringLiteral("/c/xdg")).toUtf8());
    MakeFile(QStringLiteral("C:\\doomed.txt"), "bye");
    ASSERT_TRUE(MoveToTrash(QStringLiteral("c:\\DOOMED.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\doomed.txt")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\xdg\\Trash\\files\\doomed.txt")), QByteArray("bye"));
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Trash), QStringLiteral("C:\\xdg\\Trash\\files\\"));
    EXPECT_FALSE(MoveToTrash(QStringLiteral("C:\\doomed.txt")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(Shell, ProgramsAreFoundAndStartedWithoutAShell)
{
    EXPECT_FALSE(FindProgram(QStringLiteral("sh.exe")).isEmpty());
    EXPECT_TRUE(FindProgram(QStringLiteral("no-such-program-kestrel.exe")).isEmpty());
    EXPECT_FALSE(StartProgram(QStringLiteral("no-such-program-kestrel"), {}, QString()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // Characters a shell would act on arrive as part of the one argument.
    MakeFolder(QStringLiteral("D:\\Work"));
    ASSERT_TRUE(StartProgram(QStringLiteral("touch"), {QStringLiteral("a b;c $x")},
                             QStringLiteral("d:\\work")));
    QDeadlineTimer deadline(30000);
    while (!Exists(QStringLiteral("D:\\Work\\a b;c $x")) && !deadline.hasExpired())
        QThread::msleep(20); // polling a detached process, bounded by the deadline
    EXPECT_TRUE(Exists(QStringLiteral("D:\\Work\\a b;c $x")));
}

} // namespace
} // namespace kestrel::sys
