// TZip adding: new archives, options, passwords, adding to an archive that
// exists, moving, and failures that must leave the archive as it was.

#include "archive/archivestrings.h"
#include "ops/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "tests/archive/zipfixture.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class ZipAdd : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
        MakeFile(QStringLiteral("C:\\src\\d\\x.bin"), Pattern(200000, 7));
        MakeFile(QStringLiteral("C:\\src\\d\\e\\y.txt"), "why");
        MakeFolder(QStringLiteral("C:\\src\\d\\empty"));
        ASSERT_TRUE(sys::SetCurrentDirectory(QStringLiteral("C:\\src")));
    }
    std::unique_ptr<TZip> AddTo(const QString &archive, const QStringList &names, int options,
                                int compression = 1, const QString &password = {},
                                TZipEncryption encryption = zeTraditional)
    {
        auto zip = Open(archive);
        zip->Names = names;
        zip->AddOptions = options;
        zip->Compression = compression;
        zip->Password = password;
        zip->Encryption = encryption;
        zip->Add();
        return zip;
    }
    // The archive's directory as our reader sees it.
    static std::vector<TZipCentralEntry> Directory(const QByteArray &bytes)
    {
        std::vector<TZipCentralEntry> entries;
        TZipMemorySource source(bytes);
        TZipDirectoryReader reader(source);
        TZipEnd end;
        EXPECT_EQ(reader.FindEnd(end), 0);
        EXPECT_EQ(
            reader.ReadEntries(end, false, [&](TZipCentralEntry &e) { entries.push_back(e); }), 0);
        return entries;
    }
    QStringList Paths(const QString &archive)
    {
        QStringList paths;
        for (const TZipCentralEntry &e : Directory(Contents(archive)))
            paths << e.path;
        paths.sort();
        return paths;
    }
    // What bsdtar makes of the archive, as a second opinion on its validity.
    QMap<QString, QByteArray> Bsdtar(const QString &archive, const QString &password = {})
    {
        const QString folder = QStringLiteral("C:\\check%1").arg(++checks);
        MakeFolder(folder);
        QStringList arguments{QStringLiteral("-xf"), QString::fromUtf8(Native(archive)),
                              QStringLiteral("-C"), QString::fromUtf8(Native(folder))};
        if (!password.isEmpty())
            arguments << QStringLiteral("--passphrase") << password;
        EXPECT_EQ(QProcess::execute(QStringLiteral("bsdtar"), arguments), 0);
        return Tree(Native(folder));
    }
    static bool HaveBsdtar()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("bsdtar")).isEmpty();
    }

    // The source tree as a folder tree reads.
    static QMap<QString, QByteArray> WholeSource()
    {
        return {
            {QStringLiteral("a.txt"), "alpha"}, {QStringLiteral("d"), "/"},
            {QStringLiteral("d/e"), "/"},       {QStringLiteral("d/e/y.txt"), "why"},
            {QStringLiteral("d/empty"), "/"},   {QStringLiteral("d/x.bin"), Pattern(200000, 7)}};
    }

    int checks = 0;
};

TEST_F(ZipAdd, NewArchiveWithSubfolders)
{
    const auto zip = AddTo(QStringLiteral("C:\\out\\new.zip"),
                           {QStringLiteral("a.txt"), QStringLiteral("d")}, aoRecurse);
    EXPECT_EQ(zip->ProcessedCount, 3);
    EXPECT_TRUE(zip->Names.isEmpty());
    EXPECT_EQ(Paths(QStringLiteral("C:\\out\\new.zip")),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("d\\"), QStringLiteral("d\\e\\"),
                           QStringLiteral("d\\e\\y.txt"), QStringLiteral("d\\empty\\"),
                           QStringLiteral("d\\x.bin")}));
    if (HaveBsdtar()) {
        EXPECT_EQ(Bsdtar(QStringLiteral("C:\\out\\new.zip")), WholeSource());
    }
    // Read back by our own extraction too.
    const auto back = Open(QStringLiteral("C:\\out\\new.zip"));
    back->Extract(QStringLiteral("C:\\back"));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\back"))), WholeSource());
}

