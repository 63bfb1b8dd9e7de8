#include "ops/fdeleting.h"

#include "widgets/xpgauge.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace kestrel {

TfDeleting::TfDeleting(QWidget *parent)
    : TProgressWindow(parent), Item(new QLabel(this)), Gauge(new TXPGauge(this)),
      bCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Deleting..."));
    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_TrashIcon).pixmap(32, 32));
    Item->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Item->setTextFormat(Qt::PlainText);
    Gauge->SetTotalStep(32);
    Gauge->setFixedHeight(18);
    bCancel->setDefault(true);
    connect(bCancel, &QPushButton::clicked, this, &TfDeleting::SetCancelFlag);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setVerticalSpacing(8);
    layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(Item, 0, 1);
    layout->addWidget(Gauge, 1, 1);
    layout->addWidget(bCancel, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    setFixedWidth(400);
}

void TfDeleting::Open(int maxValue, QObject *owner)
{
    Gauge->SetMaxValue(quint64(qMax(maxValue, 1)));
    OpenOver(owner);
}

void TfDeleting::Reset()
{
    Item->clear();
    Gauge->SetProgress(0);
}

void TfDeleting::SetItem(const QString &text)
{
    Item->setText(text);
}

int TfDeleting::Progress() const
{
    return int(Gauge->Progress());
}

void TfDeleting::SetProgress(int value)
{
    if (value >= 0)
        Gauge->SetProgress(quint64(value));
}

} // namespace kestrel
