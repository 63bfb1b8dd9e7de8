#include "app/workfolderbuttons.h"

#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {
const QString kHint = QStringLiteral("Work Folder");

double Luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour's hue at a lightness that reads on the background: contrast of
// at least 4.5 to 1, the usual measure for text. Darker on a light bar,
// lighter on a dark one.
QColor ReadableOn(const QColor &color, const QColor &background)
{
    const bool darken = Luminance(background) > 0.18;
    QColor shown = color.toHsl();
    for (float l = shown.lightnessF(); Contrast(shown, background) < 4.5;) {
        l += darken ? -0.02f : 0.02f;
        if (l < 0 || l > 1)
            break;
        shown = QColor::fromHslF(color.hslHueF(), color.hslSaturationF(), l);
    }
    return shown;
}

QColor FromColorValue(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
} // namespace

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
        const QColor bar = palette.color(QPalette::Window);
        switch (folders.State(slot, here)) {
        case TWorkState::Here:
            palette.setColor(QPalette::ButtonText, ReadableOn(FromColorValue(kWorkHere), bar));
            break;
        case TWorkState::Other:
            palette.setColor(QPalette::ButtonText, ReadableOn(FromColorValue(kWorkOther), bar));
            break;
        case TWorkState::Empty:
            break;
        }
        button->setPalette(palette);
    }
}

} // namespace kestrel
