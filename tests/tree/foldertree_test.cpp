#include "tree/foldertree.h"

#include "platform/drives.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"
#include "tree/treeinfo.h"

#include <QDir>

namespace kestrel {
namespace {

class FolderTreeTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Data\\Music\\Rock"));
        MakeFolder(QStringLiteral("C:\\Data\\Pictures"));
        MakeFolder(QStringLiteral("C:\\Win\\System"));
        MakeFolder(QStringLiteral("D:\\Work"));
        MakeFolder(QStringLiteral("C:\\trees"));
    }
    // A tree whose files live in C:\trees, counting scans and drive changes.
    void Prepare(TFolderTree &tree)
    {
        tree.TreePath = QStringLiteral("C:\\trees");
        tree.OnScan = [this](const QString &) {
            ++scanned;
            return true;
        };
        tree.OnChangeDrive = [this](const QString &drive, int count, unsigned type) {
            changes.append(QStringLiteral("%1 %2 %3").arg(drive).arg(count).arg(type));
        };
        tree.SetClientSize(400, 160);
    }
    QString cFile() const
    {
        return TreeFileName(QStringLiteral("C:"), false, QStringLiteral("C:\\trees"));
    }

    int scanned = 0;
    QStringList changes;
};

TEST_F(FolderTreeTest, AFirstVisitScansAndStoresALaterOneLoads)
{
    {
        TFolderTree tree;
        Prepare(tree);
        tree.SetDrive(QStringLiteral("c"));
        EXPECT_EQ(tree.Drive(), QStringLiteral("C:"));
        EXPECT_EQ(tree.TreeFile(), cFile());
        EXPECT_EQ(scanned, 7); // trees, Data, Music, Rock, Pictures, Win, System
        EXPECT_EQ(tree.Items.Count(), 8);
        EXPECT_EQ(tree.Focused(), tree.Items.Root());
        EXPECT_EQ(changes, QStringList{QStringLiteral("c 8 3")});
        EXPECT_TRUE(Exists(cFile()));
    }
    scanned = 0;
    MakeFolder(QStringLiteral("C:\\Later")); // not seen: the stored tree is trusted
    TFolderTree tree;
    Prepare(tree);
    tree.FolderList = {QStringLiteral("D:\\=D:\\Work"), QStringLiteral("c:\\=C:\\Data\\Music")};
    tree.SetDrive(QStringLiteral("C:"));
    EXPECT_EQ(scanned, 0);
    EXPECT_EQ(tree.Items.Count(), 8);
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Data\\Music"));
    EXPECT_EQ(tree.OpenFolder(), QStringLiteral("C:\\Data\\Music"));
    // The same drive again changes nothing.
    tree.SetDrive(QStringLiteral("C:\\"));
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(FolderTreeTest, ATreeStoredUnderAnotherLetterTakesTheCurrentOne)
{
    MakeFile(cFile(), "1 0X:\r\n1 1Data\r\n");
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C"));
    EXPECT_EQ(tree.Items.Root()->Name, QStringLiteral("C:"));
    EXPECT_EQ(Contents(cFile()), QByteArray("1 0C:\r\n1 1Data\r\n"));
    EXPECT_EQ(scanned, 0);
}

TEST_F(FolderTreeTest, ABrokenTreeFileIsReportedAndTheDriveScanned)
{
    MakeFile(cFile(), "1 1A\r\n1 0B\r\n");
    test::ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C:"));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_TRUE(ask.asked[0].text.contains(QStringLiteral("Invalid Format")));
    EXPECT_TRUE(ask.asked[0].text.contains(cFile()));
    EXPECT_EQ(tree.Items.Count(), 8);
    EXPECT_TRUE(Contents(cFile()).startsWith("1 0C:\r\n1 1Data\r\n"));
}

TEST_F(FolderTreeTest, ADriveThatIsNotReadyLeavesTheTreeAsItWas)
{
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C:"));
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(QStringLiteral("D:\\")))).removeRecursively());
    tree.SetDrive(QStringLiteral("D:"));
    EXPECT_EQ(tree.Drive(), QStringLiteral("C:"));
    EXPECT_EQ(tree.Items.Count(), 8);
    EXPECT_EQ(changes.last(), QStringLiteral("D: 8 3"));
    // A folder there is not grafted onto drive C's tree.
    tree.SetFolder(QStringLiteral("D:\\Work"));
    EXPECT_EQ(tree.Items.Count(), 8);
    EXPECT_EQ(tree.Drive(), QStringLiteral("C:"));
}

