#include "tree/treeitems.h"

#include "tests/tree/treetext.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Outline;

QStringList ChildNames(const TTreeItem *parent)
{
    QStringList names;
    for (const TTreeItem *child = parent->FirstChild; child; child = child->Next)
        names.append(child->Name);
    return names;
}

QStringList PreOrder(const TTreeItems &items)
{
    QStringList names;
    for (const TTreeItem *node = items.Root(); node; node = node->GetNext())
        names.append(node->Name);
    return names;
}

TTreeItem *Add(TTreeItems &items, TTreeItem *parent, const char *name)
{
    auto *item = new TTreeItem(&items);
    item->Name = QString::fromUtf8(name);
    return items.AddChild(parent, item);
}

// A view standing in for the tree control: keeps a focus that must never
// point at a freed node.
class FocusOwner : public TTreeItemsOwner {
public:
    TTreeItem *focus = nullptr;
    int cleared = 0;
    void ItemDeleting(TTreeItem *item) override
    {
        if (focus && (focus == item || focus->IsChildOf(item)))
            focus = item->Next ? item->Next : item->Parent;
    }
    void ItemsClearing() override
    {
        focus = nullptr;
        ++cleared;
    }
};

TEST(TreeItems, SiblingsSortWithoutRegardToCaseWhateverTheOrderOfArrival)
{
    TTreeItems items;
    TTreeItem *root = Add(items, nullptr, "C:");
    for (const char *name : {"windows", "Apps", "b", "Zeta", "apps2", "_x", "10"})
        Add(items, root, name);
    EXPECT_EQ(ChildNames(root), (QStringList{"10", "_x", "Apps", "apps2", "b", "windows", "Zeta"}));
    EXPECT_EQ(items.Count(), 8);
    EXPECT_TRUE(items.IsConsistent());
    // Among equal names the newest comes first.
    TTreeItem *first = Add(items, root, "Same");
    TTreeItem *second = Add(items, root, "SAME");
    EXPECT_EQ(first->GetPrevSibling(), second);
    // A second root, or a sibling of the root, is not linked.
    EXPECT_EQ(Add(items, nullptr, "D:"), nullptr);
    EXPECT_EQ(items.AddSibling(root, new TTreeItem(&items)), nullptr);
    EXPECT_EQ(items.Count(), 10);
}

TEST(TreeItems, AddChildByNameRefusesANameThatExistsInAnyCase)
{
    TTreeItems items;
    TTreeItem *root = Add(items, nullptr, "C:");
    TTreeItem *docs = items.AddChildByName(root, QStringLiteral("Docs"));
    ASSERT_NE(docs, nullptr);
    EXPECT_TRUE(docs->Expanded);
    EXPECT_EQ(docs->Level, 1);
    EXPECT_EQ(items.AddChildByName(root, QStringLiteral("DOCS")), nullptr);
    EXPECT_EQ(items.AddChildByName(docs, QStringLiteral("docs"))->Level, 2);
    EXPECT_EQ(items.AddChildByName(nullptr, QStringLiteral("x")), nullptr);
    EXPECT_EQ(items.Count(), 3);
}

TEST(TreeItems, WalksInPreOrderAndOverVisibleNodes)
{
    TTreeItems items;
    ASSERT_TRUE(items.LoadFromStrings(
        Outline({"C:", " A", "  -A1", "   A1x", "  A2", " B", "  B1", " C"})));
    ASSERT_EQ(PreOrder(items), (QStringList{"C:", "A", "A1", "A1x", "A2", "B", "B1", "C"}));
    TTreeItem *a1 = items.FindItem(QStringLiteral("C:\\A\\A1"));
    TTreeItem *a1x = a1->FirstChild;
    TTreeItem *a2 = a1->Next;
    TTreeItem *b = a1->Parent->Next;
    EXPECT_EQ(a1->GetNextVisible(), a2); // A1 is collapsed
    EXPECT_EQ(a2->GetPrevVisible(), a1);
    EXPECT_EQ(a2->GetPrev(), a1x);
    EXPECT_EQ(b->GetPrev(), a2);
    EXPECT_EQ(b->GetPrevVisible(), a2);
    EXPECT_EQ(a1x->GetNextVisible(), a2); // from a hidden node too
    EXPECT_EQ(a1x->GetPrevVisible(), a1);
    EXPECT_FALSE(a1x->IsVisible());
    EXPECT_TRUE(a1->IsVisible()); // its own state does not matter
    EXPECT_TRUE(a1x->IsChildOf(items.Root()));
    EXPECT_FALSE(a1->IsChildOf(a1x));
    EXPECT_EQ(items.Root()->GetPrev(), nullptr);
    EXPECT_EQ(items.Last()->Name, QStringLiteral("C"));
    EXPECT_EQ(items.Last()->GetNext(), nullptr);
    EXPECT_EQ(a2->GetPrevSibling(), a1);
    EXPECT_TRUE(a1->IsFirstChild());
    EXPECT_FALSE(a2->IsFirstChild());
}

