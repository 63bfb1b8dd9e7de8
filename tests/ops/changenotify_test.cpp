#include "ops/changenotify.h"
#include "ops/operationlock.h"

#include "tests/support/machine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace kestrel {
namespace {

class ChangeNotifyTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\W\\Sub"));
        MakeFolder(QStringLiteral("C:\\Other"));
        QObject::connect(&notify, &TShellChangeNotify::OnChange, [this] { ++changes; });
        notify.Loaded();
    }
    void Watch(const QString &folder, int delay)
    {
        notify.SetDelay(delay);
        notify.SetFolder(folder);
        notify.SetActive(true);
        ASSERT_TRUE(notify.Active());
    }
    bool WaitForChange(int atLeast = 1)
    {
        return QTest::qWaitFor([&] { return changes >= atLeast; }, 20000);
    }
    // Long enough for stray notifications to arrive on a busy machine.
    void Settle() { QTest::qWait(500); }
    // Writes into an existing file without touching its name or attributes.
    void Append(const QString &file, int times)
    {
        for (int i = 0; i < times; ++i) {
            QFile f(QString::fromUtf8(Native(file)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
            ASSERT_EQ(f.write("line\n"), 5);
        }
    }

    TShellChangeNotify notify;
    int changes = 0;
};

TEST_F(ChangeNotifyTest, ABurstGivesExactlyOneChange)
{
    Watch(QStringLiteral("C:\\W"), 300);
    for (int i = 0; i < 1000; ++i)
        MakeFile(QStringLiteral("C:\\W\\f%1.txt").arg(i), "x");
    ASSERT_TRUE(WaitForChange());
    Settle();
    Settle();
    EXPECT_EQ(changes, 1);
}

TEST_F(ChangeNotifyTest, DeletedFolderEndsTheWatchQuietly)
{
    Watch(QStringLiteral("C:\\W"), 0);
    ASSERT_TRUE(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\W")))).removeRecursively());
    ASSERT_TRUE(WaitForChange());
    Settle();
    const int afterDelete = changes;
    EXPECT_LE(afterDelete, 3) << "no storm of notifications";
    EXPECT_TRUE(notify.Active()) << "nominally active until the folder changes";
    MakeFolder(QStringLiteral("C:\\W"));
    MakeFile(QStringLiteral("C:\\W\\again.txt"), "x");
    Settle();
    EXPECT_EQ(changes, afterDelete) << "the old watch is gone";

    notify.SetFolder(QStringLiteral("C:\\Other"));
    EXPECT_TRUE(notify.Active());
    MakeFile(QStringLiteral("C:\\Other\\new.txt"), "x");
    EXPECT_TRUE(WaitForChange(afterDelete + 1));
}

TEST_F(ChangeNotifyTest, WatchFollowsTheFolder)
{
    Watch(QStringLiteral("C:\\W"), 0);
    notify.SetFolder(QStringLiteral("C:\\Other"));
    MakeFile(QStringLiteral("C:\\W\\old.txt"), "x");
    MakeFile(QStringLiteral("C:\\Other\\new.txt"), "x");
    ASSERT_TRUE(WaitForChange());
    Settle();
    EXPECT_EQ(changes, 1);
}

TEST_F(ChangeNotifyTest, SubFolderDecidesWhetherTheSubtreeIsWatched)
{
    Watch(QStringLiteral("C:\\W"), 0);
    MakeFile(QStringLiteral("C:\\W\\Sub\\a.txt"), "x");
    MakeFile(QStringLiteral("C:\\W\\b.txt"), "x");
    ASSERT_TRUE(WaitForChange());
    Settle();
    EXPECT_EQ(changes, 1) << "a change in a subfolder is not seen";

    notify.SetSubFolder(true);
    ASSERT_TRUE(notify.Active());
    changes = 0;
    MakeFile(QStringLiteral("C:\\W\\Sub\\c.txt"), "x");
    ASSERT_TRUE(WaitForChange());
    // A subfolder made after the watch began is watched too.
    MakeFolder(QStringLiteral("C:\\W\\New"));
    ASSERT_TRUE(WaitForChange(2));
    Settle();
    changes = 0;
    MakeFile(QStringLiteral("C:\\W\\New\\d.txt"), "x");
    EXPECT_TRUE(WaitForChange());
}

// A log growing or a download being written used to leave the panel stale:
// only names and attributes were watched.
TEST_F(ChangeNotifyTest, AWriteIntoAnExistingFileFiresOncePerBurst)
{
    const TShellChangeFilters filters[] = {
        {mfSize},
        {mfLastWrite},
        {mfFileName, mfDirName, mfSize, mfLastWrite, mfCreation},
    };
    const QString log = QStringLiteral("C:\\W\\app.log");
    MakeFile(log, "start\n");
    for (TShellChangeFilters filter : filters) {
        SCOPED_TRACE(filter.Mask());
        changes = 0;
        notify.SetFilter(filter);
        Watch(QStringLiteral("C:\\W"), 300);
        for (int burst = 1; burst <= 2; ++burst) {
            Append(log, 50);
            ASSERT_TRUE(WaitForChange(burst));
            Settle();
            EXPECT_EQ(changes, burst);
        }
        notify.SetActive(false);
    }
}

TEST_F(ChangeNotifyTest, ANameOnlyFilterIgnoresWritesIntoFiles)
{
    const QString log = QStringLiteral("C:\\W\\app.log");
    MakeFile(log, "start\n");
    notify.SetFilter({mfFileName, mfDirName});
    Watch(QStringLiteral("C:\\W"), 0);
    // A second watch on the same folder that does see the write: once it has
    // fired, the first one has had its chance.
    TShellChangeNotify probe;
    probe.SetFilter({mfSize});
    probe.SetFolder(QStringLiteral("C:\\W"));
    probe.Loaded();
    probe.SetActive(true);
    int probed = 0;
    QObject::connect(&probe, &TShellChangeNotify::OnChange, [&] { ++probed; });

    Append(log, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return probed > 0; }, 20000));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 0);

    MakeFile(QStringLiteral("C:\\W\\new.txt"), "x");
    EXPECT_TRUE(WaitForChange()) << "the watch itself works";
}

