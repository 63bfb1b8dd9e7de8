#include "ops/fgetstring.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

TfGetString::TfGetString(QWidget *parent)
    : QDialog(parent), Descript(new QLabel(this)), Edit(new QLineEdit(this))
{
    Descript->setWordWrap(true);
    Descript->setBuddy(Edit);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Descript);
    layout->addWidget(Edit);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

} // namespace kestrel
