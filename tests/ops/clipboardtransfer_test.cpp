#include "ops/clipboardformats.h"
#include "ops/clipboardtransfer.h"
#include "panel/kfileview.h"
#include "platform/shelllink.h"
#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

namespace kestrel::test {
namespace {

QByteArray Dword(std::uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

// The clipboard through the real QClipboard: what Kestrel pastes and what
// it leaves there for other programs.
class ClipboardTransferTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        QGuiApplication::clipboard()->clear();
        MachineTest::TearDown();
    }

    QByteArray Uri(const QString &winPath) const
    {
        return QUrl::fromLocalFile(QString::fromUtf8(Native(winPath))).toEncoded();
    }
    // Puts formats on the clipboard as another program would.
    static void Offer(const QList<std::pair<const char *, QByteArray>> &formats)
    {
        auto *data = new QMimeData;
        for (const auto &[format, bytes] : formats)
            data->setData(QString::fromLatin1(format), bytes);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    static QByteArray Held(const char *format)
    {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        return data ? data->data(QString::fromLatin1(format)) : QByteArray();
    }
    static void Open(TKFileView &view, const QString &folder)
    {
        view.resize(600, 300);
        view.show(); // lays the panel out
        view.SetFolder(folder);
    }
    static bool Listed(const TKFileView &view, const QString &name)
    {
        return view.Files.IndexOf(name) >= 0;
    }

    ProgressRecorder progress;
};

TEST_F(ClipboardTransferTest, PastesWhatOtherFileManagersPut)
{
    enum Convention { Gnome, Kde, Windows };
    struct Case {
        const char *who;
        Convention convention;
        bool cut;
    };
    using F = QList<std::pair<const char *, QByteArray>>;
    const Case cases[] = {
        {"gnome copy", Gnome, false},     {"gnome cut", Gnome, true},
        {"kde copy", Kde, false},         {"kde cut", Kde, true},
        {"windows copy", Windows, false}, {"windows cut", Windows, true},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.who);
        const QString src = QStringLiteral("C:\\src%1").arg(++n);
        const QString dst = QStringLiteral("D:\\dst%1").arg(n);
        MakeFile(src + QStringLiteral("\\a.txt"), "alpha");
        MakeFile(src + QStringLiteral("\\sub\\b.txt"), "beta");
        MakeFolder(dst);
        const QByteArray a = Uri(src + QStringLiteral("\\a.txt"));
        const QByteArray sub = Uri(src + QStringLiteral("\\sub"));
        const QByteArray uriList = a + "\r\n" + sub + "\r\n";
        switch (c.convention) {
        case Gnome: // the word, then one URI a line, no final newline
            Offer(F{{mimeGnomeCopiedFiles, (c.cut ? "cut\n" : "copy\n") + a + "\n" + sub},
                    {"text/plain", a}});
            break;
        case Kde:
            Offer(F{{mimeUriList, uriList}, {mimeKdeCutSelection, c.cut ? "1" : "0"}});
            break;
        case Windows:
            Offer(F{{mimeUriList, uriList}, {mimePreferredDropEffect, Dword(c.cut ? 2 : 5)}});
            break;
        }

        TKFileView view;
        Open(view, dst);
        ScriptedAsk ask;
        EXPECT_TRUE(Paste(view, nullptr));
        EXPECT_EQ(Contents(dst + QStringLiteral("\\a.txt")), "alpha");
        EXPECT_EQ(Contents(dst + QStringLiteral("\\sub\\b.txt")), "beta");
        EXPECT_TRUE(Listed(view, QStringLiteral("a.txt")));
        EXPECT_TRUE(Listed(view, QStringLiteral("sub")));
        EXPECT_EQ(Exists(src + QStringLiteral("\\a.txt")), !c.cut);
        EXPECT_EQ(Exists(src + QStringLiteral("\\sub")), !c.cut);
        QStringList again;
        // A cut is pasted once; a copy stays for the next paste.
        EXPECT_EQ(GetClipboardFiles(again), c.cut ? 0 : 1);
        EXPECT_TRUE(ask.asked.isEmpty());
    }
}

TEST_F(ClipboardTransferTest, CutMarksEntriesAndPasteMovesThemOnce)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
    MakeFile(QStringLiteral("C:\\src\\b.txt"), "beta");
    MakeFile(QStringLiteral("C:\\src\\c.txt"), "gamma");
    MakeFolder(QStringLiteral("D:\\dst"));
    TKFileView source;
    Open(source, QStringLiteral("C:\\src"));
    source.Select(source.Files.IndexOf(QStringLiteral("a.txt")));
    source.Select(source.Files.IndexOf(QStringLiteral("b.txt")));
    ASSERT_TRUE(CutToClipboard(source));

