#pragma once
// The folder tree model: TTreeItem is one folder, TTreeItems the list that
// owns every node of one drive, the drive's root as the single top node.
// Children form a singly linked list sorted by name without regard to case;
// Index numbers the nodes in pre-order and is renewed by Changed.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

class TTreeItems;

class TTreeItem {
public:
    explicit TTreeItem(TTreeItems *owner) : Owner(owner) {}
    TTreeItem(const TTreeItem &) = delete;
    TTreeItem &operator=(const TTreeItem &) = delete;

    TTreeItems *const Owner;
    QString Name; // for the root the drive text: "C:" or "\\server\share"
    bool Expanded = true;
    TTreeItem *Parent = nullptr;
    TTreeItem *FirstChild = nullptr;
    TTreeItem *Next = nullptr;
    int Index = 0; // pre-order position, root 0
    int Level = 0; // root 0, its children 1, ...
    int Row = 0;   // display row, set by the view over visible nodes

    // Pre-order walks; "visible" means every ancestor is expanded.
    TTreeItem *GetNext() const;
    TTreeItem *GetNextVisible() const;
    TTreeItem *GetPrev() const;
    TTreeItem *GetPrevVisible() const;
    TTreeItem *GetPrevSibling() const;
    TTreeItem *GetLastChild() const;
    bool IsFirstChild() const { return Parent && Parent->FirstChild == this; }
    bool IsChildOf(const TTreeItem *ancestor) const; // any depth below it
    bool IsVisible() const;
    bool HasChildren() const { return FirstChild != nullptr; }

    // "C:\Dir\Sub" for a folder; "C:\" or "\\server\share\" for the root
    // (the name with a backslash when it holds a colon or starts with a slash
    // or backslash), else "".
    QString GetFullPath() const;

    // Not re-sorted among the siblings until the next load.
    void SetName(const QString &name) { Name = name; }
    // On a change outside an update, tells the owner's OnChange.
    void SetExpanded(bool value);
    // Within one update; recursive applies the same to every descendant.
    void Expand(bool recursive);
    void Collapse(bool recursive);
    // Expands every ancestor, within one update.
    void MakeVisible();

private:
    void SetExpandedAll(bool value, bool recursive);
};

// The view showing a model, told before nodes go so that it never keeps a
// pointer to a freed node.
class TTreeItemsOwner {
public:
    // The node and its subtree are about to be freed; the model still holds them.
    virtual void ItemDeleting(TTreeItem *item) = 0;
    // Every node is about to be freed.
    virtual void ItemsClearing() = 0;

protected:
    ~TTreeItemsOwner() = default;
};

class TTreeItems {
public:
    explicit TTreeItems(TTreeItemsOwner *owner = nullptr) : owner(owner) {}
    ~TTreeItems();
    TTreeItems(const TTreeItems &) = delete;
    TTreeItems &operator=(const TTreeItems &) = delete;

    int Count() const { return count; }
    TTreeItem *Root() const { return root; }
    TTreeItem *Last() const { return last; }
    TTreeItemsOwner *OwnerView() const { return owner; }

    // Raised when an update ends at depth zero, and by SetExpanded.
    std::function<void()> OnChange;

    void BeginUpdate() { ++updateCount; }
    void EndUpdate();
    bool Updating() const { return updateCount > 0; }
    // Outside an update: renumbers Index in pre-order, sets Last and Count,
    // raises OnChange.
    void Changed();

    void Clear();
    // The list takes over item. With a null parent the item becomes the root
    // when there is none. Returns the item, or null when it was not linked
    // (it is then freed): a sibling of the root, a second root.
    TTreeItem *AddChild(TTreeItem *parent, TTreeItem *item);
    TTreeItem *AddSibling(TTreeItem *sibling, TTreeItem *item);
    // Null when a child of that name (without regard to case) exists.
    TTreeItem *AddChildByName(TTreeItem *parent, const QString &name);
    // Copies source (which may belong to another list) and its subtree under
    // parent, within one update. A name that already exists at any level is
    // merged into the existing node, so nothing below it or beside it is
    // lost. Returns the node that holds the copy, or null without a parent.
    TTreeItem *AddSubtree(TTreeItem *parent, const TTreeItem *source);
    // Frees the node and its subtree within one update (the root empties the
    // list); the owner view moves its focus away first.
    void DeleteItem(TTreeItem *item);
    // The node of a full path, compared without regard to case; the root for
    // a drive alone ("C:", "C:\"); null when not in the tree.
    TTreeItem *FindItem(const QString &path) const;

    // The tree information file's text form, one line per node ("%d%2d%s":
    // expanded flag, level, name). Loading empties the list first and
    // returns whether a root came back; a broken text leaves the list empty
    // and its message in error ("Invalid Format" or a number's conversion).
    bool LoadFromStrings(const QStringList &list, QString *error = nullptr);
    // Appends the lines in pre-order. Nodes deeper than MaxFileLevel and
    // names holding a line break cannot be written as lines that read back
    // right: they are left out with their subtrees.
    void SaveToStrings(QStringList &list) const;
    // A missing file leaves the list as it was (false, no error). Lines end
    // with CR LF, CR or LF; names are UTF-8, bytes that are not kept as such.
    bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    // Writes the whole file under a temporary name and renames it into
    // place. Files on removable drives and CD-ROMs are never written (false).
    bool SaveToFile(const QString &fileName) const;
    static constexpr int MaxFileLevel = 99;

    // Structure checks for tests: links, owners, levels, Index, Count, Last.
    bool IsConsistent() const;

private:
    friend class TTreeItem;
    void LinkSorted(TTreeItem *parent, TTreeItem *item);
    void FreeSubtree(TTreeItem *item);
    void MergeChildren(TTreeItem *target, const TTreeItem *source);

    TTreeItemsOwner *owner;
    TTreeItem *root = nullptr;
    TTreeItem *last = nullptr;
    int count = 0;
    int updateCount = 0;
};

// The lines of a tree file's bytes: each ends with CR LF, CR or LF; bytes
// that are not UTF-8 are kept (names.h). And the bytes of lines, each ended
// with CR LF.
QStringList TreeFileLines(const QByteArray &bytes);
QByteArray TreeFileText(const QStringList &lines);

// Sibling order: names without regard to case.
int CompareItemNames(const QString &a, const QString &b);

} // namespace kestrel
