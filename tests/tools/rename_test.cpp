#include "tools/batchrename.h"
#include "tools/charcase.h"
#include "tools/renamecommand.h"

#include "ops/errors.h"
#include "platform/faults.h"
#include "platform/names.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"
#include "text/strings.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace kestrel {
namespace {

using sys::FaultOp;

class Panel : public TFileListing {
public:
    void Open() override {}
    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < Files.Count(); ++i)
            if (!Files[i]->IsParent() && Files[i]->Kind() != fkDrive)
                names << Files[i]->GetFullName();
        return names;
    }
    // Names as spelt: a.txt and A.TXT may both be there.
    int Find(const QString &name) const
    {
        for (int i = 0; i < Files.Count(); ++i)
            if (Files[i]->GetFullName() == name)
                return i;
        ADD_FAILURE() << "not listed: " << name.toStdString();
        return -1;
    }
    void SelectNames(const QStringList &names)
    {
        for (const QString &name : names)
            Select(Find(name));
    }
    void FocusName(const QString &name) { FocusedIndex = Find(name); }
};

class RenameTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Data"));
    }

    // Files of the given names, each holding its own name, and the panel on them.
    void Make(const QStringList &names)
    {
        for (const QString &name : names)
            MakeFile(QStringLiteral("C:\\Data\\") + name, name.toUtf8());
        panel.SetFolder(QStringLiteral("C:\\Data"));
    }

    // What each file on disk holds, by name: who went where.
    QStringList Disk() const
    {
        QStringList out;
        const QDir dir(sys::DecodeName(Native(QStringLiteral("C:\\Data"))));
        for (const QString &name :
             dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            QFile f(dir.filePath(name));
            out << (f.open(QIODevice::ReadOnly) ? name + QLatin1Char('=') + f.readAll()
                                                : name + QLatin1Char('/'));
        }
        // By code point: a.txt and A.TXT are two names.
        std::sort(out.begin(), out.end());
        return out;
    }

    QString Data(const QString &name) const { return QStringLiteral("C:\\Data\\") + name; }

    Panel panel;
    test::ScriptedAsk ask;
};

TEST_F(RenameTest, RunProblemsAreFoundBeforeAnythingIsRenamed)
{
    const QStringList sources = {"a", "b", "c", "d", "e"};
    const QStringList results = {"a", "B", "x", "X", "taken"};
    const auto outside = [](const QString &name) { return name == QLatin1String("taken"); };
    const QStringList problems = RunProblems(sources, results, 0, outside);
    EXPECT_EQ(problems[0], QString());
    // A change of case only is no clash with itself.
    EXPECT_EQ(problems[1], QString());
    EXPECT_EQ(problems[2], QStringLiteral("d would have this name too."));
    EXPECT_EQ(problems[3], QStringLiteral("c would have this name too."));
    EXPECT_EQ(problems[4], QStringLiteral("Another file already has this name."));

    // An entry that keeps its name holds it against the others.
    EXPECT_EQ(RunProblems({"a", "b"}, {"a", "A"}, 0, {})[1],
              QStringLiteral("a would have this name too."));
    for (const char *bad : {"", "  ", ".", "..", "a\\b", "a/b", "c:x", "tab\there"})
        EXPECT_FALSE(RunProblems({"a"}, {QString::fromLatin1(bad)}, 0, {})[0].isEmpty()) << bad;
    EXPECT_FALSE(NameProblem(QString(256, QLatin1Char('n'))).isEmpty());
    EXPECT_TRUE(NameProblem(QStringLiteral("a=b ü.txt")).isEmpty());
}

TEST_F(RenameTest, SwapsAndShiftsGoThroughTemporaryNames)
{
    Make({"a", "b", "file1", "file2", "file3"});
    QList<bool> renamed;
    ASSERT_TRUE(RenameRun(QStringLiteral("C:\\Data"), {"a", "b", "file1", "file2", "file3"},
                          {"b", "a", "file2", "file3", "file4"}, 0, renamed)
                    .Done());
    EXPECT_EQ(renamed, (QList<bool>{true, true, true, true, true}));
    EXPECT_EQ(Disk(), (QStringList{"a=b", "b=a", "file2=file1", "file3=file2", "file4=file3"}));

    // A change of case alone, and entries before the start left alone.
    ASSERT_TRUE(RenameRun(QStringLiteral("C:\\Data"), {"a", "b"}, {"zzz", "B"}, 1, renamed).Done());
    EXPECT_EQ(renamed, (QList<bool>{false, true}));
    EXPECT_EQ(Disk(), (QStringList{"B=a", "a=b", "file2=file1", "file3=file2", "file4=file3"}));
}

