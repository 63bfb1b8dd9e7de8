#pragma once
// TfPreferences: the Preferences dialog. It reads every key it shows and the
// colour set when it opens; Apply writes them all (settings, then the colour
// set into the program folder) and lets the main window load them again. OK
// applies and closes; Cancel closes without writing.

#include "app/preferences.h"
#include "panel/colorlist.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace kestrel {

class TIniFile;

class TfPreferences : public QDialog {
    Q_OBJECT
public:
    // colorSource: the colour set shown; colorTarget: where Apply writes it.
    // applied runs after a successful Apply.
    TfPreferences(QWidget *parent, TIniFile &ini, const QString &colorSource,
                  const QString &colorTarget, std::function<void()> applied);

    // Writes everything; false (after one message) when a file could not be
    // written.
    bool Apply();
    // The values the controls hold now.
    TPreferences Values() const;
    const TColorSet &ColorSet() const { return colors; }

    QTabWidget *Pages;
    // View
    QPushButton *FileFontButton, *TreeFontButton;
    // The font chosen and, when it is not installed, the one shown instead.
    QLabel *FileFontUsed, *TreeFontUsed;
    QButtonGroup *CharCase, *ViewStyle;
    QCheckBox *ViewIcon;
    QComboBox *FocusFrame, *Column, *Arrange;
    QCheckBox *AttachExt, *FolderInfo, *ShortNames, *Hidden, *ColLine, *FileType, *PathCaption,
        *Descend;
    // Color
    QListWidget *BasicColors, *ExtColors;
    QPushButton *AddExt, *EditExt, *DeleteExt, *OpenSet, *SaveSetAs;
    // Option
    QCheckBox *ExtArcPrg, *AutoRefresh, *RemRead, *NoTreeA, *SelDir, *Sound, *StartDir,
        *SaveLastDir;
    QLineEdit *Start;
    // Misc.
    QCheckBox *ExplorerMenu, *TreeRoot;
    QLineEdit *TreePath;
    QButtonGroup *Shortcut, *DeleteButton;
    QComboBox *Escape;
    // Program
    QLineEdit *Arj, *Rar, *Ace, *View, *Edit;
    // Function Key
    QListWidget *FunctionKeys;
    QPushButton *EditKey, *DeleteKey;
    QPushButton *ApplyButton;

    // The colour set actions, as the buttons and double clicks run them.
    void BasicColorDoubleClick(int row);
    void ExtColorDoubleClick(int row);
    void AddExtClick();
    void EditExtClick();
    void DeleteExtClick();
    void OpenSetClick();
    void SaveSetAsClick();
    void EditKeyClick();
    void DeleteKeyClick();

    void accept() override;

private:
    QWidget *ViewPage(const TPreferences &p);
    QWidget *ColorPage();
    QWidget *OptionPage(const TPreferences &p);
    QWidget *MiscPage(const TPreferences &p);
    QWidget *ProgramPage(const TPreferences &p);
    QWidget *FunctionPage();
    void ChooseFont(TFontSpec &font, QLabel *shown);
    void ShowColors();
    void ShowFunctionKeys();
    bool AskExtensions(const QString &caption, QString &text);

    TIniFile &ini;
    QString colorTarget;
    std::function<void()> applied;
    TFontSpec fileFont, treeFont;
    TColorSet colors;
    std::array<QString, FunctionKeySlots> functions;
};

} // namespace kestrel
