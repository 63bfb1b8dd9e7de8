// The engine callback of TZip: each action's event, field and answer.

#include "archive/archivestrings.h"
#include "ops/conflicts.h"
#include "panel/file.h"
#include "tests/archive/zipfixture.h"

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

TZipCallbackRecord Record(int action, sys::INT64 fileSize = 0, int errorCode = 0,
                          const QString &text = {})
{
    TZipCallbackRecord r;
    r.action = action;
    r.fileSize = fileSize;
    r.errorCode = errorCode;
    r.text = text;
    return r;
}

class ZipCallback : public ::testing::Test {
protected:
    ScriptedAsk ask;
    TZip zip;
    QList<std::tuple<int, sys::INT64, QString>> reports;

    void SetUp() override
    {
        zip.OnProgress = [this](TArchive &, int kind, sys::INT64 amount, const QString &name) {
            reports.append({kind, amount, name});
        };
    }
};

TEST_F(ZipCallback, ProgressActionsBecomeProgressKinds)
{
    const struct {
        int action;
        int kind;
    } rows[] = {{zaNewFile, apkItem},
                {zaProgress, apkBytes},
                {zaEndOfBatch, apkEnd},
                {zaTotalFiles, apkItemCount},
                {zaTotalSize, apkByteTotal}};
    for (const auto &row : rows) {
        reports.clear();
        TZipCallbackRecord r = Record(row.action, 5000000000ll, 0, QStringLiteral("a/b.txt"));
        EXPECT_FALSE(zip.Callback(r));
        ASSERT_EQ(reports.size(), 1);
        EXPECT_EQ(std::get<0>(reports[0]), row.kind);
        EXPECT_EQ(std::get<1>(reports[0]), row.kind == apkEnd ? 0 : 5000000000ll);
        EXPECT_EQ(std::get<2>(reports[0]),
                  row.kind == apkItem ? QStringLiteral("a\\b.txt") : QString());
    }
    // While cancelled, progress is not reported; each action ends with an end report.
    zip.Cancel = true;
    reports.clear();
    TZipCallbackRecord r = Record(zaProgress, 10);
    EXPECT_TRUE(zip.Callback(r));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(std::get<0>(reports[0]), apkEnd);
}

TEST_F(ZipCallback, MessagesAndSimpleAnswers)
{
    TZipCallbackRecord message = Record(zaMessage, 0, 0x1FE, QStringLiteral("x/y: broken"));
    zip.Callback(message);
    EXPECT_EQ(zip.LastErrorId, -2); // the low byte, sign-extended
    EXPECT_EQ(zip.LastMessage, QStringLiteral("x\\y: broken"));
    TZipCallbackRecord none = Record(zaMessage, 0, 0, QStringLiteral("only information"));
    zip.Callback(none);
    EXPECT_EQ(zip.LastMessage, QStringLiteral("x\\y: broken"));

    TZipCallbackRecord rename = Record(zaNewName, 0, 7);
    zip.Callback(rename);
    EXPECT_EQ(rename.errorCode, 0);
    TZipCallbackRecord crc = Record(zaCrcError);
    zip.Callback(crc);
    EXPECT_EQ(crc.errorCode, 2);
}

TEST_F(ZipCallback, PasswordRequests)
{
    // The first request of an item takes the password given, without asking.
    zip.Password = QStringLiteral("given");
    TZipCallbackRecord first = Record(zaPassword, zip.PasswordRetries + 1);
    EXPECT_FALSE(zip.Callback(first));
    EXPECT_EQ(first.errorCode, 1);
    EXPECT_EQ(first.text, QStringLiteral("given"));
    EXPECT_TRUE(ask.asked.isEmpty());

    // Later requests ask; the answer becomes the password.
    ask.ExpectGetString(mrOk, QStringLiteral("typed"));
    TZipCallbackRecord later = Record(zaPassword, 3);
    EXPECT_FALSE(zip.Callback(later));
    EXPECT_EQ(later.text, QStringLiteral("typed"));
    EXPECT_EQ(zip.Password, QStringLiteral("typed"));

    // The last request gives up: no answer, and the operation stops.
    TZipCallbackRecord last = Record(zaPassword, 1);
    EXPECT_TRUE(zip.Callback(last));
    EXPECT_EQ(last.errorCode, 0);
    EXPECT_TRUE(zip.Cancel);
    zip.Cancel = false;

    // Confirmed twice; two different answers are refused.
    ask.ExpectGetString(mrOk, QStringLiteral("one"));
    ask.ExpectGetString(mrOk, QStringLiteral("two"));
    ask.ExpectMessageBox(mrOk);
    TZipCallbackRecord confirm = Record(zaPassword, 3, 1);
    EXPECT_TRUE(zip.Callback(confirm));
    EXPECT_EQ(confirm.errorCode, 0);
    EXPECT_EQ(ask.asked.last().text, ArchiveStr(10104));
    EXPECT_EQ(zip.LastErrorId, 10104);
    zip.Cancel = false;

    ask.ExpectGetString(mrOk, QStringLiteral("same"));
    ask.ExpectGetString(mrOk, QStringLiteral("same"));
    TZipCallbackRecord agreed = Record(zaPassword, 3, 1);
    EXPECT_FALSE(zip.Callback(agreed));
    EXPECT_EQ(agreed.text, QStringLiteral("same"));
}

TEST_F(ZipCallback, FileExistsKeepsAnAnswerForAll)
{
    QList<int> modesSeen;
    QString targetSeen;
    TFile itemSeen;
    int answer = feOverwrite | feAll;
    zip.OnFileExists = [&](TArchive &, const TFile &item, int &mode, QString &target) {
        modesSeen << mode;
        targetSeen = target;
        itemSeen = item;
        if (!(mode & feAll))
            mode = answer;
    };
    TZipCallbackRecord r = Record(zaFileExists, 1234, 0, QStringLiteral("C:/out/sub/file.txt"));
    EXPECT_FALSE(zip.Callback(r));
    EXPECT_NE(r.fileSize, 0);
    EXPECT_EQ(targetSeen, QStringLiteral("C:\\out\\sub\\file.txt"));
    EXPECT_EQ(itemSeen.GetFullName(), QStringLiteral("file.txt"));
    EXPECT_EQ(itemSeen.Size, 1234u);
    TZipCallbackRecord again = Record(zaFileExists, 1, 0, QStringLiteral("C:/out/other"));
    zip.Callback(again);
    EXPECT_EQ(modesSeen, (QList<int>{0, feOverwrite | feAll}));

    // A single answer is not kept; a cancel stops.
    zip.OverwriteMode = feSkip;
    answer = feCancel;
    TZipCallbackRecord cancel = Record(zaFileExists, 1, 0, QStringLiteral("C:/out/x"));
    EXPECT_TRUE(zip.Callback(cancel));
    EXPECT_EQ(modesSeen.last(), 0);
    EXPECT_EQ(cancel.fileSize, 0);

    // Nobody to ask: the existing file stays.
    TZip quiet;
    TZipCallbackRecord kept = Record(zaFileExists, 1, 0, QStringLiteral("C:/x"));
    EXPECT_FALSE(quiet.Callback(kept));
    EXPECT_EQ(kept.fileSize, 0);
}

} // namespace
} // namespace kestrel::test
