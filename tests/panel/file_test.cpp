#include "panel/file.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

namespace kestrel {
namespace {

using sys::FILE_ATTRIBUTE_DIRECTORY;

sys::FILETIME Time(sys::DWORD low)
{
    return sys::FILETIME{low, 1};
}

TEST(TFileTest, AddFileSplitsAtTheLastDotAndNamesByKind)
{
    TFiles files;
    files.AddFile(QStringLiteral("archive.tar.gz"), 10, 0x20, {});
    files.AddFile(QStringLiteral("README"), 5, 0x20, {});
    files.AddFile(QStringLiteral("my.folder"), 99, FILE_ATTRIBUTE_DIRECTORY, {});
    files.AddFile(QStringLiteral("C"), 7, FILE_ATTRIBUTE_DRIVE, {});
    files.AddFile(QStringLiteral(".bashrc"), 1, 0x20, {});
    EXPECT_EQ(files[0]->Name, QStringLiteral("archive.tar"));
    EXPECT_EQ(files[0]->Ext, QStringLiteral("gz"));
    EXPECT_EQ(files[0]->GetFullName(), QStringLiteral("archive.tar.gz"));
    EXPECT_EQ(files[1]->GetFullName(), QStringLiteral("README"));
    EXPECT_EQ(files[2]->Ext, QString());
    EXPECT_EQ(files[2]->Size, 0u); // folders carry no size
    EXPECT_EQ(files[2]->GetFullName(), QStringLiteral("my.folder"));
    EXPECT_EQ(files[3]->Kind(), fkDrive);
    EXPECT_EQ(files[3]->GetFullName(), QStringLiteral("C:\\"));
    EXPECT_EQ(files[4]->GetFullName(), QStringLiteral(".bashrc"));
    EXPECT_EQ(files.TotalSize(), 16u);
    EXPECT_EQ(files.CountKind(fkFile), 3);
    EXPECT_EQ(files.IndexOf(QStringLiteral("ARCHIVE.TAR.GZ")), 0);
    EXPECT_EQ(files.IndexOf(QStringLiteral("c:\\")), 3);
    EXPECT_EQ(files.IndexOf(QStringLiteral("missing")), -1);
    EXPECT_TRUE(files.IsConsistent());

    files[0]->SetFullName(QStringLiteral("D:\\x\\new.name.txt"));
    EXPECT_EQ(files[0]->Name, QStringLiteral("new.name"));
    EXPECT_EQ(files[0]->Ext, QStringLiteral("txt"));
    files[3]->SetFullName(QStringLiteral("other"));
    EXPECT_EQ(files[3]->Name, QStringLiteral("C"));
}

TEST(TFileTest, SizesAboveFourGigabytesAreKept)
{
    TFiles files;
    files.AddFile(QStringLiteral("big.iso"), 5000000000ull, 0x20, {});
    files.AddFile(QStringLiteral("small"), 1, 0x20, {});
    EXPECT_EQ(files.TotalSize(), 5000000001ull);
}

TEST(TFileTest, GrowthDeleteAndNestedUpdates)
{
    TFiles files;
    int changes = 0;
    files.OnChange = [&] { ++changes; };
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        files.AddFile(QStringLiteral("f%1").arg(i), 0, 0x20, {});
        if (capacities.empty() || capacities.back() != files.Capacity())
            capacities.push_back(files.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    EXPECT_EQ(changes, 100);

    changes = 0;
    files.BeginUpdate();
    files.BeginUpdate();
    files.Delete(0);
    files.Delete(500); // ignored
    files.EndUpdate();
    EXPECT_EQ(changes, 0);
    files.EndUpdate();
    EXPECT_EQ(changes, 1);
    files.EndUpdate(); // not below zero: still fires at once
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(files.Count(), 99);
    EXPECT_EQ(files[0]->Index, 0);
    EXPECT_EQ(files[0]->Name, QStringLiteral("f1"));
    EXPECT_TRUE(files.IsConsistent());
    files.Clear();
    EXPECT_EQ(files.Count(), 0);
    EXPECT_EQ(files.Capacity(), 0);
    EXPECT_EQ(files.Get(0), nullptr);
}

// Builds a listing in file-system order: folders, files, then drives.
struct Entry {
    const char *name;
    quint64 size;
    sys::DWORD attributes;
    sys::DWORD time;
};

QStringList SortedNames(std::initializer_list<Entry> entries, TFileSortType type, bool descending)
{
    TFiles files;
    for (const Entry &e : entries)
        files.AddFile(QString::fromUtf8(e.name), e.size, e.attributes, Time(e.time));
    files.Sort(type, descending);
    EXPECT_TRUE(files.IsConsistent());
    QStringList names;
    for (int i = 0; i < files.Count(); ++i)
        names << files[i]->GetFullName();
    return names;
}

constexpr sys::DWORD D = FILE_ATTRIBUTE_DIRECTORY;
constexpr sys::DWORD F = 0x20;
constexpr sys::DWORD V = FILE_ATTRIBUTE_DRIVE;

TEST(TFileTest, SortKeepsGroupsParentFirstAndDrivesLast)
{
    const auto list = {Entry{"..", 0, D, 0},     Entry{"zeta", 0, D, 5},   Entry{"Alpha", 0, D, 9},
                       Entry{"b.txt", 30, F, 3}, Entry{"a.bat", 10, F, 1}, Entry{"noext", 20, F, 2},
                       Entry{"A.TXT", 30, F, 3}, Entry{"C", 0, V, 0},      Entry{"/", 0, V, 0}};
    struct Case {
        TFileSortType type;
        bool descending;
        QStringList expected;
    } cases[] = {
        {fstName,
         false,
         {"..", "Alpha", "zeta", "a.bat", "A.TXT", "b.txt", "noext", "C:\\", "/:\\"}},
        // Folders by name when sorting by extension or size; no extension first.
        {fstExt,
         false,
         {"..", "Alpha", "zeta", "noext", "a.bat", "A.TXT", "b.txt", "C:\\", "/:\\"}},
        {fstExt, true, {"..", "zeta", "Alpha", "b.txt", "A.TXT", "a.bat", "noext", "C:\\", "/:\\"}},
        // Equal sizes by name, reversed as a whole when descending.
        {fstSize,
         true,
         {"..", "zeta", "Alpha", "b.txt", "A.TXT", "noext", "a.bat", "C:\\", "/:\\"}},
        {fstSize,
         false,
         {"..", "Alpha", "zeta", "a.bat", "noext", "A.TXT", "b.txt", "C:\\", "/:\\"}},
        // Folders by time too; equal times by name.
        {fstTime,
         false,
         {"..", "zeta", "Alpha", "a.bat", "noext", "A.TXT", "b.txt", "C:\\", "/:\\"}},
        {fstNone,
         false,
         {"..", "zeta", "Alpha", "b.txt", "a.bat", "noext", "A.TXT", "C:\\", "/:\\"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SortedNames(list, c.type, c.descending), c.expected) << c.type << c.descending;
}

TEST(TFileTest, SortWithoutParentSortsFromTheFirstFolder)
{
    EXPECT_EQ(SortedNames({{"b", 0, D, 0}, {"a", 0, D, 0}, {"x.c", 1, F, 0}}, fstName, false),
              (QStringList{"a", "b", "x.c"}));
}

TEST(TFileTest, QuicksortOrdersLargeAndAdversarialInputs)
{
    // Sorted, reversed and random inputs of many entries: the result is in
    // order and the stack does not overflow.
    for (int shape = 0; shape < 3; ++shape) {
        TFiles files;
        QRandomGenerator random(42);
        const int n = 20000;
        files.BeginUpdate();
        for (int i = 0; i < n; ++i) {
            const int key = shape == 0 ? i : shape == 1 ? n - i : int(random.bounded(1000));
            files.AddFile(QStringLiteral("n%1.e%2").arg(i).arg(key, 6, 10, QLatin1Char('0')),
                          quint64(key), F, {});
        }
        files.EndUpdate();
        for (TFileSortType type : {fstExt, fstSize}) {
            files.Sort(type, false);
            for (int i = 1; i < n; ++i)
                ASSERT_LE(CompareFiles(*files[i - 1], *files[i], type), 0) << shape << " " << i;
        }
        EXPECT_TRUE(files.IsConsistent());
    }
}

TEST(TFileTest, NameOrderIsQtsCaselessOrder)
{
    // The quick ASCII path must agree with Qt's caseless comparison, also where
    // it hands over to Qt in the middle of a name.
    const QStringList names{"a",   "A",   "_a",       "Ab",   "aB",       "abc",      "ab",
                            "Z",   "[x",  "`y",       "e",    "\u00e9",  "\u00c9",  "\u212a",
                            "k",   "K",   "x\u00e9", "X\u00c9z", "file10", "File9", ""};
    for (const QString &a : names) {
        for (const QString &b : names) {
            TFile x, y;
            x.Name = a;
            y.Name = b;
            const int ours = CompareFiles(x, y, fstName);
            const int qt = a.compare(b, Qt::CaseInsensitive);
            EXPECT_EQ(ours < 0, qt < 0) << qPrintable(a) << " " << qPrintable(b);
            EXPECT_EQ(ours == 0, qt == 0) << qPrintable(a) << " " << qPrintable(b);
        }
    }
}

} // namespace
} // namespace kestrel
