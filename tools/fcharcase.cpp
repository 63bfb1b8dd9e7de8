#include "tools/fcharcase.h"

#include "ops/ask.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kestrel {

TfCharCase::TfCharCase(QWidget *parent, bool upper)
    : QDialog(parent), Text(new QLabel(this)),
      Recursive(new QCheckBox(QStringLiteral("&Recursive subfolders"), this)),
      Yes(new QPushButton(QStringLiteral("&Yes"), this)),
      No(new QPushButton(QStringLiteral("&No"), this))
{
    setObjectName(QStringLiteral("fCharCase"));
    setWindowTitle(upper ? QStringLiteral("Uppercase Filename")
                         : QStringLiteral("Lowercase Filename"));
    Text->setText(upper ? QStringLiteral("Are you sure you want to uppercase filename?")
                        : QStringLiteral("Are you sure you want to lowercase filename?"));
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto *question = new QHBoxLayout;
    question->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->addWidget(Text);
    texts->addWidget(Recursive);
    question->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Yes);
    buttons->addWidget(No);
    buttons->addStretch(1);
    Yes->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(question);
    layout->addLayout(buttons);
    connect(Yes, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(No, &QPushButton::clicked, this, [this] { done(mrNo); });
}

} // namespace kestrel
