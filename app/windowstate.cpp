#include "app/windowstate.h"

#include <QWidget>

namespace kestrel {

void ApplyPlacement(QWidget &window, const TWindowPlacement &placement)
{
    if (placement.maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    window.move(placement.left, placement.top);
    window.resize(placement.width, placement.height);
}

TWindowPlacement CurrentPlacement(const QWidget &window)
{
    return {window.isMaximized(), window.x(), window.y(), window.width(), window.height()};
}

} // namespace kestrel
