#include "panel/filelisting.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace kestrel {
namespace {

// Every character 8 pixels wide, text 14 pixels high: rows of 18 pixels.
class FixedMeasure : public TTextMeasure {
public:
    int TextWidth(const QString &text) const override { return 8 * int(text.size()); }
    int TextHeight() const override { return 14; }
};

// A panel without a window that counts what it would repaint.
class CountingView : public TFileListing {
public:
    CountingView() { SetMeasure(&measure); }
    int invalidates = 0;
    QList<int> redrawn;
    void Fill(int folders, int files, int drives, bool parent = true)
    {
        Files.BeginUpdate();
        Files.Clear();
        if (parent)
            Files.AddFile(QStringLiteral(".."), 0, sys::FILE_ATTRIBUTE_DIRECTORY, {});
        for (int i = 0; i < folders; ++i)
            Files.AddFile(QStringLiteral("dir%1").arg(i), 0, sys::FILE_ATTRIBUTE_DIRECTORY, {});
        for (int i = 0; i < files; ++i)
            Files.AddFile(QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')), quint64(i),
                          0x20, {});
        for (int i = 0; i < drives; ++i)
            Files.AddFile(QString(QChar(u'C' + i)), 0, FILE_ATTRIBUTE_DRIVE, {});
        FocusedIndex = 0;
        Files.EndUpdate();
    }
    void ResetCounts()
    {
        invalidates = 0;
        redrawn.clear();
    }

protected:
    void Invalidate() override { ++invalidates; }
    void RedrawItem(int index) override { redrawn.append(index); }

private:
    FixedMeasure measure;
};

TEST(LayoutTest, AutoColumnTakesNeededFitOrHalf)
{
    // 20 rows of 18 pixels under the title; columns of 64+8+24 name block
    // plus 34 for icon area and margins = 130 pixels.
    struct Case {
        int width;
        int expectedColumns;
    } cases[] = {{5 * 130, 4}, {9 * 130, 8}, {3 * 130, 3}, {60, 1}};
    for (const Case &c : cases) {
        CountingView view;
        view.Fill(0, 150, 0, false);
        view.SetClientSize(c.width, 25 + 20 * 18);
        EXPECT_EQ(view.RowsPerPage(), 20);
        EXPECT_EQ(view.Column(), c.expectedColumns) << c.width;
        EXPECT_EQ(view.ColumnWidth(), c.width / c.expectedColumns);
    }
}

TEST(LayoutTest, FixedColumnsAndDetailFlagsBySpareWidth)
{
    CountingView view;
    view.Fill(1, 30, 2);
    view.SetColumn(2);
    EXPECT_FALSE(view.AutoColumn());
    // Spare = column width - (28 + 96 + 6); w0 8, S7 56, S10 80, D 80, T 40, A 32.
    struct Case {
        int spare;
        int size;
        bool date, time, attr, wide;
    } cases[] = {
        {63, 0, false, false, false, false}, {64, 1, false, false, false, false},
        {88, 2, false, false, false, false}, {151, 2, false, false, false, false},
        {152, 1, true, false, false, false}, {176, 2, true, false, false, false},
        {200, 1, true, true, false, false},  {240, 1, true, true, true, false},
        {287, 1, true, true, true, false},   {288, 1, true, true, false, true},
    };
    for (const Case &c : cases) {
        view.SetClientSize(2 * (c.spare + 130), 400);
        const TFileLayout &l = view.Layout();
        EXPECT_EQ(l.DetailSize, c.size) << c.spare;
        EXPECT_EQ(l.DetailDate, c.date) << c.spare;
        EXPECT_EQ(l.DetailTime, c.time) << c.spare;
        EXPECT_EQ(l.DetailAttr, c.attr) << c.spare;
        EXPECT_EQ(l.DetailWide, c.wide) << c.spare;
    }
    view.SetColumn(0);
    EXPECT_TRUE(view.AutoColumn());
}

TEST(LayoutTest, ItemAtInvertsPlacementInBothViews)
{
    for (TViewStyle style : {vsList, vsIcon}) {
        CountingView view;
        view.Fill(3, 200, 3);
        view.SetViewStyle(style);
        view.SetClientSize(700, 400);
        for (int i = view.TopIndex; i <= view.GetPageEnd(); ++i) {
            const QRect rect = view.ItemRect(view.Files[i]);
            ASSERT_FALSE(rect.isEmpty());
            EXPECT_EQ(view.GetItemAt(rect.center().x(), rect.center().y()), i) << style;
        }
        EXPECT_EQ(view.GetItemAt(5, 3), -1); // the title strip
        if (style == vsList) {
            const QRect second = view.ItemRect(view.Files[view.RowsPerPage()]);
            EXPECT_EQ(second.left(), view.ColumnWidth()); // runs down the columns
            EXPECT_EQ(view.SelectAreaAt(second.left() + 3, second.top() + 2), view.RowsPerPage());
            EXPECT_EQ(view.SelectAreaAt(second.left() + 12, second.top() + 2), -1);
        } else {
            EXPECT_EQ(view.ItemRect(view.Files[1]).left(), view.ColumnWidth()); // runs across
        }
    }
}

TEST(LayoutTest, EmptyListAndTinyWindowDoNotBreak)
{
    CountingView view;
    view.SetClientSize(10, 10);
    view.Fill(0, 0, 0, false);
    EXPECT_EQ(view.GetItemAt(5, 30), -1);
    EXPECT_FALSE(view.ArrowKey(Qt::Key_A, false));
    EXPECT_TRUE(view.ArrowKey(Qt::Key_Down, false));
    view.Fill(0, 5, 0, false);
    EXPECT_GE(view.RowsPerPage(), 1);
    EXPECT_GE(view.Column(), 1);
    view.ArrowKey(Qt::Key_End, false);
    EXPECT_EQ(view.FocusedIndex, 4);
}

// 1 "..", 4 folders, 60 files, 3 drives = 68 entries; 10 rows, 3 columns.
class KeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.Fill(4, 60, 3);
        view.SetColumn(3);
        view.SetClientSize(900, 25 + 10 * 18);
    }
    CountingView view;
};

