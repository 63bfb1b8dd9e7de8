#pragma once
// TfDelWarning: the delete question and the warning for items with
// important attributes. Modal results: mrAll for the first button, mrYes,
// mrNo, and mrCancel for Escape and the close box.

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrel {

class TfDelWarning : public QDialog {
    Q_OBJECT
public:
    // focused: 0 the first button, 1 Yes, any other value No. allCaption
    // recaptions the first button "All(&A)".
    TfDelWarning(QWidget *parent, const QString &text, int focused, bool allCaption);

    QLabel *Text;
    QPushButton *AllBtn;
    QPushButton *YesBtn;
    QPushButton *NoBtn;

protected:
    void reject() override;
};

} // namespace kestrel
