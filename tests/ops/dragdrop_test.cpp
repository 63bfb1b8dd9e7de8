#include "ops/clipboardformats.h"
#include "ops/dragdrop.h"
#include "ops/paneldragdrop.h"
#include "panel/kfileview.h"
#include "platform/shelllink.h"
#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace kestrel::test {
namespace {

constexpr sys::DWORD C = DROPEFFECT_COPY, M = DROPEFFECT_MOVE, L = DROPEFFECT_LINK;

TEST(DragDropRules, DragSourceOffersByButtonAndKeys)
{
    struct Row {
        TDragButton button;
        bool ctrl, shift, driveFocused;
        sys::DWORD allowed;
    };
    const Row rows[] = {
        {TDragButton::Right, true, true, true, C | M | L},
        {TDragButton::Left, false, false, true, L},
        {TDragButton::Left, true, true, false, L},
        {TDragButton::Left, true, false, false, C},
        {TDragButton::Left, false, true, false, M},
        {TDragButton::Left, false, false, false, C | M | L},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.button) << r.ctrl << r.shift << r.driveFocused);
        EXPECT_EQ(DragSourceEffects(r.button, r.ctrl, r.shift, r.driveFocused), r.allowed);
    }
    EXPECT_FALSE(DragThresholdPassed({10, 10}, {13, 7}));
    EXPECT_TRUE(DragThresholdPassed({10, 10}, {14, 10}));
    EXPECT_TRUE(DragThresholdPassed({10, 10}, {10, 6}));
}

TEST(DragDropRules, DropEffectTable)
{
    struct Row {
        const char *what;
        sys::DWORD offered;
        TDropKeys keys;
        bool menu, sameFolder, archive, sameDrive;
        sys::DWORD effect;
    };
    const Row rows[] = {
        {"menu keeps all offered", C | L, {}, true, true, true, true, C | L},
        {"own folder", C | M | L, {}, false, true, false, true, 0},
        {"archive", C | M | L, {}, false, false, true, true, 0},
        {"ctrl+shift links", C | M | L, {true, true}, false, false, false, true, L},
        {"ctrl+shift without link moves", C | M, {true, true}, false, false, false, false, M},
        {"shift moves across drives", C | M | L, {false, true}, false, false, false, false, M},
        {"ctrl copies on one drive", C | M | L, {true, false}, false, false, false, true, C},
        {"ctrl but copy refused", M | L, {true, false}, false, false, false, true, 0},
        {"plain, one drive", C | M | L, {}, false, false, false, true, M},
        {"plain, two drives", C | M | L, {}, false, false, false, false, C},
        {"plain, one drive, no move", C | L, {}, false, false, false, true, C},
        {"plain, move only", M, {}, false, false, false, false, M},
        {"plain, link only", L, {}, false, false, false, true, L},
        {"nothing offered", 0, {}, false, false, false, true, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(ChooseDropEffect(r.offered, r.keys, r.menu, r.sameFolder, r.archive, r.sameDrive),
                  r.effect);
    }
    for (const auto &[y, scroll] :
         {std::pair{0, true}, {14, true}, {15, false}, {184, false}, {185, true}, {199, true}}) {
        EXPECT_EQ(ScrollEffect(y, 200) == DROPEFFECT_SCROLL, scroll) << y;
    }
}

class DragDropTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
        MakeFile(QStringLiteral("C:\\src\\b.txt"), "beta");
        MakeFolder(QStringLiteral("C:\\src\\sub"));
        MakeFolder(QStringLiteral("C:\\src\\other"));
        MakeFolder(QStringLiteral("D:\\dst\\in"));
        view.resize(600, 300);
        view.show(); // lays the panel out
    }

    QPoint At(const char *name) const
    {
        const int index = view.Files.IndexOf(QLatin1String(name));
        EXPECT_GE(index, 0) << name;
        return view.ItemRect(view.Files[index]).center() + QPoint(20, 0);
    }
    QMimeData *Offer(const QStringList &files)
    {
        auto *data = new QMimeData;
        SetClipboardFiles(*data, files, false);
        offered.reset(data);
        return data;
    }
    // A drag from elsewhere over the view, dropped at pos; the drop's work
    // runs from the event loop.
    void DragAndDrop(const QStringList &files, const QPoint &pos, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers keys,
                     Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
    {
        const QMimeData *data = Offer(files);
        QDragEnterEvent enter(pos, actions, data, buttons, keys);
        QCoreApplication::sendEvent(&view, &enter);
        QDragMoveEvent move(pos, actions, data, buttons, keys);
        QCoreApplication::sendEvent(&view, &move);
        QDropEvent drop(QPointF(pos), actions, data, Qt::NoButton, keys);
        QCoreApplication::sendEvent(&view, &drop);
        QCoreApplication::processEvents();
    }
    bool DragMoveAccepted(const QPoint &pos, Qt::KeyboardModifiers keys, Qt::DropAction *action)
    {
        QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, offered.get(),
                            Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&view, &move);
        *action = move.dropAction();
        return move.isAccepted();
    }

    TKFileView view;
    std::unique_ptr<QMimeData> offered;
    ProgressRecorder progress;
};

