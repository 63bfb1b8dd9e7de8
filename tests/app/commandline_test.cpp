#include "app/commandline.h"
#include "platform/fileapi.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

namespace kestrel::test {
namespace {

// Records what the command line asks of the main window.
class RecordingTarget : public TCommandTarget {
public:
    TPanelNames PanelNames() const override { return names; }
    bool SetFolder(const QString &path) override
    {
        calls << QStringLiteral("SetFolder ") + path;
        return enterable;
    }
    void FormatDrive(QChar drive, bool quick) override
    {
        calls << QStringLiteral("Format ") + drive + (quick ? QStringLiteral(" quick") : QString());
    }
    void RunProgram(const QString &program, const QString &parameters) override
    {
        calls << QStringLiteral("Run [%1] [%2]").arg(program, parameters);
    }
    void OpenFocused() override { calls << QStringLiteral("Open"); }
    void Exit() override { calls << QStringLiteral("Exit"); }

    TPanelNames names{QStringLiteral("C:\\Work"),
                      {QStringLiteral("a b.txt"), QStringLiteral("c.doc")},
                      QStringLiteral("report.final.txt")};
    bool enterable = true;
    QStringList calls;
};

class CommandLineTest : public MachineTest {
protected:
    RecordingTarget target;
    TCommandLine line{target, nullptr};
};

TEST_F(CommandLineTest, WordsBecomeTheirActions)
{
    const std::pair<const char *, const char *> cases[] = {
        {"c:", "SetFolder C:\\"},
        {"  d:  ", "SetFolder D:\\"},
        {"c: setup", "Run [c:] [setup]"},
        {"cd..", "SetFolder .."},
        {"CD\\", "SetFolder \\"},
        {"cd Sub Folder", "SetFolder Sub Folder"},
        {"cd \"Program Files\"", "SetFolder Program Files"},
        {"Cd D:\\x", "SetFolder D:\\x"},
        {"cd", ""},
        {"format a:", "Format A"},
        {"format b: /q", "Format B quick"},
        {"format", "Format C"},
        {"copy a.txt b.txt", "Run [command] [/k copy a.txt b.txt]"},
        {"EXIT", "Exit"},
        {"notepad !.!", "Run [notepad] [report.final.txt]"},
        {"zip x.zip !..!", "Run [zip] [x.zip \"a b.txt\" \"c.doc\"]"},
        {"\"C:\\Program Files\\app\" -x", "Run [C:\\Program Files\\app] [-x]"},
        {"\"C:\\Program Files\\app -x", "Run [C:\\Program Files\\app -x] []"},
        {"tool \"unbalanced arg", "Run [tool] [\"unbalanced arg]"},
        {"   ", ""},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text);
        target.calls.clear();
        line.Run(QString::fromUtf8(text), true);
        EXPECT_EQ(target.calls.join(QLatin1Char('|')), QString::fromUtf8(expected));
    }
}

TEST_F(CommandLineTest, FolderThatCannotBeEnteredIsReported)
{
    ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    target.enterable = false;
    line.Run(QStringLiteral("cd missing"), true);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].text,
              QStringLiteral("missing\n\nThe system cannot find the file/folder specified"));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(ask.asked[0].flags, unsigned(MB_OK | MB_ICONERROR));
}

TEST_F(CommandLineTest, MakeFolderCreatesOrSaysWhy)
{
    MakeFolder(QStringLiteral("C:\\Work\\Old"));
    ASSERT_TRUE(sys::SetCurrentDirectory(QStringLiteral("C:\\Work")));
    ScriptedAsk ask;

    line.Run(QStringLiteral("md New"), true);
    line.Run(QStringLiteral("MKDIR \"Two Words\""), true);
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Work\\New")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Work\\Two Words")));
    EXPECT_TRUE(ask.asked.isEmpty());

    const std::pair<const char *, const char *> failures[] = {
        {"md", "The syntax of the command is incorrect.\n\nex) md(mkdir) name"},
        {"mkdir   ", "The syntax of the command is incorrect.\n\nex) md(mkdir) name"},
        {"md Old", "Old\n\nA file or folder with the same name already exists."},
        {"md gone\\deeper", "gone\\deeper\n\nThe system cannot find the file/folder specified"},
    };
    for (const auto &[text, message] : failures) {
        SCOPED_TRACE(text);
        ask.asked.clear();
        ask.ExpectMessageBox(mrOk);
        line.Run(QString::fromUtf8(text), true);
        ASSERT_EQ(ask.asked.size(), 1);
        EXPECT_EQ(ask.asked[0].text, QString::fromUtf8(message));
        EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(ask.asked[0].flags, unsigned(MB_OK | MB_ICONERROR));
    }
    EXPECT_TRUE(target.calls.isEmpty());
}

