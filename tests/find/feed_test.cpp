#include "find/foundmodel.h"

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

TFoundRow Row(const QString &path, bool inArchive = false, const QString &skipped = {})
{
    TFoundRow row;
    row.item.path = path;
    row.item.inArchive = inArchive;
    row.skipped = skipped;
    return row;
}

TEST(Feed, TheRootIsTheDeepestFolderHoldingEveryItem)
{
    TFeed feed = FeedOf({QStringLiteral("C:\\Data\\Sub\\a.txt"), QStringLiteral("C:\\Data\\b.txt"),
                         QStringLiteral("C:\\Data\\Subway\\c.txt")});
    EXPECT_EQ(feed.root, QStringLiteral("C:\\Data"));
    EXPECT_EQ(feed.names, (QStringList{"Sub\\a.txt", "b.txt", "Subway\\c.txt"}));
    // Items of one folder: that folder, bare names.
    feed = FeedOf({QStringLiteral("C:\\Data\\Sub\\a.txt"), QStringLiteral("C:\\Data\\Sub\\b")});
    EXPECT_EQ(feed.root, QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(feed.names, (QStringList{"a.txt", "b"}));
    // Only the drive in common: its root keeps its backslash.
    feed = FeedOf(
        {QStringLiteral("C:\\One\\a"), QStringLiteral("C:\\Two\\b"), QStringLiteral("C:\\top")});
    EXPECT_EQ(feed.root, QStringLiteral("C:\\"));
    EXPECT_EQ(feed.names, (QStringList{"One\\a", "Two\\b", "top"}));
    // A share's root gets none.
    feed = FeedOf({QStringLiteral("\\\\srv\\pub\\x\\a"), QStringLiteral("\\\\srv\\pub\\y\\b")});
    EXPECT_EQ(feed.root, QStringLiteral("\\\\srv\\pub"));
    EXPECT_EQ(feed.names, (QStringList{"x\\a", "y\\b"}));
    // Folder names are compared whole and exactly: "data" is not "Data".
    feed = FeedOf({QStringLiteral("C:\\Data\\a"), QStringLiteral("C:\\data\\b")});
    EXPECT_EQ(feed.root, QStringLiteral("C:\\"));
}

TEST(Feed, ItemsOnSeveralDrivesOrNoneGiveNothing)
{
    EXPECT_TRUE(FeedOf({QStringLiteral("C:\\a"), QStringLiteral("D:\\b")}).root.isEmpty());
    EXPECT_TRUE(FeedOf({}).root.isEmpty());
}

TEST(Feed, OnlyItemsOnDiskAreFedEachOnce)
{
    TFoundModel model;
    std::vector<TFoundRow> rows;
    rows.push_back(Row(QStringLiteral("C:\\Data\\a.txt")));
    rows.push_back(Row(QStringLiteral("C:\\Data\\x.zip\\\\in.txt"), true));
    rows.push_back(Row(QStringLiteral("C:\\Data\\Locked"), false, QStringLiteral("Access denied")));
    rows.push_back(Row(QStringLiteral("C:\\Data\\b.txt")));
    rows.push_back(Row(QStringLiteral("C:\\Data\\a.txt")));
    model.Append(std::move(rows));
    EXPECT_EQ(model.DiskPaths(), (QStringList{"C:\\Data\\a.txt", "C:\\Data\\b.txt"}));
}

} // namespace
} // namespace kestrel::test