TEST(TreeItems, FullPathsOfRootsAndFolders)
{
    TTreeItems items;
    TTreeItem *root = Add(items, nullptr, "C:");
    TTreeItem *sub = Add(items, Add(items, root, "Data"), "Sub");
    EXPECT_EQ(root->GetFullPath(), QStringLiteral("C:\\"));
    EXPECT_EQ(sub->GetFullPath(), QStringLiteral("C:\\Data\\Sub"));
    root->SetName(QStringLiteral("\\\\server\\share"));
    EXPECT_EQ(root->GetFullPath(), QStringLiteral("\\\\server\\share\\"));
    EXPECT_EQ(sub->GetFullPath(), QStringLiteral("\\\\server\\share\\Data\\Sub"));
    root->SetName(QStringLiteral("plain"));
    EXPECT_EQ(root->GetFullPath(), QString());
}

TEST(TreeItems, FindItemByPath)
{
    TTreeItems items;
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\")), nullptr); // empty model
    ASSERT_TRUE(items.LoadFromStrings(
        Outline({"C:", " Data", "  -Sub", "   Deep", " data", "  Other", " Win"})));
    TTreeItem *root = items.Root();
    EXPECT_EQ(items.FindItem(QStringLiteral("C:")), root);
    EXPECT_EQ(items.FindItem(QStringLiteral("c:\\")), root);
    EXPECT_EQ(items.FindItem(QStringLiteral("c:\\win"))->Name, QStringLiteral("Win"));
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Win\\"))->Name, QStringLiteral("Win"));
    // Collapsed branches are searched too.
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\DATA\\sub\\deep"))->Name, QStringLiteral("Deep"));
    // Two folders whose names differ only in case: the path is found under
    // whichever holds it.
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\Other"))->Name, QStringLiteral("Other"));
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\Missing")), nullptr);
    EXPECT_EQ(items.FindItem(QStringLiteral("D:\\Data")), nullptr);
    EXPECT_EQ(items.FindItem(QStringLiteral("C:\\Data\\Sub\\Deep\\More")), nullptr);
}

TEST(TreeItems, DeleteItemFreesTheSubtreeAndMovesTheOwnersFocus)
{
    FocusOwner view;
    TTreeItems items(&view);
    int changes = 0;
    items.OnChange = [&] { ++changes; };
    ASSERT_TRUE(items.LoadFromStrings(Outline({"C:", " A", "  A1", "  A2", " B", " C"})));
    TTreeItem *a = items.FindItem(QStringLiteral("C:\\A"));
    view.focus = a->FirstChild->Next; // A2, inside the deleted branch
    changes = 0;
    items.DeleteItem(a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(view.focus->Name, QStringLiteral("B")); // the next sibling
    EXPECT_EQ(items.Count(), 3);
    EXPECT_TRUE(items.IsConsistent());
    items.DeleteItem(view.focus);
    EXPECT_EQ(view.focus->Name, QStringLiteral("C"));
    items.DeleteItem(view.focus);
    EXPECT_EQ(view.focus, items.Root()); // no next sibling: the parent
    EXPECT_EQ(items.Last(), items.Root());
    items.DeleteItem(items.Root());
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.Root(), nullptr);
    EXPECT_EQ(view.focus, nullptr);
    EXPECT_TRUE(items.IsConsistent());
}