TEST_F(ZipAdd, AnArchiveInsideTheAddedFolderIsLeftOut)
{
    AddTo(QStringLiteral("C:\\src\\d\\self.zip"), {QStringLiteral("d")}, aoRecurse);
    AddTo(QStringLiteral("C:\\src\\d\\self.zip"), {QStringLiteral("d")}, aoRecurse);
    EXPECT_EQ(
        Paths(QStringLiteral("C:\\src\\d\\self.zip")),
        (QStringList{QStringLiteral("d\\"), QStringLiteral("d\\e\\"), QStringLiteral("d\\e\\y.txt"),
                     QStringLiteral("d\\empty\\"), QStringLiteral("d\\x.bin")}));
}

TEST_F(ZipAdd, WithoutSubfoldersOnlyTheFolderItself)
{
    AddTo(QStringLiteral("C:\\flat.zip"), {QStringLiteral("d")}, 0);
    EXPECT_EQ(Paths(QStringLiteral("C:\\flat.zip")),
              (QStringList{QStringLiteral("d\\"), QStringLiteral("d\\x.bin")}));
}

TEST_F(ZipAdd, CompressionChoosesTheMethod)
{
    AddTo(QStringLiteral("C:\\store.zip"), {QStringLiteral("a.txt")}, 0, 2);
    AddTo(QStringLiteral("C:\\best.zip"), {QStringLiteral("a.txt")}, 0, 0);
    EXPECT_EQ(Directory(Contents(QStringLiteral("C:\\store.zip")))[0].method, 0);
    EXPECT_EQ(Directory(Contents(QStringLiteral("C:\\best.zip")))[0].method, 8);
}

TEST_F(ZipAdd, PasswordEncryptsTraditionallyOrWithAes)
{
    for (const TZipEncryption method : {zeTraditional, zeAes256}) {
        const QString archive = QStringLiteral("C:\\locked%1.zip").arg(int(method));
        AddTo(archive, {QStringLiteral("a.txt"), QStringLiteral("d")}, aoRecurse, 1,
              QStringLiteral("pw"), method);
        const std::vector<TZipCentralEntry> entries = Directory(Contents(archive));
        ASSERT_FALSE(entries.empty());
        EXPECT_TRUE(entries[0].IsEncrypted());
        EXPECT_EQ(entries[0].method, method == zeAes256 ? 99 : 8);
        if (HaveBsdtar()) {
            EXPECT_EQ(Bsdtar(archive, QStringLiteral("pw")), WholeSource());
        }
        const QString folder = QStringLiteral("C:\\open%1").arg(int(method));
        const auto back = Open(archive);
        back->Password = QStringLiteral("pw");
        back->Extract(folder);
        EXPECT_EQ(Tree(Native(folder)), WholeSource());
    }
}

TEST_F(ZipAdd, AddingToAnArchiveKeepsAndReplaces)
{
    WriteLibZip(
        Native(QStringLiteral("C:\\old.zip")),
        {{QStringLiteral("a.txt"), "old alpha"}, {QStringLiteral("keep.txt"), Pattern(50000, 8)}});
    AddTo(QStringLiteral("C:\\old.zip"), {QStringLiteral("a.txt"), QStringLiteral("d\\e\\y.txt")},
          0);
    EXPECT_EQ(Paths(QStringLiteral("C:\\old.zip")),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("d\\e\\y.txt"),
                           QStringLiteral("keep.txt")}));
    const QMap<QString, QByteArray> expected{{QStringLiteral("a.txt"), "alpha"},
                                             {QStringLiteral("keep.txt"), Pattern(50000, 8)},
                                             {QStringLiteral("d"), "/"},
                                             {QStringLiteral("d/e"), "/"},
                                             {QStringLiteral("d/e/y.txt"), "why"}};
    if (HaveBsdtar()) {
        EXPECT_EQ(Bsdtar(QStringLiteral("C:\\old.zip")), expected);
    }
    const auto back = Open(QStringLiteral("C:\\old.zip"));
    back->Extract(QStringLiteral("C:\\back"));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\back"))), expected);
}

