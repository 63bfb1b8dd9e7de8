#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "panel/kfileview.h"

#include <QLineEdit>
#include <QMessageBox>

namespace kestrel::test {
namespace {

class NewFolderTest : public EndToEndTest {
protected:
    // Alt+K, the name typed over the proposed one, Enter; a refusal must
    // come as an error box, answered with Enter.
    void AskFor(const QString &name, bool refused)
    {
        WhenDialog([this, name](QWidget *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>();
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->selectedText(), QStringLiteral("New Folder"));
            Type(name);
            EXPECT_EQ(edit->text(), name);
            Key(Qt::Key_Return);
        });
        said.clear();
        if (refused)
            WhenDialog([this](QWidget *dialog) {
                auto *box = qobject_cast<QMessageBox *>(dialog);
                ASSERT_TRUE(box) << "no message box";
                EXPECT_EQ(box->icon(), QMessageBox::Critical);
                said = box->text();
                Key(Qt::Key_Return);
            });
        Key(Qt::Key_K, Qt::AltModifier);
        EXPECT_EQ(PendingDialogSteps(), 0);
        EXPECT_TRUE(WaitFor([this] { return FocusWidget() == &Panel(); }))
            << "the panel did not get the keys back";
    }

    QString said;
};

TEST_F(NewFolderTest, RefusedNamesAreReportedAndNothingIsMade)
{
    MakeFile(QStringLiteral("C:\\Data\\taken"), "a file");
    Start({QStringLiteral("C:\\Data")});

    AskFor(QStringLiteral("taken"), true);
    EXPECT_FALSE(said.isEmpty());
    EXPECT_EQ(Contents(QStringLiteral("C:\\Data\\taken")), "a file");

    const QString tooLong(300, QLatin1Char('n'));
    AskFor(tooLong, true);
    EXPECT_FALSE(said.isEmpty());
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\") + tooLong));

    AskFor(QStringLiteral("missing\\inner"), true);
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\missing")));

    // The keys work as before: a good name is made and focused.
    AskFor(QStringLiteral("good"), false);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\good")));
    EXPECT_EQ(FocusedName(), QStringLiteral("good"));
}

} // namespace
} // namespace kestrel::test
