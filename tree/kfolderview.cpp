#include "tree/kfolderview.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/drives.h"
#include "platform/shell.h"
#include "text/strings.h"
#include "tree/treeinfo.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace kestrel {

namespace {

// A name longer than this is never drawn whole; shortening a huge one (from
// a hostile tree file) would measure all of it.
constexpr qsizetype longestShownName = 400;

QPixmap StandardPixmap(const QWidget *widget, QStyle::StandardPixmap which)
{
    return widget->style()->standardIcon(which, nullptr, widget).pixmap(16, 16);
}

} // namespace

TCustomFolderView::TCustomFolderView(QWidget *parent)
    : QWidget(parent), TAccessibleRows(this, QAccessible::Tree), fontMeasure(font()), vScroll(new QScrollBar(Qt::Vertical, this)),
      hScroll(new QScrollBar(Qt::Horizontal, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMinimumSize(100, 60);
    Colors = LoadTreeColors(sys::JoinPath(sys::ProgramDir(), QStringLiteral("kestrel.col")));
    folderIcon = StandardPixmap(this, QStyle::SP_DirIcon);
    openFolderIcon = StandardPixmap(this, QStyle::SP_DirOpenIcon);
    vScroll->hide();
    hScroll->hide();
    connect(vScroll, &QScrollBar::valueChanged, this, [this](int row) { SetScrollPos(row); });
    connect(hScroll, &QScrollBar::valueChanged, this,
            [this](int column) { SetLeftColumn(column); });
    SetMeasure(&fontMeasure, font().pointSize());
}

TCustomFolderView::~TCustomFolderView()
{
    Items.OnChange = nullptr;
}

QColor TCustomFolderView::Color(TColorRef color) const
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QRect TCustomFolderView::TreeRect() const
{
    // Hidden, not visible: a control not shown yet still lays out its bars.
    return QRect(0, 0, width() - (vScroll->isHidden() ? 0 : vScroll->width()),
                 height() - (hScroll->isHidden() ? 0 : hScroll->height()));
}

QRect TCustomFolderView::LineRect(int row) const
{
    return QRect(0, (row - TopRow) * RowHeight, TreeRect().width(), RowHeight);
}

// Repaint hooks -------------------------------------------------------------

void TCustomFolderView::Invalidate()
{
    update();
}

void TCustomFolderView::RedrawItem(const TTreeItem *item)
{
    // The whole row: the focused row also shows the path of its folder.
    if (item)
        update(LineRect(item->Row).intersected(TreeRect()));
}

void TCustomFolderView::ScrollChanged()
{
    LayoutScrollBars();
}

void TCustomFolderView::ShowLoadError(const QString &message)
{
    Ask().MessageBox(this, AboutObject(TreeFile(), message), LoadStr(512), MB_OK | MB_ICONERROR);
}

void TCustomFolderView::LayoutScrollBars()
{
    if (layingOut)
        return;
    layingOut = true;
    // A scroll bar shown takes room, which may call for the other one.
    bool vertical = !vScroll->isHidden();
    bool horizontal = !hScroll->isHidden();
    for (int pass = 0; pass < 3; ++pass) {
        SetClientSize(width() - (vertical ? vScroll->sizeHint().width() : 0),
                      height() - (horizontal ? hScroll->sizeHint().height() : 0));
        const bool needVertical = VScrollMax() > 0;
        const bool needHorizontal = HScrollMax() > 0;
        if (needVertical == vertical && needHorizontal == horizontal)
            break;
        vertical = needVertical;
        horizontal = needHorizontal;
    }
    const int barWidth = vScroll->sizeHint().width();
    const int barHeight = hScroll->sizeHint().height();
    vScroll->setGeometry(width() - barWidth, 0, barWidth, height() - (horizontal ? barHeight : 0));
    hScroll->setGeometry(0, height() - barHeight, width() - (vertical ? barWidth : 0), barHeight);
    {
        const QSignalBlocker blockV(vScroll);
        const QSignalBlocker blockH(hScroll);
        vScroll->setRange(0, VScrollMax());
        vScroll->setPageStep(VisibleRows);
        vScroll->setValue(TopRow);
        hScroll->setRange(0, HScrollMax());
        hScroll->setPageStep(std::max(1, VisibleColumns));
        hScroll->setValue(LeftColumn);
    }
    vScroll->setVisible(vertical);
    hScroll->setVisible(horizontal);
    layingOut = false;
}

// Qt events ----------------------------------------------------------------

void TCustomFolderView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutScrollBars();
    update();
}

