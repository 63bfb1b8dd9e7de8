#include "app/fpreferences.h"

#include "app/colorroles.h"
#include "app/feditfunc.h"
#include "app/fontchoice.h"
#include "app/inifile.h"
#include "app/keymap.h"
#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/qtask.h"
#include "platform/errors.h"
#include "text/strings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const QString colorSetFilter = QStringLiteral("Kestrel Color Set File (*.col)");

TFontSpec SystemFont()
{
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    return {font.family(), font.pointSize() > 0 ? font.pointSize() : 9, font.bold()};
}

// One substitution: a font name holding "%1" stays as it is.
QString FontText(const TFontSpec &font)
{
    return QStringLiteral("%1, %2%3")
        .arg(font.name, QString::number(font.size),
             font.bold ? QStringLiteral(", bold") : QString());
}

// The setting as written, and the family really drawn when it is missing.
QString UsedFontText(const TFontSpec &font)
{
    const QString used = ChosenFont(font).family();
    if (used.compare(font.name, Qt::CaseInsensitive) == 0)
        return FontText(font);
    return QStringLiteral("%1 (not installed: shown in %2)").arg(FontText(font), used);
}

QColor ToQColor(TColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// A row drawn in its colour, with text that stays readable on it.
void Paint(QListWidgetItem *item, TColorRef color)
{
    const QColor back = ToQColor(color);
    item->setBackground(back);
    const int luma = (299 * back.red() + 587 * back.green() + 114 * back.blue()) / 1000;
    item->setForeground(luma < 140 ? Qt::white : Qt::black);
}

QCheckBox *Check(const QString &text, bool on, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setChecked(on);
    return box;
}

QButtonGroup *Radios(const QStringList &texts, int checked, QGroupBox *box)
{
    auto *group = new QButtonGroup(box);
    auto *layout = new QVBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto *radio = new QRadioButton(texts[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    if (QAbstractButton *button = group->button(checked))
        button->setChecked(true);
    return group;
}

QComboBox *Combo(const QStringList &items, int index, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setCurrentIndex(index);
    return combo;
}

// Focus Frame lists None, Line, Dot; the key counts the other way.
int FocusItem(int focus)
{
    return 2 - focus;
}

} // namespace

TfPreferences::TfPreferences(QWidget *parent, TIniFile &ini, const QString &colorSource,
                             const QString &colorTarget, std::function<void()> applied)
    : QDialog(parent), ini(ini), colorTarget(colorTarget), applied(std::move(applied))
{
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(QStringLiteral("fPreferences"));
    const TPreferences p = ReadPreferences(ini, SystemFont());
    fileFont = p.fileFont;
    treeFont = p.treeFont;
    functions = p.functions;
    if (!colorSource.isEmpty())
        TColorList::ReadColorSet(colorSource, colors);

    Pages = new QTabWidget(this);
    Pages->addTab(ViewPage(p), QStringLiteral("View"));
    Pages->addTab(ColorPage(), QStringLiteral("Color"));
    Pages->addTab(OptionPage(p), QStringLiteral("Option"));
    Pages->addTab(MiscPage(p), QStringLiteral("Misc."));
    Pages->addTab(ProgramPage(p), QStringLiteral("Program"));
    Pages->addTab(FunctionPage(), QStringLiteral("Function Key"));

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    ApplyButton = buttons->button(QDialogButtonBox::Apply);
    ApplyButton->setText(QStringLiteral("&Apply"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { Apply(); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addWidget(buttons);
    ShowColors();
    ShowFunctionKeys();
}

QWidget *TfPreferences::ViewPage(const TPreferences &p)
{
    auto *page = new QWidget;
    FileFontButton = new QPushButton(QStringLiteral("File &Window Font..."), page);
    TreeFontButton = new QPushButton(QStringLiteral("&Tree Window Font..."), page);
    FileFontUsed = new QLabel(UsedFontText(fileFont), page);
    TreeFontUsed = new QLabel(UsedFontText(treeFont), page);
    for (QLabel *used : {FileFontUsed, TreeFontUsed}) {
        used->setTextFormat(Qt::PlainText);
        used->setWordWrap(true);
    }
    connect(FileFontButton, &QPushButton::clicked, this,
            [this] { ChooseFont(fileFont, FileFontUsed); });
    connect(TreeFontButton, &QPushButton::clicked, this,
            [this] { ChooseFont(treeFont, TreeFontUsed); });

    auto *caseBox = new QGroupBox(QStringLiteral("Char Case"), page);
    CharCase = Radios({QStringLiteral("&Normal"), QStringLiteral("&Upper"),
                       QStringLiteral("&Lower"), QStringLiteral("Ca&pital")},
                      p.charCase, caseBox);
    auto *styleBox = new QGroupBox(QStringLiteral("View Style"), page);
    ViewStyle = Radios({QStringLiteral("Li&st"), QStringLiteral("Lar&ge Icon")}, p.views, styleBox);
    ViewIcon = Check(QStringLiteral("View &Icon"), p.icon, page);

    FocusFrame = Combo({QStringLiteral("None"), QStringLiteral("Line"), QStringLiteral("Dot")},
                       FocusItem(p.focus), page);
    QStringList columns{QStringLiteral("Auto")};
    for (int i = 1; i <= 6; ++i)
        columns.append(QStringLiteral("%1Col").arg(i));
    Column = Combo(columns, p.autoCol ? 0 : qBound(1, p.col, 6), page);
    Arrange = Combo({QStringLiteral("by Name"), QStringLiteral("by Ext"), QStringLiteral("by Size"),
                     QStringLiteral("by Time"), QStringLiteral("by None")},
                    p.sort, page);
    auto *combos = new QFormLayout;
    const auto labelled = [&](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, page);
        label->setBuddy(field);
        combos->addRow(label, field);
    };
    labelled(QStringLiteral("&Focus Frame:"), FocusFrame);
    labelled(QStringLiteral("Colu&mn:"), Column);
    labelled(QStringLiteral("A&rrange:"), Arrange);

    AttachExt = Check(QStringLiteral("Attach E&xtension"), p.attachExt, page);
    FolderInfo = Check(QStringLiteral("Show \"[&DIR]\" after folder name"), p.folderInfo, page);
    ShortNames = Check(QStringLiteral("Show 8.&3 old filename format"), !p.longName, page);
    Hidden = Check(QStringLiteral("Show &Hidden Files/Folders"), p.hidden, page);
    ColLine = Check(QStringLiteral("Show C&olumn Line"), p.colLine, page);
    FileType = Check(QStringLiteral("Show File T&ype"), p.fileType, page);
    PathCaption =
        Check(QStringLiteral("Display the full path in the title &bar"), p.pathCaption, page);
    Descend = Check(QStringLiteral("Des&cend"), p.desc, page);

    auto *fonts = new QGridLayout;
    fonts->addWidget(FileFontButton, 0, 0);
    fonts->addWidget(TreeFontButton, 0, 1);
    fonts->addWidget(FileFontUsed, 1, 0);
    fonts->addWidget(TreeFontUsed, 1, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(caseBox);
    left->addWidget(styleBox);
    left->addWidget(ViewIcon);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addLayout(combos);
    for (QCheckBox *box :
         {AttachExt, FolderInfo, ShortNames, Hidden, ColLine, FileType, PathCaption, Descend})
        right->addWidget(box);
    right->addStretch();
    auto *columnsRow = new QHBoxLayout;
    columnsRow->addLayout(left);
    columnsRow->addLayout(right, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(fonts);
    layout->addLayout(columnsRow);
    return page;
}

QWidget *TfPreferences::ColorPage()
{
    auto *page = new QWidget;
    BasicColors = new QListWidget(page);
    BasicColors->setObjectName(QStringLiteral("BasicColors"));
    ExtColors = new QListWidget(page);
    ExtColors->setObjectName(QStringLiteral("ExtColors"));
    auto *basicLabel = new QLabel(QStringLiteral("&Basic Color:"), page);
    basicLabel->setBuddy(BasicColors);
    auto *extLabel = new QLabel(QStringLiteral("E&xtension Color:"), page);
    extLabel->setBuddy(ExtColors);
    AddExt = new QPushButton(QStringLiteral("A&dd..."), page);
    EditExt = new QPushButton(QStringLiteral("&Edit..."), page);
    DeleteExt = new QPushButton(QStringLiteral("De&lete"), page);
    OpenSet = new QPushButton(QStringLiteral("&Open..."), page);
    SaveSetAs = new QPushButton(QStringLiteral("&Save As..."), page);
    connect(BasicColors, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { BasicColorDoubleClick(BasicColors->row(item)); });
    connect(ExtColors, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { ExtColorDoubleClick(ExtColors->row(item)); });
    connect(AddExt, &QPushButton::clicked, this, &TfPreferences::AddExtClick);
    connect(EditExt, &QPushButton::clicked, this, &TfPreferences::EditExtClick);
    connect(DeleteExt, &QPushButton::clicked, this, &TfPreferences::DeleteExtClick);
    connect(OpenSet, &QPushButton::clicked, this, &TfPreferences::OpenSetClick);
    connect(SaveSetAs, &QPushButton::clicked, this, &TfPreferences::SaveSetAsClick);

    auto *basic = new QVBoxLayout;
    basic->addWidget(basicLabel);
    basic->addWidget(BasicColors);
    auto *ext = new QVBoxLayout;
    ext->addWidget(extLabel);
    ext->addWidget(ExtColors);
    auto *extButtons = new QHBoxLayout;
    extButtons->addWidget(AddExt);
    extButtons->addWidget(EditExt);
    extButtons->addWidget(DeleteExt);
    ext->addLayout(extButtons);
    auto *lists = new QHBoxLayout;
    lists->addLayout(basic);
    lists->addLayout(ext);
    auto *files = new QHBoxLayout;
    files->addStretch();
    files->addWidget(OpenSet);
    files->addWidget(SaveSetAs);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(lists);
    layout->addLayout(files);
    return page;
}

QWidget *TfPreferences::OptionPage(const TPreferences &p)
{
    auto *page = new QWidget;
    ExtArcPrg = Check(QStringLiteral("Use e&xternal program for archive file"), p.extArcPrg, page);
    AutoRefresh = Check(QStringLiteral("Automatically &refresh file list"), p.autoRefresh, page);
    RemRead =
        Check(QStringLiteral("Remove 'Readonly' attribute when copy from &CD"), p.remRead, page);
    NoTreeA =
        Check(QStringLiteral("Skip folder selection when copy to &Floppy Disk"), p.noTreeA, page);
    SelDir = Check(QStringLiteral("Select/Deselect folder when select all/&deselect all"), p.selDir,
                   page);
    Sound = Check(QStringLiteral("Notify completion of operation with &sound"), p.sound, page);
    StartDir = Check(QStringLiteral("Always start Kestrel with S&tart Folder"), p.startDir, page);
    SaveLastDir =
        Check(QStringLiteral("Sa&ve current folder of each drives when exit"), p.saveLastDir, page);
    Start = new QLineEdit(p.start, page);
    Start->setObjectName(QStringLiteral("Start"));
    auto *browse = new QPushButton(QStringLiteral("Bro&wse..."), page);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString folder = Start->text();
        if (Ask().SelectFolder(this, QStringLiteral("Start Folder"), folder))
            Start->setText(folder);
    });
    auto *startLabel = new QLabel(QStringLiteral("Start F&older:"), page);
    startLabel->setBuddy(Start);
    auto *startRow = new QHBoxLayout;
    startRow->addWidget(startLabel);
    startRow->addWidget(Start, 1);
    startRow->addWidget(browse);

    auto *layout = new QVBoxLayout(page);
    for (QCheckBox *box : {ExtArcPrg, AutoRefresh, RemRead, NoTreeA, SelDir, Sound})
        layout->addWidget(box);
    layout->addLayout(startRow);
    layout->addWidget(StartDir);
    layout->addWidget(SaveLastDir);
    layout->addStretch();
    return page;
}

QWidget *TfPreferences::MiscPage(const TPreferences &p)
{
    auto *page = new QWidget;
    ExplorerMenu =
        Check(QStringLiteral("&Explorer Context Menu with right click"), p.explorerMenu, page);
    TreeRoot =
        Check(QStringLiteral("Save file into the root folder of each d&rives"), p.treeRoot, page);
    TreePath = new QLineEdit(p.treePath, page);
    TreePath->setObjectName(QStringLiteral("TreePath"));
    auto *browse = new QPushButton(QStringLiteral("Bro&wse..."), page);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString folder = TreePath->text();
        if (Ask().SelectFolder(this, QStringLiteral("Treeinfo"), folder))
            TreePath->setText(folder);
    });
    auto *pathLabel = new QLabel(QStringLiteral("Treeinfo &path:"), page);
    pathLabel->setBuddy(TreePath);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(TreePath, 1);
    pathRow->addWidget(browse);

    // The radios are listed by tag: tag 0 first.
    auto *shortcutBox = new QGroupBox(QStringLiteral("S&hortcut"), page);
    Shortcut = Radios({QStringLiteral("Extract (Ctrl+E),  Cut (Ctrl+X)"),
                       QStringLiteral("Extract (Ctrl+X), Cut (Ctrl+T)")},
                      p.ctrlX, shortcutBox);
    auto *deleteBox = new QGroupBox(QStringLiteral("Default &Delete Button"), page);
    DeleteButton =
        Radios({QStringLiteral("De&lete"), QStringLiteral("&Yes"), QStringLiteral("&No")}, p.delBtn,
               deleteBox);
    Escape = Combo({QStringLiteral("Command Line"), QStringLiteral("Exit Kestrel"),
                    QStringLiteral("Minimize"), QStringLiteral("Deselect All")},
                   p.esc, page);
    auto *escLabel = new QLabel(QStringLiteral("ES&C Key:"), page);
    escLabel->setBuddy(Escape);
    auto *escRow = new QHBoxLayout;
    escRow->addWidget(escLabel);
    escRow->addWidget(Escape, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ExplorerMenu);
    layout->addWidget(TreeRoot);
    layout->addLayout(pathRow);
    layout->addWidget(shortcutBox);
    layout->addWidget(deleteBox);
    layout->addLayout(escRow);
    layout->addStretch();
    return page;
}

QWidget *TfPreferences::ProgramPage(const TPreferences &p)
{
    auto *page = new QWidget;
    auto *form = new QGridLayout(page);
    int row = 0;
    const auto program = [&](const QString &label, const QString &value) {
        auto *edit = new QLineEdit(value, page);
        auto *caption = new QLabel(label, page);
        caption->setBuddy(edit);
        auto *browse = new QPushButton(QStringLiteral("..."), page);
        browse->setAccessibleName(QStringLiteral("Browse for ") + QString(label).remove(u'&'));
        connect(browse, &QPushButton::clicked, this, [this, edit] {
            QString path = edit->text();
            if (Ask().OpenFileName(this, QStringLiteral("Program"), QString(), path))
                edit->setText(path);
        });
        form->addWidget(caption, row, 0);
        form->addWidget(edit, row, 1);
        form->addWidget(browse, row, 2);
        ++row;
        return edit;
    };
    Arj = program(QStringLiteral("AR&J:"), p.arj);
    Rar = program(QStringLiteral("&RAR:"), p.rar);
    Ace = program(QStringLiteral("AC&E:"), p.ace);
    View = program(QStringLiteral("&View:"), p.view);
    Edit = program(QStringLiteral("E&dit:"), p.edit);
    form->setRowStretch(row, 1);
    return page;
}

QWidget *TfPreferences::FunctionPage()
{
    auto *page = new QWidget;
    FunctionKeys = new QListWidget(page);
    FunctionKeys->setObjectName(QStringLiteral("FunctionKeys"));
    auto *label = new QLabel(QStringLiteral("&Keys:"), page);
    label->setBuddy(FunctionKeys);
    EditKey = new QPushButton(QStringLiteral("&Edit..."), page);
    DeleteKey = new QPushButton(QStringLiteral("&Delete"), page);
    connect(EditKey, &QPushButton::clicked, this, &TfPreferences::EditKeyClick);
    connect(DeleteKey, &QPushButton::clicked, this, &TfPreferences::DeleteKeyClick);
    connect(FunctionKeys, &QListWidget::itemActivated, this, &TfPreferences::EditKeyClick);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(EditKey);
    buttons->addWidget(DeleteKey);
    buttons->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(FunctionKeys, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addLayout(row);
    return page;
}

TPreferences TfPreferences::Values() const
{
    TPreferences p;
    p.fileFont = fileFont;
    p.treeFont = treeFont;
    p.charCase = CharCase->checkedId();
    p.views = ViewStyle->checkedId();
    p.icon = ViewIcon->isChecked();
    p.focus = FocusItem(FocusFrame->currentIndex());
    p.autoCol = Column->currentIndex() == 0;
    p.col = Column->currentIndex();
    p.sort = Arrange->currentIndex();
    p.attachExt = AttachExt->isChecked();
    p.folderInfo = FolderInfo->isChecked();
    p.longName = !ShortNames->isChecked();
    p.hidden = Hidden->isChecked();
    p.colLine = ColLine->isChecked();
    p.fileType = FileType->isChecked();
    p.pathCaption = PathCaption->isChecked();
    p.desc = Descend->isChecked();
    p.extArcPrg = ExtArcPrg->isChecked();
    p.autoRefresh = AutoRefresh->isChecked();
    p.remRead = RemRead->isChecked();
    p.noTreeA = NoTreeA->isChecked();
    p.selDir = SelDir->isChecked();
    p.sound = Sound->isChecked();
    p.startDir = StartDir->isChecked();
    p.start = Start->text();
    p.saveLastDir = SaveLastDir->isChecked();
    p.explorerMenu = ExplorerMenu->isChecked();
    p.treeRoot = TreeRoot->isChecked();
    p.treePath = TreePath->text();
    p.ctrlX = Shortcut->checkedId();
    p.delBtn = DeleteButton->checkedId();
    p.esc = Escape->currentIndex();
    p.arj = Arj->text();
    p.rar = Rar->text();
    p.ace = Ace->text();
    p.view = View->text();
    p.edit = Edit->text();
    p.functions = functions;
    return p;
}

bool TfPreferences::Apply()
{
    if (!WritePreferences(ini, Values())) {
        ShowError(sys::GetLastError(), ini.FileName(), LoadStr(512), true, this);
        return false;
    }
    if (!colorTarget.isEmpty() && !TColorList::WriteColorSet(colorTarget, colors)) {
        ShowError(sys::GetLastError(), colorTarget, LoadStr(512), true, this);
        return false;
    }
    if (applied)
        applied();
    return true;
}

void TfPreferences::accept()
{
    if (Apply())
        QDialog::accept();
}

void TfPreferences::ChooseFont(TFontSpec &font, QLabel *shown)
{
    QString family = font.name;
    int size = font.size;
    bool bold = font.bold;
    if (!Ask().ChooseFont(this, family, size, bold) || family.isEmpty())
        return;
    font = {family, size > 0 ? size : font.size, bold};
    shown->setText(UsedFontText(font));
}

void TfPreferences::ShowColors()
{
    BasicColors->clear();
    for (int role = 0; role < ColorRoleCount; ++role) {
        auto *item = new QListWidgetItem(QString::fromLatin1(ColorRole(role).caption), BasicColors);
        Paint(item, RoleColor(colors.Basic, role));
    }
    const int extRow = ExtColors->currentRow();
    ExtColors->clear();
    for (const QString &line : colors.Ext) {
        auto *item = new QListWidgetItem(line, ExtColors);
        TColorRef color = 0;
        if (ExtLineColor(line, color))
            Paint(item, color);
    }
    if (ExtColors->count() > 0)
        ExtColors->setCurrentRow(qBound(0, extRow, ExtColors->count() - 1));
}

void TfPreferences::BasicColorDoubleClick(int row)
{
    if (row < 0 || row >= ColorRoleCount)
        return;
    unsigned color = RoleColor(colors.Basic, row);
    if (!Ask().ChooseColor(this, color))
        return;
    SetRoleColor(colors.Basic, row, color);
    ShowColors();
    BasicColors->setCurrentRow(row);
}

void TfPreferences::ExtColorDoubleClick(int row)
{
    if (row < 0 || row >= colors.Ext.size())
        return;
    TColorRef old = 0;
    unsigned color = ExtLineColor(colors.Ext[row], old) ? old : RoleColor(colors.Basic, 2);
    if (!Ask().ChooseColor(this, color) || color == old)
        return;
    if (FindExtColor(colors.Ext, color, row) >= 0) {
        Ask().MessageBox(this, LoadStr(801), LoadStr(512), MB_OK | MB_ICONERROR);
        return;
    }
    colors.Ext[row] = MakeExtLine(color, ExtLineExtensions(colors.Ext[row]));
    ExtColors->setCurrentRow(row);
    ShowColors();
}

bool TfPreferences::AskExtensions(const QString &caption, QString &text)
{
    if (Ask().GetString(this, caption, LoadStr(589), text, true, false) != mrOk)
        return false;
    text = text.trimmed();
    if (ValidExtensions(text))
        return true;
    Ask().MessageBox(this,
                     QStringLiteral("Extensions are names divided by \";\"; \"=\" cannot be "
                                    "part of them."),
                     LoadStr(512), MB_OK | MB_ICONERROR);
    return false;
}

void TfPreferences::AddExtClick()
{
    QString extensions;
    if (!AskExtensions(LoadStr(588), extensions))
        return;
    unsigned color = RoleColor(colors.Basic, 2);
    if (!Ask().ChooseColor(this, color))
        return;
    if (FindExtColor(colors.Ext, color) >= 0) {
        Ask().MessageBox(this, LoadStr(801), LoadStr(512), MB_OK | MB_ICONERROR);
        return;
    }
    colors.Ext.append(MakeExtLine(color, extensions));
    ExtColors->setCurrentRow(-1);
    ShowColors();
    ExtColors->setCurrentRow(ExtColors->count() - 1);
}

void TfPreferences::EditExtClick()
{
    const int row = ExtColors->currentRow();
    if (row < 0 || row >= colors.Ext.size())
        return;
    TColorRef color = 0;
    if (!ExtLineColor(colors.Ext[row], color))
        return;
    QString extensions = ExtLineExtensions(colors.Ext[row]);
    if (!AskExtensions(QStringLiteral("Extension"), extensions))
        return;
    colors.Ext[row] = MakeExtLine(color, extensions);
    ShowColors();
}

void TfPreferences::DeleteExtClick()
{
    const int row = ExtColors->currentRow();
    if (row < 0 || row >= colors.Ext.size())
        return;
    if (Ask().MessageBox(this, LoadStr(586), LoadStr(587), MB_YESNO | MB_ICONQUESTION) != mrYes)
        return;
    colors.Ext.removeAt(row);
    ShowColors();
}

void TfPreferences::OpenSetClick()
{
    QString path = colorTarget;
    if (!Ask().OpenFileName(this, QStringLiteral("Open"), colorSetFilter, path))
        return;
    TColorSet set;
    if (!TColorList::ReadColorSet(path, set)) {
        ShowError(sys::GetLastError(), path, LoadStr(512), true, this);
        return;
    }
    colors = set;
    ShowColors();
}

void TfPreferences::SaveSetAsClick()
{
    QString path = colorTarget;
    if (!Ask().SaveFileName(this, QStringLiteral("Save As"), colorSetFilter, path))
        return;
    if (!TColorList::WriteColorSet(path, colors))
        ShowError(sys::GetLastError(), path, LoadStr(512), true, this);
}

void TfPreferences::ShowFunctionKeys()
{
    const int row = FunctionKeys->currentRow();
    FunctionKeys->clear();
    for (int slot = 0; slot < FunctionKeySlots; ++slot) {
        QString key = FunctionKeyName(slot);
        if (slot >= 7)
            key += QStringLiteral(" = Ctrl+F%1").arg(slot - 6);
        const QString label = FunctionKeyLabel(functions[slot]);
        FunctionKeys->addItem(label.isEmpty() ? key : key + QStringLiteral("  :  ") + label);
    }
    FunctionKeys->setCurrentRow(qMax(0, row));
}

void TfPreferences::EditKeyClick()
{
    const int slot = FunctionKeys->currentRow();
    if (slot < 0 || slot >= FunctionKeySlots)
        return;
    TfEditFunc editor(this, functions[slot]);
    if (ExecDialog(editor, this) != QDialog::Accepted)
        return;
    functions[slot] = editor.Entry();
    ShowFunctionKeys();
}

void TfPreferences::DeleteKeyClick()
{
    const int slot = FunctionKeys->currentRow();
    if (slot < 0 || slot >= FunctionKeySlots)
        return;
    functions[slot].clear();
    ShowFunctionKeys();
}

} // namespace kestrel
