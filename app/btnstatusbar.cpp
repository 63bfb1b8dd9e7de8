#include "app/btnstatusbar.h"

#include <QHBoxLayout>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>

namespace kestrel {

namespace {

// A flat button as wide as its text asks; given less, it ends the text with
// "…" instead of cutting both ends off.
class TBarButton : public QToolButton {
public:
    explicit TBarButton(const QString &text, QWidget *parent) : QToolButton(parent)
    {
        setText(text);
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return {TextWidth(text()) + 2 * Margin(), QToolButton::sizeHint().height()};
    }
    QSize minimumSizeHint() const override
    {
        return {TextWidth(QStringLiteral("…")) + 2 * Margin(),
                QToolButton::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        if (width() < sizeHint().width())
            option.text = fontMetrics().elidedText(text(), Qt::ElideRight, width() - 2 * Margin());
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
    }

private:
    // Advances are rounded: one pixel more keeps a text that fits whole.
    int TextWidth(const QString &text) const { return fontMetrics().horizontalAdvance(text) + 1; }
    // Room beside the text for the button's frame.
    int Margin() const { return style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2; }
};

} // namespace

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
        auto *button = new TBarButton(items[i], this);
        if (clickable)
            connect(button, &QToolButton::clicked, this, [this, i] {
                if (OnClick)
                    OnClick(i);
            });
        layout->addWidget(button);
    }
}

} // namespace kestrel
