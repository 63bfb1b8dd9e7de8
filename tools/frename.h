#pragma once
// TfRename: the Rename dialog for one entry of a run: its name and number,
// the new name, Change Extension, and Advanced, which names this entry and
// every later one by one rule (the dialog then ends with mrAll).

#include "ops/ask.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class TfRename : public QDialog {
    Q_OBJECT
public:
    TfRename(QWidget *parent, const TRenameForm &form);
    void Read(TRenameForm &form) const;

    QLabel *OldFileName;
    QLineEdit *FileName;
    QCheckBox *Extension;
    QPushButton *Advanced;
    QPushButton *Ok;
    QPushButton *Cancel;

private:
    // Without Change Extension the edit holds the name without it, which is
    // kept as it was.
    void ExtensionClick(bool changeExtension);
    void AdvancedClick();

    TAdvancedRenameForm advanced;
    QString oldExtension;
};

} // namespace kestrel
