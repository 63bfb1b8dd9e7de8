#include "ops/errors.h"

#include "text/strings.h"
#include "tests/support/scriptedask.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::QuestionKind;
using test::ScriptedAsk;

TEST(GetErrorMessage, MapsEveryCodeOfTheTable)
{
    const struct {
        int code;
        const char *text;
    } rows[] = {
        {2, "The system cannot find the file/folder specified"},
        {3, "The system cannot find the file/folder specified"},
        {5, "Access is denied."},
        {19, "Disk is write-protected"},
        {21, "Drive is not ready"},
        {30, "Read failed. Disk may be broken."},
        {32, "There has been a sharing violation. The file or folder is being used by another "
             "program."},
        {86, "Invalid Password"},
        {112, "There is not enough space on the disk."},
        {123, "Invalid Name"},
        {145, "Folder is not empty."},
        {183, "A file or folder with the same name already exists."},
        {1155, "No program is associated with this type of file."},
        {1005, "The volume does not contain a recognized file system."},
        {12, "An error occurred. Error code: 12\n\nPlease report the error code and what you "
             "were doing when the error occurred."},
        {0, "An error occurred. Error code: 0\n\nPlease report the error code and what you "
            "were doing when the error occurred."},
        {1013, "An error occurred. Error code: 1013\n\nPlease report the error code and what you "
               "were doing when the error occurred."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(GetErrorMessage(row.code), QString::fromUtf8(row.text)) << row.code;
}

TEST(LoadStr, UnknownIdGivesEmptyText)
{
    EXPECT_EQ(LoadStr(512), QStringLiteral("Error"));
    EXPECT_TRUE(LoadStr(513).isEmpty());
    EXPECT_TRUE(LoadStr(0).isEmpty());
}

TEST(ThousandsText, GroupsDigits)
{
    EXPECT_EQ(ThousandsText(0), QStringLiteral("0"));
    EXPECT_EQ(ThousandsText(999), QStringLiteral("999"));
    EXPECT_EQ(ThousandsText(1234567), QStringLiteral("1,234,567"));
    EXPECT_EQ(ThousandsText(5368709120ull), QStringLiteral("5,368,709,120"));
}

TEST(ShowError, LastItemHasOnlyOkAndEndsTheLoop)
{
    ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    EXPECT_FALSE(ShowError(5, QStringLiteral("C:\\Locked"), LoadStr(512), true));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("C:\\Locked\n\nAccess is denied."));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(ask.asked[0].flags, 0x10u);
}

TEST(ShowError, MoreItemsAskWhetherToGoOn)
{
    ScriptedAsk ask;
    ask.ExpectMessageBox(mrYes);
    ask.ExpectMessageBox(mrNo);
    EXPECT_TRUE(ShowError(112, QStringLiteral("D:\\a.bin"), QStringLiteral("Error"), false));
    EXPECT_FALSE(ShowError(112, QStringLiteral("D:\\b.bin"), QStringLiteral("Error"), false));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("D:\\a.bin\n\n"
                                                "There is not enough space on the disk.\n\n"
                                                "Do you want to process the rest of files?"));
    EXPECT_EQ(ask.asked[0].flags, 0x14u);
}

} // namespace
} // namespace kestrel
