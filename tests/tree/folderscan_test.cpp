#include "tree/folderscan.h"

#include "platform/faults.h"
#include "platform/native.h"
#include "tests/support/machine.h"
#include "tree/treeitems.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace kestrel {
namespace {

class FolderScanTest : public test::MachineTest {
protected:
    void Link(const QString &link, const QByteArray &target)
    {
        ASSERT_EQ(::symlink(target.constData(), Native(link).constData()), 0);
    }
    // The scanned lines loaded into a model.
    QStringList Scan(const QString &path, TTreeItems &items, bool expectEntered = true)
    {
        QStringList lines;
        EXPECT_EQ(scan.ScanDirectory(path, lines), expectEntered);
        if (expectEntered) {
            EXPECT_TRUE(items.LoadFromStrings(lines));
        }
        return lines;
    }
    TFolderScan scan;
};

TEST_F(FolderScanTest, ListsEveryFolderInPreOrderWithItsLevel)
{
    MakeFolder(QStringLiteral("C:\\Data\\Music\\Rock"));
    MakeFolder(QStringLiteral("C:\\Data\\.hidden"));
    MakeFolder(QStringLiteral("C:\\Win"));
    MakeFile(QStringLiteral("C:\\Data\\file.txt"), "not a folder");
    QStringList seen;
    int before = 0, after = 0;
    scan.OnBeforeScan = [&] { ++before; };
    scan.OnAfterScan = [&] { ++after; };
    scan.OnScan = [&](const QString &folder) {
        seen.append(folder);
        return true;
    };
    TTreeItems items;
    const QStringList lines = Scan(QStringLiteral("C:\\"), items);
    EXPECT_EQ(lines.first(), QStringLiteral("1 0C:"));
    EXPECT_EQ(lines.size(), 6);
    // Parents come before their children, each line one level below.
    EXPECT_LT(lines.indexOf(QStringLiteral("1 1Data")), lines.indexOf(QStringLiteral("1 2Music")));
    EXPECT_EQ(lines.indexOf(QStringLiteral("1 2Music")) + 1,
              lines.indexOf(QStringLiteral("1 3Rock")));
    EXPECT_TRUE(lines.contains(QStringLiteral("1 2.hidden")));
    EXPECT_EQ(seen.size(), 5);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_NE(items.FindItem(QStringLiteral("C:\\Data\\Music\\Rock")), nullptr);
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\file.txt")), nullptr);

    const QStringList sub = Scan(QStringLiteral("C:\\Data\\Music\\"), items);
    EXPECT_EQ(sub, (QStringList{QStringLiteral("1 2Music"), QStringLiteral("1 3Rock")}));
    const QStringList share = Scan(QStringLiteral("\\\\server\\share"), items);
    EXPECT_EQ(share.first(), QStringLiteral("1 0\\\\server\\share"));
}

TEST_F(FolderScanTest, LinksToFoldersAreListedButNeverEntered)
{
    MakeFolder(QStringLiteral("C:\\Data\\Sub"));
    // A link back up would make an endless walk if it were followed.
    Link(QStringLiteral("C:\\Data\\Sub\\loop"), Native(QStringLiteral("C:\\Data")));
    Link(QStringLiteral("C:\\Data\\dangling"), "/nowhere/at/all");
    MakeFile(QStringLiteral("C:\\target.txt"), "x");
    Link(QStringLiteral("C:\\Data\\tofile"), Native(QStringLiteral("C:\\target.txt")));
    TTreeItems items;
    Scan(QStringLiteral("C:\\"), items);
    TTreeItem *loop = items.FindItem(QStringLiteral("C:\\Data\\Sub\\loop"));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->FirstChild, nullptr);
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\dangling")), nullptr);
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\tofile")), nullptr);
    EXPECT_EQ(items.Count(), 4);
    // A link given as the folder to scan is entered: it was asked for.
    Scan(QStringLiteral("C:\\Data\\Sub\\loop"), items);
    EXPECT_EQ(items.Count(), 3);
}

TEST_F(FolderScanTest, FoldersThatCannotBeEnteredAreLeftOutWithTheirSubtrees)
{
    MakeFolder(QStringLiteral("C:\\A\\One\\Below"));
    MakeFolder(QStringLiteral("C:\\A\\Two\\Below"));
    TTreeItems items;
    // The start folder is the first folder entered, A the second.
    sys::InjectFault(sys::FaultOp::Enter, 2, sys::ERROR_ACCESS_DENIED);
    EXPECT_EQ(Scan(QStringLiteral("C:\\"), items), QStringList{QStringLiteral("1 0C:")});
    // Then whichever of One and Two comes first.
    sys::InjectFault(sys::FaultOp::Enter, 3, sys::ERROR_ACCESS_DENIED);
    const QStringList lines = Scan(QStringLiteral("C:\\"), items);
    EXPECT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.count(QStringLiteral("1 3Below")), 1);
    sys::InjectFault(sys::FaultOp::Enter, 1, sys::ERROR_ACCESS_DENIED);
    QStringList untouched{QStringLiteral("kept")};
    EXPECT_FALSE(scan.ScanDirectory(QStringLiteral("C:\\"), untouched));
    EXPECT_EQ(untouched, QStringList{QStringLiteral("kept")});
    // A file where a folder was, and a folder that is gone.
    MakeFile(QStringLiteral("C:\\file"), "x");
    EXPECT_FALSE(scan.ScanDirectory(QStringLiteral("C:\\file"), untouched));
    EXPECT_FALSE(scan.ScanDirectory(QStringLiteral("C:\\gone"), untouched));
    EXPECT_EQ(untouched, QStringList{QStringLiteral("kept")});
}

