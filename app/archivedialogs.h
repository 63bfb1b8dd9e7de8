#pragma once
// The archive dialogs: fArchive, where Add to Archive and Move to Archive
// take the archive's name, format and options, and fArcProp, the totals of
// the open archive.

#include "ops/ask.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class TXPGauge;

class TfArchive : public QDialog {
    Q_OBJECT
public:
    TfArchive(QWidget *parent, const TArchiveForm &form);
    // The form as the user left it.
    void Read(TArchiveForm &form) const;

    QLineEdit *FileName;
    QPushButton *Browse;
    QComboBox *Format;
    QComboBox *Compression;
    QComboBox *Volume;
    QLineEdit *Password;
    QCheckBox *Recursive;
    QPushButton *Start;
    QPushButton *Cancel;

private:
    void FormatChange();
    void BrowseClick();
    void StartClick();

    std::function<bool(TArchiveForm &)> accept;
};

class TfArcProp : public QDialog {
    Q_OBJECT
public:
    TfArcProp(QWidget *parent, const TArchivePropForm &form);

    TXPGauge *Gauge;
    QPushButton *Ok;
};

// The volume sizes the Add dialog offers, "None" first.
QStringList VolumeSizeTexts();

} // namespace kestrel
