#include "tree/treeitems.h"

#include "platform/faults.h"
#include "platform/names.h"
#include "tests/support/machine.h"
#include "tests/tree/treetext.h"

#include <QDir>
#include <QFile>

namespace kestrel {
namespace {

using test::Outline;

QStringList Saved(const TTreeItems &items)
{
    QStringList lines;
    items.SaveToStrings(lines);
    return lines;
}

QStringList Lines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list.append(QString::fromUtf8(line));
    return list;
}

TEST(TreeFile, LoadsFlagsLevelsAndNames)
{
    TTreeItems items;
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1 0C:", "0 1Windows", "1 2System"})));
    TTreeItem *windows = items.Root()->FirstChild;
    EXPECT_EQ(windows->Name, QStringLiteral("Windows"));
    EXPECT_FALSE(windows->Expanded);
    EXPECT_EQ(windows->FirstChild->Name, QStringLiteral("System"));
    EXPECT_EQ(windows->FirstChild->Level, 2);
    EXPECT_TRUE(items.IsConsistent());
}

TEST(TreeFile, LevelsThatJumpAndClimbFollowTheRememberedLevel)
{
    TTreeItems items;
    // B jumps two levels and becomes A's child at level 2; C climbs one
    // level from the remembered 3 and lands beside A.
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1 0C:", "1 1A", "1 3B", "1 2C"})));
    TTreeItem *a = items.FindItem(QStringLiteral("C:\\A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FirstChild->Name, QStringLiteral("B"));
    EXPECT_EQ(a->FirstChild->Level, 2);
    EXPECT_EQ(a->Next->Name, QStringLiteral("C"));
    EXPECT_EQ(a->Next->Level, 1);
    // A second line at the root's level is dropped with what follows under it.
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1 0C:", "1 1A", "1 0D:", "1 1X", "1 1Y"})));
    EXPECT_EQ(items.Count(), 2);
    // The first line makes the root whatever its level.
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1 5C:", "1 6A"})));
    EXPECT_EQ(items.Root()->Level, 0);
    EXPECT_EQ(items.Root()->FirstChild->Level, 1);
}

TEST(TreeFile, BrokenTextsLeaveTheModelEmptyWithTheirMessage)
{
    const struct {
        QStringList lines;
        const char *message;
    } cases[] = {
        {Lines({"1 1A", "1 0B"}), "Invalid Format"},
        {Lines({"1 0C:", "1 1A", "1 5B", "1-3C"}), "Invalid Format"},
        {Lines({"1 0C:", "x 1A"}), "'x' is not a valid integer value"},
        {Lines({"1 0C:", "1 xA"}), "' x' is not a valid integer value"},
        {Lines({"1 0C:", "1  A"}), "'  ' is not a valid integer value"},
        {Lines({"1 0C:", "11 A"}), "'1 ' is not a valid integer value"},
    };
    for (const auto &c : cases) {
        TTreeItems items;
        int changes = 0;
        items.OnChange = [&] { ++changes; };
        ASSERT_TRUE(items.LoadFromStrings(Outline({"Old:", " kept"})));
        QString error = QStringLiteral("unset");
        EXPECT_FALSE(items.LoadFromStrings(c.lines, &error))
            << c.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(error, QString::fromUtf8(c.message));
        EXPECT_EQ(items.Count(), 0);
        EXPECT_EQ(items.Root(), nullptr);
        EXPECT_EQ(changes, 2); // one change per load, the failed one too
        EXPECT_TRUE(items.IsConsistent());
    }
}

TEST(TreeFile, JunkBinaryAndHugeLinesNeverBreakTheLoad)
{
    TTreeItems items;
    // Short lines are skipped; a root line alone is a tree.
    ASSERT_TRUE(items.LoadFromStrings(Lines({"", "x", "1 0", "1 0C:", "12"})));
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Root()->Name, QStringLiteral("C:"));
    // Signed levels are numbers too.
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1-9R:", "1-8A", "1+9B", "1 9C"})));
    EXPECT_EQ(items.FindItem(QStringLiteral("R:\\A\\B"))->Level, 2);
    EXPECT_EQ(items.FindItem(QStringLiteral("R:\\A\\C"))->Level, 2);
    const QString huge = QStringLiteral("1 1") + QString(10 * 1024 * 1024, QLatin1Char('n'));
    ASSERT_TRUE(items.LoadFromStrings({QStringLiteral("1 0C:"), huge}));
    EXPECT_EQ(items.Root()->FirstChild->Name.size(), 10 * 1024 * 1024);
    QStringList binary{QStringLiteral("1 0C:")};
    for (int i = 0; i < 64; ++i)
        binary.append(QStringLiteral("1 1") + QString(QChar(0xDC80 + i)) + QChar(i));
    ASSERT_TRUE(items.LoadFromStrings(binary));
    EXPECT_EQ(items.Count(), 65);
}

TEST(TreeFile, SavesTheExactLineFormatInSortedPreOrder)
{
    TTreeItems items;
    ASSERT_TRUE(items.LoadFromStrings(Lines({"1 0C:", "1 1zeta", "0 1Alpha", "1 2x", "1 1beta"})));
    EXPECT_EQ(Saved(items), Lines({"1 0C:", "0 1Alpha", "1 2x", "1 1beta", "1 1zeta"}));
    // Two-digit levels fill both columns.
    QStringList deep = Outline({"C:"});
    for (int level = 1; level <= 12; ++level)
        deep.append(QStringLiteral("1%1L%2").arg(level, 2).arg(level));
    ASSERT_TRUE(items.LoadFromStrings(deep));
    EXPECT_EQ(Saved(items), deep);
}

TEST(TreeFile, EqualNamesKeepTheirOrderThroughSaveAndLoad)
{
    TTreeItems items;
    ASSERT_TRUE(
        items.LoadFromStrings(Lines({"1 0C:", "1 1docs", "1 2lower", "0 1Docs", "1 2upper"})));
    // The newest of equal names comes first.
    ASSERT_EQ(items.Root()->FirstChild->Name, QStringLiteral("Docs"));
    const QStringList once = Saved(items);
    ASSERT_TRUE(items.LoadFromStrings(once));
    EXPECT_EQ(items.Root()->FirstChild->Name, QStringLiteral("Docs"));
    EXPECT_EQ(Saved(items), once);
}

TEST(TreeFile, FoldersTheFormatCannotHoldAreLeftOutWithTheirSubtrees)
{
    TTreeItems items;
    TTreeItem *node = items.AddChild(nullptr, new TTreeItem(&items));
    node->Name = QStringLiteral("C:");
    for (int level = 1; level <= 105; ++level)
        node = items.AddChildByName(node, QStringLiteral("d%1").arg(level));
    TTreeItem *root = items.Root();
    ASSERT_NE(node, nullptr);
    TTreeItem *broken = items.AddChildByName(root, QStringLiteral("two\nlines"));
    items.AddChildByName(broken, QStringLiteral("below"));
    items.AddChildByName(root, QStringLiteral("after"));
    const QStringList lines = Saved(items);
    // Level 99 is the deepest two columns hold; a level of 100 used to be
    // written in three and read back as level 10 with a name starting "0".
    ASSERT_EQ(lines.size(), 1 + 1 + 99);
    EXPECT_EQ(lines[1], QStringLiteral("1 1after"));
    EXPECT_EQ(lines.last(), QStringLiteral("199d99"));
    TTreeItems again;
    ASSERT_TRUE(again.LoadFromStrings(lines));
    EXPECT_EQ(again.Count(), 101);
    EXPECT_EQ(again.Last()->Level, 99);
    EXPECT_EQ(Saved(again), lines);
}

class TreeFileOnDisk : public test::MachineTest {};

TEST_F(TreeFileOnDisk, WritesCrLfUtf8AndReadsEveryLineEnd)
{
    TTreeItems items;
    const QString odd = sys::DecodeName(QByteArray("bad\xff\xfe"));
    ASSERT_TRUE(items.LoadFromStrings(
        {QStringLiteral("1 0C:"), QStringLiteral("1 1Ünïcødé"), QStringLiteral("1 1") + odd}));
    ASSERT_TRUE(items.SaveToFile(QStringLiteral("C:\\tree.kcd")));
    const QByteArray expected = QByteArray("1 0C:\r\n1 1") + QByteArray("bad\xff\xfe") + "\r\n1 1" +
                                QStringLiteral("Ünïcødé").toUtf8() + "\r\n";
    EXPECT_EQ(Contents(QStringLiteral("C:\\tree.kcd")), expected);
    TTreeItems again;
    ASSERT_TRUE(again.LoadFromFile(QStringLiteral("C:\\tree.kcd")));
    EXPECT_NE(again.FindItem(QStringLiteral("C:\\") + odd), nullptr);

    MakeFile(QStringLiteral("C:\\ends.kcd"), "1 0C:\n1 1A\r1 2B\r\n1 1C");
    ASSERT_TRUE(again.LoadFromFile(QStringLiteral("C:\\ends.kcd")));
    EXPECT_EQ(again.Count(), 4);
    EXPECT_NE(again.FindItem(QStringLiteral("C:\\A\\B")), nullptr);
}

TEST_F(TreeFileOnDisk, AMissingFileLeavesTheModelAsItWas)
{
    TTreeItems items;
    ASSERT_TRUE(items.LoadFromStrings(Outline({"C:", " A"})));
    QString error;
    EXPECT_FALSE(items.LoadFromFile(QStringLiteral("C:\\none.kcd"), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(items.Count(), 2);
}

TEST_F(TreeFileOnDisk, AFailedWriteLeavesTheOldFileWhole)
{
    MakeFile(QStringLiteral("C:\\tree.kcd"), "1 0C:\r\n1 1Old\r\n");
    TTreeItems items;
    ASSERT_TRUE(items.LoadFromStrings(Outline({"C:", " New", " Other"})));
    sys::InjectFault(sys::FaultOp::Write, 1, sys::ERROR_DISK_FULL);
    EXPECT_FALSE(items.SaveToFile(QStringLiteral("C:\\tree.kcd")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\tree.kcd")), QByteArray("1 0C:\r\n1 1Old\r\n"));
    // Nothing is left beside it either.
    EXPECT_EQ(QDir(QString::fromUtf8(Native(QStringLiteral("C:\\"))))
                  .entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("tree.kcd")});
    ASSERT_TRUE(items.SaveToFile(QStringLiteral("C:\\tree.kcd")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\tree.kcd")),
              QByteArray("1 0C:\r\n1 1New\r\n1 1Other\r\n"));
}

TEST_F(TreeFileOnDisk, RemovableDrivesCdRomsAndEmptyModelsAreNeverWritten)
{
    TTreeItems items;
    EXPECT_FALSE(items.SaveToFile(QStringLiteral("C:\\empty.kcd")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\empty.kcd")));
    ASSERT_TRUE(items.LoadFromStrings(Outline({"A:", " X"})));
    EXPECT_FALSE(items.SaveToFile(QStringLiteral("A:\\treeinfo.kcd")));
    EXPECT_FALSE(Exists(QStringLiteral("A:\\treeinfo.kcd")));
    EXPECT_FALSE(items.SaveToFile(QStringLiteral("E:\\treeinfo.kcd")));
    EXPECT_FALSE(Exists(QStringLiteral("E:\\treeinfo.kcd")));
    EXPECT_TRUE(items.SaveToFile(QStringLiteral("D:\\treeinfo.kcd")));
}

} // namespace
} // namespace kestrel
