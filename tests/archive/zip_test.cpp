// TZip's listing of archive files: the shared corpus against its trusted
// listings, the messages of files that are not (whole) archives, hostile
// names, and the entries a damaged directory still gives.

#include "archive/archivestrings.h"
#include "tests/archive/zipfixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class ZipListing : public ArchiveTest {
protected:
    // Writes bytes as a file on drive C: and opens it.
    std::unique_ptr<TZip> OpenBytes(const QByteArray &bytes,
                                    const QString &name = QStringLiteral("C:\\t.zip"))
    {
        MakeFile(name, bytes);
        return Open(name);
    }
    static QStringList Keys(const TArchiveEntries &list)
    {
        QStringList keys;
        for (int i = 0; i < list.Count(); ++i)
            keys << list.Key(i);
        return keys;
    }
};

TEST_F(ZipListing, CorpusListsAsItsTrustedListingSays)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    const QStringList passwords{
        QStringLiteral("test_read_format_zip_traditional_encryption_data.zip"),
        QStringLiteral("test_read_format_zip_winzip_aes256.zip")};
    int archives = 0;
    for (const QString &folder : {QStringLiteral("zip"), QStringLiteral("debian-zip")}) {
        const QDir dir(Corpus() + QLatin1Char('/') + folder);
        for (const QString &name : dir.entryList(QDir::Files)) {
            if (name.endsWith(QLatin1String(".listing.txt")))
                continue;
            SCOPED_TRACE(name.toStdString());
            ++archives;
            const QList<TListedEntry> listed = Listing(folder + QLatin1Char('/') + name);
            // The listing tool leaves the 12-byte encryption header out of
            // the packed size; the directory counts it.
            const quint64 encryptionHeader = passwords.contains(name) ? 12 : 0;
            ASSERT_FALSE(listed.isEmpty());
            const bool selfExtractor = name.contains(QLatin1String("sfx"));
            if (selfExtractor)
                ask.ExpectMessageBox(mrOk);
            const auto zip = Open(QStringLiteral("T:\\") + folder + QLatin1Char('\\') + name);
            EXPECT_EQ(Messages(), selfExtractor ? QStringList{ArchiveStr(10203)} : QStringList());
            EXPECT_FALSE(zip->FileName.isEmpty());

            QList<TListedEntry> files;
            for (const TListedEntry &e : listed) {
                QString key = e.name;
                key.replace(QLatin1Char('/'), QLatin1Char('\\'));
                if (key.endsWith(QLatin1Char('\\'))) {
                    EXPECT_GE(zip->Folders.IndexOf(key.chopped(1)), 0) << key.toStdString();
                } else {
                    files.append(e);
                }
            }
            ASSERT_EQ(zip->Files.Count(), files.size());
            for (int i = 0; i < files.size(); ++i) {
                QString key = files[i].name;
                key.replace(QLatin1Char('/'), QLatin1Char('\\'));
                // Names the listing tool could not show are compared by place.
                if (!key.contains(QChar(0xFFFD))) {
                    EXPECT_EQ(zip->Files.Key(i), key);
                }
                EXPECT_EQ(zip->Files.Entry(i)->Size, files[i].size) << key.toStdString();
                EXPECT_EQ(zip->Files.Entry(i)->PackedSize, files[i].packed + encryptionHeader)
                    << key.toStdString();
            }
            // Every folder is listed or holds something.
            for (int j = 0; j < zip->Folders.Count(); ++j) {
                const QString key = zip->Folders.Key(j);
                const bool listedFolder =
                    std::any_of(listed.begin(), listed.end(), [&](const TListedEntry &e) {
                        return QString(e.name).replace(QLatin1Char('/'), QLatin1Char('\\')) ==
                               key + QLatin1Char('\\');
                    });
                const bool holds =
                    std::any_of(listed.begin(), listed.end(), [&](const TListedEntry &e) {
                        return QString(e.name)
                            .replace(QLatin1Char('/'), QLatin1Char('\\'))
                            .startsWith(key + QLatin1Char('\\'));
                    });
                EXPECT_TRUE(listedFolder || holds) << key.toStdString();
            }
        }
    }
    EXPECT_EQ(archives, 13);
}

