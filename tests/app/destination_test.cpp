// The destination prompt: what the drive chooser's answer leads to.

#include "app/destination.h"
#include "app/workfolders.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class Destination : public MachineTest {
protected:
    Destination() { work.Set(1, QStringLiteral("D:\\Work2")); }
    ScriptedAsk ask;
    TWorkFolders work;
};

TEST_F(Destination, ChooserAnswerDecidesWhetherThePickerOpens)
{
    struct Row {
        const char *typed;
        bool noTreeA;
        const char *picked; // null: the picker must not open
        const char *result;
    };
    const Row rows[] = {
        // A folder or a drive that is not removable goes through the picker.
        {"C:\\Data", false, "C:\\Data\\Sub", "C:\\Data\\Sub"},
        {"D:", true, "D:\\", "D:\\"},
        // A removable drive is its root straight away, with NoTreeA only.
        {"A:", true, nullptr, "A:\\"},
        {"a:\\", true, nullptr, "A:\\"},
        {"A:", false, "A:\\Sub", "A:\\Sub"},
        // A digit is a work folder; an empty slot or another sign is nothing.
        {"2", false, nullptr, "D:\\Work2"},
        {"1", false, nullptr, ""},
        {"4", false, nullptr, ""},
        {"#", false, nullptr, ""},
        {"  ", false, nullptr, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        ask.Expect({QuestionKind::SelectDrive, mrOk, QLatin1String(row.typed)});
        if (row.picked)
            ask.Expect({QuestionKind::SelectFolder, mrOk, QLatin1String(row.picked)});
        ask.asked.clear();
        EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, row.noTreeA),
                  QLatin1String(row.result));
        ASSERT_FALSE(ask.asked.isEmpty());
        EXPECT_EQ(ask.asked[0].text, QStringLiteral("C:\\Here"));
        if (row.picked) {
            ASSERT_EQ(ask.asked.size(), 2);
            EXPECT_EQ(ask.asked[1].caption, QStringLiteral("Select Folder"));
            EXPECT_EQ(ask.asked[1].text, QString::fromLatin1(row.typed).trimmed());
        }
        EXPECT_EQ(ask.Pending(), 0);
    }
}

// The drive dialog gives a chosen drive as its letter alone.
TEST_F(Destination, ALetterOpensThePickerOnTheCurrentFolderOrTheRoot)
{
    ask.Expect({QuestionKind::SelectDrive, mrOk, QStringLiteral("c")});
    ask.Expect({QuestionKind::SelectFolder, mrOk, QStringLiteral("C:\\Here\\Sub")});
    EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, false),
              QStringLiteral("C:\\Here\\Sub"));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[1].text, QStringLiteral("C:\\Here"));

    ask.asked.clear();
    ask.Expect({QuestionKind::SelectDrive, mrOk, QStringLiteral("D")});
    ask.Expect({QuestionKind::SelectFolder, mrOk, QStringLiteral("D:\\")});
    EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, false),
              QStringLiteral("D:\\"));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[1].text, QStringLiteral("D:\\"));

    // A removable drive with NoTreeA is its root without the picker.
    ask.asked.clear();
    ask.Expect({QuestionKind::SelectDrive, mrOk, QStringLiteral("A")});
    EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, true),
              QStringLiteral("A:\\"));
    EXPECT_EQ(ask.asked.size(), 1);
}

TEST_F(Destination, CancelAnywhereGivesNone)
{
    ask.Expect({QuestionKind::SelectDrive, mrCancel, QStringLiteral("2")});
    EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, false), QString());
    ask.Expect({QuestionKind::SelectDrive, mrOk, QStringLiteral("C:\\Data")});
    ask.Expect({QuestionKind::SelectFolder, mrCancel, QStringLiteral("C:\\Data")});
    EXPECT_EQ(AskDestination(nullptr, QStringLiteral("C:\\Here"), work, false), QString());
}

} // namespace
} // namespace kestrel::test
