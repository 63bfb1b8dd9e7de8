// The formats read through libarchive: first bytes checked against the
// extension, sizes of files compressed alone read without decompressing,
// the corpus listed and extracted as bsdtar does, the tar family, ISO and
// cpio made here, hostile entries, damaged archives and failing writes.

#include "archive/archivestrings.h"
#include "archive/browser.h"
#include "archive/formatcheck.h"
#include "archive/libarchive.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "panel/file.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "tests/archive/zipfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>

#include <archive.h>
#include <archive_entry.h>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

// An item for libarchive to write in any format.
struct TItem {
    enum Kind { File, Folder, Link, HardLink, Fifo, Device };
    TItem(QByteArray name, QByteArray data = {}, Kind kind = File, QByteArray target = {})
        : name(std::move(name)), data(std::move(data)), kind(kind), target(std::move(target))
    {
    }
    QByteArray name;
    QByteArray data;
    Kind kind;
    QByteArray target; // of a link
    unsigned perm = 0644;
};

// format: a libarchive format name ("ustar", "cpio", "iso9660", "7zip");
// filter: "gzip", "bzip2", "xz", "zstd", "lz4" or none.
void WriteArchive(const QByteArray &native, const char *format, const QList<TItem> &items,
                  const char *filter = nullptr)
{
    struct archive *w = archive_write_new();
    ASSERT_EQ(archive_write_set_format_by_name(w, format), ARCHIVE_OK) << format;
    if (filter) {
        ASSERT_EQ(archive_write_add_filter_by_name(w, filter), ARCHIVE_OK) << filter;
    }
    ASSERT_EQ(archive_write_open_filename(w, native.constData()), ARCHIVE_OK);
    for (const TItem &item : items) {
        struct archive_entry *e = archive_entry_new();
        archive_entry_set_pathname(e, item.name.constData());
        archive_entry_set_mtime(e, 1700000000, 0);
        archive_entry_set_perm(e, item.kind == TItem::Folder ? 0755 : item.perm);
        switch (item.kind) {
        case TItem::File:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_size(e, item.data.size());
            break;
        case TItem::Folder:
            archive_entry_set_size(e, 0);
            archive_entry_set_filetype(e, AE_IFDIR);
            break;
        case TItem::Link:
            archive_entry_set_size(e, 0);
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, item.target.constData());
            break;
        case TItem::HardLink:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_hardlink(e, item.target.constData());
            archive_entry_set_size(e, 0);
            break;
        case TItem::Fifo:
            archive_entry_set_size(e, 0);
            archive_entry_set_filetype(e, AE_IFIFO);
            break;
        case TItem::Device:
            archive_entry_set_size(e, 0);
            archive_entry_set_filetype(e, AE_IFCHR);
            archive_entry_set_rdev(e, 0x0103);
            break;
        }
        archive_write_header(w, e);
        if (item.kind == TItem::File)
            archive_write_data(w, item.data.constData(), std::size_t(item.data.size()));
        archive_entry_free(e);
    }
    archive_write_close(w);
    archive_write_free(w);
}

// One line of a bsdtar -tv listing.
struct TTarLine {
    QString name; // slashes; a folder ends in "/"
    quint64 size = 0;
};

