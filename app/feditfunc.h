#pragma once
// TfEditFunc: edits one function-key entry, either a program link (display
// name, program, parameters) or a built-in command (display name, command).

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class TfEditFunc : public QDialog {
    Q_OBJECT
public:
    TfEditFunc(QWidget *parent, const QString &entry);

    // The entry the fields make; "" when they name neither a program nor a
    // command.
    QString Entry() const;

    QRadioButton *LinkProgram;
    QRadioButton *KestrelFunction;
    QLineEdit *DisplayName;
    QLineEdit *Command;
    QPushButton *Browse;
    QLineEdit *Parameters;
    QComboBox *Function;

    void accept() override;

private:
    void UpdateEnabled();
    void BrowseClick();
};

} // namespace kestrel
