#include "ops/clipboardformats.h"
#include "tests/support/machine.h"

#include <QMimeData>
#include <QUrl>
#include <QtEndian>

namespace kestrel::test {
namespace {

class ClipboardFormatsTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFile(QStringLiteral("C:\\docs\\a report.txt"), "a");
        MakeFolder(QStringLiteral("D:\\Übung & 100%"));
        files = {QStringLiteral("C:\\docs\\a report.txt"), QStringLiteral("D:\\Übung & 100%")};
    }

    QByteArray Uri(const QString &winPath) const
    {
        return QUrl::fromLocalFile(QString::fromUtf8(Native(winPath))).toEncoded();
    }

    QStringList files;
};

QByteArray Dword(std::uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

TEST_F(ClipboardFormatsTest, ReadsWhatOtherFileManagersPut)
{
    const QByteArray a = Uri(files[0]);
    const QByteArray b = Uri(files[1]);
    struct Case {
        const char *who;
        QList<std::pair<const char *, QByteArray>> formats;
        int effect;
    };
    const Case cases[] = {
        // GNOME-style managers: the word, then one URI a line, no final newline.
        {"gnome copy", {{mimeGnomeCopiedFiles, "copy\n" + a + "\n" + b}, {"text/plain", "x"}}, 1},
        {"gnome cut", {{mimeGnomeCopiedFiles, "cut\n" + a + "\n" + b}}, 2},
        // KDE-style: a URI list and the cut mark.
        {"kde copy", {{mimeUriList, a + "\r\n" + b + "\r\n"}, {mimeKdeCutSelection, "0"}}, 1},
        {"kde cut", {{mimeUriList, a + "\r\n" + b + "\r\n"}, {mimeKdeCutSelection, "1"}}, 2},
        {"kde copy, no mark", {{mimeUriList, a + "\r\n" + b}}, 1},
        // The Windows convention: the file list and the preferred effect.
        {"windows copy", {{mimeUriList, a + "\r\n" + b}, {mimePreferredDropEffect, Dword(5)}}, 1},
        {"windows cut", {{mimeUriList, a + "\r\n" + b}, {mimePreferredDropEffect, Dword(2)}}, 2},
        {"windows none", {{mimeUriList, a + "\r\n" + b}, {mimePreferredDropEffect, Dword(0)}}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.who);
        QMimeData data;
        for (const auto &[format, bytes] : c.formats)
            data.setData(QString::fromLatin1(format), bytes);
        QStringList read;
        EXPECT_EQ(GetClipboardFiles(data, read), c.effect);
        EXPECT_EQ(read, files);
    }
}

TEST_F(ClipboardFormatsTest, WritesWhatOtherFileManagersRead)
{
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut" : "copy");
        QMimeData data;
        SetClipboardFiles(data, files, cut);

        // A reader of URI lists (KDE and Qt programs, drops).
        QStringList natives;
        for (const QUrl &url : data.urls())
            natives.append(url.toLocalFile());
        EXPECT_EQ(natives, QStringList({QString::fromUtf8(Native(files[0])),
                                        QString::fromUtf8(Native(files[1]))}));
        EXPECT_EQ(data.data(QString::fromLatin1(mimeKdeCutSelection)), QByteArray(cut ? "1" : "0"));
        // A GNOME-style reader.
        const QList<QByteArray> lines =
            data.data(QString::fromLatin1(mimeGnomeCopiedFiles)).split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], QByteArray(cut ? "cut" : "copy"));
        EXPECT_EQ(QUrl::fromEncoded(lines[1]).toLocalFile(), QString::fromUtf8(Native(files[0])));
        EXPECT_EQ(QUrl::fromEncoded(lines[2]).toLocalFile(), QString::fromUtf8(Native(files[1])));
        // The Windows convention.
        EXPECT_EQ(data.data(QString::fromLatin1(mimePreferredDropEffect)), Dword(cut ? 2 : 1));
        // A text reader (an editor, a terminal): native paths, one a line.
        EXPECT_EQ(data.data(QStringLiteral("text/plain")),
                  Native(files[0]) + '\n' + Native(files[1]));

        QStringList read;
        EXPECT_EQ(GetClipboardFiles(data, read), cut ? 2 : 1);
        EXPECT_EQ(read, files);
    }
}

TEST_F(ClipboardFormatsTest, NamesThatAreNotUtf8SurviveTheRoundTrip)
{
    const QString odd = QStringLiteral("C:\\caf") + QChar(0xDCE9) + QStringLiteral(".txt");
    MakeFile(odd, "x");
    ASSERT_EQ(Native(odd).right(5), QByteArray("\xE9.txt"));
    QMimeData data;
    SetClipboardFiles(data, {odd}, false);
    EXPECT_TRUE(data.data(QString::fromLatin1(mimeUriList)).contains("caf%E9.txt"));
    QStringList read;
    EXPECT_EQ(GetClipboardFiles(data, read), 1);
    EXPECT_EQ(read, QStringList{odd});
}

TEST_F(ClipboardFormatsTest, BadInputNeverMovesAndNeverInventsFiles)
{
    const QByteArray a = Uri(files[0]);
    const QByteArray missing = Uri(QStringLiteral("C:\\gone.txt"));
    const QByteArray outside = "file:///no/drive/covers/this";
    struct Case {
        const char *what;
        QList<std::pair<const char *, QByteArray>> formats;
        int effect;
        QStringList read;
    };
    const Case cases[] = {
        {"nothing", {}, 0, {}},
        {"only web links", {{mimeUriList, "http://example.com/a\r\nhttps://x/y\r\n"}}, 0, {}},
        {"remote host", {{mimeUriList, "file://otherhost" + a.mid(7)}}, 0, {}},
        {"garbage", {{mimeUriList, "\x01\x02 garbage\r\n#comment\r\n"}}, 0, {}},
        {"outside every drive", {{mimeUriList, outside + "\r\n" + a}}, 1, {files[0]}},
        {"localhost and comments",
         {{mimeUriList, "# from a drag\r\nfile://localhost" + a.mid(7) + "\r\nmailto:x@y\r\n"}},
         1,
         {files[0]}},
        {"missing file kept for the engine to report",
         {{mimeUriList, missing}},
         1,
         {"C:\\gone.txt"}},
        {"gnome garbage word", {{mimeGnomeCopiedFiles, "kut\n" + a}}, 1, {files[0]}},
        {"kde garbage mark", {{mimeUriList, a}, {mimeKdeCutSelection, "yes"}}, 1, {files[0]}},
        {"short effect", {{mimeUriList, a}, {mimePreferredDropEffect, "\x02"}}, 1, {files[0]}},
        {"marks disagree",
         {{mimeUriList, a}, {mimeKdeCutSelection, "1"}, {mimePreferredDropEffect, Dword(1)}},
         1,
         {files[0]}},
        {"cut with nothing to paste", {{mimeGnomeCopiedFiles, "cut\n"}}, 0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QMimeData data;
        for (const auto &[format, bytes] : c.formats)
            data.setData(QString::fromLatin1(format), bytes);
        QStringList read{QStringLiteral("stale")};
        EXPECT_EQ(GetClipboardFiles(data, read), c.effect);
        EXPECT_EQ(read, c.read);
    }
}

} // namespace
} // namespace kestrel::test
