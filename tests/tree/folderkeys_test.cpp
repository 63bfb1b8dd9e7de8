#include "tree/folderviewmodel.h"

#include "tests/tree/treetext.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Outline;

// The control without a window: rows of 16 pixels, columns of 110, a root
// column of 36, ten rows on a page. Counts what it is asked to repaint.
class Model : public TFolderViewModel {
public:
    Model() { SetClientSize(400, 160); }
    int invalidated = 0;
    QList<const TTreeItem *> redrawn;
    QStringList findTexts;
    int changes = 0;
    int selects = 0;
    void Watch()
    {
        OnChange = [this] { ++changes; };
        OnSelect = [this] { ++selects; };
        OnFindChange = [this](const QString &text) { findTexts.append(text); };
    }
    TTreeItem *At(const char *path) { return Items.FindItem(QString::fromUtf8(path)); }
    QString FocusedPath() const { return Focused() ? Focused()->GetFullPath() : QString(); }
    void Key(int key, bool shift = false, bool ctrl = false) { ArrowKey(key, shift, ctrl); }
    void Type(const char *text)
    {
        for (const char *c = text; *c; ++c)
            KeyChar(QLatin1Char(*c), false);
    }

protected:
    void Invalidate() override { ++invalidated; }
    void RedrawItem(const TTreeItem *item) override { redrawn.append(item); }
};

// C:  A  A1  A1a      rows 0..7; B1 is collapsed, B1x hidden below it
//        A2
//     B  -B1
//        B2
//     C
//     Win System
//     win32
//     Windows
const std::initializer_list<const char *> sample = {"C:",   " A",       "  A1",   "   A1a",  "  A2",
                                                    " B",   "  -B1",    "   B1x", "  B2",    " C",
                                                    " Win", "  System", " win32", " Windows"};

class FolderKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Items.LoadFromStrings(Outline(sample)));
        model.SetFocused(model.Items.Root());
        model.Watch();
    }
    Model model;
};

TEST_F(FolderKeys, AFirstChildSharesItsParentsRow)
{
    const struct {
        const char *path;
        int row;
    } rows[] = {{"C:\\", 0},      {"C:\\A", 0},           {"C:\\A\\A1", 0}, {"C:\\A\\A1\\A1a", 0},
                {"C:\\A\\A2", 1}, {"C:\\B", 2},           {"C:\\B\\B1", 2}, {"C:\\B\\B2", 3},
                {"C:\\C", 4},     {"C:\\Win\\System", 5}, {"C:\\win32", 6}, {"C:\\Windows", 7}};
    for (const auto &r : rows)
        EXPECT_EQ(model.At(r.path)->Row, r.row) << r.path;
    EXPECT_EQ(model.RowCount(), 8);
    EXPECT_EQ(model.MaxLevel, 3);
    EXPECT_EQ(model.LastVisible(), model.At("C:\\Windows"));
    EXPECT_EQ(model.RowItem(2), model.At("C:\\B"));
    // Expanding B1 puts its child on its row; collapsing B takes two rows away.
    model.At("C:\\B\\B1")->SetExpanded(true);
    EXPECT_EQ(model.At("C:\\B\\B1\\B1x")->Row, 2);
    model.At("C:\\B")->SetExpanded(false);
    EXPECT_EQ(model.At("C:\\C")->Row, 3);
    EXPECT_EQ(model.RowCount(), 7);
}

TEST_F(FolderKeys, ArrowsMoveAlongRowsAndColumns)
{
    const struct {
        const char *from;
        int key;
        bool shift;
        bool ctrl;
        const char *to;
    } moves[] = {
        {"C:\\A", Qt::Key_Down, false, false, "C:\\B"},
        {"C:\\A\\A1", Qt::Key_Down, false, false, "C:\\A\\A2"},
        {"C:\\A\\A2", Qt::Key_Down, false, false, "C:\\B\\B1"},      // same column, next branch
        {"C:\\A\\A1\\A1a", Qt::Key_Down, false, false, "C:\\A\\A2"}, // none at level 3 after it
        {"C:\\Windows", Qt::Key_Down, false, false, "C:\\Windows"},
        {"C:\\B\\B1", Qt::Key_Up, false, false, "C:\\A\\A2"},
        {"C:\\A", Qt::Key_Up, false, false, "C:\\"}, // none at level 1 before it: the parent
        {"C:\\", Qt::Key_Up, false, false, "C:\\"},
        {"C:\\A\\A1", Qt::Key_Left, false, false, "C:\\A"},
        {"C:\\", Qt::Key_Left, false, false, "C:\\"},
        {"C:\\A\\A2", Qt::Key_Left, false, true, "C:\\A\\A1\\A1a"},
        {"C:\\", Qt::Key_Right, false, false, "C:\\A"},
        {"C:\\A\\A1\\A1a", Qt::Key_Right, false, false, "C:\\A\\A2"},
        {"C:\\B\\B1", Qt::Key_Right, false, false, "C:\\B\\B2"}, // B1 is collapsed
        {"C:\\A\\A2", Qt::Key_Up, true, false, "C:\\A\\A1"},
        {"C:\\A\\A1", Qt::Key_Down, true, false, "C:\\A\\A2"},
        {"C:\\A\\A2", Qt::Key_Down, true, false, "C:\\A\\A2"},
        {"C:\\Win", Qt::Key_Home, false, false, "C:\\"},
        {"C:\\Win", Qt::Key_Backslash, false, false, "C:\\"},
        {"C:\\A", Qt::Key_End, false, false, "C:\\Windows"},
    };
    for (const auto &m : moves) {
        model.SetFocused(model.At(m.from));
        ASSERT_EQ(model.FocusedPath(), QString::fromUtf8(m.from));
        model.Key(m.key, m.shift, m.ctrl);
        EXPECT_EQ(model.FocusedPath(), QString::fromUtf8(m.to))
            << m.from << " key " << std::hex << m.key << (m.shift ? " shift" : "");
    }
    EXPECT_FALSE(model.ArrowKey(Qt::Key_F5, false, false));
}

