#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"

#include "tests/support/machine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

struct Found {
    QString name, shortName;
    DWORD attributes = 0;
    UINT64 size = 0;
    FILETIME lastWrite;
};

class FileApiTest : public test::MachineTest {
protected:
    // Every entry a search delivers, in order; empty with the error in lastError.
    QList<Found> Find(const QString &pattern)
    {
        QList<Found> found;
        WIN32_FIND_DATA data;
        const HANDLE h = FindFirstFile(pattern, data);
        lastError = GetLastError();
        if (h == INVALID_HANDLE_VALUE)
            return found;
        do {
            found.append({data.cFileName, data.cAlternateFileName, data.dwFileAttributes,
                          (UINT64(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                          data.ftLastWriteTime});
        } while (FindNextFile(h, data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(h));
        return found;
    }
    static QStringList Names(const QList<Found> &found)
    {
        QStringList names;
        for (const Found &f : found)
            names.append(f.name);
        return names;
    }
    Found One(const QString &pattern)
    {
        const QList<Found> found = Find(pattern);
        EXPECT_EQ(found.size(), 1) << pattern.toStdString();
        return found.value(0);
    }
    HANDLE Open(const QString &path, DWORD access, DWORD disposition, DWORD attributes = 0)
    {
        return CreateFile(path, access, FILE_SHARE_READ, disposition, attributes);
    }
    DWORD lastError = 0;
};

TEST_F(FileApiTest, SearchDeliversDotsFirstAndMatchesMasks)
{
    MakeFile(QStringLiteral("C:\\dir\\Notes.TXT"), "n");
    MakeFile(QStringLiteral("C:\\dir\\readme"), "r");
    MakeFile(QStringLiteral("C:\\dir\\a b=c ü.txt"), "u");
    MakeFolder(QStringLiteral("C:\\dir\\sub"));

    const QStringList all = Names(Find(QStringLiteral("C:\\dir\\*.*")));
    ASSERT_EQ(all.size(), 6);
    EXPECT_EQ(all.mid(0, 2), QStringList({QStringLiteral("."), QStringLiteral("..")}));
    EXPECT_TRUE(all.contains(QStringLiteral("readme")));
    EXPECT_TRUE(all.contains(QStringLiteral("a b=c ü.txt")));

    QStringList texts = Names(Find(QStringLiteral("c:\\DIR\\*.txt")));
    texts.sort(Qt::CaseInsensitive);
    EXPECT_EQ(texts, QStringList({QStringLiteral("a b=c ü.txt"), QStringLiteral("Notes.TXT")}));
    EXPECT_EQ(One(QStringLiteral("C:\\dir\\NOTES.txt")).name, QStringLiteral("Notes.TXT"));
    EXPECT_EQ(One(QStringLiteral("C:\\dir\\sub")).attributes, FILE_ATTRIBUTE_DIRECTORY);

    // Drive roots deliver "." and ".." too; relative patterns use the current folder.
    EXPECT_EQ(Names(Find(QStringLiteral("C:\\*"))).mid(0, 3),
              QStringList({QStringLiteral("."), QStringLiteral(".."), QStringLiteral("dir")}));
    ASSERT_TRUE(SetCurrentDirectory(QStringLiteral("C:\\dir")));
    EXPECT_EQ(One(QStringLiteral("read*")).name, QStringLiteral("readme"));
}

TEST_F(FileApiTest, SearchFailuresHaveTheWindowsCodes)
{
    MakeFolder(QStringLiteral("C:\\empty"));
    MakeFile(QStringLiteral("C:\\file"), "x");
    const struct {
        const char *pattern;
        DWORD error;
    } rows[] = {
        {"C:\\empty\\*.txt", ERROR_FILE_NOT_FOUND},
        {"C:\\empty\\", ERROR_FILE_NOT_FOUND},
        {"C:\\missing\\*.*", ERROR_PATH_NOT_FOUND},
        {"C:\\missing\\deeper\\*.*", ERROR_PATH_NOT_FOUND},
        {"C:\\file\\*.*", ERROR_PATH_NOT_FOUND},
    };
    for (const auto &r : rows) {
        EXPECT_TRUE(Find(QLatin1String(r.pattern)).isEmpty());
        EXPECT_EQ(lastError, r.error) << r.pattern;
    }
    WIN32_FIND_DATA data;
    const HANDLE h = FindFirstFile(QStringLiteral("C:\\empty\\*"), data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD read = 0;
    char byte;
    EXPECT_FALSE(ReadFile(h, &byte, 1, read)); // a search is not a file
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FileApiTest, ShortNamesAreNumberedInListingOrder)
{
    const char *names[] = {
        "Program Files.txt", "Program Filesystem.txt", "README.TXT",  "readme.md",
        ".bashrc",           "a+b;c.longext",          "PROGRA~1.TXT"};
    for (const char *n : names)
        MakeFile(QStringLiteral("C:\\s\\") + QString::fromUtf8(n), "x");
    QHash<QString, QString> shortOf;
    for (const Found &f : Find(QStringLiteral("C:\\s\\*")))
        shortOf.insert(f.name, f.shortName);
    EXPECT_EQ(shortOf.value(QStringLiteral("README.TXT")), QString());
    EXPECT_EQ(shortOf.value(QStringLiteral("PROGRA~1.TXT")), QString());
    EXPECT_EQ(shortOf.value(QStringLiteral("readme.md")), QStringLiteral("README.MD"));
    EXPECT_EQ(shortOf.value(QStringLiteral(".bashrc")), QStringLiteral("BASHRC~1"));
    EXPECT_EQ(shortOf.value(QStringLiteral("a+b;c.longext")), QStringLiteral("A_B_C~1.LON"));
    // The two long names collide on "PROGRA"; the existing PROGRA~1.TXT is skipped.
    QStringList programs = {shortOf.value(QStringLiteral("Program Files.txt")),
                            shortOf.value(QStringLiteral("Program Filesystem.txt"))};
    programs.sort();
    EXPECT_EQ(programs,
              QStringList({QStringLiteral("PROGRA~2.TXT"), QStringLiteral("PROGRA~3.TXT")}));
    // A narrower mask keeps the numbering of the whole folder.
    EXPECT_EQ(One(QStringLiteral("C:\\s\\*system*")).shortName,
              shortOf.value(QStringLiteral("Program Filesystem.txt")));
}

TEST_F(FileApiTest, ShortNamesWidenTheirNumberWhenATailIsUsedUp)
{
    for (int i = 0; i < 120; ++i)
        MakeFile(QStringLiteral("C:\\docs\\Document %1.txt").arg(i), "x");
    QSet<QString> got;
    for (const Found &f : Find(QStringLiteral("C:\\docs\\*.txt")))
        got.insert(f.shortName);
    QSet<QString> expected;
    for (int n = 1; n <= 120; ++n) {
        const QString prefix = n < 10 ? "DOCUME~" : n < 100 ? "DOCUM~" : "DOCU~";
        expected.insert(prefix + QString::number(n) + ".TXT");
    }
    EXPECT_EQ(got, expected);
}

TEST_F(FileApiTest, LargeFolderEntriesEachKeepTheirOwnDetails)
{
    // A folder big enough to be read by several threads: every entry must come
    // back once, in directory order, with its own size, attributes and time.
    const int count = 9000;
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("C:\\many\\f%1.dat").arg(i);
        MakeFileOfSize(path, i % 97);
        if (i % 7 == 0) {
            ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
        }
        if (i % 11 == 0)
            SetTime(path, 1000000000 + i);
    }
    const QList<Found> all = Find(QStringLiteral("C:\\many\\*.*"));
    ASSERT_EQ(all.size(), count + 2); // with "." and ".."
    EXPECT_EQ(all[0].name, QStringLiteral("."));
    EXPECT_EQ(all[1].name, QStringLiteral(".."));
    QSet<QString> seen;
    for (qsizetype k = 2; k < all.size(); ++k) {
        const Found &f = all[k];
        const int i = f.name.mid(1, f.name.size() - 5).toInt();
        ASSERT_FALSE(seen.contains(f.name)) << qPrintable(f.name);
        seen.insert(f.name);
        EXPECT_EQ(f.size, UINT64(i % 97)) << i;
        const DWORD special = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(f.attributes & special, i % 7 == 0 ? special : 0u) << i;
        if (i % 11 == 0) {
            EXPECT_EQ(FileTimeToQDateTime(f.lastWrite).toSecsSinceEpoch(), 1000000000 + i) << i;
        }
        EXPECT_FALSE(f.shortName.isEmpty()) << i; // lower case needs a short name
    }
    // A narrower mask finds the same details.
    const Found one = One(QStringLiteral("C:\\many\\F7.DAT"));
    EXPECT_EQ(one.name, QStringLiteral("f7.dat"));
    EXPECT_EQ(one.size, 7u);
}

TEST_F(FileApiTest, SizesAboveFourGigabytesKeepTheHighPart)
{
    const qint64 size = (qint64(5) << 30) + 123;
    MakeSparseFile(QStringLiteral("C:\\big.bin"), size);
    EXPECT_EQ(One(QStringLiteral("C:\\big.bin")).size, UINT64(size));

    const HANDLE h = Open(QStringLiteral("C:\\big.bin"), GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD high = 0;
    EXPECT_EQ(GetFileSize(h, &high), DWORD(size & 0xFFFFFFFF));
    EXPECT_EQ(high, 1u);
    EXPECT_EQ(GetFileSize64(h), UINT64(size));
    EXPECT_EQ(SetFilePointer(h, -3, FILE_END), size - 3);
    char buffer[8];
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, read));
    EXPECT_EQ(read, 3u); // stops at the end
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, read));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
}

