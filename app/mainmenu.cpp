#include "app/mainmenu.h"

#include "app/keymap.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>

namespace kestrel {

namespace {

constexpr QKeyCombination none{};
constexpr QKeyCombination Alt(Qt::Key k)
{
    return Qt::ALT | k;
}
constexpr QKeyCombination Ctrl(Qt::Key k)
{
    return Qt::CTRL | k;
}
constexpr QKeyCombination CtrlAlt(Qt::Key k)
{
    return Qt::CTRL | Qt::ALT | k;
}
constexpr QKeyCombination ShiftCtrl(Qt::Key k)
{
    return Qt::SHIFT | Qt::CTRL | k;
}

constexpr unsigned sep = mrfSeparator;
constexpr unsigned later = mrfLater;
constexpr unsigned check = mrfCheck;
constexpr unsigned radio = mrfRadio | mrfCheck;

// Menus in the order of the menu bar, with captions whose accelerators leave
// every Alt+letter command key free.
struct TMenuTitle {
    const char *name;
    const char *caption;
};
const TMenuTitle menuTitles[] = {
    {"File", "&File"},     {"Folder", "F&older"},   {"Edit", "&Edit"},   {"View", "Vie&w"},
    {"System", "&System"}, {"Archive", "&Archive"}, {"Tools", "&Tools"}, {"Help", "&Help"},
};

const QList<TMenuRow> rows = {
    {"File", "", "&Open", none, TCmd::Open, 0},
    {"File", "", "Open with &Parameters", Ctrl(Qt::Key_Return), TCmd::OpenWithParameters, 0},
    {"File", "", "&Copy", Alt(Qt::Key_C), TCmd::Copy, sep},
    {"File", "", "Mo&ve", Alt(Qt::Key_M), TCmd::Move, 0},
    {"File", "", "&Delete", Alt(Qt::Key_D), TCmd::Delete, 0},
    {"File", "", "&Rename", Alt(Qt::Key_R), TCmd::Rename, sep},
    {"File", "", "&Attributes/Time...", Ctrl(Qt::Key_Z), TCmd::Attributes, 0},
    {"File", "", "D&escription", Alt(Qt::Key_Return), TCmd::Description, 0},
    {"File", "", "Proper&ties", Qt::Key_F9, TCmd::Properties, 0},
    {"File", "", "Create Ne&w", Ctrl(Qt::Key_N), TCmd::CreateNew, sep},
    {"File", "", "E&xit", Alt(Qt::Key_X), TCmd::Exit, sep},

    {"Folder", "", "&Tree...", Qt::Key_F10, TCmd::Tree, 0},
    {"Folder", "", "&Favorites", Qt::Key_F11, TCmd::Favorites, 0},
    {"Folder", "", "&Create New Folder", Alt(Qt::Key_K), TCmd::CreateNewFolder, sep},
    {"Folder", "", "&Back", Alt(Qt::Key_Left), TCmd::Back, sep},
    {"Folder", "", "&Forward", Alt(Qt::Key_Right), TCmd::Forward, 0},
    {"Folder", "", "&Up One Level", none, TCmd::UpOneLevel, 0},
    {"Folder", "", "Roo&t", none, TCmd::Root, 0},
    {"Folder", "", "Last &Destination", Ctrl(Qt::Key_Backspace), TCmd::LastDestination, 0},
    {"Folder", "", "&Go to...", Alt(Qt::Key_G), TCmd::GoTo, mrfHidden | later},
    {"Folder", "", "&Network...", none, TCmd::Network, sep},
    {"Folder", "", "F&ind Files...", Alt(Qt::Key_F7), TCmd::FindFiles, 0},
    {"Folder", "&Set WorkFolder", "Work Folder &1", Ctrl(Qt::Key_1), TCmd::SetWork1, sep},
    {"Folder", "&Set WorkFolder", "Work Folder &2", Ctrl(Qt::Key_2), TCmd::SetWork2, 0},
    {"Folder", "&Set WorkFolder", "Work Folder &3", Ctrl(Qt::Key_3), TCmd::SetWork3, 0},
    {"Folder", "Go to &WorkFolder", "Work Folder &1", Alt(Qt::Key_F1), TCmd::GoWork1, 0},
    {"Folder", "Go to &WorkFolder", "Work Folder &2", Alt(Qt::Key_F2), TCmd::GoWork2, 0},
    {"Folder", "Go to &WorkFolder", "Work Folder &3", Alt(Qt::Key_F3), TCmd::GoWork3, 0},
    {"Folder", "", "&Refresh", Ctrl(Qt::Key_R), TCmd::Refresh, sep},

    {"Edit", "", "&Copy", Ctrl(Qt::Key_C), TCmd::EditCopy, 0},
    {"Edit", "", "Cu&t", Ctrl(Qt::Key_X), TCmd::EditCut, 0},
    {"Edit", "", "&Paste", Ctrl(Qt::Key_V), TCmd::EditPaste, 0},
    {"Edit", "", "Paste &Shortcut", CtrlAlt(Qt::Key_V), TCmd::PasteShortcut, 0},
    {"Edit", "", "Copy Pat&h Name", CtrlAlt(Qt::Key_C), TCmd::CopyPathName, sep},
    {"Edit", "", "Select &All", Alt(Qt::Key_U), TCmd::SelectAll, sep},
    {"Edit", "", "&Invert Selection", ShiftCtrl(Qt::Key_I), TCmd::InvertSelection, 0},
    {"Edit", "", "&Restore Selection", ShiftCtrl(Qt::Key_R), TCmd::RestoreSelection, 0},
    {"Edit", "", "Select &Group", none, TCmd::SelectGroup, sep},
    {"Edit", "", "&Unselect Group", none, TCmd::UnselectGroup, 0},
    {"Edit", "", "Select Same &Ext", Qt::KeypadModifier | Qt::Key_Slash, TCmd::SelectSameExt, 0},
    {"Edit", "", "&Find Next", Ctrl(Qt::Key_L), TCmd::FindNext, sep},

    {"View", "", "&Toolbar", none, TCmd::Toolbar, check},
    {"View", "", "Status &Bar", none, TCmd::StatusBar, check},
    {"View", "", "L&ist", none, TCmd::List, sep | radio},
    {"View", "", "Lar&ge Icons", none, TCmd::LargeIcons, radio},
    {"View", "A&rrange", "by &Name", CtrlAlt(Qt::Key_N), TCmd::SortName, sep | radio},
    {"View", "A&rrange", "by &Extension", CtrlAlt(Qt::Key_E), TCmd::SortExt, radio},
    {"View", "A&rrange", "by &Size", CtrlAlt(Qt::Key_S), TCmd::SortSize, radio},
    {"View", "A&rrange", "by &Time", CtrlAlt(Qt::Key_T), TCmd::SortTime, radio},
    {"View", "A&rrange", "None", CtrlAlt(Qt::Key_O), TCmd::SortNone, radio},
    {"View", "A&rrange", "Descend", Alt(Qt::Key_Minus), TCmd::Descend, sep | check},
    {"View", "&Column", "&Auto", Alt(Qt::Key_0), TCmd::ColumnAuto, radio},
    {"View", "&Column", "&1 Col", Alt(Qt::Key_1), TCmd::Column1, radio},
    {"View", "&Column", "&2 Col", Alt(Qt::Key_2), TCmd::Column2, radio},
    {"View", "&Column", "&3 Col", Alt(Qt::Key_3), TCmd::Column3, radio},
    {"View", "&Column", "&4 Col", Alt(Qt::Key_4), TCmd::Column4, radio},
    {"View", "&Column", "&5 Col", Alt(Qt::Key_5), TCmd::Column5, radio},
    {"View", "&Column", "&6 Col", Alt(Qt::Key_6), TCmd::Column6, radio},
    {"View", "&Filter", "&All Files", none, TCmd::FilterAll, radio},
    {"View", "&Filter", "Pro&gram Files", none, TCmd::FilterProgram, radio},
    {"View", "&Filter", "&Document files", none, TCmd::FilterDocument, radio},
    {"View", "&Filter", "&Image files", none, TCmd::FilterImage, radio},
    {"View", "&Filter", "&Multimedia files", none, TCmd::FilterMultimedia, radio},
    {"View", "&Filter", "A&rchive files", none, TCmd::FilterArchive, radio},
    {"View", "&Filter", "Custom &Filter", Ctrl(Qt::Key_F), TCmd::CustomFilter, sep | radio},
    {"View", "", "&Long Filename", Alt(Qt::Key_L), TCmd::LongFilename, sep | check},
    {"View", "", "&Hidden File", Alt(Qt::Key_Z), TCmd::HiddenFile, check},
    {"View", "", "&Auto Refresh List", none, TCmd::AutoRefresh, sep | check},

    {"System", "", "&Desktop", Ctrl(Qt::Key_D), TCmd::Desktop, 0},
    {"System", "", "&Start Menu", Ctrl(Qt::Key_S), TCmd::StartMenu, 0},
    {"System", "", "&My Documents", Ctrl(Qt::Key_W), TCmd::MyDocuments, 0},
    {"System", "", "&Control Panel", none, TCmd::ControlPanel, sep},
    {"System", "", "Add/Remo&ve Programs", none, TCmd::AddRemovePrograms, 0},
    {"System", "", "&Recycle Bin", Ctrl(Qt::Key_B), TCmd::RecycleBin, sep},
    {"System", "", "&Empty Recycle Bin", none, TCmd::EmptyRecycleBin, 0},
    {"System", "", "Rest&ore from Recycle Bin", ShiftCtrl(Qt::Key_B), TCmd::Restore, 0},
    {"System", "", "&Go to Temp Folder", Ctrl(Qt::Key_P), TCmd::GoToTemp, sep},
    {"System", "", "Empty &Temp Folder", none, TCmd::EmptyTemp, 0},
    {"System", "", "&Format...", none, TCmd::Format, sep},
    {"System", "", "Comm&and Line", none, TCmd::CommandLine, sep},

    {"Archive", "", "&Add to Archive", Ctrl(Qt::Key_A), TCmd::AddToArchive, 0},
    {"Archive", "", "&Move to Archive", Ctrl(Qt::Key_M), TCmd::MoveToArchive, 0},
    {"Archive", "", "E&xtract", Ctrl(Qt::Key_E), TCmd::Extract, 0},
    {"Archive", "", "P&roperties", none, TCmd::ArchiveProperties, sep},
    {"Archive", "", "In&stall", Ctrl(Qt::Key_I), TCmd::Install, 0},

    {"Tools", "", "&View Text", Alt(Qt::Key_V), TCmd::ViewText, 0},
    {"Tools", "", "&Edit Text", Alt(Qt::Key_B), TCmd::EditText, 0},
    {"Tools", "", "&Delete All Descriptions", none, TCmd::DeleteAllDescriptions, sep},
    {"Tools", "", "&Save Selected List", none, TCmd::SaveSelectedList, 0},
    {"Tools", "", "&Lowercase Filename", none, TCmd::LowercaseFilename, sep},
    {"Tools", "", "&Uppercase Filename", none, TCmd::UppercaseFilename, 0},
    {"Tools", "", "Spli&t File...", ShiftCtrl(Qt::Key_S), TCmd::SplitFile, sep},
    {"Tools", "", "&Join Files", ShiftCtrl(Qt::Key_A), TCmd::JoinFiles, 0},
    {"Tools", "", "Dis&k Copy", none, TCmd::DiskCopy, sep},
    {"Tools", "", "&Map Network Drive...", none, TCmd::MapNetworkDrive, sep},
    {"Tools", "", "Disconnect &Network Drive...", none, TCmd::DisconnectNetworkDrive, 0},
    {"Tools", "", "&Create Shortcut to Desktop", Ctrl(Qt::Key_K), TCmd::ShortcutToDesktop, sep},
    {"Tools", "", "&Options...", Ctrl(Qt::Key_F12), TCmd::Options, sep},

    {"Help", "", "&Contents", Qt::Key_F1, TCmd::HelpContents, 0},
    {"Help", "", "&Shortcut", none, TCmd::HelpShortcut, 0},
    {"Help", "", "&About...", none, TCmd::About, sep},

    {"Context", "", "&Explorer Menu", none, TCmd::ExplorerMenu, later},
    {"Context", "", "Open &With...", none, TCmd::OpenWith, later},
    {"Context", "", "De&scription", none, TCmd::Description, sep},
    {"Context", "", "&Copy", none, TCmd::Copy, sep},
    {"Context", "", "&Move", none, TCmd::Move, 0},
    {"Context", "", "&Delete", none, TCmd::Delete, 0},
    {"Context", "", "&Rename", none, TCmd::Rename, 0},
    {"Context", "", "Rest&ore", none, TCmd::Restore, 0},
    {"Context", "", "Attributes/Time(&Z)", none, TCmd::Attributes, 0},
    {"Context", "", "&Add to Archive", none, TCmd::AddToArchive, sep},
    {"Context", "", "E&xtract", none, TCmd::Extract, 0},
    {"Context", "", "Extract to ", none, TCmd::ExtractTo, 0},
    {"Context", "", "Create Shortcut", none, TCmd::CreateShortcut, sep},
    {"Context", "", "Paste(&V)", none, TCmd::EditPaste, 0},
    {"Context", "", "Proper&ties", none, TCmd::Properties, sep},

    {"ArchiveContext", "", "&Open", none, TCmd::Open, 0},
    {"ArchiveContext", "", "E&xtract", none, TCmd::Extract, 0},
    {"ArchiveContext", "", "&Close", none, TCmd::CloseArchive, sep},
};

// Alt pressed and released alone leaves the keys with the panel: the menu
// bar does not take them (the menus open with Alt and their letter).
class TMenuBarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

const QList<TMenuRow> &TMainMenu::Rows()
{
    return rows;
}

TMainMenu::TMainMenu(QMainWindow &window)
    : QObject(&window), contextMenu(new QMenu(&window)), archiveMenu(new QMenu(&window))
{
    auto *style = new TMenuBarStyle;
    style->setParent(window.menuBar());
    window.menuBar()->setStyle(style);
    QHash<QString, QMenu *> menus;
    for (const TMenuTitle &title : menuTitles)
        menus.insert(QLatin1String(title.name),
                     window.menuBar()->addMenu(QString::fromLatin1(title.caption)));
    menus.insert(QStringLiteral("Context"), contextMenu);
    menus.insert(QStringLiteral("ArchiveContext"), archiveMenu);

    QHash<QMenu *, QActionGroup *> groups;
    for (const TMenuRow &row : rows) {
        QMenu *const top = menus.value(QLatin1String(row.menu));
        QMenu *menu = top;
        if (*row.submenu) {
            const QString key =
                QLatin1String(row.menu) + QLatin1Char('>') + QLatin1String(row.submenu);
            if (!menus.contains(key)) {
                if (row.flags & mrfSeparator)
                    menu->addSeparator();
                menus.insert(key, menu->addMenu(QString::fromLatin1(row.submenu)));
            }
            menu = menus.value(key);
        }
        if ((row.flags & mrfSeparator) && !menu->isEmpty())
            menu->addSeparator();
        QAction *item = menu->addAction(QString::fromLatin1(row.caption));
        item->setObjectName(QString::fromLatin1(row.caption));
        if (row.shortcut != none)
            item->setShortcut(QKeySequence(row.shortcut));
        item->setCheckable(row.flags & mrfCheck);
        if ((row.flags & mrfRadio) == mrfRadio) {
            QActionGroup *&group = groups[menu];
            if (!group)
                group = new QActionGroup(menu);
            group->addAction(item);
        }
        item->setVisible(!(row.flags & mrfHidden));
        item->setEnabled(!(row.flags & mrfLater));
        const TCmd cmd = row.cmd;
        connect(item, &QAction::triggered, this, [this, cmd] {
            if (OnCommand)
                OnCommand(cmd);
        });
        if (top == contextMenu)
            contextItems.insert(cmd, item);
        else if (top != archiveMenu)
            items.insert(cmd, item);
    }
    ApplyEditKeys();
}

void TMainMenu::SetCtrlX(bool extractOwnsCtrlX)
{
    ctrlX = extractOwnsCtrlX;
    ApplyEditKeys();
}

void TMainMenu::SetEditKeys(bool menuOwnsThem)
{
    editKeys = menuOwnsThem;
    ApplyEditKeys();
}

void TMainMenu::ApplyEditKeys()
{
    const auto sequence = [](QKeyCombination k) {
        return k == none ? QKeySequence() : QKeySequence(k);
    };
    const TEditKeys keys = EditKeys(ctrlX, !editKeys);
    items.value(TCmd::EditCopy)->setShortcut(sequence(keys.copy));
    items.value(TCmd::EditCut)->setShortcut(sequence(keys.cut));
    items.value(TCmd::EditPaste)->setShortcut(sequence(keys.paste));
    items.value(TCmd::Extract)->setShortcut(sequence(keys.extract));
}

} // namespace kestrel
