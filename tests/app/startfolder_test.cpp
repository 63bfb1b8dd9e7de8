#include "app/inifile.h"
#include "app/startfolder.h"
#include "panel/filelisting.h"
#include "platform/names.h"

#include "tests/support/machine.h"

#include <QFile>

namespace kestrel {
namespace {

class StartFolderTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("C:\\Tools"));
        MakeFolder(QStringLiteral("D:\\Work"));
    }
};

TEST_F(StartFolderTest, StartUpMatrix)
{
    const QString tools = QStringLiteral("C:\\=C:\\Tools");
    const QString work = QStringLiteral("D:\\=D:\\Work");
    const struct {
        const char *what;
        QByteArray ini;
        QByteArray lastDir; // "-" for no file
        QString argument;
        QString folder;
        QStringList lastDirs;
    } rows[] = {
        {"nothing at all", "", "-", {}, QStringLiteral("C:\\"), {QStringLiteral("C:\\=C:\\")}},
        {"argument beats StartDir and last.dir",
         "[Option]\nStartDir=1\nStart=C:\\Tools\n",
         "C:\\=C:\\Tools\r\nC:\r\n",
         QStringLiteral("d:\\work"),
         QStringLiteral("D:\\Work"),
         {work}},
        {"argument that is no folder",
         "",
         "D:\\=D:\\Work\r\nD:\r\n",
         QStringLiteral("D:\\Nope"),
         QStringLiteral("D:\\Work"),
         {work}},
        {"StartDir with SaveLastDir loads but stays",
         "[Option]\nStartDir=1\nStart=D:\\Work\n",
         "C:\\=C:\\Tools\r\nC:\r\n",
         {},
         QStringLiteral("D:\\Work"),
         {tools}},
        {"last drive",
         "",
         "C:\\=C:\\Tools\r\nD:\\=D:\\Work\r\nD:\r\n",
         {},
         QStringLiteral("D:\\Work"),
         {tools, work}},
        {"last drive not ready",
         "",
         "C:\\=C:\\Tools\r\nQ:\r\n",
         {},
         QStringLiteral("C:\\"),
         {QStringLiteral("C:\\=C:\\")}},
        {"remembered folder gone",
         "",
         "D:\\=D:\\Gone\r\nD:\r\n",
         {},
         QStringLiteral("D:\\"),
         {QStringLiteral("D:\\=D:\\")}},
        {"SaveLastDir off",
         "[Option]\nSaveLastDir=0\n",
         "D:\\=D:\\Work\r\nD:\r\n",
         {},
         QStringLiteral("C:\\"),
         {QStringLiteral("C:\\=C:\\")}},
        {"Start folder missing",
         "[Option]\nStartDir=1\nStart=C:\\Missing\n",
         "-",
         {},
         QStringLiteral("C:\\"),
         {QStringLiteral("C:\\=C:\\")}},
        {"empty last.dir", "", "", {}, QStringLiteral("C:\\"), {QStringLiteral("C:\\=C:\\")}},
    };
    for (const auto &row : rows) {
        MakeFile(QStringLiteral("C:\\k.ini"), row.ini);
        if (row.lastDir == "-")
            QFile::remove(QString::fromUtf8(Native(QStringLiteral("C:\\last.dir"))));
        else
            MakeFile(QStringLiteral("C:\\last.dir"), row.lastDir);
        const TIniFile ini(QStringLiteral("C:\\k.ini"));
        TFileListing panel;
        OpenStartFolder(panel, ini, row.argument, QStringLiteral("C:\\last.dir"));
        EXPECT_EQ(panel.Folder(), row.folder) << row.what;
        EXPECT_EQ(panel.LastDirs, row.lastDirs) << row.what;
    }
}

TEST_F(StartFolderTest, StartDirKeepsTheOtherDrivesRemembered)
{
    MakeFile(QStringLiteral("C:\\k.ini"), "[Option]\r\nStartDir=1\r\nStart=D:\\Work\r\n");
    MakeFile(QStringLiteral("C:\\last.dir"), "C:\\=C:\\Tools\r\nC:\r\n");
    const TIniFile ini(QStringLiteral("C:\\k.ini"));
    TFileListing panel;
    OpenStartFolder(panel, ini, {}, QStringLiteral("C:\\last.dir"));
    panel.SetDrive(QStringLiteral("C:"));
    EXPECT_EQ(panel.Folder(), QStringLiteral("C:\\Tools"));
}

// A Start folder written in native form used to be read as a Windows path.
TEST_F(StartFolderTest, StartSettingInNativeForm)
{
    MakeFile(QStringLiteral("C:\\k.ini"),
             "[Option]\r\nStartDir=1\r\nStart=" + Native(QStringLiteral("D:\\Work")) + "\r\n");
    const TIniFile ini(QStringLiteral("C:\\k.ini"));
    TFileListing panel;
    OpenStartFolder(panel, ini, {}, QString());
    EXPECT_EQ(panel.Folder(), QStringLiteral("D:\\Work"));
}

TEST_F(StartFolderTest, FolderArgumentInBothForms)
{
    EXPECT_EQ(FolderArgument({}), QString());
    EXPECT_EQ(FolderArgument({QStringLiteral("--quit-after-start")}), QString());
    EXPECT_EQ(FolderArgument({QStringLiteral("C:\\My"), QStringLiteral("Files")}),
              QStringLiteral("C:\\My Files"));
    EXPECT_EQ(FolderArgument({sys::DecodeName(Native(QStringLiteral("D:\\Work")))}),
              QStringLiteral("D:\\Work"));
    EXPECT_EQ(FolderArgument({QStringLiteral("  C:\\Tools  ")}), QStringLiteral("C:\\Tools"));
    // A native folder whose name ends in a blank used to lose it and open
    // its namesake, or nothing.
    EXPECT_EQ(FolderArgument({sys::DecodeName(Native(QStringLiteral("D:\\Work"))) + "  "}),
              QStringLiteral("D:\\Work  "));
    EXPECT_EQ(FolderArgument({QStringLiteral("--quit-after-start"),
                              sys::DecodeName(Native(QStringLiteral("C:\\Tools"))) + " "}),
              QStringLiteral("C:\\Tools "));
}

} // namespace
} // namespace kestrel