bool HasTool(const char *name)
{
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

class LibArchive : public ArchiveTest {
protected:
    void TearDown() override
    {
        sys::ClearFaults();
        ArchiveTest::TearDown();
    }

    std::unique_ptr<TLibArchive> List(const QString &path)
    {
        auto archive = std::make_unique<TLibArchive>(ArchiveTypeOf(path));
        archive->SetFileName(path);
        return archive;
    }
    std::unique_ptr<TLibArchive> ExtractTo(const QString &path, const QString &destination,
                                           const QStringList &names = {})
    {
        auto archive = List(path);
        archive->Names = names;
        archive->OnFileExists = onFileExists;
        archive->OnProgress = onProgress;
        archive->Extract(destination);
        return archive;
    }
    static QStringList Keys(const TArchiveEntries &entries)
    {
        QStringList keys;
        for (int i = 0; i < entries.Count(); ++i)
            keys << entries.Key(i);
        return keys;
    }
    static QList<TTarLine> BsdtarListing(const QString &relative)
    {
        QList<TTarLine> lines;
        QFile file(Corpus() + QLatin1Char('/') + relative + QStringLiteral(".listing.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        static const QRegularExpression line(
            QStringLiteral("^[-dlhrwxsStT]{10}\\s+\\d+\\s+\\S+\\s+\\S+\\s+(\\d+)\\s+\\w{3}\\s+\\d+"
                           "\\s+\\S+\\s(.*)$"));
        bool inBsdtar = false;
        for (const QByteArray &bytes : file.readAll().split('\n')) {
            const QString text = QString::fromUtf8(bytes);
            if (text.startsWith(QLatin1String("# ----")))
                inBsdtar = text.contains(QLatin1String("bsdtar"));
            const QRegularExpressionMatch m = line.match(text);
            if (inBsdtar && m.hasMatch()) {
                QString name = m.captured(2);
                const qsizetype arrow = name.indexOf(QLatin1String(" -> "));
                if (arrow > 0)
                    name.truncate(arrow);
                const qsizetype hard = name.indexOf(QLatin1String(" link to "));
                if (hard > 0)
                    name.truncate(hard);
                lines.append({name, m.captured(1).toULongLong()});
            }
        }
        return lines;
    }
    // The file compressed alone by a command-line tool into plain + suffix
    // ("IN" and "OUT" in the arguments stand for the two); empty when the
    // tool is missing.
    QString Compress(const char *tool, const QStringList &arguments, const QString &plain,
                     const QString &suffix)
    {
        if (!HasTool(tool))
            return QString();
        QStringList args = arguments;
        args.replaceInStrings(QStringLiteral("IN"), QString::fromUtf8(Native(plain)));
        args.replaceInStrings(QStringLiteral("OUT"), QString::fromUtf8(Native(plain + suffix)));
        if (QProcess::execute(QLatin1String(tool), args) != 0)
            return QString();
        return plain + suffix;
    }

    TArchive::TFileExistsEvent onFileExists;
    TArchive::TProgressEvent onProgress;
};

TEST(FormatCheck, FirstBytesMustBeTheExtensionsFormat)
{
    QByteArray tar(1024, '\0');
    tar.replace(0, 5, "a.txt");
    tar.replace(257, 6, QByteArray("ustar\0", 6));
    QByteArray oldTar(512, '\0');
    oldTar.replace(0, 1, "x");
    // An old header's checksum: the bytes summed, the field itself as blanks.
    unsigned sum = 'x' + 8 * ' ';
    oldTar.replace(148, 7, QByteArray::number(sum, 8).rightJustified(6, '0') + '\0');
    QByteArray wrongSum = oldTar;
    wrongSum[0] = 'y';
    QByteArray iso(40000, '\0');
    iso.replace(32769, 5, "CD001");
    const QByteArray text = "just some text, not an archive at all";
    const struct {
        TArchiveType type;
        TCompression compression;
        QByteArray head;
        bool matches;
    } rows[] = {
        {atSevenZip, tcNone, QByteArray("7z\xbc\xaf\x27\x1c\0\x04", 8), true},
        {atSevenZip, tcNone, text, false},
        {atTar, tcNone, tar, true},
        {atTar, tcNone, oldTar, true},
        {atTar, tcNone, wrongSum, false},
        {atTar, tcNone, QByteArray(1024, '\0'), true}, // an empty archive
        {atTar, tcNone, text, false},
        {atTar, tcGzip, QByteArray("\x1f\x8b\x08\0", 4), true},
        {atTar, tcGzip, tar, false},
        {atTar, tcBzip2, "BZh91AY", true},
        {atTar, tcBzip2, "BZh0", false},
        {atTar, tcXz,
         QByteArray("\xfd"
                    "7zXZ\0\0",
                    7),
         true},
        {atTar, tcZstd, "\x28\xb5\x2f\xfd\x24", true},
        {atTar, tcLz4, "\x04\x22\x4d\x18\x64", true},
        {atCab, tcNone, "MSCF\0\0\0\0", true},
        {atCab, tcNone, text, false},
        {atLha, tcNone, "\x20\x5c-lh5-", true},
        {atLha, tcNone, "\x20\x5c-xx5-", false},
        {atIso, tcNone, iso, true},
        {atIso, tcNone, iso.left(32770), false},
        {atCpio, tcNone, "070701000", true},
        {atCpio, tcNone, "\xc7\x71\x00", true},
        {atCpio, tcNone, "070799", false},
        {atCompressed, tcGzip, QByteArray("\x1f\x8b\x08\0", 4), true},
        {atCompressed, tcXz, QByteArray("\x1f\x8b\x08\0", 4), false},
        {atCompressed, tcNone, QByteArray("\x1f\x8b\x08\0", 4), false},
        {atCompressed, tcZstd, "\x5e\x2a\x4d\x18", true}, // a skippable frame first
        {atSevenZip, tcNone, QByteArray(), false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(QString::fromLatin1(row.head.left(12).toHex()).toStdString());
        EXPECT_EQ(HeadMatches(row.type, row.compression, row.head), row.matches)
            << ArchiveTypeName(row.type).toStdString();
    }
    EXPECT_EQ(CompressionOf(QStringLiteral("a.tar.gz")), tcGzip);
    EXPECT_EQ(CompressionOf(QStringLiteral("a.TBZ2")), tcBzip2);
    EXPECT_EQ(CompressionOf(QStringLiteral("a.txz")), tcXz);
    EXPECT_EQ(CompressionOf(QStringLiteral("a.tar")), tcNone);
    EXPECT_EQ(CompressedName(QStringLiteral("notes.txt.gz")), QStringLiteral("notes.txt"));
}

TEST(FormatCheck, DamagedSizeRecordsGiveNoSize)
{
    // An xz footer whose index size reaches before the file's start.
    QByteArray xz = QByteArray("\xfd"
                               "7zXZ\0\0",
                               7) +
                    QByteArray(20, 'x');
    xz += QByteArray("\0\0\0\0\xff\xff\xff\x0f\0\0YZ", 12);
    TZipMemorySource source(xz);
    EXPECT_EQ(CompressedSize(tcXz, source), -1);
    // A zstd frame that does not give its size, and one that is cut short.
    TZipMemorySource zstd(QByteArray("\x28\xb5\x2f\xfd\x00\x58", 6));
    EXPECT_EQ(CompressedSize(tcZstd, zstd), -1);
    TZipMemorySource cut(QByteArray("\x28\xb5\x2f\xfd\xc0", 5));
    EXPECT_EQ(CompressedSize(tcZstd, cut), -1);
    TZipMemorySource empty{QByteArray()};
    EXPECT_EQ(CompressedSize(tcGzip, empty), -1);
    EXPECT_EQ(CompressedSize(tcLz4, empty), -1);
}

TEST_F(LibArchive, FilesCompressedAloneListOneEntryWithoutDecompressing)
{
    const QByteArray data = Pattern(300000, 6);
    struct {
        const char *tool;
        QStringList arguments;
        const char *suffix;
        bool sizeKnown;
    } rows[] = {
        {"gzip", {QStringLiteral("-k"), QStringLiteral("IN")}, ".gz", true},
        {"xz", {QStringLiteral("-k"), QStringLiteral("IN")}, ".xz", true},
        {"zstd",
         {QStringLiteral("-q"), QStringLiteral("IN"), QStringLiteral("-o"), QStringLiteral("OUT")},
         ".zst",
         true},
        {"lz4",
         {QStringLiteral("-q"), QStringLiteral("--content-size"), QStringLiteral("IN"),
          QStringLiteral("OUT")},
         ".lz4",
         true},
        // bzip2 keeps no size: it stays unknown rather than decompressed.
        {"bzip2", {QStringLiteral("-k"), QStringLiteral("IN")}, ".bz2", false},
    };
    int made = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.tool);
        const QString plain = QStringLiteral("C:\\in\\%1.bin").arg(QLatin1String(row.tool));
        MakeFile(plain, data);
        const QString packed = Compress(row.tool, row.arguments, plain, QLatin1String(row.suffix));
        if (packed.isEmpty())
            continue;
        ++made;
        const auto archive = List(packed);
        EXPECT_TRUE(Messages().isEmpty());
        ASSERT_EQ(Keys(archive->Files),
                  QStringList{QStringLiteral("%1.bin").arg(QLatin1String(row.tool))});
        EXPECT_EQ(archive->Files.Entry(0)->Size, row.sizeKnown ? sys::UINT64(data.size()) : 0u);
        EXPECT_EQ(archive->Files.Entry(0)->PackedSize,
                  sys::UINT64(QFileInfo(QString::fromUtf8(Native(packed))).size()));
        EXPECT_TRUE(archive->Folders.Count() == 0);

        const QString out = QStringLiteral("C:\\out\\%1").arg(QLatin1String(row.tool));
        const auto extracted = ExtractTo(packed, out);
        EXPECT_TRUE(Messages().isEmpty());
        EXPECT_EQ(extracted->ProcessedCount, 1);
        EXPECT_EQ(Contents(out + QStringLiteral("\\%1.bin").arg(QLatin1String(row.tool))), data);
    }
    EXPECT_GE(made, 2) << "no compression tools on this machine";
}

TEST_F(LibArchive, CorpusListsAsBsdtarSays)
{
    if (Corpus().isEmpty())
        GTEST_SKIP() << "no archive corpus on this machine";
    int archives = 0;
    for (const QString &folder :
         {QStringLiteral("7z"), QStringLiteral("cab"), QStringLiteral("lha")}) {
        const QDir dir(Corpus() + QLatin1Char('/') + folder);
        for (const QString &name : dir.entryList(QDir::Files)) {
            if (name.endsWith(QLatin1String(".listing.txt")))
                continue;
            SCOPED_TRACE(name.toStdString());
            ++archives;
            const QList<TTarLine> listed = BsdtarListing(folder + QLatin1Char('/') + name);
            ASSERT_FALSE(listed.isEmpty());
            const auto archive = List(QStringLiteral("T:\\") + folder + QLatin1Char('\\') + name);
            EXPECT_EQ(Messages(), QStringList());
            QStringList files;
            QList<quint64> sizes;
            for (const TTarLine &line : listed) {
                QString key = line.name;
                key.replace(QLatin1Char('/'), QLatin1Char('\\'));
                if (key.endsWith(QLatin1Char('\\'))) {
                    EXPECT_GE(archive->Folders.IndexOf(key.chopped(1)), 0) << key.toStdString();
                } else {
                    files << key;
                    sizes << line.size;
                }
            }
            ASSERT_EQ(Keys(archive->Files), files);
            for (int i = 0; i < files.size(); ++i)
                EXPECT_EQ(archive->Files.Entry(i)->Size, sizes[i]) << files[i].toStdString();
        }
    }
    EXPECT_EQ(archives, 9);
}

TEST_F(LibArchive, CorpusExtractsAsBsdtarDoes)
{
    if (Corpus().isEmpty() || !HasTool("bsdtar"))
        GTEST_SKIP() << "no archive corpus or no bsdtar on this machine";
    int compared = 0;
    for (const QString &folder :
         {QStringLiteral("7z"), QStringLiteral("cab"), QStringLiteral("lha")}) {
        const QDir dir(Corpus() + QLatin1Char('/') + folder);
        for (const QString &name : dir.entryList(QDir::Files)) {
            if (name.endsWith(QLatin1String(".listing.txt")))
                continue;
            SCOPED_TRACE(name.toStdString());
            const QString theirs = QStringLiteral("C:\\bsdtar\\") + name;
            MakeFolder(theirs);
            QProcess::execute(QStringLiteral("bsdtar"),
                              {QStringLiteral("-xf"), dir.filePath(name), QStringLiteral("-C"),
                               QString::fromUtf8(Native(theirs))});
            const bool encrypted = name.contains(QLatin1String("encryption"));
            if (encrypted)
                ask.ExpectGetString(mrOk, QStringLiteral("12345678"));
            const QString ours = QStringLiteral("C:\\ours\\") + name;
            ExtractTo(QStringLiteral("T:\\") + folder + QLatin1Char('\\') + name, ours);
            QMap<QString, QByteArray> expected = Tree(Native(theirs));
            // bsdtar leaves an empty file where it cannot decrypt.
            if (encrypted)
                expected[QStringLiteral("bar.txt")] = "foo\n";
            EXPECT_EQ(Messages(), QStringList());
            EXPECT_FALSE(expected.isEmpty());
            EXPECT_EQ(Tree(Native(ours)), expected);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 9);
}

// Encrypted 7z data used to be skipped: the reader cannot decrypt it.
TEST_F(LibArchive, EncryptedSevenZipAsksForThePasswordAndRefusesAWrongOne)
{
    if (Corpus().isEmpty() || !HasTool("unar"))
        GTEST_SKIP() << "no archive corpus or no unar on this machine";
    const QString source =
        QStringLiteral("T:\\7z\\test_read_format_7zip_encryption.7z");
    const auto left = [this] {
        return QDir(QString::fromUtf8(Native(QStringLiteral("C:\\out"))))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    ask.ExpectGetString(mrOk, QStringLiteral("wrong"));
    ask.ExpectMessageBox(mrOk);
    ExtractTo(source, QStringLiteral("C:\\out"));
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) + QStringLiteral("\nbar.txt: ") +
                                      ArchiveStr(30303)});
    EXPECT_EQ(left(), QStringList()) << "nothing left behind";

    ask.ExpectGetString(mrCancel, QString());
    ask.ExpectMessageBox(mrOk);
    ExtractTo(source, QStringLiteral("C:\\out"));
    EXPECT_EQ(left(), QStringList());

    ask.ExpectGetString(mrOk, QStringLiteral("12345678"));
    ExtractTo(source, QStringLiteral("C:\\out"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\bar.txt")), "foo\n");
}

TEST_F(LibArchive, TarInEveryCompressionListsAndExtracts)
{
    const QList<TItem> items{{"docs/", {}, TItem::Folder},
                             {"docs/a.txt", "alpha"},
                             {"docs/deep/b.bin", Pattern(200000, 2)},
                             {"top.txt", "top"},
                             {"docs/link", {}, TItem::Link, "a.txt"},
                             {"same.txt", {}, TItem::HardLink, "top.txt"}};
    const struct {
        const char *name;
        const char *filter;
    } rows[] = {{"plain.tar", nullptr}, {"a.tar.gz", "gzip"},  {"b.tgz", "gzip"},
                {"c.tar.bz2", "bzip2"}, {"d.tbz2", "bzip2"},   {"e.tar.xz", "xz"},
                {"f.txz", "xz"},        {"g.tar.zst", "zstd"}, {"h.tar.lz4", "lz4"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = QStringLiteral("C:\\in\\") + QLatin1String(row.name);
        MakeFolder(QStringLiteral("C:\\in"));
        WriteArchive(Native(path), "pax", items, row.filter);
        const auto archive = List(path);
        EXPECT_TRUE(Messages().isEmpty());
        EXPECT_EQ(Keys(archive->Folders),
                  (QStringList{QStringLiteral("docs"), QStringLiteral("docs\\deep")}));
        EXPECT_EQ(Keys(archive->Files),
                  (QStringList{QStringLiteral("docs\\a.txt"), QStringLiteral("docs\\deep\\b.bin"),
                               QStringLiteral("top.txt"), QStringLiteral("docs\\link"),
                               QStringLiteral("same.txt")}));
        EXPECT_EQ(archive->Files.Entry(1)->Size, 200000u);
        EXPECT_EQ(archive->Files.Entry(1)->Parent,
                  archive->FindFolder(QStringLiteral("docs\\deep")));

        const QString out = QStringLiteral("C:\\out\\") + QLatin1String(row.name);
        const auto extracted = ExtractTo(path, out);
        EXPECT_TRUE(Messages().isEmpty());
        EXPECT_EQ(extracted->ProcessedCount, 5);
        const QMap<QString, QByteArray> expected{
            {QStringLiteral("docs"), "/"},
            {QStringLiteral("docs/a.txt"), "alpha"},
            {QStringLiteral("docs/deep"), "/"},
            {QStringLiteral("docs/deep/b.bin"), Pattern(200000, 2)},
            {QStringLiteral("docs/link"), "-> a.txt"},
            {QStringLiteral("top.txt"), "top"},
            {QStringLiteral("same.txt"), "top"}};
        EXPECT_EQ(Tree(Native(out)), expected);
    }
}

TEST_F(LibArchive, ListingStopsWhenAsked)
{
    QList<TItem> items;
    for (int i = 0; i < 50; ++i)
        items.append({QByteArray("f") + QByteArray::number(i), "x"});
    MakeFolder(QStringLiteral("C:\\in"));
    WriteArchive(Native(QStringLiteral("C:\\in\\many.tar.gz")), "pax", items, "gzip");
    TLibArchive archive(atTar);
    int asked = 0;
    archive.StopListing = [&asked] { return ++asked > 3; };
    archive.SetFileName(QStringLiteral("C:\\in\\many.tar.gz"));
    EXPECT_EQ(archive.Files.Count(), 3);
    EXPECT_TRUE(Messages().isEmpty());
    // Without the question the whole list is read.
    EXPECT_EQ(List(QStringLiteral("C:\\in\\many.tar.gz"))->Files.Count(), 50);
}

TEST_F(LibArchive, NamesSelectFoldersAndFiles)
{
    const QString path = QStringLiteral("C:\\in\\a.tar.gz");
    MakeFolder(QStringLiteral("C:\\in"));
    WriteArchive(
        Native(path), "ustar",
        {{"docs/a.txt", "a"}, {"docs/deep/b.txt", "b"}, {"docs2/c.txt", "c"}, {"top.txt", "t"}},
        "gzip");
    QList<int> kinds;
    sys::INT64 byteTotal = -1;
    onProgress = [&](TArchive &, int kind, sys::INT64 amount, const QString &) {
        kinds << kind;
        if (kind == apkByteTotal)
            byteTotal = amount;
    };
    const auto archive = ExtractTo(path, QStringLiteral("C:\\out"),
                                   {QStringLiteral("docs"), QStringLiteral("top.txt")});
    EXPECT_EQ(archive->ProcessedCount, 3);
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\out"))),
              (QMap<QString, QByteArray>{{QStringLiteral("docs"), "/"},
                                         {QStringLiteral("docs/a.txt"), "a"},
                                         {QStringLiteral("docs/deep"), "/"},
                                         {QStringLiteral("docs/deep/b.txt"), "b"},
                                         {QStringLiteral("top.txt"), "t"}}));
    EXPECT_EQ(byteTotal, 3);
    ASSERT_GE(kinds.size(), 3);
    EXPECT_EQ(kinds.mid(0, 2), (QList<int>{apkItemCount, apkByteTotal}));
    EXPECT_EQ(kinds.count(apkItem), 3);
    EXPECT_EQ(kinds.last(), apkEnd);
}

TEST_F(LibArchive, NothingIsWrittenOutsideTheDestination)
{
    for (const char *format : {"pax", "cpio"}) {
        SCOPED_TRACE(format);
        // cpio links files by their inode, never by a name.
        const bool tar = qstrcmp(format, "pax") == 0;
        const QString path =
            QStringLiteral("C:\\in\\trap.%1").arg(QLatin1String(tar ? "tar" : "cpio"));
        MakeFolder(QStringLiteral("C:\\in"));
        QList<TItem> items{{"good.txt", "good"},
                           {"/abs.txt", "absolute"},
                           {"../up.txt", "up"},
                           {"sub/../../deep.txt", "deep"},
                           {"out", {}, TItem::Link, "../../outside"},
                           {"in", {}, TItem::Link, "good.txt"},
                           {"pipe", {}, TItem::Fifo},
                           {"dev", {}, TItem::Device}};
        if (tar)
            items.append(TItem("hard", {}, TItem::HardLink, "../outside.txt"));
        WriteArchive(Native(path), format, items);
        const auto listed = List(path);
        QStringList listedKeys{QStringLiteral("good.txt"), QStringLiteral("out"),
                               QStringLiteral("in"), QStringLiteral("pipe"), QStringLiteral("dev")};
        if (tar)
            listedKeys << QStringLiteral("hard");
        EXPECT_EQ(Keys(listed->Files), listedKeys);

        ask.ExpectMessageBox(mrOk);
        const QString box = QStringLiteral("C:\\box\\") + QLatin1String(format);
        const auto archive = ExtractTo(path, box + QStringLiteral("\\dest"));
        const QStringList messages = Messages();
        ASSERT_EQ(messages.size(), 1);
        for (const char *named :
             {"/abs.txt", "../up.txt", "sub/../../deep.txt", "out", "pipe", "dev"})
            EXPECT_TRUE(messages[0].contains(QLatin1String(named))) << named;
        EXPECT_EQ(messages[0].contains(QLatin1String("hard")), tar);
        EXPECT_EQ(Tree(Native(box)),
                  (QMap<QString, QByteArray>{{QStringLiteral("dest"), "/"},
                                             {QStringLiteral("dest/good.txt"), "good"},
                                             {QStringLiteral("dest/in"), "-> good.txt"}}));
        EXPECT_EQ(archive->ProcessedCount, 2);
    }
}

TEST_F(LibArchive, IsoNamesFromJolietAndRockRidge)
{
    const QString path = QStringLiteral("C:\\in\\disc.iso");
    MakeFolder(QStringLiteral("C:\\in"));
    const QByteArray longName = "A rather long file name with Blanks and Ünïcödé.text";
    WriteArchive(Native(path), "iso9660",
                 {{"Folder/", {}, TItem::Folder},
                  {"Folder/" + longName, "long"},
                  {"Folder/lower.txt", Pattern(70000, 3)},
                  {"readme", "r"}});
    const auto archive = List(path);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_GE(archive->Folders.IndexOf(QStringLiteral("Folder")), 0);
    EXPECT_GE(archive->Files.IndexOf(QStringLiteral("Folder\\") + QString::fromUtf8(longName)), 0);
    EXPECT_GE(archive->Files.IndexOf(QStringLiteral("Folder\\lower.txt")), 0);
    ExtractTo(path, QStringLiteral("C:\\out"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\Folder\\") + QString::fromUtf8(longName)), "long");
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\Folder\\lower.txt")), Pattern(70000, 3));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\readme")), "r");
}

TEST_F(LibArchive, FileNotOfItsFormatIsNotOpened)
{
    MakeFile(QStringLiteral("C:\\in\\fake.7z"), "just some text, not an archive at all");
    // A plain tar named as compressed: its first bytes are no gzip.
    WriteArchive(Native(QStringLiteral("C:\\in\\plain.tar.gz")), "ustar", {{"a.txt", "a"}});
    for (const char *name : {"fake.7z", "plain.tar.gz"}) {
        SCOPED_TRACE(name);
        const QString path = QStringLiteral("C:\\in\\") + QLatin1String(name);
        const QString type = ArchiveTypeName(ArchiveTypeOf(path));
        ask.ExpectMessageBox(mrOk);
        TArchiveBrowser browser(nullptr);
        EXPECT_FALSE(browser.Open(path));
        EXPECT_FALSE(browser.IsOpen());
        EXPECT_EQ(Messages(), QStringList{AboutObject(
                                  path, ArchiveStr(30104).replace(QLatin1String("%s"), type))});
        // Extraction says it once, in the listing, and writes nothing.
        ask.ExpectMessageBox(mrOk);
        ExtractTo(path, QStringLiteral("C:\\out"));
        EXPECT_EQ(Messages().size(), 1);
        EXPECT_FALSE(Exists(QStringLiteral("C:\\out")));
    }
}

TEST_F(LibArchive, DamagedArchivesKeepWhatCameBefore)
{
    // A tar.gz cut in the middle of its third file.
    const QString whole = QStringLiteral("C:\\in\\whole.tar.gz");
    MakeFolder(QStringLiteral("C:\\in"));
    const QList<TItem> items{
        {"one.txt", "1"}, {"two.txt", "2"}, {"three.bin", Pattern(400000, 7)}, {"four.txt", "4"}};
    WriteArchive(Native(whole), "ustar", items, "gzip");
    QFile full(QString::fromUtf8(Native(whole)));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const QByteArray bytes = full.readAll();
    MakeFile(QStringLiteral("C:\\in\\cut.tar.gz"), bytes.left(bytes.size() * 2 / 3));

    ask.ExpectMessageBox(mrOk);
    const auto listed = List(QStringLiteral("C:\\in\\cut.tar.gz"));
    EXPECT_TRUE(listed->Damaged);
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Keys(listed->Files).startsWith(QStringLiteral("one.txt")));
    EXPECT_FALSE(Keys(listed->Files).contains(QStringLiteral("four.txt")));

    ask.ExpectMessageBox(mrOk); // the listing's
    ask.ExpectMessageBox(mrOk); // the cut item's
    const auto archive = ExtractTo(QStringLiteral("C:\\in\\cut.tar.gz"), QStringLiteral("C:\\out"));
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(QLatin1String("three.bin"))) << messages[1].toStdString();
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\out"))),
              (QMap<QString, QByteArray>{{QStringLiteral("one.txt"), "1"},
                                         {QStringLiteral("two.txt"), "2"}}));

    // A 7z whose header at the end is damaged: a message, nothing listed.
    const QString seven = QStringLiteral("C:\\in\\a.7z");
    WriteArchive(Native(seven), "7zip", {{"a.txt", Pattern(5000, 1)}, {"b.txt", "b"}});
    QFile sevenFile(QString::fromUtf8(Native(seven)));
    ASSERT_TRUE(sevenFile.open(QIODevice::ReadWrite));
    QByteArray sevenBytes = sevenFile.readAll();
    for (qsizetype i = sevenBytes.size() - 20; i < sevenBytes.size(); ++i)
        sevenBytes[i] = char(sevenBytes[i] ^ 0x5A);
    sevenFile.seek(0);
    sevenFile.write(sevenBytes);
    sevenFile.close();
    ask.ExpectMessageBox(mrOk);
    const auto damaged = List(seven);
    EXPECT_TRUE(damaged->Damaged);
    EXPECT_EQ(damaged->EntryCount(), 0);
    EXPECT_EQ(Messages().size(), 1);
}

