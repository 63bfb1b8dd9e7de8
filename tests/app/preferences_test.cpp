#include "app/colorroles.h"
#include "app/feditfunc.h"
#include "app/fontchoice.h"
#include "app/fpreferences.h"
#include "app/functionentry.h"
#include "app/inifile.h"
#include "app/keymap.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "panel/colorlist.h"
#include "text/strings.h"

#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kestrel {
namespace {

const QString iniPath = QStringLiteral("C:\\Home\\kestrel.ini");
const QString colPath = QStringLiteral("C:\\Home\\kestrel.col");

// Every value changed from what the dialog starts with.
TPreferences Changed()
{
    TPreferences p;
    p.fileFont = {QStringLiteral("DejaVu Serif"), 13, true};
    p.treeFont = {QStringLiteral("No Such Font 123"), 7, false};
    p.charCase = 3;
    p.views = 1;
    p.icon = false;
    p.focus = 0;
    p.autoCol = false;
    p.col = 5;
    p.sort = 4;
    p.attachExt = true;
    p.folderInfo = false;
    p.longName = false;
    p.hidden = true;
    p.colLine = false;
    p.fileType = false;
    p.pathCaption = false;
    p.desc = true;
    p.extArcPrg = true;
    p.autoRefresh = false;
    p.remRead = false;
    p.noTreeA = true;
    p.selDir = true;
    p.sound = true;
    p.startDir = true;
    p.start = QStringLiteral("D:\\Work Space");
    p.saveLastDir = false;
    p.explorerMenu = true;
    p.treeRoot = true;
    p.treePath = QStringLiteral("C:\\Trees");
    p.ctrlX = 0;
    p.delBtn = 0;
    p.esc = 3;
    p.arj = QStringLiteral("/opt/arj/arj");
    p.rar = QStringLiteral("C:\\bin\\rar");
    p.ace = QStringLiteral("ace2");
    p.view = QStringLiteral("less");
    p.edit = QStringLiteral("vi");
    p.functions[0] = QStringLiteral("[Notes]\"C:\\bin\\notes\" !.!");
    p.functions[6] = QStringLiteral("#refresh");
    p.functions[17] = QStringLiteral("[Pack]#addcopy");
    return p;
}

class PreferencesTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Home"));
    }
    static TFontSpec Ui() { return {QStringLiteral("UI Font"), 10, false}; }
    std::unique_ptr<TfPreferences> Open(TIniFile &ini, const QString &source = colPath)
    {
        return std::make_unique<TfPreferences>(nullptr, ini, source, colPath,
                                               [this] { ++applied; });
    }
    QStringList Lines(const QString &path) const
    {
        return QString::fromUtf8(Contents(path)).split(QStringLiteral("\r\n"));
    }
    int applied = 0;
};