TEST_F(RenameTest, AFailureMidwayPutsParkedEntriesBack)
{
    Make({"a", "b", "c"});
    // Renames: a and b park, then a takes "b"; c to "d" fails.
    sys::InjectFault(FaultOp::Rename, 4, sys::ERROR_ACCESS_DENIED);
    QList<bool> renamed;
    const TToolResult result =
        RenameRun(QStringLiteral("C:\\Data"), {"a", "b", "c"}, {"b", "a", "d"}, 0, renamed);
    EXPECT_EQ(result.code, 5);
    EXPECT_EQ(result.object, Data(QStringLiteral("b")));
    EXPECT_EQ(renamed, (QList<bool>{true, false, false}));
    // b could not go back to its old name, which a now has: it says where it is.
    ASSERT_EQ(Disk().size(), 3);
    EXPECT_TRUE(Disk().contains(QStringLiteral("b=a")));
    EXPECT_TRUE(Disk().contains(QStringLiteral("c=c")));
    EXPECT_TRUE(result.text.contains(QStringLiteral("b is now ~kst"))) << result.text.toStdString();
    EXPECT_TRUE(result.text.startsWith(GetErrorMessage(5)));
}

TEST_F(RenameTest, OneByOneTheExtensionStaysUnlessChangeExtensionIsTicked)
{
    Make({"report.txt", "notes.txt", "keep.txt"});
    panel.SelectNames({"report.txt", "notes.txt", "keep.txt"});
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) {
        form.text = QStringLiteral("final");
        form.changeExtension = false;
    });
    // The box stays as it was left.
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) { form.text = QStringLiteral("memo"); });
    ask.ExpectRenameEntry(mrCancel);
    const QList<TRenamed> renamed = RunRenameCommand(nullptr, panel);
    ASSERT_EQ(ask.asked.size(), 3);
    EXPECT_EQ(ask.asked[0].rename.text, QStringLiteral("keep.txt"));
    EXPECT_EQ(ask.asked[0].rename.index, 0);
    EXPECT_EQ(ask.asked[0].rename.advanced.sources,
              (QStringList{"keep.txt", "notes.txt", "report.txt"}));
    EXPECT_TRUE(ask.asked[0].rename.changeExtension);
    EXPECT_FALSE(ask.asked[1].rename.changeExtension);
    EXPECT_EQ(Disk(),
              (QStringList{"final.txt=keep.txt", "memo.txt=notes.txt", "report.txt=report.txt"}));
    ASSERT_EQ(renamed.size(), 2);
    EXPECT_EQ(renamed[1].oldName, QStringLiteral("notes.txt"));
    EXPECT_EQ(renamed[1].newName, QStringLiteral("memo.txt"));
    EXPECT_EQ(panel.Names(), (QStringList{"final.txt", "memo.txt", "report.txt"}));
}

TEST_F(RenameTest, AFoundEntryIsRenamedInItsOwnFolder)
{
    MakeFile(Data(QStringLiteral("One\\a.txt")), "one a");
    MakeFile(Data(QStringLiteral("Two\\a.txt")), "two a");
    MakeFile(Data(QStringLiteral("One\\b.txt")), "one b");
    ASSERT_TRUE(panel.ShowFound(QStringLiteral("C:\\Data"),
                                {QStringLiteral("One\\a.txt"), QStringLiteral("Two\\a.txt"),
                                 QStringLiteral("One\\b.txt")}));
    panel.SelectNames({"Two\\a.txt", "One\\b.txt"});
    // The box shows the entry's own name; the new one stays in its folder.
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) {
        form.text = QStringLiteral("c");
        form.changeExtension = false;
    });
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) {
        form.text = QStringLiteral("z");
        form.changeExtension = false;
    });
    const QList<TRenamed> renamed = RunRenameCommand(nullptr, panel);
    ASSERT_EQ(ask.asked.size(), 2);
    QStringList shown = {ask.asked[0].rename.text, ask.asked[1].rename.text};
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"a.txt", "b.txt"}));
    // Whichever came first, each went where it lay.
    const bool oneFirst = ask.asked[0].rename.text == QLatin1String("b.txt");
    const QString oneName = oneFirst ? QStringLiteral("c.txt") : QStringLiteral("z.txt");
    const QString twoName = oneFirst ? QStringLiteral("z.txt") : QStringLiteral("c.txt");
    EXPECT_EQ(Contents(Data(QStringLiteral("One\\") + oneName)), "one b");
    EXPECT_EQ(Contents(Data(QStringLiteral("Two\\") + twoName)), "two a");
    EXPECT_FALSE(Exists(Data(QStringLiteral("One\\b.txt"))));
    EXPECT_FALSE(Exists(Data(QStringLiteral("Two\\a.txt"))));
    EXPECT_TRUE(Exists(Data(QStringLiteral("One\\a.txt"))));
    ASSERT_EQ(renamed.size(), 2);
    EXPECT_TRUE(renamed[0].newName.startsWith(oneFirst ? QLatin1String("One\\")
                                                       : QLatin1String("Two\\")));
    // The entries keep the way to their folder.
    QStringList names = panel.Names();
    names.sort();
    EXPECT_EQ(names, (QStringList{"One\\a.txt", "One\\" + oneName, "Two\\" + twoName}));
    panel.Refresh(QString(), true);
    names = panel.Names();
    names.sort();
    EXPECT_EQ(names, (QStringList{"One\\a.txt", "One\\" + oneName, "Two\\" + twoName}));
}

