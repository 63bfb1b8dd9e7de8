#include "tree/treeitems.h"

#include "platform/drives.h"
#include "text/caseless.h"

#include <vector>

namespace kestrel {

int CompareItemNames(const QString &a, const QString &b)
{
    return CompareCaseless(a, b);
}

// TTreeItem ----------------------------------------------------------------

TTreeItem *TTreeItem::GetNext() const
{
    if (FirstChild)
        return FirstChild;
    for (const TTreeItem *node = this; node; node = node->Parent) {
        if (node->Next)
            return node->Next;
    }
    return nullptr;
}

TTreeItem *TTreeItem::GetNextVisible() const
{
    if (!IsVisible()) {
        TTreeItem *node = GetNext();
        while (node && !node->IsVisible())
            node = node->GetNext();
        return node;
    }
    // Every node after a visible one by these steps is visible too.
    if (Expanded && FirstChild)
        return FirstChild;
    for (const TTreeItem *node = this; node; node = node->Parent) {
        if (node->Next)
            return node->Next;
    }
    return nullptr;
}

TTreeItem *TTreeItem::GetPrevSibling() const
{
    if (!Parent || Parent->FirstChild == this)
        return nullptr;
    TTreeItem *node = Parent->FirstChild;
    while (node && node->Next != this)
        node = node->Next;
    return node;
}

TTreeItem *TTreeItem::GetLastChild() const
{
    TTreeItem *node = FirstChild;
    while (node && node->Next)
        node = node->Next;
    return node;
}

TTreeItem *TTreeItem::GetPrev() const
{
    if (!Parent)
        return nullptr;
    TTreeItem *node = GetPrevSibling();
    if (!node)
        return Parent;
    while (node->FirstChild)
        node = node->GetLastChild();
    return node;
}

TTreeItem *TTreeItem::GetPrevVisible() const
{
    if (!IsVisible()) {
        TTreeItem *node = GetPrev();
        while (node && !node->IsVisible())
            node = node->GetPrev();
        return node;
    }
    if (!Parent)
        return nullptr;
    TTreeItem *node = GetPrevSibling();
    if (!node)
        return Parent;
    while (node->Expanded && node->FirstChild)
        node = node->GetLastChild();
    return node;
}

bool TTreeItem::IsChildOf(const TTreeItem *ancestor) const
{
    for (const TTreeItem *node = Parent; node; node = node->Parent) {
        if (node == ancestor)
            return true;
    }
    return false;
}

bool TTreeItem::IsVisible() const
{
    for (const TTreeItem *node = Parent; node; node = node->Parent) {
        if (!node->Expanded)
            return false;
    }
    return true;
}

QString TTreeItem::GetFullPath() const
{
    if (!Parent) {
        if (Name.contains(QLatin1Char(':')) || Name.startsWith(QLatin1Char('/')) ||
            Name.startsWith(QLatin1Char('\\')))
            return Name.endsWith(QLatin1Char('\\')) ? Name : Name + QLatin1Char('\\');
        return QString();
    }
    std::vector<const TTreeItem *> chain;
    qsizetype length = 0;
    for (const TTreeItem *node = this; node; node = node->Parent) {
        chain.push_back(node);
        length += node->Name.size() + 1;
    }
    QString path;
    path.reserve(length);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            path += QLatin1Char('\\');
        path += (*it)->Name;
    }
    return path;
}

void TTreeItem::SetExpanded(bool value)
{
    if (Expanded == value)
        return;
    Expanded = value;
    if (!Owner->Updating() && Owner->OnChange)
        Owner->OnChange();
}

void TTreeItem::SetExpandedAll(bool value, bool recursive)
{
    Owner->BeginUpdate();
    Expanded = value;
    if (recursive) {
        for (TTreeItem *node = FirstChild; node && node != this;) {
            node->Expanded = value;
            // Pre-order inside this subtree only.
            if (node->FirstChild) {
                node = node->FirstChild;
                continue;
            }
            while (node != this && !node->Next)
                node = node->Parent;
            if (node != this)
                node = node->Next;
        }
    }
    Owner->EndUpdate();
}

