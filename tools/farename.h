#pragma once
// TfARename: the Advanced Rename dialog. It edits one rule, shows the names
// it gives (and which of them cannot be used) while the rule is edited, and
// hands them back on OK. TRenamePreview: the larger preview window of its
// Preview button.

#include "ops/ask.h"
#include "tools/arename.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;

namespace kestrel {

class TRenamePreview : public QDialog {
    Q_OBJECT
public:
    TRenamePreview(QWidget *parent, const QStringList &originals, const QStringList &names);

    QTreeWidget *List;
    QPushButton *Close;
};

class TfARename : public QDialog {
    Q_OBJECT
public:
    TfARename(QWidget *parent, const TAdvancedRenameForm &form);

    TRenameRule Rule() const;
    // The names of the last computation, as long as the form's sources.
    QStringList Results() const { return results; }

    QComboBox *Action;
    QRadioButton *ChangeName;
    QRadioButton *ChangeExt;
    QStackedWidget *Options;
    QLabel *EditCaption;
    QLineEdit *Edit;
    QLabel *Help;
    QRadioButton *Head;
    QRadioButton *Tail;
    QSpinBox *Start;
    QSpinBox *Step;
    QComboBox *Digits;
    QLineEdit *Find;
    QLineEdit *Replace;
    QTreeWidget *Live;  // the names as the rule stands
    QLabel *LiveStatus; // what keeps them from being used
    QPushButton *Preview;
    QPushButton *Ok;
    QPushButton *Cancel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ActionChange1();
    // Computes the names; the problems of each entry into problems. False
    // with the message when the rule cannot be applied.
    bool Compute(QStringList &problems, QString &message);
    void UpdateLive();
    void PreviewClick();
    void OkClick();

    TAdvancedRenameForm form;
    QStringList results;
};

} // namespace kestrel