// Folders typed in native form used to be read as Windows paths on the
// panel's drive ("cd /x/d/Work" looked for C:\\x\\d\\Work).
TEST_F(CommandLineTest, NativePathsAreTakenWhereAFolderIsTyped)
{
    MakeFolder(QStringLiteral("C:\\Work"));
    MakeFolder(QStringLiteral("D:\\Deep\\Er"));
    ASSERT_TRUE(sys::SetCurrentDirectory(QStringLiteral("C:\\Work")));
    const QString d = QString::fromUtf8(Native(QStringLiteral("D:\\")));
    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("cd ") + d + QStringLiteral("/Deep/Er"), "SetFolder D:\\Deep\\Er"},
        {QStringLiteral("cd \"") + d + QStringLiteral("/deep\""), "SetFolder D:\\deep"},
        // "!\\" gives the native folder, which cd takes back.
        {QStringLiteral("cd !\\Sub"), "SetFolder C:\\Work\\Sub"},
        {QStringLiteral("cd Sub/Deeper"), "SetFolder Sub/Deeper"},
        {QStringLiteral("format !:"), "Format C"},
        {QStringLiteral("format ") + d + QStringLiteral(" /q"), "Format D quick"},
        {QStringLiteral("format /q"), ""},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        target.calls.clear();
        line.Run(text, true);
        EXPECT_EQ(target.calls.join(QLatin1Char('|')), QString::fromUtf8(expected));
    }

    ScriptedAsk ask;
    line.Run(QStringLiteral("md ") + d + QStringLiteral("/Deep/New"), true);
    EXPECT_TRUE(Exists(QStringLiteral("D:\\Deep\\New")));
    EXPECT_TRUE(ask.asked.isEmpty());

    // A native path outside every drive cannot be named: said so, nothing done.
    for (const char *text : {"cd /outside/every/drive", "md /outside/every/drive"}) {
        SCOPED_TRACE(text);
        target.calls.clear();
        ask.asked.clear();
        ask.ExpectMessageBox(mrOk);
        line.Run(QString::fromUtf8(text), true);
        ASSERT_EQ(ask.asked.size(), 1);
        EXPECT_EQ(ask.asked[0].text,
                  QStringLiteral("/outside/every/drive\n\n"
                                 "The system cannot find the file/folder specified"));
        EXPECT_TRUE(target.calls.isEmpty());
    }
}

TEST_F(CommandLineTest, HistoryKeepsTheTenLatestTypedCommands)
{
    for (int i = 1; i <= 12; ++i)
        line.Run(QStringLiteral("cd %1").arg(i), true);
    line.Run(QStringLiteral("cd 12"), false); // picked from the list
    line.Run(QStringLiteral("  "), true);
    QStringList expected;
    for (int i = 3; i <= 12; ++i)
        expected << QStringLiteral("cd %1").arg(i);
    EXPECT_EQ(line.History(), expected);

    QStringList stored;
    for (int i = 1; i <= 15; ++i)
        stored << QString::number(i);
    line.SetHistory(stored);
    EXPECT_EQ(line.History(), stored.mid(5));
}

TEST_F(CommandLineTest, PercentPOffersTheExpandedTextForEditing)
{
    ScriptedAsk ask;
    ask.ExpectGetString(mrOk, QStringLiteral(" -v report.final.txt  "));
    line.Run(QStringLiteral("viewer %p !.!"), true);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Edit Param..."));
    EXPECT_EQ(ask.asked[0].text, QStringLiteral("\n\nParameters"));
    EXPECT_EQ(target.calls, QStringList{QStringLiteral("Run [viewer] [-v report.final.txt]")});

    // Cancel runs nothing, but the typed text still goes to the history.
    target.calls.clear();
    ask.ExpectGetString(mrCancel);
    line.Run(QStringLiteral("viewer %P"), true);
    EXPECT_TRUE(target.calls.isEmpty());
    EXPECT_EQ(line.History().last(), QStringLiteral("viewer %P"));
}

TEST_F(CommandLineTest, OpenWithParametersRunsTheFocusedFileOrOpensAFolder)
{
    ScriptedAsk ask;
    ask.ExpectGetString(mrOk, QStringLiteral("/p !:"));
    line.OpenWithParameters(false);
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Open with parameters"));
    EXPECT_EQ(target.calls,
              QStringList{QStringLiteral("Run [report.final.txt] [/p %1]")
                              .arg(QString::fromUtf8(Native(QStringLiteral("C:\\"))))});

    target.calls.clear();
    ask.ExpectGetString(mrCancel);
    line.OpenWithParameters(false);
    line.OpenWithParameters(true);
    EXPECT_EQ(target.calls, QStringList{QStringLiteral("Open")});
}

using ExpandParamsTest = MachineTest;

