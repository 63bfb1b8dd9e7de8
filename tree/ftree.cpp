#include "tree/ftree.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/filedelete.h"
#include "ops/filefunction.h"
#include "panel/descriptfile.h"
#include "panel/drivefacts.h"
#include "panel/fdrive.h"
#include "panel/fproperties.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shell.h"
#include "text/strings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {

namespace {

bool IsFolder(const QString &path)
{
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    return attributes != sys::INVALID_FILE_ATTRIBUTES &&
           (attributes & sys::FILE_ATTRIBUTE_DIRECTORY);
}

// A name typed for a new or renamed folder is joined to its parent: one that
// names no folder there, or another place, is refused.
bool ValidFolderName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(':') ||
            c.unicode() < 0x20)
            return false;
    }
    return true;
}

// The volume name of a drive as the drive dialog shows it.
QString VolumeName(const QString &drive)
{
    if (drive.startsWith(QLatin1Char('\\'))) {
        QString label;
        return sys::GetVolumeInformation(DriveRoot(drive), &label, nullptr) ? label : QString();
    }
    for (const TDriveItem &row : DriveRows({}, QStringLiteral("/"))) {
        if (!row.IsWorkFolder() && sys::SameText(row.name.left(1), drive.left(1)))
            return row.label;
    }
    return QString();
}

QStyle::StandardPixmap DriveGlyph(unsigned type)
{
    switch (type) {
    case sys::DRIVE_REMOVABLE:
        return QStyle::SP_DriveFDIcon;
    case sys::DRIVE_REMOTE:
        return QStyle::SP_DriveNetIcon;
    case sys::DRIVE_CDROM:
        return QStyle::SP_DriveCDIcon;
    default:
        return QStyle::SP_DriveHDIcon;
    }
}

constexpr int maxDriveButtons = 32;

} // namespace

// The "Scanning..." window shown while a drive or branch is read from disk.
// It is modal while it shows, so Cancel and Esc reach it and nothing else can
// switch drives or close the tree window under a running scan.
class TfScan : public QDialog {
public:
    explicit TfScan(QWidget *parent)
        : QDialog(parent), count(new QLabel(this)), folder(new QLabel(this))
    {
        setWindowTitle(QStringLiteral("Scanning..."));
        setObjectName(QStringLiteral("fScan"));
        setWindowModality(Qt::ApplicationModal);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(
            new QLabel(QStringLiteral("Scanning folders for making folder tree"), this));
        layout->addWidget(count);
        folder->setTextFormat(Qt::PlainText);
        folder->setMinimumWidth(320);
        layout->addWidget(folder);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::rejected, this, &TfScan::reject);
        layout->addWidget(buttons);
    }
    void Start()
    {
        found = 0;
        cancelled = false;
        Show(QString());
        adjustSize();
        if (QWidget *over = parentWidget())
            move(over->geometry().center() - rect().center());
        show();
    }
    // False once the user has cancelled.
    bool Step(const QString &name)
    {
        ++found;
        Show(name);
        QApplication::processEvents();
        return !cancelled;
    }
    void reject() override { cancelled = true; }

private:
    void Show(const QString &name)
    {
        count->setText(QString::number(found));
        folder->setText(name);
    }
    QLabel *count;
    QLabel *folder;
    int found = 0;
    bool cancelled = false;
};

