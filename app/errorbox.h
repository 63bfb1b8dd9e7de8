#pragma once
// The error box of the main window's single-item commands (OK only, caption
// "Error"), with the texts of the one error mapping.

#include "platform/wintypes.h"

#include <QObject>
#include <QString>

namespace kestrel {

QString CommandErrorText(sys::DWORD code);
void ShowCommandError(QObject *owner, sys::DWORD code);

// A number with thousands separators and no decimals ("1,234,567").
QString ThousandsText(sys::UINT64 value);

} // namespace kestrel
