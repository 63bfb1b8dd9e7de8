#pragma once
// TfAttrib: the Attributes/Time dialog for one entry: its four attributes,
// or, with Change Date/Time, its date and time; Recurse for the files below
// a folder; All (also the End key) for every remaining entry.

#include "ops/ask.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestrel {

class TDateEdit;
class TTimeEdit;

class TfAttrib : public QDialog {
    Q_OBJECT
public:
    TfAttrib(QWidget *parent, const TAttribForm &form);
    void Read(TAttribForm &form) const;

    QLabel *FileName;
    QCheckBox *Archive;
    QCheckBox *Readonly;
    QCheckBox *Hidden;
    QCheckBox *System;
    QCheckBox *ApplyDateTime;
    TDateEdit *Date;
    TTimeEdit *Time;
    QCheckBox *Recurse;
    QPushButton *Ok;
    QPushButton *Cancel;
    QPushButton *All;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One run changes either the attributes or the time.
    void ApplyDateTimeClick();
};

} // namespace kestrel
