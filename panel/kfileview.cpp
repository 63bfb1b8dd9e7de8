#include "panel/kfileview.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/shellicons.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>

namespace kestrel {

static QColor Blend(const QColor &a, const QColor &b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

// Pixels per point of what the painter really draws on: the window's
// backing store on a 2x screen, or an image a widget is rendered into.
static qreal TargetRatio(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    return engine && engine->paintDevice() ? engine->paintDevice()->devicePixelRatioF()
                                           : painter.device()->devicePixelRatioF();
}

static QColor FromColorRef(TColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TCustomFileView::TCustomFileView(QWidget *parent)
    : QWidget(parent), TAccessibleRows(this, QAccessible::List), fontMeasure(font()),
      scrollBar(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(1);
    connect(scrollBar, &QScrollBar::valueChanged, this, [this](int page) { ScrollPos(page); });
    toolTipTimer.setSingleShot(true);
    toolTipTimer.setInterval(500);
    connect(&toolTipTimer, &QTimer::timeout, this, &TCustomFileView::ToolTipTimer);
    OnShellOpen = [](const QString &path) { return sys::ShellOpen(path); };
    SetMeasure(&fontMeasure);
}

TCustomFileView::~TCustomFileView()
{
    Files.OnChange = nullptr;
}

void TCustomFileView::SetColorFile(const QString &path)
{
    if (sys::GetFileAttributes(path) == sys::INVALID_FILE_ATTRIBUTES)
        return;
    colors.LoadFromFile(path);
    update();
}

QColor TCustomFileView::Color(int index) const
{
    return FromColorRef(colors.GetColor(index));
}

QRect TCustomFileView::ListRect() const
{
    return QRect(0, 0, width() - scrollBar->width(), height());
}

QString TCustomFileView::ShortenText(const QString &text, int width, bool &clipped) const
{
    clipped = false;
    if (fontMeasure.TextWidth(text) <= width)
        return text;
    clipped = true;
    // The longest prefix that fits, its last character replaced by "~"; a
    // surrogate pair is never split.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fontMeasure.TextWidth(text.left(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && text[low - 1].isHighSurrogate())
        --low;
    if (low == 0)
        return QString();
    qsizetype last = low - 1;
    if (last > 0 && text[last].isLowSurrogate() && text[last - 1].isHighSurrogate())
        --last;
    return text.left(last) + QLatin1Char('~');
}

// Repaint hooks -----------------------------------------------------------

void TCustomFileView::Invalidate()
{
    update();
}

void TCustomFileView::InvalidateTitle()
{
    if (ViewTitle())
        update(0, 0, width(), TFileLayout::TitleHeight);
}

void TCustomFileView::RedrawItem(int index)
{
    const QRect rect = ItemRect(Files.Get(index));
    if (!rect.isEmpty())
        update(rect);
}

void TCustomFileView::ScrollChanged()
{
    const QSignalBlocker block(scrollBar);
    scrollBar->setRange(0, ScrollMax);
    scrollBar->setValue(PageIndex);
    scrollBar->setEnabled(ScrollMax > 0);
}

void TCustomFileView::ShowNameToolTip(const QString &name)
{
    toolTipText = PrintableText(name);
    toolTipTimer.start();
}

// The text broken into lines no wider than width (a pair of surrogates kept
// together): a name has no blanks to wrap at, and a tip wider than the
// screen cannot be read.
static QString LinesWithin(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines(QString{});
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, n);
        if (!lines.last().isEmpty() && metrics.horizontalAdvance(lines.last() + piece) > width)
            lines.append(QString());
        lines.last() += piece;
        i += n - 1;
    }
    return lines.join(QLatin1Char('\n'));
}

void TCustomFileView::ToolTipTimer()
{
    toolTipTimer.stop();
    const QRect rect = ItemRect(GetItemFocused());
    if (rect.isEmpty() || toolTipText.isEmpty())
        return;
    const QPoint at = mapToGlobal(rect.topLeft());
    const QScreen *where = screen()->virtualSiblingAt(at);
    const int room = (where ? where : screen())->availableGeometry().width() - 32;
    QString tip = LinesWithin(toolTipText, QFontMetrics(QToolTip::font()), room);
    // A name that looks like markup is shown as it is written.
    if (Qt::mightBeRichText(tip))
        tip = Qt::convertFromPlainText(tip, Qt::WhiteSpaceNoWrap);
    QToolTip::showText(at, tip, this, rect);
}

void TCustomFileView::HideToolTip()
{
    toolTipTimer.stop();
    QToolTip::hideText();
}

void TCustomFileView::ListingChanged()
{
    driveSpace.clear();
    AccessibleRowsReplaced();
}

// Events ------------------------------------------------------------------

void TCustomFileView::resizeEvent(QResizeEvent *)
{
    const int barWidth = scrollBar->sizeHint().width();
    scrollBar->setGeometry(width() - barWidth, 0, barWidth, height());
    SetClientSize(width() - barWidth, height());
}

void TCustomFileView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        fontMeasure = TFontMeasure(font());
        Redraw();
    }
    QWidget::changeEvent(event);
}

