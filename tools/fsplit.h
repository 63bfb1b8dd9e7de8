#pragma once
// TfSplit: the Split File dialog. The file's name and size, the folder the
// pieces go to (typed, or picked with "..."), and the piece size, picked from
// the list or typed.

#include "ops/ask.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class TfSplit : public QDialog {
    Q_OBJECT
public:
    TfSplit(QWidget *parent, const TSplitForm &form);
    // The form as the user left it.
    void Read(TSplitForm &form) const;

    QLabel *FileName;
    QLineEdit *Path;
    QPushButton *Browse;
    QComboBox *Size;
    QPushButton *Ok;
    QPushButton *Cancel;

private:
    void BrowseClick();
};

} // namespace kestrel
