#pragma once
// TfFileExists: the replace dialog asked when a target already exists.
// Modal results: mrYes overwrite, mrNo skip, mrRetry renamed (NewTarget()
// holds the new path), mrCancel for Cancel, Escape and the close box.

#include "ops/ask.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestrel {

// Asks for a new target path in place of the given one; true with the new
// path when the user entered an acceptable name, false when he gave up.
using TRenameTarget = std::function<bool(QObject *owner, QString &target)>;

class TfFileExists : public QDialog {
    Q_OBJECT
public:
    TfFileExists(QWidget *parent, const TFileExistsQuestion &question, TRenameTarget rename);

    QString NewTarget() const { return targetPath; }

    QLabel *FileName;
    QLabel *Origin;
    QLabel *New;
    QLabel *FolderOverConfirm;
    QPushButton *Overwrite;
    QPushButton *Skip;
    QPushButton *Rename;
    QPushButton *Cancel;
    QCheckBox *All;

protected:
    void reject() override;

private:
    void RenameClick();

    QString targetPath;
    TRenameTarget renameTarget;
};

} // namespace kestrel