void TCustomFileView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // A screen reader reads the focused entry, not just "list".
    AccessibleFocusMoved();
}

void TCustomFileView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0)
        ScrollLines(delta > 0 ? -1 : 1);
    event->accept();
}

// Painting ----------------------------------------------------------------

void TCustomFileView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = ListRect();
    // Only the rows in the update region are drawn: a focus move within the
    // page asks for two rows, which may lie far apart.
    const QRegion dirty = event->region();
    for (const QRect &rect : dirty)
        painter.fillRect(rect, Color(ciBack));
    if (ViewTitle() && event->rect().top() < TFileLayout::TitleHeight)
        DrawTitle(painter);
    if (Files.Count() == 0 || TopIndex < 0)
        return;
    painter.setClipRegion(dirty & area);
    for (int i = TopIndex; i <= GetPageEnd(); ++i) {
        TFile &file = *Files[i];
        const QRect rect = ItemRect(&file);
        if (!dirty.intersects(rect))
            continue;
        if (ViewStyle() == vsList)
            DrawListItem(painter, file, rect);
        else
            DrawIconItem(painter, file, rect);
    }
    if (ViewStyle() == vsList && ViewColumnLine()) {
        painter.setPen(Color(ciLine));
        const TFileLayout &l = Layout();
        for (int c = 1; c < l.Column; ++c)
            painter.drawLine(c * l.ColumnWidth - 1, l.ListArea.top(), c * l.ColumnWidth - 1,
                             area.bottom());
    }
}

void TCustomFileView::DrawTitle(QPainter &painter)
{
    const int w = ListRect().width();
    // Drawn at the resolution painted on: a strip made at one pixel per
    // point would be stretched, blurred, on a 2x screen.
    const int stripHeight = TFileLayout::TitleHeight - 1;
    const qreal ratio = TargetRatio(painter);
    QPixmap strip(QSize(std::max(w, 1), stripHeight) * ratio);
    strip.setDevicePixelRatio(ratio);
    strip.fill(Color(ciBack));
    QPainter p(&strip);
    QString title = Title;
    QString info = TitleInfo();
    bool handled = false;
    if (OnDrawTitle)
        OnDrawTitle(title, handled, info);
    if (!handled) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(Color(ciTitle));
        const QRect textRect(6, 0, std::max(0, w - 70), stripHeight);
        title = PrintableText(title);
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, title);
        const int titleWidth = QFontMetrics(bold).horizontalAdvance(title);
        p.setFont(font());
        p.setPen(Color(ciNormal));
        p.drawText(textRect.adjusted(titleWidth, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral(" - ") + info);
    }
    // Right end: sort letter and arrow, column count, hidden mark.
    static const char sortLetters[] = "NESTO";
    const int mid = stripHeight / 2;
    p.setFont(font());
    p.setPen(Color(ciNormal));
    p.drawText(QRect(w - 30, 0, 10, stripHeight), Qt::AlignCenter,
               QString(QLatin1Char(sortLetters[SortType()])));
    QPainterPath arrow;
    if (Descend()) {
        arrow.moveTo(w - 19, mid - 3);
        arrow.lineTo(w - 11, mid - 3);
        arrow.lineTo(w - 15, mid + 3);
    } else {
        arrow.moveTo(w - 19, mid + 3);
        arrow.lineTo(w - 11, mid + 3);
        arrow.lineTo(w - 15, mid - 3);
    }
    arrow.closeSubpath();
    p.fillPath(arrow, Color(ciNormal));
    p.drawText(QRect(w - 46, 0, 16, stripHeight), Qt::AlignCenter,
               AutoColumn() ? QStringLiteral("A") : QString::number(Column()));
    if (ViewHidden()) {
        p.setPen(Qt::red);
        p.drawText(QRect(w - 62, 0, 16, stripHeight), Qt::AlignCenter, QStringLiteral("H"));
    }
    p.end();
    painter.drawPixmap(0, 0, strip);
    painter.setPen(Color(ciLine));
    painter.drawLine(0, TFileLayout::TitleHeight - 1, w, TFileLayout::TitleHeight - 1);
}

