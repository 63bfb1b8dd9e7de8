#pragma once
// TFileViewModel: the file panel without a window. It holds the listing, the
// layout, the focus and the visible page, the selection totals and the quick
// search text, and turns keys, typed text and mouse presses into focus and
// selection changes. The widget paints from this state and answers the
// virtual repaint hooks; tests drive it directly.

#include "panel/file.h"
#include "panel/filelayout.h"

#include <QString>

#include <functional>

namespace kestrel {

enum TFocusStyle { fsDot = 0, fsLine = 1, fsNone = 2 };

class TFileViewModel {
public:
    TFileViewModel();
    virtual ~TFileViewModel() = default;
    TFileViewModel(const TFileViewModel &) = delete;
    TFileViewModel &operator=(const TFileViewModel &) = delete;

    TFiles Files;

    // Layout ------------------------------------------------------------
    void SetMeasure(const TTextMeasure *textMeasure) { measure = textMeasure; }
    void SetClientSize(int width, int height);
    void CalculateParams();
    void Redraw();
    const TFileLayout &Layout() const { return layout; }
    int RowsPerPage() const { return layout.RowsPerPage; }
    int ColumnWidth() const { return layout.ColumnWidth; }
    int ItemHeight() const { return layout.ItemHeight; }
    int PageSize() const { return layout.PageSize(); }
    QRect ItemRect(const TFile *file) const; // empty when not on the visible page
    int GetItemAt(int x, int y) const;       // index, -1 when none
    int SelectAreaAt(int x, int y) const;    // index when on a selection strip
    // Width measures of the layout over the current listing and font.
    int GetNameWidth(int limit);
    int GetExtWidth(int limit);
    int GetDriveWidth(int limit);
    // Sets the name and extension widths for the available width; the block.
    int SetFileNameWidth(int available);

    // Properties (setters re-lay out and repaint on change) ----------------
    bool AttachExt() const { return options.AttachExt; }
    void SetAttachExt(bool value);
    bool AutoColumn() const { return options.AutoColumn; }
    void SetAutoColumn(bool value);
    int Column() const { return layout.Column; } // the column count in use
    void SetColumn(int count);                   // 0 = automatic
    TCharCase CharCase() const { return options.CharCase; }
    void SetCharCase(TCharCase value);
    bool LongName() const { return options.LongName; }
    void SetLongName(bool value);
    bool ViewIcon() const { return options.ViewIcon; }
    void SetViewIcon(bool value);
    TViewStyle ViewStyle() const { return options.ViewStyle; }
    void SetViewStyle(TViewStyle value);
    bool ViewTitle() const { return options.ViewTitle; }
    void SetViewTitle(bool value);
    int IconVSpacing() const { return options.IconVSpacing; }
    void SetIconVSpacing(int value);
    int IconHSpacing() const { return options.IconHSpacing; }
    void SetIconHSpacing(int value);
    TFocusStyle FocusStyle() const { return focusStyle; }
    void SetFocusStyle(TFocusStyle value);
    bool FolderInfo() const { return folderInfo; }
    void SetFolderInfo(bool value);
    bool ViewColumnLine() const { return viewColumnLine; }
    void SetViewColumnLine(bool value);
    bool ViewFileType() const { return viewFileType; }
    void SetViewFileType(bool value);
    QString FitCharCase(const QString &text) const
    {
        return kestrel::FitCharCase(text, CharCase());
    }

    // Focus and paging -------------------------------------------------
    int FocusedIndex = 0;
    int TopIndex = -1;
    int PageIndex = 0;
    int ScrollMax = 0; // the scroll bar counts pages 0..ScrollMax
    void SetFocused(int index);
    // Redraws only the two rows of a focus move within the page.
    void DrawMoveItem(int oldIndex, int newIndex);
    virtual void RedrawItem(int /*index*/) {}
    // After a focus move: hides the tool tip, prepares it for a clipped name,
    // fires OnChange.
    void DoChange();
    TFile *GetItemFocused() const { return Files.Get(FocusedIndex); }
    void SetItemFocused(const TFile *file);
    void AdjustPage();
    int GetPageEnd() const;
    void UpdateScrollRange();
    void ScrollPos(int page);    // scroll bar moved to a page
    void ScrollLines(int delta); // wheel or arrow of the scroll bar: one page per step
    // Moves the focus for a navigation key (Qt::Key); false when not handled.
    bool ArrowKey(int key, bool ctrl);

