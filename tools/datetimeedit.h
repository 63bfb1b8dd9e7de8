#pragma once
// The Date and Time edits of the Attributes/Time dialog: a fixed form
// ("YYYY-MM-DD", "HH:MM") that digits overwrite in place. A digit that could
// never be right at its place (a month tens above 1, an hour tens above 2)
// is refused; the caret jumps over the separators; Backspace only moves
// left; every other character is swallowed.

#include <QLineEdit>

namespace kestrel {

class TMaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskedEdit(QWidget *parent = nullptr);

protected:
    // Whether digit may stand at caret position p.
    virtual bool Accepts(int p, int digit) const = 0;
    // Where the caret goes after a digit typed at p.
    virtual int Next(int p) const = 0;

    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};

class TDateEdit : public TMaskedEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget *parent = nullptr);

protected:
    bool Accepts(int p, int digit) const override;
    int Next(int p) const override;
};

class TTimeEdit : public TMaskedEdit {
    Q_OBJECT
public:
    explicit TTimeEdit(QWidget *parent = nullptr);

protected:
    bool Accepts(int p, int digit) const override;
    int Next(int p) const override;
};

} // namespace kestrel