TEST_F(ZipAdd, AddingKeepsTheCommentAndDataInFront)
{
    TZipBytes zip;
    zip.prefix = QByteArray(512, 'X');
    zip.comment = "archive comment";
    zip.items = {{"first.txt", "one"}};
    MakeFile(QStringLiteral("C:\\sfx.zip"), zip.Build());
    ask.ExpectMessageBox(mrOk); // the warning about the data in front
    AddTo(QStringLiteral("C:\\sfx.zip"), {QStringLiteral("a.txt")}, 0);
    EXPECT_EQ(Messages(), QStringList{ArchiveStr(10203)});
    const QByteArray bytes = Contents(QStringLiteral("C:\\sfx.zip"));
    EXPECT_TRUE(bytes.startsWith(QByteArray(512, 'X')));
    EXPECT_TRUE(bytes.endsWith("archive comment"));
    // The offsets now count the data in front: no warning on opening.
    const auto back = Open(QStringLiteral("C:\\sfx.zip"));
    back->Extract(QStringLiteral("C:\\back"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\back\\first.txt")), QByteArray("one"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\back\\a.txt")), QByteArray("alpha"));
}

TEST_F(ZipAdd, MoveDeletesOriginalsOnlyAfterSuccess)
{
    // A failed write leaves the archive missing and every original in place.
    sys::InjectFault(sys::FaultOp::Write, 3, sys::ERROR_DISK_FULL);
    ask.ExpectMessageBox(mrOk);
    AddTo(QStringLiteral("C:\\moved.zip"), {QStringLiteral("d")}, aoRecurse | aoMove);
    sys::ClearFaults();
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\moved.zip")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\d\\x.bin")));
    EXPECT_EQ(Tree(Native(QStringLiteral("C:\\"))).keys().filter(QStringLiteral("~kst")),
              QStringList());

    const auto zip =
        AddTo(QStringLiteral("C:\\moved.zip"), {QStringLiteral("d")}, aoRecurse | aoMove);
    EXPECT_EQ(zip->ProcessedCount, 2);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\d")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\a.txt")));
}

// Under the address sanitizer this also guards the writer stopped in the
// middle of an item, which used to read a data block already freed.
TEST_F(ZipAdd, FailedAddLeavesTheArchiveAsItWas)
{
    WriteLibZip(Native(QStringLiteral("C:\\old.zip")),
                {{QStringLiteral("keep.txt"), Pattern(50000, 8)}});
    const QByteArray before = Contents(QStringLiteral("C:\\old.zip"));
    for (int nth = 1; nth <= 4; ++nth) {
        SCOPED_TRACE(nth);
        sys::InjectFault(sys::FaultOp::Write, nth, sys::ERROR_DISK_FULL);
        ask.ExpectMessageBox(mrOk);
        const auto zip = AddTo(QStringLiteral("C:\\old.zip"),
                               {QStringLiteral("a.txt"), QStringLiteral("d")}, aoRecurse | aoMove);
        sys::ClearFaults();
        EXPECT_TRUE(Messages().value(0).contains(GetErrorMessage(int(sys::ERROR_DISK_FULL))));
        EXPECT_EQ(zip->ProcessedCount, 0);
        EXPECT_EQ(Contents(QStringLiteral("C:\\old.zip")), before);
        EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\a.txt")));
        EXPECT_EQ(Tree(Native(QStringLiteral("C:\\"))).keys().filter(QStringLiteral("~kst")),
                  QStringList());
    }
}

TEST_F(ZipAdd, MissingNamesAreReportedAndTheRestAdded)
{
    ask.ExpectMessageBox(mrOk);
    const auto zip = AddTo(QStringLiteral("C:\\some.zip"),
                           {QStringLiteral("nothing"), QStringLiteral("a.txt")}, 0);
    EXPECT_EQ(
        Messages(),
        QStringList{
            ArchiveStr(amNotAdded) + QLatin1Char('\n') +
            ArchiveStr(amNotFound).replace(QLatin1String("%s"), QLatin1String("nothing\\*.*"))});
    EXPECT_EQ(zip->ProcessedCount, 1);
    EXPECT_EQ(Paths(QStringLiteral("C:\\some.zip")), QStringList{QStringLiteral("a.txt")});
}

TEST_F(ZipAdd, BusyFlagsRefuseASecondRun)
{
    auto zip = Open(QStringLiteral("C:\\busy.zip"));
    zip->Names = {QStringLiteral("a.txt")};
    zip->AddRunning = true;
    zip->Add();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\busy.zip")));
    EXPECT_EQ(zip->Names.size(), 1);
    zip->ExtractRunning = true;
    zip->Extract(QStringLiteral("C:\\out"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out")));
}

} // namespace
} // namespace kestrel::test
