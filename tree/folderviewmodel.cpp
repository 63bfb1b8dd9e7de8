#include "tree/folderviewmodel.h"

#include "platform/drives.h"

#include <algorithm>

namespace kestrel {

namespace {

// The nine characters a file name may not hold end a quick search.
bool NeverInName(char16_t c)
{
    return c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
           c == u'<' || c == u'>' || c == u'|';
}

bool Matches(const TTreeItem *item, const QString &text)
{
    return item->Name.startsWith(text, Qt::CaseInsensitive);
}

} // namespace

TFolderViewModel::TFolderViewModel() : Items(this)
{
    Items.OnChange = [this] { ItemsChanged(); };
}

TFolderViewModel::~TFolderViewModel()
{
    Items.OnChange = nullptr;
}

TTreeItem *TFolderViewModel::RowItem(int row) const
{
    return row >= 0 && row < RowCount() ? rows[std::size_t(row)] : nullptr;
}

// Layout ----------------------------------------------------------------

void TFolderViewModel::SetMeasure(const TTextMeasure *textMeasure, int size)
{
    measure = textMeasure;
    fontSize = std::max(1, size);
    CalculateParams();
}

void TFolderViewModel::SetClientSize(int width, int height)
{
    clientWidth = width;
    clientHeight = height;
    CalculateParams();
}

void TFolderViewModel::CalculateParams()
{
    const int textHeight = measure ? measure->TextHeight() : 12;
    RowHeight = std::max(16, textHeight + 4);
    TextTop = (RowHeight - textHeight) / 2;
    ColumnWidth = fontSize * 10 + 20;
    TextWidth = fontSize * 10 + 8;
    const QString rootName = GetRootName();
    RootWidth = rootName.isEmpty() ? 50 : (measure ? measure->TextWidth(rootName) : 0) + 36;
    VisibleRows = std::max(1, clientHeight / RowHeight);
    VisibleColumns = std::max(0, (clientWidth - RootWidth) / ColumnWidth);
}

QString TFolderViewModel::GetRootName() const
{
    return Items.Root() ? sys::ExtractFileDrive(Items.Root()->Name) : QString();
}

QPoint TFolderViewModel::GetItemPos(const TTreeItem *item) const
{
    const int y = (item->Row - TopRow) * RowHeight;
    if (LeftColumn < 1)
        return QPoint(item->Parent ? (item->Level - 1) * ColumnWidth + RootWidth : 0, y);
    return QPoint(item->Parent ? (item->Level - LeftColumn) * ColumnWidth + 12 : 12 - RootWidth, y);
}

int TFolderViewModel::ItemWidth(const TTreeItem *item) const
{
    return item->Parent ? TextWidth : RootWidth - 12;
}

TTreeItem *TFolderViewModel::GetItemAt(int x, int y) const
{
    if (y < 0)
        return nullptr;
    const int row = y / RowHeight + TopRow;
    for (TTreeItem *node = RowItem(row); node && node->Row == row; node = node->GetNextVisible()) {
        const int left = GetItemPos(node).x();
        if (x >= left && x < left + ItemWidth(node))
            return node;
    }
    return nullptr;
}

TTreeItem *TFolderViewModel::GetButtonAt(int x, int y) const
{
    if (y < 0)
        return nullptr;
    const int row = y / RowHeight + TopRow;
    for (TTreeItem *node = RowItem(row); node && node->Row == row; node = node->GetNextVisible()) {
        const int left = GetItemPos(node).x();
        if (node->FirstChild && x >= left - 12 && x <= left - 3)
            return node;
    }
    return nullptr;
}

// Model changes -----------------------------------------------------------

void TFolderViewModel::ItemsChanged()
{
    rows.clear();
    MaxLevel = 0;
    lastVisible = nullptr;
    int row = 0;
    int previousLevel = 0;
    // Pre-order over the visible nodes; a node deeper than the one before it
    // is that node's first child and shares its row.
    for (TTreeItem *node = Items.Root(); node;) {
        if (node != Items.Root() && node->Level <= previousLevel)
            ++row;
        node->Row = row;
        if (std::size_t(row) == rows.size())
            rows.push_back(node);
        MaxLevel = std::max(MaxLevel, node->Level);
        previousLevel = node->Level;
        lastVisible = node;
        if (node->Expanded && node->FirstChild) {
            node = node->FirstChild;
            continue;
        }
        while (node && !node->Next)
            node = node->Parent;
        if (node)
            node = node->Next;
    }
    // A folded branch may leave the page short of rows below.
    CalculateParams();
    TopRow = std::clamp(TopRow, 0, VScrollMax());
    Redraw();
}

void TFolderViewModel::ItemDeleting(TTreeItem *item)
{
    if (focused && (focused == item || focused->IsChildOf(item)))
        focused = item->Next ? item->Next : item->Parent;
    if (clicked && (clicked == item || clicked->IsChildOf(item)))
        clicked = nullptr;
    // Renumbered when the change completes; nothing may be found there meanwhile.
    rows.clear();
    lastVisible = nullptr;
}

void TFolderViewModel::ItemsClearing()
{
    focused = nullptr;
    clicked = nullptr;
    rows.clear();
    lastVisible = nullptr;
}

// Focus and scrolling -------------------------------------------------------

void TFolderViewModel::FireChange()
{
    FocusChanged();
    if (OnChange)
        OnChange();
}

bool TFolderViewModel::UpdateLeftColumn()
{
    const int column = focused ? focused->Level - VisibleColumns : 0;
    const int old = LeftColumn;
    LeftColumn = column < 1 ? 0 : column;
    return LeftColumn != old;
}

void TFolderViewModel::SetFocused(TTreeItem *item)
{
    if (!Items.Root()) {
        focused = nullptr;
        TopRow = 0;
        FireChange();
        return;
    }
    if (!item || item == focused || item->Owner != &Items)
        return;
    focused = item;
    if (!item->IsVisible())
        item->MakeVisible();
    AlignFocused(amCenter);
    UpdateLeftColumn();
    ScrollChanged();
    Invalidate();
    FireChange();
}

void TFolderViewModel::AlignFocused(TAlignMode mode)
{
    if (!focused)
        return;
    const int row = focused->Row;
    switch (mode) {
    case amTop:
        TopRow = row;
        break;
    case amCenter:
        TopRow = row >= VisibleRows ? row - VisibleRows / 2 : 0;
        break;
    case amBottom:
        TopRow = row >= VisibleRows ? row - (VisibleRows - 1) : 0;
        break;
    }
}

void TFolderViewModel::SetScrollPos(int row)
{
    const int top = std::clamp(row, 0, VScrollMax());
    if (top == TopRow)
        return;
    TopRow = top;
    ScrollChanged();
    Invalidate();
}

void TFolderViewModel::SetLeftColumn(int column)
{
    const int left = std::clamp(column, 0, HScrollMax());
    if (left == LeftColumn)
        return;
    LeftColumn = left;
    ScrollChanged();
    Invalidate();
}

int TFolderViewModel::VScrollMax() const
{
    return std::max(0, RowCount() - VisibleRows);
}

int TFolderViewModel::HScrollMax() const
{
    return std::max(0, MaxLevel - VisibleColumns);
}

void TFolderViewModel::Redraw()
{
    CalculateParams();
    ScrollChanged();
    Invalidate();
}

// Keys ------------------------------------------------------------------------

TTreeItem *TFolderViewModel::SameLevelBefore(const TTreeItem *item) const
{
    for (TTreeItem *node = item->GetPrevVisible(); node; node = node->GetPrevVisible()) {
        if (node->Level == item->Level)
            return node;
    }
    return item->Parent;
}

TTreeItem *TFolderViewModel::SameLevelAfter(const TTreeItem *item) const
{
    for (TTreeItem *node = item->GetNextVisible(); node; node = node->GetNextVisible()) {
        if (node->Level == item->Level)
            return node;
    }
    return item->GetNextVisible();
}

TTreeItem *TFolderViewModel::PageUpTarget() const
{
    TTreeItem *top = TopItem();
    if (top && focused != top)
        return top;
    // A page up: to the first node of the row a full page above.
    const int from = focused->Row;
    TTreeItem *node = focused;
    while (node->Parent && from - node->Row < VisibleRows)
        node = node->GetPrevVisible();
    return RowItem(node->Row);
}

TTreeItem *TFolderViewModel::PageDownTarget() const
{
    if (focused == lastVisible)
        return focused;
    auto lastOnPage = [this](int lastRow) {
        TTreeItem *node = focused;
        for (TTreeItem *next = node->GetNextVisible(); next && next->Row <= lastRow;
             next = next->GetNextVisible())
            node = next;
        return node;
    };
    const int lastRow = TopRow + VisibleRows - 1;
    TTreeItem *node = lastOnPage(lastRow);
    return node != focused ? node : lastOnPage(lastRow + VisibleRows);
}

bool TFolderViewModel::ArrowKey(int key, bool shift, bool ctrl)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backslash:
        break;
    default:
        return false;
    }
    if (!focused || rows.empty())
        return true;
    // A focus scrolled out of sight comes back first, without moving.
    if (focused->Row < TopRow || focused->Row >= TopRow + VisibleRows) {
        AlignFocused(amCenter);
        UpdateLeftColumn();
        ScrollChanged();
        Invalidate();
        return true;
    }
    TTreeItem *target = focused;
    switch (key) {
    case Qt::Key_Left:
        if (shift) {
            if (focused->FirstChild && focused->Expanded)
                focused->SetExpanded(false);
            return true;
        }
        target = ctrl ? focused->GetPrevVisible() : focused->Parent;
        break;
    case Qt::Key_Right:
        if (shift) {
            if (focused->FirstChild && !focused->Expanded)
                focused->SetExpanded(true);
            return true;
        }
        target = focused->GetNextVisible();
        break;
    case Qt::Key_Up:
        target = shift ? focused->GetPrevSibling() : SameLevelBefore(focused);
        break;
    case Qt::Key_Down:
        target = shift ? focused->Next : SameLevelAfter(focused);
        break;
    case Qt::Key_PageUp:
        target = PageUpTarget();
        break;
    case Qt::Key_PageDown:
        target = PageDownTarget();
        break;
    case Qt::Key_End:
        target = lastVisible;
        break;
    default: // Home and the backslash
        target = Items.Root();
        break;
    }
    MoveFocus(target ? target : focused);
    return true;
}