    // Quick search -----------------------------------------------------
    QString FindText;
    // Handles typed text as the panel receives it (a character, backspace
    // "\b", Enter "\r", or a composed string).
    void QuickSearch(const QString &typed);
    // Focuses the first entry whose display name begins with the text,
    // searching from the top or from the entry after the focus (wrapping).
    bool QuickSearch(const QString &text, bool fromTop);
    void FindNext();
    void DoFindChange(const QString &text);
    // Clears a running search: the listing or the context it was typed in
    // has changed.
    void EndQuickSearch();

    // Selection --------------------------------------------------------
    int SelCount = 0;
    quint64 SelSize = 0;
    bool CanSelect(int index) const;
    void Select(int index);
    void Deselect(int index);
    void ToggleSelect(int index);
    void SelectAll(bool withFolders);
    void DeselectAll(bool withFolders);
    void InvertSelection(bool withFolders);
    // Files (not folders) whose display name matches one of the ';' masks.
    void SelectGroup(const QString &masks, bool select);
    void SelectSameExt();
    // Selection counts equal the flags, indexes are positions, and neither
    // ".." nor drive entries are selected.
    bool IsConsistent() const;
    // The list's OnChange: recounts the selection, re-lays out, repaints.
    void FilesChange();

    // Keys and mouse ----------------------------------------------------
    // Enter, Space and the navigation keys; false when not handled.
    bool KeyDown(int key, bool ctrl);
    void MouseDown(int x, int y, bool shift, bool ctrl);
    void MouseMove(int x, int y); // with the left button held
    void MouseUp();
    void DblClick(int x, int y);
    virtual void Open() = 0;

    // Title and status --------------------------------------------------
    QString Title;
    void SetTitle(const QString &text);
    // "12 Items (3,456 bytes)": entries without the drives, total file size.
    QString TitleInfo() const;
    QString EntryStatus() const { return EntryStatusText(GetItemFocused()); }
    QString SelectionStatus() const { return SelectionStatusText(SelCount, SelSize); }

    // Events ------------------------------------------------------------
    std::function<void()> OnChange;      // focus moved
    std::function<void()> OnFilesChange; // listing changed
    std::function<void(const QString &)> OnFindChange;
    std::function<void()> OnChangeSelected;
    // The owner may change the title and its info text; handled skips drawing.
    std::function<void(QString &title, bool &handled, QString &info)> OnDrawTitle;

protected:
    // Repaint hooks, answered by the widget.
    virtual void Invalidate() {}
    virtual void InvalidateTitle() { Invalidate(); }
    virtual void ScrollChanged() {}
    virtual void ShowNameToolTip(const QString & /*name*/) {}
    virtual void HideToolTip() {}
    virtual void ListingChanged() {}
    // After every focus move, and after a selection change of one entry
    // (its index) or of any number (-1).
    virtual void FocusChanged() {}
    virtual void SelectionChanged(int /*index*/) {}

    void FireChangeSelected(int index = -1);
    bool OnPage(int index) const;
    void ResetSelection();
    int ViewPort() const; // page size, at least 1

    TLayoutOptions options;

private:
    template <typename T> void SetOption(T &field, T value);
    bool MoveFocus(int index); // navigation that clears the search text
    void SelectRange(int from, int to);

    const TTextMeasure *measure = nullptr;
    TFileLayout layout;
    int clientWidth = 0;
    int clientHeight = 0;
    TFocusStyle focusStyle = fsLine;
    bool folderInfo = true;
    bool viewColumnLine = true;
    bool viewFileType = true;
    int dragAnchor = -1;
    int dragEnd = -1;
};

} // namespace kestrel
