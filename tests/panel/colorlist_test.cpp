#include "panel/colorlist.h"

#include "platform/errors.h"
#include "platform/faults.h"
#include "platform/names.h"
#include "tests/support/machine.h"

namespace kestrel {
namespace {

constexpr TColorRef Silver = 12632256;

class ColorListTest : public test::MachineTest {
protected:
    TColorList LoadedFrom(const QByteArray &contents)
    {
        MakeFile(QStringLiteral("C:\\kestrel.col"), contents);
        TColorList list;
        list.LoadFromFile(QStringLiteral("C:\\kestrel.col"));
        return list;
    }
};

TEST_F(ColorListTest, BuiltInColoursBeforeAnyFile)
{
    const TColorList list;
    const TColorRef expected[BasicColorCount] = {0,   16744576, 4210943,  16744576, 65535,
                                                 255, Silver,   16777215, 255,      16777215};
    for (int i = 0; i < BasicColorCount; ++i)
        EXPECT_EQ(list.GetColor(i), expected[i]) << i;
    EXPECT_EQ(list.GetColor(-1), 0u);
    EXPECT_EQ(list.GetColor(BasicColorCount), 0u);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), Silver);
}

TEST_F(ColorListTest, ExtensionsCompareWithoutRegardToCase)
{
    const TColorList list = LoadedFrom("[Basic]\r\nNORMAL=1234\r\n\r\n[Ext]\r\n"
                                       "exe=65280\r\nDoc=255\r\ndoc=16711680\r\nÄbc=77\r\n");
    struct Row {
        const char *ext;
        TColorRef color;
    } rows[] = {
        {"EXE", 65280}, {"exe", 65280}, {"eXe", 65280}, {"DOC", 255}, {"doc", 255},
        {"äBC", 77},    {"ex", 1234},   {"exe2", 1234}, {"", 1234},
    };
    for (const Row &r : rows)
        EXPECT_EQ(list.GetExtColor(QString::fromUtf8(r.ext)), r.color) << r.ext;

    // Extensions with different undecodable bytes keep their own colours.
    const TColorList raw = LoadedFrom("[Ext]\r\nA\xBD=6\r\nA\xA2=7\r\n");
    EXPECT_EQ(raw.GetExtColor(sys::DecodeName("a\xBD")), 6u);
    EXPECT_EQ(raw.GetExtColor(sys::DecodeName("A\xA2")), 7u);
}

TEST_F(ColorListTest, OnlyExtSectionKeepsDefaultBasicColours)
{
    const TColorList list = LoadedFrom("[Ext]\r\nDOC=255\r\n");
    EXPECT_EQ(list.GetColor(ciBack), 0u);
    EXPECT_EQ(list.GetColor(ciFolder), 4210943u);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("doc")), 255u);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), Silver);
}

TEST_F(ColorListTest, BasicKeysAnyOrderAnyCaseFirstLineCounts)
{
    const TColorList list = LoadedFrom("[Basic]\r\ntitle=9\r\nBACK=1\r\nMB=8\r\nback=100\r\n"
                                       "Folder=2\r\nTBACK=55\r\n\r\n[Ext]\r\n");
    EXPECT_EQ(list.GetColor(ciBack), 1u);
    EXPECT_EQ(list.GetColor(ciFolder), 2u);
    EXPECT_EQ(list.GetColor(ciMB), 8u);
    EXPECT_EQ(list.GetColor(ciTitle), 9u);
    EXPECT_EQ(list.GetColor(ciLine), 16744576u) << "missing key takes its default";
    EXPECT_EQ(list.GetExtColor(QStringLiteral("back")), Silver) << "basic lines left the table";
}

TEST_F(ColorListTest, MissingOrUnreadableFileResetsBasicColoursKeepsExtensions)
{
    for (const bool missing : {true, false}) {
        TColorList list = LoadedFrom("[Basic]\r\nBACK=7\r\n\r\n[Ext]\r\ntxt=42\r\n");
        ASSERT_EQ(list.GetColor(ciBack), 7u);
        if (!missing)
            sys::InjectFault(sys::FaultOp::Read, 1, 30);
        list.LoadFromFile(missing ? QStringLiteral("C:\\none.col")
                                  : QStringLiteral("C:\\kestrel.col"));
        EXPECT_EQ(list.GetColor(ciBack), 0u) << missing;
        EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), 42u) << missing;
    }
}

TEST_F(ColorListTest, ReloadReplacesExtensionTable)
{
    TColorList list = LoadedFrom("[Ext]\r\ntxt=42\r\n");
    MakeFile(QStringLiteral("C:\\other.col"), "[Ext]\r\ndoc=43\r\n");
    list.LoadFromFile(QStringLiteral("C:\\other.col"));
    EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), Silver);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("doc")), 43u);
}

TEST_F(ColorListTest, BadInputLoadsWithoutHarm)
{
    struct Row {
        const char *what;
        QByteArray contents;
        TColorRef back, normal, doc, txt;
    } rows[] = {
        {"no [Ext]: every line is an extension line", "[Basic]\r\nBACK=3\r\nNORMAL=4\r\ndoc=5\r\n",
         3, 4, 5, 4},
        {"non-numeric colours",
         "[Basic]\r\nBACK=red\r\nNORMAL=\r\n\r\n[Ext]\r\ndoc=blue\r\ndoc=9\r\n", 0, Silver, Silver,
         Silver},
        {"out of range, negative, hex", "BACK=99999999999\r\nNORMAL=-1\r\n[Ext]\r\ndoc=0x10\r\n", 0,
         Silver, Silver, Silver},
        {"junk lines", "garbage\r\n==\r\n=5\r\n[ext]\r\n\x01\x02\r\n[Ext]\r\nnoequals\r\ntxt=6\r\n",
         0, Silver, Silver, 6},
        {"LF only and spaces around numbers", "BACK= 12 \n[Ext]\ntxt=6\ndoc=7", 12, Silver, 7, 6},
        {"not UTF-8", "BACK=1\xff\r\n[Ext]\r\n\xfe\xff=3\r\ntxt\xc3=4\r\ndoc=8\r\n", 0, Silver, 8,
         Silver},
        {"empty file", "", 0, Silver, Silver, Silver},
        {"NUL bytes", QByteArray("BACK=2\0\r\n[Ext]\r\ndoc=\0 3\r\ntxt=1\r\n", 32), 0, Silver,
         Silver, 1},
    };
    for (const Row &r : rows) {
        const TColorList list = LoadedFrom(r.contents);
        EXPECT_EQ(list.GetColor(ciBack), r.back) << r.what;
        EXPECT_EQ(list.GetColor(ciNormal), r.normal) << r.what;
        EXPECT_EQ(list.GetExtColor(QStringLiteral("doc")), r.doc) << r.what;
        EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), r.txt) << r.what;
    }
}

TEST_F(ColorListTest, HugeFileLoads)
{
    QByteArray big = "[Basic]\r\nBACK=11\r\n\r\n[Ext]\r\n";
    for (int i = 0; i < 100000; ++i)
        big += "x" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    big += QByteArray(4 * 1024 * 1024, 'j') + "\r\ntxt=5\r\n";
    const TColorList list = LoadedFrom(big);
    EXPECT_EQ(list.GetColor(ciBack), 11u);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("X99999")), 99999u);
    EXPECT_EQ(list.GetExtColor(QStringLiteral("txt")), 5u);
}

const QByteArray CanonicalFile = "[Basic]\r\n"
                                 "BACK=0\r\nLINE=16744576\r\nNORMAL=12632256\r\nFOLDER=4210943\r\n"
                                 "TBACK=16777215\r\nTHINT=8421504\r\n"
                                 "\r\n"
                                 "[Ext]\r\n"
                                 "bat=65280\r\nDOC=255\r\nexe=65280\r\nTxt=16776960\r\nzip=255\r\n";