void TFolderViewModel::MoveFocus(TTreeItem *item)
{
    bool scrolled = false;
    TTreeItem *old = focused;
    focused = item;
    if (item->Row < TopRow) {
        AlignFocused(amTop);
        scrolled = true;
    } else if (item->Row >= TopRow + VisibleRows) {
        AlignFocused(amBottom);
        scrolled = true;
    }
    scrolled = UpdateLeftColumn() || scrolled;
    if (item == old)
        return;
    DoFindChange(QString());
    if (scrolled) {
        ScrollChanged();
        Invalidate();
    } else {
        DrawMoveItem(old, item);
    }
    FireChange();
}

void TFolderViewModel::DrawMoveItem(const TTreeItem *old, const TTreeItem *item)
{
    RedrawItem(old);
    RedrawItem(item);
}

void TFolderViewModel::KeyChar(QChar c, bool shift)
{
    const char16_t code = c.unicode();
    // Shift with a letter is for the window (drive keys); a capital typed
    // with Caps Lock comes without Shift and searches.
    if (code >= u'A' && code <= u'Z' && shift)
        return;
    if (code == u'\r')
        return;
    if (code == u'\b') {
        if (FindText.isEmpty())
            return;
        FindText.chop(1);
        DoFindChange(FindText);
        return;
    }
    if (code >= 32 && code != 127 && !NeverInName(code) && !c.isSurrogate())
        QuickSearch(QString(c));
    else
        DoFindChange(QString());
}

