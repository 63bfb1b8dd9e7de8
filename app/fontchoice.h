#pragma once
// The font a font setting stands for on this desktop. The settings name
// Windows fonts; a family that is not installed would leave the choice to
// whatever font the font configuration lists first.

#include "app/settings.h"

#include <QFont>

namespace kestrel {

// The named family when it is installed, else the desktop's fixed font for
// a fixed-pitch Windows family and its user-interface font for any other;
// the size and weight are the setting's either way.
QFont ChosenFont(const TFontSpec &wanted);

} // namespace kestrel
