#include "tools/farename.h"
#include "tools/fattrib.h"
#include "tools/frename.h"
#include "tools/fsplit.h"

#include "tests/support/scriptedask.h"
#include "tools/datetimeedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QStringList Column(const QTreeWidget &list, int column)
{
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        texts << list.topLevelItem(i)->text(column);
    return texts;
}

TEST(SplitDialogTest, OffersTheSizesProposesOneAndPicksAFolderThroughTheSeam)
{
    test::ScriptedAsk ask;
    TSplitForm form{QStringLiteral("movie.avi (3,000,000 bytes)"), QStringLiteral("C:\\Data"),
                    QStringLiteral("5 MB")};
    TfSplit dialog(nullptr, form);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Split File"));
    EXPECT_EQ(dialog.FileName->text(), form.fileText);
    ASSERT_EQ(dialog.Size->count(), 7);
    EXPECT_EQ(dialog.Size->itemText(1), QStringLiteral("2880 KB"));
    EXPECT_EQ(dialog.Size->currentIndex(), 2);
    EXPECT_TRUE(dialog.Size->isEditable());

    ask.Expect({test::QuestionKind::SelectFolder, mrOk, QStringLiteral("D:\\Out")});
    QTest::mouseClick(dialog.Browse, Qt::LeftButton);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Select Folder"));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("C:\\Data"));
    dialog.Size->setEditText(QStringLiteral("700"));
    dialog.Read(form);
    EXPECT_EQ(form.folder, QStringLiteral("D:\\Out"));
    EXPECT_EQ(form.sizeText, QStringLiteral("700"));
}

class AdvancedRenameDialogTest : public ::testing::Test {
protected:
    TAdvancedRenameForm Form(const QStringList &sources)
    {
        TAdvancedRenameForm form;
        form.sources = sources;
        form.results = sources;
        form.takenOutside = [](const QString &name) { return name == QLatin1String("taken.txt"); };
        return form;
    }
    test::ScriptedAsk ask;
};

TEST_F(AdvancedRenameDialogTest, AltKeysPickTheActionAndItsPage)
{
    TfARename dialog(nullptr, Form({QStringLiteral("a.txt")}));
    dialog.show();
    dialog.Edit->setFocus();
    const struct {
        Qt::Key key;
        int action;
        int page;
        const char *caption;
    } rows[] = {{Qt::Key_T, raTail, 0, "Tai&l :"}, {Qt::Key_C, raCount, 1, ""},
                {Qt::Key_X, raCut, 0, "Cu&t :"},   {Qt::Key_E, raChangeExt, 0, "Ex&t :"},
                {Qt::Key_R, raReplace, 2, ""},     {Qt::Key_H, raHead, 0, "Hea&d :"}};
    for (const auto &row : rows) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog,
                        row.key, Qt::AltModifier);
        EXPECT_EQ(dialog.Action->currentIndex(), row.action);
        EXPECT_EQ(dialog.Options->currentIndex(), row.page);
        EXPECT_EQ(dialog.EditCaption->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(dialog.ChangeName->isVisibleTo(&dialog), row.action != raChangeExt);
        // The key is the dialog's: nothing was typed.
        EXPECT_TRUE(dialog.Edit->text().isEmpty());
    }
    dialog.Action->setCurrentIndex(raCut);
    EXPECT_TRUE(dialog.Help->text().startsWith(QStringLiteral("ex) 12345678.EXT\n     ~4  =>")));
}

