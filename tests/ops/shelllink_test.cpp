#include "platform/errors.h"
#include "platform/shelllink.h"
#include "tests/support/machine.h"

#include <QtEndian>

namespace kestrel::test {
namespace {

using sys::TShellLink;

class ShellLinkTest : public MachineTest {};

QByteArray U16(std::uint16_t v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray U32(std::uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A link laid out the way the Windows shell writes one for C:\test\a.txt:
// an ID list, a LinkInfo without Unicode offsets, ANSI string data and an
// extra data block before the terminal block.
QByteArray WindowsStyleLink()
{
    QByteArray b = U32(0x4C);
    b += QByteArray::fromHex("0114020000000000C000000000000046");
    b += U32(0x01 | 0x02 | 0x08 | 0x10); // ID list, link info, relative path, working dir
    b += U32(0x20);                      // archive
    b += QByteArray(24, '\x11');         // times
    b += U32(0);                         // size
    b += U32(0) + U32(1) + U16(0) + U16(0) + U32(0) + U32(0);

    QByteArray idList;
    idList += U16(20) + QByteArray::fromHex("1F50E04FD020EA3A6910A2D808002B30309D");
    idList += U16(25) + QByteArray("/C:\\") + QByteArray(19, '\0');
    idList += U16(0);
    b += U16(std::uint16_t(idList.size())) + idList;

    const QByteArray volume =
        U32(0x11) + U32(3) + U32(0x307A8A81) + U32(0x10) + QByteArray("\0", 1);
    QByteArray info =
        U32(0) + U32(0x1C) + U32(1) + U32(0x1C) + U32(0x1C + volume.size()) + U32(0) + U32(0);
    info += volume;
    info += QByteArray("C:\\test\\a.txt", 14);
    const std::uint32_t suffixAt = std::uint32_t(info.size());
    info += QByteArray("\0", 1);
    qToLittleEndian(suffixAt, info.data() + 0x18);
    qToLittleEndian(std::uint32_t(info.size()), info.data());
    b += info;

    b += U16(12) + QByteArray(".\\test\\a.txt");
    b += U16(7) + QByteArray("C:\\test");
    b += U32(0x10) + U32(0xA0000003) + QByteArray(8, '\x22'); // a property block
    b += U32(0);
    return b;
}

TEST_F(ShellLinkTest, HeaderHasTheDocumentedSizeClassIdAndFlags)
{
    TShellLink link;
    link.target = QStringLiteral("C:\\a\\b.exe");
    link.workingDir = QStringLiteral("C:\\a\\");
    const QByteArray bytes = sys::EncodeShellLink(link);
    ASSERT_GE(bytes.size(), 0x4C);
    EXPECT_EQ(bytes.left(20).toHex(), QByteArray("4c0000000114020000000000c000000000000046"));
    const std::uint32_t flags = qFromLittleEndian<std::uint32_t>(bytes.constData() + 20);
    EXPECT_EQ(flags, 0x02u | 0x10u | 0x80u); // link info, working dir, Unicode
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(bytes.constData() + 60), 1u); // SW_SHOWNORMAL
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(bytes.right(4).constData()), 0u);
}

TEST_F(ShellLinkTest, CreateShortcutRoundTrips)
{
    MakeFile(QStringLiteral("C:\\a\\b.exe"), "12345");
    MakeFolder(QStringLiteral("C:\\a\\sub"));
    MakeFile(QStringLiteral("C:\\a\\Ünï€ode name.txt"), "x");
    MakeFile(QStringLiteral("\\\\server\\share\\docs\\r.txt"), "abc");
    MakeFolder(QStringLiteral("D:\\x"));
    MakeFolder(QStringLiteral("C:\\links"));
    struct Case {
        QString target, folder, link, workingDir, relative;
    };
    const Case cases[] = {
        {"C:\\a\\b.exe", "D:\\x", "D:\\x\\b.exe.lnk", "C:\\a\\", ""},
        {"C:\\a\\b.exe", "C:\\links", "C:\\links\\b.exe.lnk", "C:\\a\\", "..\\a\\b.exe"},
        {"C:\\a\\sub", "C:\\a", "C:\\a\\sub.lnk", "C:\\a\\", ".\\sub"},
        {"C:\\a\\Ünï€ode name.txt", "D:\\x", "D:\\x\\Ünï€ode name.txt.lnk", "C:\\a\\", ""},
        {"\\\\server\\share\\docs\\r.txt", "D:\\x", "D:\\x\\r.txt.lnk", "\\\\server\\share\\docs\\",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        ASSERT_TRUE(sys::CreateShortcut(c.target, c.folder)) << sys::GetLastError();
        ASSERT_TRUE(Exists(c.link));
        TShellLink link;
        ASSERT_TRUE(sys::ReadShellLink(c.link, link)) << sys::GetLastError();
        EXPECT_EQ(link.target, c.target);
        EXPECT_EQ(link.workingDir, c.workingDir);
        EXPECT_EQ(link.relativePath, c.relative);
        EXPECT_TRUE(link.arguments.isEmpty());
    }
    TShellLink exe;
    ASSERT_TRUE(sys::ReadShellLink(QStringLiteral("D:\\x\\b.exe.lnk"), exe));
    EXPECT_EQ(exe.fileSize, 5u);
    EXPECT_EQ(exe.volumeLabel, QStringLiteral("Local"));
    EXPECT_EQ(exe.driveSerial, 0x1A2B3C4Du);
    TShellLink folder;
    ASSERT_TRUE(sys::ReadShellLink(QStringLiteral("C:\\a\\sub.lnk"), folder));
    EXPECT_TRUE(folder.attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ShellLinkTest, CreateShortcutToAMissingTargetFails)
{
    MakeFolder(QStringLiteral("D:\\x"));
    EXPECT_FALSE(sys::CreateShortcut(QStringLiteral("C:\\nothing.txt"), QStringLiteral("D:\\x")));
    EXPECT_EQ(sys::GetLastError(), sys::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Exists(QStringLiteral("D:\\x\\nothing.txt.lnk")));
}

TEST_F(ShellLinkTest, ReadsAWindowsStyleLinkSkippingItsIdList)
{
    TShellLink link;
    ASSERT_TRUE(sys::DecodeShellLink(WindowsStyleLink(), link));
    EXPECT_EQ(link.target, QStringLiteral("C:\\test\\a.txt"));
    EXPECT_EQ(link.relativePath, QStringLiteral(".\\test\\a.txt"));
    EXPECT_EQ(link.workingDir, QStringLiteral("C:\\test"));
    EXPECT_EQ(link.driveSerial, 0x307A8A81u);
    EXPECT_EQ(link.attributes, 0x20u);
}

TEST_F(ShellLinkTest, LinkWithoutLinkInfoFollowsItsRelativePath)
{
    MakeFile(QStringLiteral("D:\\data\\t.txt"), "t");
    MakeFolder(QStringLiteral("D:\\links"));
    // Only an ID list and a relative path, as links to moved files may be.
    QByteArray b = sys::EncodeShellLink(TShellLink());
    QByteArray header = b.left(0x4C);
    qToLittleEndian(std::uint32_t(0x01 | 0x08 | 0x80), header.data() + 20);
    const QString rel = QStringLiteral("..\\data\\t.txt");
    QByteArray strings = U16(std::uint16_t(rel.size()));
    for (QChar c : rel)
        strings += U16(c.unicode());
    const QByteArray idList = U16(6) + U16(4) + U16(0xABCD) + U16(0);
    MakeFile(QStringLiteral("D:\\links\\t.txt.lnk"), header + idList + strings + U32(0));

    TShellLink link;
    ASSERT_TRUE(sys::ReadShellLink(QStringLiteral("D:\\links\\t.txt.lnk"), link));
    EXPECT_EQ(link.target, QStringLiteral("D:\\data\\t.txt"));
}

TEST_F(ShellLinkTest, MalformedLinksAreRefusedWithoutReadingPastTheEnd)
{
    TShellLink full;
    full.target = QStringLiteral("C:\\a\\b.exe");
    full.relativePath = QStringLiteral(".\\b.exe");
    full.workingDir = QStringLiteral("C:\\a\\");
    const QByteArray good = sys::EncodeShellLink(full);
    const QByteArray windows = WindowsStyleLink();
    TShellLink link;
    // Every version cut short before the end of its strings; the extra data
    // blocks after them are not needed. The full ones must still read.
    const std::pair<QByteArray, qsizetype> links[] = {{good, 4}, {windows, 20}};
    for (const auto &[bytes, extraData] : links) {
        for (qsizetype n = 0; n < bytes.size() - extraData; ++n)
            EXPECT_FALSE(sys::DecodeShellLink(bytes.left(n), link)) << n;
        EXPECT_TRUE(sys::DecodeShellLink(bytes, link));
    }
    // Offsets and sizes pointing far outside the file.
    QByteArray wild = good;
    qToLittleEndian(std::uint32_t(0x7FFFFFF0), wild.data() + 0x4C + 12); // VolumeIDOffset
    qToLittleEndian(std::uint32_t(0x7FFFFFF0), wild.data() + 0x4C + 28); // base path, Unicode
    EXPECT_TRUE(sys::DecodeShellLink(wild, link));
    EXPECT_TRUE(link.target.isEmpty());
    QByteArray huge = windows;
    qToLittleEndian(std::uint16_t(0xFFFF), huge.data() + 0x4C); // ID list size
    EXPECT_FALSE(sys::DecodeShellLink(huge, link));

    // A target of backslashes with no server name used to be stored as a
    // share and read back one backslash short.
    TShellLink odd;
    odd.target = QStringLiteral("\\\\\\\\x\\y");
    ASSERT_TRUE(sys::DecodeShellLink(sys::EncodeShellLink(odd), link));
    EXPECT_EQ(link.target, odd.target);

    MakeFile(QStringLiteral("C:\\note.lnk"), "just some text, not a link at all");
    EXPECT_FALSE(sys::ReadShellLink(QStringLiteral("C:\\note.lnk"), link));
    EXPECT_EQ(sys::GetLastError(), sys::ERROR_INVALID_DATA);
}

} // namespace
} // namespace kestrel::test
