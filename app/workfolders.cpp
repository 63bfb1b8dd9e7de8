#include "app/workfolders.h"

namespace kestrel {

bool TWorkFolders::Set(int slot, const QString &folder)
{
    if (IsSet(slot) || folder.isEmpty())
        return false;
    slots[size_t(slot)] = folder;
    return true;
}

TWorkState TWorkFolders::State(int slot, const QString &panelFolder) const
{
    if (!IsSet(slot))
        return TWorkState::Empty;
    return Get(slot).compare(panelFolder, Qt::CaseInsensitive) == 0 ? TWorkState::Here
                                                                    : TWorkState::Other;
}

} // namespace kestrel
