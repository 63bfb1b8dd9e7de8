#include "app/selectedlist.h"
#include "platform/filetime.h"
#include "platform/wintypes.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

namespace kestrel::test {
namespace {

using namespace sys;

FILETIME At(int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME st;
    st.wYear = std::uint16_t(year);
    st.wMonth = std::uint16_t(month);
    st.wDay = std::uint16_t(day);
    st.wHour = std::uint16_t(hour);
    st.wMinute = std::uint16_t(minute);
    st.wSecond = 59;
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(st, ft));
    return ft;
}

QList<TListedEntry> Entries()
{
    return {
        {QStringLiteral("abc"), At(2004, 3, 7, 9, 5),
         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, 1234},
        {QStringLiteral("Twelve_chars"), At(1999, 12, 31, 23, 59),
         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 4096},
        {QStringLiteral("big.iso"), At(2021, 1, 2, 3, 4),
         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY |
             FILE_ATTRIBUTE_SYSTEM,
         5000000000ULL},
    };
}

// The tests run with TZ=UTC, so local time is the time given.
const QByteArray expectedList = "C:\\Work\r\n"
                                "\r\n"
                                "abc            2004-03-07 09:05 A_R_\r\n"
                                "Twelve_chars   1999-12-31 23:59 _H_S\r\n"
                                "big.iso        2021-01-02 03:04 AHRS\r\n"
                                "\r\n"
                                "1 Folders, 2 Files\r\n"
                                "5,000,001,234 bytes\r\n";

TEST(SelectedList, LinesArePaddedToTheLongestNamePlusTwo)
{
    EXPECT_EQ(SelectedListText(QStringLiteral("C:\\Work"), Entries()), expectedList);
}

class SaveSelectedListTest : public MachineTest {};

TEST_F(SaveSelectedListTest, OffersListTxtInTheFolderAndWritesTheChosenFile)
{
    MakeFolder(QStringLiteral("C:\\Work"));
    ScriptedAsk ask;
    ask.Expect({QuestionKind::SaveFileName, 1, QStringLiteral("C:\\Work\\mine.txt"), false});
    SaveSelectedList(nullptr, QStringLiteral("C:\\Work"), Entries());
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("C:\\Work\\list.txt"));
    EXPECT_EQ(Contents(QStringLiteral("C:\\Work\\mine.txt")), expectedList);

    // Cancel writes nothing; no selection asks nothing.
    ask.Expect({QuestionKind::SaveFileName, 0, {}, false});
    SaveSelectedList(nullptr, QStringLiteral("C:\\Work"), Entries());
    SaveSelectedList(nullptr, QStringLiteral("C:\\Work"), {});
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Work\\list.txt")));

    ask.Expect({QuestionKind::SaveFileName, 1, QStringLiteral("C:\\Missing\\list.txt"), false});
    ask.ExpectMessageBox(mrOk);
    SaveSelectedList(nullptr, QStringLiteral("C:\\Work"), Entries());
    EXPECT_EQ(ask.asked.last().text,
              QStringLiteral("C:\\Missing\\list.txt\n\n"
                             "The system cannot find the file/folder specified"));
}

TEST(PathNameText, FullPathOfTheFocusedEntry)
{
    struct Case {
        const char *folder, *name;
        bool drive;
        const char *path;
    };
    const Case cases[] = {
        {"C:\\Work", "a.txt", false, "C:\\Work\\a.txt"},
        {"C:\\", "a.txt", false, "C:\\a.txt"},
        {"C:\\Work\\Sub", "..", false, "C:\\Work"},
        {"C:\\Work", "..", false, "C:\\"},
        {"\\\\server\\share\\x", "y", false, "\\\\server\\share\\x\\y"},
        {"C:\\Work", "d", true, "D:\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathNameText(QString::fromUtf8(c.folder), QString::fromUtf8(c.name), c.drive),
                  QString::fromUtf8(c.path));
    }
}

} // namespace
} // namespace kestrel::test
