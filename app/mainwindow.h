#pragma once
// TfMain: the main window that holds the file panel.

#include <QMainWindow>

namespace kestrel {

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfMain(QWidget *parent = nullptr);
};

} // namespace kestrel
