#include "app/fontchoice.h"
#include "app/settings.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "platform/native.h"
#include "platform/shell.h"

#include "tests/support/machine.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

namespace kestrel {
namespace {

// A Windows family that is not installed used to be left to the font
// configuration, which picks whatever it lists first; the desktop's own
// fixed or user-interface font of the setting's size is used instead.
TEST(ChosenFont, MissingWindowsFamiliesTakeTheDesktopsFonts)
{
    const QFont ui = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const struct {
        TFontSpec wanted;
        const QFont &desktop;
    } rows[] = {
        {{QStringLiteral("MS Sans Serif"), 9, false}, ui},
        {{QStringLiteral("Tahoma"), 14, true}, ui},
        {{QStringLiteral("Courier New"), 11, true}, fixed},
        {{QStringLiteral("fixedsys"), 10, false}, fixed},
        {{QStringLiteral("Lucida Console"), 8, false}, fixed},
    };
    for (const auto &row : rows) {
        const std::string what = row.wanted.name.toStdString();
        if (QFontDatabase::hasFamily(row.wanted.name))
            continue; // installed here: it is used as it is (below)
        const QFont font = ChosenFont(row.wanted);
        EXPECT_EQ(font.family(), row.desktop.family()) << what;
        EXPECT_EQ(font.pointSize(), row.wanted.size) << what;
        EXPECT_EQ(font.bold(), row.wanted.bold) << what;
    }
    // What is drawn with a fixed-pitch family's stand-in is fixed-pitch too.
    if (QFontInfo(fixed).fixedPitch()) {
        EXPECT_TRUE(QFontInfo(ChosenFont({QStringLiteral("Fixedsys"), 10, false})).fixedPitch());
    }
}

TEST(ChosenFont, InstalledFamilyIsKept)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QFont font = ChosenFont({families.last(), 13, true});
    EXPECT_EQ(font.family(), families.last());
    EXPECT_EQ(QFontInfo(font).family(), families.last());
    EXPECT_EQ(font.pointSize(), 13);
    EXPECT_TRUE(font.bold());
}

class UserOrSharedFileTest : public test::MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        saved = sys::NativeSharedDir();
        ASSERT_TRUE(QDir().mkpath(Root() + QStringLiteral("/shared")));
        sys::OverrideSharedDir(sys::EncodeName(Root() + QStringLiteral("/shared")));
        sys::ReloadDriveTable();
    }
    void TearDown() override
    {
        sys::OverrideSharedDir(saved);
        MachineTest::TearDown();
    }
    void Write(const QString &path, const QByteArray &text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray Read(const QString &winPath)
    {
        QByteArray native;
        if (!sys::ToNative(winPath, native))
            return "(unreachable)";
        QFile file(sys::DecodeName(native));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    QByteArray saved;
};

// The colour set that came with an installed program is used until the
// user keeps one of their own.
TEST_F(UserOrSharedFileTest, UserCopyBeforeSharedOne)
{
    EXPECT_EQ(UserOrSharedFile(QStringLiteral("kestrel.col")), QString());
    Write(Root() + QStringLiteral("/shared/kestrel.col"), "shared");
    EXPECT_EQ(Read(UserOrSharedFile(QStringLiteral("kestrel.col"))), "shared");
    Write(Root() + QStringLiteral("/home/kestrel.col"), "user");
    EXPECT_EQ(Read(UserOrSharedFile(QStringLiteral("kestrel.col"))), "user");
}

} // namespace
} // namespace kestrel