    // What the other file managers read.
    const QByteArray a = Uri(QStringLiteral("C:\\src\\a.txt"));
    const QByteArray b = Uri(QStringLiteral("C:\\src\\b.txt"));
    EXPECT_EQ(Held(mimeGnomeCopiedFiles), "cut\n" + a + "\n" + b);
    EXPECT_EQ(Held(mimeUriList), a + "\r\n" + b + "\r\n");
    EXPECT_EQ(Held(mimeKdeCutSelection), "1");
    EXPECT_EQ(Held(mimePreferredDropEffect), Dword(2));
    const auto cut = [&](const char *name) {
        return source.Files[source.Files.IndexOf(QLatin1String(name))]->Cut;
    };
    EXPECT_TRUE(cut("a.txt"));
    EXPECT_TRUE(cut("b.txt"));
    EXPECT_FALSE(cut("c.txt"));

    TKFileView target;
    Open(target, QStringLiteral("D:\\dst"));
    ScriptedAsk ask;
    EXPECT_TRUE(Paste(target, nullptr));
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\a.txt")), "alpha");
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\b.txt")), "beta");
    EXPECT_FALSE(Exists(QStringLiteral("C:\\src\\a.txt")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\c.txt")));
    // The emptied clipboard takes the marks away; a second paste does nothing.
    EXPECT_FALSE(cut("a.txt"));
    EXPECT_FALSE(Paste(target, nullptr));
    EXPECT_TRUE(ask.asked.isEmpty());
}

TEST_F(ClipboardTransferTest, CutMarksGoWhenAnotherProgramTakesTheClipboard)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
    TKFileView view;
    Open(view, QStringLiteral("C:\\src"));
    view.SetFocused(view.Files.IndexOf(QStringLiteral("a.txt")));
    ASSERT_TRUE(CutToClipboard(view));
    TFile &entry = *view.Files[view.Files.IndexOf(QStringLiteral("a.txt"))];
    EXPECT_TRUE(entry.Cut);
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    EXPECT_FALSE(entry.Cut);
}

TEST_F(ClipboardTransferTest, CopyOfTheFocusedEntryPastedTwiceMeetsConflicts)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
    MakeFolder(QStringLiteral("C:\\dst"));
    TKFileView source;
    Open(source, QStringLiteral("C:\\src"));
    source.SetFocused(source.Files.IndexOf(QStringLiteral("..")));
    EXPECT_FALSE(CopyToClipboard(source)); // ".." is nothing to copy
    source.SetFocused(source.Files.IndexOf(QStringLiteral("a.txt")));
    ASSERT_TRUE(CopyToClipboard(source));
    EXPECT_EQ(Held(mimeGnomeCopiedFiles), "copy\n" + Uri(QStringLiteral("C:\\src\\a.txt")));
    EXPECT_EQ(Held(mimeKdeCutSelection), "0");

    TKFileView target;
    Open(target, QStringLiteral("C:\\dst"));
    ScriptedAsk ask;
    EXPECT_TRUE(Paste(target, nullptr));
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "changed");
    ask.ExpectFileExists(mrNo); // skip
    EXPECT_TRUE(Paste(target, nullptr));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_EQ(ask.asked[0].kind, QuestionKind::FileExists);
    EXPECT_EQ(Contents(QStringLiteral("C:\\dst\\a.txt")), "alpha");
}

