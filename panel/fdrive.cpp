#include "panel/fdrive.h"

#include "ops/ask.h"
#include "panel/fproperties.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/fileapi.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QVBoxLayout>

namespace kestrel {

namespace {

TDriveServices *installed = nullptr;

QIcon RowIcon(const TDriveItem &row, const QStyle *style)
{
    if (row.IsNetwork())
        return QIcon::fromTheme(QStringLiteral("network-workgroup"),
                                style->standardIcon(QStyle::SP_DriveNetIcon));
    switch (row.type) {
    case DRIVE_WORKFOLDER:
        return QIcon::fromTheme(QStringLiteral("folder-open"),
                                style->standardIcon(QStyle::SP_DirOpenIcon));
    case sys::DRIVE_REMOVABLE:
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"),
                                style->standardIcon(QStyle::SP_DriveFDIcon));
    case sys::DRIVE_REMOTE:
        return QIcon::fromTheme(QStringLiteral("folder-remote"),
                                style->standardIcon(QStyle::SP_DriveNetIcon));
    case sys::DRIVE_CDROM:
        return QIcon::fromTheme(QStringLiteral("media-optical"),
                                style->standardIcon(QStyle::SP_DriveCDIcon));
    default:
        return QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                style->standardIcon(QStyle::SP_DriveHDIcon));
    }
}

// A row: icon, name and label, and a fixed drive's size at the right.
class TDriveRowDelegate : public QStyledItemDelegate {
public:
    TDriveRowDelegate(const TfDrive &dialog) : QStyledItemDelegate(nullptr), dialog(dialog) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const TDriveItem &row = dialog.Rows()[index.row()];
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        plain.icon = QIcon();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);

        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        QRect r = option.rect.adjusted(4, 0, -6, 0);
        const int iconSize = 16;
        RowIcon(row, style)
            .paint(painter,
                   QRect(r.left(), r.top() + (r.height() - iconSize) / 2, iconSize, iconSize));
        r.setLeft(r.left() + iconSize + 6);
        const QString size = row.type == sys::DRIVE_FIXED ? DriveSizeText(row.size) : QString();
        const int sizeWidth = size.isEmpty() ? 0 : option.fontMetrics.horizontalAdvance(size) + 12;
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        const QString name = row.IsNetwork() ? QStringLiteral("/") : row.name;
        const int nameWidth = QFontMetrics(bold).horizontalAdvance(QStringLiteral("W:")) + 8;
        painter->drawText(QRect(r.left(), r.top(), nameWidth, r.height()),
                          Qt::AlignVCenter | Qt::AlignLeft, name);
        painter->setFont(option.font);
        const QRect labelRect(r.left() + nameWidth, r.top(), r.width() - nameWidth - sizeWidth,
                              r.height());
        painter->drawText(
            labelRect, Qt::AlignVCenter | Qt::AlignLeft,
            option.fontMetrics.elidedText(row.label, Qt::ElideMiddle, labelRect.width()));
        if (!size.isEmpty())
            painter->drawText(r, Qt::AlignVCenter | Qt::AlignRight, size);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(320, std::max(option.fontMetrics.height() + 8, 22));
    }

private:
    const TfDrive &dialog;
};

} // namespace

TDriveServices *DriveServices()
{
    return installed;
}

TDriveServices *SetDriveServices(TDriveServices *services)
{
    TDriveServices *previous = installed;
    installed = services;
    return previous;
}

