#pragma once
// End-to-end tests: the real main window with its real dialogs and progress
// windows, driven only as a person drives it. Keys go to the window that has
// Qt's focus and from there to its focus widget (shortcuts included); clicks
// land on a point of a visible widget. Nothing calls a command handler.

#include "tests/support/machine.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <iosfwd>
#include <memory>

class QWidget;
class QWindow;

// Readable failures: gtest prints QString as text.
void PrintTo(const QString &text, std::ostream *os);

namespace kestrel {
class TfMain;
class TKFileView;
class QtAsk;
class THeldAsk;
class TfCopying;
class TfDeleting;
} // namespace kestrel

namespace kestrel::test {

// The desktop's folders of programs and associations, pointed at one empty
// folder for the object's life: no file type has a program to open it.
class EmptyDesktop {
public:
    explicit EmptyDesktop(const QByteArray &folder);
    ~EmptyDesktop();
    EmptyDesktop(const EmptyDesktop &) = delete;
    EmptyDesktop &operator=(const EmptyDesktop &) = delete;

private:
    QList<QByteArray> saved;
    QList<bool> had;
};

class EndToEndTest : public MachineTest {
protected:
    EndToEndTest();
    ~EndToEndTest() override;
    void SetUp() override;
    void TearDown() override;

    // Starts the program as main() does, with the arguments after its name,
    // and waits until the main window is shown and has the focus.
    void Start(const QStringList &arguments = {});
    // Closes the program with its Exit key (Alt+X) and destroys the window,
    // which saves its state as at a real exit.
    void Quit();
    TfMain &Main() const { return *main; }
    TKFileView &Panel() const;

    // Keys as typed: to the focused window, which must exist.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Type(const QString &text);
    // A modifier key pressed or released on its own (Alt, Ctrl, Shift).
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Release(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Click(QWidget *widget, QPoint at = QPoint(-1, -1),
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void DoubleClick(QWidget *widget, QPoint at = QPoint(-1, -1));

    // Runs `step` as soon as a modal dialog is open and active, inside that
    // dialog's own event loop, as a person would act on it. Steps queue up:
    // each waits for the next dialog, also one that a running step's keys
    // open from its dialog.
    void WhenDialog(std::function<void(QWidget *dialog)> step);
    // Dialog steps not yet run (a dialog that never opened).
    int PendingDialogSteps() const;
    // Runs `step` once, as soon as the condition holds whenever events are
    // processed: also inside a long operation, while the key that started
    // it has not returned to the test. TearDown fails if it never ran.
    void When(std::function<bool()> condition, std::function<void()> step);

    // Processes events until the condition holds (false after the timeout).
    static bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 10000);

    static QWidget *FocusWidget();
    static QWindow *FocusWindow();
    // Full names in the panel ("name.ext", "C:\\" for a drive), and the
    // focused entry's.
    QStringList PanelNames() const;
    QString FocusedName() const;
    // Focuses an entry by typing its name in lower case (a quick search,
    // left running; a capital letter would switch drives).
    void Focus(const QString &name);
    // In the folder tree window: switches to the folder's drive (Shift and
    // its letter), refreshes it (F5), goes to the root (Home), types each name below it in
    // lower case (a quick search), Right between names, then Enter.
    void ChooseInTree(const QString &folder);
    // Queues the answers to the destination prompt of Copy, Move and
    // Extract: the folder's drive letter in the drive dialog, then the folder
    // chosen in the folder tree.
    void AnswerDestination(const QString &folder);
    // Visible texts of the status bar's labels, in order.
    QStringList StatusTexts() const;
    static QString Home(const QString &name) { return QStringLiteral("C:\\Home\\") + name; }

private:
    QWindow *TargetWindow() const;
    void RunDialogSteps();

    std::unique_ptr<QtAsk> dialogs;
    std::unique_ptr<THeldAsk> heldDialogs;
    std::unique_ptr<TfCopying> fCopying;
    std::unique_ptr<TfDeleting> fDeleting;
    std::unique_ptr<TfMain> main;
    struct DialogSteps;
    std::unique_ptr<DialogSteps> dialogSteps;
    struct Watch;
    std::unique_ptr<Watch> watch;
    struct MenuFocus;
    std::unique_ptr<MenuFocus> menuFocus;
};

} // namespace kestrel::test
