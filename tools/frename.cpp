#include "tools/frename.h"

#include "tools/targets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

TfRename::TfRename(QWidget *parent, const TRenameForm &form)
    : QDialog(parent), OldFileName(new QLabel(this)), FileName(new QLineEdit(this)),
      Extension(new QCheckBox(QStringLiteral("Change E&xtension"), this)),
      Advanced(new QPushButton(QStringLiteral("&Advanced"), this)),
      Ok(new QPushButton(QStringLiteral("&OK"), this)),
      Cancel(new QPushButton(QStringLiteral("&Cancel"), this)), advanced(form.advanced)
{
    setWindowTitle(QStringLiteral("Rename"));
    setObjectName(QStringLiteral("fRename"));
    const QString name = advanced.sources.value(form.index);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    oldExtension = dot < 0 ? QString() : name.sliced(dot);
    OldFileName->setText(NumberedText(name, form.index, int(advanced.sources.size())));
    OldFileName->setTextFormat(Qt::PlainText);
    FileName->setText(form.text);
    FileName->setMinimumWidth(360);
    Extension->setChecked(true);
    if (!form.changeExtension) {
        Extension->setChecked(false);
        ExtensionClick(false);
    }
    FileName->selectAll();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Extension);
    buttons->addStretch(1);
    buttons->addWidget(Advanced);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    Ok->setDefault(true);
    Advanced->setAutoDefault(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(OldFileName);
    layout->addWidget(FileName);
    layout->addLayout(buttons);

    connect(Extension, &QCheckBox::toggled, this, &TfRename::ExtensionClick);
    connect(Advanced, &QPushButton::clicked, this, &TfRename::AdvancedClick);
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfRename::Read(TRenameForm &form) const
{
    form.text = FileName->text();
    form.changeExtension = Extension->isChecked();
    form.advanced.results = advanced.results;
}

void TfRename::ExtensionClick(bool changeExtension)
{
    const QString text = FileName->text();
    if (!oldExtension.isEmpty()) {
        if (!changeExtension && text.endsWith(oldExtension))
            FileName->setText(text.chopped(oldExtension.size()));
        else if (changeExtension && !text.endsWith(oldExtension))
            FileName->setText(text + oldExtension);
    }
    // Typing goes on in the name, all of it selected.
    FileName->selectAll();
    FileName->setFocus();
}

void TfRename::AdvancedClick()
{
    if (Ask().AdvancedRename(this, advanced) == mrOk)
        done(mrAll);
}

} // namespace kestrel