TEST_F(FileApiTest, LinksAreMarkedAndFollowedForTheirDetails)
{
    MakeFileOfSize(QStringLiteral("C:\\target.dat"), 1000);
    MakeFile(QStringLiteral("C:\\folder\\inside.txt"), "i");
    const auto link = [&](const char *target, const char *name) {
        ASSERT_TRUE(QFile::link(QString::fromLatin1(target),
                                DecodeName(Native(QStringLiteral("C:\\") + QLatin1String(name)))));
    };
    link("target.dat", "good");
    link("gone.dat", "dangling");
    link("folder", "linkdir");
    const struct {
        const char *name;
        DWORD attributes;
        UINT64 size;
    } rows[] = {
        {"target.dat", FILE_ATTRIBUTE_ARCHIVE, 1000},
        {"folder", FILE_ATTRIBUTE_DIRECTORY, 0},
        {"good", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE, 1000},
        // A dangling link is an empty file.
        {"dangling", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE, 0},
        {"linkdir", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, 0},
    };
    for (const auto &row : rows) {
        const QString path = QStringLiteral("C:\\") + QLatin1String(row.name);
        const Found found = One(path);
        EXPECT_EQ(found.attributes, row.attributes) << row.name;
        EXPECT_EQ(found.size, row.size) << row.name;
        EXPECT_EQ(GetFileAttributes(path), row.attributes) << row.name;
    }
    EXPECT_EQ(Names(Find(QStringLiteral("C:\\linkdir\\*.txt"))), QStringList{"inside.txt"});
}