TfTree::TfTree(QWidget *parent, const TTreeWindowSettings &settings, TTreeFavorites *favorites)
    : QDialog(parent), FolderView(new TKFolderView(this)), Address(new QLineEdit(this)),
      Volume(new QLabel(this)), lFind(new QLabel(Volume)), FavoritesMenu(new QMenu(this)),
      PopupMenu(new QMenu(this)), favorites(favorites), scanWindow(new TfScan(this))
{
    setObjectName(QStringLiteral("fTree"));
    setWindowTitle(QStringLiteral("Folder Tree"));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    BuildMenus();
    auto *toolBar = new QWidget(this);
    BuildToolBar(toolBar);
    layout->addWidget(toolBar);

    auto *addressRow = new QHBoxLayout;
    addressRow->setContentsMargins(4, 0, 4, 0);
    auto *addressLabel = new QLabel(QStringLiteral("Address :"), this);
    addressLabel->setBuddy(Address);
    addressRow->addWidget(addressLabel);
    Address->setObjectName(QStringLiteral("Address"));
    Address->setReadOnly(true);
    Address->setFocusPolicy(Qt::NoFocus);
    addressRow->addWidget(Address, 1);
    Volume->setObjectName(QStringLiteral("Volume"));
    Volume->setFrameShape(QFrame::StyledPanel);
    Volume->setFrameShadow(QFrame::Sunken);
    Volume->setMinimumWidth(120);
    Volume->setTextFormat(Qt::PlainText);
    addressRow->addWidget(Volume);
    lFind->setObjectName(QStringLiteral("lFind"));
    lFind->setAutoFillBackground(true);
    lFind->setTextFormat(Qt::PlainText);
    lFind->hide();
    layout->addLayout(addressRow);

    FolderView->setObjectName(QStringLiteral("FolderView"));
    if (!settings.fontName.isEmpty())
        FolderView->setFont(QFont(settings.fontName, std::max(1, settings.fontSize)));
    FolderView->SaveInRoot = settings.saveInRoot;
    FolderView->TreePath = settings.treePath;
    FolderView->installEventFilter(this);
    layout->addWidget(FolderView, 1);

    auto *statusBar = new QWidget(this);
    BuildStatusBar(statusBar);
    layout->addWidget(statusBar);

    FolderView->OnChange = [this] { Address->setText(FolderView->GetFolder()); };
    FolderView->OnSelect = [this] { SelectFocused(); };
    FolderView->OnFindChange = [this](const QString &text) {
        lFind->setVisible(!text.isEmpty());
        lFind->setText(QLatin1Char(' ') + text.toUpper());
        lFind->resize(Volume->size());
    };
    FolderView->OnChangeDrive = [this](const QString &drive, int, unsigned) { ChangeDrive(drive); };
    FolderView->OnBeforeScan = [this] {
        scanning = true;
        scanWindow->Start();
    };
    FolderView->OnScan = [this](const QString &folder) { return scanWindow->Step(folder); };
    FolderView->OnAfterScan = [this] {
        scanWindow->hide();
        scanning = false;
        if (isVisible())
            activateWindow();
    };

    setGeometry(settings.geometry);
    if (settings.maximized)
        setWindowState(Qt::WindowMaximized);
    FolderView->setFocus();
}

TfTree::~TfTree()
{
    FolderView->OnBeforeScan = nullptr;
    FolderView->OnScan = nullptr;
    FolderView->OnAfterScan = nullptr;
    FolderView->OnChange = nullptr;
    FolderView->OnChangeDrive = nullptr;
    FolderView->OnFindChange = nullptr;
}

QAction *TfTree::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

bool TfTree::Maximized() const
{
    return windowState() & Qt::WindowMaximized;
}

QRect TfTree::Placement() const
{
    return Maximized() ? normalGeometry() : geometry();
}

QAction *TfTree::AddAction(QMenu *menu, const char *name, const QString &text,
                           const QList<QKeySequence> &keys, const std::function<void()> &run)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, run] {
        if (!scanning)
            run();
    });
    addAction(action);
    if (menu)
        menu->addAction(action);
    return action;
}