void TFolderViewModel::ComposedText(const QString &text)
{
    if (!text.isEmpty())
        QuickSearch(text);
}

void TFolderViewModel::MouseDown(int x, int y)
{
    clicked = nullptr;
    if (rows.empty())
        return;
    if (TTreeItem *button = GetButtonAt(x, y)) {
        const bool focusInside = focused && focused->IsChildOf(button);
        button->SetExpanded(!button->Expanded);
        if (!button->Expanded && focusInside)
            MoveFocus(button);
        return;
    }
    TTreeItem *item = GetItemAt(x, y);
    if (!item)
        return;
    clicked = item;
    MoveFocus(item);
}

void TFolderViewModel::DblClick()
{
    if (clicked && clicked == focused && OnSelect)
        OnSelect();
}

// Quick search ----------------------------------------------------------------

TTreeItem *TFolderViewModel::QuickSearch(const QString &text, bool fromCurrent) const
{
    TTreeItem *root = Items.Root();
    if (!focused || !root)
        return nullptr;
    TTreeItem *start = fromCurrent               ? focused
                       : focused == Items.Last() ? root
                                                 : focused->GetNextVisible();
    for (TTreeItem *node = start; node; node = node->GetNextVisible()) {
        if (Matches(node, text))
            return node;
    }
    // Round once from the root, up to the focused node.
    if (focused == root || (!fromCurrent && focused == Items.Last()))
        return nullptr;
    for (TTreeItem *node = root; node && node != focused; node = node->GetNextVisible()) {
        if (Matches(node, text))
            return node;
    }
    return nullptr;
}

void TFolderViewModel::QuickSearch(const QString &chars)
{
    if (!focused)
        return;
    QString text = FindText + chars;
    TTreeItem *found = QuickSearch(text, true);
    if (!found && chars.size() < text.size()) {
        text = chars;
        found = QuickSearch(text, false);
    }
    if (found) {
        FindText = text;
        SetFocused(found);
    } else {
        FindText.clear();
    }
    if (OnFindChange)
        OnFindChange(FindText);
}

void TFolderViewModel::FindNext()
{
    if (FindText.isEmpty())
        return;
    if (TTreeItem *found = QuickSearch(FindText, false))
        SetFocused(found);
    else
        DoFindChange(QString());
}

void TFolderViewModel::DoFindChange(const QString &text)
{
    FindText = text;
    if (OnFindChange)
        OnFindChange(text);
}

} // namespace kestrel
