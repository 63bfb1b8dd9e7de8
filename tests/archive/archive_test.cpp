// The archive model: types by extension, the folder structure built from
// item paths, walking it, filling the panel list, totals, the name check.

#include "archive/archive.h"
#include "archive/archivetype.h"
#include "archive/entrypath.h"
#include "panel/file.h"
#include "tests/support/scriptedask.h"

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

TEST(ArchiveType, DecidedByTheExtensionAlone)
{
    const struct {
        const char *name;
        TArchiveType type;
    } rows[] = {
        {"a.zip", atZip},
        {"B.Rar", atRar},
        {"c.R01", atRar},
        {"d.a99", atArj},
        {"e.ARJ", atArj},
        {"f.ace", atAce},
        {"g.C00", atAce},
        {"e.r0x", atNone},
        {"f.zip2", atNone},
        {"noextension", atNone},
        {"C:\\x.zip\\readme", atNone},
        {"C:\\dir.v1\\a.zip", atZip},
        {".zip", atZip},
        {"h.b01", atNone},
        {"i.r\u0661\u0662", atNone},
        // The types read through libarchive, two-part extensions included.
        {"a.7z", atSevenZip},
        {"b.TAR", atTar},
        {"c.tar.gz", atTar},
        {"c.tgz", atTar},
        {"d.tar.bz2", atTar},
        {"d.tbz2", atTar},
        {"e.tar.xz", atTar},
        {"e.txz", atTar},
        {"f.tar.zst", atTar},
        {"f.tar.lz4", atTar},
        {"g.cab", atCab},
        {"h.lzh", atLha},
        {"h.LHA", atLha},
        {"i.iso", atIso},
        {"j.cpio", atCpio},
        {"k.gz", atCompressed},
        {"k.txt.bz2", atCompressed},
        {"k.xz", atCompressed},
        {"k.zst", atCompressed},
        {"k.lz4", atCompressed},
        {"C:\\x.tar\\readme", atNone},
        {".gz", atNone},
        {"l.gzip", atNone},
        {"m.tar.gz.part", atNone},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ArchiveTypeOf(QString::fromUtf8(row.name)), row.type) << row.name;
    // "Extract to folders" names the folder without the whole extension.
    EXPECT_EQ(ArchiveBaseName(QStringLiteral("C:\\in\\src.tar.gz")), QStringLiteral("src"));
    EXPECT_EQ(ArchiveBaseName(QStringLiteral("v1.2.tgz")), QStringLiteral("v1.2"));
    EXPECT_EQ(ArchiveBaseName(QStringLiteral("backup.2024.zip")), QStringLiteral("backup.2024"));
    EXPECT_EQ(ArchiveBaseName(QStringLiteral("notes.txt.gz")), QStringLiteral("notes.txt"));
    EXPECT_EQ(ArchiveBaseName(QStringLiteral("plain.txt")), QStringLiteral("plain"));
}

// An archive whose lists a handler has filled, then built as ReadList does.
class TBuiltArchive : public TArchive {
public:
    void File(const QString &path, sys::UINT64 size = 10, sys::UINT64 packed = 5,
              sys::DWORD time = 7)
    {
        auto e = std::make_unique<TArchiveEntry>();
        e->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
        e->Size = size;
        e->PackedSize = packed;
        e->Attributes = sys::FILE_ATTRIBUTE_ARCHIVE;
        e->Time.dwLowDateTime = time;
        AddFile(path, std::move(e));
    }
    void Folder(const QString &path, sys::DWORD time = 3)
    {
        auto e = std::make_unique<TArchiveEntry>();
        e->Name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
        e->Attributes = sys::FILE_ATTRIBUTE_DIRECTORY;
        e->Time.dwLowDateTime = time;
        AddFolder(path, std::move(e));
    }
    int FolderIndex(const QString &key) const { return Folders.IndexOf(key); }
    const TArchiveEntry &FolderAt(const QString &key) const
    {
        return *Folders.Entry(Folders.IndexOf(key));
    }
};

QStringList Shown(const TArchive &archive)
{
    TFiles list;
    archive.FillList(list);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list[i]->GetFullName();
    return names;
}

