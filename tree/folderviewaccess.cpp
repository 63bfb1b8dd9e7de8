// The folder tree as screen readers see it: a tree whose rows are the
// visible folders in order, named by their names, described by their paths.

#include "tree/kfolderview.h"

#include <algorithm>

namespace kestrel {

const std::vector<TTreeItem *> &TCustomFolderView::VisibleNodes() const
{
    if (!visibleNodesValid) {
        visibleNodes.clear();
        for (TTreeItem *item = Items.Root(); item; item = item->GetNextVisible())
            visibleNodes.push_back(item);
        visibleNodesValid = true;
    }
    return visibleNodes;
}

TTreeItem *TCustomFolderView::NodeOfRow(int row) const
{
    const std::vector<TTreeItem *> &nodes = VisibleNodes();
    return row >= 0 && size_t(row) < nodes.size() ? nodes[size_t(row)] : nullptr;
}

int TCustomFolderView::RowOfNode(const TTreeItem *item) const
{
    const std::vector<TTreeItem *> &nodes = VisibleNodes();
    const auto it = std::find(nodes.begin(), nodes.end(), item);
    return item && it != nodes.end() ? int(it - nodes.begin()) : -1;
}

int TCustomFolderView::RowCount() const
{
    return int(VisibleNodes().size());
}

QString TCustomFolderView::RowName(int row) const
{
    const TTreeItem *item = NodeOfRow(row);
    return item ? item->Name : QString();
}

QString TCustomFolderView::RowDescription(int row) const
{
    const TTreeItem *item = NodeOfRow(row);
    return item ? item->GetFullPath() : QString();
}

QRect TCustomFolderView::RowRect(int row) const
{
    const TTreeItem *item = NodeOfRow(row);
    if (!item)
        return QRect();
    const QRect rect(GetItemPos(item), QSize(ItemWidth(item), RowHeight));
    return rect.intersected(TreeRect());
}

int TCustomFolderView::FocusedRow() const
{
    return RowOfNode(Focused());
}

int TCustomFolderView::RowAt(const QPoint &pos) const
{
    return RowOfNode(GetItemAt(pos.x(), pos.y()));
}

bool TCustomFolderView::RowSelected(int row) const
{
    return NodeOfRow(row) && NodeOfRow(row) == Focused();
}

bool TCustomFolderView::RowSelectable(int row) const
{
    return NodeOfRow(row) != nullptr;
}

void TCustomFolderView::FocusRow(int row)
{
    if (TTreeItem *item = NodeOfRow(row))
        SetFocused(item);
}

QString TCustomFolderView::RowsName() const
{
    return Drive();
}

QString TCustomFolderView::RowsDescription() const
{
    return GetFolder();
}

void TCustomFolderView::ItemsChanged()
{
    visibleNodesValid = false;
    TFolderTree::ItemsChanged();
    AccessibleRowsReplaced();
}

void TCustomFolderView::FocusChanged()
{
    AccessibleFocusMoved();
    AccessibleSelectionChanged(-1);
}

void TCustomFolderView::ItemDeleting(TTreeItem *item)
{
    visibleNodesValid = false;
    TFolderTree::ItemDeleting(item);
}

void TCustomFolderView::ItemsClearing()
{
    visibleNodesValid = false;
    TFolderTree::ItemsClearing();
}

} // namespace kestrel
