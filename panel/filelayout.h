#pragma once
// TFileLayout: the panel's geometry without painting. From the client size,
// the listing and the text widths of the panel font it computes the column
// count, row height and widths of the name and detail fields, and places the
// entries of a page in newspaper columns (list view) or rows (icon view).

#include "panel/file.h"
#include "panel/filetexts.h"

#include <QRect>

namespace kestrel {

enum TViewStyle { vsList = 0, vsIcon = 1 };

// Text measurement in the panel font; the widget gives the real font's
// metrics, tests a fixed-width one.
class TTextMeasure {
public:
    virtual ~TTextMeasure() = default;
    virtual int TextWidth(const QString &text) const = 0;
    virtual int TextHeight() const = 0; // height of "Ag"
};

struct TLayoutOptions {
    TViewStyle ViewStyle = vsList;
    bool ViewTitle = true;
    bool ViewIcon = true;
    bool AutoColumn = true;
    int FixedColumn = 0; // used when AutoColumn is off
    bool AttachExt = false;
    bool LongName = true;
    TCharCase CharCase = ccUpper;
    int IconVSpacing = 43;
    int IconHSpacing = 43;
};

class TFileLayout {
public:
    static constexpr int TitleHeight = 25; // 24-pixel strip and its closing line
    static constexpr int SelectStripWidth = 10;

    void CalculateParams(const TFiles &files, const TTextMeasure &measure, int width, int height,
                         const TLayoutOptions &options);
    // Takes the listing, font and options the width functions below measure
    // with, and the sample widths.
    void Bind(const TFiles &files, const TTextMeasure &measure, const TLayoutOptions &options);

    int PageSize() const { return Column * RowsPerPage; }
    // Rectangle of the page position p (0 = the page's first entry).
    QRect PositionRect(int p) const;
    // Page position under the point, -1 above the list area or outside a cell.
    int PositionAt(int x, int y) const;

    // Widest shown name (or extension, or drive text), stopping at the limit.
    int GetNameWidth(int limit) const;
    int GetExtWidth(int limit) const;
    int GetDriveWidth(int limit) const;
    // Sets NameWidth and ExtWidth for the available width; returns the block.
    int SetFileNameWidth(int available);

    TViewStyle ViewStyle = vsList;
    QRect ListArea;
    int ItemHeight = 0;
    int ColumnWidth = 0;
    int RowsPerPage = 1;
    int Column = 1;
    int IconAreaWidth = 0;
    int NameWidth = 0;
    int ExtWidth = 0;
    int NameBlock = 0;
    int DriveWidth = 0;
    int TextOffset = 0;
    // Sample widths: "0", "000,000", "00,000,000", "0000-00-00", "00:00", "ARHS".
    int W0 = 0, S7 = 0, S10 = 0, D = 0, T = 0, A = 0;
    // Detail flags: size 0 none, 1 short, 2 wide.
    int DetailSize = 0;
    bool DetailDate = false;
    bool DetailTime = false;
    bool DetailAttr = false;
    bool DetailWide = false;

private:
    void ChooseDetails(int spare);

    const TFiles *files = nullptr;
    const TTextMeasure *measure = nullptr;
    TLayoutOptions options;
};

} // namespace kestrel
