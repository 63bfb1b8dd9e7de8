#include "ops/qtask.h"

#include "ops/conflicts.h"
#include "ops/fdelwarning.h"
#include "ops/ffileexists.h"
#include "ops/fgetstring.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace kestrel {

namespace {

QWidget *ParentOf(QObject *owner)
{
    if (auto *widget = qobject_cast<QWidget *>(owner))
        return widget->window();
    return QApplication::activeWindow();
}

// Dialogs open centred over the window that asks.
void CentreOver(QDialog &dialog, QObject *owner)
{
    dialog.adjustSize();
    if (QWidget *window = ParentOf(owner))
        dialog.move(window->frameGeometry().center() - dialog.rect().center());
}

// The Rename button of the replace dialog asks for the new name until it is
// valid or the user gives up.
TRenameTarget RenameTarget()
{
    return AskRenameTarget;
}

// The window that had the keys when a question was asked gets them back
// when it closes, also where no window manager hands them back. Right after
// an earlier question none may have them yet: then the asking window, or
// else the one the earlier question handed them to.
class TKeysBack {
public:
    explicit TKeysBack(QObject *owner) : window(Holder(owner)) {}
    ~TKeysBack()
    {
        if (!window || !window->isVisible())
            return;
        window->activateWindow();
        handedTo = window;
    }

private:
    static QWidget *Holder(QObject *owner)
    {
        if (QWidget *asking = ParentOf(owner))
            return asking;
        return handedTo;
    }

    static inline QPointer<QWidget> handedTo;
    QPointer<QWidget> window;
};

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int QtAsk::MessageBox(QObject *owner, const QString &text, const QString &caption, unsigned flags)
{
    const TKeysBack keysBack(owner);
    QMessageBox box(IconOf(flags), caption, text, QMessageBox::NoButton, ParentOf(owner));
    struct Choice {
        QString label;
        QMessageBox::ButtonRole role;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        choices = {{QStringLiteral("OK"), QMessageBox::AcceptRole, mrOk},
                   {QStringLiteral("Cancel"), QMessageBox::RejectRole, mrCancel}};
        break;
    case MB_YESNOCANCEL:
        choices = {{QStringLiteral("&Yes"), QMessageBox::YesRole, mrYes},
                   {QStringLiteral("&No"), QMessageBox::NoRole, mrNo},
                   {QStringLiteral("Cancel"), QMessageBox::RejectRole, mrCancel}};
        break;
    case MB_YESNO:
        choices = {{QStringLiteral("&Yes"), QMessageBox::YesRole, mrYes},
                   {QStringLiteral("&No"), QMessageBox::NoRole, mrNo}};
        break;
    default:
        choices = {{QStringLiteral("OK"), QMessageBox::AcceptRole, mrOk}};
        break;
    }
    QList<QAbstractButton *> buttons;
    for (const Choice &c : choices)
        buttons << box.addButton(c.label, c.role);
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    const int clicked = buttons.indexOf(box.clickedButton());
    if (clicked >= 0)
        return choices[clicked].result;
    // Closed with Escape or the close box: a YES/NO box answers No.
    return (flags & 0x0F) == MB_YESNO ? mrNo : (flags & 0x0F) == MB_OK ? mrOk : mrCancel;
}

int QtAsk::GetString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
                     bool selectAll, bool keepSelection, bool masked)
{
    const TKeysBack keysBack(owner);
    TfGetString dialog(ParentOf(owner));
    dialog.Setup(caption, prompt, text, selectAll, keepSelection);
    dialog.Edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    CentreOver(dialog, owner);
    if (dialog.exec() != mrOk)
        return mrCancel;
    text = dialog.Edit->text();
    return mrOk;
}

TFileExistsAnswer QtAsk::FileExists(QObject *owner, const TFileExistsQuestion &q)
{
    const TKeysBack keysBack(owner);
    TfFileExists dialog(ParentOf(owner), q, RenameTarget());
    CentreOver(dialog, owner);
    TFileExistsAnswer answer;
    answer.modalResult = dialog.exec();
    if (answer.modalResult != mrYes && answer.modalResult != mrNo && answer.modalResult != mrRetry)
        answer.modalResult = mrCancel;
    answer.all = dialog.All->isChecked();
    if (answer.modalResult == mrRetry)
        answer.newTarget = dialog.NewTarget();
    return answer;
}

int QtAsk::DeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption)
{
    const TKeysBack keysBack(owner);
    TfDelWarning dialog(ParentOf(owner), text, focused, allCaption);
    CentreOver(dialog, owner);
    const int result = dialog.exec();
    return result == mrAll || result == mrYes || result == mrNo ? result : mrCancel;
}

bool QtAsk::SelectFolder(QObject *owner, const QString &caption, QString &folder)
{
    const TKeysBack keysBack(owner);
    const QString chosen = QFileDialog::getExistingDirectory(ParentOf(owner), caption, folder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

bool QtAsk::OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                         QString &path)
{
    const TKeysBack keysBack(owner);
    const QString chosen = QFileDialog::getOpenFileName(ParentOf(owner), caption, path, filter);
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

bool QtAsk::SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                         QString &path)
{
    const TKeysBack keysBack(owner);
    const QString chosen = QFileDialog::getSaveFileName(ParentOf(owner), caption, path, filter);
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

int QtAsk::SelectDrive(QObject *owner, QString &text, const QStringList &, const QString &)
{
    return GetString(owner, QStringLiteral("Select Drive"), QStringLiteral("Drive or folder:"),
                     text, true, false, false);
}

} // namespace kestrel