TEST(TreeItems, AddSubtreeCopiesFromAnotherListAndMergesNamesThatExist)
{
    TTreeItems source;
    ASSERT_TRUE(source.LoadFromStrings(
        Outline({"D:", " Proj", "  Docs", "   Old", "  Bin", "  Src", "   Lib"})));
    TTreeItems target;
    ASSERT_TRUE(target.LoadFromStrings(Outline({"C:", " Work", "  Proj", "   Bin", "    Keep"})));
    int changes = 0;
    target.OnChange = [&] { ++changes; };
    TTreeItem *work = target.FindItem(QStringLiteral("C:\\Work"));
    TTreeItem *proj = target.AddSubtree(work, source.FindItem(QStringLiteral("D:\\Proj")));
    EXPECT_EQ(changes, 1);
    ASSERT_NE(proj, nullptr);
    // Bin existed: it is merged, and Docs and Src beside it are not lost
    // (a duplicate name used to drop every later sibling).
    EXPECT_EQ(ChildNames(proj), (QStringList{"Bin", "Docs", "Src"}));
    EXPECT_NE(target.FindItem(QStringLiteral("C:\\Work\\Proj\\Bin\\Keep")), nullptr);
    EXPECT_NE(target.FindItem(QStringLiteral("C:\\Work\\Proj\\Src\\Lib")), nullptr);
    EXPECT_NE(target.FindItem(QStringLiteral("C:\\Work\\Proj\\Docs\\Old")), nullptr);
    EXPECT_EQ(target.Count(), 9);
    EXPECT_TRUE(target.IsConsistent());
    EXPECT_EQ(source.Count(), 7); // the source is only read

    // A branch cannot be copied into itself: it would grow while being read.
    EXPECT_EQ(target.AddSubtree(target.FindItem(QStringLiteral("C:\\Work\\Proj\\Src")), work),
              nullptr);
    EXPECT_EQ(target.Count(), 9);
}

TEST(TreeItems, UpdatesNestAndTellTheChangeOnce)
{
    TTreeItems items;
    int changes = 0;
    items.OnChange = [&] { ++changes; };
    items.BeginUpdate();
    items.BeginUpdate();
    TTreeItem *root = Add(items, nullptr, "C:");
    Add(items, root, "B");
    Add(items, root, "A");
    items.EndUpdate();
    EXPECT_EQ(changes, 0);
    items.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(root->FirstChild->Index, 1);
    items.EndUpdate(); // never below zero: the next update still holds
    items.BeginUpdate();
    Add(items, root, "C");
    EXPECT_EQ(changes, 2); // from the extra EndUpdate only
    items.EndUpdate();
    EXPECT_EQ(changes, 3);
}

TEST(TreeItems, ExpandAndCollapseChangeOnlyWhatTheyName)
{
    TTreeItems items;
    ASSERT_TRUE(
        items.LoadFromStrings(Outline({"C:", " A", "  -A1", "   A1x", "  A2", " -B", "  B1"})));
    int changes = 0;
    items.OnChange = [&] { ++changes; };
    TTreeItem *a = items.FindItem(QStringLiteral("C:\\A"));
    TTreeItem *a1 = a->FirstChild;
    TTreeItem *b = a->Next;
    a->Collapse(false);
    EXPECT_FALSE(a->Expanded);
    EXPECT_FALSE(a1->Expanded);
    EXPECT_TRUE(a1->FirstChild->Expanded);
    a->Expand(true);
    EXPECT_TRUE(a1->Expanded && a1->FirstChild->Expanded && a1->Next->Expanded);
    EXPECT_FALSE(b->Expanded); // a sibling is left alone
    items.Root()->Collapse(true);
    for (const TTreeItem *node = items.Root(); node; node = node->GetNext())
        EXPECT_FALSE(node->Expanded) << node->Name.toStdString();
    changes = 0;
    b->SetExpanded(false); // no change, no event
    EXPECT_EQ(changes, 0);
    b->SetExpanded(true);
    EXPECT_EQ(changes, 1);
    TTreeItem *a1x = a1->FirstChild;
    a1x->MakeVisible();
    EXPECT_TRUE(a1x->IsVisible());
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace kestrel