TEST_F(RenameTest, AFailedOrRefusedNameAsksAgainFromTheCurrentName)
{
    Make({"a.txt", "b.txt"});
    MakeFolder(Data(QStringLiteral("Sub")));
    panel.SetFolder(QStringLiteral("C:\\Data"));
    panel.FocusName(QStringLiteral("a.txt"));
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) { form.text = QStringLiteral("B.TXT"); });
    ask.ExpectMessageBox(mrOk); // already exists
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) { form.text = QStringLiteral("..\\x"); });
    ask.ExpectMessageBox(mrOk); // no such name
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) { form.text = QStringLiteral("c.txt"); });
    const QList<TRenamed> renamed = RunRenameCommand(nullptr, panel);
    ASSERT_EQ(ask.asked.size(), 5);
    EXPECT_EQ(ask.asked[1].text, AboutObject(Data(QStringLiteral("a.txt")), GetErrorMessage(183)));
    EXPECT_EQ(ask.asked[2].rename.text, QStringLiteral("a.txt"));
    EXPECT_TRUE(ask.asked[3].text.startsWith(QStringLiteral("..\\x\n\nA name cannot hold")));
    EXPECT_EQ(Disk(), (QStringList{"Sub/", "b.txt=b.txt", "c.txt=a.txt"}));
    ASSERT_EQ(renamed.size(), 1);
    EXPECT_FALSE(renamed[0].folder);
}