// Points every subfolder record of the first level's folders back at the
// folder holding it, in each directory tree of an ISO image (primary and
// Joliet): a directory loop.
void MakeDirectoryLoop(QByteArray &iso)
{
    constexpr qsizetype sector = 2048;
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(iso.constData() + at); };
    const auto records = [&](quint32 extent, quint32 size) {
        QList<qsizetype> found;
        qsizetype p = qsizetype(extent) * sector;
        const qsizetype end = p + size;
        while (p < end && p < iso.size()) {
            const auto length = static_cast<unsigned char>(iso[p]);
            if (length == 0) {
                p = (p / sector + 1) * sector;
                continue;
            }
            // "." and ".." are one byte 0 or 1; only real folders count.
            const bool dot = iso[p + 32] == 1 && static_cast<unsigned char>(iso[p + 33]) <= 1;
            if ((iso[p + 25] & 2) && !dot)
                found.append(p);
            p += length;
        }
        return found;
    };
    for (qsizetype vd = 16 * sector; vd + sector <= iso.size(); vd += sector) {
        const auto type = static_cast<unsigned char>(iso[vd]);
        if (type == 255)
            break;
        if (type != 1 && type != 2)
            continue;
        for (const qsizetype folder : records(u32(vd + 158), u32(vd + 166))) {
            const quint32 extent = u32(folder + 2);
            const quint32 size = u32(folder + 10);
            for (const qsizetype child : records(extent, size)) {
                qToLittleEndian(extent, iso.data() + child + 2);
                qToBigEndian(extent, iso.data() + child + 6);
                qToLittleEndian(size, iso.data() + child + 10);
                qToBigEndian(size, iso.data() + child + 14);
            }
        }
    }
}