TEST_F(FolderKeys, ShiftLeftAndRightFoldOneFolderOnly)
{
    TTreeItem *a = model.At("C:\\A");
    model.SetFocused(a);
    model.Key(Qt::Key_Left, true);
    EXPECT_FALSE(a->Expanded);
    EXPECT_TRUE(a->FirstChild->Expanded); // its descendants keep their state
    EXPECT_EQ(model.Focused(), a);
    model.Key(Qt::Key_Left, true); // already collapsed
    EXPECT_FALSE(a->Expanded);
    model.Key(Qt::Key_Right, true);
    EXPECT_TRUE(a->Expanded);
    model.SetFocused(model.At("C:\\C")); // no children: nothing to fold
    model.Key(Qt::Key_Left, true);
    EXPECT_TRUE(model.Focused()->Expanded);
}

TEST_F(FolderKeys, AMoveRepaintsOnlyTheTwoRowsUnlessItScrolls)
{
    model.SetFocused(model.At("C:\\A"));
    model.invalidated = 0;
    model.redrawn.clear();
    model.changes = 0;
    model.Key(Qt::Key_Down);
    EXPECT_EQ(model.redrawn, (QList<const TTreeItem *>{model.At("C:\\A"), model.At("C:\\B")}));
    EXPECT_EQ(model.invalidated, 0);
    EXPECT_EQ(model.changes, 1);
    model.Key(Qt::Key_Down, true); // the next sibling, C
    model.changes = 0;
    model.Key(Qt::Key_Up, true);
    model.Key(Qt::Key_Down, true);
    EXPECT_EQ(model.changes, 2);
}

TEST_F(FolderKeys, PagesScrollAFullPage)
{
    QStringList lines = Outline({"C:"});
    for (int i = 0; i < 50; ++i)
        lines.append(QStringLiteral("1 1F%1").arg(i, 2, 10, QLatin1Char('0')));
    ASSERT_TRUE(model.Items.LoadFromStrings(lines));
    model.SetFocused(model.Items.Root());
    model.Key(Qt::Key_PageDown);
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F09")); // row 9, the last of the page
    EXPECT_EQ(model.TopRow, 0);
    model.Key(Qt::Key_PageDown);
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F19"));
    EXPECT_EQ(model.TopRow, 10);
    model.Key(Qt::Key_PageUp); // to the top of the page first
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F10"));
    model.Key(Qt::Key_PageUp);
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\"));
    EXPECT_EQ(model.TopRow, 0);
    model.Key(Qt::Key_End);
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F49"));
    EXPECT_EQ(model.TopRow, 40);
    model.Key(Qt::Key_PageDown); // nothing below the last
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F49"));
    // A focus scrolled away comes back before any move.
    model.SetScrollPos(0);
    model.Key(Qt::Key_Up);
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\F49"));
    EXPECT_EQ(model.TopRow, 44);
}

TEST_F(FolderKeys, TypingFindsTheNextVisibleFolderByItsStart)
{
    model.Type("w");
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\Win"));
    model.Type("in");
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\Win"));
    EXPECT_EQ(model.findTexts, (QStringList{"w", "wi", "win"}));
    model.FindNext();
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\win32"));
    model.FindNext();
    model.FindNext(); // round once to the first
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\Win"));
    model.Type("d");
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\Windows"));
    // A text nothing starts with falls back to the character typed.
    model.Type("b");
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\B"));
    EXPECT_EQ(model.FindText, QStringLiteral("b"));
    model.KeyChar(QLatin1Char('\b'), false);
    EXPECT_EQ(model.FindText, QString());
    // A folder in a collapsed branch is never found.
    model.Type("b1x");
    EXPECT_EQ(model.FindText, QString());
    EXPECT_EQ(model.findTexts.last(), QString());
}

