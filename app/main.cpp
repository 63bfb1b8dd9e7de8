#include "app/mainwindow.h"
#include "ops/ask.h"
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
    mainWindow.show();
    // Used by the smoke test: start, show the window once, quit.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &app, &QApplication::quit);
    const int rc = app.exec();
    kestrel::SetAsk(nullptr);
    return rc;
}