// Paths reach other programs native: "!\\" and "!:" used to give
// "D:\\Data\\" and "D:", which no program here can open.
TEST_F(ExpandParamsTest, PlaceholdersInTheirOrder)
{
    MakeFolder(QStringLiteral("D:\\Data"));
    MakeFolder(QStringLiteral("C:\\x"));
    const TPanelNames names{QStringLiteral("D:\\Data"),
                            {QStringLiteral("one.txt"), QStringLiteral("two words.doc")},
                            QStringLiteral("archive.tar.gz")};
    const TPanelNames root{
        QStringLiteral("C:\\"), {QStringLiteral(".profile")}, QStringLiteral(".profile")};
    const TPanelNames odd{QStringLiteral("C:\\x"),
                          {QStringLiteral("100%pure!:.txt")},
                          QStringLiteral("100%pure!:.txt")};
    // A drive entry focused: its name is a path.
    const TPanelNames drive{QStringLiteral("C:\\x"), {}, QStringLiteral("D:\\")};
    const TPanelNames gone{QStringLiteral("C:\\Gone"), {}, QString()};
    struct Case {
        const TPanelNames &names;
        const char *text, *expanded; // <C> and <D>: the drives' native folders
        bool ask;
    };
    const Case cases[] = {
        {names, "!..!", "\"one.txt\" \"two words.doc\"", false},
        {names, "!:", "<D>", false},
        {names, "!.!", "archive.tar.gz", false},
        {names, "!\\", "<D>/Data/", false},
        {names, "!,", "archive.tar", false},
        {names, ",!", "gz", false},
        {names, "  -o !\\!,.zip !..! ", "-o <D>/Data/archive.tar.zip \"one.txt\" \"two words.doc\"",
         false},
        {names, "a,!:", "a,<D>", false}, // "!:" is replaced before ",!"
        {names, "x %p y %P", "x  y", true},
        {names, "plain", "plain", false},
        {root, "!\\!,|,!", "<C>/.profile|", false},
        // Names put in by a placeholder are not read as placeholders again.
        {odd, "!.! !..!", "100%pure!:.txt \"100%pure!:.txt\"", false},
        {drive, "!.!", "<D>", false},
        // A folder that went away cannot be converted: it stays as it was.
        {gone, "!\\", "C:\\Gone\\", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        bool ask = !c.ask;
        const QString expanded =
            QString::fromUtf8(c.expanded)
                .replace(QLatin1String("<C>"), QString::fromUtf8(Native(QStringLiteral("C:\\"))))
                .replace(QLatin1String("<D>"), QString::fromUtf8(Native(QStringLiteral("D:\\"))));
        EXPECT_EQ(ExpandParams(QString::fromUtf8(c.text), c.names, ask), expanded);
        EXPECT_EQ(ask, c.ask);
    }
}

// A program link's names used to be put into the text first and split
// after, so a name with a blank, a quote or ";" became several arguments.
TEST_F(ExpandParamsTest, ProgramLinkArgumentsKeepEachNameWhole)
{
    MakeFolder(QStringLiteral("D:\\Data"));
    const QString evil = QStringLiteral("a; touch X $(x) \"q");
    const TPanelNames names{QStringLiteral("D:\\Data"),
                            {evil, QStringLiteral("two words.doc")},
                            evil + QStringLiteral(".txt")};
    const QString data = QString::fromUtf8(Native(QStringLiteral("D:\\Data"))) + u'/';
    bool ask = true;
    EXPECT_EQ(
        ExpandArguments(QStringLiteral("-x !.! \"!\\!, copy\" !..! last"), names, ask),
        QStringList({"-x", evil + ".txt", data + evil + " copy", evil, "two words.doc", "last"}));
    EXPECT_FALSE(ask);
    EXPECT_EQ(ExpandArguments(QStringLiteral("[!..!]"), names, ask),
              QStringList({"[" + evil + " two words.doc]"}));
    // "%P" alone only asks; an empty quoted argument stays an argument.
    EXPECT_EQ(ExpandArguments(QStringLiteral("%P ,! \"\""), names, ask), QStringList({"txt", ""}));
    EXPECT_TRUE(ask);

    // The text offered for editing splits back into the same arguments.
    const QStringList tricky{evil, "", "say \"hi\"", "tab\there", "plain", "\"\""};
    EXPECT_EQ(SplitArguments(JoinArguments(tricky)), tricky);

    ScriptedAsk scripted;
    QStringList args;
    scripted.ExpectGetString(mrOk, QStringLiteral("-v \"my file\""));
    EXPECT_TRUE(ExpandArgumentList(nullptr, QStringLiteral("!.! %p"), names, args));
    EXPECT_EQ(scripted.asked.last().caption, QStringLiteral("Edit Param..."));
    EXPECT_EQ(args, QStringList({"-v", "my file"}));
    scripted.ExpectGetString(mrCancel);
    EXPECT_FALSE(ExpandArgumentList(nullptr, QStringLiteral("%P"), names, args));
}

TEST(SplitArguments, BlanksAndQuotes)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"", {}},
        {"  a  b ", {"a", "b"}},
        {"\"two words\" x", {"two words", "x"}},
        {"pre\"mid dle\"post", {"premid dlepost"}},
        {"\"\" x", {"", "x"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a \"unbalanced rest", {"a", "unbalanced rest"}},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SplitArguments(QString::fromUtf8(text)), expected);
    }
}

} // namespace
} // namespace kestrel::test