TfDrive::TfDrive(QWidget *parent, const QString &current, const QStringList &workFolders,
                 const QString &excluded)
    : QDialog(parent), current(current), workFolders(workFolders), excluded(excluded),
      listBox(new QListWidget(this)), statusBar(new QStatusBar(this))
{
    setWindowTitle(QStringLiteral("Select Drive"));
    setObjectName(QStringLiteral("fDrive"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [&](const char *name, const QString &text, const QString &hint,
                         QStyle::StandardPixmap icon, void (TfDrive::*slot)()) {
        QAction *action = toolBar->addAction(style()->standardIcon(icon), text);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    tbRefresh = add("tbRefresh", QStringLiteral("Refresh"), QStringLiteral("Refresh (F5)"),
                    QStyle::SP_BrowserReload, &TfDrive::Fill);
    tbProperty = add("tbProperty", QStringLiteral("Properties"), QStringLiteral("Properties (F9)"),
                     QStyle::SP_FileDialogInfoView, &TfDrive::Properties);
    tbFormat = add("tbFormat", QStringLiteral("Format"), QStringLiteral("Format (F11)"),
                   QStyle::SP_DriveFDIcon, &TfDrive::Format);
    tbMap = add("tbMap", QStringLiteral("Map"), QStringLiteral("Map Network Drive (F3)"),
                QStyle::SP_DriveNetIcon, &TfDrive::Map);
    tbUnMap = add("tbUnMap", QStringLiteral("Disconnect"),
                  QStringLiteral("Disconnect Network Drive (F4)"), QStyle::SP_DialogCloseButton,
                  &TfDrive::UnMap);
    // Tool buttons never take the focus: the keys belong to the list.
    for (QWidget *button : toolBar->findChildren<QWidget *>())
        button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(toolBar);

    listBox->setObjectName(QStringLiteral("ListBox"));
    listBox->setItemDelegate(new TDriveRowDelegate(*this));
    listBox->itemDelegate()->setParent(listBox);
    listBox->setUniformItemSizes(true);
    listBox->installEventFilter(this);
    layout->addWidget(listBox, 1);
    statusBar->setSizeGripEnabled(false);
    layout->addWidget(statusBar);
    connect(listBox, &QListWidget::currentRowChanged, this, &TfDrive::SelectionChanged);
    connect(listBox, &QListWidget::itemActivated, this, [this] { Choose(); });
    Fill();
    listBox->setFocus();
}

QAction *TfDrive::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TfDrive::Fill()
{
    const QString selectedName = Selected() ? Selected()->name : QString();
    rows = DriveRows(workFolders, excluded);
    listBox->blockSignals(true);
    listBox->clear();
    for (const TDriveItem &row : rows) {
        auto *item = new QListWidgetItem(row.name + QLatin1Char(' ') + row.label, listBox);
        item->setData(Qt::AccessibleTextRole, item->text());
    }
    listBox->blockSignals(false);
    int at = -1;
    for (int i = 0; i < rows.size() && !selectedName.isEmpty(); ++i)
        if (rows[i].name == selectedName)
            at = i;
    listBox->setCurrentRow(at >= 0 ? at : CurrentDriveRow(rows, current));
    SelectionChanged();
    SizeToRows();
}

void TfDrive::SizeToRows()
{
    const int rowHeight = listBox->sizeHintForRow(0) > 0 ? listBox->sizeHintForRow(0) : 22;
    const int listHeight = std::max(200, int(rows.size()) * rowHeight + 2 * listBox->frameWidth());
    listBox->setMinimumHeight(std::min(listHeight, 600));
    resize(std::max(width(), 360), sizeHint().height());
}

const TDriveItem *TfDrive::Selected() const
{
    const int row = listBox->currentRow();
    return row >= 0 && row < rows.size() ? &rows[row] : nullptr;
}

void TfDrive::SelectionChanged()
{
    const TDriveItem *row = Selected();
    statusBar->showMessage(!row                  ? QString()
                           : row->IsWorkFolder() ? row->label
                                                 : DriveTypeName(row->type));
    tbFormat->setEnabled(row && row->type == sys::DRIVE_REMOVABLE);
    tbUnMap->setEnabled(row && row->type == sys::DRIVE_REMOTE && !row->IsNetwork());
    tbProperty->setEnabled(row && !row->IsNetwork());
}

void TfDrive::Choose()
{
    const TDriveItem *row = Selected();
    if (!row)
        return;
    if (row->IsNetwork()) {
        const QString share = installed ? installed->SelectNetworkShare(this, current) : QString();
        if (share.isEmpty())
            return;
        chosen = share;
        accept();
        return;
    }
    chosen = row->name.left(1);
    if (row->IsWorkFolder() || sys::GetVolumeInformation(DriveRoot(chosen), nullptr, nullptr)) {
        accept();
        return;
    }
    const QString letter = chosen;
    chosen.clear();
    Ask().MessageBox(this, letter + QLatin1Char(' ') + LoadStr(257), LoadStr(512),
                     MB_OK | MB_ICONERROR);
}

void TfDrive::Properties()
{
    const TDriveItem *row = Selected();
    if (!row || row->IsNetwork())
        return;
    TfProperties::Open(row->IsWorkFolder() ? row->label : DriveRoot(row->name), this);
}

void TfDrive::Format()
{
    const TDriveItem *row = Selected();
    if (row && row->type == sys::DRIVE_REMOVABLE && installed)
        installed->FormatDrive(this, row->name[0]);
}

void TfDrive::Map()
{
    if (installed && installed->MapNetworkDrive(this))
        Fill();
}

void TfDrive::UnMap()
{
    const TDriveItem *row = Selected();
    if (row && row->type == sys::DRIVE_REMOTE && !row->IsNetwork() && installed &&
        installed->DisconnectNetworkDrive(this, row->name))
        Fill();
}

bool TfDrive::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != listBox || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose();
        return true;
    case Qt::Key_F3:
        Map();
        return true;
    case Qt::Key_F4:
        UnMap();
        return true;
    case Qt::Key_F5:
        Fill();
        return true;
    case Qt::Key_F9:
        Properties();
        return true;
    case Qt::Key_F11:
        Format();
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if ((mods & ~Qt::ShiftModifier) == Qt::NoModifier && text.size() == 1 &&
        (text[0].isLetterOrNumber() || text[0] == u'/')) {
        // A letter, digit or "/" that names no row is ignored.
        const int row = DriveRowForKey(rows, text[0]);
        if (row >= 0) {
            listBox->setCurrentRow(row);
            Choose();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrel
