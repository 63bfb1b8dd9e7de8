#include "app/paneloptions.h"

#include "app/fontchoice.h"
#include "app/settings.h"
#include "panel/kfileview.h"

namespace kestrel {

namespace {

// An integer setting outside its range reads as the key's default.
int ReadChoice(const TIniFile &ini, const TIntKey &k, int low, int high)
{
    const int v = ReadSetting(ini, k);
    return v >= low && v <= high ? v : k.def;
}

} // namespace

void LoadPanelOptions(TKFileView &view, const TIniFile &ini, const QString &colorFile)
{
    view.setFont(ChosenFont(ReadSetting(ini, key::FFont)));

    view.SetLongName(ReadSetting(ini, key::LongName));
    view.SetCharCase(TCharCase(ReadChoice(ini, key::CharCase, ccNormal, ccCapital)));
    view.SetAttachExt(ReadSetting(ini, key::AttachExt));
    view.SetFocusStyle(TFocusStyle(ReadChoice(ini, key::Focus, fsDot, fsNone)));
    view.SetViewHidden(ReadSetting(ini, key::Hidden));
    view.SetSortType(TFileSortType(ReadChoice(ini, key::Sort, fstName, fstNone)));
    view.SetDescend(ReadSetting(ini, key::Desc));

    // Clearing AutoColumn is SetColumn's job.
    if (ReadSetting(ini, key::AutoCol))
        view.SetAutoColumn(true);
    else
        view.SetColumn(qMax(1, ReadSetting(ini, key::Col)));

    view.SetViewStyle(ReadSetting(ini, key::Views) ? vsIcon : vsList);
    view.SetViewIcon(ReadSetting(ini, key::Icon));
    view.SetFolderInfo(ReadSetting(ini, key::FolderInfo));
    view.SetViewColumnLine(ReadSetting(ini, key::ColLine));
    view.SetViewFileType(ReadSetting(ini, key::FileType));

    if (!colorFile.isEmpty())
        view.SetColorFile(colorFile);
}

} // namespace kestrel