TEST_F(ChangeNotifyTest, ActivationRules)
{
    const struct {
        const char *folder;
        TShellChangeFilters filter;
        bool active;
    } rows[] = {
        {"C:\\W", {mfFileName, mfDirName, mfSize, mfLastWrite, mfCreation}, true},
        {"C:\\W\\file.txt", {mfFileName}, false},
        {"C:\\Missing", {mfFileName}, false},
        {"Q:\\", {mfFileName}, false},
        {"C:\\W", {}, false},
        {"C:\\W", {mfLastAccess}, false},
    };
    MakeFile(QStringLiteral("C:\\W\\file.txt"), "x");
    for (const auto &row : rows) {
        TShellChangeNotify n;
        n.SetFilter(row.filter);
        n.SetFolder(QString::fromLatin1(row.folder));
        n.SetActive(true);
        EXPECT_FALSE(n.Active()) << "activation waits for Loaded";
        n.Loaded();
        EXPECT_EQ(n.Active(), row.active) << row.folder;
    }
    EXPECT_EQ((TShellChangeFilters{mfFileName, mfDirName, mfSize, mfLastWrite, mfCreation}.Mask()),
              0x5Bu);
    EXPECT_EQ((TShellChangeFilters{mfAttributes, mfLastAccess, mfSecurity}.Mask()), 0x124u);
}

TEST_F(ChangeNotifyTest, UserDisabledBlocksActivation)
{
    notify.SetFolder(QStringLiteral("C:\\W"));
    notify.SetUserDisabled(true);
    notify.SetActive(true);
    EXPECT_FALSE(notify.Active());
    notify.SetUserDisabled(false);
    notify.SetActive(true);
    EXPECT_TRUE(notify.Active());
    notify.SetUserDisabled(true);
    notify.SetActive(false);
    EXPECT_TRUE(notify.Active()) << "an operation cannot switch off what the user controls";
}

TEST_F(ChangeNotifyTest, ADelayTimerRunningAtSwitchOffStillFiresOnce)
{
    Watch(QStringLiteral("C:\\W"), 200);
    notify.ThreadNotification();
    notify.ThreadNotification();
    notify.SetActive(false);
    ASSERT_TRUE(WaitForChange());
    Settle();
    EXPECT_EQ(changes, 1);
}

TEST_F(ChangeNotifyTest, NoChangeIsDeliveredWhileAHoldExists)
{
    Watch(QStringLiteral("C:\\W"), 0);
    {
        const TOperationGuard outer;
        {
            const TOperationGuard inner;
            notify.ThreadNotification();
            notify.ThreadNotification();
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(changes, 0) << "an outer hold still stands";
    }
    EXPECT_EQ(changes, 0) << "delivered from the event loop, not inside the releasing code";
    ASSERT_TRUE(WaitForChange());
    Settle();
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace kestrel
