#include "tree/kfolderview.h"

#include "tests/support/machine.h"

#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTest>

namespace kestrel {
namespace {

QColor FromRef(TColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

bool HasColor(const QImage &image, const QRect &rect, const QColor &color)
{
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y) == color)
                return true;
        }
    }
    return false;
}

// The real control on drive C: of the test machine, with a colour set of its
// own. With KESTREL_SHOT_DIR set the images are kept there for a look by eye.
class FolderViewTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Data\\Music\\Rock"));
        MakeFolder(QStringLiteral("C:\\Data\\Pictures"));
        MakeFolder(QStringLiteral("C:\\Win\\System"));
        QFile col(Root() + QStringLiteral("/home/kestrel.col"));
        ASSERT_TRUE(col.open(QIODevice::WriteOnly));
        col.write("[Basic]\r\nBACK=0\r\nTBACK=14745599\r\nTLINE=12632256\r\nTNORMAL=0\r\n"
                  "TFOCUS=8388608\r\nTOPEN=255\r\nTHINT=32768\r\n\r\n[Ext]\r\n");
    }
    void Open(TKFolderView &view)
    {
        view.resize(700, 300);
        view.FolderList = {QStringLiteral("C:\\=C:\\Data\\Music")};
        view.SetDrive(QStringLiteral("C:"));
    }
    void Save(const QImage &image, const char *name)
    {
        const QByteArray dir = qgetenv("KESTREL_SHOT_DIR");
        if (!dir.isEmpty())
            image.save(QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name));
    }
    QPoint Center(const TKFolderView &view, const char *path)
    {
        const TTreeItem *item = view.Items.FindItem(QString::fromUtf8(path));
        return view.GetItemPos(item) + QPoint(30, view.RowHeight / 2);
    }
};

TEST_F(FolderViewTest, PaintsWithTheTreeColoursOfTheColourSet)
{
    TKFolderView view;
    Open(view);
    EXPECT_EQ(view.Colors.Back, 14745599u);
    EXPECT_EQ(view.Colors.Hint, 32768u);
    const TTreeItem *pictures = view.Items.FindItem(QStringLiteral("C:\\Data\\Pictures"));
    view.SetFocused(const_cast<TTreeItem *>(pictures));
    const QImage image = view.grab().toImage();
    Save(image, "tree-colours.png");

    const QColor back = FromRef(view.Colors.Back);
    EXPECT_EQ(image.pixelColor(view.TreeRect().bottomRight() - QPoint(5, 5)), back);
    // The focus bar behind the focused name.
    const QPoint at = view.GetItemPos(pictures);
    EXPECT_EQ(image.pixelColor(at.x() + 19, at.y() + 3), FromRef(view.Colors.Focus));
    // The folder the panel shows, in the open-folder colour.
    const TTreeItem *music = view.Items.FindItem(QStringLiteral("C:\\Data\\Music"));
    const QPoint musicAt = view.GetItemPos(music);
    EXPECT_TRUE(HasColor(image,
                         QRect(musicAt.x() + 18, musicAt.y(), view.TextWidth - 18, view.RowHeight),
                         FromRef(view.Colors.Open)));
    // The path of the focused folder on its row: Data (on the row above)
    // shows its name in its own column, in the hint colour, and nowhere else.
    const QColor hint = FromRef(view.Colors.Hint);
    const QPoint dataAt = view.GetItemPos(pictures->Parent);
    EXPECT_TRUE(
        HasColor(image, QRect(dataAt.x() + 18, at.y(), view.TextWidth - 18, view.RowHeight), hint));
    EXPECT_FALSE(HasColor(image, view.LineRect(0), hint));
    EXPECT_FALSE(HasColor(image, view.LineRect(2), hint));
    // Connecting lines between the columns.
    EXPECT_TRUE(
        HasColor(image, QRect(at.x() - 12, at.y(), 12, view.RowHeight), FromRef(view.Colors.Line)));
}