static TColorRef NameColorRef(const TColorList &colors, const TFile &file)
{
    switch (file.Kind()) {
    case fkFolder:
        return colors.GetColor(ciFolder);
    case fkDrive:
        return colors.GetColor(ciDrive);
    case fkFile:
        break;
    }
    return colors.GetExtColor(file.Ext);
}

QIcon TCustomFileView::EntryIcon(TFile &file)
{
    if (file.ImageIndex < 0) {
        sys::IconKind kind = sys::IconKind::File;
        if (file.Kind() == fkFolder)
            kind = file.IsParent() ? sys::IconKind::Parent : sys::IconKind::Folder;
        else if (file.Kind() == fkDrive)
            kind = file.Name == QLatin1String("/") ? sys::IconKind::Network : sys::IconKind::Drive;
        file.ImageIndex = sys::GetIconIndex(file.GetFullName(), kind);
    }
    return sys::GetIcon(file.ImageIndex);
}

void TCustomFileView::ShownName(const TFile &file, QString &name, QString &ext) const
{
    name.clear();
    ext.clear();
    if (AttachExt() || file.Kind() != fkFile) {
        name = LongName() ? file.GetFullName() : file.GetShortName();
    } else if (LongName() || file.ShortName.isEmpty()) {
        name = file.Name;
        ext = file.Ext;
    } else {
        const qsizetype dot = file.ShortName.lastIndexOf(QLatin1Char('.'));
        name = dot < 0 ? file.ShortName : file.ShortName.left(dot);
        ext = dot < 0 ? QString() : file.ShortName.mid(dot + 1);
    }
    name = PrintableText(FitCharCase(name));
    ext = PrintableText(FitCharCase(ext));
}

// Icons come at the resolution painted on. Those that have
// only smaller sizes are scaled up, so a large-icon cell never shows a small
// one; cut and hidden entries are drawn ghosted.
static void DrawIcon(QPainter &painter, const QIcon &icon, const QRect &rect, bool ghost)
{
    const qreal ratio = TargetRatio(painter);
    QPixmap pixmap = icon.pixmap(rect.size(), ratio, ghost ? QIcon::Disabled : QIcon::Normal);
    if (pixmap.isNull())
        return;
    const QSize wanted = rect.size() * ratio;
    if (pixmap.width() < wanted.width() && pixmap.height() < wanted.height()) {
        pixmap = pixmap.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        pixmap.setDevicePixelRatio(ratio);
    }
    const QSize size = pixmap.deviceIndependentSize().toSize();
    painter.drawPixmap(rect.left() + (rect.width() - size.width()) / 2,
                       rect.top() + (rect.height() - size.height()) / 2, pixmap);
}

