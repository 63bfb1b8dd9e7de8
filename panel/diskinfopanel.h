#pragma once
// TDiskInfoPanel: the main window's disk information (pDiskInfo): the drive's
// icon (iDisk) and name (lDrive), a usage gauge (DiskUsage) and the free and
// total space (lDiskInfo) in the longest wording that fits. A click opens the
// drive's properties.

#include "panel/drivefacts.h"

#include <QFrame>

class QLabel;
class QProgressBar;

namespace kestrel {

class TDiskInfoPanel : public QFrame {
    Q_OBJECT
public:
    explicit TDiskInfoPanel(QWidget *parent = nullptr);

    // Shows the drive of a folder; its space is read again when reread is
    // set or the drive changed.
    void SetFolder(const QString &folder, bool reread);
    // Reads the space of the drive shown again.
    void Reread() { SetFolder(folder, true); }
    QString Drive() const { return drive; }
    const TDriveSpace &Space() const { return space; }
    QString InfoText() const;
    int UsagePercent() const;

    std::function<void(const QString &root)> OnClick;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void UpdateText();

    QString folder;
    QString drive;
    TDriveSpace space;
    QLabel *iDisk;
    QLabel *lDrive;
    QProgressBar *DiskUsage;
    QLabel *lDiskInfo;
};

} // namespace kestrel
