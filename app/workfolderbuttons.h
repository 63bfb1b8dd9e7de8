#pragma once
// TWorkFolderButtons: the buttons bWork1..bWork3 of the three work folders.
// A left click opens a set slot or sets an empty one to the panel's folder,
// a right click clears a set slot; the text colour tells the slot's state.

#include "app/workfolders.h"

#include <QObject>

#include <functional>

class QToolBar;
class QToolButton;

namespace kestrel {

class TWorkFolderButtons : public QObject {
    Q_OBJECT
public:
    explicit TWorkFolderButtons(QToolBar &bar);

    const TWorkFolders &Folders() const { return folders; }
    QToolButton *Button(int slot) const { return buttons[size_t(slot)]; }

    // Set WorkFolder (menu): stores the panel's folder in an empty slot.
    void SetSlot(int slot);
    // Go to WorkFolder (menu): opens a set slot.
    void GoSlot(int slot);
    // Recolours the buttons for the panel's folder.
    void Recolor();

    std::function<QString()> PanelFolder;
    std::function<void(const QString &folder)> OnOpen;

private:
    void Click(int slot);
    void RightClick(int slot);

    TWorkFolders folders;
    std::array<QToolButton *, TWorkFolders::count> buttons{};
};

} // namespace kestrel
