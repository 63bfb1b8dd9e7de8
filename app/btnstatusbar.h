#pragma once
// TBtnStatusBar: a bar of flat buttons. Normally it shows the function keys;
// while Alt or Ctrl is held in the panel it shows that key's help.

#include "app/keymap.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QHBoxLayout;

namespace kestrel {

class TBtnStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TBtnStatusBar(QWidget *parent = nullptr);

    void SetNormalItems(const QStringList &items);
    TKeyHelpMode KeyHelpMode() const { return mode; }
    void SetKeyHelpMode(TKeyHelpMode value);
    // Whether Ctrl+X extracts (the CtrlX option), for the Ctrl help.
    void SetCtrlX(bool extractOwnsCtrlX);
    // The texts on the buttons now shown.
    QStringList Items() const { return shown; }

    // A normal item was clicked (its index).
    std::function<void(int index)> OnClick;

private:
    void Show(const QStringList &items, bool clickable);

    QHBoxLayout *layout;
    QStringList normalItems;
    QStringList shown;
    TKeyHelpMode mode = khNormal;
    bool ctrlX = false;
};

} // namespace kestrel
