#pragma once
// TfCharCase: asks whether to change the case of the chosen names, with the
// choice of doing the same to the entries directly inside chosen folders.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestrel {

class TfCharCase : public QDialog {
    Q_OBJECT
public:
    TfCharCase(QWidget *parent, bool upper);

    QLabel *Text;
    QCheckBox *Recursive;
    QPushButton *Yes;
    QPushButton *No;
};

} // namespace kestrel
