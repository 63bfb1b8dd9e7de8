#include "app/btnstatusbar.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace kestrel {

TBtnStatusBar::TBtnStatusBar(QWidget *parent) : QWidget(parent), layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("BtnStatusBar1"));
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(1);
}

void TBtnStatusBar::SetNormalItems(const QStringList &items)
{
    normalItems = items;
    if (mode == khNormal)
        Show(normalItems, true);
}

void TBtnStatusBar::SetKeyHelpMode(TKeyHelpMode value)
{
    if (value == mode && !shown.isEmpty())
        return;
    mode = value;
    Show(mode == khNormal ? normalItems : KeyHelpItems(mode, ctrlX), mode == khNormal);
}

void TBtnStatusBar::SetCtrlX(bool extractOwnsCtrlX)
{
    ctrlX = extractOwnsCtrlX;
    if (mode == khCtrl)
        Show(KeyHelpItems(mode, ctrlX), false);
}

void TBtnStatusBar::Show(const QStringList &items, bool clickable)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    shown = items;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QToolButton(this);
        button->setText(items[i]);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // The help texts are wider than the function keys: they are clipped
        // rather than widening the window.
        button->setMinimumWidth(8);
        if (clickable)
            connect(button, &QToolButton::clicked, this, [this, i] {
                if (OnClick)
                    OnClick(i);
            });
        layout->addWidget(button, 1);
    }
}

} // namespace kestrel
