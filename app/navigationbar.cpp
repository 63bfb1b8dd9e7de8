#include "app/navigationbar.h"

#include "app/stringhistory.h"
#include "panel/filelisting.h"
#include "platform/drives.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace kestrel {

namespace {

// A path shown as a menu caption: "&" is a letter, not an accelerator.
QString Caption(const QString &path)
{
    QString text = path;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

TAddressBox::TAddressBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("cbAddress"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // A typed folder is not completed from the drive lines.
    setCompleter(nullptr);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
}

void TAddressBox::showPopup()
{
    if (OnDropDown)
        OnDropDown();
    QComboBox::showPopup();
}

void TAddressBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (OnEnter)
            OnEnter(currentText());
        return;
    }
    QComboBox::keyPressEvent(event);
}

TNavigationBar::TNavigationBar(QToolBar &bar, TStringHistory &history)
    : QObject(&bar), history(history), back(new QToolButton(&bar)), forward(new QToolButton(&bar)),
      favorites(new QToolButton(&bar)), backMenu(new QMenu(back)), forwardMenu(new QMenu(forward)),
      favoritesMenu(new QMenu(favorites)), address(new TAddressBox(&bar))
{
    const auto setUp = [&bar](QToolButton *button, const QString &name, const QString &text,
                              QStyle::StandardPixmap icon, QMenu *menu) {
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(text);
        button->setIcon(bar.style()->standardIcon(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMenu(menu);
    };
    setUp(back, QStringLiteral("BackButton"), QStringLiteral("Back"), QStyle::SP_ArrowBack,
          backMenu);
    setUp(forward, QStringLiteral("ForwardButton"), QStringLiteral("Forward"),
          QStyle::SP_ArrowForward, forwardMenu);
    setUp(favorites, QStringLiteral("FavoritesButton"), QStringLiteral("Favorites"),
          QStyle::SP_DirLinkIcon, favoritesMenu);
    back->setPopupMode(QToolButton::MenuButtonPopup);
    forward->setPopupMode(QToolButton::MenuButtonPopup);
    favorites->setPopupMode(QToolButton::InstantPopup);
    favoritesMenu->setObjectName(QStringLiteral("FavoritesMenu"));

    // Back and Forward show their arrows only, so that the bar still holds
    // everything in a window of the default width.
    back->setToolButtonStyle(Qt::ToolButtonIconOnly);
    forward->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!bar.actions().isEmpty())
        bar.addSeparator();
    for (QWidget *widget : {static_cast<QWidget *>(back), static_cast<QWidget *>(forward),
                            static_cast<QWidget *>(address), static_cast<QWidget *>(favorites)})
        bar.addWidget(widget);

    connect(back, &QToolButton::clicked, this, [this] {
        if (OnBack)
            OnBack();
    });
    connect(forward, &QToolButton::clicked, this, [this] {
        if (OnForward)
            OnForward();
    });
    connect(&history, &TStringHistory::OnChange, this, [this] { HistoryChanged(); });
    connect(backMenu, &QMenu::aboutToShow, this, [this] { FillHistoryMenu(backMenu, true); });
    connect(forwardMenu, &QMenu::aboutToShow, this,
            [this] { FillHistoryMenu(forwardMenu, false); });
    connect(favoritesMenu, &QMenu::aboutToShow, this, [this] { BuildFavorites(); });
    address->OnEnter = [this](const QString &text) {
        if (OnTyped)
            OnTyped(text);
    };
    address->OnDropDown = [this] { FillDrives(); };
    connect(address, &QComboBox::activated, this, [this](int index) { DriveChosen(index); });
    HistoryChanged();
}

void TNavigationBar::ShowFolder(const QString &folder)
{
    shownFolder = folder;
    address->setEditText(folder);
}

void TNavigationBar::DropFavorites(const QPoint &fallback)
{
    if (favorites->isVisible())
        favorites->showMenu();
    else
        favoritesMenu->exec(fallback);
}

void TNavigationBar::HistoryChanged()
{
    back->setEnabled(history.CanBack());
    forward->setEnabled(history.CanForward());
}

// Back holds the entries before the cursor, oldest first; Forward those
// after it. Built as the menu drops down: an item's own navigation changes
// the history, and must not delete the item while it is being chosen.
void TNavigationBar::FillHistoryMenu(QMenu *menu, bool before)
{
    menu->clear();
    const int from = before ? 0 : history.Current() + 1;
    const int to = before ? history.Current() - 1 : history.Last();
    for (int i = from; i <= to; ++i) {
        const QString folder = history.Get(i);
        connect(menu->addAction(Caption(folder)), &QAction::triggered, this, [this, folder] {
            if (OnGo)
                OnGo(folder);
        });
    }
}

// One line per drive, "<volume name> (C:)", then "Network".
void TNavigationBar::FillDrives()
{
    const QString text = address->currentText();
    address->clear();
    const sys::DWORD mask = sys::GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(mask & (sys::DWORD(1) << bit)))
            continue;
        const QChar letter(u'A' + bit);
        const QString label = TFileListing::DriveLabelText(QString(letter) + QLatin1String(":\\"));
        address->addItem(QStringLiteral("%1 (%2:)").arg(label, QString(letter)), letter);
    }
    address->addItem(QStringLiteral("Network"));
    address->setEditText(text);
}

void TNavigationBar::DriveChosen(int index)
{
    const QVariant letter = address->itemData(index);
    if (letter.isValid()) {
        if (OnDrive)
            OnDrive(letter.toChar());
    } else if (OnNetwork) {
        OnNetwork();
    }
    // The chosen line's text gives way to the folder the panel shows.
    address->setEditText(shownFolder);
}

// The favourites in file order, then the fixed items; read anew each time.
void TNavigationBar::BuildFavorites()
{
    favoritesMenu->clear();
    const QIcon folderIcon = favorites->style()->standardIcon(QStyle::SP_DirIcon);
    for (const TFavorite &entry : Favorites ? Favorites() : QList<TFavorite>()) {
        const QString path = entry.path;
        connect(favoritesMenu->addAction(folderIcon, Caption(entry.name)), &QAction::triggered,
                this, [this, path] {
                    if (OnGo)
                        OnGo(path);
                });
    }
    favoritesMenu->addSeparator();
    // Their dialogs open once the menu has finished with the key that chose
    // them: opened inside its handling, no key of the dialog would reach a
    // shortcut (its buttons' Alt keys).
    connect(
        favoritesMenu->addAction(QStringLiteral("Add to Favorites")), &QAction::triggered, this,
        [this] {
            if (OnAddFavorite)
                OnAddFavorite();
        },
        Qt::QueuedConnection);
    connect(
        favoritesMenu->addAction(QStringLiteral("Organize Favorites")), &QAction::triggered, this,
        [this] {
            if (OnOrganizeFavorites)
                OnOrganizeFavorites();
        },
        Qt::QueuedConnection);
}

} // namespace kestrel
