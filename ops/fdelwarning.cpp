#include "ops/fdelwarning.h"

#include "ops/ask.h"
#include "text/strings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kestrel {

TfDelWarning::TfDelWarning(QWidget *parent, const QString &text, int focused, bool allCaption)
    : QDialog(parent), Text(new QLabel(text, this)),
      AllBtn(new QPushButton(
          allCaption ? LoadStr(568) + QStringLiteral("(&A)") : QStringLiteral("&Delete"), this)),
      YesBtn(new QPushButton(QStringLiteral("&Yes"), this)),
      NoBtn(new QPushButton(QStringLiteral("&No"), this))
{
    setWindowTitle(QStringLiteral("Delete Confirm"));
    Text->setTextFormat(Qt::PlainText);
    Text->setWordWrap(true);
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(Text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {AllBtn, YesBtn, NoBtn}) {
        button->setAutoDefault(true);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(AllBtn, &QPushButton::clicked, this, [this] { done(mrAll); });
    connect(YesBtn, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(NoBtn, &QPushButton::clicked, this, [this] { done(mrNo); });

    QPushButton *first = focused == 0 ? AllBtn : focused == 1 ? YesBtn : NoBtn;
    first->setDefault(true);
    first->setFocus();
}

void TfDelWarning::reject()
{
    done(mrCancel);
}

} // namespace kestrel
