#include "panel/fileviewmodel.h"

#include <QRegularExpression>

#include <algorithm>

namespace kestrel {

TFileViewModel::TFileViewModel()
{
    Files.OnChange = [this] { FilesChange(); };
}

// Layout ------------------------------------------------------------------

void TFileViewModel::SetClientSize(int width, int height)
{
    if (width == clientWidth && height == clientHeight)
        return;
    clientWidth = width;
    clientHeight = height;
    Redraw();
}

void TFileViewModel::CalculateParams()
{
    if (Files.Count() == 0 || !measure)
        return;
    layout.CalculateParams(Files, *measure, clientWidth, clientHeight, options);
}

void TFileViewModel::Redraw()
{
    if (Files.Updating())
        return;
    CalculateParams();
    UpdateScrollRange();
    AdjustPage();
    Invalidate();
}

int TFileViewModel::ViewPort() const
{
    return std::max(1, layout.PageSize());
}

bool TFileViewModel::OnPage(int index) const
{
    return index >= TopIndex && TopIndex >= 0 && index <= GetPageEnd();
}

QRect TFileViewModel::ItemRect(const TFile *file) const
{
    if (!file || !OnPage(file->Index))
        return QRect();
    return layout.PositionRect(file->Index - TopIndex);
}

int TFileViewModel::GetItemAt(int x, int y) const
{
    const int p = layout.PositionAt(x, y);
    if (p < 0 || TopIndex < 0)
        return -1;
    const int index = TopIndex + p;
    return index <= GetPageEnd() ? index : -1;
}

int TFileViewModel::SelectAreaAt(int x, int y) const
{
    const int index = GetItemAt(x, y);
    if (index < 0 || layout.ViewStyle != vsList)
        return -1;
    return x % std::max(1, layout.ColumnWidth) < TFileLayout::SelectStripWidth ? index : -1;
}

int TFileViewModel::GetNameWidth(int limit)
{
    if (!measure)
        return 0;
    layout.Bind(Files, *measure, options);
    return layout.GetNameWidth(limit);
}

int TFileViewModel::GetExtWidth(int limit)
{
    if (!measure)
        return 0;
    layout.Bind(Files, *measure, options);
    return layout.GetExtWidth(limit);
}

int TFileViewModel::GetDriveWidth(int limit)
{
    if (!measure)
        return 0;
    layout.Bind(Files, *measure, options);
    return layout.GetDriveWidth(limit);
}

int TFileViewModel::SetFileNameWidth(int available)
{
    if (!measure)
        return 0;
    layout.Bind(Files, *measure, options);
    return layout.SetFileNameWidth(available);
}

// Properties --------------------------------------------------------------

template <typename T> void TFileViewModel::SetOption(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    Redraw();
}

void TFileViewModel::SetAttachExt(bool value)
{
    SetOption(options.AttachExt, value);
}
void TFileViewModel::SetCharCase(TCharCase value)
{
    SetOption(options.CharCase, value);
}
void TFileViewModel::SetLongName(bool value)
{
    SetOption(options.LongName, value);
}
void TFileViewModel::SetViewIcon(bool value)
{
    SetOption(options.ViewIcon, value);
}
void TFileViewModel::SetViewStyle(TViewStyle value)
{
    SetOption(options.ViewStyle, value);
}
void TFileViewModel::SetViewTitle(bool value)
{
    SetOption(options.ViewTitle, value);
}
void TFileViewModel::SetIconVSpacing(int value)
{
    SetOption(options.IconVSpacing, value);
}
void TFileViewModel::SetIconHSpacing(int value)
{
    SetOption(options.IconHSpacing, value);
}
void TFileViewModel::SetFocusStyle(TFocusStyle value)
{
    SetOption(focusStyle, value);
}
void TFileViewModel::SetFolderInfo(bool value)
{
    SetOption(folderInfo, value);
}
void TFileViewModel::SetViewColumnLine(bool value)
{
    SetOption(viewColumnLine, value);
}
void TFileViewModel::SetViewFileType(bool value)
{
    SetOption(viewFileType, value);
}

void TFileViewModel::SetAutoColumn(bool value)
{
    if (!value || options.AutoColumn)
        return;
    options.AutoColumn = true;
    options.FixedColumn = 0;
    Redraw();
}

void TFileViewModel::SetColumn(int count)
{
    count = std::max(count, 0);
    const bool automatic = count == 0;
    if (count == options.FixedColumn && automatic == options.AutoColumn)
        return;
    options.FixedColumn = count;
    options.AutoColumn = automatic;
    Redraw();
}

// Focus and paging --------------------------------------------------------

int TFileViewModel::GetPageEnd() const
{
    return std::min(std::max(TopIndex, 0) + ViewPort() - 1, Files.Count() - 1);
}

void TFileViewModel::AdjustPage()
{
    const int page = ViewPort();
    TopIndex = (std::max(FocusedIndex, 0) / page) * page;
    PageIndex = TopIndex / page;
    ScrollChanged();
}

void TFileViewModel::UpdateScrollRange()
{
    const int page = ViewPort();
    ScrollMax = std::max(0, (Files.Count() + page - 1) / page - 1);
    ScrollChanged();
}

void TFileViewModel::ScrollPos(int page)
{
    page = std::clamp(page, 0, ScrollMax);
    if (page == PageIndex && TopIndex >= 0)
        return;
    PageIndex = page;
    TopIndex = page * ViewPort();
    ScrollChanged();
    Invalidate();
}

void TFileViewModel::ScrollLines(int delta)
{
    ScrollPos(PageIndex + (delta > 0 ? 1 : -1));
}

void TFileViewModel::DrawMoveItem(int oldIndex, int newIndex)
{
    RedrawItem(oldIndex);
    RedrawItem(newIndex);
}

void TFileViewModel::SetFocused(int index)
{
    if (index == FocusedIndex || index < 0 || index >= Files.Count())
        return;
    const int old = FocusedIndex;
    FocusedIndex = index;
    if (!Files.Updating()) {
        if (!OnPage(index)) {
            AdjustPage();
            Invalidate();
        } else {
            DrawMoveItem(old, index);
        }
    }
    DoChange();
}

void TFileViewModel::SetItemFocused(const TFile *file)
{
    if (file)
        SetFocused(file->Index);
}

void TFileViewModel::DoChange()
{
    HideToolTip();
    const TFile *focused = GetItemFocused();
    if (focused && focused->NameClipped)
        ShowNameToolTip(FitCharCase(focused->GetFullName()));
    FocusChanged();
    if (OnChange)
        OnChange();
}

bool TFileViewModel::MoveFocus(int index)
{
    const int old = FocusedIndex;
    SetFocused(index);
    if (FocusedIndex == old)
        return false;
    EndQuickSearch();
    return true;
}

static int FirstOfKind(const TFiles &files, TFileKind kind)
{
    for (int i = 0; i < files.Count(); ++i) {
        if (files[i]->Kind() == kind)
            return i;
    }
    return -1;
}

static int LastOfKind(const TFiles &files, TFileKind kind)
{
    for (int i = files.Count() - 1; i >= 0; --i) {
        if (files[i]->Kind() == kind)
            return i;
    }
    return -1;
}

bool TFileViewModel::ArrowKey(int key, bool ctrl)
{
    const int count = Files.Count();
    const bool list = layout.ViewStyle == vsList;
    const int rows = layout.RowsPerPage;
    const int page = ViewPort();
    const int focus = FocusedIndex;
    const int pageEnd = GetPageEnd();
    int target = -1;
    switch (key) {
    case Qt::Key_Up:
        if (ctrl)
            return true;
        target = list ? focus - 1 : focus - layout.Column;
        break;
    case Qt::Key_Down:
        if (ctrl)
            return true;
        target = list ? focus + 1 : std::min(focus + layout.Column, count - 1);
        break;
    case Qt::Key_Left:
        target = list && focus - TopIndex >= rows ? focus - rows : focus - 1;
        break;
    case Qt::Key_Right:
        target = list && pageEnd - focus >= rows ? focus + rows : focus + 1;
        break;
    case Qt::Key_PageUp:
        if (ctrl)
            target = FirstOfKind(Files, fkFolder);
        else
            target = focus != TopIndex ? TopIndex : focus - page;
        break;
    case Qt::Key_PageDown:
        if (ctrl)
            target = LastOfKind(Files, fkFolder);
        else
            target = focus != pageEnd ? pageEnd : std::min(focus + page, count - 1);
        break;
    case Qt::Key_Home:
        target = ctrl ? FirstOfKind(Files, fkFile) : 0;
        break;
    case Qt::Key_End:
        target = ctrl ? LastOfKind(Files, fkFile) : count - 1;
        break;
    case Qt::Key_BracketLeft:
        target = FirstOfKind(Files, fkDrive);
        break;
    case Qt::Key_BracketRight:
        target = count - 1;
        break;
    default:
        return false;
    }
    if (count == 0)
        return true;
    // No focused entry (a named entry was not found): any key takes the first.
    if (focus < 0 || focus >= count) {
        MoveFocus(0);
        return true;
    }
    if (!OnPage(focus)) {
        AdjustPage();
        Invalidate();
        return true;
    }
    MoveFocus(target);
    return true;
}

// Quick search ------------------------------------------------------------

void TFileViewModel::DoFindChange(const QString &text)
{
    FindText = text;
    if (OnFindChange)
        OnFindChange(FindText);
}

void TFileViewModel::EndQuickSearch()
{
    if (!FindText.isEmpty())
        DoFindChange(QString());
}

static bool IsSearchChar(QChar c)
{
    const ushort code = c.unicode();
    if (code >= 128)
        return c.isPrint();
    return code >= 33 && code <= 126 && !QStringLiteral("\\/:*?\"<>|").contains(c);
}

void TFileViewModel::QuickSearch(const QString &typed)
{
    if (typed.isEmpty() || typed == QLatin1String("\r"))
        return;
    const bool backspace = typed == QLatin1String("\b");
    const bool search =
        backspace ? !FindText.isEmpty() : std::all_of(typed.begin(), typed.end(), IsSearchChar);
    if (!search) {
        if (!FindText.isEmpty())
            DoFindChange(QString());
        return;
    }
    if (backspace) {
        DoFindChange(FindText.chopped(1));
        if (FindText.isEmpty())
            return;
    } else if (typed == QLatin1String(".") && FindText.isEmpty()) {
        return;
    } else {
        DoFindChange(FindText + typed);
    }
    if (QuickSearch(FindText, true))
        return;
    if (!backspace && typed.size() < FindText.size()) {
        DoFindChange(typed);
        if (QuickSearch(FindText, false))
            return;
    }
    DoFindChange(QString());
}

bool TFileViewModel::QuickSearch(const QString &text, bool fromTop)
{
    const int count = Files.Count();
    if (count == 0)
        return false;
    // A found entry is also found by its own name, after the folders before it.
    auto matches = [&](int i) {
        const QString name = Files[i]->GetFullName();
        return name.startsWith(text, Qt::CaseInsensitive) ||
               (Files[i]->Kind() != fkDrive && QStringView(name)
                                                   .sliced(name.lastIndexOf(QLatin1Char('\\')) + 1)
                                                   .startsWith(text, Qt::CaseInsensitive));
    };
    if (fromTop) {
        for (int i = 0; i < count; ++i) {
            if (matches(i)) {
                SetFocused(i);
                return true;
            }
        }
        return false;
    }
    const int start = std::clamp(FocusedIndex, -1, count - 1);
    for (int step = 1; step < count + (start < 0 ? 1 : 0); ++step) {
        const int i = (start + step) % count;
        if (matches(i)) {
            SetFocused(i);
            return true;
        }
    }
    return false;
}

void TFileViewModel::FindNext()
{
    if (FindText.isEmpty())
        return;
    if (!QuickSearch(FindText, false))
        DoFindChange(QString());
}

// Selection ---------------------------------------------------------------

bool TFileViewModel::CanSelect(int index) const
{
    const TFile *file = Files.Get(index);
    return file && file->Kind() != fkDrive && !file->IsParent();
}

void TFileViewModel::FireChangeSelected(int index)
{
    SelectionChanged(index);
    if (OnChangeSelected)
        OnChangeSelected();
}

void TFileViewModel::Select(int index)
{
    if (!CanSelect(index) || Files[index]->Selected)
        return;
    Files[index]->Selected = true;
    ++SelCount;
    SelSize += Files[index]->Size;
    FireChangeSelected(index);
}

void TFileViewModel::Deselect(int index)
{
    TFile *file = Files.Get(index);
    if (!file || !file->Selected)
        return;
    file->Selected = false;
    --SelCount;
    SelSize -= file->Size;
    FireChangeSelected(index);
}

void TFileViewModel::ToggleSelect(int index)
{
    const TFile *file = Files.Get(index);
    if (!file)
        return;
    if (file->Selected)
        Deselect(index);
    else
        Select(index);
    RedrawItem(index);
}

void TFileViewModel::ResetSelection()
{
    SelCount = 0;
    SelSize = 0;
    for (int i = 0; i < Files.Count(); ++i) {
        if (Files[i]->Selected) {
            ++SelCount;
            SelSize += Files[i]->Size;
        }
    }
}

void TFileViewModel::SelectAll(bool withFolders)
{
    for (int i = 0; i < Files.Count(); ++i) {
        TFile &file = *Files[i];
        if (CanSelect(i) && (withFolders || file.Kind() != fkFolder))
            file.Selected = true;
    }
    ResetSelection();
    FireChangeSelected();
    Invalidate();
}

void TFileViewModel::DeselectAll(bool withFolders)
{
    for (int i = 0; i < Files.Count(); ++i) {
        TFile &file = *Files[i];
        if (file.Kind() != fkDrive && (withFolders || file.Kind() != fkFolder))
            file.Selected = false;
    }
    ResetSelection();
    FireChangeSelected();
    Invalidate();
}

void TFileViewModel::InvertSelection(bool withFolders)
{
    for (int i = 0; i < Files.Count(); ++i) {
        TFile &file = *Files[i];
        if (CanSelect(i) && (withFolders || file.Kind() != fkFolder))
            file.Selected = !file.Selected;
    }
    ResetSelection();
    FireChangeSelected();
    Invalidate();
}

// '*' any run, '?' one character, [a-c] one of a list; case ignored.
static QRegularExpression GroupMaskRegex(const QString &mask)
{
    QString pattern;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == QLatin1Char('*')) {
            pattern += QLatin1String(".*");
        } else if (c == QLatin1Char('?')) {
            pattern += QLatin1Char('.');
        } else if (c == QLatin1Char('[') && mask.indexOf(QLatin1Char(']'), i + 1) > i + 1) {
            const qsizetype close = mask.indexOf(QLatin1Char(']'), i + 1);
            QString set = mask.mid(i + 1, close - i - 1);
            set.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
            set.replace(QLatin1Char('^'), QLatin1String("\\^"));
            set.replace(QLatin1Char('['), QLatin1String("\\["));
            pattern += QLatin1Char('[') + set + QLatin1Char(']');
            i = close;
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption);
}

