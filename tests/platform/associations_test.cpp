#include "platform/shell.h"

#include "tests/support/machine.h"

#include <QFile>
#include <QList>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <iterator>

namespace kestrel::sys {
namespace {

// A desktop of the test's own: data folder D:\Share (applications below it),
// configuration folder D:\Config, nothing from the machine.
class Associations : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeFolder(QStringLiteral("D:\\Share\\applications"));
        MakeFolder(QStringLiteral("D:\\Config"));
        // The machine's type database stays in reach: types come from it.
        const QString mime =
            QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                   QStandardPaths::LocateDirectory);
        ASSERT_FALSE(mime.isEmpty()) << "no MIME type database on this machine";
        ASSERT_TRUE(
            QFile::link(mime, QString::fromLocal8Bit(Native(QStringLiteral("D:\\Share\\mime")))));
        const QByteArray share = Native(QStringLiteral("D:\\Share"));
        const QByteArray config = Native(QStringLiteral("D:\\Config"));
        const QByteArray values[] = {share, share, config, config, ""};
        for (int i = 0; i < int(std::size(names)); ++i) {
            saved.append({qEnvironmentVariableIsSet(names[i]), qgetenv(names[i])});
            qputenv(names[i], values[i]);
        }
        MakeFile(QStringLiteral("C:\\notes.txt"), "plain words\n");
        MakeFile(QStringLiteral("C:\\main.c"), "int main(void) { return 0; }\n");
        MakeFile(QStringLiteral("C:\\blob.kqz"), QByteArray(64, '\0'));
    }
    void TearDown() override
    {
        for (int i = 0; i < int(std::size(names)); ++i) {
            if (saved[i].first)
                qputenv(names[i], saved[i].second);
            else
                qunsetenv(names[i]);
        }
        MachineTest::TearDown();
    }
    void App(const QString &file, const QByteArray &entry)
    {
        MakeFile(QStringLiteral("D:\\Share\\applications\\") + file,
                 "[Desktop Entry]\nType=Application\nName=Tool\nExec=tool %f\n" + entry);
    }

    static constexpr const char *names[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                            "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"};
    QList<std::pair<bool, QByteArray>> saved;
};

TEST_F(Associations, NoProgramsMeansNoAssociation)
{
    EXPECT_FALSE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")));
    EXPECT_FALSE(HasAssociatedProgram(QStringLiteral("C:\\blob.kqz")));
}

TEST_F(Associations, AnEntryOpensItsTypesAndTheTypesBelowThem)
{
    App(QStringLiteral("editor.desktop"), "MimeType=text/plain;\n");
    EXPECT_TRUE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")));
    // C source is a kind of plain text.
    EXPECT_TRUE(HasAssociatedProgram(QStringLiteral("C:\\main.c")));
    EXPECT_FALSE(HasAssociatedProgram(QStringLiteral("C:\\blob.kqz")));
}

TEST_F(Associations, HiddenEntriesStandForRemovedPrograms)
{
    App(QStringLiteral("editor.desktop"), "MimeType=text/plain;\nHidden=true\n");
    EXPECT_FALSE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")));
}

TEST_F(Associations, ListsNameProgramsThatExist)
{
    App(QStringLiteral("viewer.desktop"), "");
    MakeFile(QStringLiteral("D:\\Config\\mimeapps.list"),
             "[Default Applications]\ntext/plain=gone.desktop;\n");
    EXPECT_FALSE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")))
        << "gone.desktop is missing";
    MakeFile(QStringLiteral("D:\\Config\\mimeapps.list"),
             "[Added Associations]\napplication/octet-stream=gone.desktop;viewer.desktop;\n");
    // Every file is a kind of byte stream.
    EXPECT_TRUE(HasAssociatedProgram(QStringLiteral("C:\\blob.kqz")));
    EXPECT_TRUE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")));
}

TEST_F(Associations, TheDesktopsOwnListCountsAndEntriesInSubfolders)
{
    qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
    App(QStringLiteral("vendor/viewer.desktop"), "");
    MakeFile(QStringLiteral("D:\\Config\\test-mimeapps.list"),
             "[Default Applications]\ntext/plain=vendor-viewer.desktop\n");
    EXPECT_TRUE(HasAssociatedProgram(QStringLiteral("C:\\notes.txt")));
}

} // namespace
} // namespace kestrel::sys
