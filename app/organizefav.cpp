#include "app/organizefav.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "text/strings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const QString kCaption = QStringLiteral("Favorites");
const QString kSelectFolder = QStringLiteral("Select Folder");
// Shift+F1..Shift+F12 reach the first twelve entries.
constexpr int kShortcutKeys = 12;

QString Escaped(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QPushButton *LinkButton(QWidget *parent, const QString &name, const QString &hint)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setStyleSheet(QStringLiteral("text-align: left; padding: 2px 4px;"));
    return button;
}

} // namespace

bool AcceptFavorite(QObject *owner, const TFavorite &entry, const QString &caption)
{
    QString why;
    if (entry.name.isEmpty())
        why = QStringLiteral("A display name cannot be empty.");
    else if (!ValidFavoriteName(entry.name))
        why = QStringLiteral("A display name cannot contain \"=\".");
    else if (!ValidFavoritePath(entry.path))
        why = QStringLiteral("A folder whose name holds a line break cannot be a favourite.");
    else
        return true;
    Ask().MessageBox(owner, why, caption, MB_OK | MB_ICONERROR);
    return false;
}

TfOrganizeFav::TfOrganizeFav(QWidget *parent, const QString &file, const QString &panelFolder)
    : QDialog(parent), Entries(new QListWidget(this)),
      Item(LinkButton(this, QStringLiteral("Item"), QStringLiteral("Rename"))),
      ItemPath(LinkButton(this, QStringLiteral("ItemPath"), QStringLiteral("Change Path"))),
      Shortcut(new QLabel(this)), AddBtn(new QPushButton(QStringLiteral("&Add"), this)),
      DeleteBtn(new QPushButton(QStringLiteral("&Delete"), this)),
      UpBtn(new QPushButton(QStringLiteral("&Up"), this)),
      DownBtn(new QPushButton(QStringLiteral("Do&wn"), this)),
      OkBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this)), file(file),
      panelFolder(panelFolder), list(LoadFavorites(file))
{
    setObjectName(QStringLiteral("fOrganizeFav"));
    setWindowTitle(QStringLiteral("Organize Favorites"));
    Entries->setObjectName(QStringLiteral("lbFavorites"));
    Entries->setUniformItemSizes(true);
    QFont bold = Item->font();
    bold.setBold(true);
    Item->setFont(bold);
    Shortcut->setObjectName(QStringLiteral("Shortcut"));
    auto *hint = new QLabel(QStringLiteral("To change the path, click on the path name above.  "
                                           "To rename display name click on displayname above"),
                            this);
    hint->setWordWrap(true);

    auto *entry = new QGroupBox(this);
    auto *entryLayout = new QVBoxLayout(entry);
    entryLayout->addWidget(Item);
    entryLayout->addWidget(ItemPath);
    entryLayout->addWidget(Shortcut);
    entryLayout->addStretch(1);
    entryLayout->addWidget(hint);

    auto *edit = new QGridLayout;
    edit->addWidget(AddBtn, 0, 0);
    edit->addWidget(DeleteBtn, 0, 1);
    edit->addWidget(UpBtn, 1, 0);
    edit->addWidget(DownBtn, 1, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(entry, 1);
    right->addLayout(edit);
    auto *top = new QHBoxLayout;
    top->addWidget(Entries, 1);
    top->addLayout(right, 1);
    auto *close = new QHBoxLayout;
    close->addStretch(1);
    close->addWidget(OkBtn);
    close->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(close);
    resize(560, 360);

    for (QPushButton *button : {AddBtn, DeleteBtn, UpBtn, DownBtn, CancelBtn})
        button->setAutoDefault(false);
    OkBtn->setDefault(true);
    setTabOrder(Entries, Item);
    setTabOrder(Item, ItemPath);
    setTabOrder(ItemPath, AddBtn);
    setTabOrder(AddBtn, DeleteBtn);
    setTabOrder(DeleteBtn, UpBtn);
    setTabOrder(UpBtn, DownBtn);
    setTabOrder(DownBtn, OkBtn);
    setTabOrder(OkBtn, CancelBtn);

    connect(Entries, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    connect(Item, &QPushButton::clicked, this, &TfOrganizeFav::RenameClick);
    connect(ItemPath, &QPushButton::clicked, this, &TfOrganizeFav::PathClick);
    connect(AddBtn, &QPushButton::clicked, this, &TfOrganizeFav::AddClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TfOrganizeFav::DeleteClick);
    connect(UpBtn, &QPushButton::clicked, this, [this] { Move(true); });
    connect(DownBtn, &QPushButton::clicked, this, [this] { Move(false); });
    connect(OkBtn, &QPushButton::clicked, this, &TfOrganizeFav::OkClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    Fill(0);
    Entries->setFocus();
}

void TfOrganizeFav::Fill(int selected)
{
    const QSignalBlocker quiet(Entries);
    Entries->clear();
    const int rowHeight = qMax(16, Entries->fontMetrics().height() + 2);
    for (const TFavorite &entry : list.Entries()) {
        auto *row = new QListWidgetItem(entry.name, Entries);
        row->setSizeHint(QSize(0, rowHeight));
    }
    if (list.Count() > 0)
        Entries->setCurrentRow(qBound(0, selected, list.Count() - 1));
    ShowSelected();
}

int TfOrganizeFav::Selected() const
{
    const int row = Entries->currentRow();
    return row >= 0 && row < list.Count() ? row : -1;
}

// An empty list has no entry to show, rename, move or delete.
void TfOrganizeFav::ShowSelected()
{
    const int index = Selected();
    const bool any = index >= 0;
    for (QWidget *control : {static_cast<QWidget *>(Item), static_cast<QWidget *>(ItemPath),
                             static_cast<QWidget *>(DeleteBtn), static_cast<QWidget *>(UpBtn),
                             static_cast<QWidget *>(DownBtn)})
        control->setEnabled(any);
    Item->setText(any ? Escaped(list.At(index).name) : QString());
    ItemPath->setText(any ? Escaped(list.At(index).path) : QString());
    Shortcut->setText(any && index < kShortcutKeys
                          ? QStringLiteral("( Shift + F%1 )").arg(index + 1)
                          : QString());
}

void TfOrganizeFav::RenameClick()
{
    const int index = Selected();
    if (index < 0)
        return;
    QString name = list.At(index).name;
    if (Ask().GetString(this, kCaption, QStringLiteral("New display name"), name, true, false) !=
            mrOk ||
        !AcceptFavorite(this, {name, list.At(index).path}, kCaption))
        return;
    list.Rename(index, name);
    Fill(index);
}

void TfOrganizeFav::PathClick()
{
    const int index = Selected();
    if (index < 0)
        return;
    QString folder = list.At(index).path;
    if (!Ask().SelectFolder(this, kSelectFolder, folder) || folder.isEmpty() ||
        !AcceptFavorite(this, {list.At(index).name, folder}, kCaption))
        return;
    list.SetPath(index, folder);
    Fill(index);
}

void TfOrganizeFav::AddClick()
{
    const int index = Selected();
    QString folder = index >= 0 ? list.At(index).path : panelFolder;
    if (!Ask().SelectFolder(this, kSelectFolder, folder) || folder.isEmpty())
        return;
    QString name = FavoriteNameFor(folder);
    if (Ask().GetString(this, kCaption, QStringLiteral("Display Name"), name, true, false) !=
            mrOk ||
        !AcceptFavorite(this, {name, folder}, kCaption))
        return;
    list.Append({name, folder});
    Fill(list.Count() - 1);
}

void TfOrganizeFav::DeleteClick()
{
    const int index = Selected();
    if (index < 0 || Ask().MessageBox(this, QStringLiteral("Are you sure to delete?"), kCaption,
                                      MB_YESNO | MB_ICONQUESTION) != mrYes)
        return;
    list.Remove(index);
    Fill(index);
}

void TfOrganizeFav::Move(bool up)
{
    const int index = Selected();
    if (up ? list.MoveUp(index) : list.MoveDown(index))
        Fill(up ? index - 1 : index + 1);
}

// A list that could not be written keeps the dialog open with the changes.
void TfOrganizeFav::OkClick()
{
    if (SaveFavorites(file, list.Entries())) {
        accept();
        return;
    }
    ShowError(int(sys::GetLastError()), file, LoadStr(512), true, this);
}

} // namespace kestrel
