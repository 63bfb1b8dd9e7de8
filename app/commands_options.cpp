// Tools > Options: the Preferences dialog over the main window.

#include "app/fpreferences.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "ops/qtask.h"

namespace kestrel {

void TfMain::Options1Click()
{
    // The colour set shown is the one the panel uses; Apply writes the
    // user's own copy in the program folder.
    TfPreferences dialog(this, *ini, UserOrSharedFile(QStringLiteral("kestrel.col")),
                         ProgramFile(QStringLiteral("kestrel.col")), [this] { LoadOptions(); });
    // The main window is disabled while the dialog is open; the dialog, a
    // window of its own, is enabled again over it.
    setEnabled(false);
    dialog.setEnabled(true);
    ExecDialog(dialog, this);
    setEnabled(true);
    activateWindow();
}

} // namespace kestrel