TEST_F(AdvancedRenameDialogTest, ThePreviewFollowsTheRuleAndMarksNamesThatCannotBeUsed)
{
    TfARename dialog(
        nullptr, Form({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.log")}));
    QTest::keyClicks(dialog.Edit, QStringLiteral("new_"));
    EXPECT_EQ(Column(*dialog.Live, 1), (QStringList{"new_a.txt", "new_b.txt", "new_c.log"}));
    EXPECT_TRUE(dialog.LiveStatus->text().isEmpty());

    dialog.Action->setCurrentIndex(raChangeExt);
    dialog.Edit->setText(QStringLiteral("txt"));
    // c.log becomes c.txt, which is free.
    EXPECT_TRUE(Column(*dialog.Live, 2).join(QString()).isEmpty());
    dialog.Action->setCurrentIndex(raReplace);
    dialog.Find->setText(QStringLiteral("a"));
    dialog.Replace->setText(QStringLiteral("taken"));
    EXPECT_EQ(Column(*dialog.Live, 1)[0], QStringLiteral("taken.txt"));
    EXPECT_EQ(Column(*dialog.Live, 2)[0], QStringLiteral("Another file already has this name."));
    EXPECT_EQ(dialog.LiveStatus->text(), QStringLiteral("1 new name(s) cannot be used."));
    // OK is not taken while a name cannot be used.
    QTest::mouseClick(dialog.Ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 0);

    dialog.Action->setCurrentIndex(raCut);
    dialog.Edit->setText(QStringLiteral("5~3"));
    EXPECT_EQ(dialog.LiveStatus->text(), QStringLiteral("Invalid Format"));
    ask.ExpectMessageBox(mrOk);
    QTest::mouseClick(dialog.Ok, Qt::LeftButton);
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("Invalid Format"));
    EXPECT_EQ(dialog.result(), 0);

    dialog.Edit->setText(QStringLiteral("1-"));
    dialog.ChangeExt->setChecked(true);
    QTest::mouseClick(dialog.Ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    EXPECT_EQ(dialog.Results(), (QStringList{"a.tx", "b.tx", "c.lo"}));
}

TEST_F(AdvancedRenameDialogTest, CountTakesItsSettingsAndOnlyTheRunIsShown)
{
    TAdvancedRenameForm form =
        Form({QStringLiteral("done"), QStringLiteral("x.jpg"), QStringLiteral("y.jpg")});
    form.start = 1;
    TfARename dialog(nullptr, form);
    dialog.Action->setCurrentIndex(raCount);
    dialog.Start->setValue(9);
    dialog.Step->setValue(2);
    dialog.Digits->setCurrentIndex(2);
    dialog.Tail->setChecked(true);
    EXPECT_EQ(Column(*dialog.Live, 0), (QStringList{"x.jpg", "y.jpg"}));
    EXPECT_EQ(Column(*dialog.Live, 1), (QStringList{"x009.jpg", "y011.jpg"}));
    EXPECT_EQ(dialog.Results()[0], QStringLiteral("done"));
    EXPECT_EQ(dialog.Start->maximum(), 2147483647);
}

TEST(RenameDialogTest, TheExtensionBoxKeepsTheExtensionAndAdvancedNamesTheRest)
{
    test::ScriptedAsk ask;
    TRenameForm form;
    form.index = 1;
    form.advanced.sources = {QStringLiteral("a.txt"), QStringLiteral("report.txt")};
    form.advanced.results = form.advanced.sources;
    form.text = QStringLiteral("report.txt");
    TfRename dialog(nullptr, form);
    EXPECT_EQ(dialog.OldFileName->text(), QStringLiteral("report.txt (2/2)"));
    EXPECT_EQ(dialog.FileName->selectedText(), QStringLiteral("report.txt"));
    EXPECT_TRUE(dialog.Extension->isChecked());
    dialog.Extension->setChecked(false);
    EXPECT_EQ(dialog.FileName->text(), QStringLiteral("report"));
    dialog.FileName->setText(QStringLiteral("final"));
    dialog.Read(form);
    EXPECT_EQ(form.text, QStringLiteral("final"));
    EXPECT_FALSE(form.changeExtension);

    // The box as it was left shows the next name without its extension.
    form.text = QStringLiteral("a.txt");
    form.index = 0;
    TfRename next(nullptr, form);
    EXPECT_EQ(next.FileName->text(), QStringLiteral("a"));
    next.Extension->setChecked(true);
    EXPECT_EQ(next.FileName->text(), QStringLiteral("a.txt"));

    ask.ExpectAdvancedRename(mrOk, [](TAdvancedRenameForm &advanced) {
        advanced.results[0] = QStringLiteral("one.txt");
    });
    QTest::mouseClick(next.Advanced, Qt::LeftButton);
    EXPECT_EQ(next.result(), int(mrAll));
    next.Read(form);
    EXPECT_EQ(form.advanced.results[0], QStringLiteral("one.txt"));
}

TEST(AttribDialogTest, TheTimeBoxChoosesTheModeAndEndMeansAll)
{
    TAttribForm form;
    form.fileText = QStringLiteral("a.txt (1/3)");
    form.attributes = sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_ARCHIVE;
    form.date = QStringLiteral("2002-04-27");
    form.time = QStringLiteral("13:05");
    TfAttrib dialog(nullptr, form);
    EXPECT_TRUE(dialog.Readonly->isChecked() && dialog.Archive->isChecked());
    EXPECT_FALSE(dialog.Hidden->isChecked() || dialog.System->isChecked());
    EXPECT_TRUE(dialog.Readonly->isEnabled());
    EXPECT_FALSE(dialog.Date->isEnabled());
    dialog.ApplyDateTime->setChecked(true);
    EXPECT_FALSE(dialog.Readonly->isEnabled());
    EXPECT_TRUE(dialog.Date->isEnabled() && dialog.Time->isEnabled());
    dialog.Time->setCursorPosition(0);
    QTest::keyClicks(dialog.Time, QStringLiteral("09"));
    dialog.Hidden->setChecked(true);
    dialog.Read(form);
    EXPECT_TRUE(form.applyDateTime);
    EXPECT_EQ(form.time, QStringLiteral("09:05"));
    EXPECT_EQ(form.attributes, sys::FILE_ATTRIBUTE_READONLY | sys::FILE_ATTRIBUTE_ARCHIVE |
                                   sys::FILE_ATTRIBUTE_HIDDEN);

    QTest::keyClick(dialog.Date, Qt::Key_End);
    EXPECT_EQ(dialog.result(), int(mrAll));
}

} // namespace
} // namespace kestrel