void TTreeItem::Expand(bool recursive)
{
    SetExpandedAll(true, recursive);
}

void TTreeItem::Collapse(bool recursive)
{
    SetExpandedAll(false, recursive);
}

void TTreeItem::MakeVisible()
{
    Owner->BeginUpdate();
    for (TTreeItem *node = Parent; node; node = node->Parent)
        node->Expanded = true;
    Owner->EndUpdate();
}

// TTreeItems ---------------------------------------------------------------

TTreeItems::~TTreeItems()
{
    if (root)
        FreeSubtree(root);
}

void TTreeItems::EndUpdate()
{
    if (updateCount > 0)
        --updateCount;
    Changed();
}

void TTreeItems::Changed()
{
    if (updateCount > 0)
        return;
    int index = 0;
    last = nullptr;
    for (TTreeItem *node = root; node; node = node->GetNext()) {
        node->Index = index++;
        last = node;
    }
    count = index;
    if (OnChange)
        OnChange();
}

void TTreeItems::FreeSubtree(TTreeItem *item)
{
    std::vector<TTreeItem *> nodes;
    for (TTreeItem *node = item; node;) {
        nodes.push_back(node);
        if (node->FirstChild) {
            node = node->FirstChild;
            continue;
        }
        while (node != item && !node->Next)
            node = node->Parent;
        node = node == item ? nullptr : node->Next;
    }
    for (TTreeItem *node : nodes)
        delete node;
}

void TTreeItems::Clear()
{
    if (owner)
        owner->ItemsClearing();
    if (root)
        FreeSubtree(root);
    root = nullptr;
    last = nullptr;
    count = 0;
    Changed();
}

void TTreeItems::LinkSorted(TTreeItem *parent, TTreeItem *item)
{
    item->Parent = parent;
    item->Level = parent->Level + 1;
    // Before the first sibling that is not smaller: among equal names the
    // newest comes first.
    TTreeItem **link = &parent->FirstChild;
    while (*link && CompareItemNames((*link)->Name, item->Name) < 0)
        link = &(*link)->Next;
    item->Next = *link;
    *link = item;
}

TTreeItem *TTreeItems::AddChild(TTreeItem *parent, TTreeItem *item)
{
    if (!item)
        return nullptr;
    if (!parent) {
        if (root) {
            delete item;
            return nullptr;
        }
        root = item;
        item->Parent = nullptr;
        item->Next = nullptr;
        item->Level = 0;
    } else if (!parent->FirstChild) {
        parent->FirstChild = item;
        item->Parent = parent;
        item->Next = nullptr;
        item->Level = parent->Level + 1;
    } else {
        return AddSibling(parent->FirstChild, item);
    }
    ++count;
    Changed();
    return item;
}

TTreeItem *TTreeItems::AddSibling(TTreeItem *sibling, TTreeItem *item)
{
    if (!item)
        return nullptr;
    if (!sibling || !sibling->Parent) {
        delete item;
        return nullptr;
    }
    LinkSorted(sibling->Parent, item);
    ++count;
    Changed();
    return item;
}

static TTreeItem *ChildNamed(const TTreeItem *parent, const QString &name)
{
    for (TTreeItem *node = parent->FirstChild; node; node = node->Next) {
        if (CompareItemNames(node->Name, name) == 0)
            return node;
    }
    return nullptr;
}

TTreeItem *TTreeItems::AddChildByName(TTreeItem *parent, const QString &name)
{
    if (!parent || ChildNamed(parent, name))
        return nullptr;
    auto *item = new TTreeItem(this);
    item->Name = name;
    return AddChild(parent, item);
}

