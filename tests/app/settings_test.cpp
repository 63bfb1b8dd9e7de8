#include "app/settings.h"
#include "app/statefiles.h"
#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/names.h"

#include "tests/support/machine.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace kestrel {
namespace {

TEST(Placement, MalformedValuesFallBackToTheDefault)
{
    const TWindowPlacement def = key::File.def;
    const struct {
        const char *text;
        TWindowPlacement expected;
    } rows[] = {
        {"0,10,20,300,400", {false, 10, 20, 300, 400}},
        {" 1, 5, 5, 10, 10", {true, 5, 5, 10, 10}},
        {"0,-20,-30,640,480", {false, -20, -30, 640, 480}},
        {"1,5", def},
        {"a,b,c,d,e", def},
        {"0,1,2,3,4,5", def},
        {"0,1,2,0,400", def},
        {"0,1,2,300,-1", def},
        {"0,1,2,3.5,4", def},
        {"", def},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ParsePlacement(QString::fromLatin1(row.text), def), row.expected) << row.text;
    EXPECT_EQ(FormatPlacement({true, -4, 7, 800, 600}), QStringLiteral("1,-4,7,800,600"));
}

TEST(Font, ReadsCommaTextAndWritesTheDocumentedForm)
{
    const TFontSpec def = DefaultFont();
    const struct {
        const char *text;
        TFontSpec expected;
    } rows[] = {
        {"\"MS Sans Serif\",9,0", def},
        {"\"Courier New\",12,1", {QStringLiteral("Courier New"), 12, true}},
        {"Arial,10,7", {QStringLiteral("Arial"), 10, true}},
        {"\"A, \"\"B\"\"\",8", {QStringLiteral("A, \"B\""), 8, false}},
        {"Arial,big,1", {QStringLiteral("Arial"), 9, true}},
        {"Arial,-3,x", {QStringLiteral("Arial"), 9, false}},
        {"", def},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ParseFont(QString::fromLatin1(row.text)), row.expected) << row.text;
    const TFontSpec odd{QStringLiteral("A \"q\""), 11, true};
    EXPECT_EQ(FormatFont(def), QStringLiteral("\"MS Sans Serif\",9,0"));
    EXPECT_EQ(ParseFont(FormatFont(odd)), odd);

    // A "%1" in a font name used to be replaced by the size on writing.
    const TFontSpec percent{QStringLiteral("A%1"), 12, true};
    EXPECT_EQ(FormatFont(percent), QStringLiteral("\"A%1\",12,1"));
    const TFontSpec manyPercents{QStringLiteral("%2 %1%3 100%"), 8, false};
    EXPECT_EQ(FormatFont(manyPercents), QStringLiteral("\"%2 %1%3 100%\",8,0"));
    EXPECT_EQ(ParseFont(FormatFont(manyPercents)), manyPercents);
}

class SettingsFileTest : public test::MachineTest {};

TEST_F(SettingsFileTest, KeysAreFoundWhateverTheirCase)
{
    MakeFile(QStringLiteral("C:\\k.ini"), "[WINDOW]\r\nfile=1,5,5,10,10\r\nTOOLBAR=0\r\n"
                                          "[option]\r\nESC=1\r\nffont=Arial,10,1\r\n"
                                          "AUTOREFRESH=x\r\n[archive]\r\ntype=3\r\n");
    TIniFile ini(QStringLiteral("C:\\k.ini"));
    EXPECT_TRUE(ReadSetting(ini, key::File).maximized);
    EXPECT_FALSE(ReadSetting(ini, key::Toolbar));
    EXPECT_EQ(ReadSetting(ini, key::Esc), 1);
    EXPECT_EQ(ReadSetting(ini, key::FFont), (TFontSpec{QStringLiteral("Arial"), 10, true}));
    EXPECT_TRUE(ReadSetting(ini, key::AutoRefresh)) << "non-numeric: default";
    EXPECT_EQ(ReadSetting(ini, key::ArchiveType), 3);
    EXPECT_TRUE(WriteSetting(ini, key::Tree, {false, 1, 2, 3, 4}));
    EXPECT_TRUE(WriteSetting(ini, key::TFont, DefaultFont()));
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Window"), QStringLiteral("Tree"), {}) ==
                QStringLiteral("0,1,2,3,4"));
    EXPECT_TRUE(Contents(QStringLiteral("C:\\k.ini"))
                    .contains("\r\nTFont=\"MS Sans Serif\",9,0\r\n[archive]\r\n"));
}