TEST_F(FolderScanTest, AFolderRemovedDuringTheScanIsLeftOut)
{
    MakeFolder(QStringLiteral("C:\\A\\x"));
    MakeFolder(QStringLiteral("C:\\B\\y"));
    MakeFolder(QStringLiteral("C:\\C\\z"));
    const QString doomed = QString::fromUtf8(Native(QStringLiteral("C:\\B")));
    // Whichever of A and C comes first takes B away before the walk gets there,
    // unless B came first.
    bool removed = false;
    scan.OnScan = [&](const QString &folder) {
        if (!removed && folder != QLatin1String("B")) {
            removed = true;
            QDir(doomed).removeRecursively();
        }
        return true;
    };
    TTreeItems items;
    const QStringList lines = Scan(QStringLiteral("C:\\"), items);
    EXPECT_TRUE(items.IsConsistent());
    EXPECT_EQ(lines.contains(QStringLiteral("1 2y")), lines.contains(QStringLiteral("1 1B")));
    EXPECT_FALSE(QFile::exists(doomed));
}

TEST_F(FolderScanTest, ACancelledScanEndsAtOnceWithWhatItFound)
{
    MakeFolder(QStringLiteral("C:\\A\\a1"));
    MakeFolder(QStringLiteral("C:\\B\\b1"));
    int seen = 0;
    scan.OnScan = [&](const QString &) { return ++seen < 2; };
    QStringList lines;
    EXPECT_FALSE(scan.ScanDirectory(QStringLiteral("C:\\"), lines));
    EXPECT_TRUE(scan.Cancelled());
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(lines.size(), 2) << "the root and the first folder";
    scan.OnScan = nullptr;
    EXPECT_TRUE(scan.ScanDirectory(QStringLiteral("C:\\"), lines));
    EXPECT_FALSE(scan.Cancelled());
    EXPECT_EQ(lines.size(), 5);
}

TEST_F(FolderScanTest, StopsAtTheDeepestLevelTheFileHolds)
{
    QString path = QStringLiteral("C:");
    for (int i = 0; i < 104; ++i)
        path += QStringLiteral("\\d");
    MakeFolder(path);
    TTreeItems items;
    const QStringList lines = Scan(QStringLiteral("C:\\"), items);
    ASSERT_EQ(lines.size(), 100);
    EXPECT_EQ(lines.last(), QStringLiteral("199d"));
    EXPECT_EQ(items.Last()->Level, 99);
    // From a folder at level 97, two levels below it are listed.
    const QStringList deep = Scan(path.left(2 + 97 * 2), items);
    EXPECT_EQ(deep, (QStringList{QStringLiteral("197d"), QStringLiteral("198d"),
                                 QStringLiteral("199d")}));
    // A folder deeper than the file holds is not scanned at all.
    QStringList untouched;
    EXPECT_FALSE(scan.ScanDirectory(path.left(2 + 100 * 2), untouched));
    EXPECT_TRUE(untouched.isEmpty());
}

TEST(FolderScan, PathDepth)
{
    const struct {
        const char *path;
        int depth;
    } cases[] = {
        {"C:\\", 0},
        {"C:", 0},
        {"C:\\A", 1},
        {"C:\\A\\", 1},
        {"C:\\A\\B", 2},
        {"\\\\s\\p", 0},
        {"\\\\srv\\share", 0},
        {"\\\\srv\\share\\", 0},
        {"\\\\srv\\share\\x", 1},
        {"\\\\srv\\share\\x\\y", 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TFolderScan::PathDepth(QString::fromUtf8(c.path)), c.depth) << c.path;
}

TEST(FolderScan, MountsOfOtherKindsAndOtherDrivesAreNotWalked)
{
    const QByteArray mountinfo =
        "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "23 22 0:5 / /proc rw - proc proc rw\n"
        "24 22 0:6 / /sys rw - sysfs sysfs rw\n"
        "25 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
        "26 22 0:40 / /mnt/nas rw - nfs4 srv:/export rw\n"
        "27 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
        "28 22 0:41 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "29 22 0:42 / /tmp rw - tmpfs tmpfs rw\n"
        "30 25 8:3 / /home/me/disk rw - xfs /dev/sda3 rw\n";
    const QList<QByteArray> stops =
        sys::MountsNotToWalk(mountinfo, "/", {QByteArray("/"), QByteArray("/media/usb")});
    EXPECT_EQ(stops, (QList<QByteArray>{"/proc", "/sys", "/mnt/nas", "/media/usb",
                                        "/run/user/1000/gvfs"}));
    // Only mounts below the folder walked count.
    EXPECT_EQ(sys::MountsNotToWalk(mountinfo, "/home", {}), QList<QByteArray>{});
    EXPECT_EQ(sys::MountsNotToWalk(mountinfo, "/run", {}),
              QList<QByteArray>{"/run/user/1000/gvfs"});
}

} // namespace
} // namespace kestrel
