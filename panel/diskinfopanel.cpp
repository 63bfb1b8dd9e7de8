#include "panel/diskinfopanel.h"

#include "platform/drives.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStyle>

namespace kestrel {

TDiskInfoPanel::TDiskInfoPanel(QWidget *parent)
    : QFrame(parent), iDisk(new QLabel(this)), lDrive(new QLabel(this)),
      DiskUsage(new QProgressBar(this)), lDiskInfo(new QLabel(this))
{
    setObjectName(QStringLiteral("pDiskInfo"));
    iDisk->setObjectName(QStringLiteral("iDisk"));
    lDrive->setObjectName(QStringLiteral("lDrive"));
    DiskUsage->setObjectName(QStringLiteral("DiskUsage"));
    lDiskInfo->setObjectName(QStringLiteral("lDiskInfo"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Properties of the drive"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    iDisk->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(16, 16));
    DiskUsage->setRange(0, 100);
    DiskUsage->setTextVisible(false);
    DiskUsage->setFixedSize(60, 12);
    // The text takes what room is left, and picks its wording to fit it.
    lDiskInfo->setMinimumWidth(0);
    lDiskInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lDiskInfo->installEventFilter(this);
    layout->addWidget(iDisk);
    layout->addWidget(lDrive);
    layout->addWidget(DiskUsage);
    layout->addWidget(lDiskInfo, 1);
}

void TDiskInfoPanel::SetFolder(const QString &path, bool reread)
{
    folder = path;
    const QString now = sys::ExtractFileDrive(path);
    if (reread || now.compare(drive, Qt::CaseInsensitive) != 0 || !space.known) {
        drive = now;
        space = drive.isEmpty() ? TDriveSpace() : ReadDriveSpace(DriveRoot(drive));
    }
    lDrive->setText(drive);
    DiskUsage->setValue(DiskUsagePercent(space));
    UpdateText();
}

QString TDiskInfoPanel::InfoText() const
{
    return lDiskInfo->text();
}

int TDiskInfoPanel::UsagePercent() const
{
    return DiskUsage->value();
}

void TDiskInfoPanel::UpdateText()
{
    const QFontMetrics metrics = lDiskInfo->fontMetrics();
    lDiskInfo->setText(DiskInfoText(space, lDiskInfo->width(), [&](const QString &text) {
        return metrics.horizontalAdvance(text);
    }));
}

bool TDiskInfoPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lDiskInfo && event->type() == QEvent::Resize)
        UpdateText();
    return QFrame::eventFilter(watched, event);
}

void TDiskInfoPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick && !drive.isEmpty())
        OnClick(DriveRoot(drive));
    QFrame::mouseReleaseEvent(event);
}

} // namespace kestrel