TEST_F(FolderViewTest, KeysAndTypingReachTheTree)
{
    TKFolderView view;
    Open(view);
    int selects = 0;
    QStringList finds;
    view.OnSelect = [&] { ++selects; };
    view.OnFindChange = [&](const QString &text) { finds.append(text); };
    view.SetFocused(view.Items.Root());
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Data"));
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Win"));
    QTest::keyClick(&view, Qt::Key_Left, Qt::AltModifier); // Alt belongs to menus
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Win"));
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClicks(&view, QStringLiteral("pi"));
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Data\\Pictures"));
    EXPECT_EQ(view.FindText, QStringLiteral("pi"));
    QTest::keyClick(&view, Qt::Key_D, Qt::ShiftModifier); // a drive key for the window
    EXPECT_EQ(view.FindText, QStringLiteral("pi"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.FindText, QStringLiteral("p"));
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(selects, 1);
    // Each move ended the search: Right, Down and Home.
    EXPECT_EQ(finds, (QStringList{"", "", "", "p", "pi", "p"}));
}

TEST_F(FolderViewTest, TheMouseFocusesSelectsAndFolds)
{
    TKFolderView view;
    Open(view);
    int selects = 0;
    view.OnSelect = [&] { ++selects; };
    QTest::mouseClick(&view, Qt::LeftButton, {}, Center(view, "C:\\Win\\System"));
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Win\\System"));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, Center(view, "C:\\Win\\System"));
    EXPECT_EQ(selects, 1);
    TTreeItem *win = view.Items.FindItem(QStringLiteral("C:\\Win"));
    const QPoint button = view.GetItemPos(win) + QPoint(-7, view.RowHeight / 2);
    QTest::mouseClick(&view, Qt::LeftButton, {}, button);
    EXPECT_FALSE(win->Expanded);
    EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Win"));
    const QImage image = view.grab().toImage();
    Save(image, "tree-collapsed.png");
}

TEST_F(FolderViewTest, AManyFoldersTreeScrollsToTheFocus)
{
    for (int i = 0; i < 300; ++i)
        MakeFolder(QStringLiteral("C:\\Many\\Folder %1\\Sub").arg(i, 3, 10, QLatin1Char('0')));
    TKFolderView view;
    Open(view);
    view.SetFolder(QStringLiteral("C:\\Many\\Folder 150\\Sub"));
    const QImage image = view.grab().toImage();
    Save(image, "tree-many.png");
    EXPECT_GT(view.TopRow, 100);
    const int visible =
        int(std::count_if(view.children().cbegin(), view.children().cend(), [](QObject *o) {
            auto *bar = qobject_cast<QScrollBar *>(o);
            return bar && !bar->isHidden();
        }));
    EXPECT_EQ(visible, 1); // the vertical one: the tree is no wider than the control
    const TTreeItem *focused = view.Focused();
    EXPECT_EQ(image.pixelColor(view.GetItemPos(focused) + QPoint(19, 3)),
              FromRef(view.Colors.Focus));
    // The wheel does not scroll the tree.
    const int top = view.TopRow;
    QWheelEvent wheel(QPointF(50, 50), view.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(view.TopRow, top);
}

TEST_F(FolderViewTest, ADeepFolderScrollsSidewaysIntoView)
{
    QString deep = QStringLiteral("C:\\Deep");
    for (int level = 2; level <= 14; ++level)
        deep += QStringLiteral("\\Level %1").arg(level);
    MakeFolder(deep);
    TKFolderView view;
    Open(view);
    view.SetFolder(deep);
    const QImage image = view.grab().toImage();
    Save(image, "tree-deep.png");
    EXPECT_GT(view.LeftColumn, 0);
    const QPoint at = view.GetItemPos(view.Focused());
    EXPECT_GE(at.x(), 0);
    EXPECT_LE(at.x() + view.TextWidth, view.TreeRect().right() + view.ColumnWidth);
    EXPECT_EQ(image.pixelColor(at + QPoint(19, 3)), FromRef(view.Colors.Focus));
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.LeftColumn, 0);
    EXPECT_EQ(view.GetItemPos(view.Items.Root()).x(), 0);
}

// A screen reader sees the visible folders as the tree's rows, follows the
// focus, and loses folded rows as they fold.
TEST_F(FolderViewTest, ScreenReadersSeeTheVisibleFolders)
{
    QList<std::pair<QAccessible::Event, int>> events;
    static QList<std::pair<QAccessible::Event, int>> *log;
    log = &events;
    SetAccessibleSink([](QAccessibleEvent *event) {
        log->append({event->type(), event->child()});
    });
    QAccessible::setActive(true);
    {
        TKFolderView view;
        Open(view);
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.setFocus();
        QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&view);
        ASSERT_TRUE(tree);
        EXPECT_EQ(tree->role(), QAccessible::Tree);
        EXPECT_EQ(tree->text(QAccessible::Name), QStringLiteral("C:"));
        // C:, Data, Music, Rock, Pictures, Win, System (and the bars).
        EXPECT_GE(tree->childCount(), 7);
        EXPECT_EQ(tree->child(2)->text(QAccessible::Name), QStringLiteral("Music"));
        EXPECT_EQ(tree->child(2)->text(QAccessible::Description),
                  QStringLiteral("C:\\Data\\Music"));
        EXPECT_EQ(tree->child(2)->role(), QAccessible::TreeItem);

        events.clear();
        view.SetFocused(view.Items.FindItem(QStringLiteral("C:\\Win")));
        EXPECT_TRUE(events.contains(std::make_pair(QAccessible::Focus, 5))) << events.size();
        EXPECT_TRUE(tree->child(5)->state().selected);
        EXPECT_FALSE(tree->child(2)->state().selected);

        view.Items.FindItem(QStringLiteral("C:\\Data"))->SetExpanded(false);
        EXPECT_EQ(tree->child(2)->text(QAccessible::Name), QStringLiteral("Win"));
        EXPECT_EQ(tree->focusChild()->text(QAccessible::Name), QStringLiteral("Win"));
        // Acting on a row focuses its folder, as the keys would.
        tree->child(1)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        EXPECT_EQ(view.GetFolder(), QStringLiteral("C:\\Data"));
    }
    SetAccessibleSink(nullptr);
    QAccessible::setActive(false);
}

} // namespace
} // namespace kestrel