TEST_F(FolderTreeTest, SetFolderRescansTheNearestFolderItKnows)
{
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C:"));
    int focusChanges = 0;
    tree.OnChange = [&] { ++focusChanges; };
    tree.SetFolder(QStringLiteral("c:\\data\\PICTURES"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Data\\Pictures"));
    EXPECT_EQ(focusChanges, 1);

    // Made outside the program since the scan.
    MakeFolder(QStringLiteral("C:\\Data\\Music\\Jazz\\Live"));
    scanned = 0;
    tree.SetFolder(QStringLiteral("C:\\Data\\Music\\Jazz\\Live"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Data\\Music\\Jazz\\Live"));
    EXPECT_EQ(scanned, 3); // Music was rescanned: Rock, Jazz, Live
    EXPECT_TRUE(tree.Items.IsConsistent());

    // A new first-level folder is scanned by itself.
    MakeFolder(QStringLiteral("C:\\New\\Sub"));
    scanned = 0;
    tree.SetFolder(QStringLiteral("C:\\New\\Sub"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\New\\Sub"));
    EXPECT_EQ(scanned, 1);
    // The change was stored.
    TTreeItems stored;
    ASSERT_TRUE(stored.LoadFromFile(tree.TreeFile()));
    EXPECT_NE(stored.FindItem(QStringLiteral("C:\\New\\Sub")), nullptr);
    EXPECT_NE(stored.FindItem(QStringLiteral("C:\\Data\\Music\\Jazz\\Live")), nullptr);

    // A folder that does not exist is ignored; one on another drive switches.
    tree.SetFolder(QStringLiteral("C:\\Nothing"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\New\\Sub"));
    tree.SetFolder(QStringLiteral("D:\\Work"));
    EXPECT_EQ(tree.Drive(), QStringLiteral("D:"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("D:\\Work"));
}

TEST_F(FolderTreeTest, PartRefreshOfTheRootSyncsTheFirstLevelOnly)
{
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C:"));
    MakeFolder(QStringLiteral("C:\\Fresh\\Below"));
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Win")))).removeRecursively());
    tree.PartRefresh();
    EXPECT_NE(tree.Items.FindItem(QStringLiteral("C:\\Fresh")), nullptr);
    EXPECT_EQ(tree.Items.FindItem(QStringLiteral("C:\\Fresh\\Below")), nullptr);
    EXPECT_EQ(tree.Items.FindItem(QStringLiteral("C:\\Win")), nullptr);
    EXPECT_NE(tree.Items.FindItem(QStringLiteral("C:\\Data\\Music\\Rock")), nullptr);
    EXPECT_EQ(tree.Focused(), tree.Items.Root());
}

TEST_F(FolderTreeTest, PartRefreshOfAFolderRescansItsBranch)
{
    TFolderTree tree;
    Prepare(tree);
    tree.SetDrive(QStringLiteral("C:"));
    tree.SetFolder(QStringLiteral("C:\\Data"));
    tree.Focused()->Collapse(false);
    MakeFolder(QStringLiteral("C:\\Data\\Music\\Pop"));
    ASSERT_TRUE(
        QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Data\\Pictures")))).removeRecursively());
    tree.PartRefresh();
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Data"));
    EXPECT_TRUE(tree.Focused()->Expanded);
    EXPECT_NE(tree.Items.FindItem(QStringLiteral("C:\\Data\\Music\\Pop")), nullptr);
    EXPECT_EQ(tree.Items.FindItem(QStringLiteral("C:\\Data\\Pictures")), nullptr);
    EXPECT_TRUE(tree.Items.IsConsistent());
    // A focused folder that has gone is left alone.
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Data")))).removeRecursively());
    tree.PartRefresh();
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Data"));
}

TEST_F(FolderTreeTest, RefreshRescansTheDriveAndEveryChangeIsStored)
{
    TFolderTree tree;
    Prepare(tree);
    tree.FolderList = {QStringLiteral("C:\\=C:\\Win")};
    tree.SetDrive(QStringLiteral("C:"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Win"));
    MakeFolder(QStringLiteral("C:\\Other"));
    tree.Refresh();
    EXPECT_NE(tree.Items.FindItem(QStringLiteral("C:\\Other")), nullptr);
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\Win"));
    tree.Focused()->Collapse(false);
    EXPECT_TRUE(Contents(tree.TreeFile()).contains("\r\n0 1Win\r\n"));
    EXPECT_FALSE(tree.Loading);
}

TEST_F(FolderTreeTest, AFolderListPointingAtOtherDrivesIsIgnored)
{
    // Each drive's entry names a folder of the other: following them used to
    // switch back and forth without end.
    TFolderTree tree;
    Prepare(tree);
    tree.FolderList = {QStringLiteral("C:\\=D:\\Work"), QStringLiteral("D:\\=C:\\Data")};
    tree.SetDrive(QStringLiteral("C:"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("C:\\"));
    EXPECT_EQ(tree.OpenFolder(), QString());
    tree.SetFolder(QStringLiteral("D:\\Work"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("D:\\Work"));
}

TEST_F(FolderTreeTest, ANetworkShareIsADriveOfItsOwn)
{
    MakeFolder(QStringLiteral("\\\\server\\share\\Sub\\Deeper"));
    TFolderTree tree;
    Prepare(tree);
    int before = 0, after = 0;
    tree.OnBeforeScan = [&] { ++before; };
    tree.OnAfterScan = [&] { ++after; };
    tree.SetDrive(QStringLiteral("\\\\server\\share\\"));
    EXPECT_EQ(tree.Drive(), QStringLiteral("\\\\server\\share"));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(changes.last(), QStringLiteral("\\\\server\\share\\ 3 4"));
    tree.SetFolder(QStringLiteral("\\\\SERVER\\share\\sub\\deeper"));
    EXPECT_EQ(tree.GetFolder(), QStringLiteral("\\\\server\\share\\Sub\\Deeper"));
    EXPECT_TRUE(Exists(tree.TreeFile()));
}

} // namespace
} // namespace kestrel