TEST_F(FileApiTest, DeletingALinkNeverTouchesItsTarget)
{
    MakeFile(QStringLiteral("C:\\folder\\inside.txt"), "i");
    SetAttributes(QStringLiteral("C:\\folder\\inside.txt"), FILE_ATTRIBUTE_READONLY);
    for (const char *name : {"a", "b", "c"}) {
        ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/c/folder"),
                                DecodeName(Native(QStringLiteral("C:\\") + QLatin1String(name)))));
    }
    ASSERT_TRUE(QFile::link(Root() + QStringLiteral("/c/folder/inside.txt"),
                            DecodeName(Native(QStringLiteral("C:\\file")))));
    EXPECT_TRUE(RemoveDirectory(QStringLiteral("C:\\a")));
    EXPECT_TRUE(DeleteFile(QStringLiteral("C:\\B")));
    EXPECT_FALSE(RemoveDirectory(QStringLiteral("C:\\file")));
    EXPECT_EQ(GetLastError(), 267u);
    EXPECT_TRUE(DeleteFile(QStringLiteral("C:\\file")));
    for (const char *name : {"a", "b", "file"})
        EXPECT_FALSE(QFileInfo::exists(Root() + QStringLiteral("/c/") + QLatin1String(name)));
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("/c/c")).isSymLink());
    EXPECT_EQ(Contents(QStringLiteral("C:\\folder\\inside.txt")), "i");
}

