// Find Files as a person uses it: Alt+F7, a mask and a text typed, Enter to
// search, the results read, Enter on a result to go to it; Escape stops a
// search and closes the dialog.

#include "tests/e2e/e2e.h"

#include "find/ffindfiles.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace kestrel::test {
namespace {

class FindEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFile(QStringLiteral("C:\\Data\\a.txt"), "nothing here");
        MakeFile(QStringLiteral("C:\\Data\\Sub\\b.txt"), "the needle is here");
        MakeFile(QStringLiteral("C:\\Data\\Sub\\c.doc"), "a needle too");
    }

    // The results' names as the list shows them.
    static QStringList ResultNames(const TfFindFiles &dialog)
    {
        QStringList names;
        for (int row = 0; row < dialog.Model().rowCount(); ++row)
            names << dialog.Model().index(row, TFoundModel::cName).data().toString();
        return names;
    }
};

TEST_F(FindEndToEnd, FindsByMaskAndTextAndGoesToTheResult)
{
    Start({QStringLiteral("C:\\Data")});
    QStringList names;
    QString folder;
    WhenDialog([&](QWidget *dialog) {
        auto *find = qobject_cast<TfFindFiles *>(dialog);
        ASSERT_TRUE(find) << "not the Find Files dialog";
        EXPECT_EQ(find->Folders->text(), QStringLiteral("C:\\Data"));
        // The focus starts in the first field; Alt+N goes to the masks.
        Key(Qt::Key_N, Qt::AltModifier);
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("*.txt"));
        Key(Qt::Key_X, Qt::AltModifier);
        Type(QStringLiteral("NEEDLE"));
        Key(Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !find->Running(); })) << "the search never ended";
        names = ResultNames(*find);
        folder = find->Model().index(0, TFoundModel::cFolder).data().toString();
        EXPECT_EQ(find->Status->text(), QStringLiteral("1 found"));
        // The results have the focus and the first row: Enter goes to it.
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F7, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return PendingDialogSteps() == 0 && QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(names, QStringList{QStringLiteral("b.txt")});
    EXPECT_EQ(folder, QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data\\Sub"));
    EXPECT_EQ(FocusedName(), QStringLiteral("b.txt"));
}

TEST_F(FindEndToEnd, AFieldThatCannotBeReadIsSaidAndEscapeCloses)
{
    Start({QStringLiteral("C:\\Data")});
    QString said;
    WhenDialog([&](QWidget *dialog) {
        auto *find = qobject_cast<TfFindFiles *>(dialog);
        ASSERT_TRUE(find);
        Key(Qt::Key_L, Qt::AltModifier);
        ASSERT_EQ(FocusWidget(), find->MinSize);
        Type(QStringLiteral("lots"));
        Key(Qt::Key_Return);
    });
    WhenDialog([&](QWidget *dialog) {
        said = dialog->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
        Key(Qt::Key_Return);
    });
    WhenDialog([&](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<TfFindFiles *>(dialog));
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_F7, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return PendingDialogSteps() == 0 && QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(said.contains(QLatin1String("\"lots\" is not a size"))) << said.toStdString();
    EXPECT_EQ(Panel().Folder(), QStringLiteral("C:\\Data"));
}

} // namespace
} // namespace kestrel::test
