#include "app/workfolderbuttons.h"

#include <QToolBar>
#include <QToolButton>

namespace kestrel {

namespace {
const QString kHint = QStringLiteral("Work Folder");
}

TWorkFolderButtons::TWorkFolderButtons(QToolBar &bar) : QObject(&bar)
{
    for (int slot = 0; slot < TWorkFolders::count; ++slot) {
        auto *button = new QToolButton(&bar);
        button->setObjectName(QStringLiteral("bWork%1").arg(slot + 1));
        button->setText(QString::number(slot + 1));
        button->setToolTip(kHint);
        button->setAutoRaise(true);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        bar.addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, slot] { Click(slot); });
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, slot] { RightClick(slot); });
        buttons[size_t(slot)] = button;
    }
    Recolor();
}

void TWorkFolderButtons::SetSlot(int slot)
{
    if (!folders.Set(slot, PanelFolder ? PanelFolder() : QString()))
        return;
    buttons[size_t(slot)]->setToolTip(folders.Get(slot));
    Recolor();
}

void TWorkFolderButtons::GoSlot(int slot)
{
    if (folders.IsSet(slot) && OnOpen)
        OnOpen(folders.Get(slot));
}

void TWorkFolderButtons::Click(int slot)
{
    if (folders.IsSet(slot))
        GoSlot(slot);
    else
        SetSlot(slot);
}

void TWorkFolderButtons::RightClick(int slot)
{
    if (!folders.IsSet(slot))
        return;
    folders.Clear(slot);
    buttons[size_t(slot)]->setToolTip(kHint);
    Recolor();
}

void TWorkFolderButtons::Recolor()
{
    const QString here = PanelFolder ? PanelFolder() : QString();
    for (int slot = 0; slot < TWorkFolders::count; ++slot) {
        QToolButton *button = buttons[size_t(slot)];
        QPalette palette = button->parentWidget()->palette();
        switch (folders.State(slot, here)) {
        case TWorkState::Here:
            palette.setColor(QPalette::ButtonText, QColor::fromRgb(kWorkHere));
            break;
        case TWorkState::Other:
            palette.setColor(QPalette::ButtonText, QColor::fromRgb(kWorkOther));
            break;
        case TWorkState::Empty:
            break;
        }
        button->setPalette(palette);
    }
}

} // namespace kestrel
