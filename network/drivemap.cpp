#include "network/drivemap.h"

#include "network/connectshare.h"
#include "network/fnetwork.h"
#include "network/modal.h"
#include "network/neighbourhood.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "text/strings.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const QString kMapCaption = QStringLiteral("Map Network Drive");
const QString kDisconnectCaption = QStringLiteral("Disconnect Network Drive");

const char *TypeWord(unsigned type)
{
    switch (type) {
    case sys::DRIVE_REMOVABLE:
        return "removable";
    case sys::DRIVE_REMOTE:
        return "remote";
    case sys::DRIVE_CDROM:
        return "cdrom";
    case sys::DRIVE_RAMDISK:
        return "ramdisk";
    default:
        return "fixed";
    }
}

class TfMapDrive : public QDialog {
public:
    TfMapDrive(QWidget *parent, TDriveMappings &mappings)
        : QDialog(parent), mappings(mappings), letter(new QComboBox), folder(new QLineEdit)
    {
        setWindowTitle(kMapCaption);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Give a share or a folder a drive letter.")));
        auto *form = new QFormLayout;
        letter->setObjectName(QStringLiteral("Drive"));
        letter->addItems(FreeDriveLetters());
        form->addRow(QStringLiteral("&Drive:"), letter);
        auto *row = new QHBoxLayout;
        folder->setObjectName(QStringLiteral("Folder"));
        folder->setPlaceholderText(QStringLiteral("\\\\server\\share or a folder"));
        folder->setMinimumWidth(280);
        auto *browse = new QPushButton(QStringLiteral("&Browse..."));
        browse->setObjectName(QStringLiteral("Browse"));
        browse->setAutoDefault(false);
        row->addWidget(folder, 1);
        row->addWidget(browse);
        auto *folderLabel = new QLabel(QStringLiteral("&Folder:"));
        folderLabel->setBuddy(folder);
        form->addRow(folderLabel, row);
        layout->addLayout(form);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &TfMapDrive::Accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString share = SelectNetworkShare(this, folder->text());
            if (!share.isEmpty())
                folder->setText(share);
        });
        folder->setFocus();
    }

private:
    void Accept()
    {
        const QString target = folder->text().trimmed();
        if (letter->currentText().isEmpty()) {
            Ask().MessageBox(this, QStringLiteral("Every drive letter is taken."), kMapCaption,
                             MB_OK | MB_ICONERROR);
            return;
        }
        if (target.isEmpty())
            return;
        if (!ShareOf(target).isEmpty() && !ConnectShare(this, ShareOf(target)))
            return;
        QString value;
        if (const int error = MappingValue(target, value)) {
            ShowError(error, target, LoadStr(512), true);
            return;
        }
        if (!mappings.Map(letter->currentText()[0], value)) {
            ShowError(int(sys::GetLastError()), letter->currentText() + QLatin1Char(':'),
                      LoadStr(512), true);
            return;
        }
        accept();
    }

    TDriveMappings &mappings;
    QComboBox *letter;
    QLineEdit *folder;
};

class TfDisconnect : public QDialog {
public:
    TfDisconnect(QWidget *parent, TDriveMappings &mappings, const QString &drive)
        : QDialog(parent), mappings(mappings), list(new QListWidget)
    {
        setWindowTitle(kDisconnectCaption);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Drive letters given to shares and folders:")));
        list->setObjectName(QStringLiteral("Mappings"));
        for (const auto &[letter, value] : mappings.Mapped()) {
            auto *item = new QListWidgetItem(
                QStringLiteral("%1:  %2").arg(letter).arg(value.section(QLatin1Char(','), 0, 0)),
                list);
            item->setData(Qt::UserRole, QString(letter));
            if (!drive.isEmpty() && drive[0].toUpper() == letter)
                list->setCurrentItem(item);
        }
        if (!list->currentItem() && list->count() > 0)
            list->setCurrentRow(0);
        layout->addWidget(list);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &TfDisconnect::Accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(list, &QListWidget::itemActivated, this, &TfDisconnect::Accept);
        list->setFocus();
    }

private:
    void Accept()
    {
        const QListWidgetItem *item = list->currentItem();
        if (!item)
            return;
        const QString letter = item->data(Qt::UserRole).toString();
        if (!mappings.Unmap(letter[0])) {
            ShowError(int(sys::GetLastError()), letter + QLatin1Char(':'), LoadStr(512), true);
            return;
        }
        accept();
    }

    TDriveMappings &mappings;
    QListWidget *list;
};

} // namespace

int MappingValue(const QString &target, QString &value)
{
    const QString text = target.trimmed();
    const QString path = text.startsWith(QLatin1Char('/')) ? sys::FromTypedPath(text) : text;
    const sys::DWORD attributes =
        path.isEmpty() ? sys::INVALID_FILE_ATTRIBUTES : sys::GetFileAttributes(path);
    if (attributes == sys::INVALID_FILE_ATTRIBUTES) {
        const sys::DWORD error = sys::GetLastError();
        return int(error ? error : sys::ERROR_PATH_NOT_FOUND);
    }
    if (!(attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
        return int(sys::ERROR_PATH_NOT_FOUND);
    QByteArray native;
    if (!sys::ToNative(path, native))
        return int(sys::GetLastError());
    // The fields of a [Drives] entry are separated by commas.
    if (native.contains(',') || native.contains(';'))
        return int(sys::ERROR_INVALID_NAME);
    const QString share = ShareOf(path);
    const bool whole =
        !share.isEmpty() &&
        sys::SameText(share, path.endsWith(QLatin1Char('\\')) ? path.chopped(1) : path);
    const unsigned type = sys::GetDriveType(sys::ExtractFileDrive(path) + QLatin1Char('\\'));
    QString label =
        whole ? share.mid(share.lastIndexOf(QLatin1Char('\\')) + 1)
              : sys::ExtractFileName(path.endsWith(QLatin1Char('\\')) ? path.chopped(1) : path);
    label.remove(QLatin1Char(',')).remove(QLatin1Char(';'));
    value = sys::DecodeName(native) + QLatin1Char(',') + QLatin1String(TypeWord(type)) +
            QLatin1Char(',') + label;
    return 0;
}

QStringList FreeDriveLetters()
{
    QStringList letters;
    const sys::DWORD used = sys::GetLogicalDrives();
    for (int bit = 'D' - 'A'; bit < 26; ++bit) {
        if (!(used & (sys::DWORD(1) << bit)))
            letters.append(QString(QChar(u'A' + bit)));
    }
    return letters;
}

bool MapNetworkDrive(QWidget *owner, TDriveMappings &mappings)
{
    TfMapDrive dialog(owner ? owner->window() : nullptr, mappings);
    return ExecModal(dialog, owner) == QDialog::Accepted;
}

bool DisconnectNetworkDrive(QWidget *owner, TDriveMappings &mappings, const QString &drive)
{
    if (mappings.Mapped().isEmpty()) {
        Ask().MessageBox(owner,
                         QStringLiteral("No drive letter is given to a share or folder.\n\n"
                                        "Drives the system mounts are disconnected with the "
                                        "desktop's own tools."),
                         kDisconnectCaption, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    TfDisconnect dialog(owner ? owner->window() : nullptr, mappings, drive);
    return ExecModal(dialog, owner) == QDialog::Accepted;
}

} // namespace kestrel