void TTreeItems::MergeChildren(TTreeItem *target, const TTreeItem *source)
{
    // Depth first with an explicit stack: a copied tree may be deep.
    std::vector<std::pair<TTreeItem *, const TTreeItem *>> pending{{target, source}};
    while (!pending.empty()) {
        const auto [to, from] = pending.back();
        pending.pop_back();
        for (const TTreeItem *child = from->FirstChild; child; child = child->Next) {
            TTreeItem *copy = ChildNamed(to, child->Name);
            if (!copy)
                copy = AddChildByName(to, child->Name);
            if (child->FirstChild)
                pending.emplace_back(copy, child);
        }
    }
}

TTreeItem *TTreeItems::AddSubtree(TTreeItem *parent, const TTreeItem *source)
{
    if (!parent || !source)
        return nullptr;
    // A folder copied into itself would grow while it is being read.
    if (parent == source || parent->IsChildOf(source))
        return nullptr;
    BeginUpdate();
    TTreeItem *target = ChildNamed(parent, source->Name);
    if (!target)
        target = AddChildByName(parent, source->Name);
    MergeChildren(target, source);
    EndUpdate();
    return target;
}

void TTreeItems::DeleteItem(TTreeItem *item)
{
    if (!item)
        return;
    if (item == root) {
        Clear();
        return;
    }
    BeginUpdate();
    if (owner)
        owner->ItemDeleting(item);
    TTreeItem *parent = item->Parent;
    if (parent->FirstChild == item) {
        parent->FirstChild = item->Next;
    } else {
        TTreeItem *prev = item->GetPrevSibling();
        prev->Next = item->Next;
    }
    item->Next = nullptr;
    item->Parent = nullptr;
    FreeSubtree(item);
    EndUpdate();
}

TTreeItem *TTreeItems::FindItem(const QString &path) const
{
    if (!root)
        return nullptr;
    const QString drive = sys::ExtractFileDrive(path);
    if (drive.isEmpty() || path.size() <= drive.size() + 1)
        return root;
    if (CompareItemNames(drive, root->Name) != 0)
        return nullptr;
    QString rest = path.mid(drive.size());
    if (rest.startsWith(QLatin1Char('\\')))
        rest.remove(0, 1);
    if (rest.endsWith(QLatin1Char('\\')))
        rest.chop(1);
    const QStringList parts = rest.split(QLatin1Char('\\'));
    auto firstMatch = [](TTreeItem *node, const QString &name) {
        while (node && CompareItemNames(node->Name, name) != 0)
            node = node->Next;
        return node;
    };
    // Depth first over the names that match, in sibling order: the first
    // node in pre-order whose path is the one asked for.
    std::vector<TTreeItem *> above;
    TTreeItem *node = firstMatch(root->FirstChild, parts[0]);
    while (node) {
        const qsizetype depth = qsizetype(above.size());
        if (depth == parts.size() - 1)
            return node;
        if (TTreeItem *child = firstMatch(node->FirstChild, parts[depth + 1])) {
            above.push_back(node);
            node = child;
            continue;
        }
        for (;;) {
            if (TTreeItem *next = firstMatch(node->Next, parts[qsizetype(above.size())])) {
                node = next;
                break;
            }
            if (above.empty())
                return nullptr;
            node = above.back();
            above.pop_back();
        }
    }
    return nullptr;
}

bool TTreeItems::IsConsistent() const
{
    if (!root)
        return count == 0 && !last;
    if (root->Parent || root->Level != 0 || root->Next)
        return false;
    int index = 0;
    const TTreeItem *previous = nullptr;
    for (const TTreeItem *node = root; node; node = node->GetNext()) {
        if (node->Owner != this || node->Index != index++)
            return false;
        if (node->Parent && node->Level != node->Parent->Level + 1)
            return false;
        for (const TTreeItem *child = node->FirstChild; child; child = child->Next) {
            if (child->Parent != node)
                return false;
        }
        previous = node;
        if (index > count)
            return false;
    }
    return index == count && previous == last;
}

} // namespace kestrel
