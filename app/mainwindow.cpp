#include "app/mainwindow.h"

namespace kestrel {

TfMain::TfMain(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kestrel 4.0"));
    resize(800, 560);
}

} // namespace kestrel