TEST_F(ClipboardTransferTest, BadClipboardContentDoesNoHarm)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
    MakeFolder(QStringLiteral("D:\\dst"));
    TKFileView view;
    Open(view, QStringLiteral("D:\\dst"));
    using F = QList<std::pair<const char *, QByteArray>>;

    // Only URLs that are not local files: nothing to paste, nothing asked.
    Offer(F{{mimeUriList, "http://example.com/a.txt\r\nfile://elsewhere/etc/passwd\r\n"},
            {mimeKdeCutSelection, "1"}});
    {
        ScriptedAsk ask;
        EXPECT_FALSE(Paste(view, nullptr));
        EXPECT_FALSE(PasteShortcut(view, nullptr));
        EXPECT_TRUE(ask.asked.isEmpty());
    }

    // Missing files among real ones, under cut markers that cannot be read:
    // the real file is copied (never moved), the missing ones named in one box.
    const QByteArray uris = "https://example.com/x\r\n" +
                            Uri(QStringLiteral("C:\\src\\gone 1.txt")) + "\r\n" +
                            Uri(QStringLiteral("C:\\src\\a.txt")) + "\r\n" +
                            Uri(QStringLiteral("C:\\src\\gone 2.txt")) + "\r\n";
    Offer(F{{mimeUriList, uris},
            {mimeGnomeCopiedFiles, "snip\n" + Uri(QStringLiteral("C:\\src\\a.txt"))},
            {mimeKdeCutSelection, "banana"},
            {mimePreferredDropEffect, "\x02"}});
    ScriptedAsk ask;
    ask.ExpectMessageBox(mrOk);
    EXPECT_TRUE(Paste(view, nullptr));
    ASSERT_EQ(ask.asked.size(), 1);
    EXPECT_TRUE(ask.asked[0].text.contains(QStringLiteral("C:\\src\\gone 1.txt")));
    EXPECT_TRUE(ask.asked[0].text.contains(QStringLiteral("C:\\src\\gone 2.txt")));
    EXPECT_EQ(Contents(QStringLiteral("D:\\dst\\a.txt")), "alpha");
    EXPECT_TRUE(Exists(QStringLiteral("C:\\src\\a.txt")));
    EXPECT_FALSE(Exists(QStringLiteral("D:\\dst\\gone 1.txt")));
}

TEST_F(ClipboardTransferTest, PasteShortcutLinksEachFileAndConsumesACut)
{
    MakeFile(QStringLiteral("C:\\a\\b.exe"), "MZ");
    MakeFolder(QStringLiteral("D:\\x"));
    TKFileView source;
    Open(source, QStringLiteral("C:\\a"));
    source.SetFocused(source.Files.IndexOf(QStringLiteral("b.exe")));
    ASSERT_TRUE(CutToClipboard(source));

    TKFileView target;
    Open(target, QStringLiteral("D:\\x"));
    ScriptedAsk ask;
    EXPECT_TRUE(PasteShortcut(target, nullptr));
    sys::TShellLink link;
    ASSERT_TRUE(sys::ReadShellLink(QStringLiteral("D:\\x\\b.exe.lnk"), link));
    EXPECT_EQ(link.target, QStringLiteral("C:\\a\\b.exe"));
    EXPECT_EQ(link.workingDir, QStringLiteral("C:\\a\\"));
    EXPECT_TRUE(Listed(target, QStringLiteral("b.exe.lnk")));
    EXPECT_TRUE(Exists(QStringLiteral("C:\\a\\b.exe")));
    QStringList left;
    EXPECT_EQ(GetClipboardFiles(left), 0);
}

TEST_F(ClipboardTransferTest, CutEntriesAreDrawnGhosted)
{
    MakeFile(QStringLiteral("C:\\src\\a.txt"), "alpha");
    MakeFile(QStringLiteral("C:\\src\\b.txt"), "beta");
    TKFileView view;
    Open(view, QStringLiteral("C:\\src"));
    view.Select(view.Files.IndexOf(QStringLiteral("a.txt")));
    view.SetFocused(view.Files.IndexOf(QStringLiteral("..")));
    const QRect aRow = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("a.txt"))]);
    const QRect bRow = view.ItemRect(view.Files[view.Files.IndexOf(QStringLiteral("b.txt"))]);
    const QImage before = view.grab().toImage();
    ASSERT_TRUE(CutToClipboard(view));
    const QImage after = view.grab().toImage();
    const QByteArray dir = qgetenv("KESTREL_SHOT_DIR");
    if (!dir.isEmpty())
        after.save(QString::fromUtf8(dir) + QStringLiteral("/cut-entries.png"));
    EXPECT_NE(before.copy(aRow), after.copy(aRow));
    EXPECT_EQ(before.copy(bRow), after.copy(bRow));
}

} // namespace
} // namespace kestrel::test
