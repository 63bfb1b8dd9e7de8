#pragma once
// TfDrive: the "Select Drive" dialog. It lists the drives, the work folders
// that are set and the network row; Enter or a double click chooses, a
// letter, digit or "/" chooses at once; its tool bar refreshes (F5), shows
// properties (F9), formats (F11), maps (F3) and disconnects (F4).

#include "panel/drivefacts.h"

#include <QDialog>

class QAction;
class QListWidget;
class QStatusBar;

namespace kestrel {

// What the dialog needs from the parts of the program above the panel: the
// network browser, the drive mappings and the desktop's disk tool.
class TDriveServices {
public:
    virtual ~TDriveServices() = default;
    // The share chosen in the network browser, starting at current; "" when
    // none was chosen.
    virtual QString SelectNetworkShare(QWidget *owner, const QString &current) = 0;
    // True when a mapping was added or removed.
    virtual bool MapNetworkDrive(QWidget *owner) = 0;
    virtual bool DisconnectNetworkDrive(QWidget *owner, const QString &drive) = 0;
    virtual void FormatDrive(QWidget *owner, QChar drive) = 0;
};
// The installed services (not owned); null while none is installed, and the
// network row, Map, Disconnect and Format then do nothing.
TDriveServices *DriveServices();
TDriveServices *SetDriveServices(TDriveServices *services);

class TfDrive : public QDialog {
    Q_OBJECT
public:
    TfDrive(QWidget *parent, const QString &current, const QStringList &workFolders,
            const QString &excluded);

    // The chosen drive text: a letter, a work-folder digit or a UNC share.
    QString Result() const { return chosen; }
    QListWidget *ListBox() const { return listBox; }
    QStatusBar *StatusBar() const { return statusBar; }
    const QList<TDriveItem> &Rows() const { return rows; }
    QAction *Action(const QString &name) const;

    // Fills the list again from the drive table.
    void Fill();
    // Chooses the selected row; the dialog closes when the choice holds.
    void Choose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SelectionChanged();
    void Properties();
    void Format();
    void Map();
    void UnMap();
    const TDriveItem *Selected() const;
    void SizeToRows();

    QString current;
    QStringList workFolders;
    QString excluded;
    QString chosen;
    QList<TDriveItem> rows;
    QListWidget *listBox;
    QStatusBar *statusBar;
    QAction *tbRefresh;
    QAction *tbProperty;
    QAction *tbFormat;
    QAction *tbMap;
    QAction *tbUnMap;
};

} // namespace kestrel
