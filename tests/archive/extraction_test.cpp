// The extract command and the archive open in a panel: progress window,
// questions, the answer kept across archives, folders per archive, walking
// an archive, and files opened from it.

#include "archive/archivestrings.h"
#include "archive/browser.h"
#include "archive/extraction.h"
#include "archive/privatetemp.h"
#include "ops/conflicts.h"
#include "panel/file.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "tests/archive/zipfixture.h"
#include "tests/support/progressrecorder.h"

#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace kestrel::test {
namespace {

class Extraction : public ArchiveTest {
protected:
    void MakeArchive(const QString &path)
    {
        WriteLibZip(Native(path), {{QStringLiteral("doc/a.txt"), "aaaa"},
                                   {QStringLiteral("doc/deep/b.txt"), Pattern(70000, 9)},
                                   {QStringLiteral("top.txt"), "top"}});
    }
    ProgressRecorder progress;
};

// A handler that only reports what the extraction's events answer.
class TVolumes : public TArchive {
public:
    QList<int> results;
    void Extract(const QString &) override
    {
        for (const int start : {0, 0, 1}) {
            int result = start;
            OnChangeVolume(*this, QStringLiteral("set.r01"), result);
            results << result;
        }
    }
};

TEST_F(Extraction, ProgressWindowShowsItemsAndBytes)
{
    MakeArchive(QStringLiteral("C:\\a.zip"));
    TArchiveExtraction extraction(nullptr);
    EXPECT_TRUE(
        extraction.ExtractArchive(QStringLiteral("C:\\a.zip"), QStringLiteral("C:\\out"), {}));
    const CopyRecorder &w = progress.copying;
    EXPECT_EQ(w.opened, 1);
    EXPECT_EQ(w.closed, 1);
    EXPECT_EQ(w.caption, ArchiveStr(526));
    EXPECT_TRUE(w.byteMode);
    EXPECT_EQ(w.totalCount, 3);
    EXPECT_EQ(w.maxValue, 70007u);
    EXPECT_EQ(w.progress, 70007u);
    EXPECT_EQ(w.started, 3);
    EXPECT_EQ(w.fileNames, (QStringList{QStringLiteral("doc\\a.txt (4 bytes)"),
                                        QStringLiteral("doc\\deep\\b.txt (70,000 bytes)"),
                                        QStringLiteral("top.txt (3 bytes)")}));
    // No handler for a file that is no archive.
    EXPECT_FALSE(
        extraction.ExtractArchive(QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\out"), {}));
}

TEST_F(Extraction, CancelInTheWindowStops)
{
    MakeArchive(QStringLiteral("C:\\a.zip"));
    progress.copying.cancelAtFile = QStringLiteral("doc\\deep");
    TArchiveExtraction extraction(nullptr);
    extraction.ExtractArchive(QStringLiteral("C:\\a.zip"), QStringLiteral("C:\\out"), {});
    EXPECT_TRUE(Exists(QStringLiteral("C:\\out\\doc\\a.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\doc\\deep\\b.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\out\\top.txt")));
    EXPECT_EQ(progress.copying.closed, 1);
}

TEST_F(Extraction, AnswerForAllHoldsAcrossArchives)
{
    for (const char *n : {"one", "two", "three"}) {
        MakeArchive(QStringLiteral("C:\\%1.zip").arg(QLatin1String(n)));
        MakeFile(QStringLiteral("C:\\out\\top.txt"), "old");
    }
    ask.ExpectFileExists(mrYes, true);
    TArchiveExtraction extraction(nullptr);
    extraction.ExtractFiles({QStringLiteral("C:\\one.zip"), QStringLiteral("C:\\two.zip"),
                             QStringLiteral("C:\\three.zip")},
                            QStringLiteral("C:\\out"), false);
    // Asked in the first archive only.
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].kind, QuestionKind::FileExists);
    EXPECT_FALSE(ask.asked[0].fileExists.canRename);
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\top.txt")), QByteArray("top"));
    EXPECT_EQ(extraction.KeptMode(), feOverwrite | feAll);

    // An answer given in advance asks nothing at all.
    MakeFile(QStringLiteral("C:\\out\\top.txt"), "old");
    TArchiveExtraction preset(nullptr);
    preset.SetKeptMode(feSkip | feAll);
    preset.ExtractArchive(QStringLiteral("C:\\one.zip"), QStringLiteral("C:\\out"), {});
    EXPECT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(Contents(QStringLiteral("C:\\out\\top.txt")), QByteArray("old"));
}

TEST_F(Extraction, ToFoldersMakesOneFolderPerArchive)
{
    for (const char *n : {"one", "two", "three"})
        MakeArchive(QStringLiteral("C:\\in\\%1.zip").arg(QLatin1String(n)));
    MakeFile(QStringLiteral("C:\\in\\notes.txt"), "not an archive");
    TArchiveExtraction extraction(nullptr);
    extraction.ExtractFiles({QStringLiteral("C:\\in\\one.zip"), QStringLiteral("C:\\in\\notes.txt"),
                             QStringLiteral("C:\\in\\two.zip"),
                             QStringLiteral("C:\\in\\three.zip")},
                            QString(), true);
    for (const char *n : {"one", "two", "three"})
        EXPECT_EQ(Contents(QStringLiteral("C:\\in\\%1\\doc\\a.txt").arg(QLatin1String(n))),
                  QByteArray("aaaa"));
    EXPECT_FALSE(Exists(QStringLiteral("C:\\in\\notes")));
}

TEST_F(Extraction, VolumeQuestion)
{
    TVolumes volumes;
    ask.ExpectMessageBox(mrYes);
    ask.ExpectMessageBox(mrNo);
    TArchiveExtraction extraction(nullptr);
    extraction.ExtractWith(volumes, QStringLiteral("C:\\out"), {});
    EXPECT_EQ(volumes.results, (QList<int>{1, 0, 1}));
    ASSERT_EQ(ask.asked.size(), 2);
    EXPECT_EQ(ask.asked[0].text,
              QStringLiteral(
                  "set.r01\nPlease insert the disk include this file and click \"OK\" button"));
    EXPECT_EQ(ask.asked[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(ask.asked[0].flags & 0x0F, unsigned(MB_YESNO));
}

TEST_F(Extraction, ExtractToCaption)
{
    EXPECT_EQ(ExtractToCaption(QStringLiteral("backup.2024.zip"), 0),
              QStringLiteral("Extract to \"backup.2024\""));
    EXPECT_EQ(ExtractToCaption(QStringLiteral("backup.zip"), 3),
              QStringLiteral("Extract to folders"));
    EXPECT_EQ(ExtractToCaption(QStringLiteral("src.tar.gz"), 0),
              QStringLiteral("Extract to \"src\""));
    // A drive or ".." focused used to give empty quotes.
    EXPECT_EQ(ExtractToCaption(QString(), 0), QStringLiteral("Extract to"));
}

QStringList Names(const TFiles &files)
{
    QStringList names;
    for (int i = 0; i < files.Count(); ++i)
        names << files[i]->GetFullName();
    return names;
}

TEST_F(Extraction, BrowsingAnArchive)
{
    MakeArchive(QStringLiteral("C:\\in\\a.zip"));
    TArchiveBrowser browser(nullptr);
    EXPECT_FALSE(browser.Open(QStringLiteral("C:\\in\\a.txt")));
    EXPECT_FALSE(browser.IsOpen());
    ASSERT_TRUE(browser.Open(QStringLiteral("C:\\in\\a.zip")));
    EXPECT_EQ(browser.PanelPath(), QStringLiteral("C:\\in\\a.zip"));
    EXPECT_EQ(browser.ArchivePath(), QStringLiteral("C:\\in\\a.zip"));
    TFiles root;
    browser.Fill(root);
    EXPECT_EQ(Names(root), (QStringList{QStringLiteral(".."), QStringLiteral("doc"),
                                        QStringLiteral("top.txt")}));
    // ".." used to show the year 1601; it carries the archive file's time.
    SetTime(QStringLiteral("C:\\in\\a.zip"), 1700000000);
    ASSERT_TRUE(browser.Open(QStringLiteral("C:\\in\\a.zip")));
    TFiles again;
    browser.Fill(again);
    EXPECT_EQ(sys::FileTimeToQDateTime(again[0]->Time),
              QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC));
    EXPECT_EQ(browser.ActionFor(*root[0]), TArchiveBrowser::eaClose);
    EXPECT_EQ(browser.ActionFor(*root[1]), TArchiveBrowser::eaFolder);
    EXPECT_EQ(browser.ActionFor(*root[2]), TArchiveBrowser::eaFile);

    QString focus = QStringLiteral("unchanged");
    EXPECT_FALSE(browser.ChangeFolder(QStringLiteral("nothing"), focus));
    EXPECT_EQ(focus, QStringLiteral("unchanged"));
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral("doc"), focus));
    EXPECT_EQ(focus, QString());
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral("deep"), focus));
    EXPECT_EQ(browser.PanelPath(), QStringLiteral("C:\\in\\a.zip\\doc\\deep"));
    TFiles deep;
    browser.Fill(deep);
    EXPECT_EQ(Names(deep), (QStringList{QStringLiteral(".."), QStringLiteral("b.txt")}));
    EXPECT_EQ(browser.ActionFor(*deep[0]), TArchiveBrowser::eaFolder);
    EXPECT_EQ(browser.ItemPath(QStringLiteral("b.txt")), QStringLiteral("doc\\deep\\b.txt"));
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral(".."), focus));
    EXPECT_EQ(focus, QStringLiteral("deep"));
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral("deep"), focus));
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral("\\"), focus));
    EXPECT_EQ(focus, QStringLiteral("doc"));
    EXPECT_EQ(browser.Close(), QStringLiteral("a.zip"));
    EXPECT_FALSE(browser.IsOpen());
}

