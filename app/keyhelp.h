#pragma once
// TKeyHelp: keeps the button status bar's key help in step with the Alt and
// Ctrl keys. The help shows while one of them is held down in the panel and
// goes on any other key, on its release, and whenever the panel loses the
// keys (a dialog, a menu, another window); when the window gets the keys
// back, the keys really held decide.

#include <QObject>

class QWidget;

namespace kestrel {

class TBtnStatusBar;

class TKeyHelp : public QObject {
    Q_OBJECT
public:
    TKeyHelp(TBtnStatusBar &bar, QWidget &panel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool PanelEvent(QEvent *event);
    void FollowHeldKeys();

    TBtnStatusBar &bar;
    QWidget &panel;
};

} // namespace kestrel