TEST_F(ColorListTest, ColourSetReadsIntoDialogForm)
{
    MakeFile(QStringLiteral("C:\\set.col"), CanonicalFile);
    TColorSet set;
    ASSERT_TRUE(TColorList::ReadColorSet(QStringLiteral("C:\\set.col"), set));
    EXPECT_EQ(set.Basic, QStringList({"BACK=0", "LINE=16744576", "NORMAL=12632256",
                                      "FOLDER=4210943", "TBACK=16777215", "THINT=8421504"}));
    EXPECT_EQ(set.Ext, QStringList({"65280=bat;exe", "255=DOC;zip", "16776960=Txt"}));
}

TEST_F(ColorListTest, ColourSetRoundTripIsByteForByte)
{
    const QByteArray nonUtf8 = "[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\n\xe4xt=5\r\n\xff=6\r\n";
    for (const QByteArray &file : {CanonicalFile, nonUtf8}) {
        MakeFile(QStringLiteral("C:\\set.col"), file);
        TColorSet set;
        ASSERT_TRUE(TColorList::ReadColorSet(QStringLiteral("C:\\set.col"), set));
        ASSERT_TRUE(TColorList::WriteColorSet(QStringLiteral("D:\\copy.col"), set));
        EXPECT_EQ(Contents(QStringLiteral("D:\\copy.col")), file);
    }
}

TEST_F(ColorListTest, WriteSortsExtensionsAndSkipsEmptyOnes)
{
    const TColorSet set{{"BACK=1"}, {"255=txt;;DOC", "65280=Bat;", "=orphan"}};
    ASSERT_TRUE(TColorList::WriteColorSet(QStringLiteral("C:\\out.col"), set));
    EXPECT_EQ(Contents(QStringLiteral("C:\\out.col")),
              QByteArray("[Basic]\r\nBACK=1\r\n\r\n[Ext]\r\nBat=65280\r\nDOC=255\r\ntxt=255\r\n"));
}

TEST_F(ColorListTest, RepeatedSavesDoNotGrowTheFile)
{
    // A set read without its separator and header lines must not gain them twice.
    MakeFile(QStringLiteral("C:\\set.col"), "[Basic]\r\nBACK=0\r\n\r\n\r\n[Ext]\r\ndoc=1\r\n");
    QByteArray previous;
    for (int round = 0; round < 3; ++round) {
        TColorSet set;
        ASSERT_TRUE(TColorList::ReadColorSet(QStringLiteral("C:\\set.col"), set));
        ASSERT_TRUE(TColorList::WriteColorSet(QStringLiteral("C:\\set.col"), set));
        const QByteArray now = Contents(QStringLiteral("C:\\set.col"));
        if (round > 0) {
            EXPECT_EQ(now, previous);
        }
        previous = now;
    }
    EXPECT_EQ(previous, QByteArray("[Basic]\r\nBACK=0\r\n\r\n[Ext]\r\ndoc=1\r\n"));
}

TEST_F(ColorListTest, ColourSetWithoutExtSectionIsAllBasic)
{
    MakeFile(QStringLiteral("C:\\set.col"), "[Basic]\r\nBACK=0\r\ndoc=5\r\njunk\r\n");
    TColorSet set;
    ASSERT_TRUE(TColorList::ReadColorSet(QStringLiteral("C:\\set.col"), set));
    EXPECT_EQ(set.Basic, QStringList({"BACK=0", "doc=5", "junk"}));
    EXPECT_TRUE(set.Ext.isEmpty());
}

TEST_F(ColorListTest, UnreadableOrUnwritableColourSetFails)
{
    TColorSet set{{"BACK=1"}, {"5=doc"}};
    EXPECT_FALSE(TColorList::ReadColorSet(QStringLiteral("C:\\none.col"), set));
    EXPECT_TRUE(set.Basic.isEmpty());
    EXPECT_TRUE(set.Ext.isEmpty());

    MakeFile(QStringLiteral("C:\\keep.col"), CanonicalFile);
    sys::InjectFault(sys::FaultOp::Write, 1, 112);
    EXPECT_FALSE(TColorList::WriteColorSet(QStringLiteral("C:\\keep.col"), {{"BACK=1"}, {}}));
    EXPECT_EQ(sys::GetLastError(), 112u);
    EXPECT_EQ(Contents(QStringLiteral("C:\\keep.col")), CanonicalFile);
}

} // namespace
} // namespace kestrel
