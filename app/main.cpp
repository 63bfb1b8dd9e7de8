#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/fcopying.h"
#include "ops/fdeleting.h"
#include "ops/heldask.h"
#include "ops/qtask.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral("4.0"));
    // The desktop matches the windows to kestrel.desktop, and with it to the
    // menu entry and the icon; the installed icon is also the windows' own.
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kestrel")));

    // Every question holds back automatic panel reloads while it is open.
    kestrel::QtAsk dialogs;
    kestrel::THeldAsk heldDialogs(dialogs);
    kestrel::SetAsk(&heldDialogs);

    kestrel::TfMain mainWindow(QApplication::arguments().mid(1));
    // The two progress windows live for the whole run and serve every operation.
    kestrel::TfCopying fCopying;
    kestrel::TfDeleting fDeleting;
    kestrel::SetProgressWindows(&fCopying, &fDeleting);
    mainWindow.show();
    // Used by the smoke test and the start-up benchmark: start, paint the
    // window once, close it as the user would (saving the state), quit.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &mainWindow, [&mainWindow] {
            mainWindow.repaint();
            mainWindow.close();
        });
    const int rc = app.exec();
    kestrel::SetProgressWindows(nullptr, nullptr);
    kestrel::SetAsk(nullptr);
    return rc;
}