void TCustomFolderView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fontMeasure = TFontMeasure(font());
        SetMeasure(&fontMeasure, font().pointSize());
        Redraw();
    }
}

void TCustomFolderView::wheelEvent(QWheelEvent *event)
{
    // The tree moves by keys and scroll bars only.
    event->ignore();
}

// Painting -----------------------------------------------------------------

int TCustomFolderView::NameRoom(const TTreeItem *item) const
{
    return std::max(0, ItemWidth(item) - 20);
}

QString TCustomFolderView::ShownName(const TTreeItem *item) const
{
    const QString name = item->Name.left(longestShownName);
    return fontMetrics().elidedText(name, Qt::ElideRight, NameRoom(item));
}

QPixmap TCustomFolderView::RootIcon() const
{
    switch (sys::GetDriveType(DriveRoot(GetRootName()))) {
    case sys::DRIVE_REMOVABLE:
        return StandardPixmap(this, QStyle::SP_DriveFDIcon);
    case sys::DRIVE_REMOTE:
        return StandardPixmap(this, QStyle::SP_DriveNetIcon);
    case sys::DRIVE_CDROM:
        return StandardPixmap(this, QStyle::SP_DriveCDIcon);
    default:
        return StandardPixmap(this, QStyle::SP_DriveHDIcon);
    }
}

void TCustomFolderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = TreeRect();
    painter.fillRect(area, Color(Colors.Back));
    if (!vScroll->isHidden() && !hScroll->isHidden())
        painter.fillRect(QRect(area.right() + 1, area.bottom() + 1, width(), height()),
                         palette().window());
    if (Loading || Items.Updating() || !Items.Root())
        return;
    painter.setClipRect(area.intersected(event->rect()));
    painter.setFont(font());
    const QString openFolder = OpenFolder();
    const TTreeItem *open = openFolder.isEmpty() ? nullptr : Items.FindItem(openFolder);
    const int first = TopRow + std::max(0, event->rect().top()) / RowHeight;
    const int last = std::min(RowCount() - 1, TopRow + event->rect().bottom() / RowHeight);
    for (int row = first; row <= last; ++row)
        DrawRow(painter, row, open);
}

void TCustomFolderView::DrawRow(QPainter &painter, int row, const TTreeItem *open)
{
    const TTreeItem *first = RowItem(row);
    if (!first)
        return;
    const QRect rect = LineRect(row);
    painter.setPen(Color(Colors.Line));
    // Sibling lines of the folders above that go on below this row.
    for (const TTreeItem *above = first->Parent; above && above->Parent; above = above->Parent) {
        if (above->Next) {
            const int x = GetItemPos(above).x() - 7;
            painter.drawLine(x, rect.top(), x, rect.bottom());
        }
    }
    for (const TTreeItem *item = first; item && item->Row == row; item = item->GetNextVisible())
        DrawItem(painter, item, open);
    if (Focused() && Focused()->Row == row)
        DrawHints(painter, row);
}

