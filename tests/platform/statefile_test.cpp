#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include "tests/support/machine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

class StateFileTest : public test::MachineTest {
protected:
    QStringList FolderEntries(const QString &winFolder) const
    {
        return QDir(DecodeName(Native(winFolder)))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

TEST_F(StateFileTest, WritesAndReadsWholeFiles)
{
    const QString path = QStringLiteral("C:\\last.dir");
    const QByteArray big = Pattern(200'000);
    ASSERT_TRUE(WriteWholeFile(path, big));
    QByteArray back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, big);
    ASSERT_TRUE(WriteWholeFile(path, QByteArray()));
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_TRUE(back.isEmpty());

    EXPECT_FALSE(ReadWholeFile(QStringLiteral("C:\\missing.dat"), back));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(WriteWholeFile(QStringLiteral("C:\\no\\such.dat"), "x"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(FolderEntries(QStringLiteral("C:\\")), QStringList({QStringLiteral("last.dir")}));
}

// A hidden descript.dat stayed visible after being rewritten by a plain write.
TEST_F(StateFileTest, RewriteKeepsModeAndStoredAttributes)
{
    const QString path = QStringLiteral("C:\\descript.dat");
    MakeFile(path, "old");
    SetAttributes(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const QString native = DecodeName(Native(path));
    QFile::setPermissions(native, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(WriteWholeFile(path, "new"));
    EXPECT_EQ(Contents(path), QByteArray("new"));
    EXPECT_EQ(GetFileAttributes(path), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(QFile::permissions(native) & 0x7077, // owner, group, others
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST_F(StateFileTest, FailureLeavesTheOldFileWholeAndNoTemporary)
{
    const QString path = QStringLiteral("C:\\history.dat");
    MakeFile(path, "precious");
    InjectFault(FaultOp::Write, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(WriteWholeFile(path, "replacement"));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(Contents(path), QByteArray("precious"));
    EXPECT_EQ(FolderEntries(QStringLiteral("C:\\")), QStringList({QStringLiteral("history.dat")}));

    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WriteWholeFile(path, "replacement"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Contents(path), QByteArray("precious"));
}

// A settings file kept as a link into a dotfiles folder, made before the first
// run, used to be replaced by a plain file: the link was cut and its target
// never written. Relative link text counts from the link's own folder.
TEST_F(StateFileTest, RewriteGoesThroughLinksAndKeepsThem)
{
    const QString absolute = Root() + QStringLiteral("/d/dots/kestrel.ini");
    const struct {
        const char *what;
        QList<std::pair<const char *, QString>> links; // C:\ path, link text
        const char *target;                            // the file written
        bool targetExists;
    } rows[] = {
        {"dangling, relative",
         {{"cfg\\kestrel.ini", QStringLiteral("../dotfiles/kestrel.ini")}},
         "C:\\dotfiles\\kestrel.ini",
         false},
        {"dangling, absolute", {{"cfg\\kestrel.ini", absolute}}, "D:\\dots\\kestrel.ini", false},
        {"dangling, a chain",
         {{"cfg\\kestrel.ini", QStringLiteral("step/one")},
          {"cfg\\step\\one", QStringLiteral("../../dotfiles/kestrel.ini")}},
         "C:\\dotfiles\\kestrel.ini",
         false},
        {"to an existing file",
         {{"cfg\\kestrel.ini", QStringLiteral("../dotfiles/kestrel.ini")}},
         "C:\\dotfiles\\kestrel.ini",
         true},
    };
    for (const auto &row : rows) {
        MakeFolder(QStringLiteral("C:\\cfg\\step"));
        MakeFolder(QStringLiteral("C:\\dotfiles"));
        MakeFolder(QStringLiteral("D:\\dots"));
        const QString target = QString::fromLatin1(row.target);
        if (row.targetExists)
            MakeFile(target, "old");
        for (const auto &[at, text] : row.links)
            ASSERT_TRUE(QFile::link(
                text, DecodeName(Native(QStringLiteral("C:\\") + QString::fromLatin1(at)))));
        for (const char *contents : {"first", "second"}) {
            ASSERT_TRUE(WriteWholeFile(QStringLiteral("C:\\cfg\\kestrel.ini"), contents))
                << row.what;
            EXPECT_EQ(Contents(target), contents) << row.what;
            QByteArray back;
            EXPECT_TRUE(ReadWholeFile(QStringLiteral("C:\\cfg\\kestrel.ini"), back)) << row.what;
            EXPECT_EQ(back, contents) << row.what;
        }
        for (const auto &[at, text] : row.links) {
            QString kept;
            EXPECT_TRUE(ReadSymbolicLink(QStringLiteral("C:\\") + QString::fromLatin1(at), kept))
                << row.what << " " << at;
            EXPECT_EQ(kept, text) << row.what << " " << at;
        }
        EXPECT_EQ(FolderEntries(QStringLiteral("C:\\cfg")),
                  (QStringList{QStringLiteral("kestrel.ini"), QStringLiteral("step")}))
            << row.what;
        EXPECT_EQ(FolderEntries(sys::ExtractFilePath(target)), QStringList{"kestrel.ini"})
            << row.what << " (temporary left)";
        for (const char *folder : {"/c/cfg", "/c/dotfiles", "/d/dots"})
            QDir(Root() + QLatin1String(folder)).removeRecursively();
    }
}

// Links that go round are refused, and nothing is written or cut.
TEST_F(StateFileTest, LinksThatGoRoundAreNotWritten)
{
    MakeFolder(QStringLiteral("C:\\cfg"));
    const QString native = DecodeName(Native(QStringLiteral("C:\\cfg")));
    ASSERT_TRUE(QFile::link(QStringLiteral("b"), native + QStringLiteral("/a")));
    ASSERT_TRUE(QFile::link(QStringLiteral("a"), native + QStringLiteral("/b")));
    EXPECT_FALSE(WriteWholeFile(QStringLiteral("C:\\cfg\\a"), "x"));
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(QFile::symLinkTarget(native + QStringLiteral("/a")), native + QStringLiteral("/b"));
    EXPECT_EQ(QFile::symLinkTarget(native + QStringLiteral("/b")), native + QStringLiteral("/a"));
    EXPECT_EQ(FolderEntries(QStringLiteral("C:\\cfg")), (QStringList{"a", "b"}));
}

} // namespace
} // namespace kestrel::sys