void TfTree::BuildMenus()
{
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu *folder = bar->addMenu(QStringLiteral("Fold&er"));
    // Keys of the tree with no menu item of their own go with the command.
    AddAction(
        folder, "Delete", QStringLiteral("&Delete"),
        {QKeySequence(Qt::ALT | Qt::Key_D), QKeySequence(Qt::Key_F8), QKeySequence(Qt::Key_Delete)},
        [this] { DeleteFolder(); });
    AddAction(folder, "Rename", QStringLiteral("&Rename"),
              {QKeySequence(Qt::ALT | Qt::Key_R), QKeySequence(Qt::Key_F2)},
              [this] { RenameFolder(); });
    folder->addSeparator();
    AddAction(folder, "Desktop", QStringLiteral("Desktop"), {QKeySequence(Qt::CTRL | Qt::Key_D)},
              [this] { ShowSystemFolder(0); });
    AddAction(folder, "StartMenu", QStringLiteral("Start Menu"),
              {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { ShowSystemFolder(1); });
    AddAction(folder, "MyDocuments", QStringLiteral("My Documents"),
              {QKeySequence(Qt::CTRL | Qt::Key_W)}, [this] { ShowSystemFolder(2); });
    folder->addSeparator();
    AddAction(folder, "Properties", QStringLiteral("Properties"),
              {QKeySequence(Qt::Key_F9), QKeySequence(Qt::ALT | Qt::Key_Return),
               QKeySequence(Qt::ALT | Qt::Key_Enter)},
              [this] { Properties(); });
    folder->addSeparator();
    AddAction(folder, "Close", QStringLiteral("&Close"), {QKeySequence(Qt::Key_Escape)},
              [this] { reject(); });

    QMenu *tree = bar->addMenu(QStringLiteral("&Tree"));
    AddAction(tree, "Favorites", QStringLiteral("Favorites"), {QKeySequence(Qt::Key_F11)},
              [this] { DropFavorites(); });
    AddAction(
        tree, "CreateNewFolder", QStringLiteral("Create New Folder"),
        {QKeySequence(Qt::ALT | Qt::Key_K), QKeySequence(Qt::Key_F7), QKeySequence(Qt::Key_Insert)},
        [this] { CreateFolder(); });
    tree->addSeparator();
    AddAction(tree, "ExpandOne", QStringLiteral("Expand one level"), {},
              [this] { ExpandCommand(true, false); });
    AddAction(tree, "CollapseOne", QStringLiteral("Collapse one level"), {},
              [this] { ExpandCommand(false, false); });
    AddAction(tree, "ExpandRecursive", QStringLiteral("Expand recursive"), {},
              [this] { ExpandCommand(true, true); });
    AddAction(tree, "CollapseRecursive", QStringLiteral("Collapse recursive"), {},
              [this] { ExpandCommand(false, true); });
    AddAction(tree, "ExpandAll", QStringLiteral("Expand whole tree"), {},
              [this] { WholeTree(true); });
    AddAction(tree, "CollapseAll", QStringLiteral("Collapse whole tree"), {},
              [this] { WholeTree(false); });
    tree->addSeparator();
    AddAction(tree, "PartRefresh", QStringLiteral("Part Refre&sh"),
              {QKeySequence(Qt::ALT | Qt::Key_S), QKeySequence(Qt::Key_F6)},
              [this] { FolderView->PartRefresh(); });
    AddAction(tree, "FullRefresh", QStringLiteral("&Full Refresh"),
              {QKeySequence(Qt::ALT | Qt::Key_F), QKeySequence(Qt::Key_F5)},
              [this] { FolderView->Refresh(); });
    AddAction(tree, "FindNext", QStringLiteral("Find Next"), {QKeySequence(Qt::Key_F3)},
              [this] { FolderView->FindNext(); });

    AddAction(PopupMenu, "PopupSelect", QStringLiteral("&Select"), {}, [this] { SelectFocused(); });
    popupExpand = AddAction(PopupMenu, "PopupExpand", QStringLiteral("E&xpand"), {}, [this] {
        if (TTreeItem *item = FolderView->Focused())
            item->SetExpanded(!item->Expanded);
    });
    PopupMenu->addSeparator();
    AddAction(PopupMenu, "PopupRename", QStringLiteral("&Rename"), {}, [this] { RenameFolder(); });
    AddAction(PopupMenu, "PopupDelete", QStringLiteral("&Delete"), {}, [this] { DeleteFolder(); });
    AddAction(PopupMenu, "PopupPartRefresh", QStringLiteral("Part Re&fresh"), {},
              [this] { FolderView->PartRefresh(); });
    PopupMenu->addSeparator();
    AddAction(PopupMenu, "PopupAddFavorite", QStringLiteral("&Add to Favorites"), {},
              [this] { AddFavorite(); });
    AddAction(PopupMenu, "PopupProperties", QStringLiteral("Prop&erties"), {},
              [this] { Properties(); });
}

void TfTree::BuildToolBar(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);
    const auto toolButton = [&](const QString &text, QStyle::StandardPixmap glyph) {
        auto *button = new QToolButton(bar);
        button->setText(text);
        button->setIcon(style()->standardIcon(glyph));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
        return button;
    };
    favoritesButton = toolButton(QStringLiteral("Favorites "), QStyle::SP_DirLinkIcon);
    favoritesButton->setObjectName(QStringLiteral("FavoritesButton"));
    favoritesButton->setMenu(FavoritesMenu);
    favoritesButton->setPopupMode(QToolButton::InstantPopup);
    connect(FavoritesMenu, &QMenu::aboutToShow, this, [this] { BuildFavorites(); });

    const QStringList systemFolders = {QStringLiteral("Desktop"), QStringLiteral("Start Menu"),
                                       QStringLiteral("My Documents")};
    const QStyle::StandardPixmap systemGlyphs[] = {QStyle::SP_DesktopIcon, QStyle::SP_DirIcon,
                                                   QStyle::SP_DirHomeIcon};
    for (int tag = 0; tag < systemFolders.size(); ++tag) {
        QToolButton *button = toolButton(QString(), systemGlyphs[tag]);
        button->setToolTip(systemFolders[tag]);
        button->setAccessibleName(systemFolders[tag]);
        connect(button, &QToolButton::clicked, this, [this, tag] { ShowSystemFolder(tag); });
    }
    row->addSpacing(8);

    auto *group = new QButtonGroup(bar);
    group->setExclusive(true);
    const auto addDrive = [&](const QString &caption, QStyle::StandardPixmap glyph,
                              const QString &hint) {
        QToolButton *button = toolButton(caption, glyph);
        button->setCheckable(true);
        button->setToolTip(hint);
        group->addButton(button);
        const int index = int(DriveButtons.size());
        connect(button, &QToolButton::clicked, this, [this, index] { PressDrive(index); });
        DriveButtons.append(button);
    };
    for (const sys::DriveInfo &drive : sys::Drives()) {
        if (DriveButtons.size() >= maxDriveButtons - 1)
            break;
        QString hint;
        if (drive.type != sys::DRIVE_REMOVABLE && drive.type != sys::DRIVE_CDROM)
            hint = VolumeName(QString(drive.letter));
        addDrive(QString(drive.letter) + QLatin1Char(':'), DriveGlyph(drive.type), hint);
    }
    addDrive(QStringLiteral("/"), QStyle::SP_DriveNetIcon, QStringLiteral("Network"));
    row->addStretch(1);
}

