#pragma once
// TfGetString: the one-line input dialog (prompt, edit, OK and Cancel).
// Modal results: mrOk, and mrCancel for Cancel, Escape and the close box.

#include <QDialog>
#include <QLineEdit>

class QLabel;
class QPushButton;

namespace kestrel {

// A line edit that selects its whole text when the focus enters only when
// told to, and can keep its selection when the focus moves on, so the user
// still sees what a button press will act on.
class TSelectionEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    bool AutoSelect = true;
    bool KeepSelection = false;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

class TfGetString : public QDialog {
    Q_OBJECT
public:
    explicit TfGetString(QWidget *parent);

    // Fills the dialog: the caption, the prompt, the text with the whole
    // text selected or the cursor at its end.
    void Setup(const QString &caption, const QString &prompt, const QString &text, bool selectAll,
               bool keepSelection);

    QLabel *Descript;
    TSelectionEdit *Edit;
    QPushButton *Ok;
    QPushButton *Cancel;

protected:
    void reject() override;
};

} // namespace kestrel
