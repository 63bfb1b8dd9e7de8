#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QAccessible>
#include <QApplication>

#include <functional>

namespace kestrel::test {
namespace {

// What a screen reader hears and reads: the focus events it is sent, and
// the accessibility tree it walks from the application down.
class AccessibilityTest : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        focusEvents = &heard;
        SetAccessibleSink([](QAccessibleEvent *event) {
            if (event->type() != QAccessible::Focus)
                return;
            QAccessibleInterface *iface = event->accessibleInterface();
            focusEvents->append(iface ? iface->text(QAccessible::Name) : QString());
        });
        QAccessible::setActive(true);
        MakeFile(QStringLiteral("C:\\Data\\Sub\\inner.txt"), "x");
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "a");
        MakeFile(QStringLiteral("C:\\Data\\b.txt"), "bb");
    }
    void TearDown() override
    {
        EndToEndTest::TearDown();
        SetAccessibleSink(nullptr);
        QAccessible::setActive(false);
        focusEvents = nullptr;
    }

    // From the application, the focused child of each object in turn, as a
    // reader finds what has the keyboard.
    static QAccessibleInterface *FocusedLeaf()
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(qApp);
        for (int depth = 0; iface && depth < 32; ++depth) {
            QAccessibleInterface *next = iface->focusChild();
            if (!next || next == iface)
                return iface;
            iface = next;
        }
        return nullptr;
    }

    // Every object of a role below the main window, walking the children.
    QList<QAccessibleInterface *> Find(QAccessible::Role role) const
    {
        QList<QAccessibleInterface *> found;
        const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *iface) {
            if (iface->role() == role)
                found.append(iface);
            for (int i = 0; i < iface->childCount(); ++i)
                if (QAccessibleInterface *child = iface->child(i))
                    walk(child);
        };
        walk(QAccessible::queryAccessibleInterface(&Main()));
        return found;
    }

    static QStringList Names(QAccessibleInterface *list)
    {
        QStringList names;
        for (int i = 0; i < list->childCount(); ++i)
            if (list->child(i)->role() == QAccessible::ListItem)
                names.append(list->child(i)->text(QAccessible::Name));
        return names;
    }

    // The panel's folders and files (drive rows are named by their labels).
    QStringList Entries() const
    {
        QStringList names;
        for (int i = 0; i < Panel().Files.Count(); ++i)
            if (Panel().Files[i]->Kind() != fkDrive)
                names.append(Panel().Files[i]->GetFullName());
        return names;
    }

    QStringList heard;
    static inline QStringList *focusEvents = nullptr;
};

TEST_F(AccessibilityTest, ReaderFindsAndFollowsTheFocusedEntry)
{
    Start({QStringLiteral("C:\\Data")});
    QList<QAccessibleInterface *> lists = Find(QAccessible::List);
    lists.removeIf([this](QAccessibleInterface *iface) { return iface->object() != &Panel(); });
    ASSERT_EQ(lists.size(), 1) << "the file panel is a list in the tree, once";
    QAccessibleInterface *list = lists.first();
    EXPECT_EQ(Names(list).size(), PanelNames().size());
    EXPECT_EQ(Names(list).mid(0, Entries().size()), Entries());

    QAccessibleInterface *leaf = FocusedLeaf();
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->role(), QAccessible::ListItem);
    EXPECT_EQ(leaf->text(QAccessible::Name), FocusedName());
    EXPECT_TRUE(leaf->state().focused);
    EXPECT_TRUE(Panel().rect().contains(Panel().mapFromGlobal(leaf->rect().center())));

    // Each move of the focus is announced with the entry it lands on, and
    // the entry's description is what the status bar says about it.
    Focus(QStringLiteral("a.txt"));
    ASSERT_FALSE(heard.isEmpty());
    EXPECT_EQ(heard.last(), QStringLiteral("a.txt"));
    leaf = FocusedLeaf();
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->text(QAccessible::Name), QStringLiteral("a.txt"));
    const QString description = leaf->text(QAccessible::Description);
    for (const QString &part : Panel().EntryStatus().split(QLatin1Char('|')))
        EXPECT_TRUE(description.contains(part.trimmed()))
            << description.toStdString() << " lacks " << part.toStdString();

    // Space selects it and moves on; the reader hears the new entry and
    // finds the selection in the states and in the list's description.
    Key(Qt::Key_Space);
    EXPECT_EQ(heard.last(), QStringLiteral("b.txt"));
    const int a = int(PanelNames().indexOf(QStringLiteral("a.txt")));
    EXPECT_TRUE(list->child(a)->state().selected);
    EXPECT_FALSE(FocusedLeaf()->state().selected);
    EXPECT_EQ(list->text(QAccessible::Description), Panel().SelectionStatus());
    EXPECT_TRUE(StatusTexts().contains(Panel().SelectionStatus()));
}

// Rows used to be kept across folder changes: a reader holding one read
// the new listing's entry at that place under the old one's identity.
TEST_F(AccessibilityTest, EnteringAFolderGivesNewRows)
{
    Start({QStringLiteral("C:\\Data")});
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&Panel());
    ASSERT_NE(list, nullptr);
    const QAccessible::Id b =
        QAccessible::uniqueId(list->child(int(PanelNames().indexOf(QStringLiteral("b.txt")))));
    Focus(QStringLiteral("Sub"));
    Key(Qt::Key_Return);
    ASSERT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(QAccessible::accessibleInterface(b), nullptr);
    EXPECT_EQ(Names(list).size(), PanelNames().size());
    EXPECT_EQ(Names(list).mid(0, Entries().size()), Entries());
    EXPECT_TRUE(list->text(QAccessible::Name).contains(QStringLiteral("Sub")))
        << list->text(QAccessible::Name).toStdString();
    EXPECT_EQ(heard.last(), FocusedName());
    EXPECT_EQ(FocusedLeaf()->text(QAccessible::Name), FocusedName());
}

} // namespace
} // namespace kestrel::test
