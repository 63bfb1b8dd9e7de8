#include "panel/filelayout.h"

#include <algorithm>

namespace kestrel {

static int CeilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

void TFileLayout::CalculateParams(const TFiles &list, const TTextMeasure &m, int width, int height,
                                  const TLayoutOptions &opts)
{
    Bind(list, m, opts);
    ViewStyle = opts.ViewStyle;
    ListArea = QRect(0, opts.ViewTitle ? TitleHeight : 0, std::max(width, 1), 0);
    ListArea.setHeight(std::max(height - ListArea.top(), 1));
    const int areaWidth = ListArea.width();

    if (ViewStyle == vsIcon) {
        ItemHeight = opts.IconVSpacing + 32;
        Column = std::max(1, areaWidth / (opts.IconHSpacing + 32));
        ColumnWidth = areaWidth / Column;
        RowsPerPage = std::max(1, ListArea.height() / ItemHeight);
        return;
    }

    IconAreaWidth = opts.ViewIcon ? 28 : 8;
    const int textHeight = m.TextHeight();
    ItemHeight = textHeight + 4;
    if (opts.ViewIcon)
        ItemHeight = std::max(ItemHeight, 18);
    TextOffset = (ItemHeight - textHeight) / 2;
    // A window shorter than one row still shows one (clipped) row.
    RowsPerPage = std::max(1, ListArea.height() / ItemHeight);

    const bool fixed = !opts.AutoColumn && opts.FixedColumn > 0;
    int available = areaWidth - (IconAreaWidth + 6);
    if (fixed) {
        Column = opts.FixedColumn;
        ColumnWidth = areaWidth / Column;
        available = ColumnWidth - (IconAreaWidth + 6);
    }
    available = std::max(available, 0);
    DriveWidth = GetDriveWidth(available);
    NameBlock = SetFileNameWidth(available);

    if (!fixed) {
        const int fit = areaWidth / std::max(1, NameBlock + IconAreaWidth + 6);
        const int needed = CeilDiv(list.Count(), RowsPerPage);
        const int half = CeilDiv(needed, 2);
        if (fit >= needed)
            Column = needed;
        else if (fit <= half)
            Column = fit;
        else
            Column = half;
        Column = std::max(Column, 1);
    }
    ColumnWidth = areaWidth / Column;
    ChooseDetails(ColumnWidth - (IconAreaWidth + NameBlock + 6));
}

void TFileLayout::Bind(const TFiles &list, const TTextMeasure &m, const TLayoutOptions &opts)
{
    files = &list;
    measure = &m;
    options = opts;
    W0 = m.TextWidth(QStringLiteral("0"));
    S7 = m.TextWidth(QStringLiteral("000,000"));
    S10 = m.TextWidth(QStringLiteral("00,000,000"));
    D = m.TextWidth(QStringLiteral("0000-00-00"));
    T = m.TextWidth(QStringLiteral("00:00"));
    A = m.TextWidth(QStringLiteral("ARHS"));
}

void TFileLayout::ChooseDetails(int spare)
{
    DetailSize = spare >= W0 + S7 ? 1 : 0;
    DetailDate = spare >= 2 * W0 + S7 + D;
    DetailTime = spare >= 3 * W0 + S7 + D + T;
    DetailAttr = false;
    DetailWide = false;
    if (spare < 4 * W0 + S7 + D + T + 10 * W0)
        DetailAttr = spare >= 4 * W0 + S7 + D + T + A;
    else
        DetailWide = true;
    if ((spare >= 2 * W0 + S10 + D && spare < 3 * W0 + S7 + D + T) ||
        (spare >= W0 + S10 && spare < 2 * W0 + S7 + D))
        DetailSize = 2;
}

QRect TFileLayout::PositionRect(int p) const
{
    int column = 0;
    int row = 0;
    if (ViewStyle == vsList) {
        column = p / RowsPerPage;
        row = p % RowsPerPage;
    } else {
        column = p % Column;
        row = p / Column;
    }
    return QRect(column * ColumnWidth, ListArea.top() + row * ItemHeight, ColumnWidth, ItemHeight);
}

int TFileLayout::PositionAt(int x, int y) const
{
    if (y < ListArea.top() || x < 0 || ColumnWidth <= 0 || ItemHeight <= 0)
        return -1;
    const int column = x / ColumnWidth;
    const int row = (y - ListArea.top()) / ItemHeight;
    if (column >= Column || row >= RowsPerPage)
        return -1;
    return ViewStyle == vsList ? column * RowsPerPage + row : row * Column + column;
}

int TFileLayout::GetNameWidth(int limit) const
{
    int widest = 0;
    for (int i = 0; i < files->Count(); ++i) {
        const TFile &file = *(*files)[i];
        if (file.Kind() == fkDrive)
            continue;
        const QString shown = options.AttachExt ? file.GetFullName() : file.Name;
        widest = std::max(widest,
                          measure->TextWidth(PrintableText(FitCharCase(shown, options.CharCase))));
        if (widest > limit)
            return limit;
    }
    return widest;
}

int TFileLayout::GetExtWidth(int limit) const
{
    int widest = 0;
    for (int i = 0; i < files->Count(); ++i) {
        const TFile &file = *(*files)[i];
        if (file.Kind() != fkFile)
            continue;
        widest = std::max(
            widest, measure->TextWidth(PrintableText(FitCharCase(file.Ext, options.CharCase))));
        if (widest > limit)
            return limit;
    }
    return widest;
}

int TFileLayout::GetDriveWidth(int limit) const
{
    int widest = 0;
    for (int i = 0; i < files->Count(); ++i) {
        const TFile &file = *(*files)[i];
        if (file.Kind() != fkDrive)
            continue;
        const QString shown = DriveRowText(file.Name, FitCharCase(file.Ext, options.CharCase));
        widest = std::max(widest, measure->TextWidth(PrintableText(shown)));
        if (widest > limit)
            return limit;
    }
    return widest;
}

int TFileLayout::SetFileNameWidth(int available)
{
    const int shortName = measure->TextWidth(QStringLiteral("WWWWAAAA"));
    const int shortFull = measure->TextWidth(QStringLiteral("WWWWAAAA.WWW"));
    if (options.AttachExt) {
        ExtWidth = 0;
        NameWidth = options.LongName
                        ? std::min(std::max(GetNameWidth(available), shortFull), available)
                        : std::min(shortFull, available);
        return NameWidth;
    }
    const int rest = std::max(available - W0, 0);
    const int nameRoom = int(0.7 * rest);
    const int extRoom = int(0.3 * rest);
    if (options.LongName) {
        NameWidth = std::min(std::max(GetNameWidth(nameRoom), shortName), nameRoom);
        ExtWidth = GetExtWidth(extRoom);
    } else {
        NameWidth = std::min(shortName, nameRoom);
        ExtWidth = std::min(measure->TextWidth(QStringLiteral("WWW")), extRoom);
    }
    return NameWidth + W0 + ExtWidth;
}

} // namespace kestrel