void TfTree::BuildStatusBar(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 0, 2, 2);
    row->setSpacing(2);
    const std::pair<const char *, std::function<void()>> panels[] = {
        {"F2=Rename", [this] { RenameFolder(); }},
        {"F3=Find Next", [this] { FolderView->FindNext(); }},
        {"F5=Refresh", [this] { FolderView->Refresh(); }},
        {"F6=Part Refresh", [this] { FolderView->PartRefresh(); }},
        {"F7=New Folder", [this] { CreateFolder(); }},
        {"F8=Delete", [this] { DeleteFolder(); }},
        {"F9=Properties", [this] { Properties(); }},
    };
    for (const auto &[text, run] : panels) {
        auto *panel = new QToolButton(bar);
        panel->setText(QLatin1String(text));
        panel->setFocusPolicy(Qt::NoFocus);
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(panel, &QToolButton::clicked, this, [this, run] {
            if (!scanning)
                run();
        });
        row->addWidget(panel);
        StatusPanels.append(panel);
    }
}

// Drive buttons and the volume panel -----------------------------------------

void TfTree::ChangeDrive(const QString &drive)
{
    // A drive that was not ready left the tree on its old drive: the
    // buttons and the volume name follow the tree.
    const QString shown = FolderView->Drive().isEmpty() ? drive : FolderView->Drive();
    const QString first =
        shown.startsWith(QLatin1Char('\\')) ? QStringLiteral("/") : shown.left(1).toUpper();
    for (int i = 0; i < DriveButtons.size(); ++i) {
        if (DriveButtons[i]->text().startsWith(first, Qt::CaseInsensitive)) {
            DriveButtons[i]->setChecked(true);
            pressedDrive = i;
            break;
        }
    }
    Volume->setText(VolumeName(shown));
}

void TfTree::PressDrive(int index)
{
    if (scanning) {
        if (pressedDrive >= 0 && pressedDrive < DriveButtons.size())
            DriveButtons[pressedDrive]->setChecked(true);
        return;
    }
    if (index < 0 || index >= DriveButtons.size())
        return;
    const QString caption = DriveButtons[index]->text();
    if (caption != QLatin1String("/")) {
        FolderView->SetDrive(caption);
        return;
    }
    TDriveServices *services = DriveServices();
    const QString share =
        services ? services->SelectNetworkShare(this, FolderView->Drive()) : QString();
    if (!share.isEmpty()) {
        FolderView->SetDrive(share);
        return;
    }
    if (pressedDrive >= 0 && pressedDrive < DriveButtons.size())
        DriveButtons[pressedDrive]->setChecked(true);
}

// Keys ---------------------------------------------------------------------