TEST_F(ZipListing, OemNamesFollowTheChosenCodePage)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    const QString path = QStringLiteral("T:\\zip\\test_read_format_zip_filename_cp866.zip");
    EXPECT_EQ(Keys(Open(path)->Files),
              (QStringList{QString::fromUtf8("\u00c5\u00c9\u00ea\u00e9\u00e0\u00c6"),
                           QString::fromUtf8("\u00bb\u03b1\u00bf\u00f3\u00d1\u0393")}));
    ASSERT_TRUE(SetZipCodePage(866));
    EXPECT_FALSE(SetZipCodePage(1251));
    EXPECT_EQ(Keys(Open(path)->Files),
              (QStringList{QStringLiteral("ПРИВЕТ"), QStringLiteral("привет")}));
    EXPECT_EQ(
        Keys(Open(QStringLiteral("T:\\zip\\test_read_format_zip_filename_utf8_jp.zip"))->Files),
        (QStringList{QStringLiteral("表だよ\\一覧表.txt"), QStringLiteral("表だよ\\漢字.txt")}));
}

TEST_F(ZipListing, FilesThatAreNoArchiveShowOneMessageAndListNothing)
{
    const struct {
        QByteArray bytes;
        int id;
    } rows[] = {
        {QByteArray(), 11011},
        {QByteArray("PK\x05\x06", 4), 11011},
        {QByteArray("just some text, no archive at all"), 11036},
        {QByteArray(70000, 'z'), 11036},
    };
    for (const auto &row : rows) {
        ask.ExpectMessageBox(mrOk);
        const auto zip = OpenBytes(row.bytes);
        EXPECT_EQ(Messages(), QStringList{ArchiveStr(row.id)});
        EXPECT_EQ(zip->LastErrorId, row.id);
        EXPECT_EQ(zip->EntryCount(), 0);
        EXPECT_TRUE(zip->FileName.isEmpty());
    }
    // A file that does not exist is not read at all.
    const auto missing = Open(QStringLiteral("C:\\missing.zip"));
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(missing->FileName, QStringLiteral("C:\\missing.zip"));
}

TEST_F(ZipListing, DamagedDirectoryKeepsWhatWasRead)
{
    TZipBytes zip;
    for (const char *name : {"one/a.txt", "one/b.txt", "two/c.txt"})
        zip.items.append(TZipItem{name, "data"});
    TZipLayout layout;
    QByteArray bytes = zip.Build(&layout);
    const int third = bytes.indexOf("two/c.txt", layout.directoryOffset) - 46;
    bytes[third + 2] = 'X';
    ask.ExpectMessageBox(mrOk);
    const auto damaged = OpenBytes(bytes);
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(11015)});
    EXPECT_EQ(Keys(damaged->Files),
              (QStringList{QStringLiteral("one\\a.txt"), QStringLiteral("one\\b.txt")}));
    EXPECT_EQ(Keys(damaged->Folders), QStringList{QStringLiteral("one")});
    EXPECT_TRUE(damaged->FileName.isEmpty());
}

TEST_F(ZipListing, HostileNamesAreLeftOut)
{
    TZipBytes zip;
    for (const QByteArray &name :
         {QByteArray(""), QByteArray("/"), QByteArray("../../evil.txt"), QByteArray("/etc/passwd"),
          QByteArray("C:\\boot.ini"), QByteArray("ctl\x01name"), QByteArray(65535, 'n'),
          QByteArray("ok.txt")})
        zip.items.append(TZipItem{name, "x"});
    const auto listed = OpenBytes(zip.Build());
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(Keys(listed->Files),
              (QStringList{QString(65535, QLatin1Char('n')), QStringLiteral("ok.txt")}));
    EXPECT_EQ(listed->Folders.Count(), 0);
}

TEST_F(ZipListing, UnixFolderEntryIsOneFolder)
{
    TZipBytes zip;
    TZipItem dir{"dir/", ""};
    dir.madeBy = 0x031E;
    dir.external = 0100644u << 16;
    TZipItem file{"dir/f.txt", "abc"};
    file.madeBy = 0x031E;
    file.external = 0100600u << 16;
    zip.items = {dir, file};
    const auto listed = OpenBytes(zip.Build());
    EXPECT_EQ(Keys(listed->Files), QStringList{QStringLiteral("dir\\f.txt")});
    EXPECT_EQ(Keys(listed->Folders), QStringList{QStringLiteral("dir")});
    EXPECT_EQ(listed->Files.Entry(0)->Parent, 0);
}

} // namespace
} // namespace kestrel::test
