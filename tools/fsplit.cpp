#include "tools/fsplit.h"

#include "platform/drives.h"
#include "text/strings.h"
#include "tools/splitformat.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

TfSplit::TfSplit(QWidget *parent, const TSplitForm &form)
    : QDialog(parent), FileName(new QLabel(form.fileText, this)), Path(new QLineEdit(this)),
      Browse(new QPushButton(QStringLiteral("..."), this)), Size(new QComboBox(this)),
      Ok(new QPushButton(QStringLiteral("OK"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(LoadStr(598));
    setObjectName(QStringLiteral("fSplit"));
    Path->setText(form.folder);
    Path->setMinimumWidth(320);
    Browse->setAutoDefault(false);
    Browse->setFixedWidth(Browse->sizeHint().height() + 8);
    // The size may be typed as well as picked.
    Size->setEditable(true);
    Size->addItems(SplitSizeTexts());
    const int proposed = Size->findText(form.sizeText);
    if (proposed >= 0)
        Size->setCurrentIndex(proposed);
    else
        Size->setEditText(form.sizeText);

    auto *pathLabel = new QLabel(QStringLiteral("Path to Sa&ve :"), this);
    pathLabel->setBuddy(Path);
    auto *sizeLabel = new QLabel(QStringLiteral("&Size per File :"), this);
    sizeLabel->setBuddy(Size);
    auto *note = new QLabel(QStringLiteral("Compatible with Mendex"), this);
    note->setEnabled(false);

    auto *grid = new QGridLayout;
    grid->addWidget(pathLabel, 0, 0);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(Path, 1);
    pathRow->addWidget(Browse);
    grid->addLayout(pathRow, 0, 1);
    grid->addWidget(sizeLabel, 1, 0);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(Size);
    sizeRow->addStretch(1);
    sizeRow->addWidget(note);
    grid->addLayout(sizeRow, 1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    Ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FileName);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Browse, &QPushButton::clicked, this, &TfSplit::BrowseClick);
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfSplit::Read(TSplitForm &form) const
{
    form.folder = Path->text();
    form.sizeText = Size->currentText();
}

void TfSplit::BrowseClick()
{
    QString folder = sys::FromTypedPath(Path->text().trimmed());
    if (Ask().SelectFolder(this, LoadStr(517), folder))
        Path->setText(folder);
}

} // namespace kestrel