TEST_F(PreferencesTest, EveryKeyWrittenReadsBackAndForeignLinesSurvive)
{
    MakeFile(iniPath, "; my own notes\r\n"
                      "[Option]\r\n"
                      "Lang=EN\r\n"
                      "Mystery=42\r\n"
                      "[Plugins]\r\n"
                      "; keep me\r\n"
                      "Foo=bar\r\n");
    const TPreferences changed = Changed();
    {
        TIniFile ini(iniPath);
        ASSERT_TRUE(WritePreferences(ini, changed));
    }
    const TIniFile ini(iniPath);
    EXPECT_EQ(ReadPreferences(ini, Ui()), changed);
    // What the main window reads at start and after Apply.
    EXPECT_EQ(ReadSetting(ini, key::FFont), changed.fileFont);
    EXPECT_EQ(ReadSetting(ini, key::TFont), changed.treeFont);
    EXPECT_EQ(ReadSetting(ini, key::CharCase), 3);
    EXPECT_EQ(ReadSetting(ini, key::Focus), 0);
    EXPECT_FALSE(ReadSetting(ini, key::AutoCol));
    EXPECT_EQ(ReadSetting(ini, key::Col), 5);
    EXPECT_EQ(ReadSetting(ini, key::Sort), 4);
    EXPECT_TRUE(ReadSetting(ini, key::Views));
    EXPECT_FALSE(ReadSetting(ini, key::LongName));
    EXPECT_FALSE(ReadSetting(ini, key::CtrlX));
    EXPECT_EQ(ReadSetting(ini, key::Esc), 3);
    EXPECT_EQ(ReadSetting(ini, key::DelBtn), 0);
    EXPECT_EQ(ReadSetting(ini, key::Start), changed.start);
    EXPECT_EQ(ReadSetting(ini, key::Edit), QStringLiteral("vi"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Function"), QStringLiteral("^F11"), {}),
              changed.functions[17]);

    const QString text = QString::fromUtf8(Contents(iniPath));
    for (const char *kept : {"; my own notes", "Lang=EN", "Mystery=42", "; keep me", "Foo=bar"})
        EXPECT_TRUE(text.contains(QLatin1String(kept))) << kept;
    // Booleans as 1/0, the others decimal; every slot written, empty ones too.
    EXPECT_TRUE(text.contains(QLatin1String("Hidden=1\r\n")));
    EXPECT_TRUE(text.contains(QLatin1String("Icon=0\r\n")));
    EXPECT_TRUE(text.contains(QLatin1String("FFont=\"DejaVu Serif\",13,1\r\n")));
    EXPECT_TRUE(text.contains(QLatin1String("\r\nF3=\r\n")));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("Function")).size(), FunctionKeySlots);
}

TEST_F(PreferencesTest, KeysAreWrittenInTheirOrderIntoAFreshFile)
{
    {
        TIniFile ini(iniPath);
        ASSERT_TRUE(WritePreferences(ini, Changed()));
    }
    const TIniFile ini(iniPath);
    const QStringList option = ini.ReadSection(QStringLiteral("Option"));
    const QStringList expected = {
        "FFont",       "TFont",    "CharCase",     "Views",   "Icon",     "FolderInfo",
        "AttachExt",   "LongName", "Hidden",       "ColLine", "FileType", "PathCaption",
        "Focus",       "AutoCol",  "Col",          "Sort",    "Desc",     "ExtArcPrg",
        "AutoRefresh", "RemRead",  "NoTreeA",      "SelDir",  "Sound",    "SaveLastDir",
        "StartDir",    "Start",    "ExplorerMenu", "DelBtn",  "ESC",      "CtrlX",
        "TreeRoot",    "TreePath"};
    EXPECT_EQ(option, expected);
    EXPECT_EQ(ini.ReadSection(QStringLiteral("Program")),
              QStringList({"ARJ", "RAR", "ACE", "View", "Edit"}));
    QStringList slots;
    for (int slot = 0; slot < FunctionKeySlots; ++slot)
        slots.append(FunctionKeyName(slot));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("Function")), slots);
}

TEST_F(PreferencesTest, AbsentKeysStartFromTheDialogsValues)
{
    MakeFile(iniPath, "[Option]\r\nFocus=9\r\nCol=-3\r\nSort=x\r\n");
    const TIniFile ini(iniPath);
    const TPreferences p = ReadPreferences(ini, Ui());
    // Out-of-range and unreadable values fall back the same way.
    EXPECT_EQ(p.focus, 1);
    EXPECT_EQ(p.col, 2);
    EXPECT_EQ(p.sort, 0);
    EXPECT_EQ(p.charCase, 0);
    EXPECT_TRUE(p.pathCaption);
    EXPECT_TRUE(p.remRead);
    EXPECT_EQ(p.ctrlX, 1);
    EXPECT_EQ(p.delBtn, 2);
    EXPECT_EQ(p.esc, 2);
    EXPECT_EQ(p.fileFont, Ui());
    EXPECT_EQ(p.treeFont, Ui());
    EXPECT_EQ(p.start, QStringLiteral("C:\\"));
    EXPECT_EQ(p.arj, QStringLiteral("arj"));
    EXPECT_EQ(p.rar, QStringLiteral("rar"));
    EXPECT_EQ(p.ace, QStringLiteral("ace"));
    EXPECT_EQ(p.view, DesktopTextEditor());
    EXPECT_EQ(p.edit, p.view);
    EXPECT_FALSE(p.view.contains(QLatin1String(".exe")));
    for (const QString &slot : p.functions)
        EXPECT_TRUE(slot.isEmpty());
}