TEST(ArchiveFolders, ImpliedFoldersGetTheFileTimeAndTheirParents)
{
    TBuiltArchive a;
    a.File(QStringLiteral("x\\y\\z.txt"), 10, 5, 99);
    a.ReadList();
    ASSERT_EQ(a.Folders.Count(), 2);
    const TArchiveEntry &x = a.FolderAt(QStringLiteral("x"));
    const TArchiveEntry &y = a.FolderAt(QStringLiteral("x\\y"));
    EXPECT_EQ(x.Name, QStringLiteral("x"));
    EXPECT_EQ(y.Name, QStringLiteral("y"));
    for (const TArchiveEntry *f : {&x, &y}) {
        EXPECT_EQ(f->Attributes, sys::FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(f->Size, 0u);
        EXPECT_EQ(f->Time.dwLowDateTime, 99u);
    }
    EXPECT_EQ(x.Parent, -1);
    EXPECT_EQ(y.Parent, a.FolderIndex(QStringLiteral("x")));
    EXPECT_EQ(a.Files.Entry(0)->Parent, a.FolderIndex(QStringLiteral("x\\y")));
}

TEST(ArchiveFolders, StoredAndImpliedFolderListedOnce)
{
    TBuiltArchive a;
    a.Folder(QStringLiteral("Docs"));
    a.File(QStringLiteral("docs\\a.txt"));
    a.File(QStringLiteral("b.txt"));
    a.ReadList();
    EXPECT_EQ(a.Folders.Count(), 1);
    EXPECT_EQ(Shown(a), (QStringList{QStringLiteral("Docs"), QStringLiteral("b.txt")}));
    EXPECT_EQ(a.EntryCount(), 3);
}

// A stored folder whose parents nothing else names used to show at the root.
TEST(ArchiveFolders, StoredFolderGetsItsParents)
{
    TBuiltArchive a;
    a.Folder(QStringLiteral("a\\b\\c"), 42);
    a.ReadList();
    EXPECT_EQ(Shown(a), QStringList{QStringLiteral("a")});
    ASSERT_TRUE(a.ChangeDir(QStringLiteral("a\\b")));
    EXPECT_EQ(Shown(a), QStringList{QStringLiteral("c")});
    EXPECT_EQ(a.FolderAt(QStringLiteral("a")).Time.dwLowDateTime, 42u);
}

TEST(ArchiveFolders, EveryParentIndexesFoldersAfterBuilding)
{
    TBuiltArchive a;
    // Stored out of order, folders interleaved, one implied only by a deep file.
    for (const char *p :
         {"z\\1.txt", "a\\b\\2.txt", "m\\3.txt", "a\\4.txt", "z\\q\\r\\5.txt", "6.txt"})
        a.File(QString::fromLatin1(p));
    a.Folder(QStringLiteral("m"));
    a.Folder(QStringLiteral("empty"));
    a.ReadList();
    for (const TArchiveEntries *list : {&a.Files, &a.Folders}) {
        for (int i = 0; i < list->Count(); ++i) {
            const QString key = list->Key(i);
            const qsizetype slash = key.lastIndexOf(QLatin1Char('\\'));
            const int parent = list->Entry(i)->Parent;
            if (slash < 0) {
                EXPECT_EQ(parent, -1) << key.toStdString();
            } else {
                ASSERT_GE(parent, 0) << key.toStdString();
                EXPECT_EQ(a.Folders.Key(parent), key.left(slash)) << key.toStdString();
            }
        }
    }
    EXPECT_EQ(a.Folders.Count(), 7); // a, a\b, empty, m, z, z\q, z\q\r
    EXPECT_FALSE(a.Folders.Sorted());
}

TEST(ArchiveFolders, ChangeDir)
{
    TBuiltArchive a;
    a.File(QStringLiteral("a\\b\\c.txt"));
    a.File(QStringLiteral("d\\e.txt"));
    a.ReadList();
    // ".." at the root stays there.
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("..")));
    EXPECT_EQ(a.CurrentDir, QString());
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("\\a\\b")));
    EXPECT_EQ(a.CurrentDir, QStringLiteral("a\\b"));
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("..")));
    EXPECT_EQ(a.CurrentDir, QStringLiteral("a"));
    EXPECT_FALSE(a.ChangeDir(QStringLiteral("missing")));
    EXPECT_EQ(a.CurrentDir, QStringLiteral("a"));
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("B\\")));
    EXPECT_EQ(a.CurrentDir, QStringLiteral("a\\B"));
    EXPECT_EQ(Shown(a), QStringList{QStringLiteral("c.txt")});
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("\\")));
    EXPECT_EQ(a.CurrentDir, QString());
    EXPECT_TRUE(a.ChangeDir(QStringLiteral("d")));
    EXPECT_TRUE(a.ChangeDir(QString()));
    EXPECT_EQ(a.CurrentDir, QString());
}