TEST_F(KeysTest, ArrowKeysInListView)
{
    ASSERT_EQ(view.PageSize(), 30);
    struct Step {
        int start;
        int key;
        bool ctrl;
        int expected;
    } steps[] = {
        {0, Qt::Key_Down, false, 1},
        {5, Qt::Key_Up, false, 4},
        {0, Qt::Key_Up, false, 0},
        {5, Qt::Key_Right, false, 15},
        {25, Qt::Key_Right, false, 26},
        {15, Qt::Key_Left, false, 5},
        {5, Qt::Key_Left, false, 4},
        {12, Qt::Key_PageUp, false, 0},
        {30, Qt::Key_PageUp, false, 0},
        {12, Qt::Key_PageDown, false, 29},
        {29, Qt::Key_PageDown, false, 59},
        {62, Qt::Key_PageDown, false, 67},
        {12, Qt::Key_Home, false, 0},
        {12, Qt::Key_End, false, 67},
        {12, Qt::Key_BracketLeft, false, 65},
        {12, Qt::Key_BracketRight, false, 67},
        {12, Qt::Key_PageUp, true, 0},
        {12, Qt::Key_PageDown, true, 4},
        {12, Qt::Key_Home, true, 5},
        {12, Qt::Key_End, true, 64},
        {12, Qt::Key_Up, true, 12},
        {12, Qt::Key_Down, true, 12},
    };
    for (const Step &s : steps) {
        view.SetFocused(s.start);
        view.AdjustPage();
        view.ArrowKey(s.key, s.ctrl);
        EXPECT_EQ(view.FocusedIndex, s.expected)
            << s.start << " key " << s.key << " ctrl " << s.ctrl;
    }
}

