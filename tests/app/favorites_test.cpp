#include "app/favorites.h"

#include "tests/support/machine.h"

#include <QDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

const QString kFile = QStringLiteral("C:\\Home\\favorite.dat");

TFavorite F(const char *name, const char *path)
{
    return {QString::fromUtf8(name), QString::fromUtf8(path)};
}

class FavoritesFileTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
    }
};

// Lines without "=", with an empty name, blank lines and CR-only or LF-only
// line ends: only the well-formed entries load, in file order; the first
// "=" ends the name, so a path may hold more.
TEST_F(FavoritesFileTest, BadLinesAreSkippedAndGoodOnesKeepTheirOrder)
{
    MakeFile(kFile, "Tools=C:\\Tools\r\n"
                    "no equals sign here\r\n"
                    "=C:\\Nameless\r\n"
                    "\r\n"
                    "Odd=C:\\a=b\r"
                    "Gone=C:\\No\\Such\\Folder\n"
                    "Last=C:\\Last");
    const QList<TFavorite> entries = LoadFavorites(kFile);
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0], F("Tools", "C:\\Tools"));
    EXPECT_EQ(entries[1], F("Odd", "C:\\a=b"));
    EXPECT_EQ(entries[2], F("Gone", "C:\\No\\Such\\Folder"));
    EXPECT_EQ(entries[3], F("Last", "C:\\Last"));
}

TEST_F(FavoritesFileTest, MissingFileIsEmptyAndTheFirstAdditionCreatesIt)
{
    EXPECT_TRUE(LoadFavorites(kFile).isEmpty());
    ASSERT_TRUE(AppendFavorite(kFile, F("Data", "C:\\Data")));
    EXPECT_EQ(Contents(kFile), QByteArray("Data=C:\\Data\r\n"));
}

// Appending keeps every line as it stood, also those that are no entry.
TEST_F(FavoritesFileTest, AppendKeepsTheOtherLines)
{
    MakeFile(kFile, "A=C:\\A\r\njunk line\r\n");
    ASSERT_TRUE(AppendFavorite(kFile, F("B", "C:\\B")));
    EXPECT_EQ(Contents(kFile), QByteArray("A=C:\\A\r\njunk line\r\nB=C:\\B\r\n"));
}

// The whole list is written in CR LF lines and reads back equal, with no
// temporary file left beside it.
TEST_F(FavoritesFileTest, SaveRoundTripsAndLeavesNoTemporaryFile)
{
    MakeFile(kFile, "Old=C:\\Old\r\n");
    const QList<TFavorite> entries = {F("Ünïcode", "C:\\Fäv"), F("Two", "D:\\"),
                                      F("Amp & more", "C:\\x y")};
    ASSERT_TRUE(SaveFavorites(kFile, entries));
    EXPECT_EQ(LoadFavorites(kFile), entries);
    EXPECT_TRUE(Contents(kFile).endsWith("C:\\x y\r\n"));
    EXPECT_EQ(Contents(kFile).count("\r\n"), 3);
    const QStringList files = QDir(QString::fromUtf8(Native(QStringLiteral("C:\\Home"))))
                                  .entryList(QDir::Files | QDir::Hidden | QDir::System);
    EXPECT_EQ(files, QStringList{QStringLiteral("favorite.dat")});
}

TEST_F(FavoritesFileTest, TenThousandLinesAllLoad)
{
    QByteArray text;
    for (int i = 0; i < 10000; ++i)
        text += "Name" + QByteArray::number(i) + "=C:\\Folder" + QByteArray::number(i) + "\r\n";
    MakeFile(kFile, text);
    const QList<TFavorite> entries = LoadFavorites(kFile);
    ASSERT_EQ(entries.size(), 10000);
    EXPECT_EQ(entries[9999], F("Name9999", "C:\\Folder9999"));
}

// Random bytes with NULs and invalid UTF-8 load without a crash; lines with
// an "=" after some bytes still give entries whose names are not empty.
TEST_F(FavoritesFileTest, BinaryJunkLoadsCleanly)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919 + 13) % 256);
    junk += "\r\nReal=C:\\Real\r\n";
    MakeFile(kFile, junk);
    const QList<TFavorite> entries = LoadFavorites(kFile);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.last(), F("Real", "C:\\Real"));
    for (const TFavorite &entry : entries) {
        EXPECT_FALSE(entry.name.isEmpty());
        EXPECT_FALSE(entry.name.contains(QLatin1Char('=')));
    }
}

TEST(FavoriteNames, EqualsSignsAndEmptyNamesAreRefused)
{
    EXPECT_TRUE(ValidFavoriteName(QStringLiteral("Tools")));
    EXPECT_TRUE(ValidFavoriteName(QStringLiteral(" spaced [x] ")));
    EXPECT_FALSE(ValidFavoriteName(QString()));
    EXPECT_FALSE(ValidFavoriteName(QStringLiteral("a=b")));
    EXPECT_FALSE(ValidFavoriteName(QStringLiteral("=")));
    // A name with a line break used to be appended and read back as two lines.
    EXPECT_FALSE(ValidFavoriteName(QStringLiteral("a\r\nb")));
    EXPECT_TRUE(ValidFavoritePath(QStringLiteral("C:\\a b")));
    EXPECT_FALSE(ValidFavoritePath(QStringLiteral("C:\\a\nb")));
    EXPECT_FALSE(ValidFavoritePath(QStringLiteral("C:\\a\rb")));
    EXPECT_EQ(FavoriteNameFor(QStringLiteral("C:\\Data\\Music")), QStringLiteral("Music"));
    EXPECT_EQ(FavoriteNameFor(QStringLiteral("C:\\")), QStringLiteral("C:\\"));
}

TEST(FavoriteList, EditsStayInRangeAndRefuseBadNames)
{
    TFavoriteList list({F("A", "C:\\A"), F("B", "C:\\B"), F("C", "C:\\C")});
    EXPECT_FALSE(list.MoveUp(0));
    EXPECT_FALSE(list.MoveDown(2));
    EXPECT_FALSE(list.MoveUp(7));
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_TRUE(list.MoveUp(2));
    EXPECT_TRUE(list.MoveDown(0));
    EXPECT_EQ(list.Entries(),
              (QList<TFavorite>{F("C", "C:\\C"), F("A", "C:\\A"), F("B", "C:\\B")}));

    EXPECT_FALSE(list.Rename(0, QStringLiteral("x=y")));
    EXPECT_FALSE(list.Rename(0, QString()));
    EXPECT_FALSE(list.Append(F("p=q", "C:\\P")));
    // A path with a line break would be written as two lines.
    EXPECT_FALSE(list.Append(F("P", "C:\\P\nQ")));
    EXPECT_FALSE(list.SetPath(0, QStringLiteral("C:\\x\ry")));
    EXPECT_EQ(list.At(0).name, QStringLiteral("C"));
    EXPECT_EQ(list.Count(), 3);

    EXPECT_TRUE(list.Rename(0, QStringLiteral("See")));
    EXPECT_TRUE(list.SetPath(1, QStringLiteral("D:\\A")));
    EXPECT_TRUE(list.Remove(2));
    EXPECT_TRUE(list.Append(F("New", "C:\\New")));
    EXPECT_EQ(list.Entries(),
              (QList<TFavorite>{F("See", "C:\\C"), F("A", "D:\\A"), F("New", "C:\\New")}));
}

} // namespace
} // namespace kestrel