void TCustomFileView::DrawCheck(QPainter &painter, const QRect &rect, const QColor &color) const
{
    // The check mark of selected rows, drawn in the strip at the row's left.
    const int cy = rect.center().y();
    QPen pen(color, 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawPolyline(QPolygon({QPoint(rect.left() + 1, cy), QPoint(rect.left() + 4, cy + 3),
                                   QPoint(rect.left() + 9, cy - 4)}));
    painter.restore();
}

QStringList TCustomFileView::DriveSpaceTexts(const TFile &drive)
{
    const QString root = drive.GetFullName();
    const auto it = driveSpace.constFind(root);
    if (it != driveSpace.constEnd())
        return it.value();
    QStringList texts;
    sys::UINT64 free = 0;
    sys::UINT64 total = 0;
    sys::UINT64 totalFree = 0;
    // Removable media are never read while drawing.
    if (drive.Name != QLatin1String("/") && sys::GetDriveType(root) != sys::DRIVE_REMOVABLE &&
        sys::GetDiskFreeSpaceEx(root, &free, &total, &totalFree))
        texts = QStringList{QStringLiteral("%1 MB").arg(ThousandsText(totalFree >> 20)),
                            QStringLiteral("%1 MB").arg(ThousandsText(total >> 20))};
    driveSpace.insert(root, texts);
    return texts;
}

void TCustomFileView::DrawSizeField(QPainter &painter, const TFile &file, const QRect &field,
                                    bool focused, const QColor &textColor)
{
    QString number;
    QString mark;
    if (file.Kind() == fkFolder) {
        if (FolderInfo())
            number = file.IsParent() ? panelstr::ParentDir : panelstr::FolderDir;
    } else {
        const TSizeText size = SizeText(file.Size, Layout().DetailSize == 2);
        number = size.number;
        mark = size.mark;
    }
    const auto shown = [&](const QColor &color) {
        return file.Cut ? Blend(color, Color(ciBack)) : color;
    };
    QColor color = textColor;
    if (!focused) {
        if (file.Attributes & sys::FILE_ATTRIBUTE_HIDDEN)
            color = shown(Color(ciHidden));
        else if (file.Attributes & sys::FILE_ATTRIBUTE_READONLY)
            color = shown(Color(ciReadOnly));
        else
            color = shown(Color(ciNormal));
    }
    const int markWidth = mark.isEmpty() ? 0 : fontMeasure.TextWidth(mark);
    painter.setPen(color);
    painter.drawText(field.adjusted(0, 0, -markWidth, 0), Qt::AlignVCenter | Qt::AlignRight,
                     number);
    if (!mark.isEmpty()) {
        painter.setPen(focused ? textColor : shown(Color(ciMB)));
        painter.drawText(field, Qt::AlignVCenter | Qt::AlignRight, mark);
    }
}

void TCustomFileView::DrawListItem(QPainter &painter, TFile &file, const QRect &rect)
{
    const TFileLayout &l = Layout();
    file.NameClipped = false;
    const bool focused = file.Index == FocusedIndex;
    const QColor nameColor = FromColorRef(NameColorRef(colors, file));
    const QColor back = Color(ciBack);
    const QRect row = rect.adjusted(0, 0, -1, 0);
    // A cut entry is dimmed as a whole, its focus bar too, so the mark shows
    // without icons and while the entry is focused.
    const auto shown = [&](const QColor &color) { return file.Cut ? Blend(color, back) : color; };
    painter.fillRect(row, focused ? shown(nameColor) : back);
    const QColor textColor = focused ? back : shown(nameColor);
    const QColor plainColor = focused ? back : shown(Color(ciNormal));

    if (file.Selected)
        DrawCheck(painter, row, focused ? back : Color(ciMB));
    if (ViewIcon()) {
        const QIcon icon = EntryIcon(file);
        const QRect iconRect(row.left() + TFileLayout::SelectStripWidth,
                             row.top() + (row.height() - 16) / 2, 16, 16);
        const bool ghost = file.Cut || (file.Attributes & sys::FILE_ATTRIBUTE_HIDDEN);
        DrawIcon(painter, icon, iconRect, ghost);
    }

    int x = row.left() + l.IconAreaWidth;
    const int textTop = row.top();
    auto field = [&](int left, int w) {
        return QRect(left, textTop, std::max(w, 0), row.height());
    };
    bool clipped = false;
    painter.setPen(textColor);
    if (file.Kind() == fkDrive) {
        const QString text = PrintableText(DriveRowText(file.Name, FitCharCase(file.Ext)));
        const int w = std::min(row.right() - x, std::max(l.DriveWidth, l.NameBlock));
        painter.drawText(field(x, w), Qt::AlignVCenter | Qt::AlignLeft,
                         ShortenText(text, w, clipped));
        file.NameClipped = clipped;
        const int detail = x + l.NameBlock + l.W0;
        if (l.DetailSize > 0 && detail < row.right()) {
            painter.setPen(plainColor);
            // Free and total space, or the free space alone when both do not fit.
            const int room = row.right() - detail - 2;
            const QStringList space = DriveSpaceTexts(file);
            QString text = space.join(QStringLiteral(" / "));
            if (TextWidth(text) > room && !space.isEmpty())
                text = TextWidth(space.first()) <= room ? space.first() : QString();
            painter.drawText(field(detail, room), Qt::AlignVCenter | Qt::AlignRight, text);
        }
        return;
    }

    QString name;
    QString ext;
    ShownName(file, name, ext);
    const int nameWidth = AttachExt() ? l.NameBlock : l.NameWidth;
    painter.drawText(field(x, nameWidth), Qt::AlignVCenter | Qt::AlignLeft,
                     ShortenText(name, nameWidth, clipped));
    file.NameClipped = clipped;
    x += nameWidth;
    if (!AttachExt()) {
        x += l.W0;
        if (!ext.isEmpty()) {
            painter.drawText(field(x, l.ExtWidth), Qt::AlignVCenter | Qt::AlignLeft,
                             ShortenText(ext, l.ExtWidth, clipped));
            file.NameClipped = file.NameClipped || clipped;
        }
        x += l.ExtWidth;
    }

    if (l.DetailSize > 0) {
        const int w = l.DetailSize == 2 ? l.S10 : l.S7;
        x += l.W0;
        DrawSizeField(painter, file, field(x, w), focused, textColor);
        x += w;
    }
    painter.setPen(plainColor);
    if (l.DetailDate && file.Kind() != fkDrive) {
        x += l.W0;
        painter.drawText(field(x, l.D), Qt::AlignVCenter | Qt::AlignLeft, DateText(file.Time));
        x += l.D;
    }
    if (l.DetailTime) {
        x += l.W0;
        painter.drawText(field(x, l.T), Qt::AlignVCenter | Qt::AlignLeft, TimeText(file.Time));
        x += l.T;
    }
    if (l.DetailAttr) {
        x += l.W0;
        painter.drawText(field(x, l.A), Qt::AlignVCenter | Qt::AlignLeft,
                         AttributeText(file.Attributes));
    } else if (l.DetailWide) {
        x += l.W0;
        QString text = file.Description;
        if (text.isEmpty() && ViewFileType())
            text = GetFileType(file);
        else if (!focused)
            painter.setPen(shown(Color(ciDescript)));
        const int w = row.right() - x - 2;
        painter.drawText(field(x, w), Qt::AlignVCenter | Qt::AlignLeft,
                         ShortenText(PrintableText(text), w, clipped));
    }
    if (focused && FocusStyle() != fsNone) {
        QPen pen(back);
        pen.setStyle(FocusStyle() == fsDot ? Qt::DotLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawRect(row.adjusted(0, 0, -1, -1));
    }
}

void TCustomFileView::DrawIconItem(QPainter &painter, TFile &file, const QRect &rect)
{
    file.NameClipped = false;
    const bool focused = file.Index == FocusedIndex;
    const QColor nameColor = FromColorRef(NameColorRef(colors, file));
    const QColor back = Color(ciBack);
    painter.fillRect(rect, back);
    const QRect iconRect(rect.left() + (rect.width() - 32) / 2, rect.top() + 4, 32, 32);
    const bool ghost = file.Cut || (file.Attributes & sys::FILE_ATTRIBUTE_HIDDEN);
    DrawIcon(painter, EntryIcon(file), iconRect, ghost);
    if (file.Selected)
        DrawCheck(painter, QRect(rect.left() + 2, rect.top() + 2, 12, 12), Color(ciMB));

    const QString name =
        PrintableText(file.Kind() == fkDrive
                          ? DriveRowText(file.Name, FitCharCase(file.Ext))
                          : FitCharCase(LongName() ? file.GetFullName() : file.GetShortName()));
    bool clipped = false;
    const QString shown = ShortenText(name, rect.width() - 6, clipped);
    file.NameClipped = clipped;
    const int textWidth = fontMeasure.TextWidth(shown) + 4;
    const QRect textRect(rect.left() + (rect.width() - textWidth) / 2, iconRect.bottom() + 3,
                         textWidth, fontMeasure.TextHeight() + 2);
    if (focused) {
        painter.fillRect(textRect, nameColor);
        if (FocusStyle() != fsNone) {
            QPen pen(back);
            pen.setStyle(FocusStyle() == fsDot ? Qt::DotLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.drawRect(textRect.adjusted(0, 0, -1, -1));
        }
    }
    painter.setPen(focused ? back : file.Cut ? Blend(nameColor, back) : nameColor);
    painter.drawText(textRect, Qt::AlignCenter, shown);
}

// TKFileView --------------------------------------------------------------

TKFileView::TKFileView(QWidget *parent) : TCustomFileView(parent)
{
    // Characters composed by an input method search like typed ones.
    setAttribute(Qt::WA_InputMethodEnabled);
}

void TKFileView::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        QuickSearch(event->commitString());
    event->accept();
}

void TKFileView::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (!alt && KeyDown(event->key(), ctrl)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    // Shift+letter belongs to the main window's commands; a capital typed
    // with Caps Lock (no Shift) searches.
    const bool shiftedLetter = text.size() == 1 && text[0] >= QLatin1Char('A') &&
                               text[0] <= QLatin1Char('Z') &&
                               (event->modifiers() & Qt::ShiftModifier);
    if (text.isEmpty() || ctrl || alt || shiftedLetter) {
        event->ignore();
        return;
    }
    const QString before = FindText;
    QuickSearch(text);
    if (FindText.isEmpty() && before.isEmpty() && text != QLatin1String("\b"))
        event->ignore();
    else
        event->accept();
}

void TKFileView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    MouseDown(pos.x(), pos.y(), event->modifiers() & Qt::ShiftModifier,
              event->modifiers() & Qt::ControlModifier);
}

void TKFileView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        MouseMove(pos.x(), pos.y());
    }
}

void TKFileView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        MouseUp();
}

void TKFileView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    DblClick(pos.x(), pos.y());
}

} // namespace kestrel