void TCustomFolderView::DrawItem(QPainter &painter, const TTreeItem *item, const TTreeItem *open)
{
    const QPoint pos = GetItemPos(item);
    const int x = pos.x();
    const int top = pos.y();
    const int mid = top + RowHeight / 2;
    const int bottom = top + RowHeight - 1;
    painter.setPen(Color(Colors.Line));
    if (item->Parent) {
        if (item->IsFirstChild()) {
            // From the end of the parent's name, on the same row.
            const QPoint parentPos = GetItemPos(item->Parent);
            const int from =
                parentPos.x() + 20 + fontMetrics().horizontalAdvance(ShownName(item->Parent));
            painter.drawLine(std::min(from, x - 7), mid, x - 2, mid);
        } else {
            painter.drawLine(x - 7, top, x - 7, mid);
            painter.drawLine(x - 7, mid, x - 2, mid);
        }
        if (item->Next)
            painter.drawLine(x - 7, mid, x - 7, bottom);
    }
    if (item->FirstChild)
        DrawButton(painter, item, x, mid);

    const bool focused = item == Focused();
    const QPixmap icon = !item->Parent ? RootIcon() : focused ? openFolderIcon : folderIcon;
    painter.drawPixmap(x, top + (RowHeight - 16) / 2, icon);

    const QString name = ShownName(item);
    const int textX = x + 18;
    const int textWidth = fontMetrics().horizontalAdvance(name);
    const QRect textRect(textX, top + TextTop, textWidth + 4, RowHeight - 2 * TextTop);
    QColor textColor = Color(item == open ? Colors.Open : Colors.Normal);
    if (focused) {
        const QRect bar(textX - 1, top + 1, textWidth + 6, RowHeight - 2);
        painter.fillRect(bar, Color(item == open ? Colors.Open : Colors.Focus));
        painter.setPen(Color(Colors.Line));
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
        textColor = Color(Colors.Back);
    }
    painter.setPen(textColor);
    painter.drawText(textRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
}

void TCustomFolderView::DrawButton(QPainter &painter, const TTreeItem *item, int x, int mid)
{
    const QRect box(x - 12, mid - 4, 9, 9);
    painter.fillRect(box, Color(Colors.Back));
    painter.setPen(Color(Colors.Line));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(Color(Colors.Normal));
    painter.drawLine(box.left() + 2, mid, box.right() - 2, mid);
    if (!item->Expanded)
        painter.drawLine(box.left() + 4, box.top() + 2, box.left() + 4, box.bottom() - 2);
}

void TCustomFolderView::DrawHints(QPainter &painter, int row)
{
    // The focused folder's path, readable on its own row: each folder above
    // it that lies on another row shows its name in its own column.
    painter.setPen(Color(Colors.Hint));
    const QRect rect = LineRect(row);
    for (const TTreeItem *above = Focused()->Parent; above; above = above->Parent) {
        if (above->Row == row)
            continue;
        const int x = GetItemPos(above).x() + 20;
        painter.drawText(QRect(x, rect.top() + TextTop, NameRoom(above), RowHeight - 2 * TextTop),
                         Qt::AlignLeft | Qt::AlignVCenter, ShownName(above));
    }
}

// TKFolderView -----------------------------------------------------------------

TKFolderView::TKFolderView(QWidget *parent) : TCustomFolderView(parent) {}

void TKFolderView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::AltModifier) {
        event->ignore();
        return;
    }
    const bool shift = mods & Qt::ShiftModifier;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (OnSelect)
            OnSelect();
        return;
    }
    if (ArrowKey(key, shift, mods & Qt::ControlModifier))
        return;
    const QString text = event->text();
    // Shift with a letter belongs to the window (it switches drives).
    if (text.isEmpty() || (shift && key >= Qt::Key_A && key <= Qt::Key_Z)) {
        event->ignore();
        return;
    }
    if (text.size() == 1)
        KeyChar(text[0], shift);
    else
        ComposedText(text);
}

void TKFolderView::inputMethodEvent(QInputMethodEvent *event)
{
    ComposedText(event->commitString());
    event->accept();
}

void TKFolderView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    MouseDown(at.x(), at.y());
}

void TKFolderView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        DblClick();
}

} // namespace kestrel