TEST_F(KeysTest, ArrowKeysInIconViewAndWithoutFiles)
{
    view.SetViewStyle(vsIcon);
    const int columns = view.Column();
    ASSERT_GT(columns, 1);
    view.SetFocused(1);
    view.ArrowKey(Qt::Key_Down, false);
    EXPECT_EQ(view.FocusedIndex, 1 + columns);
    view.ArrowKey(Qt::Key_Left, false);
    EXPECT_EQ(view.FocusedIndex, columns);
    view.ArrowKey(Qt::Key_Up, false);
    EXPECT_EQ(view.FocusedIndex, 0);

    CountingView noFiles;
    noFiles.Fill(2, 0, 1);
    noFiles.SetClientSize(500, 300);
    noFiles.SetFocused(1);
    noFiles.ArrowKey(Qt::Key_Home, true); // no files: nothing
    EXPECT_EQ(noFiles.FocusedIndex, 1);
}

TEST_F(KeysTest, FocusOffThePageIsFirstBroughtIntoView)
{
    view.SetFocused(5);
    view.ScrollPos(1); // the page shows 30..59, the focus stays on 5
    EXPECT_EQ(view.TopIndex, 30);
    view.ArrowKey(Qt::Key_Down, false);
    EXPECT_EQ(view.FocusedIndex, 5);
    EXPECT_EQ(view.TopIndex, 0);
    // No focused entry (a named entry was not found): a key takes the first.
    view.Refresh(QStringLiteral("missing"), false);
    view.FocusedIndex = -1;
    view.ArrowKey(Qt::Key_Down, false);
    EXPECT_EQ(view.FocusedIndex, 0);
}

TEST_F(KeysTest, FocusMoveWithinThePageRedrawsOnlyTwoRows)
{
    view.SetFocused(3);
    view.ResetCounts();
    view.ArrowKey(Qt::Key_Down, false);
    EXPECT_EQ(view.redrawn, (QList<int>{3, 4}));
    EXPECT_EQ(view.invalidates, 0);
    view.SetFocused(29);
    view.ResetCounts();
    view.ArrowKey(Qt::Key_Down, false); // leaves the page: whole repaint
    EXPECT_EQ(view.TopIndex, 30);
    EXPECT_TRUE(view.redrawn.isEmpty());
    EXPECT_EQ(view.invalidates, 1);
}

TEST_F(KeysTest, QuickSearchAppendsRestartsAndClears)
{
    QStringList reported;
    view.OnFindChange = [&](const QString &text) { reported << text; };
    view.Files[10]->Name = QStringLiteral("report");
    view.Files[20]->Name = QStringLiteral("xylo");
    view.Files[30]->Name = QStringLiteral("rex");
    view.SetFocused(0);
    view.QuickSearch(QStringLiteral("r"));
    view.QuickSearch(QStringLiteral("e"));
    EXPECT_EQ(view.FocusedIndex, 10);
    EXPECT_EQ(view.FindText, QStringLiteral("re"));
    view.QuickSearch(QStringLiteral("x")); // no "rex..." before: "rex" at 30
    EXPECT_EQ(view.FocusedIndex, 30);
    view.QuickSearch(QStringLiteral("y")); // "rexy" nowhere: restart with "y" after the focus
    EXPECT_EQ(view.FindText, QString());   // "y" matches nothing either
    view.QuickSearch(QStringLiteral("x"));
    EXPECT_EQ(view.FocusedIndex, 20);
    EXPECT_EQ(view.FindText, QStringLiteral("x"));
    view.QuickSearch(QStringLiteral("\b"));
    EXPECT_EQ(view.FindText, QString());
    view.QuickSearch(QStringLiteral(".")); // not at the start
    EXPECT_EQ(view.FindText, QString());
    view.QuickSearch(QStringLiteral("f"));
    view.QuickSearch(QStringLiteral("*")); // not a search character: clears
    EXPECT_EQ(view.FindText, QString());
    view.QuickSearch(QStringLiteral("f"));
    const int first = view.FocusedIndex;
    view.FindNext();
    EXPECT_GT(view.FocusedIndex, first);
    view.ArrowKey(Qt::Key_Down, false); // a focus move clears the text
    EXPECT_EQ(view.FindText, QString());
    EXPECT_EQ(reported.last(), QString());
    EXPECT_TRUE(reported.contains(QStringLiteral("re")));
}

