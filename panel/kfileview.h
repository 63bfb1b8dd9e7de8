#pragma once
// The file panel widget. TCustomFileView paints the listing of its model
// (newspaper columns or large icons, the title strip), keeps the scroll bar
// and the name tool tip, and shows its entries to screen readers as a list;
// TKFileView adds the keyboard and mouse.

#include "panel/colorlist.h"
#include "panel/filelisting.h"
#include "widgets/accessiblerows.h"

#include <QFontMetrics>
#include <QHash>
#include <QTimer>
#include <QWidget>

class QPainter;
class QScrollBar;

namespace kestrel {

class TFontMeasure : public TTextMeasure {
public:
    explicit TFontMeasure(const QFont &font) : metrics(font) {}
    int TextWidth(const QString &text) const override { return metrics.horizontalAdvance(text); }
    int TextHeight() const override { return metrics.height(); }

private:
    QFontMetrics metrics;
};

class TCustomFileView : public QWidget, public TFileListing, public TAccessibleRows {
    Q_OBJECT
public:
    explicit TCustomFileView(QWidget *parent = nullptr);
    ~TCustomFileView() override;

    TColorList &Colors() { return colors; }
    // Loads a colour set file when it exists; otherwise nothing changes.
    void SetColorFile(const QString &path);
    QColor Color(int index) const;
    // The text shortened with "~" so that it fits the width.
    QString ShortenText(const QString &text, int width, bool &clipped) const;
    int TextWidth(const QString &text) const { return fontMeasure.TextWidth(text); }
    QRect ListRect() const;

    void DrawTitle(QPainter &painter);
    void DrawListItem(QPainter &painter, TFile &file, const QRect &rect);
    void DrawIconItem(QPainter &painter, TFile &file, const QRect &rect);
    void RedrawItem(int index) override;
    // Shows the prepared name tool tip over the focused row (the timer's tick).
    void ToolTipTimer();

    // The entries as a screen reader reads them (fileviewaccess.cpp).
    int RowCount() const override { return Files.Count(); }
    QString RowName(int row) const override;
    QString RowDescription(int row) const override;
    QRect RowRect(int row) const override { return ItemRect(Files.Get(row)); }
    int FocusedRow() const override;
    int RowAt(const QPoint &pos) const override { return GetItemAt(pos.x(), pos.y()); }
    bool RowSelected(int row) const override;
    bool RowSelectable(int row) const override { return CanSelect(row); }
    void FocusRow(int row) override { SetFocused(row); }
    QString RowsName() const override { return Title; }
    QString RowsDescription() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

    void Invalidate() override;
    void InvalidateTitle() override;
    void ScrollChanged() override;
    void ShowNameToolTip(const QString &name) override;
    void HideToolTip() override;
    void ListingChanged() override;
    void FocusChanged() override;
    void SelectionChanged(int index) override;

private:
    void DrawSizeField(QPainter &painter, const TFile &file, const QRect &field, bool focused,
                       const QColor &textColor);
    void DrawCheck(QPainter &painter, const QRect &rect, const QColor &color) const;
    // Free and total space of a drive in MB; empty when not known.
    QStringList DriveSpaceTexts(const TFile &drive);
    QIcon EntryIcon(TFile &file);
    // Name and extension as shown: 8.3 names when long names are off, the
    // case applied; the extension is empty for an attached one.
    void ShownName(const TFile &file, QString &name, QString &ext) const;

    TColorList colors;
    TFontMeasure fontMeasure;
    QScrollBar *scrollBar;
    QTimer toolTipTimer;
    QString toolTipText;
    QHash<QString, QStringList> driveSpace; // per drive, for the current listing
};

class TKFileView : public TCustomFileView {
    Q_OBJECT
public:
    explicit TKFileView(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace kestrel