class StateFilesTest : public test::MachineTest {};

TEST_F(StateFilesTest, LastDirRoundTripsInTheDocumentedForm)
{
    const QString path = QStringLiteral("C:\\last.dir");
    ASSERT_TRUE(
        SaveLastDir(path,
                    {QStringLiteral("C:\\=C:\\Tools"), QStringLiteral("\\\\server\\share\\="
                                                                      "\\\\server\\share\\x")},
                    QStringLiteral("C:")));
    EXPECT_EQ(Contents(path),
              QByteArray("C:\\=C:\\Tools\r\n\\\\server\\share\\=\\\\server\\share\\x\r\nC:\r\n"));
    const TLastDir read = LoadLastDir(path);
    EXPECT_EQ(read.dirs.size(), 2);
    EXPECT_EQ(read.currentDrive, QStringLiteral("C:"));
}

TEST_F(StateFilesTest, DamagedLastDirStillReads)
{
    const struct {
        QByteArray contents;
        QStringList dirs;
        QString drive;
    } rows[] = {
        {"", {}, {}},
        {"\r\n\r\n", {}, {}},
        {"D:", {}, QStringLiteral("D:")},
        {"C:\\=C:\\A\nc:\\=C:\\B\n=C:\\x\nD:\\=D:\\Gone\r\nQ:",
         {QStringLiteral("C:\\=C:\\A"), QStringLiteral("D:\\=D:\\Gone")},
         QStringLiteral("Q:")},
        {"C:\\=C:\\A", {QStringLiteral("C:\\=C:\\A")}, {}},
        {QByteArray(2 << 20, 'x'), {}, {}},
    };
    for (const auto &row : rows) {
        MakeFile(QStringLiteral("C:\\last.dir"), row.contents);
        const TLastDir read = LoadLastDir(QStringLiteral("C:\\last.dir"));
        EXPECT_EQ(read.dirs, row.dirs) << row.contents.left(40).constData();
        EXPECT_EQ(read.currentDrive, row.drive) << row.contents.left(40).constData();
    }
    EXPECT_TRUE(LoadLastDir(QStringLiteral("C:\\missing.dir")).dirs.isEmpty());
}

TEST_F(StateFilesTest, CommandHistoryKeepsTheNewestTen)
{
    QStringList items;
    for (int i = 1; i <= 12; ++i)
        items.append(QStringLiteral("cmd %1").arg(i));
    ASSERT_TRUE(SaveCommandHistory(QStringLiteral("C:\\history.dat"), items));
    const QByteArray written = Contents(QStringLiteral("C:\\history.dat"));
    EXPECT_TRUE(written.startsWith("cmd 3\r\ncmd 4\r\n"));
    EXPECT_TRUE(written.endsWith("cmd 11\r\ncmd 12\r\n"));
    EXPECT_EQ(written.count("\r\n"), 10);

    MakeFile(QStringLiteral("C:\\history.dat"), items.join(QLatin1Char('\n')).toUtf8() + "\n\n");
    EXPECT_EQ(LoadCommandHistory(QStringLiteral("C:\\history.dat")), items.mid(2));
    MakeFile(QStringLiteral("C:\\history.dat"), QByteArray(3 << 20, '\n'));
    EXPECT_TRUE(LoadCommandHistory(QStringLiteral("C:\\history.dat")).isEmpty());
}

