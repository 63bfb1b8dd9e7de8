#pragma once
// Runs one of the network dialogs over the window that opened it.

class QDialog;
class QWidget;

namespace kestrel {

// Centres the dialog over owner's window, runs it (holding the panel's
// reloads back, as a question does), and gives the keys back to that window
// when it closes, also where no window manager would.
// Returns the dialog's result.
int ExecModal(QDialog &dialog, QWidget *owner);

} // namespace kestrel