// Bytes of a name that were not UTF-8 are kept as lone surrogates, which the
// regular expression engine refuses as a subject. One replacement character
// each keeps every position, so '?' still counts them as one character.
static QString MatchableName(QString name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            ++i;
        else if (name[i].isSurrogate())
            name[i] = QChar::ReplacementCharacter;
    }
    return name;
}

void TFileViewModel::SelectGroup(const QString &masks, bool select)
{
    QList<QRegularExpression> patterns;
    for (const QString &mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QRegularExpression re = GroupMaskRegex(mask.trimmed());
        if (re.isValid())
            patterns.append(re);
    }
    for (int i = 0; i < Files.Count(); ++i) {
        TFile &file = *Files[i];
        if (file.Kind() != fkFile)
            continue;
        const QString name = MatchableName(file.GetFullName());
        const bool hit =
            std::any_of(patterns.begin(), patterns.end(),
                        [&](const QRegularExpression &re) { return re.match(name).hasMatch(); });
        if (hit)
            file.Selected = select;
    }
    ResetSelection();
    FireChangeSelected();
    Invalidate();
}

void TFileViewModel::SelectSameExt()
{
    const TFile *focused = GetItemFocused();
    if (!focused)
        return;
    const QString ext = focused->Ext;
    for (int i = 0; i < Files.Count(); ++i) {
        if (CanSelect(i) && Files[i]->Ext.compare(ext, Qt::CaseInsensitive) == 0)
            Files[i]->Selected = true;
    }
    ResetSelection();
    FireChangeSelected();
    Invalidate();
}

