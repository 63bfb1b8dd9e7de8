#pragma once
// The main window's placement as the settings file keeps it: the frame's
// position and the window's size, or maximised (whose bounds are then the
// maximised ones).

#include "app/settings.h"

class QWidget;

namespace kestrel {

void ApplyPlacement(QWidget &window, const TWindowPlacement &placement);
TWindowPlacement CurrentPlacement(const QWidget &window);

} // namespace kestrel