void TfTree::keyPressEvent(QKeyEvent *event)
{
    // The tree hands Shift with a letter on: it switches drives, also while
    // a quick search runs.
    if (scanning)
        return;
    const int key = event->key();
    if (event->modifiers() == Qt::ShiftModifier && key >= Qt::Key_A && key <= Qt::Key_Z) {
        FolderView->SetDrive(QString(QChar(u'A' + (key - Qt::Key_A))));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfTree::reject()
{
    if (!scanning)
        QDialog::reject();
}

void TfTree::accept()
{
    if (!scanning)
        QDialog::accept();
}

bool TfTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FolderView && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::RightButton && FolderView->GetItemAt(at.x(), at.y())) {
            ShowPopup(FolderView->mapToGlobal(at));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfTree::ShowPopup(const QPoint &at)
{
    const TTreeItem *item = FolderView->Focused();
    popupExpand->setVisible(item && item->HasChildren());
    if (item)
        popupExpand->setText(item->Expanded ? QStringLiteral("&Collapse")
                                            : QStringLiteral("E&xpand"));
    PopupMenu->popup(at);
}

// Expanding and collapsing --------------------------------------------------

void TfTree::ExpandCommand(bool expand, bool recursive)
{
    TTreeItem *item = FolderView->Focused();
    if (!item)
        return;
    if (!recursive)
        item->SetExpanded(expand);
    else if (expand)
        item->Expand(true);
    else
        item->Collapse(true);
    FolderView->Redraw();
}

void TfTree::WholeTree(bool expand)
{
    TTreeItem *root = FolderView->Items.Root();
    if (!root)
        return;
    FolderView->Items.BeginUpdate();
    for (TTreeItem *child = root->FirstChild; child; child = child->Next) {
        if (expand)
            child->Expand(true);
        else
            child->Collapse(true);
    }
    root->Expanded = true;
    FolderView->Items.EndUpdate();
    // The focus may now sit inside a collapsed branch: it moves to the
    // visible folder that holds it.
    TTreeItem *focused = FolderView->Focused();
    while (focused && !focused->IsVisible())
        focused = focused->Parent;
    if (focused)
        FolderView->SetFocused(focused);
    FolderView->Redraw();
}

// Folder commands -------------------------------------------------------------

TTreeItem *TfTree::FocusedFolder() const
{
    TTreeItem *item = FolderView->Focused();
    return item && item->Parent ? item : nullptr;
}

void TfTree::SelectFocused()
{
    TTreeItem *item = FolderView->Focused();
    if (!item)
        return;
    if (!IsFolder(item->GetFullPath())) {
        Ask().MessageBox(this, QStringLiteral("The system cannot find the folder specified"),
                         LoadStr(512), MB_OK | MB_ICONERROR);
        // The model change writes the tree file.
        if (item->Parent)
            FolderView->Items.DeleteItem(item);
        return;
    }
    accept();
}

void TfTree::DeleteFolder()
{
    TTreeItem *item = FocusedFolder();
    if (!item)
        return;
    const QString path = item->GetFullPath();
    const int answer = Ask().DeleteWarning(
        this, item->Name + QStringLiteral("\n\nAre you sure you want to send to RecycleBin?"), 1,
        false);
    if (answer != mrYes && answer != mrAll)
        return;
    TFileDelete deleter(this);
    deleter.Files = {path};
    deleter.UseRecycleBin = answer == mrYes;
    const int result = deleter.Execute();
    if (result != resDone && result != int(sys::ERROR_FILE_NOT_FOUND) &&
        result != int(sys::ERROR_PATH_NOT_FOUND))
        return;
    // The run may have removed the folder and then met a failure inside it
    // the user skipped: the node goes only with the folder.
    if (result == resDone && IsFolder(path))
        return;
    if (TTreeItem *still = FolderView->Items.FindItem(path))
        FolderView->Items.DeleteItem(still);
    FolderView->Redraw();
}

void TfTree::RenameFolder()
{
    TTreeItem *item = FocusedFolder();
    if (!item)
        return;
    const QString from = item->GetFullPath();
    QString name = item->Name;
    for (;;) {
        if (Ask().GetString(this, QStringLiteral("Rename"),
                            QStringLiteral("Put new name you want to change to"), name, true,
                            false) != mrOk)
            return;
        if (!ValidFolderName(name)) {
            ShowError(int(sys::ERROR_INVALID_NAME), name, LoadStr(512), true, this);
            continue;
        }
        if (name == item->Name)
            return;
        const QString to = sys::JoinPath(item->Parent->GetFullPath(), name);
        if (sys::MoveFile(from, to))
            break;
        ShowError(int(sys::GetLastError()), name, LoadStr(512), true, this);
    }
    const QString oldName = item->Name;
    item->SetName(name);
    FolderView->Redraw();
    FolderView->SaveTree();
    Address->setText(FolderView->GetFolder());
    // The folder's description follows it to its new name.
    TDescriptFile descriptions(item->Parent->GetFullPath());
    if (!descriptions.Read() || !descriptions.Get(oldName))
        return;
    descriptions.Rename(oldName, name);
    if (!descriptions.Write())
        ShowError(int(sys::GetLastError()), descriptions.Path(), LoadStr(512), true, this);
}

void TfTree::CreateFolder()
{
    TTreeItem *parent = FolderView->Focused();
    if (!parent)
        return;
    const QString folder = parent->GetFullPath();
    QString name = QStringLiteral("New Folder");
    for (;;) {
        if (Ask().GetString(this, QStringLiteral("New Folder"),
                            QStringLiteral("Enter the folder name you want to create."), name, true,
                            false) != mrOk)
            return;
        if (!ValidFolderName(name)) {
            ShowError(int(sys::ERROR_INVALID_NAME), name, LoadStr(512), true, this);
            continue;
        }
        const QString path = sys::JoinPath(folder, name);
        if (sys::CreateDirectory(path))
            break;
        ShowError(int(sys::GetLastError()), path, LoadStr(512), true, this);
    }
    // A node of that name may be there already (the tree knew a folder the
    // disk had lost): it is focused instead of doubled.
    TTreeItem *child = FolderView->Items.AddChildByName(parent, name);
    if (!child)
        child = FolderView->Items.FindItem(sys::JoinPath(folder, name));
    if (child)
        FolderView->SetFocused(child);
}

void TfTree::Properties()
{
    if (FolderView->Focused())
        TfProperties::Open(FolderView->GetFolder(), this);
}

void TfTree::ShowSystemFolder(int tag)
{
    static const sys::SpecialFolder folders[] = {
        sys::SpecialFolder::Desktop, sys::SpecialFolder::StartMenu, sys::SpecialFolder::Personal};
    if (tag < 0 || tag > 2)
        return;
    const QString path = sys::GetSpecialFolder(folders[tag]);
    if (!path.isEmpty())
        FolderView->SetFolder(path);
}

// Favourites ------------------------------------------------------------------

void TfTree::BuildFavorites()
{
    FavoritesMenu->clear();
    if (favorites) {
        const QIcon glyph = style()->standardIcon(QStyle::SP_DirIcon);
        for (const auto &[name, path] : favorites->Entries()) {
            QAction *entry = FavoritesMenu->addAction(glyph, name);
            const QString target = path;
            connect(entry, &QAction::triggered, this,
                    [this, target] { FolderView->SetFolder(target); });
        }
    }
    FavoritesMenu->addSeparator();
    QAction *add = FavoritesMenu->addAction(QStringLiteral("Add Favorites"));
    add->setEnabled(favorites != nullptr);
    connect(add, &QAction::triggered, this, [this] { AddFavorite(); });
}

void TfTree::DropFavorites()
{
    favoritesButton->showMenu();
}

void TfTree::AddFavorite()
{
    const TTreeItem *item = FolderView->Focused();
    if (!item || !favorites)
        return;
    QString name = item->Parent ? item->Name : FolderView->Drive();
    if (Ask().GetString(this, QStringLiteral("Add Favorites"),
                        QLatin1Char('"') + name + QStringLiteral("\"\n\nDisplay Name"), name, true,
                        false) != mrOk ||
        name.isEmpty())
        return;
    // The first "=" of a line ends the name, and a line break the line:
    // such an entry would read back cut.
    const QString path = item->GetFullPath();
    if (name.contains(QLatin1Char('=')) || path.contains(QLatin1Char('\n')) ||
        path.contains(QLatin1Char('\r'))) {
        Ask().MessageBox(this,
                         name.contains(QLatin1Char('='))
                             ? QStringLiteral("A display name cannot contain \"=\".")
                             : QStringLiteral("A folder whose name holds a line break cannot "
                                              "be a favourite."),
                         QStringLiteral("Add Favorites"), MB_OK | MB_ICONERROR);
        return;
    }
    if (!favorites->Add(name, path))
        ShowError(int(sys::GetLastError()), QStringLiteral("favorite.dat"), LoadStr(512), true,
                  this);
}

} // namespace kestrel