// A blank inside the program's quotes used to be kept when read and dropped
// when written, so the editor changed the entry (found by fuzzing).
TEST(FunctionEntry, WhatTheEditorWritesReadsBackTheSame)
{
    const TFunctionEntry read = ParseFunctionEntry(QStringLiteral("[nad]\"C:\\Win \"4 y\" z"));
    EXPECT_EQ(read.program, QStringLiteral("C:\\Win"));
    EXPECT_EQ(ParseFunctionEntry(FormatFunctionEntry(read)), read);
}

TEST(FunctionEntry, BothFormsParseBuildAndLabel)
{
    const struct {
        const char *text;
        TFunctionEntry entry;
        const char *label;
    } rows[] = {
        {"#copy", {"", true, "copy", "", ""}, "copy"},
        {"[Pack]#addcopy", {"Pack", true, "addcopy", "", ""}, "Pack"},
        {"\"C:\\Tools\\edit.exe\"", {"", false, "", "C:\\Tools\\edit.exe", ""}, "edit"},
        {"[Notepad]\"notepad.exe\" !.!", {"Notepad", false, "", "notepad.exe", "!.!"}, "Notepad"},
        {"\"/usr/bin/my tool\" -x \"a b\"",
         {"", false, "", "/usr/bin/my tool", "-x \"a b\""},
         "my tool"},
    };
    for (const auto &row : rows) {
        const QString text = QString::fromUtf8(row.text);
        EXPECT_EQ(ParseFunctionEntry(text), row.entry) << row.text;
        EXPECT_EQ(FormatFunctionEntry(row.entry), text) << row.text;
        EXPECT_EQ(FunctionKeyLabel(text), QString::fromUtf8(row.label)) << row.text;
    }
    // A hand-edited "[" without "]" is no prefix: the whole text is the link.
    const TFunctionEntry open = ParseFunctionEntry(QStringLiteral("[Half \"prog\" x"));
    EXPECT_TRUE(open.name.isEmpty());
    EXPECT_FALSE(open.internal);
    EXPECT_EQ(open.program, QStringLiteral("[Half"));
    // Unbalanced quotes run to the end; an unknown keyword stays as typed.
    EXPECT_EQ(ParseFunctionEntry(QStringLiteral("\"my prog -a")).program,
              QStringLiteral("my prog -a"));
    EXPECT_EQ(ParseFunctionEntry(QStringLiteral("#frobnicate")).keyword,
              QStringLiteral("frobnicate"));
    EXPECT_EQ(FunctionKeywordIndex(QStringLiteral("frobnicate")), -1);
    EXPECT_EQ(FunctionKeywordIndex(QStringLiteral("REFRESH")), 15);
    EXPECT_TRUE(FormatFunctionEntry({QStringLiteral("Name"), false, {}, {}, QStringLiteral("-x")})
                    .isEmpty())
        << "no program, no entry";
    EXPECT_FALSE(ValidDisplayName(QStringLiteral("a]b")));
}

