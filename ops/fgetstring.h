#pragma once
// TfGetString: the one-line input dialog (prompt, edit, OK and Cancel).

#include <QDialog>

class QLabel;
class QLineEdit;

namespace kestrel {

class TfGetString : public QDialog {
    Q_OBJECT
public:
    explicit TfGetString(QWidget *parent);

    QLabel *Descript;
    QLineEdit *Edit;
};

} // namespace kestrel
