#include "tools/attributes.h"

#include "ops/errors.h"
#include "platform/faults.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"
#include "text/strings.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel {
namespace {

using sys::FaultOp;

class Panel : public TFileListing {
public:
    void Open() override {}
    TFile *Entry(const QString &name) const
    {
        for (int i = 0; i < Files.Count(); ++i)
            if (Files[i]->GetFullName() == name)
                return Files[i];
        ADD_FAILURE() << "not listed: " << name.toStdString();
        return nullptr;
    }
    void SelectNames(const QStringList &names)
    {
        for (const QString &name : names)
            Select(Entry(name)->Index);
    }
};

constexpr sys::DWORD readOnly = sys::FILE_ATTRIBUTE_READONLY;
constexpr sys::DWORD hidden = sys::FILE_ATTRIBUTE_HIDDEN;
constexpr sys::DWORD archive = sys::FILE_ATTRIBUTE_ARCHIVE;

// Tests run with TZ=UTC, so local and UTC times agree.
qint64 UnixOf(const QString &date, const QString &time)
{
    sys::FILETIME ft;
    QString message;
    EXPECT_TRUE(ReadDateTime(date, time, ft, message)) << message.toStdString();
    sys::INT64 seconds = 0;
    long ns = 0;
    sys::FileTimeToUnix(ft, seconds, ns);
    return seconds;
}

TEST(DateTimeTextTest, TextsRoundTripAndDaysThatDoNotExistAreRefused)
{
    const sys::FILETIME ft = sys::UnixToFileTime(1019912700, 0); // 2002-04-27 13:05 UTC
    QString date, time;
    DateTimeTexts(ft, date, time);
    EXPECT_EQ(date, QStringLiteral("2002-04-27"));
    EXPECT_EQ(time, QStringLiteral("13:05"));
    EXPECT_EQ(UnixOf(date, time), 1019912700);
    EXPECT_EQ(UnixOf(QStringLiteral("2000-02-29"), QStringLiteral("23:59")), 951868740);
    // What is no number falls back: year 2000, month and day 1, hour and minute 0.
    EXPECT_EQ(UnixOf(QStringLiteral("abcd-xx-yy"), QStringLiteral("??:??")), 946684800);

    const struct {
        const char *date;
        const char *time;
        const char *message;
    } refused[] = {
        {"2002-13-01", "00:00", "There is no day 2002-13-01."},
        {"2002-00-10", "00:00", "There is no day 2002-00-10."},
        {"2002-01-39", "00:00", "There is no day 2002-01-39."},
        {"2002-02-30", "00:00", "There is no day 2002-02-30."},
        {"2001-02-29", "00:00", "There is no day 2001-02-29."},
        {"1600-12-31", "00:00", "There is no day 1600-12-31."},
        {"2002-01-01", "24:00", "There is no time 24:00."},
        {"2002-01-01", "12:60", "There is no time 12:60."},
    };
    for (const auto &row : refused) {
        sys::FILETIME out;
        QString message;
        EXPECT_FALSE(ReadDateTime(QString::fromLatin1(row.date), QString::fromLatin1(row.time), out,
                                  message))
            << row.date;
        EXPECT_EQ(message, QString::fromLatin1(row.message));
    }
}

class AttributesTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(Data(QStringLiteral("a.txt")), "a");
        MakeFile(Data(QStringLiteral("b.txt")), "b");
        MakeFile(Data(QStringLiteral("Sub\\top.txt")), "t");
        MakeFile(Data(QStringLiteral("Sub\\deep\\low.txt")), "l");
        MakeFile(QStringLiteral("C:\\Outside\\target.txt"), "o");
        ASSERT_TRUE(QFile::link(sys::DecodeName(Native(QStringLiteral("C:\\Outside"))),
                                sys::DecodeName(Native(Data(QStringLiteral("Sub\\away"))))));
        ASSERT_TRUE(QFile::link(sys::DecodeName(Native(QStringLiteral("C:\\Outside\\target.txt"))),
                                sys::DecodeName(Native(Data(QStringLiteral("Sub\\link.txt"))))));
        for (const char *name : {"C:\\Data\\a.txt", "C:\\Data\\b.txt", "C:\\Data\\Sub\\top.txt",
                                 "C:\\Data\\Sub\\deep\\low.txt", "C:\\Outside\\target.txt"})
            SetTime(QString::fromLatin1(name), 1000000000);
        panel.SetFolder(QStringLiteral("C:\\Data"));
    }

    static QString Data(const QString &name) { return QStringLiteral("C:\\Data\\") + name; }
    sys::DWORD Attributes(const QString &path) const { return sys::GetFileAttributes(path); }
    qint64 Time(const QString &path) const
    {
        return QFileInfo(sys::DecodeName(Native(path))).lastModified().toSecsSinceEpoch();
    }

    Panel panel;
    test::ScriptedAsk ask;
};

