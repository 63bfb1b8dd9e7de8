// Tree information files: whatever a file holds loads without a crash into a
// consistent model or into none with a message; what that model saves, as
// lines and as the bytes of a file, loads back to the same model and saves
// the same lines again; every folder is found again by its full path.
// Input: the bytes of a tree file.

#include "fuzz/support.h"
#include "platform/drives.h"
#include "tree/treeitems.h"

namespace {

using namespace kestrel;

QStringList Saved(const TTreeItems &items)
{
    QStringList lines;
    items.SaveToStrings(lines);
    return lines;
}

// A path FindItem can take apart again: a drive root and names that are not
// empty and hold no backslash.
bool Findable(const TTreeItem *item)
{
    const TTreeItem *node = item;
    for (; node->Parent; node = node->Parent) {
        if (node->Name.isEmpty() || node->Name.contains(QLatin1Char('\\')))
            return false;
    }
    return node->Name.size() == 2 && node->Name[1] == QLatin1Char(':') &&
           node->Name[0] != QLatin1Char('\\');
}

void CheckFindItem(const TTreeItems &items)
{
    int checked = 0;
    for (const TTreeItem *node = items.Root(); node && checked < 64; node = node->GetNext()) {
        if (!Findable(node))
            continue;
        ++checked;
        const QString path = node->GetFullPath();
        const TTreeItem *found = items.FindItem(path);
        if (!found || !sys::SameText(found->GetFullPath(), path))
            fuzz::Check(false, "a folder is not found by its path", fuzz::Shown(path));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TTreeItems items;
    QString error;
    const bool loaded = items.LoadFromStrings(TreeFileLines(bytes), &error);
    fuzz::Check(items.IsConsistent(), "the loaded model is not consistent");
    fuzz::Check(loaded == (items.Root() != nullptr), "the load tells a root that is not there");
    fuzz::Check(error.isEmpty() || !loaded, "a failed load kept a tree", error);
    if (!loaded)
        return 0;

    // The messages are made only for a failure: they cost more than the checks.
    const QStringList once = Saved(items);
    if (TreeFileLines(TreeFileText(once)) != once)
        fuzz::Check(false, "saved lines read back different", fuzz::Shown(once));
    TTreeItems again;
    if (!again.LoadFromStrings(once, &error) || !error.isEmpty())
        fuzz::Check(false, "saved lines do not load", fuzz::Shown(once) + QLatin1Char(' ') + error);
    fuzz::Check(again.IsConsistent(), "the reloaded model is not consistent");
    const QStringList twice = Saved(again);
    if (twice != once)
        fuzz::Check(false, "saved lines load back different",
                    fuzz::Shown(once) + QStringLiteral("\nthen: ") + fuzz::Shown(twice));
    CheckFindItem(again);
    return 0;
}
