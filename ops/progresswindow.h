#pragma once
// What the two progress windows share: a modeless top-level window that is
// centred over its owner, disables the owner while it is shown and enables
// it again on close, and turns Cancel, Escape and the close box into a
// cancel flag that the engine polls. While shown it keeps the keys: it takes
// them when it opens and whenever its disabled owner would get them (after a
// question closes), so Escape always reaches it.

#include <QDialog>
#include <QPointer>

namespace kestrel {

class TProgressWindow : public QDialog {
    Q_OBJECT
public:
    bool CancelFlag() const { return cancelled; }
    void SetCancelFlag() { cancelled = true; }

protected:
    explicit TProgressWindow(QWidget *parent);
    // Centres over the owner, disables it, shows the window and lets it paint.
    void OpenOver(QObject *owner);
    // Called when a run opens the window, before it shows: empty the texts.
    virtual void Reset() = 0;
    // Called on every close, by the engine or by the user.
    virtual void Closing() {}

    void closeEvent(QCloseEvent *event) override;
    void reject() override; // Escape: the same as Cancel, the engine closes
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> disabledOwner;
    bool cancelled = false;
};

} // namespace kestrel
