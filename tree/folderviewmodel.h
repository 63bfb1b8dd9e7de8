#pragma once
// TFolderViewModel: the folder tree control without a window. It holds the
// model, the row numbering of the column layout (a first child sits on its
// parent's row, one column to the right), the metrics, the focus and the
// scroll position, and turns keys, typed text and mouse presses into focus
// and expand changes. The widget paints from this state and answers the
// repaint hooks; tests drive it directly.

#include "panel/filelayout.h"
#include "tree/treeitems.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <vector>

namespace kestrel {

enum TAlignMode { amTop, amCenter, amBottom };

class TFolderViewModel : public TTreeItemsOwner {
public:
    TFolderViewModel();
    virtual ~TFolderViewModel();
    TFolderViewModel(const TFolderViewModel &) = delete;
    TFolderViewModel &operator=(const TFolderViewModel &) = delete;

    TTreeItems Items;
    // True while the model is being rebuilt: nothing is painted meanwhile.
    bool Loading = false;

    TTreeItem *Focused() const { return focused; }
    TTreeItem *TopItem() const { return RowItem(TopRow); }
    TTreeItem *LastVisible() const { return lastVisible; }
    int TopRow = 0;
    int LeftColumn = 0;
    int MaxLevel = 0;
    int RowCount() const { return int(rows.size()); }
    // The first (shallowest) node of a display row; null outside the rows.
    TTreeItem *RowItem(int row) const;

    // Layout ------------------------------------------------------------
    // fontSize is the font's point size; sizes below 1 count as 1.
    void SetMeasure(const TTextMeasure *textMeasure, int fontSize);
    void SetClientSize(int width, int height);
    void CalculateParams();
    int RowHeight = 16;
    int TextTop = 0;
    int ColumnWidth = 30;
    int TextWidth = 18;
    int RootWidth = 50;
    int VisibleRows = 1;
    int VisibleColumns = 0;
    // The drive part of the root's name ("C:", "\\server\share"), or "".
    QString GetRootName() const;
    // Top left corner of a node's column on the display.
    QPoint GetItemPos(const TTreeItem *item) const;
    // Width of a node's own area from its corner: its column, less the room
    // where the next column's expand buttons sit.
    int ItemWidth(const TTreeItem *item) const;
    TTreeItem *GetItemAt(int x, int y) const;
    // The node whose expand button (12 to 3 pixels left of its column) is
    // under the point; only nodes with children have one.
    TTreeItem *GetButtonAt(int x, int y) const;

    // Focus and scrolling ----------------------------------------------
    // Focuses a node of the model, making it visible and centring it.
    void SetFocused(TTreeItem *item);
    void AlignFocused(TAlignMode mode);
    void SetScrollPos(int row);
    void SetLeftColumn(int column);
    int VScrollMax() const;
    int HScrollMax() const;
    // Recomputes the metrics and scroll ranges and repaints everything.
    void Redraw();

    // Keys, typing and the mouse ---------------------------------------
    // Page Up, Page Down, End, Home, the arrows and the backslash (Qt keys);
    // false when the key is not one of them.
    bool ArrowKey(int key, bool shift, bool ctrl);
    // A character typed into the control: extends or ends the quick search.
    void KeyChar(QChar c, bool shift);
    // Text composed by an input method: searched for like typed characters.
    void ComposedText(const QString &text);
    void MouseDown(int x, int y);
    void DblClick();

    // Quick search -------------------------------------------------------
    QString FindText;
    // Extends the search text by the typed characters and focuses a match.
    void QuickSearch(const QString &chars);
    // The next visible node, from the focused one or the one after it and
    // round once to the root, whose name starts with text in any case.
    TTreeItem *QuickSearch(const QString &text, bool fromCurrent) const;
    void FindNext();
    void DoFindChange(const QString &text);

    // Events -------------------------------------------------------------
    std::function<void()> OnChange; // the focused node changed, or the model emptied
    std::function<void()> OnSelect; // Enter, or a double click on a node
    std::function<void(const QString &findText)> OnFindChange;

protected:
    // The model changed: renumbers the rows and redraws.
    virtual void ItemsChanged();
    // Repaint hooks, answered by the widget.
    virtual void Invalidate() {}
    virtual void RedrawItem(const TTreeItem * /*item*/) {}
    virtual void ScrollChanged() {}
    // The focused node changed (also to none).
    virtual void FocusChanged() {}

    void ItemDeleting(TTreeItem *item) override;
    void ItemsClearing() override;

private:
    // A focus move by key or mouse: ends the quick search, scrolls when the
    // node is off the page and repaints only the two rows when nothing scrolled.
    void MoveFocus(TTreeItem *item);
    // Repaints only the rows of the old and the new focus.
    void DrawMoveItem(const TTreeItem *old, const TTreeItem *item);
    bool UpdateLeftColumn();
    void FireChange();
    TTreeItem *SameLevelBefore(const TTreeItem *item) const;
    TTreeItem *SameLevelAfter(const TTreeItem *item) const;
    TTreeItem *PageUpTarget() const;
    TTreeItem *PageDownTarget() const;

    const TTextMeasure *measure = nullptr;
    int fontSize = 9;
    int clientWidth = 0;
    int clientHeight = 0;
    TTreeItem *focused = nullptr;
    TTreeItem *lastVisible = nullptr;
    TTreeItem *clicked = nullptr; // the node a press hit, for a double click
    std::vector<TTreeItem *> rows;
};

} // namespace kestrel