TEST_F(PreferencesTest, TheEditorOpensEitherFormAndRefusesABracketInTheName)
{
    TfEditFunc link(nullptr, QStringLiteral("[Notepad]\"notepad.exe\" !.! %P"));
    EXPECT_TRUE(link.LinkProgram->isChecked());
    EXPECT_EQ(link.DisplayName->text(), QStringLiteral("Notepad"));
    EXPECT_EQ(link.Command->text(), QStringLiteral("notepad.exe"));
    EXPECT_EQ(link.Parameters->text(), QStringLiteral("!.! %P"));
    EXPECT_FALSE(link.Function->isEnabled());
    EXPECT_EQ(link.Entry(), QStringLiteral("[Notepad]\"notepad.exe\" !.! %P"));

    TfEditFunc internal(nullptr, QStringLiteral("[Go]#findnext"));
    EXPECT_TRUE(internal.KestrelFunction->isChecked());
    EXPECT_EQ(internal.Function->currentText(), QStringLiteral("Find Next"));
    EXPECT_FALSE(internal.Command->isEnabled());
    internal.DisplayName->clear();
    internal.Function->setCurrentIndex(13);
    EXPECT_EQ(internal.Entry(), QStringLiteral("#textedit"));
    internal.LinkProgram->setChecked(true);
    internal.Command->setText(QStringLiteral("C:\\Tools\\edit.exe"));
    EXPECT_EQ(internal.Entry(), QStringLiteral("\"C:\\Tools\\edit.exe\""));

    test::ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    internal.DisplayName->setText(QStringLiteral("x]y"));
    internal.show();
    internal.accept();
    EXPECT_TRUE(internal.isVisible()) << "a name with \"]\" is refused";
    EXPECT_EQ(ask.asked.size(), 1);
    internal.DisplayName->setText(QStringLiteral("xy"));
    internal.accept();
    EXPECT_EQ(internal.result(), QDialog::Accepted);
}

TEST_F(PreferencesTest, FocusAndColumnChoicesWriteTheirKeys)
{
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    dialog->FocusFrame->setCurrentText(QStringLiteral("Dot"));
    dialog->Column->setCurrentText(QStringLiteral("3Col"));
    ASSERT_TRUE(dialog->Apply());
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Focus"), {}), "0");
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("AutoCol"), {}), "0");
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Col"), {}), "3");

    dialog->FocusFrame->setCurrentText(QStringLiteral("None"));
    dialog->Column->setCurrentText(QStringLiteral("Auto"));
    dialog->ShortNames->setChecked(true);
    ASSERT_TRUE(dialog->Apply());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Focus"), {}), "2");
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("AutoCol"), {}), "1");
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Col"), {}), "0");
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("LongName"), {}), "0");

    // A dialog opened over these keys shows them again.
    auto again = Open(ini);
    EXPECT_EQ(again->FocusFrame->currentText(), QStringLiteral("None"));
    EXPECT_EQ(again->Column->currentText(), QStringLiteral("Auto"));
    EXPECT_TRUE(again->ShortNames->isChecked());
    EXPECT_EQ(again->Values(), dialog->Values());
}

