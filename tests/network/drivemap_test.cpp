#include "app/driveservices.h"
#include "app/inifile.h"
#include "network/drivemap.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shell.h"
#include "tests/support/machine.h"

namespace kestrel {
namespace {

class DriveMapTest : public test::MachineTest {
protected:
    QString Value(const QString &target, int expectedError = 0)
    {
        QString value;
        EXPECT_EQ(MappingValue(target, value), expectedError) << target.toStdString();
        return value;
    }
};

TEST_F(DriveMapTest, ValuesNameTheNativeFolderItsTypeAndALabel)
{
    MakeFolder(QStringLiteral("C:\\Data\\Music"));
    MakeFolder(QStringLiteral("\\\\server\\share\\deep"));
    const QString music = QString::fromUtf8(Native(QStringLiteral("C:\\Data\\Music")));
    EXPECT_EQ(Value(QStringLiteral("C:\\Data\\Music")), music + QStringLiteral(",fixed,Music"));
    EXPECT_EQ(Value(music), music + QStringLiteral(",fixed,Music")); // typed in native form
    EXPECT_EQ(Value(QStringLiteral("\\\\server\\share")),
              QString::fromUtf8(Native(QStringLiteral("\\\\server\\share"))) +
                  QStringLiteral(",remote,share"));
    EXPECT_EQ(Value(QStringLiteral("N:\\")).section(QLatin1Char(','), 1, 1),
              QStringLiteral("remote"));
    // Nothing to map: a missing folder, a file, a name the entry could not hold.
    Value(QStringLiteral("C:\\Missing"), int(sys::ERROR_FILE_NOT_FOUND));
    MakeFile(QStringLiteral("C:\\Data\\file.txt"), "x");
    Value(QStringLiteral("C:\\Data\\file.txt"), int(sys::ERROR_PATH_NOT_FOUND));
    MakeFolder(QStringLiteral("C:\\Data\\a,b"));
    Value(QStringLiteral("C:\\Data\\a,b"), int(sys::ERROR_INVALID_NAME));
    Value(QString(), int(sys::ERROR_PATH_NOT_FOUND));
}

TEST_F(DriveMapTest, MappedLettersComeAndGoThroughTheSettingsFile)
{
    // A, C, D and E are the test machine's; letters before D are not offered.
    EXPECT_EQ(FreeDriveLetters().first(), QStringLiteral("F"));
    EXPECT_FALSE(FreeDriveLetters().contains(QStringLiteral("N")));
    MakeFolder(QStringLiteral("C:\\Data"));
    TIniFile ini(sys::ProgramDir() + QStringLiteral("kestrel.ini"));
    TIniDriveMappings mappings(ini);
    QString value;
    ASSERT_EQ(MappingValue(QStringLiteral("C:\\Data"), value), 0);
    ASSERT_TRUE(mappings.Map(QLatin1Char('F'), value));
    EXPECT_TRUE(sys::GetLogicalDrives() & (1u << ('F' - 'A')));
    EXPECT_FALSE(FreeDriveLetters().contains(QStringLiteral("F")));
    EXPECT_EQ(sys::GetDriveType(QStringLiteral("F:\\")), sys::DRIVE_FIXED);
    EXPECT_NE(sys::GetFileAttributes(QStringLiteral("F:\\")), sys::INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(mappings.Mapped().size(), 1);
    EXPECT_EQ(mappings.Mapped()[0].first, QLatin1Char('F'));
    // A letter written by hand in lower case goes all the same.
    ini.DeleteKey(QStringLiteral("Drives"), QStringLiteral("F"));
    ini.WriteString(QStringLiteral("Drives"), QStringLiteral("f"), value);
    sys::ReloadDriveTable();
    ASSERT_TRUE(mappings.Unmap(QLatin1Char('F')));
    EXPECT_FALSE(sys::GetLogicalDrives() & (1u << ('F' - 'A')));
    EXPECT_TRUE(mappings.Mapped().isEmpty());
}

} // namespace
} // namespace kestrel
