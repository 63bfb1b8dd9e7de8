#include "tree/treeinfo.h"

#include "platform/drives.h"
#include "platform/shell.h"
#include "tests/support/machine.h"
#include "tree/treeitems.h"

namespace kestrel {
namespace {

class TreeInfoTest : public test::MachineTest {
protected:
    const QString cFile = QStringLiteral("C:\\trees\\c.kcd");
    const QString dFile = QStringLiteral("C:\\trees\\d.kcd");

    void Store(const QString &file, const QByteArray &text) { MakeFile(file, text); }
    QByteArray Stored(const QString &file) const { return Contents(file); }
};

TEST_F(TreeInfoTest, WhereTheTreeFileOfADriveLives)
{
    EXPECT_EQ(TreeFileName(QStringLiteral("C:"), true, QString()),
              QStringLiteral("C:\\treeinfo.kcd"));
    EXPECT_EQ(TreeFileName(QStringLiteral("d"), true, QStringLiteral("C:\\x")),
              QStringLiteral("D:\\treeinfo.kcd"));
    EXPECT_EQ(TreeFileName(QStringLiteral("\\\\server\\share"), true, QString()),
              QStringLiteral("\\\\server\\share\\treeinfo.kcd"));
    // By serial number: eight upper-case hex digits, beside the program
    // unless a folder is given.
    EXPECT_EQ(TreeFileName(QStringLiteral("C:"), false, QString()),
              sys::ProgramDir() + QStringLiteral("1A2B3C4D.kcd"));
    EXPECT_EQ(TreeFileName(QStringLiteral("D:"), false, QStringLiteral("C:\\trees")),
              QStringLiteral("C:\\trees\\0D0D0D0D.kcd"));
    EXPECT_EQ(TreeFileName(QStringLiteral("D:"), false, QStringLiteral("C:\\trees\\")),
              QStringLiteral("C:\\trees\\0D0D0D0D.kcd"));
    // No drive, or no serial number: no file (they would all share ".kcd").
    EXPECT_EQ(TreeFileName(QStringLiteral("Q:"), false, QString()), QString());
    qputenv("KESTREL_DRIVES",
            (QStringLiteral("C=") + Root() + QStringLiteral("/c,fixed,Zero,0")).toUtf8());
    sys::ReloadDriveTable();
    EXPECT_EQ(TreeFileName(QStringLiteral("C:"), false, QString()), QString());
}

TEST_F(TreeInfoTest, DeleteRemovesTheFoldersFound)
{
    Store(cFile, "1 0C:\r\n1 1A\r\n1 2A1\r\n1 1B\r\n1 1C\r\n");
    TreeInfoDeleteFolders(cFile, {QStringLiteral("C:\\a"), QStringLiteral("C:\\C"),
                                  QStringLiteral("C:\\missing"), QStringLiteral("C:\\")});
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n1 1B\r\n"));
}

TEST_F(TreeInfoTest, CopyAndMoveBetweenTwoDrives)
{
    Store(cFile, "1 0C:\r\n1 1A\r\n1 2Sub\r\n1 3Deep\r\n1 1Keep\r\n");
    Store(dFile, "1 0D:\r\n1 1B\r\n");
    TreeInfoCopyFolders(cFile, dFile, {QStringLiteral("C:\\A")}, QStringLiteral("D:\\B"), false);
    EXPECT_EQ(Stored(dFile), QByteArray("1 0D:\r\n1 1B\r\n1 2A\r\n1 3Sub\r\n1 4Deep\r\n"));
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n1 1A\r\n1 2Sub\r\n1 3Deep\r\n1 1Keep\r\n"));

    // A move into a folder that already has A merges, and leaves drive C's tree.
    Store(dFile, "1 0D:\r\n1 1B\r\n1 2A\r\n1 3Own\r\n");
    TreeInfoCopyFolders(cFile, dFile, {QStringLiteral("C:\\A")}, QStringLiteral("D:\\B"), true);
    EXPECT_EQ(Stored(dFile),
              QByteArray("1 0D:\r\n1 1B\r\n1 2A\r\n1 3Own\r\n1 3Sub\r\n1 4Deep\r\n"));
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n1 1Keep\r\n"));
}

TEST_F(TreeInfoTest, CopyAndMoveWithinOneTree)
{
    Store(cFile, "1 0C:\r\n1 1A\r\n1 2Sub\r\n1 1B\r\n");
    TreeInfoCopyFolders(cFile, cFile, {QStringLiteral("C:\\A\\Sub")}, QStringLiteral("C:\\B"),
                        true);
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n1 1A\r\n1 1B\r\n1 2Sub\r\n"));
    // A folder into itself or below itself is left out; a move into its own
    // parent keeps it.
    TreeInfoCopyFolders(cFile, cFile,
                        {QStringLiteral("C:\\B"), QStringLiteral("C:\\A"), QStringLiteral("C:\\")},
                        QStringLiteral("C:\\B\\Sub"), false);
    TreeInfoCopyFolders(cFile, cFile, {QStringLiteral("C:\\B\\Sub")}, QStringLiteral("C:\\B"),
                        true);
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n1 1A\r\n1 1B\r\n1 2Sub\r\n1 3A\r\n"));
}

TEST_F(TreeInfoTest, RenameAndNewFolder)
{
    Store(cFile, "1 0C:\r\n0 1Old\r\n1 2In\r\n1 1Z\r\n");
    TreeInfoRenameFolders(cFile, {QStringLiteral("C:\\old=New"), QStringLiteral("C:\\Z="),
                                  QStringLiteral("C:\\missing=X"), QStringLiteral("junk")});
    // The flag and the subtree stay; the order is put right at the next load.
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n0 1New\r\n1 2In\r\n1 1Z\r\n"));
    TreeInfoNewFolder(cFile, QStringLiteral("C:\\New\\In"), QStringLiteral("Made"));
    TreeInfoNewFolder(cFile, QStringLiteral("C:\\New\\In"), QStringLiteral("made"));
    TreeInfoNewFolder(cFile, QStringLiteral("C:\\Nowhere"), QStringLiteral("Lost"));
    EXPECT_EQ(Stored(cFile), QByteArray("1 0C:\r\n0 1New\r\n1 2In\r\n1 3Made\r\n1 1Z\r\n"));
}

TEST_F(TreeInfoTest, AFileThatIsMissingOrDoesNotLoadIsNeverWritten)
{
    TreeInfoNewFolder(cFile, QStringLiteral("C:\\"), QStringLiteral("X"));
    TreeInfoDeleteFolders(cFile, {QStringLiteral("C:\\A")});
    EXPECT_FALSE(Exists(cFile));
    // A broken file used to be replaced by an empty one.
    const QByteArray broken = "1 1A\r\n1 0B\r\n";
    Store(cFile, broken);
    Store(dFile, "1 0D:\r\n1 1B\r\n");
    TreeInfoDeleteFolders(cFile, {QStringLiteral("C:\\A")});
    TreeInfoRenameFolders(cFile, {QStringLiteral("C:\\A=B")});
    TreeInfoNewFolder(cFile, QStringLiteral("C:\\"), QStringLiteral("X"));
    TreeInfoCopyFolders(dFile, cFile, {QStringLiteral("D:\\B")}, QStringLiteral("C:\\"), true);
    TreeInfoCopyFolders(cFile, dFile, {QStringLiteral("C:\\A")}, QStringLiteral("D:\\"), true);
    EXPECT_EQ(Stored(cFile), broken);
    EXPECT_EQ(Stored(dFile), QByteArray("1 0D:\r\n1 1B\r\n"));
    // Both files must exist for a copy.
    TreeInfoCopyFolders(QStringLiteral("C:\\trees\\none.kcd"), dFile, {QStringLiteral("C:\\A")},
                        QStringLiteral("D:\\"), false);
    EXPECT_EQ(Stored(dFile), QByteArray("1 0D:\r\n1 1B\r\n"));
}

} // namespace
} // namespace kestrel
