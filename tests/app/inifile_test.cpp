#include "app/inifile.h"

#include "tests/support/machine.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel {
namespace {

class IniFileTest : public test::MachineTest {};

TEST_F(IniFileTest, ReadsWhatItCanFromADamagedFile)
{
    const QByteArray longValue(100000, 'x');
    MakeFile(QStringLiteral("C:\\k.ini"), "\xEF\xBB\xBF[Window]\r\n"
                                          "File=1,5,5,10,10\n"
                                          "no equals sign here\r"
                                          "Toolbar=0\r\n"
                                          "toolbar=1\r\n"
                                          "[Unknown Section]\r\n"
                                          "Whatever=\xff\xfe\r\n"
                                          "[option]\r\n"
                                          "  Sort =  3  \r\n"
                                          "Col=abc\r\n"
                                          "; Desc=1\r\n"
                                          "=5\r\n"
                                          "Long=" +
                                              longValue +
                                              "\r\n"
                                              "Name=\xc3\xa9\xff\r\n"
                                              "Font=\"MS Sans Serif\",9,0");
    const TIniFile ini(QStringLiteral("C:\\k.ini"));
    const QString w = QStringLiteral("WINDOW"), o = QStringLiteral("Option");
    EXPECT_EQ(ini.ReadString(w, QStringLiteral("file"), {}), QStringLiteral("1,5,5,10,10"));
    EXPECT_FALSE(ini.ReadBool(w, QStringLiteral("Toolbar"), true)) << "first duplicate wins";
    EXPECT_EQ(ini.ReadSection(w), QStringList({QStringLiteral("File"), QStringLiteral("Toolbar")}));
    EXPECT_EQ(ini.ReadInteger(o, QStringLiteral("sort"), 1), 3);
    EXPECT_EQ(ini.ReadInteger(o, QStringLiteral("Col"), 2), 2);
    EXPECT_TRUE(ini.ReadBool(o, QStringLiteral("Col"), true));
    EXPECT_FALSE(ini.ValueExists(o, QStringLiteral("Desc")));
    EXPECT_FALSE(ini.ValueExists(o, QString()));
    EXPECT_EQ(ini.ReadString(o, QStringLiteral("Long"), {}).size(), longValue.size());
    EXPECT_EQ(ini.ReadString(o, QStringLiteral("Font"), {}),
              QStringLiteral("\"MS Sans Serif\",9,0"));
    EXPECT_EQ(ini.ReadString(o, QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Nowhere"), QStringLiteral("File"), {}), QString());
}

TEST_F(IniFileTest, FileIsCreatedByTheFirstWriteInTheDocumentedForm)
{
    {
        TIniFile ini(QStringLiteral("C:\\k.ini"));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("x"), 7), 7);
        EXPECT_FALSE(Exists(QStringLiteral("C:\\k.ini")));
        EXPECT_TRUE(ini.WriteString(QStringLiteral("Window"), QStringLiteral("File"),
                                    QStringLiteral("0,10,20,300,400")));
        EXPECT_TRUE(Exists(QStringLiteral("C:\\k.ini")));
        EXPECT_TRUE(ini.WriteBool(QStringLiteral("Window"), QStringLiteral("Toolbar"), true));
        EXPECT_TRUE(ini.WriteInteger(QStringLiteral("Option"), QStringLiteral("Esc"), -3));
        EXPECT_TRUE(ini.WriteBool(QStringLiteral("window"), QStringLiteral("Status"), false));
        EXPECT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(Contents(QStringLiteral("C:\\k.ini")), QByteArray("[Window]\r\n"
                                                                "File=0,10,20,300,400\r\n"
                                                                "Toolbar=1\r\n"
                                                                "Status=0\r\n"
                                                                "[Option]\r\n"
                                                                "Esc=-3\r\n"));
}

TEST_F(IniFileTest, RewriteKeepsForeignLinesAndTheKeysSpelling)
{
    MakeFile(QStringLiteral("C:\\k.ini"),
             "; settings\n[Option]\nEsc=1\n\n[Drives]\nD=/x,removable\n"
             "bad line \xff\n");
    TIniFile ini(QStringLiteral("C:\\k.ini"));
    EXPECT_TRUE(ini.WriteInteger(QStringLiteral("Option"), QStringLiteral("ESC"), 3));
    EXPECT_TRUE(ini.WriteString(QStringLiteral("option"), QStringLiteral("Start"),
                                QStringLiteral("D:\\A b")));
    EXPECT_EQ(Contents(QStringLiteral("C:\\k.ini")), QByteArray("; settings\r\n"
                                                                "[Option]\r\n"
                                                                "Esc=3\r\n"
                                                                "Start=D:\\A b\r\n"
                                                                "\r\n"
                                                                "[Drives]\r\n"
                                                                "D=/x,removable\r\n"
                                                                "bad line \xff\r\n"));
    EXPECT_TRUE(ini.DeleteKey(QStringLiteral("OPTION"), QStringLiteral("esc")));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("Option"), QStringLiteral("Esc")));
    EXPECT_TRUE(TIniFile(QStringLiteral("C:\\k.ini"))
                    .ValueExists(QStringLiteral("Option"), QStringLiteral("Start")));
}