TEST_F(LibArchive, AnIsoWithADirectoryLoopEndsWithAMessage)
{
    const QString path = QStringLiteral("C:\\in\\loop.iso");
    MakeFolder(QStringLiteral("C:\\in"));
    WriteArchive(Native(path), "iso9660",
                 {{"A/", {}, TItem::Folder}, {"A/B/", {}, TItem::Folder}, {"A/B/f.txt", "f"}});
    QFile file(QString::fromUtf8(Native(path)));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray iso = file.readAll();
    MakeDirectoryLoop(iso);
    file.seek(0);
    file.write(iso);
    file.close();

    ask.ExpectMessageBox(mrOk);
    const auto listed = List(path);
    EXPECT_TRUE(listed->Damaged);
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QLatin1String("loop"))) << messages[0].toStdString();

    ask.ExpectMessageBox(mrOk);
    ExtractTo(path, QStringLiteral("C:\\out"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\A\\B\\f.txt")));
}

TEST_F(LibArchive, FailedWritesAndAnswersNeverLeaveAPartFile)
{
    const QString path = QStringLiteral("C:\\in\\big.tar");
    MakeFolder(QStringLiteral("C:\\in"));
    WriteArchive(Native(path), "ustar", {{"big.bin", Pattern(3000000, 4)}, {"small.txt", "ok"}});
    MakeFile(QStringLiteral("C:\\out\\big.bin"), "keep me");
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) {
        mode = feOverwrite | feAll;
    };
    sys::InjectFault(sys::FaultOp::Write, 2, sys::ERROR_DISK_FULL);
    ask.ExpectMessageBox(mrOk);
    auto archive = ExtractTo(path, QStringLiteral("C:\\out"));
    sys::ClearFaults();
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(amNotExtracted) + QStringLiteral("\nbig.bin: ") +
                                      GetErrorMessage(int(sys::ERROR_DISK_FULL))});
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\big.bin")), QByteArray("keep me"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\small.txt")), QByteArray("ok"));
    EXPECT_EQ(archive->ProcessedCount, 1);

    // Skip keeps the old file; overwrite replaces it whole, and a dangling
    // link where an item goes is asked about like a file and replaced, never
    // written through; cancel stops.
    ASSERT_TRUE(sys::DeleteFile(QStringLiteral("C:\\out\\small.txt")));
    ASSERT_TRUE(sys::CreateSymbolicLink(QStringLiteral("C:\\out\\small.txt"),
                                        QStringLiteral("gone.txt"), 0));
    QList<QString> asked;
    onFileExists = [&](TArchive &, const TFile &entry, int &mode, QString &) {
        asked << entry.GetFullName();
        mode = entry.GetFullName() == QLatin1String("big.bin") ? feSkip : feOverwrite;
    };
    archive = ExtractTo(path, QStringLiteral("C:\\out"));
    EXPECT_EQ(asked, (QList<QString>{QStringLiteral("big.bin"), QStringLiteral("small.txt")}));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\big.bin")), QByteArray("keep me"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\small.txt")), QByteArray("ok"));
    EXPECT_FALSE(Tree(Native(QStringLiteral("C:\\out"))).contains(QStringLiteral("gone.txt")));
    onFileExists = [](TArchive &, const TFile &, int &mode, QString &) { mode = feCancel; };
    MakeFile(QStringLiteral("C:\\out\\small.txt"), "old");
    archive = ExtractTo(path, QStringLiteral("C:\\out"));
    EXPECT_EQ(archive->ProcessedCount, 0);
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\small.txt")), QByteArray("old"));
    EXPECT_TRUE(
        Tree(Native(QStringLiteral("C:\\out"))).keys().filter(QStringLiteral("~kst")).isEmpty());
}

} // namespace
} // namespace kestrel::test
