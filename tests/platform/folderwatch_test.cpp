#include "platform/errors.h"
#include "platform/folderwatch.h"
#include "platform/names.h"

#include "tests/support/machine.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <functional>

namespace kestrel::sys {
namespace {

constexpr DWORD kNames = FILE_NOTIFY_CHANGE_FILE_NAME;
constexpr DWORD kAttributes = FILE_NOTIFY_CHANGE_ATTRIBUTES;
constexpr DWORD kSize = FILE_NOTIFY_CHANGE_SIZE;
constexpr DWORD kLastWrite = FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kLastAccess = FILE_NOTIFY_CHANGE_LAST_ACCESS;
constexpr DWORD kCreation = FILE_NOTIFY_CHANGE_CREATION;

// Folder A is under test; folder B, watched for names, is the sentinel: the
// kernel queues events in order, so once B's change has been reported, any
// report for an earlier change in A has been delivered too.
class FolderWatchTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        a = Native(QStringLiteral("C:\\A"));
        b = Native(QStringLiteral("C:\\B"));
        Fresh();
    }
    // A holding old.txt, an empty B, nothing else: a clean start for a table row.
    void Fresh()
    {
        for (const char *folder : {"C:\\A", "C:\\A2", "C:\\B"})
            ASSERT_TRUE(QDir(DecodeName(Native(QString::fromLatin1(folder)))).removeRecursively());
        MakeFolder(QStringLiteral("C:\\A"));
        MakeFolder(QStringLiteral("C:\\B"));
        MakeFile(QStringLiteral("C:\\A\\old.txt"), "old");
    }
    QString Path(const char *name) const
    {
        return DecodeName(Native(QStringLiteral("C:\\A\\") + QLatin1String(name)));
    }
    static int Count(const QSignalSpy &spy, const QByteArray &folder)
    {
        return int(std::count_if(spy.begin(), spy.end(), [&](const QList<QVariant> &args) {
            return args.at(0).toByteArray() == folder;
        }));
    }
    static bool Has(const QSignalSpy &spy, const QByteArray &folder)
    {
        return Count(spy, folder) > 0;
    }
    static bool WaitFor(const QSignalSpy &spy, const QByteArray &folder)
    {
        return QTest::qWaitFor([&] { return Has(spy, folder); }, 20000);
    }
    // Makes a new file in B and waits until B is reported once more.
    bool Sentinel(const QSignalSpy &changed)
    {
        const int seen = Count(changed, b);
        MakeFile(QStringLiteral("C:\\B\\sentinel%1.txt").arg(++sentinels), "s");
        return QTest::qWaitFor([&] { return Count(changed, b) > seen; }, 20000);
    }
    void Append(const char *name, const QByteArray &bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray a, b;
    int sentinels = 0;
};

TEST_F(FolderWatchTest, ReportsWhatTheFilterAsksFor)
{
    using Action = std::function<void()>;
    const Action create = [this] { MakeFile(QStringLiteral("C:\\A\\new.txt"), "n"); };
    const Action append = [this] { Append("old.txt", "more"); };
    const Action truncate = [this] {
        QFile f(Path("old.txt"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(1));
    };
    const Action stamp = [this] { SetTime(QStringLiteral("C:\\A\\old.txt"), 1000000000); };
    const Action readOnly = [this] {
        ASSERT_TRUE(QFile::setPermissions(Path("old.txt"), QFile::ReadOwner | QFile::ReadUser));
    };
    const Action rename = [this] {
        ASSERT_TRUE(QFile::rename(Path("old.txt"), Path("renamed.txt")));
    };
    const struct {
        const char *what;
        DWORD filter;
        Action action;
        bool reported;
    } rows[] = {
        {"names: create", kNames, create, true},
        {"names: rename", kNames, rename, true},
        {"names: append", kNames, append, false},
        {"size: append", kSize, append, true},
        {"size: truncate", kSize, truncate, true},
        {"last write: append", kLastWrite, append, true},
        {"last write: time set", kLastWrite, stamp, true},
        {"attributes: append", kAttributes, append, false},
        {"attributes: read-only", kAttributes, readOnly, true},
        {"names: read-only", kNames, readOnly, false},
        {"creation: create", kCreation, create, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Fresh();
        TFolderWatch watch;
        const QSignalSpy changed(&watch, &TFolderWatch::Changed);
        ASSERT_TRUE(watch.Add(a, row.filter));
        ASSERT_TRUE(watch.Add(b, kNames));
        row.action();
        ASSERT_TRUE(Sentinel(changed));
        EXPECT_EQ(Has(changed, a), row.reported);
    }
}

TEST_F(FolderWatchTest, AFolderThatGoesAwayIsDroppedAndReportedOnce)
{
    const struct {
        const char *what;
        std::function<bool(const QString &)> remove;
    } rows[] = {
        {"deleted", [](const QString &path) { return QDir(path).removeRecursively(); }},
        {"renamed", [](const QString &path) { return QDir().rename(path, path + "2"); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Fresh();
        TFolderWatch watch;
        const QSignalSpy changed(&watch, &TFolderWatch::Changed);
        const QSignalSpy gone(&watch, &TFolderWatch::Gone);
        ASSERT_TRUE(watch.Add(a, kNames | kSize));
        ASSERT_TRUE(watch.Add(b, kNames));
        ASSERT_TRUE(row.remove(DecodeName(a)));
        ASSERT_TRUE(WaitFor(gone, a));
        EXPECT_FALSE(watch.Contains(a));
        EXPECT_TRUE(watch.Contains(b));

        // A renamed folder lives on elsewhere; it is no longer watched.
        MakeFile(QStringLiteral("C:\\A2\\later.txt"), "x");
        MakeFolder(QStringLiteral("C:\\A"));
        MakeFile(QStringLiteral("C:\\A\\again.txt"), "x");
        ASSERT_TRUE(Sentinel(changed));
        EXPECT_EQ(gone.count(), 1);
        EXPECT_FALSE(Has(changed, a));

        // The same name can be watched again.
        ASSERT_TRUE(watch.Add(a, kNames));
        MakeFile(QStringLiteral("C:\\A\\third.txt"), "x");
        EXPECT_TRUE(WaitFor(changed, a));
    }
}

// A folder deleted and made again under the same name before the watch read
// its events used to stay unwatched once the old folder's end was read.
TEST_F(FolderWatchTest, AddingAgainAfterTheFolderWasReplacedWatchesTheNewOne)
{
    TFolderWatch watch;
    const QSignalSpy changed(&watch, &TFolderWatch::Changed);
    const QSignalSpy gone(&watch, &TFolderWatch::Gone);
    ASSERT_TRUE(watch.Add(a, kNames));
    ASSERT_TRUE(watch.Add(b, kNames));
    ASSERT_TRUE(QDir(DecodeName(a)).removeRecursively());
    MakeFolder(QStringLiteral("C:\\A"));
    ASSERT_TRUE(watch.Add(a, kNames));
    ASSERT_TRUE(Sentinel(changed));
    EXPECT_TRUE(watch.Contains(a));
    EXPECT_EQ(gone.count(), 0);
    EXPECT_FALSE(Has(changed, a)) << "the old folder's last events are not the new one's";

    MakeFile(QStringLiteral("C:\\A\\new.txt"), "x");
    EXPECT_TRUE(WaitFor(changed, a));
}

TEST_F(FolderWatchTest, RemovingAPathEndsItsReportsOnly)
{
    const QByteArray link = Native(QStringLiteral("C:\\Link"));
    ASSERT_TRUE(QFile::link(DecodeName(a), DecodeName(link)));
    TFolderWatch watch;
    const QSignalSpy changed(&watch, &TFolderWatch::Changed);
    ASSERT_TRUE(watch.Add(a, kNames));
    ASSERT_TRUE(watch.Add(link, kSize));
    ASSERT_TRUE(watch.Add(b, kNames));
    Append("old.txt", "x"); // seen through the filter added for the link
    ASSERT_TRUE(Sentinel(changed));
    EXPECT_TRUE(Has(changed, a));
    EXPECT_TRUE(Has(changed, link));

    // Removing one path keeps the folder watched under the other.
    watch.Remove(link);
    MakeFile(QStringLiteral("C:\\A\\new.txt"), "x");
    ASSERT_TRUE(Sentinel(changed));
    EXPECT_EQ(Count(changed, a), 2);
    EXPECT_EQ(Count(changed, link), 1) << "only before the removal";

    const int before = Count(changed, a);
    watch.Remove(a);
    EXPECT_FALSE(watch.Contains(a));
    MakeFile(QStringLiteral("C:\\A\\last.txt"), "x");
    ASSERT_TRUE(Sentinel(changed));
    EXPECT_EQ(Count(changed, a), before);
}

TEST_F(FolderWatchTest, BadPathsAndFiltersFailWithAnError)
{
    MakeFile(QStringLiteral("C:\\file.txt"), "x");
    const struct {
        const char *path;
        DWORD filter;
        DWORD error;
    } rows[] = {
        {"C:\\Missing", kNames, ERROR_FILE_NOT_FOUND},
        {"C:\\Missing\\Deeper", kNames, ERROR_PATH_NOT_FOUND},
        {"C:\\file.txt", kNames, ERROR_PATH_NOT_FOUND},
        {"C:\\A", kLastAccess, ERROR_INVALID_PARAMETER},
        {"C:\\A", 0, ERROR_INVALID_PARAMETER},
    };
    TFolderWatch watch;
    for (const auto &row : rows) {
        const QByteArray path = Native(QString::fromLatin1(row.path));
        SetLastError(0);
        EXPECT_FALSE(watch.Add(path, row.filter)) << row.path;
        EXPECT_EQ(GetLastError(), row.error) << row.path;
        EXPECT_FALSE(watch.Contains(path)) << row.path;
    }
    EXPECT_FALSE(TFolderWatch::Observable(kLastAccess));
    EXPECT_TRUE(TFolderWatch::Observable(kLastAccess | kAttributes));
}

TEST_F(FolderWatchTest, LostEventsReportEveryFolder)
{
    QFile limit(QStringLiteral("/proc/sys/fs/inotify/max_queued_events"));
    if (!limit.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the queue limit is not readable";
    const int queued = limit.readAll().trimmed().toInt();
    if (queued <= 0 || queued > 1000000)
        GTEST_SKIP() << "queue limit " << queued;

    TFolderWatch watch;
    const QSignalSpy changed(&watch, &TFolderWatch::Changed);
    ASSERT_TRUE(watch.Add(a, kSize));
    ASSERT_TRUE(watch.Add(b, kNames));
    // Writes to two files in turn are not merged, so they overflow the queue
    // while no event is read. B itself is untouched.
    QFile one(Path("one.txt")), two(Path("two.txt"));
    ASSERT_TRUE(one.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    ASSERT_TRUE(two.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    for (int i = 0; i <= queued; ++i) {
        ASSERT_EQ(one.write("x", 1), 1);
        ASSERT_EQ(two.write("x", 1), 1);
    }
    EXPECT_TRUE(WaitFor(changed, b));
    EXPECT_TRUE(Has(changed, a));
}

} // namespace
} // namespace kestrel::sys
