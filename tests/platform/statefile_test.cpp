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
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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

} // namespace
} // namespace kestrel::sys
