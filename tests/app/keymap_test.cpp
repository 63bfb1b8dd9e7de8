#include "app/keymap.h"
#include "app/workfolders.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    bool searching;
    TPanelKey expected;
    int index;
};

TEST(PanelKeyMap, KeysMapToTheirActions)
{
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const KeyCase cases[] = {
        {Qt::Key_Plus, pad, false, TPanelKey::SelectGroup, 0},
        {Qt::Key_Plus, none, false, TPanelKey::None, 0}, // the main keyboard's + searches
        {Qt::Key_Minus, pad, false, TPanelKey::UnselectGroup, 0},
        {Qt::Key_Asterisk, pad, false, TPanelKey::InvertSelection, 0},
        {Qt::Key_Slash, pad, false, TPanelKey::None, 0}, // Select Same Ext, a menu key
        {Qt::Key_Slash, none, false, TPanelKey::CommandLine, 0},
        {Qt::Key_Slash, Qt::ShiftModifier, false, TPanelKey::Network, 0},
        {Qt::Key_Question, Qt::ShiftModifier, false, TPanelKey::Network, 0},
        {Qt::Key_Menu, none, false, TPanelKey::ContextMenu, 0},
        {Qt::Key_Delete, none, false, TPanelKey::Delete, 0},
        {Qt::Key_Insert, none, false, TPanelKey::Copy, 0},
        {Qt::Key_Backspace, none, false, TPanelKey::UpOneLevel, 0},
        {Qt::Key_Backspace, none, true, TPanelKey::None, 0},
        {Qt::Key_Period, none, false, TPanelKey::UpOneLevel, 0},
        {Qt::Key_Period, none, true, TPanelKey::None, 0},
        {Qt::Key_Backslash, none, true, TPanelKey::Root, 0},
        {Qt::Key_Escape, none, false, TPanelKey::Escape, 0},
        {Qt::Key_F1, none, false, TPanelKey::None, 0}, // Help, a menu key
        {Qt::Key_F2, none, false, TPanelKey::FunctionKey, 0},
        {Qt::Key_F8, none, false, TPanelKey::FunctionKey, 6},
        {Qt::Key_F9, none, false, TPanelKey::None, 0},
        {Qt::Key_F1, Qt::ControlModifier, false, TPanelKey::FunctionKey, 7},
        {Qt::Key_F11, Qt::ControlModifier, false, TPanelKey::FunctionKey, 17},
        {Qt::Key_F12, Qt::ControlModifier, false, TPanelKey::None, 0}, // Options
        {Qt::Key_F1, Qt::ShiftModifier, false, TPanelKey::Favorite, 0},
        {Qt::Key_F12, Qt::ShiftModifier, false, TPanelKey::Favorite, 11},
        {Qt::Key_A, Qt::ShiftModifier, false, TPanelKey::DriveRoot, 0},
        {Qt::Key_Z, Qt::ShiftModifier, true, TPanelKey::DriveRoot, 25},
        {Qt::Key_A, none, false, TPanelKey::None, 0},
        {Qt::Key_C, Qt::AltModifier, false, TPanelKey::None, 0},
        {Qt::Key_Delete, Qt::ShiftModifier, false, TPanelKey::None, 0},
    };
    for (const KeyCase &c : cases) {
        const TPanelKeyAction action = MapPanelKey(c.key, c.modifiers, c.searching);
        EXPECT_EQ(action.key, c.expected) << std::hex << c.key << " " << int(c.modifiers);
        if (c.expected != TPanelKey::None) {
            EXPECT_EQ(action.index, c.index) << std::hex << c.key;
        }
    }
}

// With the CtrlX option Cut used to be thought to keep Ctrl+X; and the Ctrl
// help said "X=Extract" also when Ctrl+X was Cut's.
TEST(PanelKeyMap, CtrlXGoesToExtractOrCutAndTheHelpSaysWhich)
{
    const QKeyCombination no{};
    const auto ctrl = [](Qt::Key k) { return Qt::CTRL | k; };
    const struct {
        bool extractOwnsCtrlX;
        bool commandLineOpen;
        TEditKeys keys; // copy, cut, paste, extract
    } rows[] = {
        {false, false, {ctrl(Qt::Key_C), ctrl(Qt::Key_X), ctrl(Qt::Key_V), ctrl(Qt::Key_E)}},
        {true, false, {ctrl(Qt::Key_C), ctrl(Qt::Key_T), ctrl(Qt::Key_V), ctrl(Qt::Key_X)}},
        {false, true, {no, no, no, ctrl(Qt::Key_E)}},
        {true, true, {no, ctrl(Qt::Key_T), no, no}},
    };
    for (const auto &row : rows) {
        const TEditKeys keys = EditKeys(row.extractOwnsCtrlX, row.commandLineOpen);
        const auto where = testing::Message() << "CtrlX " << row.extractOwnsCtrlX
                                              << " command line " << row.commandLineOpen;
        EXPECT_EQ(keys.copy, row.keys.copy) << where;
        EXPECT_EQ(keys.cut, row.keys.cut) << where;
        EXPECT_EQ(keys.paste, row.keys.paste) << where;
        EXPECT_EQ(keys.extract, row.keys.extract) << where;
    }
    EXPECT_EQ(KeyHelpItems(khCtrl, true),
              QStringList({"Z=Attr/Time", "A=Add (Archive)", "X=Extract", "D=Desktop",
                           "W=MyDocuments", "L=FindNext"}));
    EXPECT_EQ(KeyHelpItems(khCtrl, false).at(2), QStringLiteral("E=Extract"));
    EXPECT_EQ(KeyHelpItems(khAlt, true), KeyHelpItems(khAlt, false));
    EXPECT_TRUE(KeyHelpItems(khNormal, true).isEmpty());
}

TEST(PanelKeyMap, FunctionKeyNamesAndLabels)
{
    EXPECT_EQ(FunctionKeyName(0), QStringLiteral("F2"));
    EXPECT_EQ(FunctionKeyName(6), QStringLiteral("F8"));
    EXPECT_EQ(FunctionKeyName(7), QStringLiteral("^F1"));
    EXPECT_EQ(FunctionKeyName(17), QStringLiteral("^F11"));
    const std::pair<const char *, const char *> labels[] = {
        {"[Notes]\"C:\\bin\\notes.exe\" !.!", "Notes"},
        {"[My Copy]#copy", "My Copy"},
        {"#textview", "textview"},
        {"\"C:\\Program Files\\edit.exe\" -n", "edit"},
        {"tar.gz.sh x", "tar.gz"},
        {"", ""},
    };
    for (const auto &[entry, label] : labels)
        EXPECT_EQ(FunctionKeyLabel(QString::fromLatin1(entry)), QLatin1String(label)) << entry;
}

TEST(WorkFolders, SlotsKeepTheirFolderAndTellTheirState)
{
    TWorkFolders work;
    EXPECT_EQ(work.State(0, QStringLiteral("C:\\A")), TWorkState::Empty);
    EXPECT_FALSE(work.Set(0, QString()));
    EXPECT_TRUE(work.Set(0, QStringLiteral("C:\\A")));
    EXPECT_FALSE(work.Set(0, QStringLiteral("C:\\B")));
    EXPECT_EQ(work.Get(0), QStringLiteral("C:\\A"));
    EXPECT_EQ(work.State(0, QStringLiteral("c:\\a")), TWorkState::Here);
    EXPECT_EQ(work.State(0, QStringLiteral("C:\\B")), TWorkState::Other);
    work.Clear(0);
    EXPECT_FALSE(work.IsSet(0));
}

} // namespace
} // namespace kestrel