TEST_F(AttributesTest, EachEntryGetsExactlyTheTickedAttributes)
{
    panel.SelectNames({"a.txt", "b.txt"});
    ask.ExpectAttributesTime(mrOk, [](TAttribForm &form) { form.attributes = readOnly | hidden; });
    ask.ExpectAttributesTime(mrOk, [](TAttribForm &form) { form.attributes = 0; });
    EXPECT_TRUE(RunAttributesCommand(nullptr, panel));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[0].attrib.fileText, QStringLiteral("a.txt (1/2)"));
    EXPECT_EQ(ask.asked[0].attrib.attributes, archive);
    EXPECT_EQ(ask.asked[0].attrib.date, QStringLiteral("2001-09-09"));
    EXPECT_EQ(ask.asked[0].attrib.time, QStringLiteral("01:46"));
    EXPECT_EQ(ask.asked[1].attrib.fileText, QStringLiteral("b.txt (2/2)"));
    EXPECT_EQ(Attributes(Data(QStringLiteral("a.txt"))), readOnly | hidden);
    EXPECT_EQ(panel.Entry(QStringLiteral("a.txt"))->Attributes, readOnly | hidden);
    EXPECT_EQ(Attributes(Data(QStringLiteral("b.txt"))), sys::FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AttributesTest, AFolderWithRecurseKeepsItsOwnAndNeverLeavesItsTree)
{
    const sys::DWORD folderBefore = Attributes(Data(QStringLiteral("Sub")));
    const sys::DWORD outsideBefore = Attributes(QStringLiteral("C:\\Outside\\target.txt"));
    panel.SelectNames({"Sub"});
    ask.ExpectAttributesTime(mrOk, [](TAttribForm &form) {
        form.attributes = readOnly;
        form.recurse = true;
    });
    EXPECT_TRUE(RunAttributesCommand(nullptr, panel));
    EXPECT_EQ(Attributes(Data(QStringLiteral("Sub"))), folderBefore);
    EXPECT_EQ(Attributes(Data(QStringLiteral("Sub\\top.txt"))), readOnly);
    EXPECT_EQ(Attributes(Data(QStringLiteral("Sub\\deep\\low.txt"))), readOnly);
    EXPECT_EQ(Attributes(QStringLiteral("C:\\Outside\\target.txt")), outsideBefore);

    // Without Recurse the folder itself takes them.
    ask.ExpectAttributesTime(mrOk, [](TAttribForm &form) {
        form.attributes = hidden;
        form.recurse = false;
    });
    EXPECT_TRUE(RunAttributesCommand(nullptr, panel));
    EXPECT_EQ(Attributes(Data(QStringLiteral("Sub"))), hidden | sys::FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(AttributesTest, TimeModeSetsFilesAndWithRecurseTheFilesBelowAFolder)
{
    panel.SelectNames({"Sub", "a.txt"});
    ask.ExpectAttributesTime(mrAll, [](TAttribForm &form) {
        form.applyDateTime = true;
        form.date = QStringLiteral("2020-02-29");
        form.time = QStringLiteral("18:30");
        form.recurse = true;
        form.attributes = readOnly; // not applied in time mode
    });
    EXPECT_TRUE(RunAttributesCommand(nullptr, panel));
    const qint64 wanted = 1583001000;
    EXPECT_EQ(Time(Data(QStringLiteral("a.txt"))), wanted);
    EXPECT_EQ(Time(Data(QStringLiteral("Sub\\deep\\low.txt"))), wanted);
    EXPECT_EQ(Time(QStringLiteral("C:\\Outside\\target.txt")), 1000000000);
    EXPECT_EQ(Attributes(Data(QStringLiteral("a.txt"))), archive);
    EXPECT_EQ(ask.asked.size(), 1); // All: no dialog for the second
    sys::INT64 seconds = 0;
    long ns = 0;
    sys::FileTimeToUnix(panel.Entry(QStringLiteral("a.txt"))->Time, seconds, ns);
    EXPECT_EQ(seconds, wanted);
}

TEST_F(AttributesTest, ADayThatDoesNotExistIsRefusedAndAskedAgain)
{
    panel.SelectNames({"a.txt"});
    ask.ExpectAttributesTime(mrAll, [](TAttribForm &form) {
        form.applyDateTime = true;
        form.date = QStringLiteral("2002-02-30");
    });
    ask.ExpectMessageBox(mrOk);
    ask.ExpectAttributesTime(mrCancel);
    EXPECT_FALSE(RunAttributesCommand(nullptr, panel));
    EXPECT_EQ(ask.asked[1].text, QStringLiteral("There is no day 2002-02-30."));
    // The dialog comes again with what the user had chosen.
    EXPECT_TRUE(ask.asked[2].attrib.applyDateTime);
    EXPECT_EQ(Time(Data(QStringLiteral("a.txt"))), 1000000000);
}

TEST_F(AttributesTest, AFailureIsReportedOnceAndCanEndTheCommand)
{
    panel.SelectNames({"a.txt", "b.txt"});
    ask.ExpectAttributesTime(mrAll, [](TAttribForm &form) {
        form.applyDateTime = true;
        form.date = QStringLiteral("2010-01-01");
    });
    ask.ExpectMessageBox(mrNo);
    sys::InjectFault(FaultOp::Create, 1, sys::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(RunAttributesCommand(nullptr, panel));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[1].text, AboutObject(Data(QStringLiteral("a.txt")), GetErrorMessage(5)) +
                                     QStringLiteral("\n\n") + LoadStr(511));
    EXPECT_EQ(Time(Data(QStringLiteral("b.txt"))), 1000000000);
}

} // namespace
} // namespace kestrel