TEST_F(KeysTest, SelectionOperationsKeepTotals)
{
    view.Select(0);  // ".."
    view.Select(66); // a drive
    EXPECT_EQ(view.SelCount, 0);
    view.Select(5);
    view.Select(5);
    EXPECT_EQ(view.SelCount, 1);
    view.SelectAll(false);
    EXPECT_EQ(view.SelCount, 60);
    EXPECT_EQ(view.SelSize, quint64(59 * 60 / 2));
    view.SelectAll(true);
    EXPECT_EQ(view.SelCount, 64);
    view.DeselectAll(false);
    EXPECT_EQ(view.SelCount, 4); // folders stay
    view.InvertSelection(false);
    EXPECT_EQ(view.SelCount, 64);
    view.DeselectAll(true);
    view.SelectGroup(QStringLiteral("f00[0-4].txt;F05?.TXT"), true);
    EXPECT_EQ(view.SelCount, 15);
    view.SelectGroup(QStringLiteral("*"), false);
    EXPECT_EQ(view.SelCount, 0);
    view.SetFocused(10);
    view.SelectSameExt();
    EXPECT_EQ(view.SelCount, 60);
    EXPECT_TRUE(view.IsConsistent());
    // Space toggles and moves on.
    view.SetFocused(10);
    view.KeyDown(Qt::Key_Space, false);
    EXPECT_FALSE(view.Files[10]->Selected);
    EXPECT_EQ(view.FocusedIndex, 11);
    EXPECT_TRUE(view.IsConsistent());
}

// Names that were not UTF-8 (lone surrogates) used to match no mask at all,
// not even "*"; a character outside the BMP still counts as one for '?'.
TEST_F(KeysTest, GroupMasksMatchNamesThatAreNotUtf8)
{
    view.Files.BeginUpdate();
    view.Files.Clear();
    view.Files.AddFile(QStringLiteral("a") + QChar(0xDCFF) + QStringLiteral(".txt"), 1, 0x20, {});
    view.Files.AddFile(QStringLiteral("b\U0001F600.txt"), 1, 0x20, {});
    view.Files.AddFile(QStringLiteral("cc.txt"), 1, 0x20, {});
    view.Files.EndUpdate();
    view.SelectGroup(QStringLiteral("*"), true);
    EXPECT_EQ(view.SelCount, 3);
    view.DeselectAll(true);
    view.SelectGroup(QStringLiteral("??.txt"), true);
    EXPECT_EQ(view.SelCount, 3);
    view.DeselectAll(true);
    view.SelectGroup(QStringLiteral("a?.TXT"), true);
    EXPECT_EQ(view.SelCount, 1);
    EXPECT_TRUE(view.Files[0]->Selected);
}