TEST_F(IniFileTest, AValueNeverAddsLinesAndBadNamesAreRefused)
{
    TIniFile ini(QStringLiteral("C:\\k.ini"));
    EXPECT_TRUE(ini.WriteString(QStringLiteral("Function"), QStringLiteral("F2"),
                                QStringLiteral("cmd\r\n[Window]\nFile=1,0,0,1,1")));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("Function"), QStringLiteral("a=b"), {}));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("Function"), QStringLiteral("a\nb"), {}));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("Func]tion"), QStringLiteral("F3"), {}));
    EXPECT_EQ(Contents(QStringLiteral("C:\\k.ini")),
              QByteArray("[Function]\r\nF2=cmd [Window] File=1,0,0,1,1\r\n"));
    EXPECT_FALSE(TIniFile(QStringLiteral("C:\\k.ini"))
                     .ValueExists(QStringLiteral("Window"), QStringLiteral("File")));
}

TEST_F(IniFileTest, AFileThatCannotBeWrittenKeepsValuesInMemory)
{
    auto ini = std::make_unique<TIniFile>(QStringLiteral("C:\\no such folder\\k.ini"));
    EXPECT_FALSE(ini->WriteBool(QStringLiteral("Window"), QStringLiteral("Status"), false));
    EXPECT_FALSE(ini->ReadBool(QStringLiteral("Window"), QStringLiteral("Status"), true));
    EXPECT_FALSE(ini->UpdateFile());
    MakeFolder(QStringLiteral("C:\\no such folder"));
    EXPECT_TRUE(ini->UpdateFile()) << "a later flush retries";
    ini.reset();
    EXPECT_EQ(Contents(QStringLiteral("C:\\no such folder\\k.ini")),
              QByteArray("[Window]\r\nStatus=0\r\n"));
}

// Settings linked into a dotfiles folder before the first run: the link used
// to be replaced by a plain file and the dotfiles copy never written.
TEST_F(IniFileTest, SettingsKeptAsALinkAreWrittenWhereTheLinkPoints)
{
    MakeFolder(QStringLiteral("C:\\home"));
    MakeFolder(QStringLiteral("C:\\dotfiles"));
    const QString link = QString::fromUtf8(Native(QStringLiteral("C:\\home\\kestrel.ini")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/kestrel.ini"), link));
    EXPECT_TRUE(TIniFile(QStringLiteral("C:\\home\\kestrel.ini"))
                    .WriteBool(QStringLiteral("Option"), QStringLiteral("CtrlX"), true));
    EXPECT_EQ(Contents(QStringLiteral("C:\\dotfiles\\kestrel.ini")),
              QByteArray("[Option]\r\nCtrlX=1\r\n"));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(),
              QString::fromUtf8(Native(QStringLiteral("C:\\dotfiles\\kestrel.ini"))));
}

} // namespace
} // namespace kestrel