// A link holds its text as given, is never looked up, and reads back the same,
// also when the text is longer than a first guess at its size.
TEST_F(FileApiTest, SymbolicLinksAreMadeAndReadAsTheyStand)
{
    MakeFile(QStringLiteral("C:\\folder\\inside.txt"), "i");
    QString longText;
    for (int i = 0; i < 100; ++i)
        longText += QStringLiteral("ab/");
    const struct {
        const char *name;
        QString text;
        DWORD flags;
        const char *resolved; // what the link leads to, below the drive's folder
    } rows[] = {
        {"to file", QStringLiteral("folder/inside.txt"), 0, "/c/folder/inside.txt"},
        {"to folder", QStringLiteral("folder"), SYMBOLIC_LINK_FLAG_DIRECTORY, "/c/folder"},
        {"to parent", QStringLiteral(".."), SYMBOLIC_LINK_FLAG_DIRECTORY, ""},
        {"dangling ü ☃", QStringLiteral("nowhere ü ☃"), 0, "/c/nowhere ü ☃"},
        {"long", longText, 0, nullptr},
    };
    for (const auto &row : rows) {
        const QString link = QStringLiteral("C:\\") + QString::fromUtf8(row.name);
        ASSERT_TRUE(CreateSymbolicLink(link, row.text, row.flags)) << row.name;
        const QFileInfo info(DecodeName(Native(link)));
        EXPECT_TRUE(info.isSymLink()) << row.name;
        if (row.resolved) {
            EXPECT_EQ(info.symLinkTarget(),
                      QDir::cleanPath(Root() + QString::fromUtf8(row.resolved)))
                << row.name;
        }
        QString read;
        EXPECT_TRUE(ReadSymbolicLink(link, read)) << row.name;
        EXPECT_EQ(read, row.text) << row.name;
        EXPECT_TRUE(GetFileAttributes(link) & FILE_ATTRIBUTE_REPARSE_POINT) << row.name;
    }
    // One made elsewhere reads the same.
    ASSERT_TRUE(QFile::link(QStringLiteral("../x/y"), DecodeName(Native(QStringLiteral("C:\\q")))));
    QString read;
    EXPECT_TRUE(ReadSymbolicLink(QStringLiteral("C:\\Q"), read));
    EXPECT_EQ(read, QStringLiteral("../x/y"));
}