TEST_F(Extraction, OpenedFilesGoToAPrivateFolderRemovedAtTheEnd)
{
    MakeArchive(QStringLiteral("C:\\a.zip"));
    const QByteArray temp = Native(QStringLiteral("C:\\tmp"));
    MakeFolder(QStringLiteral("C:\\tmp"));
    qputenv("TMPDIR", temp);
    TPrivateTempFolder &folder = TPrivateTempFolder::Instance();
    folder.Remove();
    TArchiveBrowser browser(nullptr);
    ASSERT_TRUE(browser.Open(QStringLiteral("C:\\a.zip")));
    QString focus;
    ASSERT_TRUE(browser.ChangeFolder(QStringLiteral("doc"), focus));
    TArchiveExtraction extraction(nullptr);
    // Opened twice: each copy in a folder of its own, no question.
    const QString first = browser.ExtractForOpening(QStringLiteral("a.txt"), extraction);
    const QString second = browser.ExtractForOpening(QStringLiteral("a.txt"), extraction);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.endsWith(QLatin1String("\\doc\\a.txt")));
    const QFileInfo shared(
        QString::fromUtf8(temp) + QStringLiteral("/") +
        QDir(QString::fromUtf8(temp)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0));
    EXPECT_TRUE(shared.fileName().startsWith(QLatin1String("kestrel-")));
    EXPECT_EQ(shared.permissions() &
                  (QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                   QFileDevice::ExeOther | QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_EQ(Contents(second), QByteArray("aaaa"));
    EXPECT_EQ(browser.ExtractForOpening(QStringLiteral("missing.txt"), extraction), QString());
    sys::SetFileAttributes(first, sys::FILE_ATTRIBUTE_READONLY);
    folder.Remove();
    qunsetenv("TMPDIR");
    EXPECT_TRUE(QDir(QString::fromUtf8(temp)).isEmpty());
}

} // namespace
} // namespace kestrel::test
