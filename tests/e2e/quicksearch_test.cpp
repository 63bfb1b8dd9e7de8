#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

namespace kestrel::test {
namespace {

class QuickSearchTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(QStringLiteral("C:\\Data\\mine\\inner.txt"), "x");
        MakeFile(QStringLiteral("C:\\Data\\mist.txt"), "m");
        MakeFile(QStringLiteral("C:\\Data\\other.txt"), "o");
        MakeFile(QStringLiteral("D:\\backup.txt"), "b");
    }

    // Types the start of a name and checks the status bar shows it.
    void Search(const QString &text)
    {
        Type(text);
        ASSERT_TRUE(StatusTexts().contains(text))
            << StatusTexts().join(QLatin1Char('|')).toStdString();
    }
};

// The search text typed in one folder used to stay after Enter opened the
// match: still shown, and the next Backspace searched instead of going up.
TEST_F(QuickSearchTest, OpeningTheMatchEndsTheSearch)
{
    Start({QStringLiteral("C:\\Data")});
    Search(QStringLiteral("mi"));
    ASSERT_EQ(FocusedName(), QStringLiteral("mine"));
    Key(Qt::Key_Return);
    ASSERT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\mine"));
    EXPECT_FALSE(StatusTexts().contains(QStringLiteral("mi")));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
    EXPECT_EQ(FocusedName(), QStringLiteral("mine"));
    // A fresh search starts from its first letter.
    Search(QStringLiteral("o"));
    EXPECT_EQ(FocusedName(), QStringLiteral("other.txt"));
}

TEST_F(QuickSearchTest, ChangingDriveEndsTheSearch)
{
    Start({QStringLiteral("C:\\Data")});
    Search(QStringLiteral("mi"));
    Key(Qt::Key_D, Qt::ShiftModifier);
    ASSERT_EQ(Panel().Drive(), QStringLiteral("D:"));
    EXPECT_FALSE(StatusTexts().contains(QStringLiteral("mi")));
    Search(QStringLiteral("b"));
    EXPECT_EQ(FocusedName(), QStringLiteral("backup.txt"));
}

// Any command ends the search; Find Next is the one that continues it.
TEST_F(QuickSearchTest, CommandsEndTheSearchButFindNextGoesOn)
{
    Start({QStringLiteral("C:\\Data")});
    Search(QStringLiteral("mi"));
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(FocusedName(), QStringLiteral("mist.txt"));
    EXPECT_TRUE(StatusTexts().contains(QStringLiteral("mi")));

    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(StatusTexts().contains(QStringLiteral("mi")));
    Focus(QStringLiteral("mine"));
    Key(Qt::Key_Return);
    Search(QStringLiteral("i"));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return Exists(QStringLiteral("C:\\Data\\mine\\mist.txt")); }));
    EXPECT_FALSE(StatusTexts().contains(QStringLiteral("i")));
    // Backspace goes up again: nothing is searched any more.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
}

} // namespace
} // namespace kestrel::test