TEST_F(FileApiTest, SymbolicLinkFailuresHaveTheWindowsCodes)
{
    MakeFile(QStringLiteral("C:\\file.txt"), "old");
    ASSERT_TRUE(CreateSymbolicLink(QStringLiteral("C:\\link"), QStringLiteral("file.txt"), 0));
    const struct {
        const char *what;
        const char *name;
        DWORD code;
    } made[] = {
        {"over a file", "FILE.TXT", ERROR_ALREADY_EXISTS},
        {"over a link", "link", ERROR_ALREADY_EXISTS},
        {"in a missing folder", "no\\link", ERROR_PATH_NOT_FOUND},
    };
    for (const auto &row : made) {
        EXPECT_FALSE(CreateSymbolicLink(QStringLiteral("C:\\") + QLatin1String(row.name),
                                        QStringLiteral("x"), 0))
            << row.what;
        EXPECT_EQ(GetLastError(), row.code) << row.what;
    }
    EXPECT_EQ(Contents(QStringLiteral("C:\\file.txt")), "old");
    QString read = QStringLiteral("unchanged");
    EXPECT_FALSE(ReadSymbolicLink(QStringLiteral("C:\\file.txt"), read));
    EXPECT_EQ(GetLastError(), ERROR_NOT_A_REPARSE_POINT);
    EXPECT_FALSE(ReadSymbolicLink(QStringLiteral("C:\\missing"), read));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(read, QStringLiteral("unchanged"));

    InjectFault(FaultOp::Create, 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CreateSymbolicLink(QStringLiteral("C:\\new"), QStringLiteral("file.txt"), 0));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(QFileInfo(DecodeName(Native(QStringLiteral("C:\\new")))).isSymLink());
}

TEST_F(FileApiTest, CreateDispositions)
{
    const QString path = QStringLiteral("C:\\f.txt");
    MakeFile(path, "old contents");
    EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(Contents(path), QByteArray("old contents"));

    const struct {
        const char *path;
        DWORD disposition;
        DWORD error;
    } failures[] = {
        {"C:\\missing.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"C:\\missing.txt", TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
        {"C:\\no\\such\\f.txt", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"C:\\no\\f.txt", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"C:\\", OPEN_EXISTING, ERROR_ACCESS_DENIED}, // a folder is no file
        {"C:\\f.txt", 9, ERROR_INVALID_PARAMETER},
    };
    for (const auto &f : failures) {
        EXPECT_EQ(Open(QLatin1String(f.path), GENERIC_READ | GENERIC_WRITE, f.disposition),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), f.error) << f.path << " " << f.disposition;
    }
    EXPECT_FALSE(Exists(QStringLiteral("C:\\missing.txt")));

    HANDLE h = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS); // it was there
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "new", 3, written));
    EXPECT_EQ(written, 3u);
    CloseHandle(h);
    EXPECT_EQ(Contents(path), QByteArray("new"));

    h = Open(QStringLiteral("C:\\fresh.txt"), GENERIC_READ, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(WriteFile(h, "x", 1, written)); // opened for reading
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(h);
}

TEST_F(FileApiTest, ReadWriteSeekAndTruncate)
{
    const QString path = QStringLiteral("C:\\data.bin");
    const QByteArray pattern = Pattern(300'000);
    HANDLE h = Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, pattern.constData(), DWORD(pattern.size()), n));
    EXPECT_EQ(n, DWORD(pattern.size()));
    EXPECT_EQ(SetFilePointer(h, 100, FILE_BEGIN), 100);
    QByteArray back(50, '\0');
    ASSERT_TRUE(ReadFile(h, back.data(), 50, n));
    EXPECT_EQ(back, pattern.mid(100, 50));
    EXPECT_EQ(SetFilePointer(h, -10, FILE_CURRENT), 140);
    ASSERT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(GetFileSize64(h), 140u);
    EXPECT_EQ(SetFilePointer(h, -1, FILE_BEGIN), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ(Contents(path), pattern.left(140));
}

