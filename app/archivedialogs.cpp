#include "app/archivedialogs.h"

#include "archive/archivetype.h"
#include "archive/create.h"
#include "ops/qtask.h"
#include "platform/drives.h"
#include "widgets/xpgauge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {

QStringList VolumeSizeTexts()
{
    return {QStringLiteral("None"),  QStringLiteral("1440 KB"), QStringLiteral("2880 KB"),
            QStringLiteral("5 MB"),  QStringLiteral("10 MB"),   QStringLiteral("20 MB"),
            QStringLiteral("50 MB"), QStringLiteral("100 MB")};
}

TfArchive::TfArchive(QWidget *parent, const TArchiveForm &form)
    : QDialog(parent), FileName(new QLineEdit(form.fileName, this)),
      Browse(new QPushButton(QStringLiteral("..."), this)), Format(new QComboBox(this)),
      Compression(new QComboBox(this)), Volume(new QComboBox(this)),
      Password(new QLineEdit(form.password, this)),
      Recursive(new QCheckBox(QStringLiteral("Include &Subfolders"), this)),
      Start(new QPushButton(QStringLiteral("Start"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this)), accept(form.accept)
{
    setWindowTitle(form.caption);
    setObjectName(QStringLiteral("fArchive"));
    FileName->setMinimumWidth(300);
    Browse->setAutoDefault(false);
    Browse->setFixedWidth(Browse->sizeHint().height() + 8);
    Format->addItems({QStringLiteral("ZIP"), QStringLiteral("RAR"), QStringLiteral("ARJ"),
                      QStringLiteral("ACE")});
    Format->setCurrentIndex(std::clamp(form.format, 0, 3));
    Compression->addItems(
        {QStringLiteral("Best"), QStringLiteral("Normal"), QStringLiteral("Fast")});
    Compression->setCurrentIndex(std::clamp(form.compression, 0, 2));
    Volume->setEditable(true);
    Volume->addItems(VolumeSizeTexts());
    Volume->setCurrentIndex(0);
    // Longer passwords are refused on Start rather than cut while typed.
    Password->setEchoMode(QLineEdit::Password);
    Recursive->setChecked(form.recursive);

    auto *grid = new QGridLayout;
    const auto row = [&](int at, const char *text, QWidget *field, QWidget *extra = nullptr) {
        auto *label = new QLabel(QLatin1String(text), this);
        label->setBuddy(field);
        grid->addWidget(label, at, 0);
        if (extra) {
            auto *line = new QHBoxLayout;
            line->addWidget(field, 1);
            line->addWidget(extra);
            grid->addLayout(line, at, 1);
        } else {
            grid->addWidget(field, at, 1);
        }
    };
    row(0, "&Filename :", FileName, Browse);
    row(1, "Fo&rmat :", Format);
    row(2, "&Compression :", Compression);
    row(3, "&Volume :", Volume);
    row(4, "&Password :", Password);
    grid->addWidget(Recursive, 5, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Start);
    buttons->addWidget(Cancel);
    Start->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Format, &QComboBox::currentIndexChanged, this, &TfArchive::FormatChange);
    connect(Browse, &QPushButton::clicked, this, &TfArchive::BrowseClick);
    connect(Start, &QPushButton::clicked, this, &TfArchive::StartClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    FormatChange();
}

void TfArchive::Read(TArchiveForm &form) const
{
    form.fileName = FileName->text();
    form.format = Format->currentIndex();
    form.compression = Compression->currentIndex();
    form.volume = Volume->currentText();
    form.password = Password->isEnabled() ? Password->text() : QString();
    form.recursive = Recursive->isChecked();
}

// ZIP makes no volumes; ARJ takes no password.
void TfArchive::FormatChange()
{
    const int format = Format->currentIndex();
    Volume->setEnabled(format > atZip);
    if (format == atZip)
        Volume->setCurrentIndex(0);
    Password->setEnabled(format != atArj);
}

void TfArchive::BrowseClick()
{
    QString path = sys::FromTypedPath(FileName->text().trimmed());
    const QString extension = ArchiveExtension(TArchiveType(Format->currentIndex()));
    if (Ask().SaveFileName(
            this, QStringLiteral("Save As"),
            Format->currentText() + QStringLiteral(" (*") + extension + QLatin1Char(')'), path))
        FileName->setText(path);
}

void TfArchive::StartClick()
{
    TArchiveForm form;
    form.caption = windowTitle();
    Read(form);
    if (!accept || accept(form))
        QDialog::accept();
    else if (form.password.isEmpty())
        Password->clear();
}

TfArcProp::TfArcProp(QWidget *parent, const TArchivePropForm &form)
    : QDialog(parent), Gauge(new TXPGauge(this)), Ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("Archive Properties"));
    setObjectName(QStringLiteral("fArcProp"));
    auto *name = new QLabel(form.fileName, this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto *grid = new QGridLayout;
    const auto row = [&](int at, const char *caption, const QString &value) {
        grid->addWidget(new QLabel(QLatin1String(caption), this), at, 0);
        auto *text = new QLabel(value, this);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(text, at, 1);
    };
    row(0, "Total Files : ", form.totalFiles);
    row(1, "Original Size :", form.originalSize);
    row(2, "Packed Size :", form.packedSize);
    Gauge->SetMaxValue(100);
    Gauge->SetProgress(quint64(std::clamp(form.ratio, 0, 100)));
    Gauge->setAccessibleName(QStringLiteral("Ratio %1%").arg(form.ratio));
    Ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addLayout(grid);
    layout->addWidget(Gauge);
    layout->addLayout(buttons);
    setMinimumWidth(280);
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
}

int QtAsk::ArchiveOptions(QObject *owner, TArchiveForm &form)
{
    TfArchive dialog(DialogParent(owner), form);
    const int result = ExecDialog(dialog, owner);
    dialog.Read(form);
    return result == QDialog::Accepted ? int(mrOk) : int(mrCancel);
}

void QtAsk::ArchiveProperties(QObject *owner, const TArchivePropForm &form)
{
    TfArcProp dialog(DialogParent(owner), form);
    ExecDialog(dialog, owner);
}

} // namespace kestrel