TEST_F(PreferencesTest, EveryPageFitsASmallScreen)
{
    MakeFile(colPath, "[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\nTXT=255\r\nZIP=65280\r\n");
    MakeFile(iniPath, "[Function]\r\nF2=[Notes]\"gedit\" !.!\r\n^F1=#copy\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    dialog->show();
    const QByteArray shots = qgetenv("KESTREL_SHOTS");
    for (int page = 0; page < dialog->Pages->count(); ++page) {
        dialog->Pages->setCurrentIndex(page);
        dialog->adjustSize();
        EXPECT_LE(dialog->width(), 1024) << page;
        EXPECT_LE(dialog->height(), 700) << page; // room for the window frame and a panel
        if (!shots.isEmpty())
            dialog->grab().save(
                QStringLiteral("%1/prefs-%2.png").arg(QString::fromUtf8(shots)).arg(page));
    }
    TfEditFunc editor(dialog.get(), QStringLiteral("[Notes]\"gedit\" !.! %P"));
    editor.show();
    EXPECT_LE(editor.height(), 700);
    if (!shots.isEmpty())
        editor.grab().save(QString::fromUtf8(shots) + QStringLiteral("/editfunc.png"));
}

TEST_F(PreferencesTest, CancelWritesNothing)
{
    MakeFile(iniPath, "[Option]\r\nHidden=0\r\n");
    MakeFile(colPath, "[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\nTXT=5\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    dialog->Hidden->setChecked(true);
    dialog->show();
    dialog->reject();
    EXPECT_EQ(Contents(iniPath), QByteArray("[Option]\r\nHidden=0\r\n"));
    EXPECT_EQ(Contents(colPath), QByteArray("[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\nTXT=5\r\n"));
    EXPECT_EQ(applied, 0);
}

TEST_F(PreferencesTest, ColourSetAppliesWithoutGrowingAndThePanelReadsIt)
{
    MakeFile(colPath, "[Basic]\r\nBACK=0\r\nNORMAL=12632256\r\nTBACK=7\r\n\r\n[Ext]\r\n"
                      "TXT=255\r\nDOC=255\r\nZIP=65280\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    EXPECT_EQ(dialog->ColorSet().Ext, QStringList({"255=TXT;DOC", "65280=ZIP"}));
    ASSERT_EQ(dialog->BasicColors->count(), ColorRoleCount);
    EXPECT_EQ(dialog->BasicColors->item(10)->text(), QStringLiteral("Backgound"));
    EXPECT_EQ(dialog->BasicColors->item(10)->background().color(), QColor(7, 0, 0));

    test::ScriptedAsk ask;
    ask.ExpectChooseColor(true, 0x112233);
    dialog->BasicColorDoubleClick(1); // Column Line
    EXPECT_EQ(ask.asked.last().color, 16744576u) << "the role's initial colour is offered";
    ASSERT_TRUE(dialog->Apply());
    const QByteArray first = Contents(colPath);
    ASSERT_TRUE(dialog->Apply());
    EXPECT_EQ(Contents(colPath), first) << "Apply after Apply changes nothing";
    auto reopened = Open(ini);
    ASSERT_TRUE(reopened->Apply());
    EXPECT_EQ(Contents(colPath), first) << "no empty line is added per round";
    EXPECT_EQ(Lines(colPath).mid(0, 6),
              QStringList({"[Basic]", "BACK=0", "NORMAL=12632256", "TBACK=7", "LINE=1122867", ""}));
    EXPECT_EQ(Lines(colPath).mid(6), QStringList({"[Ext]", "DOC=255", "TXT=255", "ZIP=65280", ""}));

    TColorList panel;
    panel.LoadFromFile(colPath);
    EXPECT_EQ(panel.GetColor(ciLine), 0x112233u);
    EXPECT_EQ(panel.GetExtColor(QStringLiteral("doc")), 255u);
    EXPECT_EQ(panel.GetExtColor(QStringLiteral("zip")), 65280u);
}

TEST_F(PreferencesTest, ExtensionLinesAreAddedEditedAndDeletedThroughTheirQuestions)
{
    MakeFile(colPath, "[Basic]\r\nNORMAL=100\r\n\r\n[Ext]\r\nTXT=5\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    test::ScriptedAsk ask;

    ask.ExpectGetString(mrOk, QStringLiteral("doc;txt"));
    ask.ExpectChooseColor(true, 255);
    dialog->AddExtClick();
    EXPECT_EQ(ask.asked[0].caption, LoadStr(588));
    EXPECT_EQ(ask.asked[0].text, LoadStr(589));
    EXPECT_EQ(ask.asked[1].color, 100u) << "Add starts from the NORMAL colour";
    EXPECT_EQ(dialog->ColorSet().Ext, QStringList({"5=TXT", "255=doc;txt"}));

    // The same colour again is refused; a cancelled colour adds nothing.
    ask.ExpectGetString(mrOk, QStringLiteral("htm"));
    ask.ExpectChooseColor(true, 5);
    ask.ExpectMessageBox(mrOk);
    dialog->AddExtClick();
    EXPECT_EQ(ask.asked.last().text, LoadStr(801));
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Error"));
    ask.ExpectGetString(mrOk, QStringLiteral("htm"));
    ask.ExpectChooseColor(false);
    dialog->AddExtClick();
    // "=" would write a line that reads back as another extension.
    ask.ExpectGetString(mrOk, QStringLiteral("a=b"));
    ask.ExpectMessageBox(mrOk);
    dialog->AddExtClick();
    EXPECT_EQ(dialog->ColorSet().Ext.size(), 2);

    dialog->ExtColors->setCurrentRow(1);
    ask.ExpectGetString(mrOk, QStringLiteral("doc;rtf"));
    dialog->EditExtClick();
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Extension"));
    EXPECT_EQ(dialog->ColorSet().Ext.at(1), QStringLiteral("255=doc;rtf"));

    ask.ExpectChooseColor(true, 5);
    ask.ExpectMessageBox(mrOk);
    dialog->ExtColorDoubleClick(1);
    EXPECT_EQ(dialog->ColorSet().Ext.at(1), QStringLiteral("255=doc;rtf")) << "duplicate colour";
    ask.ExpectChooseColor(true, 77);
    dialog->ExtColorDoubleClick(1);
    EXPECT_EQ(dialog->ColorSet().Ext.at(1), QStringLiteral("77=doc;rtf"));

    dialog->ExtColors->setCurrentRow(0);
    ask.ExpectMessageBox(mrNo);
    dialog->DeleteExtClick();
    EXPECT_EQ(ask.asked.last().text, LoadStr(586));
    EXPECT_EQ(ask.asked.last().caption, LoadStr(587));
    EXPECT_EQ(dialog->ColorSet().Ext.size(), 2);
    ask.ExpectMessageBox(mrYes);
    dialog->DeleteExtClick();
    EXPECT_EQ(dialog->ColorSet().Ext, QStringList({"77=doc;rtf"}));
    EXPECT_EQ(dialog->ExtColors->item(0)->text(), QStringLiteral("77=doc;rtf"));
}

TEST_F(PreferencesTest, ColourSetsSavedAsOpenAgainTheSame)
{
    MakeFile(colPath, "[Basic]\r\nBACK=1\r\nTHINT=2\r\n\r\n[Ext]\r\nA=3\r\nB=3\r\nC=4\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    const TColorSet original = dialog->ColorSet();
    test::ScriptedAsk ask;
    ask.Expect({test::QuestionKind::SaveFileName, mrOk, QStringLiteral("D:\\mine.col")});
    dialog->SaveSetAsClick();
    EXPECT_EQ(ask.asked.last().caption, QStringLiteral("Save As"));

    // A set without [Ext] opens as basic lines only.
    MakeFile(QStringLiteral("D:\\plain.col"), "BACK=9\r\nTXT=5\r\n");
    ask.Expect({test::QuestionKind::OpenFileName, mrOk, QStringLiteral("D:\\plain.col")});
    dialog->OpenSetClick();
    EXPECT_EQ(dialog->ColorSet().Basic, QStringList({"BACK=9", "TXT=5"}));
    EXPECT_TRUE(dialog->ColorSet().Ext.isEmpty());
    EXPECT_EQ(dialog->ExtColors->count(), 0);

    ask.Expect({test::QuestionKind::OpenFileName, mrOk, QStringLiteral("D:\\mine.col")});
    dialog->OpenSetClick();
    EXPECT_EQ(dialog->ColorSet().Basic, original.Basic);
    EXPECT_EQ(dialog->ColorSet().Ext, original.Ext);

    // An unreadable file is reported and keeps the lists.
    ask.Expect({test::QuestionKind::OpenFileName, mrOk, QStringLiteral("D:\\missing.col")});
    ask.ExpectMessageBox(mrOk);
    dialog->OpenSetClick();
    EXPECT_EQ(dialog->ColorSet().Ext, original.Ext);
}

TEST_F(PreferencesTest, FontsComeFromTheFontQuestion)
{
    MakeFile(iniPath, "[Option]\r\nFFont=\"No Such Font 123\",11,0\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    EXPECT_EQ(dialog->Values().fileFont.name, QStringLiteral("No Such Font 123"))
        << "a missing font is kept, not replaced behind the user's back";
    // What the panel really draws with is said beside it.
    const QString shown = ChosenFont({QStringLiteral("No Such Font 123"), 11, false}).family();
    EXPECT_EQ(dialog->FileFontUsed->text(),
              QStringLiteral("No Such Font 123, 11 (not installed: shown in ") + shown +
                  QLatin1Char(')'));
    test::ScriptedAsk ask;
    ask.ExpectChooseFont(true, QStringLiteral("DejaVu Sans"), 14, true);
    dialog->FileFontButton->click();
    if (ChosenFont({QStringLiteral("DejaVu Sans"), 14, true}).family() ==
        QLatin1String("DejaVu Sans")) {
        EXPECT_EQ(dialog->FileFontUsed->text(), QStringLiteral("DejaVu Sans, 14, bold"));
    }
    EXPECT_EQ(ask.asked.last().text, QStringLiteral("No Such Font 123"));
    EXPECT_EQ(ask.asked.last().size, 11);
    ask.ExpectChooseFont(false);
    dialog->TreeFontButton->click();
    ASSERT_TRUE(dialog->Apply());
    EXPECT_EQ(ReadSetting(ini, key::FFont), (TFontSpec{QStringLiteral("DejaVu Sans"), 14, true}));
    EXPECT_EQ(ReadSetting(ini, key::TFont).name, dialog->Values().treeFont.name);
}

TEST_F(PreferencesTest, FunctionKeysAreEditedAndDeletedPerSlot)
{
    MakeFile(iniPath, "[Function]\r\nF2=#copy\r\n^F1=[Pack]#addcopy\r\n");
    TIniFile ini(iniPath);
    auto dialog = Open(ini);
    ASSERT_EQ(dialog->FunctionKeys->count(), FunctionKeySlots);
    EXPECT_TRUE(dialog->FunctionKeys->item(0)->text().contains(QLatin1String("copy")));
    EXPECT_TRUE(dialog->FunctionKeys->item(7)->text().startsWith(QLatin1String("^F1 = Ctrl+F1")));
    EXPECT_TRUE(dialog->FunctionKeys->item(7)->text().contains(QLatin1String("Pack")));

    // The editor is modal: it is answered once it is open.
    dialog->FunctionKeys->setCurrentRow(3);
    QTimer::singleShot(0, [] {
        auto *editor = qobject_cast<TfEditFunc *>(QApplication::activeModalWidget());
        ASSERT_TRUE(editor);
        editor->DisplayName->setText(QStringLiteral("Ed"));
        editor->Command->setText(QStringLiteral("/usr/bin/ed"));
        editor->Parameters->setText(QStringLiteral("!.!"));
        editor->accept();
    });
    dialog->EditKeyClick();
    dialog->FunctionKeys->setCurrentRow(0);
    dialog->DeleteKeyClick();
    ASSERT_TRUE(dialog->Apply());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Function"), QStringLiteral("F5"), {}),
              QStringLiteral("[Ed]\"/usr/bin/ed\" !.!"));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("Function"), QStringLiteral("F2")));
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Function"), QStringLiteral("F2"), {}).isEmpty());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Function"), QStringLiteral("^F1"), {}),
              QStringLiteral("[Pack]#addcopy"));
}

} // namespace
} // namespace kestrel
