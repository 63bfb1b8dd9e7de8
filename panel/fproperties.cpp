#include "panel/fproperties.h"

#include "panel/drivefacts.h"
#include "panel/filelisting.h"
#include "panel/filetexts.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/filetime.h"
#include "platform/shell.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kestrel {

namespace {

bool IsDriveRoot(const QString &path)
{
    if (sys::IsRoot(path))
        return true;
    const QString drive = sys::ExtractFileDrive(path);
    return drive.startsWith(QLatin1String("\\\\")) &&
           (path == drive || path == drive + QLatin1Char('\\'));
}

QString BytesText(sys::UINT64 bytes)
{
    const QString exact = QStringLiteral("%1 bytes").arg(ThousandsText(bytes));
    const QString size = DriveSizeText(bytes);
    return size.isEmpty() || bytes < 1024 ? exact : QStringLiteral("%1 (%2)").arg(size, exact);
}

QString TimeValue(const sys::FILETIME &time)
{
    if (sys::FileTimeToUInt64(time) == 0)
        return QString();
    return sys::FileTimeToQDateTime(time).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QLabel *ValueLabel(const QString &text, const QString &caption)
{
    auto *label = new QLabel(text);
    label->setObjectName(caption);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TfProperties::TfProperties(const QString &path, QWidget *parent) : QDialog(parent)
{
    const bool drive = IsDriveRoot(path);
    const QString root = drive ? DriveRoot(sys::ExtractFileDrive(path)) : QString();
    QString name = drive ? TFileListing::DriveLabelText(root) : sys::ExtractFileName(path);
    if (drive)
        name = QStringLiteral("%1 (%2)").arg(name, sys::ExtractFileDrive(path));
    setWindowTitle(QStringLiteral("%1 Properties").arg(name));

    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(name);
    heading->setObjectName(QStringLiteral("Name"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    const auto row = [&](const QString &caption, const QString &value) {
        if (!value.isEmpty())
            form->addRow(caption + QLatin1Char(':'), ValueLabel(value, caption));
    };

    const sys::DWORD attributes = sys::GetFileAttributes(path);
    const bool folder =
        attributes != sys::INVALID_FILE_ATTRIBUTES && (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
    if (drive) {
        row(QStringLiteral("Type"), DriveTypeName(sys::GetDriveType(root)));
        QString label;
        sys::DWORD serial = 0;
        const bool ready = sys::GetVolumeInformation(root, &label, &serial);
        row(QStringLiteral("Label"), label);
        if (ready)
            row(QStringLiteral("Serial number"), QStringLiteral("%1-%2")
                                                     .arg(serial >> 16, 4, 16, QLatin1Char('0'))
                                                     .arg(serial & 0xFFFF, 4, 16, QLatin1Char('0'))
                                                     .toUpper());
        row(QStringLiteral("Location"), sys::GetShortPathName(root));
        if (!ready) {
            row(QStringLiteral("State"), LoadStr(257));
        } else if (const TDriveSpace space = ReadDriveSpace(root); space.known) {
            const sys::UINT64 used = space.free >= space.total ? 0 : space.total - space.free;
            row(QStringLiteral("Capacity"), BytesText(space.total));
            row(QStringLiteral("Used"), BytesText(used));
            row(QStringLiteral("Free"), BytesText(space.free));
            auto *usage = new QProgressBar;
            usage->setObjectName(QStringLiteral("Usage"));
            usage->setRange(0, 100);
            usage->setValue(DiskUsagePercent(space));
            form->addRow(QString(), usage);
        }
    } else {
        row(QStringLiteral("Type"), sys::GetTypeName(path, folder, false));
        row(QStringLiteral("Location"), sys::ExtractFilePath(path));
        row(QStringLiteral("Native path"), sys::GetShortPathName(path));
        sys::WIN32_FIND_DATA data;
        const sys::HANDLE search = sys::FindFirstFile(path, data);
        if (search != sys::INVALID_HANDLE_VALUE) {
            sys::FindClose(search);
            if (!folder)
                row(QStringLiteral("Size"),
                    BytesText((sys::UINT64(data.nFileSizeHigh) << 32) | data.nFileSizeLow));
            row(QStringLiteral("Modified"), TimeValue(data.ftLastWriteTime));
            row(QStringLiteral("Accessed"), TimeValue(data.ftLastAccessTime));
            row(QStringLiteral("Created"), TimeValue(data.ftCreationTime));
        }
        if (attributes != sys::INVALID_FILE_ATTRIBUTES)
            row(QStringLiteral("Attributes"), AttributeText(attributes));
    }
    sys::Ownership ownership;
    if (sys::GetOwnership(drive ? root : path, ownership)) {
        row(QStringLiteral("Owner"), ownership.owner);
        row(QStringLiteral("Group"), ownership.group);
        row(QStringLiteral("Permissions"), QStringLiteral("%1 (%2)")
                                               .arg(sys::PermissionText(ownership.mode))
                                               .arg(ownership.mode, 4, 8, QLatin1Char('0')));
    }
    if (form->rowCount() == 0)
        row(QStringLiteral("State"), LoadStr(256));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

TfProperties *TfProperties::Open(const QString &path, QWidget *parent)
{
    auto *window = new TfProperties(path, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

QString TfProperties::Value(const QString &caption) const
{
    const auto *label = findChild<QLabel *>(caption);
    return label ? label->text() : QString();
}

} // namespace kestrel

namespace kestrel {

void TfProperties::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (QWidget *below = parentWidget() ? parentWidget()->window() : nullptr;
        below && below->isVisible())
        below->activateWindow();
}

} // namespace kestrel
