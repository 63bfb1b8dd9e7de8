#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "ops/ask.h"
#include "ops/fcopying.h"
#include "ops/fdeleting.h"
#include "ops/heldask.h"
#include "ops/qtask.h"
#include "panel/fdrive.h"
#include "panel/kfileview.h"
#include "tree/ftree.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <deque>
#include <iterator>
#include <ostream>

void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace kestrel::test {

namespace {
constexpr const char *desktopVariables[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                            "XDG_CONFIG_DIRS"};
}

EmptyDesktop::EmptyDesktop(const QByteArray &folder)
{
    for (const char *name : desktopVariables) {
        saved.append(qgetenv(name));
        had.append(qEnvironmentVariableIsSet(name));
        qputenv(name, folder);
    }
}

EmptyDesktop::~EmptyDesktop()
{
    for (int i = 0; i < int(std::size(desktopVariables)); ++i) {
        if (had[i])
            qputenv(desktopVariables[i], saved[i]);
        else
            qunsetenv(desktopVariables[i]);
    }
}

// Dialog steps wait in a queue; a timer looks for a newly opened modal
// dialog, which runs the step from inside its own event loop.
struct EndToEndTest::DialogSteps {
    std::deque<std::function<void(QWidget *)>> steps;
    QTimer poll;
    QWidget *lastDialog = nullptr;
    // Dialogs whose step runs; a dialog a step opens gets the next step.
    QList<QWidget *> running;
    // A step failed: every dialog from then on is closed, so the test ends
    // with its failure instead of waiting on a dialog nobody answers.
    bool failed = false;
};

// A step that waits for a condition, checked each time the event
// dispatcher wakes up to process events.
struct EndToEndTest::Watch {
    std::function<bool()> condition;
    std::function<void()> step;
    QMetaObject::Connection connection;
    bool running = false;
    ~Watch() { QObject::disconnect(connection); }
};

// On X11 a menu never holds the keyboard focus: its window keeps it. The
// offscreen platform moves the focus to a menu and leaves no window focused
// when the menu closes; this gives it back to the menu's window, as on X11.
// (Dialogs are left alone: where the focus goes after them is the program's
// business.)
struct EndToEndTest::MenuFocus : QObject {
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (event->type() == QEvent::Hide && window && window->type() == Qt::Popup &&
            window == FocusWindow() && window->transientParent())
            window->transientParent()->requestActivate();
        return false;
    }
};

EndToEndTest::EndToEndTest() = default;
EndToEndTest::~EndToEndTest() = default;

void EndToEndTest::SetUp()
{
    MachineTest::SetUp();
    MakeFolder(QStringLiteral("C:\\Home"));
    qputenv("KESTREL_HOME", Native(QStringLiteral("C:\\Home")));
    dialogSteps = std::make_unique<DialogSteps>();
    dialogSteps->poll.setInterval(5);
    QObject::connect(&dialogSteps->poll, &QTimer::timeout, [this] { RunDialogSteps(); });
    menuFocus = std::make_unique<MenuFocus>();
    qApp->installEventFilter(menuFocus.get());
}

void EndToEndTest::TearDown()
{
    dialogSteps->poll.stop();
    EXPECT_EQ(PendingDialogSteps(), 0) << "a dialog the test waited for never opened";
    EXPECT_FALSE(watch) << "a step waited for a condition that never held";
    watch.reset();
    main.reset();
    SetProgressWindows(nullptr, nullptr);
    fCopying.reset();
    fDeleting.reset();
    SetAsk(nullptr);
    heldDialogs.reset();
    dialogs.reset();
    dialogSteps.reset();
    menuFocus.reset();
    MachineTest::TearDown();
}

void EndToEndTest::Start(const QStringList &arguments)
{
    dialogs = std::make_unique<QtAsk>();
    heldDialogs = std::make_unique<THeldAsk>(*dialogs);
    SetAsk(heldDialogs.get());
    main = std::make_unique<TfMain>(arguments);
    fCopying = std::make_unique<TfCopying>();
    fDeleting = std::make_unique<TfDeleting>();
    SetProgressWindows(fCopying.get(), fDeleting.get());
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    ASSERT_TRUE(WaitFor([this] { return FocusWindow() == main->windowHandle(); }))
        << "the main window never got the focus";
}

void EndToEndTest::Quit()
{
    Key(Qt::Key_X, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([this] { return !main->isVisible(); }))
        << "Alt+X did not close the program";
    main.reset();
}

TKFileView &EndToEndTest::Panel() const
{
    return *main->FileView();
}

QWindow *EndToEndTest::FocusWindow()
{
    return QGuiApplication::focusWindow();
}

QWidget *EndToEndTest::FocusWidget()
{
    return QApplication::focusWidget();
}

QWindow *EndToEndTest::TargetWindow() const
{
    QWindow *window = FocusWindow();
    EXPECT_TRUE(window) << "no window has the focus: the key would be lost";
    return window;
}

void EndToEndTest::Key(int key, Qt::KeyboardModifiers modifiers)
{
    if (QWindow *window = TargetWindow())
        QTest::keyClick(window, Qt::Key(key), modifiers);
}

void EndToEndTest::Press(int key, Qt::KeyboardModifiers modifiers)
{
    if (QWindow *window = TargetWindow())
        QTest::keyPress(window, Qt::Key(key), modifiers);
}

void EndToEndTest::Release(int key, Qt::KeyboardModifiers modifiers)
{
    if (QWindow *window = TargetWindow())
        QTest::keyRelease(window, Qt::Key(key), modifiers);
}