// A name that is not UTF-8 (written back losslessly) made the whole file read
// as one line: the drive was lost, the folders ran together with their line
// breaks, and the file grew by a line at every save and load.
TEST_F(StateFilesTest, NamesThatAreNotUtf8SurviveSaveAndLoad)
{
    const QString odd = sys::DecodeName(QByteArray("caf\xE9 \xFF\xFE"));
    const QStringList dirs = {QStringLiteral("C:\\=C:\\") + odd,
                              QStringLiteral("D:\\=D:\\Work\\") + odd + QStringLiteral("\\x")};
    const QString lastDir = QStringLiteral("C:\\last.dir");
    ASSERT_TRUE(SaveLastDir(lastDir, dirs, QStringLiteral("D:")));
    const QByteArray first = Contents(lastDir);
    EXPECT_TRUE(first.startsWith("C:\\=C:\\caf\xE9 \xFF\xFE\r\nD:\\=")) << first.constData();
    for (int round = 0; round < 3; ++round) {
        const TLastDir read = LoadLastDir(lastDir);
        EXPECT_EQ(read.dirs, dirs);
        EXPECT_EQ(read.currentDrive, QStringLiteral("D:"));
        ASSERT_TRUE(SaveLastDir(lastDir, read.dirs, read.currentDrive));
        EXPECT_EQ(Contents(lastDir), first) << "round " << round;
    }

    const QString history = QStringLiteral("C:\\history.dat");
    const QStringList items = {QStringLiteral("cd ") + odd, QStringLiteral("dir"), odd};
    ASSERT_TRUE(SaveCommandHistory(history, items));
    const QByteArray saved = Contents(history);
    for (int round = 0; round < 3; ++round) {
        const QStringList read = LoadCommandHistory(history);
        EXPECT_EQ(read, items);
        ASSERT_TRUE(SaveCommandHistory(history, read));
        EXPECT_EQ(Contents(history), saved) << "round " << round;
    }
}

// An oversized state file was ignored and then overwritten at exit, losing the
// user's data. It is kept beside itself instead, never over an earlier backup.
TEST_F(StateFilesTest, OversizedFilesAreKeptAsBackupsBeforeAFreshWrite)
{
    const QByteArray huge = Pattern((1 << 20) + 1);
    const struct {
        const char *name;
        std::function<bool(const QString &)> save;
        QByteArray fresh;
    } rows[] = {
        {"last.dir",
         [](const QString &path) {
             return SaveLastDir(path, {QStringLiteral("C:\\=C:\\")}, QStringLiteral("C:"));
         },
         "C:\\=C:\\\r\nC:\r\n"},
        {"history.dat",
         [](const QString &path) { return SaveCommandHistory(path, {QStringLiteral("dir")}); },
         "dir\r\n"},
    };
    for (const auto &row : rows) {
        const QString path = QStringLiteral("C:\\") + QLatin1String(row.name);
        const QByteArray native = Native(path);
        for (const char *kept : {".bak", ".2.bak", ".3.bak"}) {
            MakeFile(path, huge + kept);
            testing::internal::CaptureStderr();
            ASSERT_TRUE(row.save(path)) << row.name;
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(Contents(path), row.fresh) << row.name;
            EXPECT_EQ(Contents(path + QLatin1String(kept)), huge + kept) << row.name;
            EXPECT_EQ(said, "kestrel: " + native.toStdString() +
                                " is over 1 MiB and was not read; kept it as " +
                                native.toStdString() + kept + "\n");
        }
        EXPECT_EQ(Contents(path + QLatin1String(".bak")), huge + ".bak")
            << "the first backup stays";

        // When it cannot be kept, it is not overwritten either.
        MakeFile(path, huge);
        sys::InjectFault(sys::FaultOp::Rename, 1, sys::ERROR_ACCESS_DENIED);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(row.save(path)) << row.name;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Contents(path), huge) << row.name;
        EXPECT_NE(said.find(native.toStdString() + " is over 1 MiB and was not read; it could "
                                                   "not be kept as a backup (error 5)"),
                  std::string::npos)
            << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }

    // A file kept as a link is backed up beside the file it points to.
    MakeFile(QStringLiteral("C:\\dotfiles\\history.dat"), huge);
    const QByteArray link = Native(QStringLiteral("C:\\home\\history.dat"));
    MakeFolder(QStringLiteral("C:\\home"));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/history.dat"), QString::fromUtf8(link)));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(SaveCommandHistory(QStringLiteral("C:\\home\\history.dat"), {QStringLiteral("x")}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Contents(QStringLiteral("C:\\dotfiles\\history.dat.bak")), huge);
    EXPECT_EQ(Contents(QStringLiteral("C:\\dotfiles\\history.dat")), "x\r\n");
    EXPECT_TRUE(QFileInfo(QString::fromUtf8(link)).isSymLink());
}

} // namespace
} // namespace kestrel
