#include "ops/fdelwarning.h"
#include "ops/ffileexists.h"
#include "ops/fgetstring.h"
#include "ops/qtask.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kestrel {
namespace {

// Runs the steps on the modal dialog once its exec() loop is running.
void WhileModal(std::function<void(QWidget *)> steps)
{
    QTimer::singleShot(0, qApp, [steps] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        steps(dialog);
    });
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    WhileModal([key, modifiers](QWidget *dialog) {
        QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(target, key, modifiers);
    });
}

TEST(DelWarning, KeysGiveTheModalResults)
{
    const struct {
        int focused;
        Qt::Key key;
        int result;
    } rows[] = {
        {0, Qt::Key_Return, mrAll}, // DelBtn 0: Enter deletes permanently
        {1, Qt::Key_Return, mrYes},    {2, Qt::Key_Return, mrNo},     {7, Qt::Key_Enter, mrNo},
        {0, Qt::Key_Escape, mrCancel}, {1, Qt::Key_Escape, mrCancel},
    };
    for (const auto &row : rows) {
        TfDelWarning dialog(nullptr, QStringLiteral("Delete 3 items?"), row.focused, false);
        Press(row.key);
        EXPECT_EQ(dialog.exec(), row.result) << row.focused << " " << row.key;
    }
}

