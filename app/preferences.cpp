#include "app/preferences.h"

#include "app/keymap.h"
#include "platform/shell.h"

namespace kestrel {

namespace {

QString Text(const char *s)
{
    return QString::fromLatin1(s);
}

// The dialog's own starting values; the start-up defaults of the same keys
// in settings.h are those of a first run.
bool Read(const TIniFile &ini, const TBoolKey &k, bool initial)
{
    return ReadSetting(ini, TBoolKey{k.section, k.key, initial});
}

int Read(const TIniFile &ini, const TIntKey &k, int initial, int low, int high)
{
    const int v = ReadSetting(ini, TIntKey{k.section, k.key, initial});
    return v >= low && v <= high ? v : initial;
}

QString Read(const TIniFile &ini, const TStringKey &k, const QString &initial)
{
    return ini.ValueExists(Text(k.section), Text(k.key)) ? ReadSetting(ini, k) : initial;
}

TFontSpec Read(const TIniFile &ini, const TFontKey &k, const TFontSpec &initial)
{
    return ini.ValueExists(Text(k.section), Text(k.key)) ? ReadSetting(ini, k) : initial;
}

} // namespace

QString DesktopTextEditor()
{
    static const char *const editors[] = {
        "gnome-text-editor", "gedit",  "kate", "kwrite", "mousepad", "xed", "pluma",
        "featherpad",        "leafpad"};
    for (const char *editor : editors)
        if (!sys::FindProgram(Text(editor)).isEmpty())
            return Text(editor);
    return QStringLiteral("xdg-open");
}

TPreferences ReadPreferences(const TIniFile &ini, const TFontSpec &defaultFont)
{
    TPreferences p;
    p.fileFont = Read(ini, key::FFont, defaultFont);
    p.treeFont = Read(ini, key::TFont, defaultFont);
    p.charCase = Read(ini, key::CharCase, 0, 0, 3);
    p.views = ReadSetting(ini, TIntKey{"Option", "Views", 0}) != 0 ? 1 : 0;
    p.icon = Read(ini, key::Icon, true);
    p.folderInfo = Read(ini, key::FolderInfo, true);
    p.attachExt = Read(ini, key::AttachExt, false);
    p.longName = Read(ini, key::LongName, true);
    p.hidden = Read(ini, key::Hidden, false);
    p.colLine = Read(ini, key::ColLine, true);
    p.fileType = Read(ini, key::FileType, true);
    p.focus = Read(ini, key::Focus, 1, 0, 2);
    p.pathCaption = Read(ini, key::PathCaption, true);
    p.autoCol = Read(ini, key::AutoCol, true);
    p.col = Read(ini, key::Col, 2, 0, 6);
    p.sort = Read(ini, key::Sort, 0, 0, 4);
    p.desc = Read(ini, key::Desc, false);

    p.extArcPrg = Read(ini, key::ExtArcPrg, false);
    p.autoRefresh = Read(ini, key::AutoRefresh, true);
    p.remRead = Read(ini, key::RemRead, true);
    p.noTreeA = Read(ini, key::NoTreeA, false);
    p.selDir = Read(ini, key::SelDir, false);
    p.sound = Read(ini, key::Sound, false);
    p.saveLastDir = Read(ini, key::SaveLastDir, true);
    p.startDir = Read(ini, key::StartDir, false);
    p.start = Read(ini, key::Start, QStringLiteral("C:\\"));

    p.explorerMenu = Read(ini, key::ExplorerMenu, false);
    p.delBtn = Read(ini, key::DelBtn, 2, 0, 2);
    p.esc = Read(ini, key::Esc, 2, 0, 3);
    p.ctrlX = Read(ini, TIntKey{"Option", "CtrlX", 1}, 1, 0, 1);
    p.treeRoot = Read(ini, key::TreeRoot, false);
    p.treePath = Read(ini, key::TreePath, QString());

    p.arj = Read(ini, key::ARJ, QStringLiteral("arj"));
    p.rar = Read(ini, key::RAR, QStringLiteral("rar"));
    p.ace = Read(ini, key::ACE, QStringLiteral("ace"));
    const bool needEditor = !ini.ValueExists(Text(key::View.section), Text(key::View.key)) ||
                            !ini.ValueExists(Text(key::Edit.section), Text(key::Edit.key));
    const QString editor = needEditor ? DesktopTextEditor() : QString();
    p.view = Read(ini, key::View, editor);
    p.edit = Read(ini, key::Edit, editor);

    for (int slot = 0; slot < FunctionKeySlots; ++slot)
        p.functions[slot] =
            ini.ReadString(Text(key::FunctionSection), FunctionKeyName(slot), {}).trimmed();
    return p;
}

bool WritePreferences(TIniFile &ini, const TPreferences &p)
{
    bool ok = true;
    const auto check = [&ok](bool written) { ok = ok && written; };
    const auto integer = [&](const char *name, int value) {
        check(ini.WriteInteger(QStringLiteral("Option"), Text(name), value));
    };
    check(WriteSetting(ini, key::FFont, p.fileFont));
    check(WriteSetting(ini, key::TFont, p.treeFont));
    integer("CharCase", p.charCase);
    integer("Views", p.views);
    check(WriteSetting(ini, key::Icon, p.icon));
    check(WriteSetting(ini, key::FolderInfo, p.folderInfo));
    check(WriteSetting(ini, key::AttachExt, p.attachExt));
    check(WriteSetting(ini, key::LongName, p.longName));
    check(WriteSetting(ini, key::Hidden, p.hidden));
    check(WriteSetting(ini, key::ColLine, p.colLine));
    check(WriteSetting(ini, key::FileType, p.fileType));
    check(WriteSetting(ini, key::PathCaption, p.pathCaption));
    integer("Focus", p.focus);
    check(WriteSetting(ini, key::AutoCol, p.autoCol));
    integer("Col", p.col);
    integer("Sort", p.sort);
    check(WriteSetting(ini, key::Desc, p.desc));
    check(WriteSetting(ini, key::ExtArcPrg, p.extArcPrg));
    check(WriteSetting(ini, key::AutoRefresh, p.autoRefresh));
    check(WriteSetting(ini, key::RemRead, p.remRead));
    check(WriteSetting(ini, key::NoTreeA, p.noTreeA));
    check(WriteSetting(ini, key::SelDir, p.selDir));
    check(WriteSetting(ini, key::Sound, p.sound));
    check(WriteSetting(ini, key::SaveLastDir, p.saveLastDir));
    check(WriteSetting(ini, key::StartDir, p.startDir));
    check(WriteSetting(ini, key::Start, p.start));
    check(WriteSetting(ini, key::ExplorerMenu, p.explorerMenu));
    integer("DelBtn", p.delBtn);
    integer("ESC", p.esc);
    integer("CtrlX", p.ctrlX);
    check(WriteSetting(ini, key::TreeRoot, p.treeRoot));
    check(WriteSetting(ini, key::TreePath, p.treePath));
    check(WriteSetting(ini, key::ARJ, p.arj));
    check(WriteSetting(ini, key::RAR, p.rar));
    check(WriteSetting(ini, key::ACE, p.ace));
    check(WriteSetting(ini, key::View, p.view));
    check(WriteSetting(ini, key::Edit, p.edit));
    for (int slot = 0; slot < FunctionKeySlots; ++slot)
        check(
            ini.WriteString(Text(key::FunctionSection), FunctionKeyName(slot), p.functions[slot]));
    return ok;
}

} // namespace kestrel
