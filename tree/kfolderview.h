#pragma once
// The folder tree control. TCustomFolderView paints the tree of its model in
// columns (a first child on its parent's row, one column to the right) with
// the tree colours, and keeps the scroll bars; TKFolderView adds the keyboard,
// typing and the mouse.

#include "panel/kfileview.h"
#include "tree/foldertree.h"
#include "tree/treecolor.h"
#include "widgets/accessiblerows.h"

#include <QPixmap>
#include <QWidget>

class QPainter;
class QScrollBar;

namespace kestrel {

class TCustomFolderView : public QWidget, public TFolderTree, public TAccessibleRows {
    Q_OBJECT
public:
    // Reads the tree colours from kestrel.col in the program's folder.
    explicit TCustomFolderView(QWidget *parent = nullptr);
    ~TCustomFolderView() override;

    TTreeColor Colors;
    QColor Color(TColorRef color) const;
    // The part of the control the tree is drawn in (without scroll bars).
    QRect TreeRect() const;
    // The rectangle of a display row within the tree part.
    QRect LineRect(int row) const;

    // Screen readers see a tree whose rows are the visible folders in
    // order, each named by its name and described by its full path
    // (folderviewaccess.cpp).
    int RowCount() const override;
    QString RowName(int row) const override;
    QString RowDescription(int row) const override;
    QRect RowRect(int row) const override;
    int FocusedRow() const override;
    int RowAt(const QPoint &pos) const override;
    bool RowSelected(int row) const override;
    bool RowSelectable(int row) const override;
    void FocusRow(int row) override;
    QString RowsName() const override;
    QString RowsDescription() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

    void Invalidate() override;
    void RedrawItem(const TTreeItem *item) override;
    void ScrollChanged() override;
    void ShowLoadError(const QString &message) override;
    void ItemsChanged() override;
    void FocusChanged() override;
    void ItemDeleting(TTreeItem *item) override;
    void ItemsClearing() override;

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

    // The visible folders in order, made when a screen reader asks.
    const std::vector<TTreeItem *> &VisibleNodes() const;
    TTreeItem *NodeOfRow(int row) const;
    int RowOfNode(const TTreeItem *item) const;

    mutable std::vector<TTreeItem *> visibleNodes;
    mutable bool visibleNodesValid = false;
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