TEST(DelWarning, CloseBoxIsCancelAndTheAttributeWarningSaysAll)
{
    TfDelWarning dialog(nullptr, QStringLiteral("a.txt is hidden"), 2, true);
    EXPECT_EQ(dialog.AllBtn->text(), QStringLiteral("All(&A)"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Delete Confirm"));
    WhileModal([](QWidget *d) { d->close(); });
    EXPECT_EQ(dialog.exec(), mrCancel);

    QtAsk ask;
    WhileModal([](QWidget *d) {
        QTest::mouseClick(static_cast<TfDelWarning *>(d)->AllBtn, Qt::LeftButton);
    });
    EXPECT_EQ(ask.DeleteWarning(nullptr, QStringLiteral("a.txt is hidden"), 2, true), mrAll);
}

TFileExistsQuestion FileQuestion()
{
    TFileExistsQuestion q;
    q.fileNameText = QStringLiteral("Destination folder already contains a file named 'a.txt'");
    q.originInfo = QStringLiteral("10 bytes ( Monday, 1 June 2026, 10:00:00 )");
    q.newInfo = QStringLiteral("20 bytes ( Tuesday, 2 June 2026, 11:00:00 )");
    q.targetPath = QStringLiteral("D:\\Backup\\a.txt");
    return q;
}

// During a run the main window is disabled; the questions it asks must still
// take keys and clicks.
TEST(DelWarning, QuestionsOfADisabledOwnerAreUsable)
{
    QWidget owner;
    owner.show();
    owner.setEnabled(false);
    QtAsk ask;
    WhileModal([](QWidget *d) {
        EXPECT_TRUE(d->isEnabled());
        d->close();
    });
    EXPECT_EQ(ask.DeleteWarning(&owner, QStringLiteral("Delete?"), 1, false), mrCancel);
    Press(Qt::Key_Return);
    EXPECT_EQ(ask.DeleteWarning(&owner, QStringLiteral("Delete?"), 1, false), mrYes);
    WhileModal([](QWidget *d) {
        QTest::mouseClick(static_cast<TfFileExists *>(d)->Skip, Qt::LeftButton);
    });
    EXPECT_EQ(ask.FileExists(&owner, FileQuestion()).modalResult, mrNo);
    Press(Qt::Key_Return);
    EXPECT_EQ(ask.MessageBox(&owner, QStringLiteral("Disk full"), QStringLiteral("Error"),
                             MB_OKCANCEL | MB_ICONERROR),
              mrOk);
    QString text = QStringLiteral("x");
    Press(Qt::Key_Return);
    EXPECT_EQ(ask.GetString(&owner, QStringLiteral("Name"), QStringLiteral("Name"), text, true,
                            false, false),
              mrOk);
}

TEST(FileExists, ButtonsAndKeysGiveTheAnswers)
{
    const struct {
        const char *button; // accelerator letter, or empty for Escape
        bool all;
        int result;
    } rows[] = {
        {"w", false, mrYes},    {"w", true, mrYes},    {"s", true, mrNo},
        {"c", false, mrCancel}, {"", false, mrCancel},
    };
    for (const auto &row : rows) {
        TfFileExists dialog(nullptr, FileQuestion(), {});
        dialog.All->setChecked(row.all);
        const QString letter = QString::fromLatin1(row.button);
        if (letter.isEmpty())
            Press(Qt::Key_Escape);
        else
            WhileModal([letter](QWidget *d) {
                QApplication::setActiveWindow(d);
                QTest::keyClick(d, letter.at(0).toLatin1(), Qt::AltModifier); // the accelerator
            });
        EXPECT_EQ(dialog.exec(), row.result) << row.button;
    }
}

TEST(FileExists, FolderConflictShowsTheExplanationInsteadOfTheRows)
{
    TFileExistsQuestion q;
    q.fileNameText = QStringLiteral("Destination folder already contains a folder named 'Sub'");
    q.isFolder = true;
    TfFileExists dialog(nullptr, q, {});
    dialog.show();
    EXPECT_TRUE(dialog.FolderOverConfirm->isVisible());
    EXPECT_FALSE(dialog.Origin->isVisible());
    EXPECT_TRUE(dialog.FolderOverConfirm->text().startsWith(
        QStringLiteral("If the files in the existing folder have the same")));

    TfFileExists file(nullptr, FileQuestion(), {});
    file.show();
    EXPECT_FALSE(file.FolderOverConfirm->isVisible());
    EXPECT_TRUE(file.Origin->isVisible());
    EXPECT_EQ(file.New->text(), FileQuestion().newInfo);
}

TEST(FileExists, RenameClosesOnlyWithANewName)
{
    QStringList proposed;
    int attempts = 0;
    TRenameTarget rename = [&](QObject *, QString &target) {
        proposed << target;
        if (++attempts == 1)
            return false; // the user gave up the first rename
        target = QStringLiteral("D:\\Backup\\b.txt");
        return true;
    };
    TfFileExists dialog(nullptr, FileQuestion(), rename);
    dialog.All->setChecked(true);
    WhileModal([&dialog](QWidget *) {
        QTest::mouseClick(dialog.Rename, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()); // still asking
        QTest::mouseClick(dialog.Rename, Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), mrRetry);
    EXPECT_EQ(dialog.NewTarget(), QStringLiteral("D:\\Backup\\b.txt"));
    EXPECT_EQ(proposed, QStringList(2, QStringLiteral("D:\\Backup\\a.txt")));

    TFileExistsQuestion listed = FileQuestion();
    listed.canRename = false;
    TfFileExists fromListing(nullptr, listed, rename);
    EXPECT_FALSE(fromListing.Rename->isEnabled());
}

TEST(FileExists, QtAskReportsAllOnlyBesideTheAnswer)
{
    QtAsk ask;
    WhileModal([](QWidget *d) {
        auto *dialog = static_cast<TfFileExists *>(d);
        dialog->All->setChecked(true);
        QTest::mouseClick(dialog->Skip, Qt::LeftButton);
    });
    TFileExistsAnswer answer = ask.FileExists(nullptr, FileQuestion());
    EXPECT_EQ(answer.modalResult, mrNo);
    EXPECT_TRUE(answer.all);

    WhileModal([](QWidget *d) { d->close(); }); // the close box
    answer = ask.FileExists(nullptr, FileQuestion());
    EXPECT_EQ(answer.modalResult, mrCancel);
}

// The Rename button runs the real input dialog until the name is valid; an
// invalid name is refused with a message and asked again as entered.
TEST(FileExists, RenameAsksForAValidNameThroughTheRealDialogs)
{
    QtAsk ask;
    TAsk *previous = SetAsk(&ask);
    QStringList seen;
    auto enterName = [&seen](const QString &name, std::function<void(QWidget *)> next) {
        return [&seen, name, next](QWidget *d) {
            auto *dialog = qobject_cast<TfGetString *>(d);
            ASSERT_NE(dialog, nullptr);
            seen << dialog->windowTitle() << dialog->Edit->text();
            dialog->Edit->setText(name);
            WhileModal(next);
            QTest::keyClick(dialog->Edit, Qt::Key_Return);
        };
    };
    auto secondTry = enterName(QStringLiteral("b.txt"), [](QWidget *) {});
    auto refused = [&seen, secondTry](QWidget *d) {
        auto *box = qobject_cast<QMessageBox *>(d);
        ASSERT_NE(box, nullptr);
        seen << box->windowTitle() << box->text();
        WhileModal(secondTry);
        QTest::keyClick(box, Qt::Key_Return);
    };
    WhileModal([&](QWidget *d) {
        auto *dialog = qobject_cast<TfFileExists *>(d);
        ASSERT_NE(dialog, nullptr);
        dialog->All->setChecked(true);
        WhileModal(enterName(QStringLiteral("b?.txt"), refused));
        QTest::mouseClick(dialog->Rename, Qt::LeftButton);
    });
    const TFileExistsAnswer answer = ask.FileExists(nullptr, FileQuestion());
    SetAsk(previous);
    EXPECT_EQ(answer.modalResult, mrRetry);
    EXPECT_EQ(answer.newTarget, QStringLiteral("D:\\Backup\\b.txt"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Rename and Copy"), QStringLiteral("a.txt"),
                                 QStringLiteral("Error"), QStringLiteral("b?.txt\n\nInvalid Name"),
                                 QStringLiteral("Rename and Copy"), QStringLiteral("b?.txt")}));
}

TEST(GetString, OkIsTheDefaultAndEscapeCancels)
{
    QtAsk ask;
    QString text = QStringLiteral("old.txt");
    WhileModal([](QWidget *d) {
        auto *dialog = static_cast<TfGetString *>(d);
        EXPECT_EQ(dialog->Edit->selectedText(), QStringLiteral("old.txt"));
        QTest::keyClicks(dialog->Edit, QStringLiteral("new.txt")); // replaces the selection
        QTest::keyClick(dialog->Edit, Qt::Key_Return);
    });
    EXPECT_EQ(ask.GetString(nullptr, QStringLiteral("Rename"), QStringLiteral("Name"), text, true,
                            false, false),
              mrOk);
    EXPECT_EQ(text, QStringLiteral("new.txt"));

    WhileModal([](QWidget *d) {
        auto *dialog = static_cast<TfGetString *>(d);
        EXPECT_FALSE(dialog->Edit->hasSelectedText());
        QTest::keyClicks(dialog->Edit, QStringLiteral("-2"));
        QTest::keyClick(dialog->Edit, Qt::Key_Escape);
    });
    EXPECT_EQ(ask.GetString(nullptr, QStringLiteral("Rename"), QStringLiteral("Name"), text, false,
                            false, false),
              mrCancel);
    EXPECT_EQ(text, QStringLiteral("new.txt"));
}

TEST(GetString, KeepSelectionKeepsItWhenTheFocusMovesOn)
{
    for (const bool keep : {true, false}) {
        TfGetString dialog(nullptr);
        dialog.Setup(QStringLiteral("Mask"), QStringLiteral("Files"), QStringLiteral("*.txt"), true,
                     keep);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.Edit->setFocus(Qt::OtherFocusReason);
        dialog.Ok->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(dialog.Edit->hasSelectedText(), keep) << keep;
    }
}

} // namespace
} // namespace kestrel
