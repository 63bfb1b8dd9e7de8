#include "ops/qtask.h"

#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/fdelwarning.h"
#include "ops/ffileexists.h"
#include "ops/fgetstring.h"
#include "panel/fdrive.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "text/strings.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace kestrel {

namespace {

QWidget *ParentOf(QObject *owner)
{
    if (auto *widget = qobject_cast<QWidget *>(owner))
        return widget->window();
    return QApplication::activeWindow();
}

// The window a dialog stands over: the asking window, else the program's
// main window (an operation's own progress window may be the active one).
QWidget *AnchorOf(QObject *owner)
{
    if (auto *widget = qobject_cast<QWidget *>(owner))
        return widget->window();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(window) && window->isVisible())
            return window;
    return QApplication::activeWindow();
}

// Moves a dialog of its final size to the centre of the anchor, wholly on
// the anchor's screen.
void Centre(QWidget &dialog, QObject *owner)
{
    QWidget *anchor = AnchorOf(owner);
    if (!anchor)
        return;
    // move() places the frame, whose size is the window's until the window
    // system tells it.
    const QRect frame = dialog.frameGeometry();
    QPoint at = anchor->frameGeometry().center() - (frame.center() - frame.topLeft());
    if (const QScreen *screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(),
                           std::max(room.left(), room.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), room.top(),
                           std::max(room.top(), room.bottom() + 1 - frame.height())));
    }
    dialog.move(at);
}

// Dialogs open centred over the window that asks.
void CentreOver(QDialog &dialog, QObject *owner)
{
    dialog.adjustSize();
    Centre(dialog, owner);
}

// A message box takes its size only as it is shown; it is then widened to
// hold its title (with the title bar's buttons) and centred.
class TMessageBox : public QMessageBox {
public:
    TMessageBox(Icon icon, const QString &caption, const QString &text, QObject *owner)
        : QMessageBox(icon, caption, text, NoButton, ParentOf(owner)), owner(owner)
    {
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
        const int wanted = title.horizontalAdvance(windowTitle()) + 4 * title.height() + 48;
        if (width() < wanted)
            setFixedSize(wanted, height());
        Centre(*this, owner);
    }

private:
    QObject *owner;
};

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

// The file dialogs show the system's own paths. A Windows-form path goes in
// as its native folder joined with the plain name, so the dialog opens in
// that folder offering the name.
QString DialogPath(const QString &path)
{
    const QString name = sys::ExtractFileName(path);
    const QString folder = sys::ExtractFilePath(path);
    QString native = folder.isEmpty() ? QString() : sys::GetShortPathName(folder);
    if (!native.isEmpty() && !native.endsWith(QLatin1Char('/')))
        native += QLatin1Char('/');
    return native + name;
}

TFolderPicker folderPicker;

// The dialog's choice, native, back in Windows form. A place that no drive
// covers cannot be named inside the program: said so, and nothing chosen.
bool ChosenPath(QtAsk &ask, QObject *owner, const QString &chosen, QString &path)
{
    if (chosen.isEmpty())
        return false;
    if (sys::FromNative(sys::EncodeName(chosen), path))
        return true;
    ask.MessageBox(owner,
                   GetErrorMessage(int(sys::ERROR_PATH_NOT_FOUND)) + QLatin1String("\n\n") + chosen,
                   LoadStr(512), MB_OK | MB_ICONERROR);
    return false;
}

} // namespace

QWidget *DialogParent(QObject *owner)
{
    return ParentOf(owner);
}

int ExecDialog(QDialog &dialog, QObject *owner)
{
    const TKeysBack keysBack(owner);
    CentreOver(dialog, owner);
    return dialog.exec();
}

int QtAsk::MessageBox(QObject *owner, const QString &text, const QString &caption, unsigned flags)
{
    const TKeysBack keysBack(owner);
    TMessageBox box(IconOf(flags), caption, text, owner);
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

TFolderPicker SetFolderPicker(TFolderPicker picker)
{
    return std::exchange(folderPicker, std::move(picker));
}

bool QtAsk::SelectFolder(QObject *owner, const QString &caption, QString &folder)
{
    const TKeysBack keysBack(owner);
    return folderPicker && folderPicker(owner, caption, folder);
}

bool QtAsk::OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                         QString &path)
{
    const TKeysBack keysBack(owner);
    return ChosenPath(
        *this, owner,
        QFileDialog::getOpenFileName(ParentOf(owner), caption, DialogPath(path), filter), path);
}

bool QtAsk::SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                         QString &path)
{
    const TKeysBack keysBack(owner);
    return ChosenPath(
        *this, owner,
        QFileDialog::getSaveFileName(ParentOf(owner), caption, DialogPath(path), filter), path);
}

bool QtAsk::ChooseColor(QObject *owner, unsigned &color)
{
    const TKeysBack keysBack(owner);
    const QColor chosen = QColorDialog::getColor(
        QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)),
        ParentOf(owner));
    if (!chosen.isValid())
        return false;
    color = unsigned(chosen.red()) | unsigned(chosen.green()) << 8 | unsigned(chosen.blue()) << 16;
    return true;
}

bool QtAsk::ChooseFont(QObject *owner, QString &family, int &size, bool &bold)
{
    const TKeysBack keysBack(owner);
    QFont initial(family, size > 0 ? size : -1);
    initial.setBold(bold);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, ParentOf(owner));
    if (!ok)
        return false;
    family = chosen.family();
    size = chosen.pointSize() > 0 ? chosen.pointSize() : size;
    bold = chosen.bold();
    return true;
}

int QtAsk::SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                       const QString &excluded)
{
    const TKeysBack keysBack(owner);
    TfDrive dialog(ParentOf(owner), text, workFolders, excluded);
    CentreOver(dialog, owner);
    if (dialog.exec() != QDialog::Accepted)
        return mrCancel;
    text = dialog.Result();
    return mrOk;
}

} // namespace kestrel