bool TFileViewModel::IsConsistent() const
{
    if (!Files.IsConsistent())
        return false;
    int count = 0;
    quint64 size = 0;
    for (int i = 0; i < Files.Count(); ++i) {
        const TFile &file = *Files[i];
        if (!file.Selected)
            continue;
        if (file.Kind() == fkDrive || file.IsParent())
            return false;
        ++count;
        size += file.Size;
    }
    return count == SelCount && size == SelSize;
}

void TFileViewModel::FilesChange()
{
    ResetSelection();
    ListingChanged();
    Redraw();
    if (OnFilesChange)
        OnFilesChange();
    FireChangeSelected();
}

// Keys and mouse ----------------------------------------------------------

bool TFileViewModel::KeyDown(int key, bool ctrl)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Open();
        return true;
    }
    if (key == Qt::Key_Space && !ctrl) {
        const int focus = FocusedIndex;
        ToggleSelect(focus);
        ArrowKey(layout.ViewStyle == vsList ? Qt::Key_Down : Qt::Key_Right, false);
        return true;
    }
    return ArrowKey(key, ctrl);
}

void TFileViewModel::SelectRange(int from, int to)
{
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
        Select(i);
        RedrawItem(i);
    }
}

void TFileViewModel::MouseDown(int x, int y, bool shift, bool ctrl)
{
    const int strip = SelectAreaAt(x, y);
    const int index = GetItemAt(x, y);
    dragAnchor = -1;
    if (index < 0)
        return;
    if (shift) {
        if (FocusedIndex >= 0)
            SelectRange(FocusedIndex, index);
    } else if (strip >= 0) {
        ToggleSelect(strip);
        dragAnchor = strip;
        dragEnd = strip;
    } else if (ctrl) {
        ToggleSelect(index);
    }
    SetFocused(index);
    EndQuickSearch();
}