void EndToEndTest::ChooseInTree(const QString &folder)
{
    const QStringList names = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return;
    Key(Qt::Key_A + (names[0][0].toUpper().unicode() - u'A'), Qt::ShiftModifier);
    // The stored tree may predate folders the test made.
    Key(Qt::Key_F5);
    Key(Qt::Key_Home);
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (i > 1)
            Key(Qt::Key_Right);
        Type(names[i].toLower());
    }
    Key(Qt::Key_Return);
}

void EndToEndTest::AnswerDestination(const QString &folder)
{
    WhenDialog([this, folder](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<TfDrive *>(dialog)) << "not the drive dialog";
        Type(folder.left(1));
    });
    WhenDialog([this, folder](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<TfTree *>(dialog)) << "not the folder tree";
        ChooseInTree(folder);
    });
}

void EndToEndTest::Type(const QString &text)
{
    for (const QChar c : text) {
        QWindow *window = TargetWindow();
        if (!window)
            return;
        const ushort u = c.unicode();
        Qt::Key key = Qt::Key_unknown;
        if (u >= 'a' && u <= 'z')
            key = Qt::Key(Qt::Key_A + (u - 'a'));
        else if (u >= 0x20 && u < 0x7f)
            key = Qt::Key(c.toUpper().unicode());
        const Qt::KeyboardModifiers modifiers = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, window, key, QString(c), modifiers);
        QTest::sendKeyEvent(QTest::Release, window, key, QString(c), modifiers);
    }
}

static QPoint ClickPoint(QWidget *widget, QPoint at)
{
    return at == QPoint(-1, -1) ? widget->rect().center() : at;
}

void EndToEndTest::Click(QWidget *widget, QPoint at, Qt::KeyboardModifiers modifiers)
{
    ASSERT_TRUE(widget && widget->isVisible()) << "clicking a widget that is not shown";
    QWidget *top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, modifiers,
                      widget->mapTo(top, ClickPoint(widget, at)));
}

void EndToEndTest::DoubleClick(QWidget *widget, QPoint at)
{
    ASSERT_TRUE(widget && widget->isVisible()) << "clicking a widget that is not shown";
    QWidget *top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       widget->mapTo(top, ClickPoint(widget, at)));
}

void EndToEndTest::WhenDialog(std::function<void(QWidget *)> step)
{
    dialogSteps->steps.push_back(std::move(step));
    dialogSteps->poll.start();
}

int EndToEndTest::PendingDialogSteps() const
{
    return int(dialogSteps->steps.size());
}

namespace {

// Message boxes without an Escape button ignore close(); done() ends any dialog.
void Dismiss(QWidget *dialog)
{
    if (auto *modal = qobject_cast<QDialog *>(dialog))
        modal->done(QDialog::Rejected);
    else
        dialog->close();
}

} // namespace

void EndToEndTest::RunDialogSteps()
{
    DialogSteps &d = *dialogSteps;
    QWidget *dialog = QApplication::activeModalWidget();
    if (d.failed) {
        if (dialog && dialog->isVisible() && !d.running.contains(dialog))
            Dismiss(dialog);
        return;
    }
    // The tree's scan window is modal only to hold input while it reads the
    // disk: it passes by on its own and is never a question to answer.
    if (d.steps.empty() || !dialog || dialog == d.lastDialog || d.running.contains(dialog) ||
        !dialog->isVisible() || FocusWindow() != dialog->windowHandle() ||
        dialog->objectName() == QLatin1String("fScan"))
        return;
    d.lastDialog = dialog;
    const auto step = std::move(d.steps.front());
    d.steps.pop_front();
    if (d.steps.empty())
        d.poll.stop();
    d.running.append(dialog);
    {
        // A timer's handler never runs again while it runs, so a dialog that
        // the step's keys open gets its step from a timer of this level.
        QTimer nested;
        nested.setInterval(5);
        QObject::connect(&nested, &QTimer::timeout, [this] { RunDialogSteps(); });
        nested.start();
        step(dialog);
    }
    d.running.removeLast();
    if (::testing::Test::HasFailure() && dialog->isVisible()) {
        d.failed = true;
        d.steps.clear();
        d.poll.start();
        Dismiss(dialog);
        return;
    }
    // The same dialog object may be shown again for the next question.
    if (!dialog->isVisible())
        d.lastDialog = nullptr;
}

void EndToEndTest::When(std::function<bool()> condition, std::function<void()> step)
{
    ASSERT_FALSE(watch) << "one condition at a time";
    watch = std::make_unique<Watch>();
    watch->condition = std::move(condition);
    watch->step = std::move(step);
    watch->connection = QObject::connect(QAbstractEventDispatcher::instance(),
                                         &QAbstractEventDispatcher::awake, [this] {
                                             if (!watch || watch->running || !watch->condition())
                                                 return;
                                             watch->running = true;
                                             watch->step();
                                             watch.reset();
                                         });
}

bool EndToEndTest::WaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

QStringList EndToEndTest::PanelNames() const
{
    QStringList names;
    for (int i = 0; i < Panel().Files.Count(); ++i)
        names << Panel().Files.Get(i)->GetFullName();
    return names;
}

QString EndToEndTest::FocusedName() const
{
    const TFile *file = Panel().GetItemFocused();
    return file ? file->GetFullName() : QString();
}

void EndToEndTest::Focus(const QString &name)
{
    Type(name.toLower());
    ASSERT_EQ(FocusedName(), name) << "typing the name did not focus it";
}

QStringList EndToEndTest::StatusTexts() const
{
    QStringList texts;
    if (!main->statusBar()->isVisible())
        return texts;
    for (QLabel *label : main->statusBar()->findChildren<QLabel *>())
        if (label->isVisible() && !label->text().isEmpty())
            texts << label->text();
    return texts;
}

} // namespace kestrel::test