TEST(ArchiveFolders, FillListPutsFoldersFirstWithTheirEntryData)
{
    TBuiltArchive a;
    a.File(QStringLiteral("readme.txt"), 1234, 99, 5);
    a.File(QStringLiteral("src\\main.cpp"));
    a.Folder(QStringLiteral("bin"));
    a.ReadList();
    TFiles list;
    a.FillList(list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0]->Kind(), fkFolder);
    EXPECT_EQ(list[1]->Kind(), fkFolder);
    EXPECT_EQ(list[2]->Name, QStringLiteral("readme"));
    EXPECT_EQ(list[2]->Ext, QStringLiteral("txt"));
    EXPECT_EQ(list[2]->Size, 1234u);
    EXPECT_EQ(list[2]->Time.dwLowDateTime, 5u);
    // A folder the archive does not hold shows nothing.
    a.CurrentDir = QStringLiteral("nowhere");
    TFiles none;
    a.FillList(none);
    EXPECT_EQ(none.Count(), 0);
}

TEST(ArchiveTotals, SizesAndRatio)
{
    TBuiltArchive a;
    // A ratio over an empty archive used to divide by zero.
    EXPECT_EQ(a.Ratio(), 0);
    a.File(QStringLiteral("a"), 3000000000ull, 1000000001ull);
    a.File(QStringLiteral("b"), 3000000000ull, 1000000000ull);
    a.Folder(QStringLiteral("f"));
    a.ReadList();
    EXPECT_EQ(a.TotalSize(), 6000000000ull);
    EXPECT_EQ(a.TotalPackedSize(), 2000000001ull);
    EXPECT_EQ(a.Ratio(), 34); // 33.33... rounded up
    TBuiltArchive empty;
    empty.File(QStringLiteral("zero"), 0, 0);
    EXPECT_EQ(empty.Ratio(), 0);
}

TEST(ArchiveNames, FolderWildcardsOnlyForFolders)
{
    TBuiltArchive a;
    a.File(QStringLiteral("dir\\f.txt"));
    a.File(QStringLiteral("g.txt"));
    a.ReadList();
    QStringList names{QStringLiteral("DIR"), QStringLiteral("g.txt"), QStringLiteral("dir\\f.txt")};
    a.AppendFolderWildcards(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("DIR\\*.*"), QStringLiteral("g.txt"),
                                  QStringLiteral("dir\\f.txt")}));
}

TEST(ArchivePassword, MaskedPromptWithItsCaption)
{
    ScriptedAsk ask;
    TBuiltArchive a;
    ask.ExpectGetString(mrOk, QStringLiteral("s3cret"));
    ask.ExpectGetString(mrCancel, QStringLiteral("ignored"));
    QString password;
    EXPECT_TRUE(a.AskPassword(password));
    EXPECT_EQ(password, QStringLiteral("s3cret"));
    EXPECT_FALSE(a.AskPassword(password));
    EXPECT_EQ(password, QStringLiteral("s3cret"));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Confirm password"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("\n\npassword"));
    EXPECT_TRUE(ask.asked[0].masked);
}

TEST(EntryPath, SanitisedOrRefused)
{
    const struct {
        const char *stored;
        const char *relative; // null: refused
    } rows[] = {
        {"a/b/c.txt", "a\\b\\c.txt"},
        {"dir/", "dir"},
        {"/etc/passwd", nullptr},
        {"C:\\Windows\\x.dll", nullptr},
        {"c:rel.txt", nullptr},
        {"\\\\server\\share\\f", nullptr},
        {"./a/./b//c", "a\\b\\c"},
        {"../evil", nullptr},
        {"a/../../evil", nullptr},
        {"a/..", nullptr},
        {"..\\evil", nullptr},
        {"/", nullptr},
        {"", nullptr},
        {"./", nullptr},
        {"a\x01"
         "b",
         nullptr},
        {"line\nbreak", nullptr},
        {"a/b:c", nullptr},
        {"..a/b..", "..a\\b.."},
        {"...", "..."},
    };
    for (const auto &row : rows) {
        QString relative;
        const bool ok = SafeEntryPath(QString::fromUtf8(row.stored), relative);
        EXPECT_EQ(ok, row.relative != nullptr) << row.stored;
        if (ok && row.relative) {
            EXPECT_EQ(relative, QString::fromUtf8(row.relative)) << row.stored;
        }
    }
}

TEST(EntryPath, LinksMustStayInside)
{
    const struct {
        const char *link;
        const char *target;
        bool inside;
    } rows[] = {
        {"l", "file", true},
        {"l", "sub/file", true},
        {"a\\l", "../file", true},
        {"a\\b\\l", "../../x/y", true},
        {"l", "../x", false},
        {"a\\l", "../../x", false},
        {"l", "/etc/passwd", false},
        {"l", "C:/x", false},
        {"l", "", false},
        // A climb after a name could leave through whatever that name is.
        {"a\\l", "x/../..", false},
        {"l", "sub/../file", false},
        {"l", "./file", true},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LinkStaysInside(QString::fromUtf8(row.link), QString::fromUtf8(row.target)),
                  row.inside)
            << row.link << " -> " << row.target;
}

} // namespace
} // namespace kestrel::test