TEST_F(DragDropTest, DropFolderFollowsFolderEntriesButNotTheDraggedOnes)
{
    view.SetFolder(QStringLiteral("C:\\src"));
    const int start = view.Files.IndexOf(QStringLiteral("b.txt"));
    view.SetFocused(start);
    view.Select(view.Files.IndexOf(QStringLiteral("sub")));
    TDropTarget target(view);
    target.Enter({QStringLiteral("C:\\src\\a.txt"), QStringLiteral("C:\\src\\sub")}, true);
    EXPECT_TRUE(target.SameFolder());
    EXPECT_EQ(target.Effect(C | M | L, {}, 100, 300), DROPEFFECT_NONE);

    const QPoint other = At("other");
    target.Over(other.x(), other.y());
    EXPECT_EQ(target.DropFolder(), QStringLiteral("C:\\src\\other"));
    EXPECT_EQ(view.FocusedIndex, view.Files.IndexOf(QStringLiteral("other")));
    EXPECT_EQ(target.Effect(C | M | L, {}, 100, 300), M);
    // The selected (dragged) folder keeps the last drop folder.
    const QPoint sub = At("sub");
    target.Over(sub.x(), sub.y());
    EXPECT_EQ(target.DropFolder(), QStringLiteral("C:\\src\\other"));
    const QPoint parent = At("..");
    target.Over(parent.x(), parent.y());
    EXPECT_EQ(target.DropFolder(), QStringLiteral("C:\\"));
    // Over a file the drop goes to the panel's folder and the focus goes back.
    const QPoint file = At("a.txt");
    target.Over(file.x(), file.y());
    EXPECT_EQ(target.DropFolder(), QStringLiteral("C:\\src"));
    EXPECT_EQ(view.FocusedIndex, start);
    target.Over(other.x(), other.y());
    target.Leave();
    EXPECT_EQ(view.FocusedIndex, start);
}

TEST_F(DragDropTest, DragOverTheOwnFolderIsRefusedAndOverASubfolderAllowed)
{
    view.SetFolder(QStringLiteral("C:\\src"));
    TPanelDragDrop dnd(&view, nullptr);
    const QMimeData *data = Offer({QStringLiteral("C:\\src\\a.txt")});
    QDragEnterEvent enter(At("b.txt"), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_FALSE(DragMoveAccepted(At("b.txt"), Qt::NoModifier, &action));
    EXPECT_TRUE(DragMoveAccepted(At("sub"), Qt::NoModifier, &action));
    EXPECT_EQ(action, Qt::MoveAction);
    EXPECT_TRUE(DragMoveAccepted(At("sub"), Qt::ControlModifier, &action));
    EXPECT_EQ(action, Qt::CopyAction);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&view, &leave);
}