TEST_F(FolderKeys, WhatEndsOrIsIgnoredByTheQuickSearch)
{
    model.Type("a");
    ASSERT_EQ(model.FindText, QStringLiteral("a"));
    model.KeyChar(QLatin1Char('W'), true); // Shift+W belongs to the window
    EXPECT_EQ(model.FindText, QStringLiteral("a"));
    model.KeyChar(QLatin1Char('\r'), false);
    EXPECT_EQ(model.FindText, QStringLiteral("a"));
    model.KeyChar(QLatin1Char('1'), false);
    EXPECT_EQ(model.FindText, QStringLiteral("a1"));
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\A\\A1"));
    model.KeyChar(QLatin1Char(':'), false);
    EXPECT_EQ(model.FindText, QString());
    model.KeyChar(QLatin1Char('W'), false); // a capital with Caps Lock searches
    EXPECT_EQ(model.FocusedPath(), QStringLiteral("C:\\Win"));
    model.KeyChar(QChar(27), false);
    EXPECT_EQ(model.FindText, QString());
    model.ComposedText(QStringLiteral("wi"));
    EXPECT_EQ(model.FindText, QStringLiteral("wi"));
    model.Key(Qt::Key_Down); // a move ends it
    EXPECT_EQ(model.FindText, QString());
    EXPECT_EQ(model.findTexts.last(), QString());
}

TEST_F(FolderKeys, MouseFocusesNodesAndFoldsByTheirButtons)
{
    TTreeItem *a = model.At("C:\\A");
    TTreeItem *a2 = model.At("C:\\A\\A2");
    const QPoint a2Pos = model.GetItemPos(a2);
    EXPECT_EQ(a2Pos, QPoint(36 + 110, 16));
    EXPECT_EQ(model.GetItemAt(a2Pos.x() + 5, a2Pos.y() + 5), a2);
    EXPECT_EQ(model.GetItemAt(a2Pos.x() - 20, a2Pos.y() + 5), nullptr); // left of it, on its row
    EXPECT_EQ(model.GetItemAt(5, 5), model.Items.Root());
    EXPECT_EQ(model.GetButtonAt(model.GetItemPos(a).x() - 7, 8), a);
    EXPECT_EQ(model.GetButtonAt(model.GetItemPos(a2).x() - 7, 24), nullptr); // no children

    model.MouseDown(a2Pos.x() + 5, a2Pos.y() + 5);
    EXPECT_EQ(model.Focused(), a2);
    EXPECT_EQ(model.changes, 1);
    model.DblClick();
    EXPECT_EQ(model.selects, 1);
    // Folding the branch that holds the focus brings the focus to it.
    model.MouseDown(model.GetItemPos(a).x() - 7, 8);
    EXPECT_FALSE(a->Expanded);
    EXPECT_EQ(model.Focused(), a);
    model.DblClick(); // the press was on a button, not on a node
    EXPECT_EQ(model.selects, 1);
    model.MouseDown(model.GetItemPos(a).x() - 7, 8);
    EXPECT_TRUE(a->Expanded);
    model.MouseDown(390, 150); // nothing there
    EXPECT_EQ(model.Focused(), a);
}

TEST_F(FolderKeys, ScrolledColumnsFollowTheFocus)
{
    QStringList lines = Outline({"C:"});
    for (int level = 1; level <= 8; ++level)
        lines.append(QStringLiteral("1%1L%2").arg(level, 2).arg(level));
    ASSERT_TRUE(model.Items.LoadFromStrings(lines));
    model.SetFocused(model.Items.Last());
    // (400 - 36) / 110: three columns beside the root's.
    EXPECT_EQ(model.VisibleColumns, 3);
    EXPECT_EQ(model.LeftColumn, 5);
    EXPECT_EQ(model.GetItemPos(model.Items.Last()).x(), 3 * 110 + 12);
    EXPECT_EQ(model.GetItemPos(model.Items.Root()).x(), 12 - 36);
    EXPECT_EQ(model.HScrollMax(), 5);
    model.Key(Qt::Key_Home);
    EXPECT_EQ(model.LeftColumn, 0);
}

TEST(FolderKeysEmpty, AnEmptyModelOrNoFocusIsSafe)
{
    Model model;
    int changes = 0;
    model.OnChange = [&] { ++changes; };
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp,
                    Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End})
        EXPECT_TRUE(model.ArrowKey(key, false, false));
    model.KeyChar(QLatin1Char('a'), false);
    model.FindNext();
    model.MouseDown(10, 10);
    model.DblClick();
    EXPECT_EQ(model.QuickSearch(QStringLiteral("a"), true), nullptr);
    model.SetFocused(nullptr);
    EXPECT_EQ(changes, 1); // the model emptied
    ASSERT_TRUE(model.Items.LoadFromStrings(Outline({"C:", " a"})));
    model.ArrowKey(Qt::Key_Down, false, false); // loaded, nothing focused yet
    EXPECT_EQ(model.Focused(), nullptr);
    EXPECT_GE(model.ColumnWidth, 1);
    model.SetMeasure(nullptr, -5); // a font size of 0 or less in the settings
    EXPECT_EQ(model.ColumnWidth, 30);
    EXPECT_EQ(model.VisibleRows, 10);
}

} // namespace
} // namespace kestrel