TEST_F(RenameTest, AdvancedAtTheSecondEntryRenamesTheRestAtOnce)
{
    MakeFolder(Data(QStringLiteral("0dir")));
    Make({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"});
    // Folders come first: 0dir, then 1.txt to 5.txt.
    panel.SelectNames({"0dir", "1.txt", "2.txt", "3.txt", "4.txt", "5.txt"});
    ask.ExpectRenameEntry(mrOk, [](TRenameForm &form) { form.text = QStringLiteral("zero"); });
    // Shifts every later name by one inside the run: 1 to 2, 2 to 3, ...
    ask.ExpectRenameEntry(mrAll, [](TRenameForm &form) {
        for (int i = form.advanced.start; i < form.advanced.sources.size(); ++i)
            form.advanced.results[i] = QString::number(i + 1) + QStringLiteral(".txt");
    });
    const QList<TRenamed> renamed = RunRenameCommand(nullptr, panel);
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[1].rename.advanced.start, 1);
    EXPECT_EQ(ask.asked[1].rename.advanced.sources[0], QStringLiteral("zero"));
    EXPECT_EQ(Disk(), (QStringList{"2.txt=1.txt", "3.txt=2.txt", "4.txt=3.txt", "5.txt=4.txt",
                                   "6.txt=5.txt", "zero/"}));
    ASSERT_EQ(renamed.size(), 6);
    EXPECT_TRUE(renamed[0].folder);
    EXPECT_EQ(renamed[0].oldName, QStringLiteral("0dir"));
    EXPECT_FALSE(renamed[5].folder);
    EXPECT_EQ(renamed[5].newName, QStringLiteral("6.txt"));
    EXPECT_EQ(panel.Names(), (QStringList{"zero", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt"}));
}

TEST_F(RenameTest, AnAdvancedNameTakenOutsideTheRunRenamesNothing)
{
    Make({"a.txt", "b.txt", "other.log"});
    panel.SelectNames({"a.txt", "b.txt"});
    ask.ExpectRenameEntry(mrAll, [](TRenameForm &form) {
        EXPECT_TRUE(form.advanced.takenOutside(QStringLiteral("OTHER.LOG")));
        EXPECT_FALSE(form.advanced.takenOutside(QStringLiteral("b.txt")));
        form.advanced.results = {QStringLiteral("a.log"), QStringLiteral("other.log")};
    });
    ask.ExpectMessageBox(mrOk);
    EXPECT_TRUE(RunRenameCommand(nullptr, panel).isEmpty());
    EXPECT_EQ(ask.asked[1].text,
              QStringLiteral("Nothing was renamed:\n\nb.txt -> other.log: Another file already "
                             "has this name."));
    EXPECT_EQ(Disk(), (QStringList{"a.txt=a.txt", "b.txt=b.txt", "other.log=other.log"}));
}

TEST_F(RenameTest, AFailureInTheRuleRunStopsTheRest)
{
    Make({"a", "b", "c"});
    panel.SelectNames({"a", "b", "c"});
    ask.ExpectRenameEntry(mrAll, [](TRenameForm &form) {
        form.advanced.results = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    });
    ask.ExpectMessageBox(mrOk);
    sys::InjectFault(FaultOp::Rename, 2, sys::ERROR_ACCESS_DENIED);
    const QList<TRenamed> renamed = RunRenameCommand(nullptr, panel);
    ASSERT_EQ(renamed.size(), 1);
    EXPECT_EQ(ask.asked[1].text, AboutObject(Data(QStringLiteral("b")), GetErrorMessage(5)));
    EXPECT_EQ(Disk(), (QStringList{"b=b", "c=c", "x=a"}));
}

TEST_F(RenameTest, CaseChangesOnlyAsciiLettersAndDirectEntriesOfAFolder)
{
    EXPECT_EQ(ConvertCase(QStringLiteral("Straße Ä.txt"), true), QStringLiteral("STRAßE Ä.TXT"));
    EXPECT_EQ(ConvertCase(QStringLiteral("MiXeD.TxT"), false), QStringLiteral("mixed.txt"));

    MakeFile(Data(QStringLiteral("docs\\read me.txt")), "r");
    MakeFile(Data(QStringLiteral("docs\\sub\\deep.txt")), "d");
    Make({"file.txt"});
    panel.SelectNames({"docs", "file.txt"});
    ask.ExpectCharCase(mrYes, true);
    EXPECT_TRUE(RunCharCaseCommand(nullptr, panel, true));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Uppercase Filename"));
    EXPECT_EQ(Disk(), (QStringList{"DOCS/", "FILE.TXT=file.txt"}));
    const QDir docs(sys::DecodeName(Native(Data(QStringLiteral("DOCS")))));
    EXPECT_EQ(docs.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"READ ME.TXT", "SUB"}));
    EXPECT_TRUE(QFileInfo::exists(docs.filePath(QStringLiteral("SUB/deep.txt"))));
    EXPECT_EQ(panel.Names(), (QStringList{"DOCS", "FILE.TXT"}));
    EXPECT_EQ(panel.SelCount, 0);
    EXPECT_TRUE(panel.IsConsistent());
}

TEST_F(RenameTest, CaseNeverReplacesAnotherFileOfTheOtherCase)
{
    Make({"a.txt", "A.TXT", "b.txt"});
    panel.SelectNames({"a.txt", "b.txt"});
    ask.ExpectCharCase(mrYes);
    ask.ExpectMessageBox(mrYes); // go on with the rest
    EXPECT_TRUE(RunCharCaseCommand(nullptr, panel, true));
    EXPECT_EQ(ask.asked[1].text, AboutObject(Data(QStringLiteral("a.txt")), GetErrorMessage(183)) +
                                     QStringLiteral("\n\n") + LoadStr(511));
    EXPECT_EQ(Disk(), (QStringList{"A.TXT=A.TXT", "B.TXT=b.txt", "a.txt=a.txt"}));

    // No stops the command at once.
    Make({"c.txt"});
    panel.SetFolder(QStringLiteral("C:\\Data"));
    panel.SelectNames({"a.txt", "c.txt"});
    ask.ExpectCharCase(mrYes);
    ask.ExpectMessageBox(mrNo);
    EXPECT_FALSE(RunCharCaseCommand(nullptr, panel, true));
    EXPECT_TRUE(Exists(Data(QStringLiteral("c.txt"))));
}

} // namespace
} // namespace kestrel