TEST_F(KeysTest, MouseStripShiftRangeCtrlToggleAndDrag)
{
    auto centre = [&](int i) { return view.ItemRect(view.Files[i]).center(); };
    auto strip = [&](int i) { return view.ItemRect(view.Files[i]).topLeft() + QPoint(3, 3); };
    view.SetFocused(20);
    view.MouseDown(centre(12).x(), centre(12).y(), true, false); // Shift: range 12..20
    EXPECT_EQ(view.SelCount, 9);
    EXPECT_EQ(view.FocusedIndex, 12);
    view.MouseDown(centre(14).x(), centre(14).y(), false, false); // plain: no selection change
    EXPECT_EQ(view.SelCount, 9);
    EXPECT_EQ(view.FocusedIndex, 14);
    view.MouseDown(centre(14).x(), centre(14).y(), false, true); // Ctrl toggles
    EXPECT_FALSE(view.Files[14]->Selected);
    view.DeselectAll(true);
    view.MouseDown(strip(5).x(), strip(5).y(), false, false); // strip press selects
    EXPECT_TRUE(view.Files[5]->Selected);
    view.MouseMove(strip(9).x(), strip(9).y());
    EXPECT_EQ(view.SelCount, 5);
    view.MouseMove(strip(7).x(), strip(7).y()); // moving back deselects 8 and 9
    EXPECT_EQ(view.SelCount, 3);
    EXPECT_FALSE(view.Files[9]->Selected);
    view.MouseUp();
    EXPECT_TRUE(view.IsConsistent());
}

TEST(TextsTest, SizeTextsCaseAndStatus)
{
    struct Case {
        quint64 size;
        bool wide;
        const char *number;
        const char *mark;
    } cases[] = {
        {123456789, true, "117.74", "M"},   {123456789, false, "117.7", "M"},
        {999999, false, "999999", ""},      {1000000, false, "1.0", "M"},
        {99999999, true, "99,999,999", ""}, {1073741824, true, "1.00", "G"},
        {1073741823, false, "1024.0", "M"}, {5000000000ull, false, "4.7", "G"},
    };
    for (const Case &c : cases) {
        const TSizeText text = SizeText(c.size, c.wide);
        EXPECT_EQ(text.number, QString::fromLatin1(c.number)) << c.size;
        EXPECT_EQ(text.mark, QString::fromLatin1(c.mark)) << c.size;
    }
    EXPECT_EQ(FitCharCase(QStringLiteral("notes.DOC"), ccCapital), QStringLiteral("Notes.doc"));
    EXPECT_EQ(FitCharCase(QStringLiteral("\u00e4bc"), ccCapital), QStringLiteral("\u00e4bc"));
    EXPECT_EQ(FitCharCase(QStringLiteral("a.B"), ccUpper), QStringLiteral("A.B"));
    // Names are drawn on one line: control characters and undecodable bytes
    // (kept as lone surrogates) become U+FFFD; other characters stay.
    const QString pair = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(PrintableText(QStringLiteral("a\nb\tc\x7f")),
              QStringLiteral("a\ufffdb\ufffdc\ufffd"));
    EXPECT_EQ(PrintableText(QString(QChar(0xDCFF)) + pair), QStringLiteral("\ufffd") + pair);
    EXPECT_EQ(PrintableText(QStringLiteral("\u00e4 = x.txt")), QStringLiteral("\u00e4 = x.txt"));
    EXPECT_EQ(AttributeText(0x21), QStringLiteral("A_R_"));
    EXPECT_EQ(AttributeText(0x06), QStringLiteral("_H_S"));
    EXPECT_EQ(SelectionStatusText(3, 1234567), QStringLiteral("3 Items (1,234,567 bytes) "));
    // One used to be "1 Items".
    EXPECT_EQ(SelectionStatusText(1, 5), QStringLiteral("1 Item (5 bytes) "));
    EXPECT_EQ(ItemCountText(0), QStringLiteral("0 Items"));
    EXPECT_EQ(SelectionStatusText(0, 0), QString());
    TFile folder;
    folder.Attributes = sys::FILE_ATTRIBUTE_DIRECTORY | sys::FILE_ATTRIBUTE_HIDDEN;
    EXPECT_TRUE(EntryStatusText(&folder).startsWith(
        QStringLiteral(" Folder  |  1601-01-01, 00:00  |  _H__")));
}

} // namespace
} // namespace kestrel
