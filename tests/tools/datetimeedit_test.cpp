#include "tools/datetimeedit.h"

#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct Typing {
    int caret;        // where the caret stands before the key
    const char *keys; // typed one by one; '<' is Backspace, '#' Delete
    const char *text; // the text after
    int caretAfter;
};

void Play(TMaskedEdit &edit, const QString &start, const Typing &row)
{
    edit.setText(start);
    edit.setCursorPosition(row.caret);
    for (const char *k = row.keys; *k; ++k) {
        if (*k == '<')
            QTest::keyClick(&edit, Qt::Key_Backspace);
        else if (*k == '#')
            QTest::keyClick(&edit, Qt::Key_Delete);
        else
            QTest::keyClicks(&edit, QString(QLatin1Char(*k)));
    }
    EXPECT_EQ(edit.text(), QString::fromLatin1(row.text)) << row.keys << " at " << row.caret;
    EXPECT_EQ(edit.cursorPosition(), row.caretAfter) << row.keys << " at " << row.caret;
}

TEST(DateTimeEditTest, DigitsOverwriteTheDateInPlaceAndJumpTheDashes)
{
    TDateEdit edit;
    const QString start = QStringLiteral("2002-04-27");
    const Typing rows[] = {
        {0, "1999", "1999-04-27", 5},                             // over the dash after the year
        {5, "12", "2002-12-27", 8},                               // and after the month
        {8, "31", "2002-04-31", 10},   {5, "2", "2002-04-27", 5}, // a month tens above 1 is refused
        {5, "13", "2002-13-27", 8},                               // a month of 13 can be typed
        {8, "4", "2002-04-27", 8},                                // a day tens above 3 is refused
        {4, "5", "2002-04-27", 4},                                // not on the dashes
        {7, "5", "2002-04-27", 7},     {10, "5", "2002-04-27", 10}, // nor past the end
        {0, "a-/ x", "2002-04-27", 0},                              // everything else is swallowed
        {6, "<<", "2002-04-27", 4},                                 // Backspace only moves left
        {0, "<", "2002-04-27", 0},     {3, "##", "2002-04-27", 3},  // Delete does nothing
        {3, "7", "2007-04-27", 5},
    };
    for (const Typing &row : rows)
        Play(edit, start, row);
}

TEST(DateTimeEditTest, DigitsOverwriteTheTimeInPlaceAndJumpTheColon)
{
    TTimeEdit edit;
    const QString start = QStringLiteral("13:05");
    const Typing rows[] = {
        {0, "2359", "23:59", 5}, // over the colon
        {0, "3", "13:05", 0},    // an hour tens above 2 is refused
        {3, "6", "13:05", 3},    // a minute tens above 5 too
        {2, "4", "13:05", 2},    // not on the colon
        {5, "1", "13:05", 5},    // nor past the end
        {1, "9", "19:05", 3},    {4, "<<", "13:05", 2}, {0, "x:", "13:05", 0},
    };
    for (const Typing &row : rows)
        Play(edit, start, row);
}

TEST(DateTimeEditTest, NothingButKeysChangesTheText)
{
    TDateEdit edit;
    edit.setText(QStringLiteral("2002-04-27"));
    edit.selectAll();
    // A selection is no way around the form: a digit overwrites at the caret only.
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, QStringLiteral("1"));
    EXPECT_EQ(edit.text(), QStringLiteral("1002-04-27"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("1002-04-27"));
    EXPECT_EQ(edit.contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(edit.acceptDrops());
}

} // namespace
} // namespace kestrel