TEST_F(FileApiTest, TimesRoundTrip)
{
    const QString path = QStringLiteral("C:\\t.txt");
    MakeFile(path, "t");
    const HANDLE h = Open(path, GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const FILETIME written = UnixToFileTime(1'234'567'890, 123'456'700);
    const FILETIME accessed = UnixToFileTime(1'300'000'000, 0);
    ASSERT_TRUE(SetFileTime(h, nullptr, &accessed, &written));
    FILETIME creation, access, lastWrite;
    ASSERT_TRUE(GetFileTime(h, &creation, &access, &lastWrite));
    EXPECT_EQ(lastWrite, written);
    EXPECT_EQ(access, accessed);
    // A null time leaves that time alone.
    const FILETIME later = UnixToFileTime(1'400'000'000, 0);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &later));
    ASSERT_TRUE(GetFileTime(h, nullptr, &access, &lastWrite));
    EXPECT_EQ(access, accessed);
    EXPECT_EQ(lastWrite, later);
    CloseHandle(h);
    EXPECT_EQ(One(path).lastWrite, later);
}

TEST_F(FileApiTest, AttributesRoundTrip)
{
    MakeFile(QStringLiteral("C:\\plain.txt"), "p");
    MakeFile(QStringLiteral("C:\\.dotted"), "d");
    MakeFolder(QStringLiteral("C:\\folder"));
    const DWORD A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM,
                R = FILE_ATTRIBUTE_READONLY, D = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(GetFileAttributes(QStringLiteral("C:\\plain.txt")), A); // no stored attributes
    EXPECT_EQ(GetFileAttributes(QStringLiteral("C:\\.dotted")), A | H);
    EXPECT_EQ(GetFileAttributes(QStringLiteral("C:\\folder")), D);

    const struct {
        const char *path;
        DWORD set, expect;
    } rows[] = {
        {"C:\\plain.txt", H | A, H | A}, // hidden by the stored attributes
        {"C:\\plain.txt", S | H, S | H},
        {"C:\\plain.txt", FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL},
        {"C:\\plain.txt", R | A, R | A},
        {"C:\\plain.txt", A, A},
        {"C:\\.dotted", A, A | H}, // the dot keeps it hidden
        {"C:\\folder", H | R | D, H | R | D},
        {"C:\\folder", D, D},
    };
    for (const auto &r : rows) {
        const QString path = QLatin1String(r.path);
        ASSERT_TRUE(SetFileAttributes(path, r.set)) << r.path;
        EXPECT_EQ(GetFileAttributes(path), r.expect) << r.path << " set " << r.set;
        EXPECT_EQ(One(path).attributes, r.expect) << r.path << " set " << r.set;
    }
    EXPECT_EQ(GetFileAttributes(QStringLiteral("C:\\nothing")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetFileAttributes(QStringLiteral("C:\\no\\thing"), A));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileApiTest, ReadOnlyIsHonouredEvenForTheSuperUser)
{
    const QString path = QStringLiteral("C:\\ro.txt");
    HANDLE h =
        Open(path, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "written", 7, n)); // the creating handle may still write
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ(Contents(path), QByteArray("written"));
    EXPECT_EQ(GetFileAttributes(path),
              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);

    EXPECT_EQ(Open(path, GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFile(path));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Contents(path), QByteArray("written"));
    ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFile(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(FileApiTest, MoveFileNeverReplaces)
{
    MakeFile(QStringLiteral("C:\\a.txt"), "aaa");
    MakeFile(QStringLiteral("C:\\b.txt"), "bbb");
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\b.txt")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\B.TXT")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Contents(QStringLiteral("C:\\a.txt")), QByteArray("aaa"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\b.txt")), QByteArray("bbb"));

    // A change of case renames the file itself.
    ASSERT_TRUE(MoveFile(QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\A.txt")));
    EXPECT_EQ(One(QStringLiteral("C:\\a.txt")).name, QStringLiteral("A.txt"));

    MakeFolder(QStringLiteral("D:\\dest"));
    ASSERT_TRUE(MoveFile(QStringLiteral("C:\\A.txt"), QStringLiteral("D:\\dest\\moved ü.txt")));
    EXPECT_EQ(Contents(QStringLiteral("D:\\dest\\moved ü.txt")), QByteArray("aaa"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\A.txt")));
    ASSERT_TRUE(MoveFile(QStringLiteral("D:\\dest"), QStringLiteral("D:\\renamed")));
    EXPECT_TRUE(Exists(QStringLiteral("D:\\renamed\\moved ü.txt")));

    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\none.txt"), QStringLiteral("C:\\x.txt")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\b.txt"), QStringLiteral("C:\\no\\x.txt")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

// Across file systems a file is copied whole, then its source removed.
TEST_F(FileApiTest, MoveFileAcrossFileSystems)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/kestrel-XXXXXX"));
    if (!other.isValid() || QStorageInfo(other.path()).device() == QStorageInfo(Root()).device())
        GTEST_SKIP() << "no second file system";
    qputenv("KESTREL_DRIVES", qgetenv("KESTREL_DRIVES") + ";X=" + other.path().toUtf8());
    ReloadDriveTable();

    const QByteArray data = Pattern(3'000'000);
    MakeFile(QStringLiteral("C:\\move.bin"), data);
    SetAttributes(QStringLiteral("C:\\move.bin"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    SetTime(QStringLiteral("C:\\move.bin"), 1'000'000'000);
    ASSERT_TRUE(MoveFile(QStringLiteral("C:\\move.bin"), QStringLiteral("X:\\move.bin")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\move.bin")));
    const Found moved = One(QStringLiteral("X:\\move.bin"));
    EXPECT_EQ(moved.attributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(moved.lastWrite, UnixToFileTime(1'000'000'000, 0));
    QFile f(other.path() + QStringLiteral("/move.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == data);

    MakeFile(QStringLiteral("C:\\move.bin"), "second");
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\move.bin"), QStringLiteral("X:\\MOVE.BIN")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Contents(QStringLiteral("C:\\move.bin")), QByteArray("second"));
    MakeFolder(QStringLiteral("C:\\folder"));
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\folder"), QStringLiteral("X:\\folder")));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(QDir(other.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("move.bin")})); // no temporary left behind
}

// The kernel copies a whole step at a time; where it cannot (another file
// system) the data comes through one 65,535-byte buffer a call. Either way
// the bytes arrive in order and the end of the source reads as 0.
TEST_F(FileApiTest, CopyFileDataMovesTheDataStepByStep)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/kestrel-XXXXXX"));
    const bool second =
        other.isValid() && QStorageInfo(other.path()).device() != QStorageInfo(Root()).device();
    if (second) {
        qputenv("KESTREL_DRIVES", qgetenv("KESTREL_DRIVES") + ";X=" + other.path().toUtf8());
        ReloadDriveTable();
    }
    constexpr DWORD step = 1 << 20;
    const qint64 size = 2 * step + 12345;
    MakeFileOfSize(QStringLiteral("C:\\src.bin"), size);
    for (const QString &target :
         {QStringLiteral("C:\\same.bin"), QStringLiteral("X:\\other.bin")}) {
        if (target.startsWith(QLatin1Char('X')) && !second)
            continue;
        const HANDLE in = Open(QStringLiteral("C:\\src.bin"), GENERIC_READ, OPEN_EXISTING);
        const HANDLE out = Open(target, GENERIC_WRITE, CREATE_NEW);
        ASSERT_NE(in, INVALID_HANDLE_VALUE);
        ASSERT_NE(out, INVALID_HANDLE_VALUE);
        QList<DWORD> steps;
        DWORD copied = 0;
        while (CopyFileData(in, out, step, copied) && copied > 0 && steps.size() < 100)
            steps.append(copied);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        EXPECT_EQ(copied, 0u) << "the end of the source";
        qint64 total = 0;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            total += steps[i];
            if (i + 1 < steps.size()) {
                EXPECT_TRUE(steps[i] == step || steps[i] == 0xFFFF) << steps[i];
            }
        }
        if (!target.startsWith(QLatin1Char('X'))) {
            EXPECT_EQ(steps, (QList<DWORD>{step, step, 12345}));
        }
        EXPECT_EQ(total, size);
        CloseHandle(in);
        CloseHandle(out);
        QFile copy(target.startsWith(QLatin1Char('X')) ? other.path() + QStringLiteral("/other.bin")
                                                       : DecodeName(Native(target)));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_TRUE(copy.readAll() == Pattern(size)) << target.toStdString();
    }
}

// A step counts as one read, and as one write only when it moves data.
TEST_F(FileApiTest, CopyFileDataCountsReadsAndWritesForTheFaultHook)
{
    MakeFile(QStringLiteral("C:\\src.txt"), "some data");
    const HANDLE in = Open(QStringLiteral("C:\\src.txt"), GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = Open(QStringLiteral("C:\\dst.txt"), GENERIC_WRITE, CREATE_NEW);
    DWORD copied = 0;
    InjectFault(FaultOp::Read, 1, ERROR_READ_FAULT);
    EXPECT_FALSE(CopyFileData(in, out, 4, copied));
    EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
    InjectFault(FaultOp::Write, 3, ERROR_DISK_FULL);
    EXPECT_TRUE(CopyFileData(in, out, 4, copied));
    EXPECT_TRUE(CopyFileData(in, out, 4, copied));
    EXPECT_FALSE(CopyFileData(in, out, 4, copied));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_TRUE(CopyFileData(in, out, 4, copied));
    EXPECT_EQ(copied, 1u);
    InjectFault(FaultOp::Write, 1, ERROR_DISK_FULL);
    EXPECT_TRUE(CopyFileData(in, out, 4, copied)) << "the end moves nothing to write";
    EXPECT_EQ(copied, 0u);
    ClearFaults();
    CloseHandle(in);
    CloseHandle(out);
    EXPECT_EQ(Contents(QStringLiteral("C:\\dst.txt")), QByteArray("some data"));
}

TEST_F(FileApiTest, FoldersAndDeletion)
{
    EXPECT_TRUE(CreateDirectory(QStringLiteral("C:\\new")));
    EXPECT_FALSE(CreateDirectory(QStringLiteral("C:\\NEW")));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectory(QStringLiteral("C:\\no\\new")));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    MakeFile(QStringLiteral("C:\\new\\f"), "f");
    EXPECT_FALSE(DeleteFile(QStringLiteral("C:\\new")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(RemoveDirectory(QStringLiteral("C:\\new")));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(DeleteFile(QStringLiteral("C:\\new\\missing")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(DeleteFile(QStringLiteral("C:\\new\\F")));
    EXPECT_TRUE(RemoveDirectory(QStringLiteral("C:\\new")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\new")));
}

TEST_F(FileApiTest, FaultHookFailsTheChosenCall)
{
    const HANDLE h = Open(QStringLiteral("C:\\w.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    InjectFault(FaultOp::Write, 2, ERROR_DISK_FULL);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "one", 3, n));
    EXPECT_FALSE(WriteFile(h, "two", 3, n));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(WriteFile(h, "three", 5, n));
    InjectFault(FaultOp::Read, 1, ERROR_READ_FAULT);
    SetFilePointer(h, 0, FILE_BEGIN);
    char buffer[16];
    EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, n));
    EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
    CloseHandle(h);
    EXPECT_EQ(Contents(QStringLiteral("C:\\w.bin")), QByteArray("onethree"));

    InjectFault(FaultOp::Create, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(QStringLiteral("C:\\c.bin"), GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\c.bin")));
    InjectFault(FaultOp::Rename, 1, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(MoveFile(QStringLiteral("C:\\w.bin"), QStringLiteral("C:\\v.bin")));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\w.bin")));
}

} // namespace
} // namespace kestrel::sys