void TFileViewModel::MouseMove(int x, int y)
{
    if (dragAnchor < 0)
        return;
    const int index = GetItemAt(x, y);
    if (index < 0 || index == dragEnd)
        return;
    const int low = std::min(dragAnchor, index);
    const int high = std::max(dragAnchor, index);
    // Entries the strip drag selected before and that are outside the new range.
    for (int i = std::min(dragAnchor, dragEnd); i <= std::max(dragAnchor, dragEnd); ++i) {
        if (i < low || i > high) {
            Deselect(i);
            RedrawItem(i);
        }
    }
    SelectRange(low, high);
    dragEnd = index;
}

void TFileViewModel::MouseUp()
{
    dragAnchor = -1;
}

void TFileViewModel::DblClick(int x, int y)
{
    const int index = GetItemAt(x, y);
    if (index < 0 || SelectAreaAt(x, y) >= 0)
        return;
    Open();
}

void TFileViewModel::SetTitle(const QString &text)
{
    if (Title == text)
        return;
    Title = text;
    InvalidateTitle();
}

QString TFileViewModel::TitleInfo() const
{
    return QStringLiteral("%1 (%2 bytes)")
        .arg(ItemCountText(Files.Count() - Files.CountKind(fkDrive)),
             ThousandsText(Files.TotalSize()));
}

} // namespace kestrel
