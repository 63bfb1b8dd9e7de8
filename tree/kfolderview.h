#pragma once
// The folder tree control. TCustomFolderView paints the tree of its model in
// columns (a first child on its parent's row, one column to the right) with
// the tree colours, and keeps the scroll bars; TKFolderView adds the keyboard,
// typing and the mouse.

#include "panel/kfileview.h"
#include "tree/foldertree.h"
#include "tree/treecolor.h"

#include <QPixmap>
#include <QWidget>

class QPainter;
class QScrollBar;

namespace kestrel {

class TCustomFolderView : public QWidget, public TFolderTree {
    Q_OBJECT
public:
    // Reads the tree colours from kestrel.col in the program's folder.
    explicit TCustomFolderView(QWidget *parent = nullptr);
    ~TCustomFolderView() override;

    TTreeColor Colors;
    QColor Color(TColorRef color) const;
    // The part of the control the tree is drawn in (without scroll bars).
    QRect TreeRect() const;
    // The rectangle of a node's display row within the tree part.
    QRect RowRect(int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

    void Invalidate() override;
    void RedrawItem(const TTreeItem *item) override;
    void ScrollChanged() override;
    void ShowLoadError(const QString &message) override;

private:
    void LayoutScrollBars();
    void DrawRow(QPainter &painter, int row, const TTreeItem *open);
    void DrawItem(QPainter &painter, const TTreeItem *item, const TTreeItem *open);
    void DrawButton(QPainter &painter, const TTreeItem *item, int x, int mid);
    void DrawHints(QPainter &painter, int row);
    // The name as drawn in a node's column, shortened to its room.
    QString ShownName(const TTreeItem *item) const;
    int NameRoom(const TTreeItem *item) const;
    QPixmap RootIcon() const;

    TFontMeasure fontMeasure;
    QScrollBar *vScroll;
    QScrollBar *hScroll;
    QPixmap folderIcon;
    QPixmap openFolderIcon;
    bool layingOut = false;
};

class TKFolderView : public TCustomFolderView {
    Q_OBJECT
public:
    explicit TKFolderView(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace kestrel
