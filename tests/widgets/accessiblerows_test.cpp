#include "widgets/accessiblerows.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

// Rows of 20 pixels, one under the other, with a button below them.
class FakeRows : public QWidget, public TAccessibleRows {
public:
    explicit FakeRows(QStringList names, QAccessible::Role role = QAccessible::List)
        : TAccessibleRows(this, role), names(std::move(names)),
          button(new QPushButton("More", this))
    {
        setFocusPolicy(Qt::StrongFocus);
        resize(200, 200);
        button->setGeometry(0, 180, 200, 20);
    }

    int RowCount() const override { return int(names.size()); }
    QString RowName(int row) const override { return names.value(row); }
    QString RowDescription(int row) const override { return QStringLiteral("row %1").arg(row); }
    QRect RowRect(int row) const override
    {
        return row < 8 ? QRect(0, row * 20, 200, 20) : QRect(); // eight fit
    }
    int FocusedRow() const override { return names.isEmpty() ? -1 : focused; }
    int RowAt(const QPoint &pos) const override
    {
        const int row = pos.y() / 20;
        return pos.y() >= 0 && row < std::min(8, RowCount()) ? row : -1;
    }
    bool RowSelected(int row) const override { return selected.contains(row); }
    bool RowSelectable(int row) const override { return row > 0; }
    void FocusRow(int row) override
    {
        focused = row;
        AccessibleFocusMoved();
    }
    QString RowsName() const override { return QStringLiteral("Things"); }
    QString RowsDescription() const override
    {
        return QStringLiteral("%1 selected").arg(selected.size());
    }

    void Replace(QStringList newNames)
    {
        names = std::move(newNames);
        focused = 0;
        AccessibleRowsReplaced();
    }
    void Select(int row)
    {
        selected.append(row);
        AccessibleSelectionChanged(row);
    }

    QStringList names;
    QList<int> selected;
    int focused = 0;
    QPushButton *button;
};

void ShowFocused(QWidget &w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.setFocus();
    ASSERT_TRUE(w.hasFocus());
}

// The events the rows send, as an assistive technology receives them.
struct EventLog {
    struct Entry {
        QAccessible::Event type;
        QString name;
        QAccessible::State changed;
    };
    EventLog()
    {
        log = this;
        SetAccessibleSink([](QAccessibleEvent *event) {
            QAccessibleInterface *iface = event->accessibleInterface();
            QAccessible::State changed;
            if (event->type() == QAccessible::StateChanged)
                changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
            log->entries.append(
                {event->type(), iface ? iface->text(QAccessible::Name) : QString(), changed});
        });
        QAccessible::setActive(true);
    }
    ~EventLog()
    {
        SetAccessibleSink(nullptr);
        QAccessible::setActive(false);
        log = nullptr;
    }
    QStringList Named(QAccessible::Event type) const
    {
        QStringList names;
        for (const Entry &e : entries)
            if (e.type == type)
                names.append(e.name);
        return names;
    }
    QList<Entry> entries;
    static inline EventLog *log = nullptr;
};

TEST(AccessibleRows, RowsAreChildrenWithTextsStatesAndPlaces)
{
    EventLog events;
    FakeRows w({"..", "a.txt", "b.txt"});
    ShowFocused(w);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&w);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Things"));
    EXPECT_EQ(list->childCount(), 4); // three rows and the button
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface *row = list->child(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->role(), QAccessible::ListItem);
        EXPECT_EQ(row->parent(), list);
        EXPECT_EQ(list->indexOfChild(row), i);
        EXPECT_EQ(list->child(i), row) << "the same row is one interface";
        EXPECT_EQ(row->text(QAccessible::Description), QStringLiteral("row %1").arg(i));
        names.append(row->text(QAccessible::Name));
    }
    EXPECT_EQ(names, (QStringList{"..", "a.txt", "b.txt"}));
    QAccessibleInterface *button = list->child(3);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(list->indexOfChild(button), 3);
    EXPECT_EQ(list->child(4), nullptr);

    QAccessibleInterface *b = list->child(2);
    EXPECT_EQ(b->rect(), QRect(w.mapToGlobal(QPoint(0, 40)), QSize(200, 20)));
    EXPECT_EQ(list->childAt(b->rect().center().x(), b->rect().center().y()), b);
    EXPECT_EQ(list->childAt(w.mapToGlobal(QPoint(5, 185)).x(), w.mapToGlobal(QPoint(5, 185)).y()),
              button);
    EXPECT_EQ(list->childAt(w.mapToGlobal(QPoint(5, 100)).x(), w.mapToGlobal(QPoint(5, 100)).y()),
              nullptr);

    // States follow the widget: focus only while it has the keyboard.
    ASSERT_TRUE(w.hasFocus());
    EXPECT_EQ(list->focusChild(), list->child(0));
    EXPECT_TRUE(list->child(0)->state().focused);
    EXPECT_FALSE(list->child(0)->state().selectable);
    EXPECT_TRUE(list->child(1)->state().selectable);
    w.Select(1);
    EXPECT_TRUE(list->child(1)->state().selected);
    EXPECT_FALSE(list->child(2)->state().selected);
    EXPECT_EQ(list->text(QAccessible::Description), QStringLiteral("1 selected"));
    ASSERT_FALSE(events.entries.isEmpty());
    EXPECT_EQ(events.entries.last().type, QAccessible::StateChanged);
    EXPECT_EQ(events.entries.last().name, QStringLiteral("a.txt"));
    EXPECT_TRUE(events.entries.last().changed.selected);

    // A screen reader's "focus this" moves the panel's focus and says so.
    QAccessibleActionInterface *action = b->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(w.focused, 2);
    EXPECT_TRUE(b->state().focused);
    EXPECT_FALSE(list->child(0)->state().focused);
    EXPECT_EQ(events.Named(QAccessible::Focus).last(), QStringLiteral("b.txt"));
}

// Rows of a former listing used to stay in the screen reader's hands under
// the new listing's names; replaced rows are new interfaces, the old ones gone.
TEST(AccessibleRows, ReplacedRowsAreNewInterfaces)
{
    EventLog events;
    FakeRows w({"..", "a.txt", "b.txt", "c.txt"});
    ShowFocused(w);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&w);
    const QAccessible::Id old = QAccessible::uniqueId(list->child(3));
    w.Replace({"x.txt", "y.txt"});
    EXPECT_EQ(QAccessible::accessibleInterface(old), nullptr);
    EXPECT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(3), nullptr);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("y.txt"));
    // The reader hears that the rows changed and which one has the focus.
    const QStringList focus = events.Named(QAccessible::Focus);
    ASSERT_FALSE(focus.isEmpty());
    EXPECT_EQ(focus.last(), QStringLiteral("x.txt"));
    EXPECT_FALSE(events.Named(QAccessible::ObjectReorder).isEmpty());
}

// The tree control shares the code: its rows are tree items.
TEST(AccessibleRows, TreeRole)
{
    FakeRows w({"C:\\", "Data"}, QAccessible::Tree);
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&w);
    EXPECT_EQ(tree->role(), QAccessible::Tree);
    EXPECT_EQ(tree->child(1)->role(), QAccessible::TreeItem);
}

// A row held by a reader after its widget is gone answers as invalid
// instead of reaching into freed memory.
TEST(AccessibleRows, RowsOutliveNothing)
{
    auto w = std::make_unique<FakeRows>(QStringList{"a", "b"});
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(w.get());
    const QAccessible::Id row = QAccessible::uniqueId(list->child(1));
    const QAccessible::Id id = QAccessible::uniqueId(list);
    w.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(row), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

} // namespace
} // namespace kestrel
