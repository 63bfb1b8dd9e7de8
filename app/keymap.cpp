#include "app/keymap.h"

#include "app/functionentry.h"

namespace kestrel {

TPanelKeyAction MapPanelKey(int key, Qt::KeyboardModifiers modifiers, bool searching)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (alt)
        return {};
    if (ctrl) {
        if (!shift && key >= Qt::Key_F1 && key <= Qt::Key_F11)
            return {TPanelKey::FunctionKey, 7 + key - Qt::Key_F1};
        return {};
    }
    if (shift) {
        if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
            return {TPanelKey::Favorite, key - Qt::Key_F1};
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return {TPanelKey::DriveRoot, key - Qt::Key_A};
        // Shift+"/" gives "?" on most layouts.
        if (key == Qt::Key_Question || (key == Qt::Key_Slash && !keypad))
            return {TPanelKey::Network, 0};
    }
    if (keypad) {
        switch (key) {
        case Qt::Key_Plus:
            return {TPanelKey::SelectGroup, 0};
        case Qt::Key_Minus:
            return {TPanelKey::UnselectGroup, 0};
        case Qt::Key_Asterisk:
            return {TPanelKey::InvertSelection, 0};
        default:
            break;
        }
    }
    if (shift)
        return {};
    if (key >= Qt::Key_F2 && key <= Qt::Key_F8)
        return {TPanelKey::FunctionKey, key - Qt::Key_F2};
    switch (key) {
    case Qt::Key_Menu:
        return {TPanelKey::ContextMenu, 0};
    case Qt::Key_Delete:
        return {TPanelKey::Delete, 0};
    case Qt::Key_Insert:
        return {TPanelKey::Copy, 0};
    case Qt::Key_Backspace:
        return searching ? TPanelKeyAction{} : TPanelKeyAction{TPanelKey::UpOneLevel, 0};
    case Qt::Key_Period:
        return searching || keypad ? TPanelKeyAction{} : TPanelKeyAction{TPanelKey::UpOneLevel, 0};
    case Qt::Key_Backslash:
        return {TPanelKey::Root, 0};
    case Qt::Key_Slash:
        return keypad ? TPanelKeyAction{} : TPanelKeyAction{TPanelKey::CommandLine, 0};
    case Qt::Key_Escape:
        return {TPanelKey::Escape, 0};
    default:
        return {};
    }
}

QString FunctionKeyName(int slot)
{
    return slot < 7 ? QStringLiteral("F%1").arg(slot + 2) : QStringLiteral("^F%1").arg(slot - 6);
}

TEditKeys EditKeys(bool extractOwnsCtrlX, bool commandLineOpen)
{
    const auto free = [commandLineOpen](Qt::Key k) {
        return commandLineOpen ? QKeyCombination() : Qt::CTRL | k;
    };
    if (extractOwnsCtrlX)
        return {free(Qt::Key_C), Qt::CTRL | Qt::Key_T, free(Qt::Key_V), free(Qt::Key_X)};
    return {free(Qt::Key_C), free(Qt::Key_X), free(Qt::Key_V), Qt::CTRL | Qt::Key_E};
}

QStringList KeyHelpItems(TKeyHelpMode mode, bool extractOwnsCtrlX)
{
    switch (mode) {
    case khAlt:
        return QStringLiteral("C=Copy\nM=Move\nD=Delete\nR=Rename\nK=NewFolder\nU=SelectAll\n"
                              "V=TextView")
            .split(QLatin1Char('\n'));
    case khCtrl:
        return QStringList{QStringLiteral("Z=Attr/Time"),
                           QStringLiteral("A=Add (Archive)"),
                           extractOwnsCtrlX ? QStringLiteral("X=Extract")
                                            : QStringLiteral("E=Extract"),
                           QStringLiteral("D=Desktop"),
                           QStringLiteral("W=MyDocuments"),
                           QStringLiteral("L=FindNext")};
    case khNormal:
        break;
    }
    return {};
}

QString FunctionKeyLabel(const QString &entry)
{
    return FunctionEntryLabel(ParseFunctionEntry(entry));
}

} // namespace kestrel