TEST_F(DragDropTest, DropsCopyMoveAndLinkOnDisk)
{
    view.SetFolder(QStringLiteral("D:\\dst"));
    TPanelDragDrop dnd(&view, nullptr);
    ScriptedAsk ask;
    // Across drives a plain drop copies; onto a folder entry it goes inside.
    DragAndDrop({QStringLiteral("C:\\src\\a.txt")}, At("in"), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\in\\a.txt")), "alpha");
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\a.txt")));
    // Shift forces a move.
    DragAndDrop({QStringLiteral("C:\\src\\b.txt")}, QPoint(300, 150), Qt::LeftButton,
                Qt::ShiftModifier);
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\b.txt")), "beta");
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\b.txt")));
    EXPECT_GE(view.Files.IndexOf(QStringLiteral("b.txt")), 0); // reloaded
    // Within one drive a plain drop moves.
    view.SetFolder(QStringLiteral("C:\\src"));
    DragAndDrop({QStringLiteral("C:\\src\\a.txt")}, At("sub"), Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\sub\\a.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\a.txt")));
    EXPECT_TRUE(ask.asked.isEmpty());
}

TEST_F(DragDropTest, RightButtonDropAsksWithTheDropMenu)
{
    view.SetFolder(QStringLiteral("D:\\dst"));
    TPanelDragDrop dnd(&view, nullptr);
    QList<sys::DWORD> offeredToMenu;
    sys::DWORD choice = DROPEFFECT_NONE;
    dnd.OnDropMenu = [&](const QPoint &, sys::DWORD kinds) {
        offeredToMenu.append(kinds);
        return choice;
    };
    const QStringList files{QStringLiteral("C:\\src\\a.txt")};
    DragAndDrop(files, QPoint(300, 150), Qt::RightButton, Qt::NoModifier,
                Qt::CopyAction | Qt::LinkAction);
    EXPECT_FALSE(Exists(QStringLiteral("D:\\dst\\a.txt"))); // Cancel
    choice = DROPEFFECT_LINK;
    DragAndDrop(files, QPoint(300, 150), Qt::RightButton, Qt::NoModifier,
                Qt::CopyAction | Qt::LinkAction);
    sys::TShellLink link;
    EXPECT_TRUE(sys::ReadShellLink(QStringLiteral("D:\\dst\\a.txt.lnk"), link));
    EXPECT_EQ(offeredToMenu, (QList<sys::DWORD>{C | L, C | L}));

    QMenu *menu = TPanelDragDrop::CreateDropMenu(&view, C | L);
    QStringList enabled;
    for (const QAction *action : menu->actions()) {
        if (action->isEnabled() && !action->isSeparator())
            enabled.append(action->text());
    }
    EXPECT_EQ(enabled,
              (QStringList{QStringLiteral("&Copy Here"), QStringLiteral("Create &Shortcut(s) Here"),
                           QStringLiteral("Cancel")}));
    menu->popup(QPoint(50, 50));
    const QByteArray dir = qgetenv("KESTREL_SHOT_DIR");
    if (!dir.isEmpty())
        menu->grab().save(QString::fromUtf8(dir) + QStringLiteral("/drop-menu.png"));
    delete menu;
}

TEST_F(DragDropTest, DragStartsPastTheThresholdWithTheKindsOfTheKeys)
{
    view.SetFolder(QStringLiteral("C:\\src"));
    TPanelDragDrop dnd(&view, nullptr);
    QStringList dragged;
    sys::DWORD allowed = 0;
    int drags = 0;
    dnd.OnStartDrag = [&](const QStringList &files, sys::DWORD kinds) {
        ++drags;
        dragged = files;
        allowed = kinds;
    };
    const auto press = [&](const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        QMouseEvent down(QEvent::MouseButtonPress, pos, view.mapToGlobal(pos), button, button,
                         keys);
        QCoreApplication::sendEvent(&view, &down);
        for (const int dx : {2, 6}) {
            const QPoint to = pos + QPoint(dx, 0);
            QMouseEvent move(QEvent::MouseMove, to, view.mapToGlobal(to), Qt::NoButton, button,
                             keys);
            QCoreApplication::sendEvent(&view, &move);
        }
        QMouseEvent up(QEvent::MouseButtonRelease, pos, view.mapToGlobal(pos), button, Qt::NoButton,
                       keys);
        QCoreApplication::sendEvent(&view, &up);
    };
    press(At("a.txt"), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(dragged, QStringList{QStringLiteral("C:\\src\\a.txt")});
    EXPECT_EQ(allowed, C | M | L);
    press(At("b.txt"), Qt::LeftButton, Qt::ControlModifier); // also selects b.txt
    EXPECT_EQ(dragged, QStringList{QStringLiteral("C:\\src\\b.txt")});
    EXPECT_EQ(allowed, C);
    view.DeselectAll(true);
    press(At(".."), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(drags, 2);
    press(At("sub"), Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(dragged, QStringList{QStringLiteral("C:\\src\\sub")});
    EXPECT_EQ(allowed, C | M | L);
    // A press on the selection strip selects a range instead.
    const QRect row = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("a.txt"))]);
    press(QPoint(row.left() + 2, row.center().y()), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(drags, 3);
}

} // namespace
} // namespace kestrel::test
