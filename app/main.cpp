#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/fcopying.h"
#include "ops/fdeleting.h"
#include "ops/qtask.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral("4.0"));

    kestrel::QtAsk dialogs;
    kestrel::SetAsk(&dialogs);

    kestrel::TfMain mainWindow;
    // The two progress windows live for the whole run and serve every operation.
    kestrel::TfCopying fCopying;
    kestrel::TfDeleting fDeleting;
    kestrel::SetProgressWindows(&fCopying, &fDeleting);
    mainWindow.show();
    // Used by the smoke test: start, show the window once, quit.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &app, &QApplication::quit);
    const int rc = app.exec();
    kestrel::SetProgressWindows(nullptr, nullptr);
    kestrel::SetAsk(nullptr);
    return rc;
}
